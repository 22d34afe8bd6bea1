#include "CCalibratePEB.h"

#include "pellam/app/PellamIni.h"
#include "pellam/driver/UserDriver.h"
#include "pellam/peb/PebCheck.h"
#include "pellam/res/PellamResources.h"
#include "records/Calibration.h"
#include "records/ProgramRecorder.h"
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
    rememberDriverValues();
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

void CCalibratePEB::rememberDriverValues()
{
    for (size_t i = 0; i < peb::kPebFields.size(); ++i)
        m_driverWords[i] = m_values.value(peb::kPebFields[i].item);
    m_driverM = m_cutForce.m();
    m_driverC = m_cutForce.c();
}

void CCalibratePEB::recordSave(const std::vector<const peb::PebField*>& failed, const QDateTime& start)
{
    records::Calibration c;
    c.caption = QStringLiteral("PEB Calibration");
    c.section = QString::fromLatin1(peb::kSettingsSection);
    c.start = start;
    c.end = QDateTime::currentDateTime();
    auto number = [](const peb::PebField& f, uint32_t word) {
        return f.type == peb::ValueType::Signed ? QJsonValue(int32_t(word)) : QJsonValue(qint64(word));
    };
    for (size_t i = 0; i < peb::kPebFields.size(); ++i) {
        const peb::PebField& f = peb::kPebFields[i];
        // "defaultUCN2PL" names the value UCN2PL.
        const QString name = QString::fromLatin1(f.defaultKey).mid(7);
        c.settings[QString::fromLatin1(f.defaultKey)] = QString::fromStdString(settingOf(f.defaultKey));
        c.settings[QString::fromLatin1(f.toleranceKey)] = QString::fromStdString(settingOf(f.toleranceKey));
        // Refused values are not written: the driver keeps what it had.
        c.values.push_back({name, number(f, m_driverWords[i]),
                            number(f, failed.empty() ? m_values.value(f.item) : m_driverWords[i]), {}});
    }
    c.values.push_back({QStringLiteral("M"), double(m_driverM), double(m_cutForce.m()), {}});
    c.values.push_back({QStringLiteral("C"), double(m_driverC), double(m_cutForce.c()), {}});
    for (const peb::PebField* f : failed)
        c.refused << ui::loadString(f->message);
    records::submitProgramRecord(records::calibrationRecord(c));
    if (failed.empty()) {
        rememberDriverValues();
    } else {
        m_driverM = m_cutForce.m();
        m_driverC = m_cutForce.c();
    }
}

void CCalibratePEB::onSave()
{
    const QDateTime start = QDateTime::currentDateTime();
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
    recordSave(failed, start);
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
