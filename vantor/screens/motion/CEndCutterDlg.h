#pragma once
// "END CUTTER TEST" (template 132).
#include "vantor/framework/CTestDlg.h"
#include "vantor/screens/motion/EndCutterRun.h"
#include "vantor/settings/TestSettingsRecords.h"

class CEndCutterDlg : public vantor::TestDialog<CEndCutterSettings> {
public:
    explicit CEndCutterDlg(QWidget* parent = nullptr);

protected:
    void showRecord() override;
    vantor::PreparedRun prepareRun() override;
    // Also sets the run's stop flag: the print head is unloaded after the
    // cycle in progress.
    void OnStop() override;

private:
    vantor::motion::StopFlag m_stop;
};
