#pragma once
// CTapeRewindDlg: the tape rewind motor's three tests on one template (129),
// chosen by the mode given at construction: 0 tape rewind, 1 tape roll
// tightness, 2 tape overshoot. Each cycle is one move request whose encoder
// count the result line shows.
#include "protocol/DriverRecord.h"
#include "protocol/TapeRewindRecord.h"
#include "vantor/framework/CTestDlg.h"
#include "vantor/screens/motion/TapeRewindMove.h"

class CTapeRewindDlg : public vantor::CTestDlg {
    Q_OBJECT
public:
    explicit CTapeRewindDlg(int mode, QWidget* parent = nullptr);

    int mode() const { return m_mode; }
    // The block and record of the last RUN.
    const protocol::DriverRecord<protocol::TapeRewindRecord>& move() const { return m_move; }

protected:
    void showRecord() override;
    // Nothing is validated; only a ramp-up profile without a last entry
    // refuses the run (there would be no run speed).
    QString validate() override;
    bool buildRecords() override;
    void runCycle(int cycle, vantor::RunSink& sink) override;
    // The controls go into the record when the dialog closes, not at RUN.
    void onClosing() override;

private:
    void applySpeedRule();
    void applyRampDownRule();
    void showVref();

    const int m_mode;
    vantor::motion::TapeRewindValues m_values;
    protocol::DriverRecord<protocol::TapeRewindRecord> m_move;
};
