#include "vantor/screens/motion/CRibbonDriveDlg.h"

#include "vantor/screens/motion/RibbonControls.h"

using namespace vantor::ribbon;

namespace {
constexpr vantor::SpeedGroupIds kAdvanceSpeedIds = speedIds(
    IDC_RD_A_CONSTANT, IDC_RD_A_RAMP_UP, IDC_RD_A_CONSTANT_SPEED, IDC_RD_A_RAMP_UP_PATH, IDC_RD_A_RAMP_UP_BROWSE);
constexpr vantor::SpeedGroupIds kReverseSpeedIds = speedIds(
    IDC_RD_R_CONSTANT, IDC_RD_R_RAMP_UP, IDC_RD_R_CONSTANT_SPEED, IDC_RD_R_RAMP_UP_PATH, IDC_RD_R_RAMP_UP_BROWSE);

// One move's check box and the controls it enables.
struct Move {
    int check;
    vantor::SpeedGroupIds speed;
    int pulses;
};
constexpr Move kAdvance{IDC_RD_ADVANCE, kAdvanceSpeedIds, IDC_RD_A_PULSES};
constexpr Move kReverse{IDC_RD_REVERSE, kReverseSpeedIds, IDC_RD_R_PULSES};

void applyMoveRule(ui::Dialog& dlg, const Move& m)
{
    const bool on = dlg.isChecked(m.check);
    const int ids[] = {m.speed.constant,   m.speed.rampUp,       m.speed.constantSpeed,
                       m.speed.rampUpPath, m.speed.rampUpBrowse, m.pulses};
    enableAll(dlg, ids, on);
    if (on)
        vantor::applySpeedRules(dlg, m.speed);
}
} // namespace

CRibbonDriveDlg::CRibbonDriveDlg(QWidget* parent)
    : TestDialog(IDD_RIBBON_DRIVE, kRibbonDriveTest, parent, vantor::Commit::Never)
{
    bindCheck(IDC_RD_ADVANCE, m_values.advance.enabled);
    bindSpeedGroup(*this, kAdvanceSpeedIds, m_values.advance.speed);
    bind(IDC_RD_A_PULSES, m_values.advance.totalPulses);
    bindCheck(IDC_RD_REVERSE, m_values.reverse.enabled);
    bindSpeedGroup(*this, kReverseSpeedIds, m_values.reverse.speed);
    bind(IDC_RD_R_PULSES, m_values.reverse.totalPulses);
    vantor::bindVref(*this, IDC_RD_VREF, IDC_RD_VREF_VALUE, m_values.vref);
    bindRadio(IDC_RD_FULL, m_values.stepMode);
    bindCheck(IDC_RD_TRACK, m_values.trackEncoder);
    // After the speed groups' rules: a cleared box wins over them.
    for (const Move* m : {&kAdvance, &kReverse})
        addRule([this, m] { applyMoveRule(*this, *m); }, {m->check, m->speed.constant, m->speed.rampUp});
}

void CRibbonDriveDlg::showRecord()
{
    blankZeroes(*this, {IDC_RD_A_CONSTANT_SPEED, IDC_RD_A_PULSES, IDC_RD_R_CONSTANT_SPEED, IDC_RD_R_PULSES});
}

void CRibbonDriveDlg::OnRun()
{
    if (!isChecked(IDC_RD_ADVANCE) && !isChecked(IDC_RD_REVERSE))
        return;
    TestDialog::OnRun();
}
