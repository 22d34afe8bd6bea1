#include "vantor/screens/motion/CPlatenLifeDlg.h"

#include <algorithm>

#include "vantor/settings/TestSettingsRecords.h"
#include "vantor/screens/motion/PlatenControls.h"
#include "vantor/screens/motion/PlatenTests.h"

using namespace vantor::platen;

namespace {
constexpr int kMaxPasses = 4;
}

CPlatenLifeDlg::CPlatenLifeDlg(QWidget* parent) : CTestDlg(IDD_PLATEN_LIFE, kTestPlatenLife, parent)
{
    connectSpeedGroup(*this, kTapeRewindSpeedIds);
    onCommand(IDC_PL_LIFE_FORWARD, [this] { showPanel(false); });
    onCommand(IDC_PL_LIFE_REVERSE, [this] { showPanel(true); });
    onMessage(CPlatenSettingDlg::WM_PLATEN_REVERSE, &CPlatenLifeDlg::OnReverseEnabled);
}

void CPlatenLifeDlg::showRecord()
{
    const auto& r = record<CPlatenLifeSettings>();
    const QPoint at = controlRect(IDC_PL_PANEL_AREA).topLeft();
    m_forward = std::make_unique<CPlatenSettingDlg>(CPlatenSettingDlg::kForward, this);
    m_reverse = std::make_unique<CPlatenSettingDlg>(CPlatenSettingDlg::kReverse, this);
    m_forward->Create(at);
    m_reverse->Create(at);
    m_forward->setCaption(kForwardPanelCaption);
    m_reverse->setCaption(kReversePanelCaption);
    m_forward->showSettings(r.forward, r.useReversePlaten != 0);
    m_reverse->showSettings(r.reverse);

    showSpeed(*this, kTapeRewindSpeedIds, r.tapeRewind);
    setInt(IDC_PL_TR_REVERSE_PULSES, r.tapeRewindReverseTotalPulses);
    setRadioIndex(IDC_PL_TR_FULL, r.tapeRewindStepMode);

    comboClear(IDC_PL_MULTI_PASS);
    for (int n = 1; n <= kMaxPasses; ++n)
        comboAdd(IDC_PL_MULTI_PASS, QString::number(n));
    // A section without a valid count (a fresh file holds 0) starts at one pass.
    setComboIndex(IDC_PL_MULTI_PASS, (r.multiPass >= 1 && r.multiPass <= kMaxPasses ? r.multiPass : 1) - 1);

    show(IDC_PL_LIFE_REVERSE, r.useReversePlaten != 0);
    showPanel(false);
}

void CPlatenLifeDlg::showPanel(bool reverse)
{
    setRadioIndex(IDC_PL_LIFE_FORWARD, reverse ? 1 : 0);
    if (m_forward)
        m_forward->setVisible(!reverse);
    if (m_reverse)
        m_reverse->setVisible(reverse);
}

void CPlatenLifeDlg::OnReverseEnabled(ui::Message& m)
{
    const bool enabled = m.wParam != 0;
    show(IDC_PL_LIFE_REVERSE, enabled);
    // The reverse panel cannot stay on show behind a radio that is gone.
    if (!enabled && radioIndex(IDC_PL_LIFE_FORWARD) == 1)
        showPanel(false);
}

int CPlatenLifeDlg::passes() const
{
    return std::clamp(comboIndex(IDC_PL_MULTI_PASS) + 1, 1, kMaxPasses);
}

vantor::PreparedRun CPlatenLifeDlg::prepareRun()
{
    PlatenLifeInput in;
    in.forward.move = m_forward->moveParams();
    in.forward.clutch = m_forward->clutch();
    in.useReverse = m_forward->reverseEnabled();
    in.reverse.move = m_reverse->moveParams();
    in.reverse.clutch = m_reverse->clutch();
    vantor::applySpeed(in.tapeRewind, readSpeed(*this, kTapeRewindSpeedIds));
    in.tapeRewind.stepMode = radioChoice(IDC_PL_TR_FULL);
    in.tapeRewindReversePulses = intValue(IDC_PL_TR_REVERSE_PULSES);
    in.passes = passes();
    return preparePlatenLifeRun(in, driverRef());
}

void CPlatenLifeDlg::onClosing()
{
    // Only these are kept; the panels' edits are not.
    auto& r = record<CPlatenLifeSettings>();
    r.tapeRewind = readSpeed(*this, kTapeRewindSpeedIds);
    r.tapeRewindReverseTotalPulses = intValue(IDC_PL_TR_REVERSE_PULSES);
    r.tapeRewindStepMode = radioChoice(IDC_PL_TR_FULL);
    r.multiPass = passes();
    r.pause = intValue(IDC_PAUSE);
    r.cycle = intValue(IDC_TOTAL_CYCLE);
}
