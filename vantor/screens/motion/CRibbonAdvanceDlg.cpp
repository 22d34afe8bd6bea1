#include "vantor/screens/motion/CRibbonAdvanceDlg.h"

#include <vector>

#include "vantor/screens/motion/RibbonControls.h"

using namespace vantor::ribbon;

namespace {
constexpr vantor::SpeedGroupIds kCcSpeedIds = speedIds(IDC_RA_CC_CONSTANT, IDC_RA_CC_RAMP_UP, IDC_RA_CC_CONSTANT_SPEED,
                                                       IDC_RA_CC_RAMP_UP_PATH, IDC_RA_CC_RAMP_UP_BROWSE);
constexpr vantor::SpeedGroupIds kCSpeedIds = speedIds(IDC_RA_C_CONSTANT, IDC_RA_C_RAMP_UP, IDC_RA_C_CONSTANT_SPEED,
                                                      IDC_RA_C_RAMP_UP_PATH, IDC_RA_C_RAMP_UP_BROWSE);
constexpr vantor::SpeedGroupIds kScSpeedIds = speedIds(IDC_RA_SC_CONSTANT, IDC_RA_SC_RAMP_UP, IDC_RA_SC_CONSTANT_SPEED,
                                                       IDC_RA_SC_RAMP_UP_PATH, IDC_RA_SC_RAMP_UP_BROWSE);

// Each move's controls but its check box (and, for the slip clutch, the panel).
const std::vector<int> kCcControls = {IDC_RA_CC_CONSTANT,     IDC_RA_CC_RAMP_UP,        IDC_RA_CC_CONSTANT_SPEED,
                                      IDC_RA_CC_RAMP_UP_PATH, IDC_RA_CC_RAMP_UP_BROWSE, IDC_RA_CC_SENSOR,
                                      IDC_RA_CC_PULSE,        IDC_RA_CC_PULSES,         IDC_RA_CC_VREF_LABEL,
                                      IDC_RA_CC_VREF,         IDC_RA_CC_VREF_VALUE};
const std::vector<int> kCControls = {
    IDC_RA_C_CONSTANT,     IDC_RA_C_RAMP_UP, IDC_RA_C_CONSTANT_SPEED, IDC_RA_C_RAMP_UP_PATH, IDC_RA_C_RAMP_UP_BROWSE,
    IDC_RA_C_PULSES_LABEL, IDC_RA_C_PULSES,  IDC_RA_C_VREF_LABEL,     IDC_RA_C_VREF,         IDC_RA_C_VREF_VALUE};
const std::vector<int> kScControls = {IDC_RA_SC_CONSTANT,     IDC_RA_SC_RAMP_UP,        IDC_RA_SC_CONSTANT_SPEED,
                                      IDC_RA_SC_RAMP_UP_PATH, IDC_RA_SC_RAMP_UP_BROWSE, IDC_RA_SC_PULSES_LABEL,
                                      IDC_RA_SC_PULSES,       IDC_RA_SC_TRACK,          IDC_RA_SC_VREF_LABEL,
                                      IDC_RA_SC_VREF,         IDC_RA_SC_VREF_VALUE,     IDC_RA_SC_USE_PLATEN};
} // namespace

CRibbonAdvanceDlg::CRibbonAdvanceDlg(QWidget* parent)
    : TestDialog(IDD_RIBBON_ADVANCE, kRibbonAdvanceTest, parent, vantor::Commit::Never)
{
    bindCheck(IDC_RA_CC_CHECK, m_values.counterClockwise.enabled);
    bindSpeedGroup(*this, kCcSpeedIds, m_values.counterClockwise.speed);
    bindRadio(IDC_RA_CC_SENSOR, m_values.pulseTrigger);
    bind(IDC_RA_CC_PULSES, m_values.counterClockwise.totalPulses);
    vantor::bindVref(*this, IDC_RA_CC_VREF, IDC_RA_CC_VREF_VALUE, m_values.counterClockwise.vref);

    bindCheck(IDC_RA_C_CHECK, m_values.clockwise.enabled);
    bindSpeedGroup(*this, kCSpeedIds, m_values.clockwise.speed);
    bind(IDC_RA_C_PULSES, m_values.clockwise.totalPulses);
    vantor::bindVref(*this, IDC_RA_C_VREF, IDC_RA_C_VREF_VALUE, m_values.clockwise.vref);

    bindCheck(IDC_RA_SC_CHECK, m_values.slipClutch.enabled);
    bindSpeedGroup(*this, kScSpeedIds, m_values.slipClutch.speed);
    bind(IDC_RA_SC_PULSES, m_values.slipClutch.totalPulses);
    bindCheck(IDC_RA_SC_TRACK, m_values.trackEncoder);
    vantor::bindVref(*this, IDC_RA_SC_VREF, IDC_RA_SC_VREF_VALUE, m_values.slipClutch.vref);
    bindCheck(IDC_RA_SC_USE_PLATEN, m_values.usePlaten);

    bindRadio(IDC_RA_FULL, m_values.stepMode);

    // After the speed groups' rules: a cleared move's box wins over them.
    addRule([this] { applyViewRule(); }, {IDC_RA_VIEW_CC, IDC_RA_VIEW_C, IDC_RA_VIEW_SC});
    addRule([this] { applyCounterClockwiseRule(); },
            {IDC_RA_CC_CHECK, IDC_RA_CC_CONSTANT, IDC_RA_CC_RAMP_UP, IDC_RA_CC_SENSOR, IDC_RA_CC_PULSE});
    addRule([this] { applyClockwiseRule(); }, {IDC_RA_C_CHECK, IDC_RA_C_CONSTANT, IDC_RA_C_RAMP_UP});
    addRule([this] { applySlipClutchRule(); },
            {IDC_RA_SC_CHECK, IDC_RA_SC_CONSTANT, IDC_RA_SC_RAMP_UP, IDC_RA_SC_USE_PLATEN});

    onMessage(vantor::WM_PH_TRIGGERED, [this](ui::Message&) { setInt(IDC_RA_PH_TRIGGERED, ++m_phTriggered); });
}

