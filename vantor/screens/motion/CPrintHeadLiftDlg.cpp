#include "vantor/screens/motion/CPrintHeadLiftDlg.h"

#include "vantor/res/resource.h"
#include "vantor/framework/SpeedGroup.h"
#include "vantor/screens/motion/PrintHeadLiftRun.h"

using namespace vantor::motion;

CPrintHeadLiftDlg::CPrintHeadLiftDlg(QWidget* parent)
    : TestDialog(IDD_PRINT_HEAD_LIFT, kPrintHeadLiftTest, parent, vantor::Commit::AtClose)
{
    bind(IDC_PHL_FREQUENCY, m_values.frequency);
    bindLabelledSlider(*this, IDC_PHL_DUTY, IDC_PHL_DUTY_VALUE, m_values.dutyCycle, 1, 100);
    bindComboText(IDC_PHL_LEVEL, m_values.currentLevel);
    bind(IDC_PHL_DELAY, m_values.delay);
    bindRadio(IDC_PHL_FULL_CYCLE, m_values.testType);
    // "Homing" and "Activate Print Head" run one cycle: "Total Cycle:" shows 1, locked.
    addRule(
        [this] {
            const bool single = HeadLiftSingleCycle(radioIndex(IDC_PHL_FULL_CYCLE));
            if (single)
                setInt(IDC_TOTAL_CYCLE, 1);
            enable(IDC_TOTAL_CYCLE, !single);
        },
        {IDC_PHL_FULL_CYCLE, IDC_PHL_HOMING, IDC_PHL_ACTIVATE});
}

void CPrintHeadLiftDlg::showRecord()
{
    comboClear(IDC_PHL_LEVEL);
    for (const char* level : {"38", "71", "100"})
        comboAdd(IDC_PHL_LEVEL, QString::fromLatin1(level));
    selectComboText(IDC_PHL_LEVEL, m_values.currentLevel);
}
