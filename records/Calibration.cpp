#include "records/Calibration.h"

#include <QJsonArray>
#include <QUuid>

#include "records/ProgramRecorder.h"

namespace records {

namespace {
QString shown(const QJsonValue& v)
{
    if (v.isNull() || v.isUndefined())
        return QStringLiteral("-");
    return v.isDouble() ? QString::number(v.toDouble(), 'g', 10) : v.toString();
}
} // namespace

QJsonObject calibrationRecord(const Calibration& c)
{
    const QString start = recordTime(c.start);
    const QString end = recordTime(c.end.isValid() ? c.end : c.start);
    const QString verdict = c.refused.isEmpty() ? QStringLiteral("PASS") : QStringLiteral("FAIL");
    QJsonArray lines, measurements;
    QJsonObject before, after;
    for (const CalibrationValue& v : c.values) {
        lines.append(QStringLiteral("%1: %2 -> %3").arg(v.name, shown(v.before), shown(v.after)));
        measurements.append(QJsonObject{{"name", v.name}, {"cycle", 1},     {"value", v.after}, {"before", v.before},
                                        {"unit", v.unit}, {"limit", QJsonValue::Null}, {"verdict", QJsonValue::Null}});
        before[v.name] = v.before;
        after[v.name] = v.after;
    }
    for (const QString& why : c.refused)
        lines.append(why.trimmed() + QStringLiteral(" FAIL"));
    QJsonObject step{{"index", 0},
                     {"test", c.caption},
                     {"section", c.section},
                     {"settings", c.settings},
                     {"cycles", QJsonObject{{"requested", 1}, {"done", 1}}},
                     {"start", start},
                     {"end", end},
                     {"verdict", verdict},
                     {"lines", lines},
                     {"measurements", measurements},
                     {"series", QJsonArray{}},
                     {"before", before},
                     {"after", after}};
    QJsonObject run{{"schema", 1},
                    {"uuid", QUuid::createUuid().toString(QUuid::WithoutBraces)},
                    {"program", c.program},
                    {"kind", "calibration"},
                    {"name", c.caption},
                    {"serial", ""},
                    {"station", stationName()},
                    {"operator", operatorName()},
                    {"version", programVersion()},
                    {"start", start},
                    {"end", end},
                    {"verdict", verdict},
                    {"steps", QJsonArray{step}}};
    if (!c.refused.isEmpty())
        run[QStringLiteral("reason")] = c.refused.join(QStringLiteral("; "));
    return run;
}

} // namespace records
