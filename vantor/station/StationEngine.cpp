#include "vantor/station/StationEngine.h"

#include <QDateTime>

#include "platform/Clock.h"
#include "platform/Event.h"
#include "protocol/CommandChannel.h"
#include "vantor/app/SequenceRunner.h"
#include "vantor/measure/Record.h"
#include "vantor/measure/RecordSink.h"

namespace vantor::station {

namespace {

QString aggregateSuffix(measure::Limit::Aggregate a)
{
    switch (a) {
    case measure::Limit::Aggregate::None: return {};
    case measure::Limit::Aggregate::Min: return QStringLiteral(".min");
    case measure::Limit::Aggregate::Max: return QStringLiteral(".max");
    case measure::Limit::Aggregate::Mean: return QStringLiteral(".mean");
    case measure::Limit::Aggregate::Count: return QStringLiteral(".count");
    }
    return {};
}

SequencePlan planOf(const SequenceRunner& runner, const QString& path)
{
    const measure::SequenceDefinition& definition = runner.definition();
    SequencePlan plan;
    plan.path = path;
    plan.name = definition.name;
    plan.serialRequired = definition.serialRequired;
    for (size_t i = 0; i < definition.steps.size(); ++i) {
        const measure::SequenceStep& s = definition.steps[i];
        StepPlan step;
        step.test = runner.testOf(int(i)).name();
        step.section = runner.testOf(int(i)).section;
        // Without cycles of its own a step runs its section's "cycle".
        step.cycles = 1;
        if (s.cycles)
            step.cycles = *s.cycles;
        else
            for (const auto& [key, value] : runner.settingsOf(int(i)))
                if (key.compare(QStringLiteral("cycle"), Qt::CaseInsensitive) == 0)
                    step.cycles = value.toInt();
        for (const measure::Limit& l : s.limits)
            step.limits.push_back({l.name + aggregateSuffix(l.aggregate), l.condition});
        plan.steps.push_back(std::move(step));
    }
    return plan;
}

} // namespace

StationEngine::StationEngine(QString operatorName) : m_operator(std::move(operatorName)) {}

StationEngine::~StationEngine()
{
    close();
}

QString StationEngine::noDriverReason()
{
    return QStringLiteral("The printer driver PRN1: is not there: no request can be sent.");
}

LoadResult StationEngine::load(const QString& path)
{
    QString error;
    std::unique_ptr<SequenceRunner> runner = SequenceRunner::load(path, &error);
    if (!runner)
        return {std::nullopt, error};
    return {planOf(*runner, path), QString()};
}

QString StationEngine::start(const SequencePlan& plan, const QString& serial, RunEvents& events)
{
    if (m_runner && !m_runner->finished())
        return QStringLiteral("A sequence is running.");
    m_runner.reset();
    QString error;
    std::unique_ptr<SequenceRunner> runner = SequenceRunner::load(plan.path, &error);
    if (!runner)
        return error;
    // Without a driver every request would fail: say so on the first step
    // instead of running the whole sequence into FAIL lines.
    if (!protocol::openPrinter().valid()) {
        reportNoDriver(plan, serial, events);
        return {};
    }
    SequenceEvents ev;
    ev.stepStarted = [&events](int step, const QString&, int) { events.stepStarted(step); };
    ev.line = [&events](int step, const QString& line) { events.lines(step, {line}); };
    ev.cycleDone = [&events](int step, int done, int requested) { events.cycleDone(step, done, requested); };
    ev.stepEnded = [&events](int step, measure::Verdict verdict, const QString& reason) {
        QJsonObject s{{QStringLiteral("index"), step}, {QStringLiteral("verdict"), measure::verdictText(verdict)}};
        if (!reason.isEmpty())
            s.insert(QStringLiteral("reason"), reason);
        events.stepEnded(step, s);
    };
    // The sequence runner publishes its record itself.
    ev.finished = [&events](const QJsonObject& record) { events.finished(record); };
    if (!runner->start({serial, m_operator, QString()}, std::move(ev), &error))
        return error;
    m_runner = std::move(runner);
    return {};
}

void StationEngine::reportNoDriver(const SequencePlan& plan, const QString& serial, RunEvents& events)
{
    const QDateTime now = QDateTime::currentDateTime();
    measure::RunHeader header;
    header.kind = QStringLiteral("sequence");
    header.name = plan.name;
    header.serial = serial;
    header.operatorName = m_operator;
    header.start = header.end = now;
    std::vector<QJsonObject> steps;
    for (size_t i = 0; i < plan.steps.size(); ++i) {
        measure::StepRecord rec;
        rec.index = int(i);
        rec.test = plan.steps[i].test;
        rec.requested = plan.steps[i].cycles;
        rec.start = rec.end = now;
        rec.verdict = i == 0 ? measure::Verdict::Error : measure::Verdict::Skipped;
        rec.reason = i == 0 ? noDriverReason() : QStringLiteral("an earlier step failed");
        steps.push_back(measure::stepJson(rec));
    }
    const QJsonObject record = measure::runRecord(header, steps, measure::Verdict::Error, noDriverReason());
    if (!steps.empty()) {
        events.stepStarted(0);
        events.stepEnded(0, steps.front());
    }
    measure::publishRecord(record);
    events.finished(record);
}

void StationEngine::stop()
{
    if (m_runner)
        m_runner->stop();
}

void StationEngine::close()
{
    if (!m_runner)
        return;
    m_runner->stop();
    m_runner->wait(platform::kInfinite);
    m_runner.reset();
}

} // namespace vantor::station
