#include "vantor/screens/motion/CXYCutterDlg.h"

#include "vantor/framework/SpeedGroup.h"
#include "vantor/res/resource.h"
#include "vantor/screens/motion/XYCutterControls.h"

using namespace vantor::motion;

namespace {
constexpr vantor::SpeedGroupIds kCrossSpeed{IDC_XYC_CW_CONSTANT,       IDC_XYC_CW_RAMP_UP,
                                            IDC_XYC_CW_CONSTANT_SPEED, IDC_XYC_CW_RAMP_UP_PATH,
                                            IDC_XYC_CW_RAMP_UP_BROWSE, IDC_XYC_CW_USE_RAMP_DOWN,
                                            IDC_XYC_CW_RAMP_DOWN_PATH, IDC_XYC_CW_RAMP_DOWN_BROWSE};
constexpr vantor::SpeedGroupIds kDownSpeed{IDC_XYC_DW_CONSTANT,       IDC_XYC_DW_RAMP_UP,
                                           IDC_XYC_DW_CONSTANT_SPEED, IDC_XYC_DW_RAMP_UP_PATH,
                                           IDC_XYC_DW_RAMP_UP_BROWSE, IDC_XYC_DW_USE_RAMP_DOWN,
                                           IDC_XYC_DW_RAMP_DOWN_PATH, IDC_XYC_DW_RAMP_DOWN_BROWSE};
// Every control of a group, in id order (the ids of a group are contiguous).
constexpr int kGroups[3][2] = {{IDC_XYC_CW_CONSTANT, IDC_XYC_CW_SIXTEENTH},
                               {IDC_XYC_DW_CONSTANT, IDC_XYC_DW_SIXTEENTH},
                               {IDC_XYC_PERIOD_LABEL, IDC_XYC_DEPINCH_SEQ}};
} // namespace

CXYCutterDlg::CXYCutterDlg(QWidget* parent)
    : TestDialog(IDD_XY_CUTTER, kXYCutterTest, parent, vantor::Commit::AtClose)
{
    bindRadio(IDC_XYC_CROSS_WEB, m_values.axis);
    bindSpeedGroup(*this, kCrossSpeed, m_values.crossweb.speed);
    bind(IDC_XYC_CW_PULSES, m_values.crossweb.totalPulses);
    bindRadio(IDC_XYC_CW_REVERSE, m_values.crossweb.direction);
    bindVref(*this, IDC_XYC_CW_VREF, IDC_XYC_CW_VREF_VALUE, m_values.crossweb.vref);
    bindRadio(IDC_XYC_CW_FULL, m_values.crossweb.stepMode);
    bindSpeedGroup(*this, kDownSpeed, m_values.downweb.speed);
    bind(IDC_XYC_DW_PULSES, m_values.downweb.totalPulses);
    bindRadio(IDC_XYC_DW_REVERSE, m_values.downweb.direction);
    bindVref(*this, IDC_XYC_DW_VREF, IDC_XYC_DW_VREF_VALUE, m_values.downweb.vref);
    bindRadio(IDC_XYC_DW_FULL, m_values.downweb.stepMode);
    bind(IDC_XYC_PERIOD, m_values.period);
    bind(IDC_XYC_DURATION, m_values.duration);
    bindLabelledSlider(*this, IDC_XYC_DUTY, IDC_XYC_DUTY_VALUE, m_values.dutyCycle, 1, 100);
    bindCurrentLevel(*this, IDC_XYC_LEVEL, m_values.currentLevel);
    bind(IDC_XYC_PINCH_DELAY, m_values.pinchDelay);
    bind(IDC_XYC_DEPINCH_DELAY, m_values.dePinchDelay);
    bindRadio(IDC_XYC_PINCH_SEQ, m_values.pinchSequence);
    bindLabelledSlider(*this, IDC_XYC_FORCE, IDC_XYC_FORCE_VALUE, m_values.force, 0, 255);
    addRule([this] { showAxis(); }, {IDC_XYC_CROSS_WEB, IDC_XYC_DOWN_WEB, IDC_XYC_PINCH});
}

void CXYCutterDlg::showRecord()
{
    showAxis();
}

void CXYCutterDlg::showAxis()
{
    const int axis = radioChoice(IDC_XYC_CROSS_WEB);
    for (int g = 0; g < 3; ++g)
        for (int id = kGroups[g][0]; id <= kGroups[g][1]; ++id)
            if (control(id))
                enable(id, g == axis);
    if (axis == kXYCrossWeb)
        vantor::applySpeedRules(*this, kCrossSpeed);
    else if (axis == kXYDownWeb)
        vantor::applySpeedRules(*this, kDownSpeed);
}
