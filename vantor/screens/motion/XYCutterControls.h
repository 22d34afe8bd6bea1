#pragma once
// Controls the XY cutter dialogs bind beyond the shared ones: a slider with
// its "%3d" label over a given range, and the "Current Level (%):" list.
#include <QString>
#include <cstdint>

#include "vantor/framework/CTestDlg.h"

namespace vantor::motion {

// The items of every "Current Level (%):" list.
inline const QStringList kCurrentLevels{QStringLiteral("38"), QStringLiteral("71"), QStringLiteral("100")};

// Binds a slider of range lo..hi and its label ("%3d", updated as it moves).
void bindLabelledSlider(CTestDlg& dlg, int sliderId, int labelId, int32_t& value, int lo, int hi);
// Binds a "Current Level (%):" list to its item text (empty: nothing chosen).
void bindCurrentLevel(CTestDlg& dlg, int comboId, QString& level);

} // namespace vantor::motion
