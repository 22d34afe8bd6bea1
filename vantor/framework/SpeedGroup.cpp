#include "vantor/framework/SpeedGroup.h"

#include <algorithm>
#include <limits>
#include <QFileInfo>

#include "platform/DevicePath.h"
#include "vantor/driver/RampProfile.h"
#include "vantor/framework/CTestDlg.h"

namespace vantor {

void applySpeedRules(ui::Dialog& dlg, const SpeedGroupIds& ids)
{
    const bool constant = dlg.radioChoice(ids.constant) == 0;
    dlg.enable(ids.constantSpeed, constant);
    if (ids.rampUpPath)
        dlg.enable(ids.rampUpPath, !constant);
    if (ids.rampUpBrowse)
        dlg.enable(ids.rampUpBrowse, !constant);
    if (ids.rampDownBrowse && ids.useRampDown)
        dlg.enable(ids.rampDownBrowse, dlg.isChecked(ids.useRampDown));
}

namespace {

void bindSpeedControls(ui::Dialog& dlg, const SpeedGroupIds& ids, SpeedSettings& speed)
{
    speed.initialSpeedType = speed.initialSpeedType != 0 ? 1 : 0;
    dlg.bindRadio(ids.constant, speed.initialSpeedType);
    dlg.bind(ids.constantSpeed, speed.constantSpeed);
    dlg.bind(ids.rampUpPath, speed.rampUpProfile);
    if (ids.rampUpBrowse)
        dlg.bindBrowse(ids.rampUpBrowse, ids.rampUpPath);
    if (ids.useRampDown) {
        dlg.bindCheck(ids.useRampDown, speed.useRampDown);
        dlg.bind(ids.rampDownPath, speed.rampDownProfile);
        if (ids.rampDownBrowse)
            dlg.bindBrowse(ids.rampDownBrowse, ids.rampDownPath);
    }
}

} // namespace

void bindSpeedGroup(CTestDlg& dlg, const SpeedGroupIds& ids, SpeedSettings& speed)
{
    bindSpeedControls(dlg, ids, speed);
    dlg.addRule([&dlg, ids] { applySpeedRules(dlg, ids); }, {ids.constant, ids.rampUp, ids.useRampDown});
}

void bindSpeedPanel(ui::Dialog& panel, const SpeedGroupIds& ids, SpeedSettings& speed)
{
    bindSpeedControls(panel, ids, speed);
    for (int id : {ids.constant, ids.rampUp, ids.useRampDown})
        if (id)
            panel.onCommand(id, [&panel, ids] { applySpeedRules(panel, ids); });
}

bool profileExists(const QString& path)
{
    const QString host = platform::userFilePath(path);
    return !host.isEmpty() && QFileInfo(host).isFile();
}

QString checkSpeedGroup(const SpeedSettings& s, const QString& group, SpeedCheck check)
{
    QString msg;
    if (s.initialSpeedType == 0) {
        if (check == SpeedCheck::Full && s.constantSpeed < 1)
            msg += QStringLiteral("\"Constant (pps)\" of %1 must greater than 0.\n").arg(group);
    } else if (s.rampUpProfile.isEmpty()) {
        msg += QStringLiteral("\"Ramp Up Profile\" of %1 can not be empty\n").arg(group);
    } else if (!profileExists(s.rampUpProfile)) {
        msg += QStringLiteral("File in \"Ramp Up Profile\" of %1 not exist\n").arg(group);
    } else if (check == SpeedCheck::RampUpValue && driver::ReadRampProfile(s.rampUpProfile).empty()) {
        msg += QStringLiteral("File in \"Ramp Up Profile\" of %1 has no value\n").arg(group);
    }
    if (check == SpeedCheck::Full && s.useRampDown != 0) {
        if (s.rampDownProfile.isEmpty())
            msg += QStringLiteral("\"Ramp Down Profile\" of %1 can not be empty\n").arg(group);
        else if (!profileExists(s.rampDownProfile))
            msg += QStringLiteral("File in \"Ramp Down Profile\" of %1 not exist\n").arg(group);
    }
    return msg;
}

QString checkPulseRange(int64_t pulses, const QString& label, const QString& group)
{
    if (pulses >= 0 && pulses <= kMaxPulses)
        return {};
    return QStringLiteral("\"%1\" of %2 must be between 0 and %3.\n").arg(label, group).arg(kMaxPulses);
}

std::optional<int32_t> constantPhase(int64_t totalPulses, int64_t rampPulses)
{
    const int64_t constant = totalPulses - rampPulses;
    if (constant < std::numeric_limits<int32_t>::min() || constant > std::numeric_limits<int32_t>::max())
        return std::nullopt;
    return int32_t(constant);
}

QString constantPhaseOverflow(const QString& group)
{
    return QStringLiteral("\"Total No. of Pulses\" of %1 less its ramp profiles is beyond a 32-bit count.\n").arg(group);
}

void applySpeed(driver::MotorGroupParams& g, const SpeedSettings& speed)
{
    g.speedChoice = speed.initialSpeedType != 0 ? driver::speedChoice::RampUp : driver::speedChoice::Constant;
    g.constantSpeed = speed.constantSpeed;
    g.rampUpProfile = speed.rampUpProfile;
    g.useRampDown = speed.useRampDown != 0;
    g.rampDownProfile = speed.rampDownProfile;
}

driver::MotorGroupParams motorGroupOf(const SpeedSettings& speed, int32_t stepMode)
{
    driver::MotorGroupParams g;
    applySpeed(g, speed);
    g.stepMode = stepMode;
    return g;
}

void bindLabelledSlider(CTestDlg& dlg, int sliderId, int labelId, int32_t& value, int lo, int hi)
{
    value = std::clamp(value, lo, hi);
    dlg.bindSlider(sliderId, value);
    auto showLabel = [&dlg, sliderId, labelId] {
        dlg.setText(labelId, QString::asprintf("%3d", dlg.sliderPos(sliderId)));
    };
    dlg.onNotify(sliderId, ui::Notify::SliderMoved, showLabel);
    // The range, then the position again: the binding may have shown it
    // clamped to the default range.
    dlg.addRule(
        [&dlg, sliderId, &value, lo, hi, showLabel] {
            dlg.setSliderRange(sliderId, lo, hi);
            dlg.setSliderPos(sliderId, value);
            showLabel();
        },
        {});
}

} // namespace vantor
