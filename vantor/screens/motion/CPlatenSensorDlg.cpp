#include "vantor/screens/motion/CPlatenSensorDlg.h"

#include "vantor/screens/motion/PlatenControls.h"
#include "vantor/screens/motion/PlatenTests.h"

using namespace vantor::platen;

CPlatenSensorDlg::CPlatenSensorDlg(QWidget* parent)
    : CTestDlg(IDD_PLATEN_SENSOR, kTestPlatenSensor, parent, vantor::Commit::Never)
{
    connectSpeedGroup(*this, kPlatenSpeedIds);
    connectSpeedGroup(*this, kTapeRewindSpeedIds);
}

void CPlatenSensorDlg::showRecord()
{
    // The start values of every opening; the section keeps none of them.
    const PlatenMoveInput start = platenSensorStartInput();
    setRadioIndex(IDC_PL_SIDE_NOTCH, protocol::captureSensor::SideNotch);
    showSpeed(*this, kPlatenSpeedIds, SpeedSettings{});
    setText(IDC_PL_CONSTANT_SPEED, QString());
    setRadioIndex(IDC_PL_REVERSE, 0);
    setRadioIndex(IDC_PL_FULL, start.platen.stepMode);
    setChecked(IDC_PL_TRACK_ENCODER, start.encoderDetail);
    showSpeed(*this, kTapeRewindSpeedIds, SpeedSettings{});
    setText(IDC_PL_TR_CONSTANT_SPEED, QString());
    setRadioIndex(IDC_PL_TR_FULL, start.tapeRewind.stepMode);
    setInt(IDC_CYCLE, 0);
    setInt(IDC_TOTAL_CYCLE, start.totalCycles);
    setInt(IDC_PAUSE, start.pause);
}

vantor::PreparedRun CPlatenSensorDlg::prepareRun()
{
    return preparePlatenSensorRun(readPlatenMoveInput(*this), radioChoice(IDC_PL_SIDE_NOTCH), driverRef());
}
