#include "vantor/screens/motion/CPlatenSensorDlg.h"

#include "vantor/settings/TestSettingsRecords.h"
#include "vantor/screens/motion/PlatenControls.h"
#include "vantor/screens/motion/PlatenCycles.h"
#include "vantor/screens/motion/PlatenLines.h"

using namespace vantor::platen;

namespace {
constexpr int kQuarterStep = 2; // "1/4 "
}

CPlatenSensorDlg::CPlatenSensorDlg(QWidget* parent) : CTestDlg(IDD_PLATEN_SENSOR, kTestPlatenSensor, parent)
{
    connectSpeedRules(*this, kPlatenSpeedIds);
    connectSpeedRules(*this, kTapeRewindSpeedIds);
    bindBrowse(IDC_PL_RAMP_UP_BROWSE, IDC_PL_RAMP_UP_PATH);
    bindBrowse(IDC_PL_RAMP_DOWN_BROWSE, IDC_PL_RAMP_DOWN_PATH);
    bindBrowse(IDC_PL_TR_RAMP_UP_BROWSE, IDC_PL_TR_RAMP_UP_PATH);
    bindBrowse(IDC_PL_TR_RAMP_DOWN_BROWSE, IDC_PL_TR_RAMP_DOWN_PATH);
}

CPlatenSensorDlg::~CPlatenSensorDlg()
{
    endWorker(*this);
}

void CPlatenSensorDlg::showRecord()
{
    // The start values of every opening; the section keeps none of them.
    setRadioIndex(IDC_PL_SIDE_NOTCH, protocol::captureSensor::SideNotch);
    showSpeed(*this, kPlatenSpeedIds, SpeedSettings{});
    setText(IDC_PL_CONSTANT_SPEED, QString());
    setRadioIndex(IDC_PL_REVERSE, 0);
    setRadioIndex(IDC_PL_FULL, kQuarterStep);
    setChecked(IDC_PL_TRACK_ENCODER, true);
    showSpeed(*this, kTapeRewindSpeedIds, SpeedSettings{});
    setText(IDC_PL_TR_CONSTANT_SPEED, QString());
    setRadioIndex(IDC_PL_TR_FULL, kQuarterStep);
    setInt(IDC_CYCLE, 0);
    setInt(IDC_TOTAL_CYCLE, 1);
    setInt(IDC_PAUSE, 500);
}

bool CPlatenSensorDlg::buildRecords()
{
    const PlatenMoveInput in = readPlatenMoveInput(*this);
    const QString refusal = buildPlatenSensorMove(m_run, in, radioChoice(*this, IDC_PL_SIDE_NOTCH));
    if (!refusal.isEmpty()) {
        message(refusal);
        return false;
    }
    return true;
}

void CPlatenSensorDlg::OnRun()
{
    const bool wasIdle = workerIdle();
    CTestDlg::OnRun();
    // Sent while the worker's first lines can only be queued behind it.
    if (wasIdle && !workerIdle())
        addLine(kSensorColumnHeader);
}

void CPlatenSensorDlg::runCycle(int cycle, vantor::RunSink& sink)
{
    PacedSink paced(sink, m_listPort);
    platenSensorCycle(driver(), m_run, cycle, paced);
}
