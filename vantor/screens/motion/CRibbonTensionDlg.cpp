#include "vantor/screens/motion/CRibbonTensionDlg.h"

#include "vantor/screens/motion/RibbonControls.h"

using namespace vantor::ribbon;

namespace {
constexpr vantor::SpeedGroupIds kSlipSpeedIds =
    speedIds(IDC_RT_CONSTANT, IDC_RT_RAMP_UP, IDC_RT_CONSTANT_SPEED, IDC_RT_RAMP_UP_PATH, IDC_RT_RAMP_UP_BROWSE);
// What a cleared "Slip Clutch" disables (and the panel, which it hides).
constexpr int kSlipClutchControls[] = {
    IDC_RT_CONSTANT,     IDC_RT_RAMP_UP,   IDC_RT_CONSTANT_SPEED, IDC_RT_RAMP_UP_PATH, IDC_RT_RAMP_UP_BROWSE,
    IDC_RT_PULSES_LABEL, IDC_RT_PULSES,    IDC_RT_TRACK,          IDC_RT_STEP_LABEL,   IDC_RT_FULL,
    IDC_RT_HALF,         IDC_RT_QUARTER,   IDC_RT_EIGHTH,         IDC_RT_VREF_LABEL,   IDC_RT_VREF,
    IDC_RT_VREF_VALUE,   IDC_RT_USE_PLATEN};
} // namespace

CRibbonTensionDlg::CRibbonTensionDlg(QWidget* parent)
    : TestDialog(IDD_RIBBON_TENSION, kRibbonTensionTest, parent, vantor::Commit::Never)
{
    bind(IDC_RT_FREQUENCY, m_values.frequency);
    bindLabelledSlider(*this, IDC_RT_DUTY, IDC_RT_DUTY_VALUE, 1, 100, m_values.dutyCycle);
    bind(IDC_RT_DURATION, m_values.duration);
    bindComboText(IDC_RT_LEVEL, m_values.currentLevel);
    bindCheck(IDC_RT_SLIP, m_values.slipClutch.enabled);
    bindSpeedGroup(*this, kSlipSpeedIds, m_values.slipClutch.speed);
    bind(IDC_RT_PULSES, m_values.slipClutch.totalPulses);
    bindCheck(IDC_RT_TRACK, m_values.trackEncoder);
    bindRadio(IDC_RT_FULL, m_values.stepMode);
    vantor::bindVref(*this, IDC_RT_VREF, IDC_RT_VREF_VALUE, m_values.slipClutch.vref);
    bindCheck(IDC_RT_USE_PLATEN, m_values.usePlaten);
    // After the speed group's rule: a cleared "Slip Clutch" wins over it.
    addRule([this] { applySlipClutchRule(); }, {IDC_RT_SLIP, IDC_RT_CONSTANT, IDC_RT_RAMP_UP, IDC_RT_USE_PLATEN});
}

void CRibbonTensionDlg::showRecord()
{
    comboClear(IDC_RT_LEVEL);
    for (const char* level : {"38", "71", "100"})
        comboAdd(IDC_RT_LEVEL, QLatin1String(level));
    if (!selectComboText(IDC_RT_LEVEL, m_values.currentLevel))
        setComboIndex(IDC_RT_LEVEL, 0);
    blankZeroes(*this, {IDC_RT_FREQUENCY, IDC_RT_DURATION, IDC_RT_CONSTANT_SPEED, IDC_RT_PULSES});

    m_panel = std::make_unique<CPlatenSettingDlg>(CPlatenSettingDlg::kRibbon, this);
    m_panel->Create(kPanelAt);
    m_panel->showSettings(m_values.platen);
}

void CRibbonTensionDlg::applySlipClutchRule()
{
    const bool on = isChecked(IDC_RT_SLIP);
    enableAll(*this, kSlipClutchControls, on);
    if (on)
        vantor::applySpeedRules(*this, kSlipSpeedIds);
    if (m_panel)
        m_panel->setVisible(on && isChecked(IDC_RT_USE_PLATEN));
}

vantor::PreparedRun CRibbonTensionDlg::prepareRun()
{
    m_values.platen = readPanel(*m_panel);
    return TestDialog::prepareRun();
}
