#include "CopyToUSBDlg.h"

#include "pellam/res/PellamResources.h"
#include "pellam/service/UsbCopy.h"
#include "ui/Messages.h"
#include "ui/Prompts.h"
#include "ui/Resources.h"

namespace pellam {

CopyToUSBDlg::CopyToUSBDlg(QWidget* parent) : ui::Dialog(IDD_COPY_TO_USB, parent)
{
    const int keys[10] = {IDC_KEY_0, IDC_KEY_1, IDC_KEY_2, IDC_KEY_3, IDC_KEY_4,
                          IDC_KEY_5, IDC_KEY_6, IDC_KEY_7, IDC_KEY_8, IDC_KEY_9};
    for (int digit = 0; digit < 10; ++digit)
        onCommand(keys[digit], [this, digit] { onDigit(QChar(u'0' + digit)); });
    onCommand(IDC_KEY_CLEAR, [this] { onClear(); });
    onCommand(IDC_KEY_CANCEL, [this] { endDialog(ui::IDCANCEL); });
    onNotify(IDC_SERIAL, ui::Notify::EditChanged, [this] { onEditChanged(); });
}

bool CopyToUSBDlg::onInitDialog()
{
    m_serial.clear();
    m_errorLogCopied = m_resultsCopied = false;
    showSerial(m_serial);
    setFocus(IDC_SERIAL);
    return false;
}

void CopyToUSBDlg::showSerial(const QString& text)
{
    // The keypad checks once itself; the change notice of its own write
    // must not check a second time.
    m_settingText = true;
    setText(IDC_SERIAL, text);
    m_settingText = false;
}

void CopyToUSBDlg::onDigit(QChar digit)
{
    if (hasEnded())
        return;
    m_serial += digit;
    showSerial(m_serial);
    checkSerial();
}

void CopyToUSBDlg::onClear()
{
    m_serial.clear();
    showSerial(m_serial);
}

void CopyToUSBDlg::onEditChanged()
{
    if (!m_settingText)
        checkSerial();
}

void CopyToUSBDlg::checkSerial()
{
    if (hasEnded())
        return;
    const QString typed = text(IDC_SERIAL);
    // The serial number becomes part of two file names: a character that no
    // file name may hold never reaches them. The entry goes back to what it
    // was before the character came.
    if (const std::optional<QChar> bad = service::forbiddenFileNameChar(typed)) {
        const QString shown = bad->unicode() < 0x20 ? QString::asprintf("U+%04X", unsigned(bad->unicode()))
                                                    : QStringLiteral("'%1'").arg(*bad);
        ui::messageBox(ui::loadString(IDS_SERIAL_BAD_CHAR).arg(shown), {}, ui::MsgIcon::Warning);
        if (service::forbiddenFileNameChar(m_serial))
            m_serial.clear();
        showSerial(m_serial);
        return;
    }
    m_serial = typed;
    if (m_serial.size() != service::kSerialLength)
        return;
    copyFiles();
    endDialog(ui::IDCANCEL);
}

void CopyToUSBDlg::copyFiles()
{
    m_errorLogCopied = m_resultsCopied = false;
    if (!service::usbDrivePresent()) {
        ui::messageBox(ui::loadString(IDS_NO_USB_DRIVE));
        return;
    }
    service::makeCopyFolder();
    const service::FileCopy log = service::copyReplacing(QString::fromUtf16(service::kErrorLogSource),
                                                         service::errorLogDestination(m_serial));
    m_errorLogCopied = log.copied;
    if (!log.sourceFound)
        ui::messageBox(ui::loadString(IDS_NO_ERROR_LOG));
    const service::FileCopy results = service::copyReplacing(QString::fromUtf16(service::kResultsSource),
                                                             service::resultsDestination(m_serial));
    m_resultsCopied = results.copied;
    if (!results.sourceFound)
        ui::messageBox(ui::loadString(IDS_NO_RESULTS_FILE));
    if (m_errorLogCopied && m_resultsCopied)
        ui::messageBox(ui::loadString(IDS_FILES_COPIED), {}, ui::MsgIcon::Information);
}

} // namespace pellam
