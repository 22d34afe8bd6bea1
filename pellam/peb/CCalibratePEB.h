#pragma once
// "PEB Calibration" (template 151): the ten distances and the cut-force
// coefficients M and C read from the driver, edited, checked against the
// defaults and tolerances of \boot\Pellam.ini, and written back.
#include "pellam/driver/PebWrite.h"
#include "platform/Device.h"
#include "ui/Dialog.h"

namespace pellam {

class CCalibratePEB : public ui::Dialog {
public:
    explicit CCalibratePEB(QWidget* parent = nullptr);

protected:
    bool onInitDialog() override;

private:
    void showValues();
    void onSave();
    void onRestore();

    platform::DeviceHandle m_driver;
    protocol::CommandBlock m_block;
    // The driver answers each write into the value it was sent, so the
    // values live in caller memory.
    driver::PebItemValues m_values;
    driver::CutForceValues m_cutForce;
};

} // namespace pellam
