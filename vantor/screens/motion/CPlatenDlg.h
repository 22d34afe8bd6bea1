#pragma once
// "PLATEN TEST" (template 135): one platen move per cycle, with the tape
// rewind motor beside it; reports the encoder count, and with "Track Encoder
// in Detail" the count of every pulse. Section "Platen".
#include "vantor/framework/CTestDlg.h"
#include "vantor/screens/motion/PlatenRecords.h"

class CPlatenDlg : public vantor::CTestDlg {
    Q_OBJECT
public:
    explicit CPlatenDlg(QWidget* parent = nullptr);
    ~CPlatenDlg() override;

protected:
    void showRecord() override;
    QString validate() override;
    void copyToRecord() override;
    bool buildRecords() override;
    void runCycle(int cycle, vantor::RunSink& sink) override;

private:
    void OnVrefMoved();

    ui::MessagePort m_listPort = port(); // the worker's way to the list
    vantor::platen::PlatenMoveInput m_input; // read at RUN
    vantor::platen::PlatenMoveRun m_run;     // the worker's while a run lasts
};
