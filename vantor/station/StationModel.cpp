#include "vantor/station/StationModel.h"

#include <QJsonArray>
#include <algorithm>

namespace vantor::station {

QString stateText(StepState state)
{
    switch (state) {
    case StepState::Waiting: return QStringLiteral("waiting");
    case StepState::Running: return QStringLiteral("running");
    case StepState::Pass: return QStringLiteral("PASS");
    case StepState::Fail: return QStringLiteral("FAIL");
    case StepState::Error: return QStringLiteral("ERROR");
    case StepState::Aborted: return QStringLiteral("ABORTED");
    case StepState::Skipped: return QStringLiteral("SKIPPED");
    }
    return {};
}

StepState stateOfVerdict(const QString& verdict)
{
    for (StepState s : {StepState::Pass, StepState::Fail, StepState::Error, StepState::Aborted, StepState::Skipped})
        if (verdict == stateText(s))
            return s;
    return StepState::Error;
}

QString limitsText(const StepPlan& step)
{
    QStringList parts;
    for (const StepLimit& l : step.limits)
        parts << l.name + u' ' + l.text;
    return parts.join(QStringLiteral("; "));
}

bool StationModel::setSequence(SequencePlan plan)
{
    if (m_running)
        return false;
    m_plan = std::move(plan);
    m_verdict.clear();
    m_reason.clear();
    m_record = {};
    m_start = m_end = platform::Millis(0);
    resetSteps();
    return true;
}

void StationModel::resetSteps()
{
    m_steps.clear();
    m_current = -1;
    if (!m_plan)
        return;
    for (const StepPlan& p : m_plan->steps) {
        StepRow row;
        row.plan = p;
        row.total = std::max(p.cycles, 0);
        m_steps.push_back(std::move(row));
    }
}

void StationModel::begin(const QString& serial)
{
    resetSteps();
    m_serial = serial;
    m_running = true;
    m_verdict = QStringLiteral("RUNNING");
    m_reason.clear();
    m_record = {};
    m_start = m_end = platform::clock().now();
}

void StationModel::refused()
{
    m_running = false;
    m_verdict.clear();
    m_start = m_end = platform::Millis(0);
    resetSteps();
}

void StationModel::stepStarted(int step)
{
    if (!valid(step))
        return;
    m_current = step;
    m_steps[size_t(step)].state = StepState::Running;
    m_steps[size_t(step)].done = 0;
}

void StationModel::cycleDone(int step, int done, int total)
{
    if (!valid(step))
        return;
    StepRow& row = m_steps[size_t(step)];
    row.total = std::max(total, 0);
    row.done = std::max(done, 0);
}

void StationModel::stepEnded(int step, const QJsonObject& record)
{
    if (!valid(step))
        return;
    StepRow& row = m_steps[size_t(step)];
    row.state = stateOfVerdict(record.value(QStringLiteral("verdict")).toString());
    row.failing = row.state == StepState::Pass ? QString() : failingText(record);
    const QJsonObject cycles = record.value(QStringLiteral("cycles")).toObject();
    if (cycles.contains(QStringLiteral("done")))
        row.done = cycles.value(QStringLiteral("done")).toInt();
    if (m_current == step)
        m_current = -1;
}

void StationModel::finished(const QJsonObject& record)
{
    m_record = record;
    m_running = false;
    m_current = -1;
    m_end = platform::clock().now();
    m_verdict = record.value(QStringLiteral("verdict")).toString(QStringLiteral("ERROR"));
    m_reason = record.value(QStringLiteral("reason")).toString();
    // The record has the last word on every step it names; a step it does not
    // name never ran.
    const QJsonArray steps = record.value(QStringLiteral("steps")).toArray();
    for (const QJsonValue& v : steps) {
        const QJsonObject s = v.toObject();
        const int index = s.value(QStringLiteral("index")).toInt(-1);
        if (valid(index))
            stepEnded(index, s);
    }
    for (StepRow& row : m_steps)
        if (row.state == StepState::Running)
            row.state = m_verdict == QStringLiteral("ABORTED") ? StepState::Aborted : StepState::Error;
}

int StationModel::cyclesDone() const
{
    int n = 0;
    for (const StepRow& r : m_steps)
        n += std::min(r.done, r.total);
    return n;
}

int StationModel::cyclesTotal() const
{
    int n = 0;
    for (const StepRow& r : m_steps)
        n += r.total;
    return n;
}

platform::Millis StationModel::elapsed() const
{
    return (m_running ? platform::clock().now() : m_end) - m_start;
}

QString StationModel::formatElapsed(platform::Millis elapsed)
{
    const long long ms = std::max<long long>(elapsed.count(), 0);
    const long long tenths = ms / 100;
    return QStringLiteral("%1:%2:%3.%4")
        .arg(tenths / 36000)
        .arg((tenths / 600) % 60, 2, 10, QLatin1Char('0'))
        .arg((tenths / 10) % 60, 2, 10, QLatin1Char('0'))
        .arg(tenths % 10);
}

namespace {

QString measurementText(const QJsonObject& m)
{
    const QString name = m.value(QStringLiteral("name")).toString();
    const QString unit = m.value(QStringLiteral("unit")).toString();
    const QString limit = m.value(QStringLiteral("limit")).toString();
    QString value;
    if (m.contains(QStringLiteral("value")))
        value = QStringLiteral(" = ") + QString::number(m.value(QStringLiteral("value")).toDouble(), 'g', 10) +
                (unit.isEmpty() ? QString() : u' ' + unit);
    else if (m.contains(QStringLiteral("ok")))
        value = m.value(QStringLiteral("ok")).toBool() ? QStringLiteral(" OK") : QStringLiteral(" FAIL");
    else if (m.contains(QStringLiteral("max"))) // a series aggregate
        value = QStringLiteral(" (min %1, max %2, mean %3)")
                    .arg(m.value(QStringLiteral("min")).toDouble())
                    .arg(m.value(QStringLiteral("max")).toDouble())
                    .arg(m.value(QStringLiteral("mean")).toDouble());
    const int cycle = m.value(QStringLiteral("cycle")).toInt();
    QString text = name + value;
    if (!limit.isEmpty())
        text += QStringLiteral(" (limit %1)").arg(limit);
    if (cycle > 0)
        text += QStringLiteral(", cycle %1").arg(cycle);
    return text;
}

} // namespace

QString StationModel::failingText(const QJsonObject& step)
{
    // The runner names a FAIL's failing measurements in the reason already.
    const QString reason = step.value(QStringLiteral("reason")).toString();
    if (!reason.isEmpty())
        return reason;
    QStringList failed;
    int more = 0;
    for (const char* key : {"measurements", "series"}) {
        for (const QJsonValue& v : step.value(QLatin1String(key)).toArray()) {
            const QJsonObject m = v.toObject();
            if (m.value(QStringLiteral("verdict")).toString() != QStringLiteral("FAIL"))
                continue;
            // The first two name it; the count says how far it goes.
            if (failed.size() < 2)
                failed << measurementText(m);
            else
                ++more;
        }
    }
    QString text = failed.join(QStringLiteral("; "));
    if (more > 0)
        text += QStringLiteral("; %1 more").arg(more);
    return text;
}

} // namespace vantor::station
