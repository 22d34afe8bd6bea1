#pragma once
// What the ADC, DAC, GPIO and sensor read dialogs share: PRN1: opened at
// initialisation, one ReadingWorker, Enter ignored, and a close that stops
// the worker (up to three waits of 5000 ms, then on until its request
// returns) before the dialog goes. The worker is handed run objects of its
// own and the dialog's message port, never the dialog.
#include "ui/Dialog.h"
#include "vantor/framework/TestRun.h"
#include "vantor/screens/sensor/ReadingWorker.h"

namespace vantor::sensor {

class CReadingDlg : public ui::Dialog {
    Q_OBJECT
public:
    CReadingDlg(int templateId, QWidget* parent);
    ~CReadingDlg() override;

    ReadingWorker& worker() { return m_worker; }

protected:
    // Initialisation: the dialog's own set-up, then PRN1: and the worker.
    bool onInitDialog() override;
    virtual void initControls() {}
    // The worker's step and idle hook, started with the worker.
    virtual void startWorker() = 0;

    void onOK() override {} // Enter does nothing
    void onCancel() override;

    const DriverRef& driver() const { return m_driver; }
    void stopWorker();

private:
    DriverRef m_driver;
    ReadingWorker m_worker;
    bool m_stopped = false;
};

} // namespace vantor::sensor
