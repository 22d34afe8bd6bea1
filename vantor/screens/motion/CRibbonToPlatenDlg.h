#pragma once
// "RIBBON w/ PLATEN TEST" (template 163): each cycle the ribbon and the
// platen motor together in one direction, or with "Run In Sequence" in both
// directions one after the other. The ribbon and platen direction radios
// always agree. Section "Ribbon To Platen" keeps only the cumulative count.
#include "vantor/framework/CTestDlg.h"
#include "vantor/screens/motion/RibbonTests.h"

class CRibbonToPlatenDlg : public vantor::TestDialog<CRibbonToPlatenSettings> {
    Q_OBJECT
public:
    explicit CRibbonToPlatenDlg(QWidget* parent = nullptr);

protected:
    void showRecord() override;

private:
    // Both radio pairs show `direction` (0 advance, 1 reverse).
    void setDirection(int direction);
};
