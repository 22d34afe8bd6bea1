#pragma once
// "RIBBON DRIVE TEST" (template 162): each cycle the ribbon motor's advance
// move, its reverse move, or both, each with its own speed and pulse count;
// one "VRef :" slider and one step mode for both. Section "Ribbon Drive"
// keeps only the cumulative count.
#include "vantor/framework/CTestDlg.h"
#include "vantor/screens/motion/RibbonTests.h"

class CRibbonDriveDlg : public vantor::TestDialog<CRibbonDriveSettings> {
    Q_OBJECT
public:
    explicit CRibbonDriveDlg(QWidget* parent = nullptr);

protected:
    void showRecord() override;
    // With neither "Motor Rotation" box checked RUN does nothing at all.
    void OnRun() override;
};
