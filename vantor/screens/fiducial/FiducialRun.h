#pragma once
// The fiducial test without widgets: the record of one test cycle built
// from the "Fiducial" values and the emitter DAC values, the checks before a
// run, the result lines, and the emitter and detector requests the dialogs
// send between runs.
#include <QString>
#include <array>
#include <cstdint>

#include "platform/Device.h"
#include "protocol/DriverRecord.h"
#include "protocol/FiducialTestParams.h"
#include "vantor/framework/TestDefinition.h"
#include "vantor/settings/TestSettingsRecords.h"

namespace vantor::fiducial {

// Colour index: 0 red, 1 green, 2 blue.
constexpr int kColors = 3;
// Red, green, blue bytes: emitter DAC values or detector readings.
using ColorBytes = std::array<uint8_t, kColors>;

// The axis panels.
enum Axis : int { kCrossweb = 0, kDownweb = 1 };
// The group names in the refusal messages.
inline const QString kCrosswebGroup = QStringLiteral("Crossweb");
inline const QString kDownwebGroup = QStringLiteral("Downweb");

// The request records of one run: the test record behind its block, with
// the ramp tables, both sample buffers and the cut file path it points to,
// all released when the record is reset.
struct FiducialRecords {
    protocol::DriverRecord<protocol::FiducialTestParams> params;
    const protocol::CommandBlock& block() const { return params.block(); }
};

// The checks before a run, each message ending in "\n": the emitter colour,
// the pulse counts of both axes (0 to kMaxPulses: their sample buffers take
// a word per pulse; the distances go as read), and a
// ramp-up choice naming a file that exists and holds a value.
QString CheckFiducialValues(const CFiducialSettings& values);

// Builds the record and its block (Target 35, Command 24) for the emitter
// DAC values `dac` (the colour's byte is sent). Returns an empty string, or
// why the run cannot start (ramps longer than an axis's pulse count).
QString BuildFiducialRecords(const CFiducialSettings& values, const ColorBytes& dac, FiducialRecords& out);

// "%d. Run fiducial test - OK " / "%d. Run fiducial test - FAIL "
QString FiducialResultLine(int cycle, bool ok);

// One run: the test cycle request, once per cycle.
class FiducialRun final : public TestRun {
public:
    FiducialRun(DriverRef driver, std::unique_ptr<FiducialRecords> records);
    void cycle(int cycle, int totalCycles, RunSink& sink) override;
    const FiducialRecords& records() const { return *m_records; }

private:
    DriverRef m_driver;
    std::unique_ptr<FiducialRecords> m_records;
};

// The run for the given emitter DAC values (the dialog's "DAC:" boxes).
PreparedRun PrepareFiducialRun(const CFiducialSettings& values, const ColorBytes& dac, const DriverRef& driver);

// The definition `vantor --run "Fiducial Test"` uses: with no dialog that
// read them at opening, its run reads the emitter DAC values back first.
// No "Total Cycle:" check: a total below 1 runs one cycle.
extern const TestDefinition<CFiducialSettings> kFiducialTest;

// --- emitter and detector requests (worker thread) --------------------------

// "Write To EEPROM - SUCCESS " / "Write To EEPROM - FAIL "
QString WriteResultLine(bool ok);
// Writes the emitter DAC values red (81), green (80), blue (82) in this
// order; every write is sent. False when any failed.
bool WriteEmitterDacs(platform::DeviceHandle& handle, const ColorBytes& values);
// Reads the three emitter DAC values back (setting 96); zeros on failure.
bool ReadEmitterDacs(platform::DeviceHandle& handle, ColorBytes& out);
// Reads the detector (sensor item 12); zeros on failure.
bool ReadDetector(platform::DeviceHandle& handle, ColorBytes& out);

} // namespace vantor::fiducial
