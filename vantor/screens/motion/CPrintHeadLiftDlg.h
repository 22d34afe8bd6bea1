#pragma once
// "PRINT HEAD LIFT TEST" (template 160).
#include "vantor/framework/CTestDlg.h"
#include "vantor/settings/TestSettingsRecords.h"

class CPrintHeadLiftDlg : public vantor::TestDialog<CPrintHeadLiftSettings> {
public:
    explicit CPrintHeadLiftDlg(QWidget* parent = nullptr);

protected:
    void showRecord() override;
};
