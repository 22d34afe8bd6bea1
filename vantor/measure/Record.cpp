#include "vantor/measure/Record.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSysInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>
#include <QUuid>
#include <cmath>
#include <cstdlib>

namespace vantor::measure {

namespace {

bool sameName(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

bool appliesTo(const Limit& l, const Measurement& m)
{
    return l.aggregate == Limit::Aggregate::None && sameName(l.name, m.name) && (l.op == Limit::Op::Ok) == m.passFail;
}

double aggregateValue(const Limit& l, const Aggregates& a)
{
    switch (l.aggregate) {
    case Limit::Aggregate::Min: return a.min;
    case Limit::Aggregate::Max: return a.max;
    case Limit::Aggregate::Mean: return a.mean;
    case Limit::Aggregate::Count: return double(a.count);
    case Limit::Aggregate::None: break;
    }
    return 0;
}

bool seriesPasses(const Limit& l, const Aggregates& a)
{
    // An empty series has no min, max or mean to hold to a limit.
    if (a.count == 0 && l.aggregate != Limit::Aggregate::Count)
        return false;
    return l.passes(aggregateValue(l, a));
}

QJsonValue number(double v)
{
    return std::isfinite(v) ? QJsonValue(v) : QJsonValue(QJsonValue::Null);
}

bool measurementPasses(const std::vector<const Limit*>& ls, const Measurement& m)
{
    for (const Limit* l : ls)
        if (m.passFail ? !l->passes(m.ok) : !l->passes(m.value))
            return false;
    return true;
}

std::vector<const Limit*> limitsOf(const StepRecord& step, const Measurement& m)
{
    std::vector<const Limit*> out;
    for (const Limit& l : step.limits)
        if (appliesTo(l, m))
            out.push_back(&l);
    return out;
}

std::vector<const Limit*> limitsOf(const StepRecord& step, const Series& s)
{
    std::vector<const Limit*> out;
    for (const Limit& l : step.limits)
        if (l.aggregate != Limit::Aggregate::None && sameName(l.name, s.name))
            out.push_back(&l);
    return out;
}

QString describe(const Measurement& m)
{
    return m.passFail ? (m.ok ? QStringLiteral("OK") : QStringLiteral("FAIL"))
                      : formatNumber(m.value) + (m.unit.isEmpty() ? QString() : QLatin1Char(' ') + m.unit);
}

} // namespace

QString verdictText(Verdict v)
{
    switch (v) {
    case Verdict::Pass: return QStringLiteral("PASS");
    case Verdict::Skipped: return QStringLiteral("SKIPPED");
    case Verdict::Fail: return QStringLiteral("FAIL");
    case Verdict::Error: return QStringLiteral("ERROR");
    case Verdict::Aborted: return QStringLiteral("ABORTED");
    }
    return QStringLiteral("ERROR");
}

Verdict worse(Verdict a, Verdict b) { return int(a) >= int(b) ? a : b; }

QStringList failures(const StepRecord& step)
{
    QStringList out;
    const Measurements& ms = step.measurements;
    for (const Measurement& m : ms.values) {
        const auto ls = limitsOf(step, m);
        if (!ls.empty() && !measurementPasses(ls, m)) {
            QStringList conditions;
            for (const Limit* l : ls)
                conditions << l->condition;
            out << QStringLiteral("%1 (cycle %2) = %3, limit %4")
                       .arg(m.name)
                       .arg(m.cycle)
                       .arg(describe(m), conditions.join(QStringLiteral(", ")));
        }
    }
    for (const Series& s : ms.series) {
        const auto ls = limitsOf(step, s);
        const Aggregates a = aggregate(s);
        for (const Limit* l : ls)
            if (!seriesPasses(*l, a))
                out << QStringLiteral("%1 (cycle %2) = %3, limit %4")
                           .arg(s.name)
                           .arg(s.cycle)
                           .arg(a.count || l->aggregate == Limit::Aggregate::Count
                                    ? formatNumber(aggregateValue(*l, a))
                                    : QStringLiteral("no samples"),
                                l->text);
    }
    // A limit whose number never came fails too: a production line must not
    // pass a unit on a value it did not see. A pass/fail that no line
    // reported did not fail (some tests write only their FAIL lines).
    for (const Limit& l : step.limits) {
        if (l.op == Limit::Op::Ok)
            continue;
        bool seen = false;
        if (l.aggregate == Limit::Aggregate::None) {
            for (const Measurement& m : ms.values)
                seen = seen || appliesTo(l, m);
        } else {
            for (const Series& s : ms.series)
                seen = seen || sameName(l.name, s.name);
        }
        if (!seen)
            out << QStringLiteral("%1: no value, limit %2").arg(l.name, l.text);
    }
    return out;
}

void judge(StepRecord& step)
{
    if (step.verdict == Verdict::Error || step.verdict == Verdict::Aborted || step.verdict == Verdict::Skipped)
        return;
    QStringList why = failures(step);
    for (const QString& line : step.lines)
        if (isFailLine(line)) {
            why << QStringLiteral("line \"%1\"").arg(line.trimmed());
            break;
        }
    step.verdict = why.isEmpty() ? Verdict::Pass : Verdict::Fail;
    if (!why.isEmpty())
        step.reason = why.join(QStringLiteral("; "));
}

QJsonObject stepJson(const StepRecord& step, const QString& csvPath)
{
    QJsonObject o;
    o[QStringLiteral("index")] = step.index;
    o[QStringLiteral("test")] = step.test;
    o[QStringLiteral("section")] = step.section;
    QJsonObject settings;
    for (const auto& [key, value] : step.settings)
        settings[key] = value;
    o[QStringLiteral("settings")] = settings;
    o[QStringLiteral("cycles")] = QJsonObject{{QStringLiteral("requested"), step.requested},
                                              {QStringLiteral("done"), step.done}};
    o[QStringLiteral("start")] = isoTime(step.start);
    o[QStringLiteral("end")] = isoTime(step.end);
    o[QStringLiteral("verdict")] = verdictText(step.verdict);
    if (!step.reason.isEmpty())
        o[QStringLiteral("reason")] = step.reason;
    o[QStringLiteral("lines")] = QJsonArray::fromStringList(step.lines);

    QJsonArray ms;
    for (const Measurement& m : step.measurements.values) {
        QJsonObject j;
        j[QStringLiteral("name")] = m.name;
        j[QStringLiteral("cycle")] = m.cycle;
        if (m.passFail)
            j[QStringLiteral("ok")] = m.ok;
        else
            j[QStringLiteral("value")] = number(m.value);
        j[QStringLiteral("unit")] = m.unit;
        const auto ls = limitsOf(step, m);
        if (ls.empty()) {
            j[QStringLiteral("limit")] = QJsonValue::Null;
            j[QStringLiteral("verdict")] = QJsonValue::Null;
        } else {
            QStringList conditions;
            for (const Limit* l : ls)
                conditions << l->condition;
            j[QStringLiteral("limit")] = conditions.join(QStringLiteral(", "));
            j[QStringLiteral("verdict")] = measurementPasses(ls, m) ? QStringLiteral("PASS") : QStringLiteral("FAIL");
        }
        ms.append(j);
    }
    o[QStringLiteral("measurements")] = ms;

    size_t samples = 0;
    for (const Series& s : step.measurements.series)
        samples += s.size();
    const bool toCsv = samples > kInlineSampleLimit && !csvPath.isEmpty();
    bool csvWritten = false;
    if (toCsv) {
        QSaveFile f(csvPath);
        if (f.open(QIODevice::WriteOnly)) {
            f.write("name,cycle,index,value\n");
            QByteArray row;
            for (const Series& s : step.measurements.series) {
                const QByteArray name = s.name.toUtf8();
                for (size_t i = 0; i < s.size(); ++i) {
                    row.clear();
                    row.append(name).append(',').append(QByteArray::number(s.cycle)).append(',');
                    row.append(QByteArray::number(s.indices[i])).append(',');
                    if (!std::isnan(s.values[i]))
                        row.append(QByteArray::number(double(s.values[i]), 'g', 9));
                    row.append('\n');
                    f.write(row);
                }
            }
            csvWritten = f.commit();
        }
    }
    QJsonArray ss;
    for (const Series& s : step.measurements.series) {
        QJsonObject j;
        const Aggregates a = aggregate(s);
        j[QStringLiteral("name")] = s.name;
        j[QStringLiteral("cycle")] = s.cycle;
        j[QStringLiteral("unit")] = s.unit;
        j[QStringLiteral("count")] = double(a.count);
        j[QStringLiteral("min")] = a.count ? number(a.min) : QJsonValue(QJsonValue::Null);
        j[QStringLiteral("max")] = a.count ? number(a.max) : QJsonValue(QJsonValue::Null);
        j[QStringLiteral("mean")] = a.count ? number(a.mean) : QJsonValue(QJsonValue::Null);
        const auto ls = limitsOf(step, s);
        if (ls.empty()) {
            j[QStringLiteral("limit")] = QJsonValue::Null;
            j[QStringLiteral("verdict")] = QJsonValue::Null;
        } else {
            QStringList texts;
            bool pass = true;
            for (const Limit* l : ls) {
                texts << l->text;
                pass = pass && seriesPasses(*l, a);
            }
            j[QStringLiteral("limit")] = texts.join(QStringLiteral(", "));
            j[QStringLiteral("verdict")] = pass ? QStringLiteral("PASS") : QStringLiteral("FAIL");
        }
        if (csvWritten) {
            j[QStringLiteral("csv")] = QFileInfo(csvPath).fileName();
        } else if (samples <= kInlineSampleLimit) {
            // Short series travel with the record, so a plot needs no file.
            QJsonArray idx, val;
            for (size_t i = 0; i < s.size(); ++i) {
                idx.append(s.indices[i]);
                val.append(number(double(s.values[i])));
            }
            j[QStringLiteral("indices")] = idx;
            j[QStringLiteral("values")] = val;
        }
        ss.append(j);
    }
    o[QStringLiteral("series")] = ss;
    return o;
}

QJsonObject runRecord(const RunHeader& h, const std::vector<QJsonObject>& steps, Verdict verdict,
                      const QString& reason)
{
    QJsonObject r;
    r[QStringLiteral("schema")] = 1;
    r[QStringLiteral("uuid")] = QUuid::createUuid().toString(QUuid::WithoutBraces);
    r[QStringLiteral("program")] = h.program;
    r[QStringLiteral("kind")] = h.kind;
    r[QStringLiteral("name")] = h.name;
    r[QStringLiteral("serial")] = h.serial;
    r[QStringLiteral("station")] = h.station.isEmpty() ? hostName() : h.station;
    r[QStringLiteral("operator")] = h.operatorName.isEmpty() ? loginName() : h.operatorName;
    QString version = h.version;
    if (version.isEmpty())
        version = QCoreApplication::applicationVersion();
    if (version.isEmpty())
        version = QStringLiteral(DIAG_PROJECT_VERSION);
    r[QStringLiteral("version")] = version;
    r[QStringLiteral("start")] = isoTime(h.start);
    r[QStringLiteral("end")] = isoTime(h.end);
    r[QStringLiteral("verdict")] = verdictText(verdict);
    if (!reason.isEmpty())
        r[QStringLiteral("reason")] = reason;
    QJsonArray a;
    for (const QJsonObject& s : steps)
        a.append(s);
    r[QStringLiteral("steps")] = a;
    return r;
}

QString isoTime(const QDateTime& t)
{
    // Qt writes "Z" for UTC; the record always carries the offset.
    const QDateTime local = t.isValid() ? t.toOffsetFromUtc(t.offsetFromUtc()) : QDateTime::currentDateTime();
    const int off = local.offsetFromUtc();
    const int a = std::abs(off) / 60;
    return local.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz")) +
           QString::asprintf("%c%02d:%02d", off < 0 ? '-' : '+', a / 60, a % 60);
}

QString hostName() { return QSysInfo::machineHostName(); }

QString loginName()
{
    for (const char* var : {"USER", "LOGNAME", "USERNAME"})
        if (const char* v = std::getenv(var); v && *v)
            return QString::fromLocal8Bit(v);
    return QString();
}

bool writeJsonFile(const QString& path, const QJsonObject& record)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(QJsonDocument(record).toJson());
    return file.commit();
}

} // namespace vantor::measure
