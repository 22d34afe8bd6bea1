#pragma once
// "PRINT TEST" (template 142) and "AGING PRINT TEST" (165): one design,
// the section "Print" shared, two sets of command numbers.
#include "vantor/framework/CTestDlg.h"
#include "vantor/settings/TestSettingsRecords.h"

class CPrintDlg : public vantor::TestDialog<CPrintSettings> {
public:
    explicit CPrintDlg(QWidget* parent = nullptr) : CPrintDlg(IDD_PRINT, false, parent) {}

protected:
    CPrintDlg(int templateId, bool aging, QWidget* parent);
};

class CAgingPrintDlg : public CPrintDlg {
public:
    explicit CAgingPrintDlg(QWidget* parent = nullptr) : CPrintDlg(IDD_AGING_PRINT, true, parent) {}
};

// "PRINT TO CUT TEST" (template 155).
class CPrintToCutDlg : public vantor::TestDialog<CPrintToCutSettings> {
public:
    explicit CPrintToCutDlg(QWidget* parent = nullptr);

protected:
    void commitValues() override;
};
