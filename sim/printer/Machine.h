#pragma once
// The simulated printer's mechanisms: the state they keep between requests
// and one entry point per command. Each mechanism lives in its own file.
#include <cstdint>
#include <cstring>

#include "sim/printer/MotionModel.h"
#include "sim/printer/Random.h"
#include "sim/printer/RequestContext.h"
#include "sim/printer/StateStore.h"
#include "protocol/CommandBlock.h"
#include "protocol/EjectorMoveParams.h"

namespace sim {

// One engineering-family request after its sizes passed the contract check.
struct Call {
    uint32_t code = 0;
    protocol::CommandBlock block;
    const uint8_t* record = nullptr; // resolved, the record's size
    RequestContext& ctx;
    int32_t result = 0;       // the 4-byte output, when the command has one
    uint32_t counter = 0;     // the bytes-returned answer of the print head lift
    bool answersCounter = false;

    template <class T>
    T recordAs() const
    {
        T value;
        std::memcpy(&value, record, sizeof(T));
        return value;
    }
};

// What the machine holds between requests. Positions are lost at power off;
// what survives lives in the state store.
struct Machine {
    explicit Machine(StateStore& s, uint64_t seed) : state(s), rng(seed) {}

    StateStore& state;
    Random rng;

    double mediaPositionMm = 0;     // tape under the platen, from the first label edge
    bool printHeadLoaded = false;
    int64_t rockerArmSteps = 150;   // full steps away from the rocker arm sensor
    int64_t ejectorPhase = 0;       // full steps past the home flag's trailing edge
    int64_t crossWebPosition = 1200; // full steps from the cross-web home sensor
    bool pinched = false;

    // Slip of one move as a fraction (deterministic for the seed).
    double slip(double lo, double hi) { return rng.range(lo, hi); }
};

namespace mech {
// Platen: command 3.
bool platenMove(Machine& m, Call& c);
// Platen life: command 27.
bool platenLife(Machine& m, Call& c);
// Tape rewind: commands 11, 25, 26.
bool tapeRewind(Machine& m, Call& c);
// Ribbon: command 4 (ribbon drive, rocker arm, slip clutch), 5 and 6 (tension).
bool ribbonMove(Machine& m, Call& c);
bool ribbonTension(Machine& m, Call& c);
// Ejector: command 7.
bool ejectorMove(Machine& m, Call& c);
// End cutter and print head load/unload: commands 9, 1, 2.
bool endCutter(Machine& m, Call& c);
bool printHeadLoad(Machine& m, Call& c);
// Print head lift: command 44.
bool headLift(Machine& m, Call& c);
// XY cutter: commands 38, 14, 15.
bool xyCrossWeb(Machine& m, Call& c);
bool xyDownWeb(Machine& m, Call& c);
bool xyPinch(Machine& m, Call& c);
// XY cutter life: commands 21, 22, 23.
bool xyLife(Machine& m, Call& c);
// Media jam: command 35.
bool mediaJam(Machine& m, Call& c);

// Shared by the ejector and the end cutter's eject move.
struct EjectorResult {
    int64_t pulses = 0;
    int32_t revolutions = 0;
    double ms = 0;
};
// With countRevolutions the move runs the asked revolutions (the pulse
// count, when set, is a limit); without, it runs its pulse count.
bool runEjector(Machine& m, RequestContext& ctx, const protocol::EjectorMoveParams& p, bool countRevolutions,
                EjectorResult& r);
} // namespace mech

} // namespace sim
