#include "vantor/screens/motion/PlatenRecords.h"

#include <algorithm>
#include <cstring>
#include <QFileInfo>

#include "platform/DevicePath.h"
#include "protocol/RequestCodes.h"
#include "vantor/framework/SpeedGroup.h"

namespace vantor::platen {

using namespace protocol;
using namespace vantor::driver;

QString validatePlatenTest(const PlatenMoveInput& in)
{
    QString msg;
    const MotorGroupParams& g = in.platen;
    if (g.speedChoice == speedChoice::Constant) {
        if (g.constantSpeed < 1)
            msg += QStringLiteral("\"Constant (pps)\" of Platen must greater than 0.\n");
    } else if (g.rampUpProfile.isEmpty()) {
        msg += QStringLiteral("\"Ramp Up Profile\" of Platen can not be empty\n");
    } else if (!profileExists(g.rampUpProfile)) {
        msg += QStringLiteral("File in \"Ramp Up Profile\" of Platen not exist\n");
    }
    if (g.useRampDown) {
        if (g.rampDownProfile.isEmpty())
            msg += QStringLiteral("\"Ramp Down Profile\" of Platen can not be empty\n");
        else if (!profileExists(g.rampDownProfile))
            msg += QStringLiteral("File in \"Ramp Down Profile\" of Platen not exist\n");
    }
    if (in.totalPulsesEmpty)
        msg += QStringLiteral("\"Total No. of Pulses\" of Platen can not be empty.\n");
    else if (g.totalPulses < 1)
        msg += QStringLiteral("\"Total No. of Pulses\" of Platen must greater than 0.\n");
    else if (in.encoderDetail) // the detail table takes one word per pulse
        msg += checkPulseRange(g.totalPulses, QStringLiteral("Total No. of Pulses"), kPlatenGroup);
    if (in.totalCycles < 1)
        msg += QStringLiteral("\"Total Cycle\" must greater than 0.\n");
    return msg;
}

QString noSpeedMessage(const QString& group)
{
    return QStringLiteral("File in \"Ramp Up Profile\" of %1 not exist or holds no value\n").arg(group);
}

namespace {

// A zeroed table of `count` entries (none for a count below 1); its address.
uint32_t zeroedTable(RecordTables& tables, int32_t count, platform::CallerTable<uint32_t>** keep)
{
    if (count < 1) {
        *keep = nullptr;
        return 0;
    }
    auto& t = tables.newTable<uint32_t>(size_t(count));
    *keep = &t;
    return t.address();
}

QString fillMoveCommon(PlatenMoveRun& run, const PlatenMoveInput& in)
{
    auto& rec = run.record;
    rec.reset();
    run.encoderTable = nullptr;
    run.sensorTable = nullptr;
    run.encoderDetail = in.encoderDetail;
    QString refusal;

    if (!fillMotorBlock(rec->platen, in.platen, rec))
        refusal += noSpeedMessage(kPlatenGroup);
    if (!fillSecondMotorBlock(rec->tapeRewind, in.tapeRewind, rec))
        refusal += noSpeedMessage(kTapeRewindGroup);
    rec->tapeRewind.word8 = 0;

    rec->sequence.cyclePosition = 1;
    rec->sequence.word4 = 1;
    rec->sequence.word8 = 1000;
    rec->clutch = in.clutch ? 1 : 0;
    rec->word140 = 1;

    if (in.encoderDetail) {
        EncoderDetailBlock& d = rec->encoderDetail;
        d.enable = 1;
        d.enable2 = 1;
        // A count below 1 sends no table; the entries then say 0, so that
        // the driver is never told of entries it has no room for.
        d.table = zeroedTable(rec, in.platen.totalPulses, &run.encoderTable);
        d.entries = run.encoderTable ? in.platen.totalPulses : 0;
    }
    rec.setCommand(target::Platen, cmd::motion::PlatenMove);
    return refusal;
}

} // namespace

QString buildPlatenMove(PlatenMoveRun& run, const PlatenMoveInput& in)
{
    return fillMoveCommon(run, in);
}

QString buildPlatenSensorMove(PlatenMoveRun& run, const PlatenMoveInput& in, int sensor)
{
    PlatenMoveInput sensorIn = in;
    sensorIn.platen.vref = 255; // no "VRef :" control in this test
    const QString refusal = fillMoveCommon(run, sensorIn);
    auto& rec = run.record;
    SensorCaptureBlock& c = rec->sensorCapture;
    c.enable = 1;
    c.countMode = 1;
    c.sensor = sensor;
    c.table = zeroedTable(rec, in.platen.totalPulses, &run.sensorTable);
    c.entries = run.sensorTable ? in.platen.totalPulses : 0;
    return refusal;
}

namespace {

// Pass descriptors of one direction with their 0x01-filled tables.
uint32_t passDescriptors(PlatenLifeRun& run, int count, int32_t entries,
                         std::vector<platform::CallerTable<uint32_t>*>& tables)
{
    tables.clear();
    if (count < 1)
        return 0;
    auto& rec = run.record;
    auto& descriptors = rec.newTable<PassDescriptor>(size_t(count));
    for (int i = 0; i < count; ++i) {
        PassDescriptor d; // words 0 and 4 are 1
        platform::CallerTable<uint32_t>* table = nullptr;
        if (entries > 0) {
            table = &rec.newTable<uint32_t>(size_t(entries));
            std::memset(table->data(), kPassTableFill, table->count() * sizeof(uint32_t));
            d.entries = entries;
            d.table = table->address();
        }
        descriptors[size_t(i)] = d;
        tables.push_back(table);
    }
    return descriptors.address();
}

} // namespace

QString buildPlatenLife(PlatenLifeRun& run, const PlatenLifeInput& in)
{
    auto& rec = run.record;
    rec.reset(); // the record's defaults are the values RUN sends
    QString refusal;

    // The panels have no direction or Vref: direction word 1 and Vref 255 stay.
    auto fillPanel = [&](MotorBlock& block, const PlatenPanelInput& panel, const QString& caption) {
        MotorGroupParams g = panel.move;
        g.direction = 1;
        g.vref = 255;
        if (!fillMotorBlock(block, g, rec))
            refusal += noSpeedMessage(caption);
    };
    fillPanel(rec->forward, in.forward, kForwardPanelCaption);
    if (in.useReverse)
        fillPanel(rec->reverse, in.reverse, kReversePanelCaption);

    const bool rewindSpeedF = fillSecondMotorBlock(rec->rewindForward, in.tapeRewind, rec);
    fillSecondMotorBlock(rec->rewindReverse, in.tapeRewind, rec);
    if (!rewindSpeedF)
        refusal += noSpeedMessage(kTapeRewindGroup);
    rec->rewindReverse.constantPulses = in.tapeRewindReversePulses;

    const int n = std::clamp(in.passes, 1, 4);
    run.passes = n;
    const int32_t reverseEntries = in.useReverse ? in.reverse.move.totalPulses : 1;
    rec->forwardPasses = passDescriptors(run, n, in.forward.move.totalPulses, run.forwardTables);
    rec->reversePasses = passDescriptors(run, n - 1, reverseEntries, run.reverseTables);
    rec->forwardPassCount = n;
    rec->reversePassCount = n - 1;
    rec->passes = n;
    rec->forwardClutch = in.forward.clutch ? 1 : 0;
    rec->reverseClutch = in.reverse.clutch ? 1 : 0;
    rec->useReverse = in.useReverse ? 1 : 0;
    rec.setCommand(target::Sequence, cmd::motion::PlatenLife);
    return refusal;
}

} // namespace vantor::platen
