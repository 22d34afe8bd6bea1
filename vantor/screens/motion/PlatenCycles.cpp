#include "vantor/screens/motion/PlatenCycles.h"

#include "protocol/CommandChannel.h"
#include "protocol/RequestCodes.h"
#include "vantor/screens/motion/PlatenLines.h"

namespace vantor::platen {

using namespace protocol;

namespace {
int64_t countOf(const platform::CallerTable<uint32_t>* t) { return t ? int64_t(t->count()) : 0; }
const uint32_t* dataOf(const platform::CallerTable<uint32_t>* t) { return t ? t->data() : nullptr; }
} // namespace

void platenMoveCycle(platform::DeviceHandle& device, PlatenMoveRun& run, int cycle, int totalCycles,
                     RunSink& sink)
{
    auto& rec = run.record;
    rec->sequence.cyclePosition = cyclePosition(cycle - 1, totalCycles);
    int32_t total = 0;
    if (!sendCommand(device, IOCTL_PRN_MOTION, rec.block(), &total, sizeof total)) {
        sink.addLine(platenFailLine(cycle));
        return;
    }
    if (run.encoderDetail)
        detailLines(cycle, dataOf(run.encoderTable), countOf(run.encoderTable),
                    [&sink](QStringList batch) { sink.addLines(std::move(batch)); });
    sink.addLine(totalEncodeLine(cycle, total));
}

void platenSensorCycle(platform::DeviceHandle& device, PlatenMoveRun& run, int cycle, RunSink& sink)
{
    auto& rec = run.record;
    int32_t total = 0;
    if (!sendCommand(device, IOCTL_PRN_MOTION, rec.block(), &total, sizeof total)) {
        sink.addLine(sensorFailLine(cycle));
        return;
    }
    const platform::CallerTable<uint32_t>* encoder = run.encoderDetail ? run.encoderTable : nullptr;
    sensorLines(cycle, dataOf(run.sensorTable), countOf(run.sensorTable), dataOf(encoder), countOf(encoder),
                [&sink](QStringList batch) { sink.addLines(std::move(batch)); });
    // The driver may have cleared word 148 to say it answered in encoder counts.
    sink.addLine(sensorTotalLine(cycle, rec->sensorCapture.countMode, total));
}

void platenLifeCycle(platform::DeviceHandle& device, PlatenLifeRun& run, int cycle, RunSink& sink)
{
    if (!sendCommand(device, IOCTL_PRN_MOTION, run.record.block())) {
        sink.addLine(lifeFailLine(cycle));
        return;
    }
    sink.addLine(lifeOkLine(cycle));
    auto tables = [](const std::vector<platform::CallerTable<uint32_t>*>& from) {
        std::vector<PassTable> out;
        out.reserve(from.size());
        for (const auto* t : from)
            out.push_back(PassTable{dataOf(t), countOf(t)});
        return out;
    };
    sink.addLines(lifePassLines(cycle, tables(run.forwardTables), tables(run.reverseTables)));
}

} // namespace vantor::platen
