#include "vantor/measure/Limits.h"

#include <QLocale>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <cstring>

namespace vantor::measure {

namespace {

bool number(QStringView text, double& out)
{
    bool ok = false;
    out = QLocale::c().toDouble(text.trimmed(), &ok);
    return ok && std::isfinite(out);
}

struct AggregateName {
    const char* suffix;
    Limit::Aggregate aggregate;
};
constexpr AggregateName kAggregates[] = {
    {".min", Limit::Aggregate::Min},
    {".max", Limit::Aggregate::Max},
    {".mean", Limit::Aggregate::Mean},
    {".count", Limit::Aggregate::Count},
};

bool parseCondition(Limit& l, const QString& conditionIn, QString* error)
{
    const QString condition = conditionIn.trimmed();
    auto fail = [&](const QString& why) {
        if (error)
            *error = QStringLiteral("limit \"%1\" does not parse: %2").arg(l.text, why);
        return false;
    };
    if (condition.isEmpty())
        return fail(QStringLiteral("no condition"));
    if (condition.compare(QLatin1String("OK"), Qt::CaseInsensitive) == 0) {
        l.op = Limit::Op::Ok;
        l.condition = QStringLiteral("OK");
        return l.aggregate == Limit::Aggregate::None ? true : fail(QStringLiteral("an aggregate is a number, not OK"));
    }
    if (condition.startsWith(QLatin1String(">="))) {
        l.op = Limit::Op::AtLeast;
        if (!number(QStringView(condition).sliced(2), l.low))
            return fail(QStringLiteral("expected a number after >="));
    } else if (condition.startsWith(QLatin1String("<="))) {
        l.op = Limit::Op::AtMost;
        if (!number(QStringView(condition).sliced(2), l.high))
            return fail(QStringLiteral("expected a number after <="));
    } else if (const qsizetype dots = condition.indexOf(QLatin1String("..")); dots >= 0) {
        l.op = Limit::Op::Range;
        if (!number(QStringView(condition).first(dots), l.low) || !number(QStringView(condition).sliced(dots + 2), l.high))
            return fail(QStringLiteral("expected a..b with two numbers"));
        if (l.low > l.high)
            return fail(QStringLiteral("the range's low end is above its high end"));
    } else {
        l.op = Limit::Op::Equal;
        const QStringView v = condition.startsWith(QLatin1Char('=')) ? QStringView(condition).sliced(1) : QStringView(condition);
        if (!number(v, l.low))
            return fail(QStringLiteral("expected a..b, =v, >=a, <=b or OK"));
        l.high = l.low;
    }
    l.condition = condition.startsWith(QLatin1Char('=')) ? condition.sliced(1).trimmed() : condition;
    return true;
}

// "in detail.max" is the series "in detail" and its largest sample; a name
// that is nothing but the suffix (".max") names no series and stays whole.
void splitAggregate(Limit& l)
{
    for (const AggregateName& a : kAggregates)
        if (l.name.endsWith(QLatin1String(a.suffix))) {
            const QString series = l.name.first(l.name.size() - qsizetype(std::strlen(a.suffix))).trimmed();
            if (series.isEmpty())
                return;
            l.aggregate = a.aggregate;
            l.name = series;
            return;
        }
}

} // namespace

bool Limit::passes(double v) const
{
    switch (op) {
    case Op::Range: return v >= low && v <= high;
    case Op::Equal: return v == low;
    case Op::AtLeast: return v >= low;
    case Op::AtMost: return v <= high;
    case Op::Ok: return false;
    }
    return false;
}

std::optional<Limit> parseLimit(const QString& text, QString* error)
{
    Limit l;
    l.text = text.trimmed();
    // The name ends at the first "=", ">=" or "<=".
    const qsizetype eq = l.text.indexOf(QLatin1Char('='));
    if (eq <= 0) {
        if (error)
            *error = QStringLiteral("limit \"%1\" does not parse: expected NAME=a..b, NAME=v, NAME>=a, NAME<=b or "
                                    "NAME=OK")
                         .arg(l.text);
        return std::nullopt;
    }
    qsizetype nameEnd = eq;
    QString condition;
    if (l.text[eq - 1] == QLatin1Char('>') || l.text[eq - 1] == QLatin1Char('<')) {
        nameEnd = eq - 1;
        condition = l.text.sliced(eq - 1);
    } else {
        condition = l.text.sliced(eq + 1);
    }
    l.name = l.text.first(nameEnd).trimmed();
    if (l.name.isEmpty()) {
        if (error)
            *error = QStringLiteral("limit \"%1\" does not parse: no measurement name").arg(l.text);
        return std::nullopt;
    }
    splitAggregate(l);
    if (!parseCondition(l, condition, error))
        return std::nullopt;
    return l;
}

std::optional<Limit> parseLimit(const QString& name, const QString& condition, QString* error)
{
    Limit l;
    l.name = name.trimmed();
    const QString s = condition.trimmed();
    l.text = l.name + (s.startsWith(QLatin1Char('>')) || s.startsWith(QLatin1Char('<')) ? s
                       : s.startsWith(QLatin1Char('='))                                   ? s
                                                                                          : QLatin1Char('=') + s);
    if (l.name.isEmpty() || l.name.contains(QLatin1Char('=')) || l.name.contains(QLatin1Char('<')) ||
        l.name.contains(QLatin1Char('>'))) {
        // Such a name could not be written back as NAME=CONDITION unambiguously.
        if (error)
            *error = QStringLiteral("limit \"%1\" does not parse: %2").arg(l.text,
                         l.name.isEmpty() ? QStringLiteral("no measurement name")
                                          : QStringLiteral("a name holds no =, < or >"));
        return std::nullopt;
    }
    splitAggregate(l);
    if (!parseCondition(l, s, error))
        return std::nullopt;
    return l;
}

QString checkLimitNames(const QString& section, const std::vector<Limit>& limits)
{
    const std::vector<NameInfo> names = namesOf(section);
    QString out;
    for (const Limit& l : limits) {
        bool found = false;
        for (const NameInfo& n : names) {
            if (n.name.compare(l.name, Qt::CaseInsensitive) != 0)
                continue;
            const bool series = n.kind == NameInfo::SeriesName;
            const bool wantsSeries = l.aggregate != Limit::Aggregate::None;
            if (series != wantsSeries)
                continue;
            if (!series && (n.kind == NameInfo::PassFail) != (l.op == Limit::Op::Ok))
                continue;
            found = true;
        }
        if (found)
            continue;
        QStringList known;
        for (const NameInfo& n : names)
            known << (n.kind == NameInfo::SeriesName   ? n.name + QStringLiteral(".min|max|mean|count")
                      : n.kind == NameInfo::PassFail ? n.name + QStringLiteral("=OK")
                                                     : n.name);
        out += QStringLiteral("limit \"%1\": %2 has no such measurement; its names: %3\n")
                   .arg(l.text, section, known.isEmpty() ? QStringLiteral("(none)") : known.join(QStringLiteral(", ")));
    }
    return out;
}

Aggregates aggregate(const Series& s)
{
    Aggregates a;
    double sum = 0;
    bool first = true;
    for (float f : s.values) {
        if (std::isnan(f))
            continue;
        const double v = f;
        if (first) {
            a.min = a.max = v;
            first = false;
        }
        a.min = std::min(a.min, v);
        a.max = std::max(a.max, v);
        sum += v;
        ++a.count;
    }
    a.mean = a.count ? sum / double(a.count) : 0;
    return a;
}

QString formatNumber(double v)
{
    return QString::number(v, 'g', 15);
}

} // namespace vantor::measure
