#pragma once
// A motion dialog's motor group (speed by constant or ramp profile, pulses,
// direction, step mode, reference voltage, hold times) and its conversion to
// the driver's move records.
#include <cstdint>
#include <QString>

#include "protocol/DriverRecord.h"
#include "protocol/MotorBlock.h"

namespace vantor::driver {

namespace speedChoice {
constexpr int Constant = 0;
constexpr int RampUp = 1; // any value other than 0 counts as ramp-up
} // namespace speedChoice

struct MotorGroupParams {
    int speedChoice = speedChoice::Constant;
    int32_t constantSpeed = 0; // "Constant (pps):"
    QString rampUpProfile;
    bool useRampDown = false;  // " Ramp Down Profile:" checked
    QString rampDownProfile;
    int32_t totalPulses = 0;
    int32_t direction = 0;
    int32_t stepMode = 0;
    uint8_t vref = 255;
    int32_t preHold = 0;
    int32_t postHold = 0;
};

// The speed and ramp tables of one move, with the tables owned by a record.
struct MoveRamps {
    int32_t speed = 0;          // constant speed, or the last ramp-up entry
    uint32_t rampUpTable = 0;
    int32_t rampUpEntries = 0;
    uint32_t rampDownTable = 0;
    int32_t rampDownEntries = 0;
    // False when a ramp-up profile was chosen but gave no entry: there is no
    // speed for the constant phase, and the run must not start.
    bool hasSpeed = true;

    // total pulses minus both ramps, as computed, with no check
    int32_t constantPulses(int32_t totalPulses) const { return totalPulses - rampUpEntries - rampDownEntries; }
};

// Reads the group's profiles into tables owned by `tables`. With
// `withRampDown` false the ramp-down box is ignored.
MoveRamps loadMoveRamps(const MotorGroupParams& group, protocol::RecordTables& tables, bool withRampDown = true);

// Fills a motor block for the group (ramps, speed, constant-phase pulses,
// direction, step mode, reference voltage, hold times). Returns hasSpeed.
bool fillMotorBlock(protocol::MotorBlock& block, const MotorGroupParams& group, protocol::RecordTables& tables);

// Fills the fields a second-motor block takes from a group: step mode, speed
// and both ramps. The caller sets the rest (pulses, tension, holds, Vref),
// which differ between the tests. Returns hasSpeed.
bool fillSecondMotorBlock(protocol::SecondMotorBlock& block, const MotorGroupParams& group, protocol::RecordTables& tables);

} // namespace vantor::driver
