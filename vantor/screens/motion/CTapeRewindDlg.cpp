#include "vantor/screens/motion/CTapeRewindDlg.h"

#include "vantor/framework/SpeedGroup.h"
#include "vantor/res/resource.h"

using namespace vantor::motion;

namespace {
int validMode(int mode) { return mode >= 0 && mode < kTapeRewindModes ? mode : kModeTapeRewind; }

constexpr vantor::SpeedGroupIds kRewindScreenSpeedIds{IDC_TR_CONSTANT,       IDC_TR_RAMP_UP,        IDC_TR_CONSTANT_SPEED,
                                          IDC_TR_RAMP_UP_PATH,   IDC_TR_RAMP_UP_BROWSE, IDC_TR_USE_RAMP_DOWN,
                                          IDC_TR_RAMP_DOWN_PATH, IDC_TR_RAMP_DOWN_BROWSE};
} // namespace

CTapeRewindDlg::CTapeRewindDlg(int mode, QWidget* parent)
    : TestDialog(IDD_TAPE_REWIND, kTapeRewindTest, parent, vantor::Commit::AtClose,
                 CTapeRewindSettings::IndexOfMode(validMode(mode))),
      m_mode(validMode(mode))
{
    bindSpeedGroup(*this, kRewindScreenSpeedIds, m_values.speed);
    bind(IDC_TR_PULSES, m_values.totalPulses);
    bind(IDC_TR_CAPTURE, m_values.captureEncoderFrom);
    bind(IDC_TR_WAIT, m_values.waitToRead);
    bindVref(*this, IDC_TR_VREF, IDC_TR_VREF_VALUE, m_values.vref);
    bindRadio(IDC_TR_FULL, m_values.stepMode);
    bindRadio(IDC_TR_LOW, m_values.tension);
    bind(IDC_TR_POST_HOLD, m_values.postHold);
}

void CTapeRewindDlg::showRecord()
{
    if (m_mode == kModeTapeRewind)
        return;
    setWindowTitle(TapeRewindCaption(m_mode));
    for (int id : {IDC_TR_VREF_LABEL, IDC_TR_VREF, IDC_TR_VREF_VALUE})
        show(id, false);
    if (m_mode == kModeRollTightness) {
        for (int id : {IDC_TR_CAPTURE_LABEL, IDC_TR_CAPTURE}) {
            enable(id, true);
            show(id, true);
        }
    } else {
        for (int id : {IDC_TR_PULSES_LABEL, IDC_TR_PULSES}) {
            enable(id, false);
            show(id, false);
        }
        for (int id : {IDC_TR_WAIT_LABEL, IDC_TR_WAIT})
            show(id, true);
    }
}
