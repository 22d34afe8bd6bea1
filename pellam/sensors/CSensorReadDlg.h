#pragma once
// "Sensor Settings" (template 130): every sensor read once per "Read". A
// reading that fails leaves its controls as they were, so until the first
// "Read" the template's placeholders show.
#include "platform/Device.h"
#include "protocol/CommandBlock.h"
#include "ui/Dialog.h"

namespace pellam {

class CSensorReadDlg : public ui::Dialog {
public:
    explicit CSensorReadDlg(QWidget* parent = nullptr);

protected:
    bool onInitDialog() override;

private:
    void onRead();

    platform::DeviceHandle m_driver;
    protocol::CommandBlock m_block;
};

} // namespace pellam
