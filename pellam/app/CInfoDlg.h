#pragma once
// The information screen (template 140): program version, the printer's
// usage counters and the two cartridge chip versions. Values whose request
// fails show 0.
#include "platform/Device.h"
#include "ui/Dialog.h"

namespace pellam {

inline constexpr const char* kAppVersion = "1.0.0.0";

class CInfoDlg : public ui::Dialog {
public:
    explicit CInfoDlg(QWidget* parent = nullptr);

protected:
    bool onInitDialog() override;

private:
    platform::DeviceHandle m_driver; // held for the dialog's life, released with it
};

} // namespace pellam
