#pragma once
// The simulated printer's mechanisms: the state they keep between requests
// and one entry point per command. Each mechanism lives in its own file.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <map>
#include <vector>

#include "sim/printer/MotionModel.h"
#include "sim/printer/Random.h"
#include "sim/printer/RequestContext.h"
#include "sim/printer/SimConfig.h"
#include "sim/printer/StateStore.h"
#include "protocol/CommandBlock.h"
#include "protocol/EjectorMoveParams.h"

namespace sim {

// One request after its sizes passed the contract check. Engineering-family
// requests carry their command block and resolved record; user-family
// requests their input bytes.
struct Call {
    uint32_t code = 0;
    protocol::CommandBlock block;
    const uint8_t* record = nullptr; // resolved, the record's size (engineering family)
    const uint8_t* input = nullptr;  // user family: the input bytes
    uint32_t inLen = 0;
    uint32_t outLen = 0;
    RequestContext& ctx;
    int32_t result = 0;       // the 4-byte output of the motion commands
    uint32_t counter = 0;     // the bytes-returned answer of the print head lift
    bool answersCounter = false;
    std::array<uint8_t, 128> output{}; // any other output, outLen bytes of it
    bool outputSet = false;

    template <class T>
    T recordAs() const
    {
        T value;
        std::memcpy(&value, record, sizeof(T));
        return value;
    }
    template <class T>
    T inputAs() const
    {
        T value{};
        std::memcpy(&value, input, std::min<size_t>(sizeof(T), inLen));
        return value;
    }
    // The output of the request (its first outLen bytes reach the caller).
    template <class T>
    void answer(const T& value)
    {
        static_assert(sizeof(T) <= sizeof(output));
        output.fill(0);
        std::memcpy(output.data(), &value, sizeof(T));
        outputSet = true;
    }
    void answerBytes(const void* bytes, size_t n)
    {
        output.fill(0);
        std::memcpy(output.data(), bytes, std::min(n, output.size()));
        outputSet = true;
    }
};

// The raster print path of the user program: job, image, rows.
struct RasterPrint {
    bool prepared = false;
    bool inJob = false;
    bool inImage = false;
    std::vector<uint8_t> rows; // the image's rows, dot width / 8 bytes each
    uint32_t rowCount = 0;
    int64_t busyUntilMs = 0;   // platform clock
};

// What the machine holds between requests. Positions are lost at power off;
// what survives lives in the state store.
struct Machine {
    Machine(StateStore& s, const SimConfig& config);

    StateStore& state;
    Random rng;
    uint64_t seed;
    double timeScale = 1.0; // for the busy time of raster prints

    // Conditions set in the configuration.
    std::map<uint32_t, int32_t> sensorOverrides;
    bool tapeCartridge = true;
    bool ribbonCartridge = true;

    double mediaPositionMm = 0;     // tape under the platen, from the first label edge
    bool printHeadLoaded = false;
    int64_t rockerArmSteps = 150;   // full steps away from the rocker arm sensor
    int64_t ejectorPhase = 0;       // full steps past the home flag's trailing edge
    int64_t crossWebPosition = 1200; // full steps from the cross-web home sensor
    bool pinched = false;
    double ribbonPositionMm = 0;    // ribbon past the colour sensor
    double headHeat = 0;            // degrees above ambient after printing
    int32_t ribbonLogCycle = 0;     // cycles in the current ribbon colour log

    RasterPrint raster;

    // Slip of one move as a fraction (deterministic for the seed).
    double slip(double lo, double hi) { return rng.range(lo, hi); }

    // Conditions a mechanism may need, each refusing with its reason.
    bool mediaPresent() const;
    bool doorOpen() const;
    bool needDoorClosed(RequestContext& ctx, const char* what) const;
    bool needMedia(RequestContext& ctx, const char* what) const;
};

// Width in dots of one raster row, and the print head's speed in dot rows
// per second (2 inches per second at 320 rows per inch).
constexpr uint32_t kDotWidth = 1248;
constexpr double kRowsPerSecond = 640.0;

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

// Sensors: read (16), calibrate (17, 50, 51), settings (37, 62); the gap
// sensor's DAC record of the user program.
bool sensorRead(Machine& m, Call& c);
bool sensorCalibrate(Machine& m, Call& c);
bool sensorSettingRead(Machine& m, Call& c);
bool sensorSettingWrite(Machine& m, Call& c);
bool gapSensorDac(Machine& m, Call& c);
// Converters: ADC (33), DAC and emitter writes (32); GPIO (30, 31).
bool adcRead(Machine& m, Call& c);
bool dacWrite(Machine& m, Call& c);
bool gpioRead(Machine& m, Call& c);
bool gpioSet(Machine& m, Call& c);
// Fiducial test run (24) and ribbon colour run (28).
bool fiducialRun(Machine& m, Call& c);
bool ribbonColorRun(Machine& m, Call& c);
// PEB (45, 46, 47, 64 and the user family's PEB and cross-web offset) and
// cut force (48, 49 and the user family's coefficients).
bool pebCalibrate(Machine& m, Call& c);
bool pebSave(Machine& m, Call& c);
bool pebRead(Machine& m, Call& c);
bool userPeb(Machine& m, Call& c);
bool userCrossWebOffset(Machine& m, Call& c);
bool cutForceProgram(Machine& m, Call& c);
bool cutForceRead(Machine& m, Call& c);
bool userCutForceCoeffs(Machine& m, Call& c);
// TagChips (39 to 42) and their chip versions.
bool tagChipRead(Machine& m, Call& c);
bool tagChipProgram(Machine& m, Call& c);
bool tagChipVersion(Machine& m, Call& c);
// Engineering prints (18 to 20, 52 to 54, 36).
bool printPattern(Machine& m, Call& c);
bool printImage(Machine& m, Call& c);
bool printToCut(Machine& m, Call& c);
// The user program's print path and print head.
bool dotWidth(Machine& m, Call& c);
bool printPrepare(Machine& m, Call& c);
bool jobBegin(Machine& m, Call& c);
bool jobEnd(Machine& m, Call& c);
bool imageBegin(Machine& m, Call& c);
bool imageEnd(Machine& m, Call& c);
bool busy(Machine& m, Call& c);
bool rasterRow(Machine& m, RequestContext& ctx, const uint8_t* row, uint32_t len);
bool usage(Machine& m, Call& c);
bool headResistanceGet(Machine& m, Call& c);
bool headResistanceSet(Machine& m, Call& c);

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