void CRibbonAdvanceDlg::showRecord()
{
    setRadioIndex(IDC_RA_VIEW_CC, kCounterClockwise);
    setInt(IDC_RA_PH_TRIGGERED, 0);
    blankZeroes(*this, {IDC_RA_CC_CONSTANT_SPEED, IDC_RA_CC_PULSES, IDC_RA_C_CONSTANT_SPEED, IDC_RA_C_PULSES,
                        IDC_RA_SC_CONSTANT_SPEED, IDC_RA_SC_PULSES});
    m_panel = std::make_unique<CPlatenSettingDlg>(CPlatenSettingDlg::kRibbon, this);
    m_panel->Create(kPanelAt);
    m_panel->showSettings(m_values.platen);
}

void CRibbonAdvanceDlg::applyViewRule()
{
    const int view = radioChoice(IDC_RA_VIEW_CC);
    const struct {
        int check;
        const std::vector<int>& controls;
    } sets[] = {{IDC_RA_CC_CHECK, kCcControls}, {IDC_RA_C_CHECK, kCControls}, {IDC_RA_SC_CHECK, kScControls}};
    for (int v = 0; v < 3; ++v) {
        show(sets[v].check, v == view);
        showAll(*this, sets[v].controls, v == view);
    }
    showPanel();
}

void CRibbonAdvanceDlg::applyCounterClockwiseRule()
{
    const bool on = isChecked(IDC_RA_CC_CHECK);
    enableAll(*this, kCcControls, on);
    if (!on)
        return;
    vantor::applySpeedRules(*this, kCcSpeedIds);
    enable(IDC_RA_CC_PULSES, radioChoice(IDC_RA_CC_SENSOR) == 1);
}

void CRibbonAdvanceDlg::applyClockwiseRule()
{
    const bool on = isChecked(IDC_RA_C_CHECK);
    enableAll(*this, kCControls, on);
    if (on)
        vantor::applySpeedRules(*this, kCSpeedIds);
}

void CRibbonAdvanceDlg::applySlipClutchRule()
{
    const bool on = isChecked(IDC_RA_SC_CHECK);
    enableAll(*this, kScControls, on);
    if (on)
        vantor::applySpeedRules(*this, kScSpeedIds);
    showPanel();
}

// The panel is one of the slip clutch's controls: on show with its view,
// while the move is checked and "Use Platen:" is checked.
void CRibbonAdvanceDlg::showPanel()
{
    if (m_panel)
        m_panel->setVisible(radioChoice(IDC_RA_VIEW_CC) == kSlipClutch && isChecked(IDC_RA_SC_CHECK) &&
                            isChecked(IDC_RA_SC_USE_PLATEN));
}

void CRibbonAdvanceDlg::OnRun()
{
    if (!isChecked(IDC_RA_CC_CHECK) && !isChecked(IDC_RA_C_CHECK) && !isChecked(IDC_RA_SC_CHECK))
        return;
    TestDialog::OnRun();
}

vantor::PreparedRun CRibbonAdvanceDlg::prepareRun()
{
    m_values.platen = readPanel(*m_panel);
    vantor::PreparedRun run = TestDialog::prepareRun();
    if (run) {
        m_phTriggered = 0;
        setInt(IDC_RA_PH_TRIGGERED, 0);
        // The worker posts through the port: it never holds the dialog.
        setPhTriggered(run, [port = port()] { port.post(vantor::WM_PH_TRIGGERED); });
    }
    return run;
}
