#pragma once
// "PLATEN LIFE TEST" (template 146): per cycle, N forward passes and N - 1
// reverse passes of the platen, the tape rewind motor running with each.
// Two embedded platen panels (forward, reverse); no validation. Section
// "Platen Life": the panels show it at opening, but only the Tape Rewind
// group, the passes, pause and total cycles are kept when the dialog closes.
#include <memory>

#include "vantor/framework/CTestDlg.h"
#include "vantor/screens/motion/CPlatenSettingDlg.h"
#include "vantor/screens/motion/PlatenRecords.h"

class CPlatenLifeDlg : public vantor::CTestDlg {
    Q_OBJECT
public:
    explicit CPlatenLifeDlg(QWidget* parent = nullptr);

    CPlatenSettingDlg* forwardPanel() const { return m_forward.get(); }
    CPlatenSettingDlg* reversePanel() const { return m_reverse.get(); }

protected:
    void showRecord() override;
    QString validate() override { return QString(); }
    vantor::PreparedRun prepareRun() override;
    void onClosing() override;

private:
    void showPanel(bool reverse);
    void OnReverseEnabled(ui::Message& m);
    int passes() const;

    std::unique_ptr<CPlatenSettingDlg> m_forward;
    std::unique_ptr<CPlatenSettingDlg> m_reverse;
};
