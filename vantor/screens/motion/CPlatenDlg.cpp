#include "vantor/screens/motion/CPlatenDlg.h"

#include <algorithm>

#include "vantor/settings/TestSettingsRecords.h"
#include "vantor/screens/motion/PlatenControls.h"
#include "vantor/screens/motion/PlatenCycles.h"

using namespace vantor::platen;

CPlatenDlg::CPlatenDlg(QWidget* parent) : CTestDlg(IDD_PLATEN, kTestPlaten, parent)
{
    connectSpeedRules(*this, kPlatenSpeedIds);
    connectSpeedRules(*this, kTapeRewindSpeedIds);
    bindBrowse(IDC_PL_RAMP_UP_BROWSE, IDC_PL_RAMP_UP_PATH);
    bindBrowse(IDC_PL_RAMP_DOWN_BROWSE, IDC_PL_RAMP_DOWN_PATH);
    bindBrowse(IDC_PL_TR_RAMP_UP_BROWSE, IDC_PL_TR_RAMP_UP_PATH);
    bindBrowse(IDC_PL_TR_RAMP_DOWN_BROWSE, IDC_PL_TR_RAMP_DOWN_PATH);
    onNotify(IDC_PL_VREF, ui::Notify::SliderMoved, &CPlatenDlg::OnVrefMoved);
}

CPlatenDlg::~CPlatenDlg()
{
    endWorker(*this);
}

void CPlatenDlg::showRecord()
{
    const auto& r = record<CPlatenSettings>();
    showSpeed(*this, kPlatenSpeedIds, r.speed);
    setRadioIndex(IDC_PL_REVERSE, r.direction);
    setInt(IDC_PL_PULSES, r.totalPulses);
    setSliderRange(IDC_PL_VREF, 1, 255);
    setSliderPos(IDC_PL_VREF, std::clamp(r.vref, 1, 255));
    OnVrefMoved();
    setRadioIndex(IDC_PL_FULL, r.stepMode);
    setInt(IDC_PL_PRE_HOLD, r.preHold);
    setInt(IDC_PL_POST_HOLD, r.postHold);
    setChecked(IDC_PL_CLUTCH, r.clutch != 0);
    setChecked(IDC_PL_TRACK_ENCODER, r.encoderInDetail != 0);
    showSpeed(*this, kTapeRewindSpeedIds, r.tapeRewind);
    setRadioIndex(IDC_PL_TR_FULL, r.tapeRewindStepMode);
}

void CPlatenDlg::OnVrefMoved()
{
    setInt(IDC_PL_VREF_VALUE, sliderPos(IDC_PL_VREF));
}

QString CPlatenDlg::validate()
{
    m_input = readPlatenMoveInput(*this);
    return validatePlatenTest(m_input);
}

void CPlatenDlg::copyToRecord()
{
    auto& r = record<CPlatenSettings>();
    r.speed = readSpeed(*this, kPlatenSpeedIds);
    r.direction = m_input.platen.direction;
    r.totalPulses = m_input.platen.totalPulses;
    r.vref = m_input.platen.vref;
    r.stepMode = m_input.platen.stepMode;
    r.preHold = m_input.platen.preHold;
    r.postHold = m_input.platen.postHold;
    r.clutch = m_input.clutch ? 1 : 0;
    r.encoderInDetail = m_input.encoderDetail ? 1 : 0;
    r.tapeRewind = readSpeed(*this, kTapeRewindSpeedIds);
    r.tapeRewindStepMode = m_input.tapeRewind.stepMode;
}

bool CPlatenDlg::buildRecords()
{
    const QString refusal = buildPlatenMove(m_run, m_input);
    if (!refusal.isEmpty()) {
        message(refusal);
        return false;
    }
    return true;
}

void CPlatenDlg::runCycle(int cycle, vantor::RunSink& sink)
{
    PacedSink paced(sink, m_listPort);
    platenMoveCycle(driver(), m_run, cycle, totalCycles(), paced);
}
