#include "vantor/screens/motion/CPlatenDlg.h"

#include "vantor/screens/motion/PlatenControls.h"

using namespace vantor::platen;

CPlatenDlg::CPlatenDlg(QWidget* parent) : TestDialog(IDD_PLATEN, kPlatenTest, parent)
{
    bindSpeedGroup(*this, kPlatenSpeedIds, m_values.speed);
    bindRadio(IDC_PL_REVERSE, m_values.direction);
    bind(IDC_PL_PULSES, m_values.totalPulses);
    bindVref(*this, IDC_PL_VREF, IDC_PL_VREF_VALUE, m_values.vref);
    bindRadio(IDC_PL_FULL, m_values.stepMode);
    bind(IDC_PL_PRE_HOLD, m_values.preHold);
    bind(IDC_PL_POST_HOLD, m_values.postHold);
    bindCheck(IDC_PL_CLUTCH, m_values.clutch);
    bindCheck(IDC_PL_TRACK_ENCODER, m_values.encoderInDetail);
    bindSpeedGroup(*this, kTapeRewindSpeedIds, m_values.tapeRewind);
    bindRadio(IDC_PL_TR_FULL, m_values.tapeRewindStepMode);
}

QString CPlatenDlg::validate()
{
    PlatenMoveInput in = platenMoveInput(values());
    in.totalPulsesEmpty = isEmptyField(IDC_PL_PULSES);
    return validatePlatenTest(in);
}
