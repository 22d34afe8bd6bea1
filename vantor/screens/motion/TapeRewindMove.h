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

// What the dialog's controls hold.
struct TapeRewindValues {
    int speedChoice = 0;        // 0 "Constant (pps):", 1 "Ramp Up Profile:"
    int32_t constantSpeed = 0;
    QString rampUpProfile;
    bool useRampDown = false;   // " Ramp Down Profile:"
    QString rampDownProfile;
    int vref = 255;             // "VRef :" slider, mode 0
    int32_t totalPulses = 0;    // modes 0 and 1
    int32_t captureEncoderFrom = 0; // mode 1
    int32_t waitToRead = 0;     // mode 2, ms
    int stepMode = 0;           // 0 Full, 1 Half, 2 1/4, 3 1/8
    int tension = protocol::tension::Low;
    int32_t postHold = 0;       // ms
    int32_t pause = 0;          // ms
    int32_t cycle = 0;          // "Total Cycle:"
};

// The record's values as the controls show them (the cumulative count is the
// dialog's own business).
TapeRewindValues TapeRewindValuesFrom(const CTapeRewindSettings& record);
// Copies every value of the key table and the tension choice into the record;
// the cumulative count is left alone.
void StoreTapeRewindValues(const TapeRewindValues& values, CTapeRewindSettings& record);

// Why a run may not start: with the ramp-up profile chosen, the file must give
// a last entry for the run speed. Empty when the run may start, else the
// message lines, each ending in "\n".
QString CheckTapeRewindRun(int mode, const TapeRewindValues& values);

// Builds the move record and the command block of a run: reset, speed and
// ramps, tension, step mode, post-hold, then the mode's own fields; Target 6,
// Command by mode, Param the record. Pulse counts are computed with no check.
// False when a ramp-up profile gave no run speed (the run must not start).
bool BuildTapeRewindMove(int mode, const TapeRewindValues& values,
                         protocol::DriverRecord<protocol::TapeRewindRecord>& move);

// "%d. %s - OK (Encoder %d)" or "%d. %s - FAIL".
QString TapeRewindResultLine(int cycle, int mode, bool ok, int32_t encoder);

// One cycle: the block sent with a zeroed 4-byte output word; the line of
// cycle `cycle`.
QString RunTapeRewindCycle(platform::DeviceHandle& handle, const protocol::CommandBlock& block, int mode, int cycle);

} // namespace vantor::motion
