#pragma once
// "PLATEN SENSOR TEST" (template 136): the platen move with a downstream
// media sensor sampled at every pulse. No validation; every value but the
// cumulative count starts afresh at each opening (section "Platen Sensor").
#include "vantor/framework/CTestDlg.h"
#include "vantor/screens/motion/PlatenRecords.h"

class CPlatenSensorDlg : public vantor::CTestDlg {
    Q_OBJECT
public:
    explicit CPlatenSensorDlg(QWidget* parent = nullptr);
    ~CPlatenSensorDlg() override;

protected:
    void showRecord() override;
    QString validate() override { return QString(); }
    bool buildRecords() override;
    void runCycle(int cycle, vantor::RunSink& sink) override;
    // The base's RUN, then the column header after its start lines.
    void OnRun() override;

private:
    ui::MessagePort m_listPort = port(); // the worker's way to the list
    vantor::platen::PlatenMoveRun m_run;
};
