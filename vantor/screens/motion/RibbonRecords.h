#pragma once
// The driver records of the ribbon tests, built from the dialogs' values, and
// their result lines. Widget-free: the dialogs and `vantor --run` share it.
//
// Every run builds its records afresh (tables owned by the run), so a field
// that a run does not write holds its reset value, never an address of a
// table freed by an earlier run.
#include <QString>
#include <cstdint>

#include "protocol/DriverRecord.h"
#include "protocol/RibbonMoveEntry.h"
#include "protocol/RibbonTensionParams.h"
#include "vantor/screens/motion/CurrentLevel.h"
#include "vantor/settings/TestSettingsRecords.h"

namespace vantor::ribbon {

// Group names as the refusals show them.
inline const QString kSlipClutch = QStringLiteral("Slip Clutch");
inline const QString kCounterClockwise = QStringLiteral("Rocker Arm (Counter Clockwise)");
inline const QString kClockwise = QStringLiteral("Rocker Arm (Clockwise)");
inline const QString kPlaten = QStringLiteral("Platen");
inline const QString kRibbonAdvance = QStringLiteral("Ribbon Advance");
inline const QString kRibbonReverse = QStringLiteral("Ribbon Reverse");
inline const QString kRibbon = QStringLiteral("Ribbon");

// A ramp-up choice whose file is unnamed, missing or holds no value has no
// speed for the constant phase: the run is refused with
//   "\"Ramp Up Profile\" of <group> can not be empty\n"
//   "File in \"Ramp Up Profile\" of <group> not exist\n"
//   "File in \"Ramp Up Profile\" of <group> has no value\n"
// A pulse count the mechanism cannot do is refused with the program's one
// rule (checkPulseRange: below 0 or above kMaxPulses)
//   "\"Total No. of Pulses\" of <group> must be between 0 and 1000000.\n"
// or, when the ramps alone are longer than the move,
//   "\"Total No. of Pulses\" of <group> is less than its ramp profiles\n"
// Messages collect in `refusal`; the records are still filled.
struct Refusals {
    QString text;
    bool empty() const { return text.isEmpty(); }
};

// Speed and pulse count of a short move from a move's controls. With
// `pulses` false (the sensor-trigger move) the pulse count is left alone.
void fillShortMoveSpeed(protocol::ShortMoveParams& m, const RibbonMoveSettings& move, bool pulses,
                        const QString& group, protocol::RecordTables& tables, Refusals& refusals);

// The platen move of the tension and advance tests, from the panel: word 0
// and word 8 are 0, both ramps, Vref keeps 255; holds and clutch unused.
void fillPanelPlaten(protocol::MotorBlock& b, const PlatenMoveSettings& panel, protocol::RecordTables& tables,
                     Refusals& refusals);


// --- the records of each test -----------------------------------------------

// Ribbon tension: the whole record; `slipClutch` and `trackEncoder` say what
// the worker sends and prints.
struct TensionBuild {
    bool slipClutch = false;
    bool trackEncoder = false;
};
TensionBuild buildTension(protocol::DriverRecord<protocol::RibbonTensionParams>& rec,
                          const CRibbonTensionSettings& s, Refusals& refusals);

// Ribbon advance: the three entries (counter-clockwise, clockwise, slip
// clutch), each its own record.
struct AdvanceBuild {
    bool moves[3] = {false, false, false};
    bool trackEncoder = false;
    bool any() const { return moves[0] || moves[1] || moves[2]; }
};
AdvanceBuild buildAdvance(protocol::DriverRecord<protocol::RibbonMoveEntry> (&entries)[3],
                          const CRibbonAdvanceSettings& s, Refusals& refusals);

// Ribbon drive: entry A (advance) and B (reverse).
struct DriveBuild {
    bool advance = false;
    bool reverse = false;
    bool trackEncoder = false;
    bool any() const { return advance || reverse; }
};
DriveBuild buildDrive(protocol::DriverRecord<protocol::RibbonMoveEntry>& a,
                      protocol::DriverRecord<protocol::RibbonMoveEntry>& b, const CRibbonDriveSettings& s,
                      Refusals& refusals);

// Ribbon with platen: entry A (advance) and B (reverse); with "Run In
// Sequence" the other entry is a copy with its own tables.
struct ToPlatenBuild {
    bool reverse = false;
    bool sequence = false;
    bool trackEncoder = false;
};
ToPlatenBuild buildToPlaten(protocol::DriverRecord<protocol::RibbonMoveEntry>& a,
                            protocol::DriverRecord<protocol::RibbonMoveEntry>& b,
                            const CRibbonToPlatenSettings& s, Refusals& refusals);

// Copies `from` into `to`, giving `to` copies of the ramp tables `from`
// points at (both the ribbon's and the platen's), so each entry frees only
// its own.
void copyEntry(protocol::DriverRecord<protocol::RibbonMoveEntry>& to,
               const protocol::DriverRecord<protocol::RibbonMoveEntry>& from);

// --- result lines -----------------------------------------------------------
namespace lines {
QString tensionSlipClutch(int n, bool ok, bool track, int32_t count);
QString tensionOnly(int n, bool ok);
QString rockerArmCc(int n, bool ok);
QString rockerArmC(int n, bool ok);
QString slipClutch(int n, bool ok, bool track, int32_t count);
QString driveAdvance(int n, bool ok, bool track, int32_t count);
QString driveReverse(int n, bool ok, bool track, int32_t count);
// `sequence`: the "Run In Sequence" form of the advance lines.
QString platenAdvance(int n, bool ok, bool track, int32_t count, bool sequence);
QString platenReverse(int n, bool ok, bool track, int32_t count);
} // namespace lines

} // namespace vantor::ribbon
