#include "vantor/screens/motion/CTapeRewindDlg.h"

#include "vantor/res/resource.h"
#include "vantor/settings/TestSettingsRecords.h"

using namespace vantor::motion;

namespace {
int validMode(int mode) { return mode >= 0 && mode < kTapeRewindModes ? mode : kModeTapeRewind; }
} // namespace

CTapeRewindDlg::CTapeRewindDlg(int mode, QWidget* parent)
    : CTestDlg(IDD_TAPE_REWIND, CTapeRewindSettings::IndexOfMode(validMode(mode)), parent), m_mode(validMode(mode))
{
    m_values = TapeRewindValuesFrom(record<CTapeRewindSettings>());
    // Any stored choice other than 0 shows (and runs) as the ramp-up profile,
    // as the enable rules treat it.
    m_values.speedChoice = m_values.speedChoice != 0 ? 1 : 0;

    bindRadio(IDC_TR_CONSTANT, m_values.speedChoice);
    bind(IDC_TR_CONSTANT_SPEED, m_values.constantSpeed);
    bind(IDC_TR_RAMP_UP_PATH, m_values.rampUpProfile);
    bindCheck(IDC_TR_USE_RAMP_DOWN, m_values.useRampDown);
    bind(IDC_TR_RAMP_DOWN_PATH, m_values.rampDownProfile);
    bind(IDC_TR_PULSES, m_values.totalPulses);
    bind(IDC_TR_CAPTURE, m_values.captureEncoderFrom);
    bind(IDC_TR_WAIT, m_values.waitToRead);
    bindSlider(IDC_TR_VREF, m_values.vref);
    bindRadio(IDC_TR_FULL, m_values.stepMode);
    bindRadio(IDC_TR_LOW, m_values.tension);
    bind(IDC_TR_POST_HOLD, m_values.postHold);

    bindBrowse(IDC_TR_RAMP_UP_BROWSE, IDC_TR_RAMP_UP_PATH);
    bindBrowse(IDC_TR_RAMP_DOWN_BROWSE, IDC_TR_RAMP_DOWN_PATH);
    onCommand(IDC_TR_CONSTANT, &CTapeRewindDlg::applySpeedRule);
    onCommand(IDC_TR_RAMP_UP, &CTapeRewindDlg::applySpeedRule);
    onCommand(IDC_TR_USE_RAMP_DOWN, &CTapeRewindDlg::applyRampDownRule);
    onNotify(IDC_TR_VREF, ui::Notify::SliderMoved, &CTapeRewindDlg::showVref);
}

void CTapeRewindDlg::showRecord()
{
    // The binding showed the position before the range was set.
    setSliderRange(IDC_TR_VREF, 1, 255);
    setSliderPos(IDC_TR_VREF, m_values.vref);
    showVref();

    if (m_mode == kModeRollTightness) {
        setWindowTitle(TapeRewindCaption(m_mode));
        for (int id : {IDC_TR_VREF_LABEL, IDC_TR_VREF, IDC_TR_VREF_VALUE})
            show(id, false);
        for (int id : {IDC_TR_CAPTURE_LABEL, IDC_TR_CAPTURE}) {
            enable(id, true);
            show(id, true);
        }
    } else if (m_mode == kModeOvershoot) {
        setWindowTitle(TapeRewindCaption(m_mode));
        for (int id : {IDC_TR_VREF_LABEL, IDC_TR_VREF, IDC_TR_VREF_VALUE})
            show(id, false);
        for (int id : {IDC_TR_PULSES_LABEL, IDC_TR_PULSES}) {
            enable(id, false);
            show(id, false);
        }
        for (int id : {IDC_TR_WAIT_LABEL, IDC_TR_WAIT})
            show(id, true);
    }
    applySpeedRule();
    applyRampDownRule();
}

void CTapeRewindDlg::applySpeedRule()
{
    const bool constant = radioIndex(IDC_TR_CONSTANT) == 0;
    enable(IDC_TR_CONSTANT_SPEED, constant);
    enable(IDC_TR_RAMP_UP_BROWSE, !constant);
}

void CTapeRewindDlg::applyRampDownRule()
{
    enable(IDC_TR_RAMP_DOWN_BROWSE, isChecked(IDC_TR_USE_RAMP_DOWN));
}

void CTapeRewindDlg::showVref()
{
    setText(IDC_TR_VREF_VALUE, QString::asprintf("%3d", sliderPos(IDC_TR_VREF)));
}

QString CTapeRewindDlg::validate()
{
    return CheckTapeRewindRun(m_mode, m_values);
}

bool CTapeRewindDlg::buildRecords()
{
    if (BuildTapeRewindMove(m_mode, m_values, m_move))
        return true;
    // The profile changed since the check: still no run without a speed.
    QString why = CheckTapeRewindRun(m_mode, m_values);
    if (why.isEmpty())
        why = QStringLiteral("File in \"Ramp Up Profile\" of %1 has no value\n").arg(TapeRewindTestName(m_mode));
    message(why);
    return false;
}

void CTapeRewindDlg::runCycle(int cycle, vantor::RunSink& sink)
{
    sink.addLine(RunTapeRewindCycle(driver(), m_move.block(), m_mode, cycle));
}

void CTapeRewindDlg::onClosing()
{
    updateData(true);
    m_values.cycle = totalCycles();
    m_values.pause = pauseMs();
    StoreTapeRewindValues(m_values, record<CTapeRewindSettings>());
}
