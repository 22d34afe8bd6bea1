#pragma once
// The three platen tests as runs: the platen test, the platen sensor test
// and the platen life test, each built from its inputs (the dialog's
// controls or, headless, the settings record) into a self-contained run.
#include "vantor/framework/TestDefinition.h"
#include "vantor/screens/motion/PlatenRecords.h"
#include "vantor/settings/TestSettingsRecords.h"

namespace vantor::platen {

// "Platen": the record's values as the platen test reads them.
PlatenMoveInput platenMoveInput(const CPlatenSettings& r);
PreparedRun preparePlatenRun(const PlatenMoveInput& in, const DriverRef& driver);
extern const TestDefinition<CPlatenSettings> kPlatenTest;

// "Platen Sensor": the section keeps no value, so a run from the record
// takes the dialog's start values. `sensor`: 0 "Side Notch", 1 "Center
// Notch", 2 "Gap Notch". Unvalidated, apart from pulse counts beyond a motor.
PlatenMoveInput platenSensorStartInput();
PreparedRun preparePlatenSensorRun(const PlatenMoveInput& in, int sensor, const DriverRef& driver);
extern const TestDefinition<CPlatenSensorSettings> kPlatenSensorTest;

// "Platen Life": both panels, the tape rewind group and the passes.
PlatenLifeInput platenLifeInput(const CPlatenLifeSettings& r);
PreparedRun preparePlatenLifeRun(const PlatenLifeInput& in, const DriverRef& driver);
extern const TestDefinition<CPlatenLifeSettings> kPlatenLifeTest;

} // namespace vantor::platen
