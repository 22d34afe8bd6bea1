#pragma once
// "EJECTOR TEST" (template 131). Mode 1, "EJECT LIFE TEST", is the same
// test with the "Minimum Sensor State Change:" row shown.
#include <cstdint>

#include "vantor/framework/CTestDlg.h"
#include "vantor/settings/TestSettingsRecords.h"

class CEjectorDlg : public vantor::TestDialog<CEjectorSettings> {
public:
    explicit CEjectorDlg(int mode = 0, QWidget* parent = nullptr);

    int mode() const { return m_mode; }
    int64_t totalRev() const { return m_totalRev; }

protected:
    void showRecord() override;
    vantor::PreparedRun prepareRun() override;

private:
    void onAddRev(ui::Message& m);

    int m_mode;
    int64_t m_totalRev = 0;
    // Shown in the life mode; no request reads it, and the section has no key for it.
    int m_minSensorChange = 0;
};
