#pragma once
// "USB Communication Test" (template 136): tells when a USB device is plugged
// in (with its name) or removed, from the platform's device-change
// notifications.
#include "platform/DeviceChange.h"
#include "ui/Dialog.h"

namespace pellam {

class CUSBDlg : public ui::Dialog {
public:
    // Listens to the process's notifications.
    explicit CUSBDlg(QWidget* parent = nullptr);
    CUSBDlg(platform::DeviceChangeSource& source, QWidget* parent = nullptr);
    ~CUSBDlg() override;

protected:
    bool onInitDialog() override;

private:
    void onDeviceChange(ui::Message& m);

    platform::DeviceChangeSource& m_source;
    // Ended first on destruction: after it no notification is posted here,
    // and the base drops those already posted.
    platform::DeviceChangeSubscription m_subscription;
};

} // namespace pellam
