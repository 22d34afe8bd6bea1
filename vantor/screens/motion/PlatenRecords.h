#pragma once
// The platen tests' parameters, the platen test's validation, and the
// driver records built from them at RUN. Widget-free: the dialogs read their
// controls into these structs, the workers send the records.
#include <cstdint>
#include <vector>
#include <QString>
#include <QStringList>

#include "platform/CallerMemory.h"
#include "protocol/DriverRecord.h"
#include "vantor/driver/MotorGroup.h"
#include "protocol/PlatenLifeRecord.h"
#include "protocol/PlatenMoveParams.h"

namespace vantor::platen {

using driver::MotorGroupParams;

// The "Platen" and "Tape Rewind" groups of the platen and platen sensor tests.
struct PlatenMoveInput {
    MotorGroupParams platen;        // direction, step mode, Vref, holds, pulses, speed
    bool totalPulsesEmpty = false;  // "Total No. of Pulses:" holds nothing
    bool clutch = false;            // " Enable Clutch"
    bool encoderDetail = false;     // "Track Encoder in Detail"
    MotorGroupParams tapeRewind;    // speed, ramps, step mode
    int totalCycles = 0;            // "Total Cycle:"
    int pause = 0;                  // "Pause betwen Cycle (ms):"
};

// The platen test's checks, every failed one in order, each ending in "\n";
// empty when the run may start. The tape rewind group is not checked.
QString validatePlatenTest(const PlatenMoveInput& in);

// A ramp-up choice whose file is missing or holds no value leaves a move
// without a speed for its constant phase. Such a run is refused rather than
// sent with a speed from nowhere; this is the message, ending in "\n".
QString noSpeedMessage(const QString& group);

// A record with the tables the worker reads back after each request.
struct PlatenMoveRun {
    protocol::DriverRecord<protocol::PlatenMoveParams> record;
    platform::CallerTable<uint32_t>* encoderTable = nullptr; // detail tracking, or null
    platform::CallerTable<uint32_t>* sensorTable = nullptr;  // sensor capture, or null
    bool encoderDetail = false;
};

// Resets the record and fills it for the platen test (block: target 1,
// command 3). Returns the refusal text (noSpeedMessage per group without a
// speed), empty when the record may be sent.
QString buildPlatenMove(PlatenMoveRun& run, const PlatenMoveInput& in);

// The same move with the downstream sensor captured at every pulse
// (`sensor`: 0 "Side Notch", 1 "Center Notch", 2 "Gap Notch"); the reference
// voltage keeps its reset value.
QString buildPlatenSensorMove(PlatenMoveRun& run, const PlatenMoveInput& in, int sensor);

// One platen panel of the platen life test.
struct PlatenPanelInput {
    MotorGroupParams move; // speed, ramps, pulses, step mode, holds (direction and Vref unused)
    bool clutch = false;
};

struct PlatenLifeInput {
    PlatenPanelInput forward;
    bool useReverse = false;             // " Enable Reverse Platen"
    PlatenPanelInput reverse;
    MotorGroupParams tapeRewind;         // speed, ramps, step mode
    int32_t tapeRewindReversePulses = 0; // "Total No. of \n Pulses (REVERSE):"
    int passes = 1;                      // "No. of Multi-Pass:"
    int totalCycles = 0;
    int pause = 0;
};

struct PlatenLifeRun {
    protocol::DriverRecord<protocol::PlatenLifeRecord> record;
    // The pass tables, in pass order (forward: N, reverse: N - 1).
    std::vector<platform::CallerTable<uint32_t>*> forwardTables;
    std::vector<platform::CallerTable<uint32_t>*> reverseTables;
    int passes = 0;
};

// Resets and fills the platen life record (block: target 11, command 27) with
// its pass descriptors. Returns the refusal text, empty when it may be sent.
QString buildPlatenLife(PlatenLifeRun& run, const PlatenLifeInput& in);

// Group names used in messages.
inline const QString kPlatenGroup = QStringLiteral("Platen");
inline const QString kTapeRewindGroup = QStringLiteral("Tape Rewind");
inline const QString kForwardPanelCaption = QStringLiteral("Platen (FORWARD)");
inline const QString kReversePanelCaption = QStringLiteral("Platen (REVERSE)");

} // namespace vantor::platen
