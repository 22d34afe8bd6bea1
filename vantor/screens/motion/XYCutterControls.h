#pragma once
// Controls the XY cutter dialogs bind beyond the shared ones: the "Current
// Level (%):" list.
#include <QString>
#include <cstdint>

#include "vantor/framework/CTestDlg.h"
#include "vantor/framework/SpeedGroup.h"

namespace vantor::motion {

// The items of every "Current Level (%):" list.
inline const QStringList kCurrentLevels{QStringLiteral("38"), QStringLiteral("71"), QStringLiteral("100")};

// Binds a "Current Level (%):" list to its item text (empty: nothing chosen).
void bindCurrentLevel(CTestDlg& dlg, int comboId, QString& level);

} // namespace vantor::motion
