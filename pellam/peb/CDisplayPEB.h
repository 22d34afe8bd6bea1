#pragma once
// "Display PEB" (template 147): the PEB values, the cross-web print offset
// and the cut-force coefficients, read once and shown; nothing is edited.
#include "platform/Device.h"
#include "ui/Dialog.h"

namespace pellam {

class CDisplayPEB : public ui::Dialog {
public:
    explicit CDisplayPEB(QWidget* parent = nullptr);

protected:
    bool onInitDialog() override;

private:
    platform::DeviceHandle m_driver;
};

} // namespace pellam
