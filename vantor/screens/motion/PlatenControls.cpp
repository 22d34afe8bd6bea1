#include "vantor/screens/motion/PlatenControls.h"

#include <algorithm>

namespace vantor::platen {

void connectSpeedGroup(ui::Dialog& dlg, const SpeedGroupIds& ids)
{
    for (int id : {ids.constant, ids.rampUp, ids.useRampDown})
        dlg.onCommand(id, [&dlg, ids] { applySpeedRules(dlg, ids); });
    dlg.bindBrowse(ids.rampUpBrowse, ids.rampUpPath);
    dlg.bindBrowse(ids.rampDownBrowse, ids.rampDownPath);
}

void showSpeed(ui::Dialog& dlg, const SpeedGroupIds& ids, const SpeedSettings& speed)
{
    dlg.setRadioIndex(ids.constant, speed.initialSpeedType != 0 ? 1 : 0);
    dlg.setInt(ids.constantSpeed, speed.constantSpeed);
    dlg.setText(ids.rampUpPath, speed.rampUpProfile);
    dlg.setChecked(ids.useRampDown, speed.useRampDown != 0);
    dlg.setText(ids.rampDownPath, speed.rampDownProfile);
    applySpeedRules(dlg, ids);
}

SpeedSettings readSpeed(const ui::Dialog& dlg, const SpeedGroupIds& ids)
{
    SpeedSettings s;
    s.initialSpeedType = dlg.radioChoice(ids.constant);
    s.constantSpeed = dlg.intValue(ids.constantSpeed);
    s.rampUpProfile = dlg.text(ids.rampUpPath);
    s.useRampDown = dlg.isChecked(ids.useRampDown) ? 1 : 0;
    s.rampDownProfile = dlg.text(ids.rampDownPath);
    return s;
}

PlatenMoveInput readPlatenMoveInput(const ui::Dialog& dlg)
{
    PlatenMoveInput in;
    applySpeed(in.platen, readSpeed(dlg, kPlatenSpeedIds));
    in.platen.direction = dlg.radioChoice(IDC_PL_REVERSE);
    in.platen.totalPulses = dlg.intValue(IDC_PL_PULSES);
    in.totalPulsesEmpty = dlg.isEmptyField(IDC_PL_PULSES);
    in.platen.stepMode = dlg.radioChoice(IDC_PL_FULL);
    if (dlg.control(IDC_PL_VREF))
        in.platen.vref = uint8_t(std::clamp(dlg.sliderPos(IDC_PL_VREF), 1, 255));
    in.platen.preHold = dlg.intValue(IDC_PL_PRE_HOLD);
    in.platen.postHold = dlg.intValue(IDC_PL_POST_HOLD);
    in.clutch = dlg.isChecked(IDC_PL_CLUTCH);
    in.encoderDetail = dlg.isChecked(IDC_PL_TRACK_ENCODER);
    applySpeed(in.tapeRewind, readSpeed(dlg, kTapeRewindSpeedIds));
    in.tapeRewind.stepMode = dlg.radioChoice(IDC_PL_TR_FULL);
    in.totalCycles = dlg.intValue(IDC_TOTAL_CYCLE);
    in.pause = dlg.intValue(IDC_PAUSE);
    return in;
}

} // namespace vantor::platen
