#pragma once
// The controls every motor test shares: a speed group ("Constant (pps):" /
// "Ramp Up Profile:" and the " Ramp Down Profile:" box, each path with its
// "Browse"), bound to a SpeedSettings with its enabling rules and checks, and
// the "VRef :" slider with its "%3d" label.
#include <QString>
#include <cstdint>
#include <optional>

#include "vantor/driver/MotorGroup.h"
#include "vantor/settings/CTestSettings.h"

namespace ui {
class Dialog;
}

namespace vantor {

class CTestDlg;

// The ids of one speed group; 0 for a control the template lacks.
struct SpeedGroupIds {
    int constant, rampUp, constantSpeed, rampUpPath, rampUpBrowse, useRampDown, rampDownPath, rampDownBrowse;
};

// Binds the group's controls to `speed` (any stored choice other than 0
// shows and runs as ramp-up), both Browse buttons, and the rules: constant
// speed enables the constant box and disables the ramp-up path box and its
// Browse, ramp-up the reverse; the ramp-down Browse follows its box. The rules are applied
// when the dialog shows its values and whenever the choice changes.
void bindSpeedGroup(CTestDlg& dlg, const SpeedGroupIds& ids, SpeedSettings& speed);
// The same for a panel (a child dialog of a test): the bindings, and the
// rules applied whenever the choice changes; the panel applies them once
// more after it shows its values.
void bindSpeedPanel(ui::Dialog& panel, const SpeedGroupIds& ids, SpeedSettings& speed);
// The same rules applied once (panels and tests).
void applySpeedRules(ui::Dialog& dlg, const SpeedGroupIds& ids);

// How much of a group a test checks before a run.
enum class SpeedCheck {
    Full,        // constant speed above 0; profiles named and present; ramp-down too
    RampUpValue, // only a ramp-up choice: named, present and holding a value
};
// The messages of a group (`group`: the name in the messages, "Platen"),
// each ending in "\n"; empty when it passes:
//   "\"Constant (pps)\" of <group> must greater than 0.\n"
//   "\"Ramp Up Profile\" of <group> can not be empty\n"
//   "File in \"Ramp Up Profile\" of <group> not exist\n"
//   "File in \"Ramp Up Profile\" of <group> has no value\n"  (RampUpValue)
//   "\"Ramp Down Profile\" of <group> can not be empty\n"   (Full, box ticked)
//   "File in \"Ramp Down Profile\" of <group> not exist\n"  (Full, box ticked)
QString checkSpeedGroup(const SpeedSettings& speed, const QString& group, SpeedCheck check);

// The most pulses a move may be asked for: a per-pulse table of that many
// entries and as many result lines still fit a run comfortably.
constexpr int32_t kMaxPulses = 1000000;
// "\"<label>\" of <group> must be between 0 and 1000000.\n" for a count
// outside what a motor can be asked for; empty within.
QString checkPulseRange(int64_t pulses, const QString& label, const QString& group);

// A move's constant phase as the driver is handed it: total pulses minus the
// ramps' pulses, negative when the ramps are longer than the move (the
// driver answers for that). Nullopt only when the difference leaves a
// 32-bit word.
std::optional<int32_t> constantPhase(int64_t totalPulses, int64_t rampPulses);
// "\"Total No. of Pulses\" of <group> less its ramp profiles is beyond a 32-bit count.\n"
QString constantPhaseOverflow(const QString& group);

// True when the profile file named by a user path exists.
bool profileExists(const QString& path);

// A motor group's speed part from the settings.
void applySpeed(driver::MotorGroupParams& g, const SpeedSettings& speed);
// A motor group of the speed settings and a step mode, nothing else set.
driver::MotorGroupParams motorGroupOf(const SpeedSettings& speed, int32_t stepMode);

// Binds a slider of range lo..hi and its label ("%3d" of the position,
// updated as it moves) to `value`, kept within the range.
void bindLabelledSlider(CTestDlg& dlg, int sliderId, int labelId, int32_t& value, int lo, int hi);
// The "VRef :" slider: range 1 to 255.
inline void bindVref(CTestDlg& dlg, int sliderId, int labelId, int32_t& vref)
{
    bindLabelledSlider(dlg, sliderId, labelId, vref, 1, 255);
}

} // namespace vantor
