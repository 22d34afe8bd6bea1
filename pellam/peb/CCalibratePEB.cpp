#include "CCalibratePEB.h"

#include "pellam/app/PellamIni.h"
#include "pellam/driver/UserDriver.h"
#include "pellam/peb/PebCheck.h"
#include "pellam/res/PellamResources.h"
#include "ui/Messages.h"
#include "ui/Numbers.h"
#include "ui/Prompts.h"
#include "ui/Resources.h"

namespace pellam {

namespace {

std::string settingOf(const char* key)
{
    return theIniFile().GetStringValue(QString::fromLatin1(key)).toStdString();
}

} // namespace

CCalibratePEB::CCalibratePEB(QWidget* parent) : ui::Dialog(IDD_CALIBRATE_PEB, parent)
{
    onCommand(IDC_PEB_SAVE, [this] { onSave(); });
    onCommand(IDC_PEB_RESTORE, [this] { onRestore(); });
    onCommand(IDC_CLOSE, [this] { endDialog(ui::IDCANCEL); });
}

bool CCalibratePEB::onInitDialog()
{
    m_driver = driver::openPrinter();

    // Each read clears its record first, so a failed one shows zeros.
    protocol::PebRecord record;
    driver::readPeb(m_driver, record);
    m_values.setFromRecord(record);
    int32_t crossWeb = 0;
    driver::readCrossWebOffset(m_driver, crossWeb);
    m_values.setSigned(protocol::pebItem::CrossWebPrintOffset, crossWeb);
    driver::readCutForce(m_driver, m_block, m_cutForce);
    showValues();

    setChecked(IDC_PEB_DEFAULT, true);
    enable(IDC_PEB_UI_BOARD, false);
    enable(IDC_PEB_DRIVER_BOARD, false);

    CIniFile& settings = theIniFile();
    settings.LoadIniFile(QString::fromLatin1(peb::kSettingsPath));
    settings.CurrentSection(QString::fromLatin1(peb::kSettingsSection));
    return true;
}

void CCalibratePEB::showValues()
{
    for (const peb::PebField& f : peb::kPebFields)
        setText(f.control, QString::fromStdString(peb::formatValue(m_values.value(f.item), f.type)));
    setText(IDC_PEB_M, QString::fromStdString(peb::formatCoefficient(m_cutForce.m())));
    setText(IDC_PEB_C, QString::fromStdString(peb::formatCoefficient(m_cutForce.c())));
}

void CCalibratePEB::onSave()
{
    // The edits into the values; a field that holds no whole number of its
    // type stops the save before anything is checked or written.
    for (const peb::PebField& f : peb::kPebFields) {
        std::optional<uint32_t> word;
        if (f.type == peb::ValueType::Signed) {
            if (auto v = strictInt(f.control))
                word = uint32_t(*v);
        } else if (auto v = strictUInt(f.control)) {
            word = *v;
        }
        if (!word) {
            // The framework's own refusals of a field that is not a number.
            ui::messageBox(f.type == peb::ValueType::Signed ? QStringLiteral("Please enter an integer.")
                                                            : QStringLiteral("Please enter a positive integer."),
                           {}, ui::MsgIcon::Warning);
            setFocus(f.control);
            return;
        }
        m_values.set(f.item, *word);
    }

    const auto failed =
        peb::fieldsOutOfRange([this](const peb::PebField& f) { return m_values.value(f.item); }, settingOf);
    for (const peb::PebField* f : failed)
        ui::messageBox(ui::loadString(f->message), {}, ui::MsgIcon::Error);

    m_cutForce.setM(float(ui::leadingDouble(text(IDC_PEB_M))));
    m_cutForce.setC(float(ui::leadingDouble(text(IDC_PEB_C))));
    driver::savePeb(m_driver, m_block, m_cutForce, m_values, failed.empty());
    if (failed.empty())
        ui::messageBox(ui::loadString(IDS_PEB_SAVED));
}

void CCalibratePEB::onRestore()
{
    // "Default" is the only source that can be ticked.
    if (!isChecked(IDC_PEB_DEFAULT))
        return;
    for (const peb::PebField& f : peb::kPebFields)
        m_values.set(f.item, peb::defaultOf(f, settingOf));
    showValues();
    onSave();
}

} // namespace pellam
