#pragma once
// What the four ribbon dialogs share: their speed groups (constant or
// ramp-up only), the labelled "Duty Cycle:" slider, boxes that start empty,
// enabling a move's controls as a whole, and the platen panel's values.
#include <initializer_list>
#include <span>

#include "vantor/framework/CTestDlg.h"
#include "vantor/framework/SpeedGroup.h"
#include "vantor/res/resource.h"
#include "vantor/settings/TestSettingsRecords.h"

class CPlatenSettingDlg;

namespace vantor::ribbon {

// A ribbon move's speed group: no ramp-down.
constexpr SpeedGroupIds speedIds(int constant, int rampUp, int constantSpeed, int rampUpPath, int rampUpBrowse)
{
    return SpeedGroupIds{constant, rampUp, constantSpeed, rampUpPath, rampUpBrowse, 0, 0, 0};
}

// A slider of `lo`..`hi` bound to `value`, its label showing the position
// as "%3d" on every move.
void bindLabelledSlider(CTestDlg& dlg, int sliderId, int labelId, int lo, int hi, int32_t& value);

// Boxes whose start value is "empty (reads as 0)": blank while they hold 0.
void blankZeroes(ui::Dialog& dlg, std::initializer_list<int> ids);

void enableAll(ui::Dialog& dlg, std::span<const int> ids, bool enabled);
void showAll(ui::Dialog& dlg, std::span<const int> ids, bool visible);

// The panel's values as it stands (speed, ramps, pulses, step mode; its
// hold times and clutch are hidden in the ribbon form and not used).
PlatenMoveSettings readPanel(const CPlatenSettingDlg& panel);

} // namespace vantor::ribbon
