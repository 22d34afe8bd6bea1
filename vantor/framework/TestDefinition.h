#pragma once
// A cycling test as the dialog and the headless runner both see it: its
// settings record type, its checks and the run it builds from the record's
// values. The dialog binds its controls to a copy of the record and hands
// that copy here; `vantor --run` hands the stored record.
#include <QString>

#include "vantor/framework/TestRun.h"
#include "vantor/settings/CTestSettings.h"

namespace vantor {

// When a dialog's edited values go into its settings record.
enum class Commit {
    AtRun,   // at each accepted RUN (most tests)
    AtClose, // when the dialog closes
    Never,   // the section keeps the cumulative count only
};

template <class Settings>
struct TestDefinition {
    // The test's own checks, every failed one in order, each ending in "\n";
    // null for a test that checks nothing of its own.
    QString (*validate)(const Settings&) = nullptr;
    // Whether "\"Total Cycle\" must greater than 0.\n" is checked too.
    bool checksTotalCycle = true;
    // The run, or the refusal (a ramp-up profile without a value, say).
    PreparedRun (*prepare)(const Settings&, const DriverRef&) = nullptr;
};

// "\"Total Cycle\" must greater than 0.\n" when `cycles` is below 1.
QString checkTotalCycle(int32_t cycles);

} // namespace vantor
