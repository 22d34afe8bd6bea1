#pragma once
// "XY CUTTER TEST" (template 137): one of the three XY cutter drives per
// cycle. Only the cumulative count goes to Vantor.ini; the other values stay
// in the record for the program's run, copied there when the dialog closes.
#include "vantor/framework/CTestDlg.h"
#include "vantor/screens/motion/XYCutterRun.h"

class CXYCutterDlg : public vantor::TestDialog<CXYCutterSettings> {
public:
    explicit CXYCutterDlg(QWidget* parent = nullptr);

protected:
    void showRecord() override;

private:
    // The chosen axis's group enabled, the other two disabled.
    void showAxis();
};
