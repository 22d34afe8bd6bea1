#include "vantor/screens/motion/CPlatenSettingDlg.h"

#include <iterator>

#include "vantor/res/resource.h"
#include "vantor/screens/motion/PlatenControls.h"

using namespace vantor::platen;

namespace {
// What the ribbon form hides, and what it moves up.
constexpr int kRibbonHidden[] = {IDC_PL_PANEL_TITLE, IDC_PL_CLUTCH, IDC_PL_PRE_HOLD_LABEL,
                                 IDC_PL_PRE_HOLD, IDC_PL_POST_HOLD_LABEL, IDC_PL_POST_HOLD};
constexpr int kRibbonMoved[] = {IDC_PL_CONSTANT,       IDC_PL_RAMP_UP,       IDC_PL_CONSTANT_SPEED,
                                IDC_PL_RAMP_UP_PATH,   IDC_PL_RAMP_UP_BROWSE, IDC_PL_USE_RAMP_DOWN,
                                IDC_PL_RAMP_DOWN_PATH, IDC_PL_RAMP_DOWN_BROWSE, IDC_PL_PULSES_LABEL,
                                IDC_PL_PULSES,         IDC_PL_STEP_LABEL,    IDC_PL_FULL,
                                IDC_PL_HALF,           IDC_PL_QUARTER,       IDC_PL_EIGHTH};
static_assert(std::size(kRibbonMoved) == 15);
} // namespace

CPlatenSettingDlg::CPlatenSettingDlg(int mode, ui::Dialog* owner)
    : ui::Dialog(IDD_PLATEN_SETTING, owner), m_mode(mode), m_owner(owner)
{
    connectSpeedGroup(*this, kPlatenSpeedIds);
    onCommand(IDC_PL_ENABLE_REVERSE, &CPlatenSettingDlg::OnEnableReverse);
}

bool CPlatenSettingDlg::Create(QPoint pos)
{
    return createChild(m_owner, pos);
}

bool CPlatenSettingDlg::onInitDialog()
{
    show(IDC_PL_ENABLE_REVERSE, m_mode == kForward);
    if (m_mode == kRibbon) {
        for (int id : kRibbonHidden)
            show(id, false);
        for (int id : kRibbonMoved)
            moveControlBy(id, 0, -kRibbonShift);
        setPanelSize(kRibbonSize);
        move(0, 0);
    }
    applySpeedRules(*this, kPlatenSpeedIds);
    return false;
}

void CPlatenSettingDlg::setCaption(const QString& caption)
{
    setText(IDC_PL_PANEL_TITLE, caption);
}

void CPlatenSettingDlg::showSettings(const PlatenMoveSettings& move, bool useReverse)
{
    showSpeed(*this, kPlatenSpeedIds, move.speed);
    setInt(IDC_PL_PULSES, move.totalPulses);
    setRadioIndex(IDC_PL_FULL, move.stepMode);
    setInt(IDC_PL_PRE_HOLD, move.preHold);
    setInt(IDC_PL_POST_HOLD, move.postHold);
    setChecked(IDC_PL_CLUTCH, move.clutch != 0);
    setChecked(IDC_PL_ENABLE_REVERSE, useReverse);
}

vantor::driver::MotorGroupParams CPlatenSettingDlg::moveParams() const
{
    vantor::driver::MotorGroupParams g;
    vantor::applySpeed(g, readSpeed(*this, kPlatenSpeedIds));
    g.totalPulses = intValue(IDC_PL_PULSES);
    g.stepMode = radioChoice(IDC_PL_FULL);
    g.preHold = intValue(IDC_PL_PRE_HOLD);
    g.postHold = intValue(IDC_PL_POST_HOLD);
    return g;
}

bool CPlatenSettingDlg::clutch() const
{
    return isChecked(IDC_PL_CLUTCH);
}

bool CPlatenSettingDlg::reverseEnabled() const
{
    return isChecked(IDC_PL_ENABLE_REVERSE);
}

void CPlatenSettingDlg::OnEnableReverse()
{
    if (m_owner)
        m_owner->send(WM_PLATEN_REVERSE, reverseEnabled() ? 1 : 0);
}
