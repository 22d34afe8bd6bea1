#pragma once
// The XY cutter tests without widgets: the name tables, the driver records a
// run sends (built from the settings values the dialogs edit), the result
// lines and the requests of one cycle.
#include <cstdint>
#include <QString>
#include <QStringList>

#include "platform/CallerMemory.h"
#include "platform/Device.h"
#include "protocol/DriverRecord.h"
#include "protocol/XYLifeParams.h"
#include "vantor/settings/TestSettingsRecords.h"

namespace vantor::motion {

// CXYCutterDlg: the axis radios.
enum XYAxis : int { kXYCrossWeb = 0, kXYDownWeb = 1, kXYPinch = 2 };
// CXYCutterLifeDlg: the "Test Type" radios.
enum XYLifeTest : int { kXYHoming = 0, kXYAging = 1, kXYLifePinch = 2 };

// "Cross Web", "Down Web", "Pinch"; empty for any other index.
const QString& XYCutterAxisName(int axis);
// "Homing Test", "Aging Test", "Pinch Test"; empty for any other index.
const QString& XYCutterLifeTestName(int test);

// The largest "Total No. of Pulses:" and forward-step count a run accepts.
// The cross-web pulse count also sizes the sample buffer and the number of
// result lines of a cycle, and the knife's whole travel is far below it.
constexpr int32_t kXYMaxPulses = 100000;

// The group names in the refusal messages.
QString XYAxisGroupName(int axis); // "Cross Web", "Down Web"
inline const QString kXYLifeCrossweb = QStringLiteral("Crossweb");
inline const QString kXYLifeDownweb = QStringLiteral("Downweb");
inline const QString kXYLifeTapeRewind = QStringLiteral("Tape Rewind");

// A slider's value as the slider holds it (a stored value outside the range
// shows at the nearest end).
int32_t XYClamp(int32_t value, int32_t lo, int32_t hi);

// Level code of a "Current Level (%):" text: "38" 1, "71" 2, "100" 3, else 0.
int32_t XYLevelCode(const QString& currentLevel);

// --- CXYCutterDlg ---------------------------------------------------------

// The request records of one run: one record for the chosen axis, the
// block behind it, and the tables and sample buffer it points to.
struct XYCutterRecords {
    int axis = kXYCrossWeb;
    protocol::DriverRecord<protocol::CrossWebRecord> crossWeb;
    protocol::DriverRecord<protocol::DownWebRecord> downWeb;
    protocol::DriverRecord<protocol::PinchRecord> pinch;
    platform::CallerTable<int32_t> samples; // cross-web: one entry per pulse

    const protocol::CommandBlock& block() const;
};

// The one check a run needs (the message ends in "\n"): the pulse count of
// the cross-web axis, whose samples take one word per pulse (0 to
// kXYMaxPulses). Other boxes go to the driver as read.
QString CheckXYCutterPulses(const CXYCutterSettings& values);

// Builds the chosen axis's record and block. Returns an empty string, or
// why the run cannot start: a ramp-up profile that gives no run speed, or
// ramps longer than the pulse count.
QString BuildXYCutterRecords(const CXYCutterSettings& values, XYCutterRecords& out);

// "%d. Run %s motor - OK " / "%d. Run %s motor - FAIL"
QString XYCutterResultLine(int cycle, int axis, bool ok);
// "%d. %d [%d]" for every sample, numbered from `firstNumber` (1 for the
// first sample of a cycle).
QStringList XYCutterSampleLines(int cycle, const int32_t* samples, qsizetype count, qsizetype firstNumber = 1);

// --- CXYCutterLifeDlg -----------------------------------------------------

struct XYLifeRecords {
    int test = kXYHoming;
    protocol::DriverRecord<protocol::XYLifeParams> life;
    platform::CallerTable<int32_t> samples; // aging: kXYAgingSamples entries
    platform::CallerBuffer cutFilePath;     // aging: UTF-16LE, 0-terminated

    const protocol::CommandBlock& block() const { return life.block(); }
};

// "\"Tape Rewind Vref\" must be between 1 and 255.\n" when the tape rewind
// "VRef:" is out of range.
QString CheckXYLifeVref(const CXYCutterLifeSettings& values);

// Builds XYLifeParams for the test and the block (Target 35, Command 22, 21
// or 23). Returns an empty string or why the run cannot start (a ramp-up
// profile of a group the test uses that gives no run speed).
QString BuildXYLifeRecords(const CXYCutterLifeSettings& values, int test, XYLifeRecords& out);

// "%d. Run %s - OK " / "%d. Run %s - FAIL"
QString XYLifeResultLine(int cycle, int test, bool ok);
// "%d. Encoder [%d]"
QString XYEncoderLine(int sample, int32_t value);

} // namespace vantor::motion
