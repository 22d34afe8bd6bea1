#pragma once
// CTapeRewindDlg: the tape rewind motor's three tests on one template (129),
// chosen by the mode given at construction: 0 tape rewind, 1 tape roll
// tightness, 2 tape overshoot. Each cycle is one move request whose encoder
// count the result line shows. The values go into the mode's section when
// the dialog closes, not at RUN.
#include "vantor/framework/CTestDlg.h"
#include "vantor/screens/motion/TapeRewindMove.h"
#include "vantor/settings/TestSettingsRecords.h"

class CTapeRewindDlg : public vantor::TestDialog<CTapeRewindSettings> {
    Q_OBJECT
public:
    explicit CTapeRewindDlg(int mode, QWidget* parent = nullptr);
    int mode() const { return m_mode; }

protected:
    void showRecord() override;

private:
    const int m_mode;
};
