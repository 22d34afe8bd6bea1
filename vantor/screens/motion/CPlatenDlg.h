#pragma once
// "PLATEN TEST" (template 135): one platen move per cycle, with the tape
// rewind motor beside it; reports the encoder count, and with "Track Encoder
// in Detail" the count of every pulse. Section "Platen", written at RUN.
#include "vantor/framework/CTestDlg.h"
#include "vantor/screens/motion/PlatenTests.h"

class CPlatenDlg : public vantor::TestDialog<CPlatenSettings> {
    Q_OBJECT
public:
    explicit CPlatenDlg(QWidget* parent = nullptr);

protected:
    // The record's checks, with an empty "Total No. of Pulses:" told apart
    // from a 0.
    QString validate() override;
};
