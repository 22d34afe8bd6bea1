#pragma once
// "XY CUTFORCE PROGRAM": save M or C as a single-precision value, and
// "Read All" both. Nothing is kept in Vantor.ini.
#include "vantor/screens/cartridge/CalibrationDlg.h"

class CXYCutForceProgramDlg : public vantor::cartridge::CalibrationDlg {
    Q_OBJECT
public:
    explicit CXYCutForceProgramDlg(QWidget* parent = nullptr);

protected:
    bool initControls() override;
    void onReply(const vantor::cartridge::StepReply& reply) override;

private:
    void OnSave();
    void OnReadAll();
};
