#include "vantor/screens/motion/PlatenControls.h"

#include <algorithm>

#include "ui/Prompts.h"

namespace vantor::platen {

void applySpeedRules(ui::Dialog& dlg, const SpeedGroupIds& ids)
{
    const bool constant = radioChoice(dlg, ids.constant) == 0;
    dlg.enable(ids.constantSpeed, constant);
    dlg.enable(ids.rampUpBrowse, !constant);
    dlg.enable(ids.rampDownBrowse, dlg.isChecked(ids.useRampDown));
}

void connectSpeedRules(ui::Dialog& dlg, const SpeedGroupIds& ids)
{
    for (int id : {ids.constant, ids.rampUp, ids.useRampDown})
        dlg.onCommand(id, [&dlg, ids] { applySpeedRules(dlg, ids); });
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
    s.initialSpeedType = radioChoice(dlg, ids.constant);
    s.constantSpeed = dlg.intValue(ids.constantSpeed);
    s.rampUpProfile = dlg.text(ids.rampUpPath);
    s.useRampDown = dlg.isChecked(ids.useRampDown) ? 1 : 0;
    s.rampDownProfile = dlg.text(ids.rampDownPath);
    return s;
}

void browseInto(ui::Dialog& dlg, int editId)
{
    ui::FileDialogRequest ask;
    ask.filter = QStringLiteral("All Files (*.*)|*.*||");
    ask.hideReadOnly = true;
    ask.overwritePrompt = true;
    ask.fileName = dlg.text(editId);
    if (const std::optional<QString> path = ui::fileDialog(ask); path && !path->isEmpty())
        dlg.setText(editId, *path);
}

void applySpeed(driver::MotorGroupParams& g, const SpeedSettings& speed)
{
    g.speedChoice = speed.initialSpeedType != 0 ? driver::speedChoice::RampUp : driver::speedChoice::Constant;
    g.constantSpeed = speed.constantSpeed;
    g.rampUpProfile = speed.rampUpProfile;
    g.useRampDown = speed.useRampDown != 0;
    g.rampDownProfile = speed.rampDownProfile;
}

int radioChoice(const ui::Dialog& dlg, int anyId)
{
    return std::max(0, dlg.radioIndex(anyId));
}

void PacedSink::addLines(QStringList lines)
{
    // False once the dialog stops taking messages (closing): the lines go
    // with it, as posted ones would.
    m_port.send(vantor::WM_ADD_LINE, 0, 1, ui::Payload::of(std::move(lines)));
}

void endWorker(vantor::CTestDlg& dlg)
{
    dlg.closeMessages();
    dlg.runner().close();
    dlg.runner().join(platform::kInfinite);
}

bool isEmptyField(const ui::Dialog& dlg, int id)
{
    return dlg.text(id).trimmed().isEmpty();
}

PlatenMoveInput readPlatenMoveInput(const ui::Dialog& dlg)
{
    PlatenMoveInput in;
    applySpeed(in.platen, readSpeed(dlg, kPlatenSpeedIds));
    in.platen.direction = radioChoice(dlg, IDC_PL_REVERSE);
    in.platen.totalPulses = dlg.intValue(IDC_PL_PULSES);
    in.totalPulsesEmpty = isEmptyField(dlg, IDC_PL_PULSES);
    in.platen.stepMode = radioChoice(dlg, IDC_PL_FULL);
    if (dlg.control(IDC_PL_VREF))
        in.platen.vref = uint8_t(std::clamp(dlg.sliderPos(IDC_PL_VREF), 1, 255));
    in.platen.preHold = dlg.intValue(IDC_PL_PRE_HOLD);
    in.platen.postHold = dlg.intValue(IDC_PL_POST_HOLD);
    in.clutch = dlg.isChecked(IDC_PL_CLUTCH);
    in.encoderDetail = dlg.isChecked(IDC_PL_TRACK_ENCODER);
    applySpeed(in.tapeRewind, readSpeed(dlg, kTapeRewindSpeedIds));
    in.tapeRewind.stepMode = radioChoice(dlg, IDC_PL_TR_FULL);
    in.totalCycles = dlg.intValue(IDC_TOTAL_CYCLE);
    in.pause = dlg.intValue(IDC_PAUSE);
    return in;
}

} // namespace vantor::platen
