#include "vantor/screens/motion/CRibbonToPlatenDlg.h"

#include "vantor/screens/motion/RibbonControls.h"

using namespace vantor::ribbon;

namespace {
constexpr vantor::SpeedGroupIds kRibbonPlatenRibbonIds = speedIds(IDC_RP_R_CONSTANT, IDC_RP_R_RAMP_UP, IDC_RP_R_CONSTANT_SPEED,
                                                           IDC_RP_R_RAMP_UP_PATH, IDC_RP_R_RAMP_UP_BROWSE);
constexpr vantor::SpeedGroupIds kRibbonPlatenSpeedIds = speedIds(IDC_RP_P_CONSTANT, IDC_RP_P_RAMP_UP, IDC_RP_P_CONSTANT_SPEED,
                                                           IDC_RP_P_RAMP_UP_PATH, IDC_RP_P_RAMP_UP_BROWSE);
} // namespace

CRibbonToPlatenDlg::CRibbonToPlatenDlg(QWidget* parent)
    : TestDialog(IDD_RIBBON_TO_PLATEN, kRibbonToPlatenTest, parent, vantor::Commit::Never)
{
    bindRadio(IDC_RP_RIBBON_ADVANCE, m_values.direction);
    bindSpeedGroup(*this, kRibbonPlatenRibbonIds, m_values.ribbon.speed);
    bind(IDC_RP_R_PULSES, m_values.ribbon.totalPulses);
    vantor::bindVref(*this, IDC_RP_R_VREF, IDC_RP_R_VREF_VALUE, m_values.ribbon.vref);
    bindRadio(IDC_RP_R_FULL, m_values.ribbonStepMode);
    bindSpeedGroup(*this, kRibbonPlatenSpeedIds, m_values.platen.speed);
    bind(IDC_RP_P_PULSES, m_values.platen.totalPulses);
    vantor::bindVref(*this, IDC_RP_P_VREF, IDC_RP_P_VREF_VALUE, m_values.platen.vref);
    bindRadio(IDC_RP_P_FULL, m_values.platenStepMode);
    bindCheck(IDC_RP_TRACK, m_values.trackEncoder);
    bindCheck(IDC_RP_SEQUENCE, m_values.runInSequence);

    onCommand(IDC_RP_RIBBON_ADVANCE, [this] { setDirection(0); });
    onCommand(IDC_RP_RIBBON_REVERSE, [this] { setDirection(1); });
    onCommand(IDC_RP_PLATEN_ADVANCE, [this] { setDirection(0); });
    onCommand(IDC_RP_PLATEN_REVERSE, [this] { setDirection(1); });
}

void CRibbonToPlatenDlg::showRecord()
{
    setDirection(m_values.direction != 0 ? 1 : 0);
    blankZeroes(*this, {IDC_RP_R_CONSTANT_SPEED, IDC_RP_R_PULSES, IDC_RP_P_CONSTANT_SPEED, IDC_RP_P_PULSES});
}

void CRibbonToPlatenDlg::setDirection(int direction)
{
    setRadioIndex(IDC_RP_RIBBON_ADVANCE, direction);
    setRadioIndex(IDC_RP_PLATEN_ADVANCE, direction);
}
