#include "Numbers.h"

#include <QLocale>
#include <climits>
#include <cmath>
#include <cstdlib>

namespace ui {

namespace {

// Leading whitespace, an optional sign, then digits; clamps on overflow.
std::optional<long long> leading(const QString& text, qsizetype* consumed)
{
    qsizetype i = 0;
    while (i < text.size() && text[i].isSpace())
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+'))
        negative = text[i++] == u'-';
    const qsizetype digitsStart = i;
    long long v = 0;
    while (i < text.size() && text[i] >= u'0' && text[i] <= u'9') {
        const int d = text[i].unicode() - '0';
        v = v > (LLONG_MAX - d) / 10 ? LLONG_MAX : v * 10 + d;
        ++i;
    }
    if (i == digitsStart)
        return std::nullopt;
    if (consumed)
        *consumed = i;
    return negative ? -v : v;
}

int clampInt(long long v)
{
    return v > INT_MAX ? INT_MAX : v < INT_MIN ? INT_MIN : int(v);
}

// The longest prefix that reads as a C floating-point number, parsed in the
// C locale whatever the process locale is.
std::optional<double> parseDouble(const QString& text, bool whole)
{
    qsizetype i = 0;
    while (i < text.size() && text[i].isSpace())
        ++i;
    const qsizetype start = i;
    auto digit = [&](qsizetype k) { return k < text.size() && text[k] >= u'0' && text[k] <= u'9'; };
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+'))
        ++i;
    qsizetype digits = 0;
    while (digit(i)) { ++i; ++digits; }
    if (i < text.size() && text[i] == u'.') {
        ++i;
        while (digit(i)) { ++i; ++digits; }
    }
    if (digits == 0)
        return std::nullopt;
    if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
        qsizetype k = i + 1;
        if (k < text.size() && (text[k] == u'-' || text[k] == u'+'))
            ++k;
        if (digit(k)) {
            while (digit(k)) ++k;
            i = k;
        }
    }
    if (whole && text.mid(i).trimmed().size() != 0)
        return std::nullopt;
    bool ok = false;
    const double v = QLocale::c().toDouble(QStringView(text).mid(start, i - start), &ok);
    if (!ok || !std::isfinite(v))
        return whole ? std::nullopt : std::optional<double>(0.0);
    return v;
}

} // namespace

int leadingInt(const QString& text)
{
    return clampInt(leading(text, nullptr).value_or(0));
}

unsigned leadingUInt(const QString& text)
{
    const long long v = leading(text, nullptr).value_or(0);
    return v < 0 ? 0u : v > UINT_MAX ? UINT_MAX : unsigned(v);
}

double leadingDouble(const QString& text)
{
    const auto v = parseDouble(text, false);
    return v && std::isfinite(*v) ? *v : 0.0;
}

std::optional<int> strictInt(const QString& text)
{
    const QString t = text.trimmed();
    qsizetype used = 0;
    const auto v = leading(t, &used);
    if (!v || used != t.size() || *v > INT_MAX || *v < INT_MIN)
        return std::nullopt;
    return int(*v);
}

std::optional<unsigned> strictUInt(const QString& text)
{
    const QString t = text.trimmed();
    if (t.startsWith(u'-'))
        return std::nullopt;
    qsizetype used = 0;
    const auto v = leading(t, &used);
    if (!v || used != t.size() || *v > UINT_MAX)
        return std::nullopt;
    return unsigned(*v);
}

std::optional<double> strictDouble(const QString& text)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    return parseDouble(t, true);
}

QString formatInt(long long v) { return QString::number(v); }
QString formatUInt(unsigned long long v) { return QString::number(v); }
QString formatFloat(float v) { return QString::asprintf("%.*g", 6, double(v)); }
QString formatDouble(double v) { return QString::asprintf("%.*g", 15, v); }

} // namespace ui
