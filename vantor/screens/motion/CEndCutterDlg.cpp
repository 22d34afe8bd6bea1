#include "vantor/screens/motion/CEndCutterDlg.h"

#include "vantor/res/resource.h"
#include "vantor/framework/SpeedGroup.h"

using namespace vantor::motion;

CEndCutterDlg::CEndCutterDlg(QWidget* parent)
    : TestDialog(IDD_END_CUTTER, kEndCutterTest, parent, vantor::Commit::AtClose)
{
    bind(IDC_EC_FREQUENCY, m_values.frequency);
    bindLabelledSlider(*this, IDC_EC_DUTY, IDC_EC_DUTY_VALUE, m_values.dutyCycle, 1, 100);
    bindComboText(IDC_EC_LEVEL, m_values.currentLevel);
    bind(IDC_EC_PLATEN_SPEED, m_values.constantSpeed);
    bind(IDC_EC_PLATEN_PULSES, m_values.totalPulses);
    bind(IDC_EC_EJECT_PULSES, m_values.ejectTotalPulses);
}

void CEndCutterDlg::showRecord()
{
    comboClear(IDC_EC_LEVEL);
    for (const char* level : {"38", "71", "100"})
        comboAdd(IDC_EC_LEVEL, QString::fromLatin1(level));
    selectComboText(IDC_EC_LEVEL, m_values.currentLevel);
}

vantor::PreparedRun CEndCutterDlg::prepareRun()
{
    vantor::PreparedRun prepared = TestDialog::prepareRun();
    if (prepared)
        m_stop = static_cast<EndCutterRun&>(*prepared.run).stopFlag();
    return prepared;
}

void CEndCutterDlg::OnStop()
{
    if (m_stop)
        m_stop->store(true);
    TestDialog::OnStop();
}
