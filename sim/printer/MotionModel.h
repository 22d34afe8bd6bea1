#pragma once
// What every simulated motor shares: step modes, the timing of a move from
// its ramp tables and constant phase, encoder counting and stalls.
#include <climits>
#include <cstdint>
#include <vector>

#include "sim/printer/RequestContext.h"
#include "protocol/MotorBlock.h"

namespace sim::motion {

constexpr int kFullStepsPerRev = 200;
// Below this reference voltage a motor has too little current to turn.
constexpr int kStallVref = 16;
// One full step of the platen feeds one dot row of 0.125 mm (8 dots/mm).
constexpr double kMmPerPlatenStep = 0.125;
// Moves above this many pulses are refused (a driver's sanity limit).
constexpr int64_t kMaxPulses = 100'000'000;

// 1, 2, 4 or 8 microsteps for step modes 0 to 3; 0 for anything else.
int microsteps(int32_t stepMode);

struct MoveProfile {
    std::vector<uint32_t> up;
    std::vector<uint32_t> down;
    int64_t constantPulses = 0;
    int32_t speed = 0;
    int32_t preHold = 0;
    int32_t postHold = 0;

    int64_t pulses() const { return int64_t(up.size()) + constantPulses + int64_t(down.size()); }
    // Time of the first n pulses (pulses beyond the profile run at the constant speed).
    double msForPulses(int64_t n) const;
    double durationMs() const { return preHold + msForPulses(pulses()) + postHold; }
    // Pulse rate when the move ends.
    double finalRate() const;
};

// Reads and checks one move; refuses (false) a negative count, a constant
// phase without speed, bad hold times or a table that does not resolve.
bool readMove(RequestContext& ctx, const char* what, uint32_t upTable, int64_t upCount, uint32_t downTable,
              int64_t downCount, int64_t constantPulses, int64_t speed, int64_t preHold, int64_t postHold,
              MoveProfile& move);
bool readMotorBlock(RequestContext& ctx, const char* what, const protocol::MotorBlock& block, MoveProfile& move);
bool readSecondMotorBlock(RequestContext& ctx, const char* what, const protocol::SecondMotorBlock& block,
                          MoveProfile& move);
bool checkStepMode(RequestContext& ctx, const char* what, int32_t stepMode);
bool checkRange(RequestContext& ctx, const char* what, int64_t value, int64_t lo, int64_t hi);

// Current level codes 1, 2, 3 (38, 71, 100 %); 0 comes from a level the
// list does not hold, and the driver runs it at its default, full current.
bool checkLevel(RequestContext& ctx, int32_t levelCode);
double levelFraction(int32_t levelCode);
// Longest hold, delay or duration a record can ask for (the request's real
// time is capped separately).
constexpr int64_t kMaxHoldMs = INT32_MAX;

// Encoder counts after `pulses` pulses at `countsPerPulse`, clamped to 32 bits.
int32_t counts(double pulses, double countsPerPulse);

} // namespace sim::motion
