#pragma once
// The tape rewind tests without widgets: the three modes (rewind, roll
// tightness, overshoot), the dialog's values and their round trip through the
// mode's settings record, the move record a run sends, and one cycle's
// request and result line.
#include <cstdint>
#include <QString>

#include "platform/Device.h"
#include "protocol/DriverRecord.h"
#include "protocol/TapeRewindRecord.h"
#include "vantor/framework/TestDefinition.h"

class CTapeRewindSettings;

namespace vantor::motion {

enum TapeRewindMode : int {
    kModeTapeRewind = 0,
    kModeRollTightness = 1,
    kModeOvershoot = 2,
};
constexpr int kTapeRewindModes = 3;

// The test name of a mode, used in the result lines: "Tape Rewind", "Tape
// Roll Tightness", "Tape Overshoot". One table for every dialog.
const QString& TapeRewindTestName(int mode);
// The dialog caption of a mode ("TAPE REWIND TEST" is the template's own).
QString TapeRewindCaption(int mode);
// The motion command of a mode: 11, 26 or 25.
uint32_t TapeRewindCommand(int mode);

// Why a run may not start: with the ramp-up profile chosen, the file must give
// a last entry for the run speed; the pulse count goes to the driver as
// read. Empty when the run may start, else the message lines, each ending
// in "\n". The mode is the record's.
QString CheckTapeRewindRun(const CTapeRewindSettings& values);

// Builds the move record and the command block of a run: reset, speed and
// ramps, tension, step mode, post-hold, then the mode's own fields; Target 6,
// Command by mode, Param the record. False when a ramp-up profile gave no run
// speed (the run must not start).
bool BuildTapeRewindMove(const CTapeRewindSettings& values, protocol::DriverRecord<protocol::TapeRewindRecord>& move);

// The run of the record's mode, or the refusal.
vantor::PreparedRun PrepareTapeRewindRun(const CTapeRewindSettings& values, const vantor::DriverRef& driver);

// The test as the dialog and `vantor --run` see it (no checks of its own
// besides the run's; "Total Cycle:" is not checked).
extern const vantor::TestDefinition<CTapeRewindSettings> kTapeRewindTest;

// "%d. %s - OK (Encoder %d)" or "%d. %s - FAIL".
QString TapeRewindResultLine(int cycle, int mode, bool ok, int32_t encoder);

// One cycle: the block sent with a zeroed 4-byte output word; the line of
// cycle `cycle`.
QString RunTapeRewindCycle(platform::DeviceHandle& handle, const protocol::CommandBlock& block, int mode, int cycle);

} // namespace vantor::motion
