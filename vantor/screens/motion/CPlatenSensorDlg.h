#pragma once
// "PLATEN SENSOR TEST" (template 136): the platen move with a downstream
// media sensor sampled at every pulse. No validation; every value but the
// cumulative count starts afresh at each opening (section "Platen Sensor").
#include "vantor/framework/CTestDlg.h"

class CPlatenSensorDlg : public vantor::CTestDlg {
    Q_OBJECT
public:
    explicit CPlatenSensorDlg(QWidget* parent = nullptr);

protected:
    void showRecord() override;
    QString validate() override { return QString(); }
    vantor::PreparedRun prepareRun() override;
};
