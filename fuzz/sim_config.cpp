// The simulator's configuration: any text as \Simulator\simulator.ini and as
// the fault and latency lists of the environment. Checks: no crash, and
// whatever is accepted lies within the documented bounds.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include "sim/printer/SimConfig.h"
#include "fuzz/FuzzSupport.h"

namespace {

void checkBounds(const sim::SimConfig& c)
{
    fuzzing::check(c.timeScale >= 0.0 && c.timeScale <= sim::kMaxTimeScale && std::isfinite(c.timeScale));
    fuzzing::check(c.maxRequestMs >= 0 && c.maxRequestMs <= sim::kMaxRequestMsLimit);
    for (const auto& [key, ms] : c.latencyMs)
        fuzzing::check(ms >= 0 && ms <= sim::kMaxLatencyMs);
    for (const auto& [key, rule] : c.faults) {
        if (rule.kind == sim::FaultRule::Kind::EveryNth)
            fuzzing::check(rule.n > 0);
        if (rule.kind == sim::FaultRule::Kind::Random)
            fuzzing::check(rule.p >= 0.0 && rule.p <= 1.0);
    }
}

const QString& scratchFile()
{
    static QTemporaryDir dir;
    static const QString path = dir.filePath(QStringLiteral("simulator.ini"));
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString text = QString::fromUtf8(bytes);

    // From memory: the environment's list forms and the bounded numbers.
    sim::SimConfig fromLists;
    fromLists.parseFaults(text);
    fromLists.parseLatency(text);
    double scale = 1.0;
    int64_t ms = 0;
    if (sim::SimConfig::parseTimeScale(text, scale))
        fuzzing::check(scale >= 0.0 && scale <= sim::kMaxTimeScale);
    if (sim::SimConfig::parseMilliseconds(text, sim::kMaxLatencyMs, ms))
        fuzzing::check(ms >= 0 && ms <= sim::kMaxLatencyMs);
    checkBounds(fromLists);

    // The file form.
    {
        QFile f(scratchFile());
        fuzzing::check(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        fuzzing::check(f.write(bytes) == bytes.size());
    }
    sim::SimConfig fromFile;
    fromFile.applyFile(scratchFile());
    checkBounds(fromFile);
    return 0;
}
