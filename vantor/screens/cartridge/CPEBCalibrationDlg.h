#pragma once
// "PEB CALIBRATION": calibrate an item or save a typed value for it, and
// "Read All" into the nine "Read Value" boxes. Nothing is kept in
// Vantor.ini.
#include "vantor/screens/cartridge/CalibrationDlg.h"

class CPEBCalibrationDlg : public vantor::cartridge::CalibrationDlg {
    Q_OBJECT
public:
    explicit CPEBCalibrationDlg(QWidget* parent = nullptr);

protected:
    bool initControls() override;
    void onReply(const vantor::cartridge::StepReply& reply) override;

private:
    void applyMode();
    void OnAction();
    void OnReadAll();
};
