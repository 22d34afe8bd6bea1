#pragma once
// Limits on measurements: "Total encode=1700..1900" (inclusive), "=v",
// ">=a", "<=b", "Run motor=OK"; a series takes them on an aggregate:
// "Forward Encode.max<=4000" (.min, .max, .mean, .count).
#include <QString>
#include <optional>
#include <vector>

#include "vantor/measure/Measurements.h"

namespace vantor::measure {

struct Limit {
    enum class Op { Range, Equal, AtLeast, AtMost, Ok };
    enum class Aggregate { None, Min, Max, Mean, Count };

    QString name;     // the measurement's or series' name
    Aggregate aggregate = Aggregate::None;
    Op op = Op::Ok;
    double low = 0;   // Range, Equal, AtLeast
    double high = 0;  // Range, AtMost
    QString condition; // as written: "1700..1900", "OK", ">=5", "=3"
    QString text;     // the whole limit: "Total encode=1700..1900"

    bool passes(double value) const;
    bool passes(bool ok) const { return op == Op::Ok && ok; }
};

// The command-line form NAME=CONDITION, NAME>=A or NAME<=B. nullopt with `error`
// set when it does not parse.
std::optional<Limit> parseLimit(const QString& text, QString* error);
// A sequence's form: the name and its condition ("1700..1900", "OK",
// ">=1", "<=9", "=5" or a bare number).
std::optional<Limit> parseLimit(const QString& name, const QString& condition, QString* error);

// Empty when every limit names something the section reports with a
// matching kind; otherwise the reason, listing the section's names.
QString checkLimitNames(const QString& section, const std::vector<Limit>& limits);

// The aggregates of a series (NaN samples are gaps and do not count).
struct Aggregates {
    long long count = 0;
    double min = 0, max = 0, mean = 0;
};
Aggregates aggregate(const Series& s);

// "1700..1900" and the other numbers, as short as they can be written.
QString formatNumber(double v);

} // namespace vantor::measure
