#include "vantor/screens/motion/RibbonRecords.h"

#include <QFile>
#include <algorithm>
#include <cstring>

#include "platform/DevicePath.h"
#include "protocol/AxisMoveParams.h"
#include "vantor/driver/MotorGroup.h"
#include "vantor/driver/RampProfile.h"
#include "vantor/framework/SpeedGroup.h"

namespace vantor::ribbon {

using protocol::DriverRecord;
using protocol::MotorBlock;
using protocol::RecordTables;
using protocol::RibbonMoveEntry;
using protocol::ShortMoveParams;

namespace {

QString quoted(const char* field, const QString& group)
{
    return QStringLiteral("\"%1\" of %2").arg(QLatin1String(field), group);
}

void refuseRampUp(const QString& path, const QString& group, Refusals& r)
{
    if (path.isEmpty())
        r.text += quoted("Ramp Up Profile", group) + QStringLiteral(" can not be empty\n");
    else if (!QFile::exists(platform::userFilePath(path)))
        r.text += QStringLiteral("File in ") + quoted("Ramp Up Profile", group) + QStringLiteral(" not exist\n");
    else
        r.text += QStringLiteral("File in ") + quoted("Ramp Up Profile", group) + QStringLiteral(" has no value\n");
}

// total minus the ramps, negative when the ramps are longer (the driver
// answers for it); refused only beyond a 32-bit word (0 then).
int32_t checkedPulses(int32_t total, int64_t ramps, const QString& group, Refusals& r)
{
    const std::optional<int32_t> pulses = constantPhase(total, ramps);
    if (!pulses) {
        r.text += constantPhaseOverflow(group);
        return 0;
    }
    return *pulses;
}

uint8_t vrefByte(int32_t v)
{
    return uint8_t(std::clamp(v, 1, 255));
}

// A ramp-up table read into `tables`: its address, count and last entry.
struct RampUp {
    uint32_t table = 0;
    int32_t count = 0;
    int32_t last = 0;
};
RampUp readRampUp(const QString& path, RecordTables& tables)
{
    auto& t = tables.adopt(driver::ReadRampProfile(path));
    RampUp r;
    r.table = t.address();
    r.count = int32_t(t.count());
    if (!t.empty())
        r.last = int32_t(t[t.count() - 1]);
    return r;
}

// A fresh copy of the table at `address` with `count` entries, owned by `tables`.
uint32_t copyTable(uint32_t address, int32_t count, RecordTables& tables)
{
    if (address == 0 || count <= 0)
        return address;
    const auto* src = platform::CallerMemory::instance().resolve(address, size_t(count) * sizeof(uint32_t));
    if (!src)
        return 0;
    auto& t = tables.newTable<uint32_t>(size_t(count));
    std::memcpy(t.data(), src, size_t(count) * sizeof(uint32_t));
    return t.address();
}

// Ribbon with platen: the platen move in a fresh block (reset values; word 8
// stays 2), its own ramp-up, no ramp-down.
MotorBlock platenMove(const RibbonMoveSettings& platen, int32_t stepMode, RecordTables& tables, Refusals& r)
{
    MotorBlock b;
    int64_t ramps = 0;
    if (platen.speed.initialSpeedType == driver::speedChoice::Constant) {
        b.constantSpeed = platen.speed.constantSpeed;
    } else {
        const RampUp up = readRampUp(platen.speed.rampUpProfile, tables);
        if (up.count == 0)
            refuseRampUp(platen.speed.rampUpProfile, kPlaten, r);
        else
            b.constantSpeed = up.last;
        b.rampUpTable = up.table;
        b.rampUpEntries = up.count;
        ramps = up.count;
    }
    b.stepMode = stepMode;
    b.word8 = 2;
    b.vref = vrefByte(platen.vref);
    b.constantPulses = checkedPulses(platen.totalPulses, ramps, kPlaten, r);
    return b;
}

// The ribbon part of an entry of the drive and with-platen tests.
void fillRibbon(RibbonMoveEntry& e, int32_t direction, int32_t stepMode, const RibbonMoveSettings& move,
                int32_t vref, bool track, const QString& group, RecordTables& tables, Refusals& r)
{
    e.move.direction = direction;
    e.move.stepMode = stepMode;
    e.move.stopMode = protocol::stopMode::PulseCount;
    fillShortMoveSpeed(e.move, move, true, group, tables, r);
    e.move.vref = vrefByte(vref);
    e.trackEncoder = track ? 1 : 0;
}

} // namespace

void fillShortMoveSpeed(ShortMoveParams& m, const RibbonMoveSettings& move, bool pulses, const QString& group,
                        RecordTables& tables, Refusals& refusals)
{
    if (move.speed.initialSpeedType == driver::speedChoice::Constant) {
        m.runSpeed = move.speed.constantSpeed;
        m.rampUpCount = 0;
    } else {
        const RampUp up = readRampUp(move.speed.rampUpProfile, tables);
        if (up.count == 0)
            refuseRampUp(move.speed.rampUpProfile, group, refusals);
        else
            m.runSpeed = up.last;
        m.rampUpTable = up.table;
        m.rampUpCount = up.count;
    }
    if (pulses)
        m.pulseCount = checkedPulses(move.totalPulses, m.rampUpCount, group, refusals);
}

void fillPanelPlaten(MotorBlock& b, const PlatenMoveSettings& panel, RecordTables& tables, Refusals& refusals)
{
    b = MotorBlock{};
    driver::MotorGroupParams g;
    applySpeed(g, panel.speed);
    const driver::MoveRamps ramps = driver::loadMoveRamps(g, tables);
    if (!ramps.hasSpeed)
        refuseRampUp(panel.speed.rampUpProfile, kPlaten, refusals);
    else
        b.constantSpeed = ramps.speed;
    b.rampUpTable = ramps.rampUpTable;
    b.rampUpEntries = ramps.rampUpEntries;
    b.rampDownTable = ramps.rampDownTable;
    b.rampDownEntries = ramps.rampDownEntries;
    b.direction = 0;
    b.word8 = 0;
    b.stepMode = panel.stepMode;
    b.constantPulses =
        checkedPulses(panel.totalPulses, int64_t(ramps.rampUpEntries) + ramps.rampDownEntries, kPlaten, refusals);
}

TensionBuild buildTension(DriverRecord<protocol::RibbonTensionParams>& rec, const CRibbonTensionSettings& s,
                          Refusals& refusals)
{
    rec.reset();
    auto& p = rec.record();
    TensionBuild b;
    p.reserved = 0;
    p.tensionMode = protocol::kTensionModeRun;
    p.frequency = s.frequency;
    p.dutyCycle = s.dutyCycle;
    p.duration = s.duration;
    p.levelCode = levelCode(s.currentLevel);
    if (s.slipClutch.enabled) {
        b.slipClutch = true;
        RibbonMoveEntry& e = p.slipClutch;
        fillShortMoveSpeed(e.move, s.slipClutch, true, kSlipClutch, rec, refusals);
        e.move.direction = 1;
        e.move.stepMode = s.stepMode;
        e.move.stopMode = protocol::stopMode::PulseCount;
        e.move.vref = vrefByte(s.slipClutch.vref);
        b.trackEncoder = s.trackEncoder != 0;
        if (s.usePlaten) {
            e.usePlaten = 1;
            fillPanelPlaten(e.platen, s.platen, rec, refusals);
        }
    }
    return b;
}

AdvanceBuild buildAdvance(DriverRecord<RibbonMoveEntry> (&entries)[3], const CRibbonAdvanceSettings& s,
                          Refusals& refusals)
{
    AdvanceBuild b;
    for (auto& e : entries)
        e.reset();
    if (s.counterClockwise.enabled) {
        b.moves[0] = true;
        ShortMoveParams& m = entries[0]->move;
        const bool pulse = s.pulseTrigger != 0;
        fillShortMoveSpeed(m, s.counterClockwise, pulse, kCounterClockwise, entries[0], refusals);
        m.direction = 0;
        m.stopMode = pulse ? protocol::stopMode::PulseCount : protocol::stopMode::SensorTrigger;
        if (!pulse)
            m.pulseCount = 0;
        m.stepMode = s.stepMode;
        m.vref = vrefByte(s.counterClockwise.vref);
    }
    if (s.clockwise.enabled) {
        b.moves[1] = true;
        ShortMoveParams& m = entries[1]->move;
        fillShortMoveSpeed(m, s.clockwise, true, kClockwise, entries[1], refusals);
        m.direction = 1;
        m.stopMode = protocol::stopMode::PulseCount;
        m.stepMode = s.stepMode;
        m.vref = vrefByte(s.clockwise.vref);
    }
    if (s.slipClutch.enabled) {
        b.moves[2] = true;
        RibbonMoveEntry& e = entries[2].record();
        fillShortMoveSpeed(e.move, s.slipClutch, true, kSlipClutch, entries[2], refusals);
        e.move.direction = 1;
        e.move.stopMode = protocol::stopMode::PulseCount;
        e.move.stepMode = s.stepMode;
        e.move.vref = vrefByte(s.slipClutch.vref);
        b.trackEncoder = s.trackEncoder != 0;
        if (s.usePlaten) {
            e.usePlaten = 1;
            fillPanelPlaten(e.platen, s.platen, entries[2], refusals);
        }
    }
    return b;
}

DriveBuild buildDrive(DriverRecord<RibbonMoveEntry>& a, DriverRecord<RibbonMoveEntry>& b,
                      const CRibbonDriveSettings& s, Refusals& refusals)
{
    DriveBuild d;
    a.reset();
    b.reset();
    d.trackEncoder = s.trackEncoder != 0;
    if (s.advance.enabled) {
        d.advance = true;
        fillRibbon(a.record(), 1, s.stepMode, s.advance, s.vref, d.trackEncoder, kRibbonAdvance, a, refusals);
    }
    if (s.reverse.enabled) {
        d.reverse = true;
        fillRibbon(b.record(), 0, s.stepMode, s.reverse, s.vref, d.trackEncoder, kRibbonReverse, b, refusals);
    }
    return d;
}

ToPlatenBuild buildToPlaten(DriverRecord<RibbonMoveEntry>& a, DriverRecord<RibbonMoveEntry>& b,
                            const CRibbonToPlatenSettings& s, Refusals& refusals)
{
    ToPlatenBuild t;
    t.reverse = s.direction != 0;
    t.sequence = s.runInSequence != 0;
    t.trackEncoder = s.trackEncoder != 0;
    a.reset();
    b.reset();
    DriverRecord<RibbonMoveEntry>& first = t.reverse ? b : a;
    DriverRecord<RibbonMoveEntry>& other = t.reverse ? a : b;
    RibbonMoveEntry& e = first.record();
    fillRibbon(e, t.reverse ? 0 : 1, s.ribbonStepMode, s.ribbon, s.ribbon.vref, t.trackEncoder, kRibbon, first,
               refusals);
    e.usePlaten = 1;
    e.platen = platenMove(s.platen, s.platenStepMode, first, refusals);
    e.platen.direction = t.reverse ? 0 : 1;
    if (t.sequence) {
        copyEntry(other, first);
        other->move.direction = t.reverse ? 1 : 0;
        other->platen.direction = t.reverse ? 1 : 0;
    }
    return t;
}

void copyEntry(DriverRecord<RibbonMoveEntry>& to, const DriverRecord<RibbonMoveEntry>& from)
{
    to.reset();
    RibbonMoveEntry& e = to.record();
    e = from.record();
    e.move.rampUpTable = copyTable(e.move.rampUpTable, e.move.rampUpCount, to);
    e.platen.rampUpTable = copyTable(e.platen.rampUpTable, e.platen.rampUpEntries, to);
    e.platen.rampDownTable = copyTable(e.platen.rampDownTable, e.platen.rampDownEntries, to);
}

namespace lines {
namespace {
QString okFail(int n, const char* name, bool ok)
{
    return QStringLiteral("%1,%2,%3,-").arg(n).arg(QLatin1String(name), ok ? QStringLiteral("OK") : QStringLiteral("FAIL"));
}
} // namespace

QString tensionSlipClutch(int n, bool ok, bool track, int32_t count)
{
    if (ok && track)
        return QStringLiteral("%1,Ribbon Tension and Slip Clutch,OK,%2").arg(n).arg(count);
    return okFail(n, "Ribbon Tension and Slip Clutch", ok);
}

QString tensionOnly(int n, bool ok)
{
    return okFail(n, "Ribbon Tension Only", ok);
}

QString rockerArmCc(int n, bool ok)
{
    return okFail(n, "Rocker Arm (cc)", ok);
}

QString rockerArmC(int n, bool ok)
{
    return okFail(n, "Rocker Arm (c)", ok);
}

QString slipClutch(int n, bool ok, bool track, int32_t count)
{
    if (ok && track)
        return QStringLiteral("%1,Slip Clutch,OK,%2").arg(n).arg(count);
    return okFail(n, "Slip Clutch", ok);
}

QString driveAdvance(int n, bool ok, bool track, int32_t count)
{
    if (ok && track)
        return QStringLiteral("%1,Ribbon Advance ,%2, OK,-").arg(n).arg(count);
    return okFail(n, "Ribbon Advance ", ok);
}

QString driveReverse(int n, bool ok, bool track, int32_t count)
{
    if (ok && track)
        return QStringLiteral("%1,Ribbon Reverse ,%2, OK,-").arg(n).arg(count);
    return okFail(n, "Ribbon Reverse ", ok);
}

QString platenAdvance(int n, bool ok, bool track, int32_t count, bool sequence)
{
    if (ok && track)
        return sequence ? QStringLiteral("%1,Ribbon Advance w/ Platen, %2, OK,-").arg(n).arg(count)
                        : QStringLiteral("%1,Ribbon Advance w/ Platen,%2, OK,-").arg(n).arg(count);
    if (!ok && sequence)
        return QStringLiteral("%1,Ribbon Advance w/ Platen ,FAIL,-").arg(n);
    return okFail(n, "Ribbon Advance w/ Platen", ok);
}

QString platenReverse(int n, bool ok, bool track, int32_t count)
{
    if (ok && track)
        return QStringLiteral("%1,Ribbon Reverse w/ Platen,%2, OK,-").arg(n).arg(count);
    return okFail(n, "Ribbon Reverse w/ Platen", ok);
}
} // namespace lines

} // namespace vantor::ribbon
