#pragma once
// The control groups the platen screens share: the ids of their two speed
// groups, and the reading and showing of a speed group where the values are
// not bound (the platen panels, the platen sensor test).
#include <QString>

#include "ui/Dialog.h"
#include "vantor/framework/SpeedGroup.h"
#include "vantor/res/resource.h"
#include "vantor/screens/motion/PlatenRecords.h"
#include "vantor/settings/CTestSettings.h"

namespace vantor::platen {

inline constexpr SpeedGroupIds kPlatenSpeedIds{IDC_PL_CONSTANT,       IDC_PL_RAMP_UP,         IDC_PL_CONSTANT_SPEED,
                                               IDC_PL_RAMP_UP_PATH,   IDC_PL_RAMP_UP_BROWSE,  IDC_PL_USE_RAMP_DOWN,
                                               IDC_PL_RAMP_DOWN_PATH, IDC_PL_RAMP_DOWN_BROWSE};
inline constexpr SpeedGroupIds kTapeRewindSpeedIds{
    IDC_PL_TR_CONSTANT,       IDC_PL_TR_RAMP_UP,       IDC_PL_TR_CONSTANT_SPEED, IDC_PL_TR_RAMP_UP_PATH,
    IDC_PL_TR_RAMP_UP_BROWSE, IDC_PL_TR_USE_RAMP_DOWN, IDC_PL_TR_RAMP_DOWN_PATH, IDC_PL_TR_RAMP_DOWN_BROWSE};

// Applies the rules whenever the speed choice or the ramp-down box changes,
// and binds both Browse buttons (for a group whose values are not bound).
void connectSpeedGroup(ui::Dialog& dlg, const SpeedGroupIds& ids);
void showSpeed(ui::Dialog& dlg, const SpeedGroupIds& ids, const SpeedSettings& speed);
SpeedSettings readSpeed(const ui::Dialog& dlg, const SpeedGroupIds& ids);

// The Platen group (templates 135 and 136; no "VRef :" in 136) and the Tape
// Rewind group as they stand.
PlatenMoveInput readPlatenMoveInput(const ui::Dialog& dlg);

} // namespace vantor::platen
