#pragma once
// Run records as the measurements produce them, built for the tests.
#include <QJsonArray>
#include <QJsonObject>
#include <QString>
#include <QUuid>

namespace records::fixture {

struct RunShape {
    QString name = QStringLiteral("Platen Test");
    QString section = QStringLiteral("Platen");
    QString serial = QStringLiteral("SN100");
    QString start = QStringLiteral("2026-12-09T17:02:03.123+00:00");
    QString verdict = QStringLiteral("PASS");
    int cycles = 3;
    int extraLines = 0; // per-pulse detail lines besides the cycle lines
    bool failSecond = false;
};

inline QJsonObject makeRecord(const RunShape& s = {})
{
    QJsonArray lines{QStringLiteral("== Start =="), QStringLiteral("09/12/2026 17:02:03")};
    QJsonArray measurements;
    for (int c = 1; c <= s.cycles; ++c) {
        const bool fail = s.failSecond && c == 2;
        lines.append(fail ? QStringLiteral("%1. Run Platen - FAIL").arg(c)
                          : QStringLiteral("%1. Total encode = %2 ").arg(c).arg(1780 + c));
        for (int i = 0; i < s.extraLines / std::max(1, s.cycles); ++i)
            lines.append(QStringLiteral("%1,%2,%3").arg(c).arg(i).arg(i * 7 % 4000));
        QJsonObject m{{"name", "Total encode"}, {"cycle", c}, {"unit", "counts"}, {"limit", "1700..1900"}};
        if (fail) {
            m[QStringLiteral("name")] = QStringLiteral("Run Platen");
            m[QStringLiteral("ok")] = false;
            m[QStringLiteral("limit")] = QStringLiteral("OK");
            m[QStringLiteral("unit")] = QString();
            m[QStringLiteral("verdict")] = QStringLiteral("FAIL");
        } else {
            m[QStringLiteral("value")] = 1780 + c;
            m[QStringLiteral("verdict")] = QStringLiteral("PASS");
        }
        measurements.append(m);
        measurements.append(QJsonObject{{"name", "Duration"}, {"cycle", c}, {"value", 0.25 * c}, {"unit", "s"},
                                        {"limit", QJsonValue::Null}, {"verdict", QJsonValue::Null}});
    }
    lines.append(QStringLiteral("== End =="));
    lines.append(QStringLiteral(" "));
    QJsonObject step{
        {"index", 0},
        {"test", s.name},
        {"section", s.section},
        {"settings", QJsonObject{{"TotalPulses", "3000"}, {"cycle", QString::number(s.cycles)}, {"pause", "0"}}},
        {"cycles", QJsonObject{{"requested", s.cycles}, {"done", s.cycles}}},
        {"start", s.start},
        {"end", s.start},
        {"verdict", s.verdict},
        {"lines", lines},
        {"measurements", measurements},
        {"series", QJsonArray{QJsonObject{{"name", "Forward Encode"}, {"cycle", 1}, {"unit", "counts"},
                                          {"count", 3000}, {"min", 12}, {"max", 3733}, {"mean", 1804.5},
                                          {"limit", "Forward Encode.max<=4000"}, {"verdict", "PASS"}}}},
    };
    QJsonObject run{{"schema", 1},
                    {"uuid", QUuid::createUuid().toString(QUuid::WithoutBraces)},
                    {"program", "vantor"},
                    {"kind", "run"},
                    {"name", s.name},
                    {"serial", s.serial},
                    {"station", "bench-1"},
                    {"operator", "tester"},
                    {"version", "1.0"},
                    {"start", s.start},
                    {"end", s.start},
                    {"verdict", s.verdict},
                    {"steps", QJsonArray{step}}};
    if (s.verdict == QLatin1String("FAIL"))
        run[QStringLiteral("reason")] = QStringLiteral("Run Platen");
    return run;
}

} // namespace records::fixture
