#pragma once
// "READ SENSOR" (template 139): the printer's sixteen two-state sensors and
// two temperatures, read about twice a second from "READ" until "Stop"; the
// DAC settings of the four analogue media sensors, a DAC setting written to
// the selected one ("Write DAC"), and its two-step calibration with operator
// prompts ("Calibrate"). The worker works through the run's step queue.
#include <memory>

#include "vantor/screens/sensor/CReadingDlg.h"
#include "vantor/screens/sensor/SensorReadRun.h"

class CSensorReadDlg : public vantor::sensor::CReadingDlg {
    Q_OBJECT
public:
    explicit CSensorReadDlg(QWidget* parent = nullptr);
    ~CSensorReadDlg() override;
    const vantor::sensor::SensorReadRun& run() const { return *m_run; }

    static int stateId(int row, int state);

protected:
    void initControls() override;
    void startWorker() override;

private:
    void OnRead();
    void OnCalibrate();
    void OnWriteDac();
    void OnStop();
    void OnSelectAnalog(int row);
    void OnReadingsReady(ui::Message& m);
    void start();
    void enableButtons(bool enabled);
    void refresh();
    void showStates(const vantor::sensor::SensorValues& v);

    int m_selected = 0; // analogue row
    std::shared_ptr<vantor::sensor::SensorReadRun> m_run;
};
