#include "CUSBDlg.h"

#include <vector>

#include "pellam/res/PellamResources.h"
#include "pellam/service/UsbNotice.h"
#include "ui/Resources.h"

namespace pellam {

CUSBDlg::CUSBDlg(QWidget* parent) : CUSBDlg(platform::deviceChanges(), parent) {}

CUSBDlg::CUSBDlg(platform::DeviceChangeSource& source, QWidget* parent)
    : ui::Dialog(IDD_USB_TEST, parent), m_source(source)
{
    onCommand(IDC_CLOSE, [this] { endDialog(ui::IDCANCEL); });
    onMessage(ui::WM_DEVICECHANGE, &CUSBDlg::onDeviceChange);
}

CUSBDlg::~CUSBDlg()
{
    m_subscription.unsubscribe();
    closeMessages();
}

bool CUSBDlg::onInitDialog()
{
    setText(IDC_USB_STATUS, ui::loadString(IDS_INSERT_USB));
    // The source's thread only posts: the record travels with the message
    // and is read here, on the user-interface thread.
    m_subscription = m_source.subscribe([port = port()](const platform::DeviceChange& change) {
        port.post(ui::WM_DEVICECHANGE, intptr_t(change.event), 0, ui::Payload::of(change.record));
    });
    return true;
}

void CUSBDlg::onDeviceChange(ui::Message& m)
{
    const auto* record = m.payload.get<std::vector<uint8_t>>();
    const std::vector<uint8_t> none;
    const auto text = usbNoticeText(uint32_t(m.wParam), record ? *record : none, ui::loadString(IDS_USB_DETECTED),
                                    ui::loadString(IDS_USB_REMOVED));
    if (text)
        setText(IDC_USB_STATUS, *text);
}

} // namespace pellam
