#pragma once
// "RIBBON COLOR TEST" (template 150): runs of ribbon colour measuring
// cycles, each run with its own log file written by the driver, and the
// colour sensor's DAC values and reading ("Calibrate", "Read"). The section
// "Ribbon Color" takes the edited values when the dialog closes.
#include <memory>

#include "vantor/framework/CTestDlg.h"
#include "vantor/settings/TestSettingsRecords.h"

namespace vantor::sensor {
class RibbonColorReadings;
}

class CRibbonColorDlg : public vantor::TestDialog<CRibbonColorSettings> {
public:
    explicit CRibbonColorDlg(QWidget* parent = nullptr);
    ~CRibbonColorDlg() override;

protected:
    bool onInitDialog() override;
    void showRecord() override;
    void commitValues() override;
    void OnRun() override;
    void onWorkerIdle() override;

private:
    void OnCalibrate();
    void OnRead();
    void OnLogBrowse();
    void queue(std::initializer_list<int> steps);
    void showTriple(const int (&ids)[3], uint32_t packed);
    void enableReadings(bool enabled);

    std::shared_ptr<vantor::sensor::RibbonColorReadings> m_readings;
};
