#pragma once
// The four ribbon tests as runs, built from their records' values (the
// dialogs' controls, or headless the start values, as these sections keep
// only "CumulativeCycle"). No box is checked; a ramp-up choice without a
// value, or a pulse count beyond the mechanism, refuses the run.
#include <functional>

#include "vantor/framework/TestDefinition.h"
#include "vantor/settings/TestSettingsRecords.h"

namespace vantor::ribbon {

extern const TestDefinition<CRibbonTensionSettings> kRibbonTensionTest;
extern const TestDefinition<CRibbonAdvanceSettings> kRibbonAdvanceTest;
extern const TestDefinition<CRibbonDriveSettings> kRibbonDriveTest;
extern const TestDefinition<CRibbonToPlatenSettings> kRibbonToPlatenTest;

// The refusal of a run with no move checked. The dialogs never show it: their
// RUN does nothing then; `vantor --run` prints it.
inline const QString kNothingToRun = QStringLiteral("No move is checked: nothing to run.\n");
// The drive test's: it starts with both moves cleared and its section keeps
// no choice, so `vantor --run` always ends here and says where to go instead.
inline const QString kDriveNothingToRun =
    kNothingToRun + QStringLiteral("The \"Ribbon Drive\" section keeps only the cumulative count and the test "
                                   "starts with both \"Motor Rotation\" boxes cleared: run it from its dialog.\n");

// The advance run calls this on the worker after each successful
// counter-clockwise move (the dialog posts 1130 "PH Triggered:" + 1).
void setPhTriggered(PreparedRun& r, std::function<void()> onTriggered);

} // namespace vantor::ribbon
