#include "vantor/plot/Curves.h"

#include <QFile>
#include <QSaveFile>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace vantor::plot {

QString curveName(const Series& s)
{
    const QString name = s.name.isEmpty() ? QStringLiteral("Series") : s.name;
    return s.cycle > 0 ? QStringLiteral("%1, cycle %2").arg(name).arg(s.cycle) : name;
}

bool isReverse(const Series& s)
{
    return s.name.startsWith(QLatin1String("Reverse"), Qt::CaseInsensitive) || s.name == QLatin1String("R");
}

bool ascendingIndices(const Series& s)
{
    return std::adjacent_find(s.indices.begin(), s.indices.end(), std::greater_equal<int32_t>()) == s.indices.end();
}

Span visibleSpan(const Series& s, bool ascending, double fromKey, double toKey)
{
    const size_t n = std::min(s.indices.size(), s.values.size());
    if (!ascending || n == 0)
        return {0, n};
    const auto begin = s.indices.begin(), end = begin + std::ptrdiff_t(n);
    const auto lo = std::lower_bound(begin, end, fromKey, [](int32_t i, double k) { return double(i) < k; });
    const auto hi = std::upper_bound(lo, end, toKey, [](double k, int32_t i) { return k < double(i); });
    return {size_t(lo - begin), size_t(hi - begin)};
}

Extremes extremes(const Series& s, double fromKey, double toKey)
{
    Extremes e;
    const bool ascending = ascendingIndices(s);
    const Span span = visibleSpan(s, ascending, fromKey, toKey);
    float lo = 0, hi = 0;
    int32_t kLo = 0, kHi = 0;
    for (size_t i = span.first; i < span.last; ++i) {
        const float v = s.values[i];
        const int32_t k = s.indices[i];
        if (std::isnan(v) || (!ascending && (k < fromKey || k > toKey)))
            continue;
        if (!e.any) {
            lo = hi = v;
            kLo = kHi = k;
            e.any = true;
        } else {
            lo = std::min(lo, v);
            hi = std::max(hi, v);
            kLo = std::min(kLo, k);
            kHi = std::max(kHi, k);
        }
        ++e.values;
    }
    e.minValue = lo;
    e.maxValue = hi;
    e.minKey = kLo;
    e.maxKey = kHi;
    return e;
}

std::ptrdiff_t nearestSample(const Series& s, bool ascending, double key, double maxDistance)
{
    const size_t n = std::min(s.indices.size(), s.values.size());
    std::ptrdiff_t best = -1;
    double bestDistance = maxDistance;
    auto consider = [&](size_t i) {
        if (std::isnan(s.values[i]))
            return;
        const double d = std::abs(double(s.indices[i]) - key);
        if (d <= bestDistance && (best < 0 || d < bestDistance)) {
            best = std::ptrdiff_t(i);
            bestDistance = d;
        }
    };
    if (!ascending) {
        for (size_t i = 0; i < n; ++i)
            consider(i);
        return best;
    }
    // Outward from the bisection point, stopping once the keys are too far.
    const size_t at = visibleSpan(s, true, key, 1e300).first;
    for (size_t i = at; i < n && double(s.indices[i]) - key <= bestDistance; ++i)
        consider(i);
    for (size_t i = at; i-- > 0 && key - double(s.indices[i]) <= bestDistance;)
        consider(i);
    return best;
}

namespace {

// Indices that run 0, 1, 2, ... from the first (the per-pulse lines): each
// column's samples are a stretch found by arithmetic, and the stretch is
// summarised in a loop without a per-sample key. The results are those of
// the general loop below, column for column.
void decimateContiguous(const Series& s, Span span, double fromKey, double toKey, int columns, double scale,
                        std::vector<Column>& out)
{
    const float* values = s.values.data();
    const double first = s.indices[0];
    auto columnOf = [&](size_t p) {
        const double k = first + double(p);
        const int pixel = int(std::clamp(std::floor((k - fromKey) * scale), -1.0, double(columns)));
        return pixel == columns && k <= toKey ? columns - 1 : pixel;
    };
    bool gap = false, open = false;
    for (size_t p = span.first; p < span.last;) {
        const int column = columnOf(p);
        size_t q = p + 1;
        if (column >= 0 && column < columns) {
            const double next = std::ceil(fromKey + double(column + 1) / scale - first);
            q = std::clamp(next > double(p + 1) ? size_t(next) : p + 1, p + 1, span.last);
            while (q > p + 1 && columnOf(q - 1) != column)
                --q;
            while (q < span.last && columnOf(q) == column)
                ++q;
        }
        float lo = std::numeric_limits<float>::infinity(), hi = -lo;
        size_t gaps = 0;
        for (size_t i = p; i < q; ++i) {
            const float v = values[i];
            lo = v < lo ? v : lo; // a NaN compares false and leaves both alone
            hi = v > hi ? v : hi;
            gaps += v != v;
        }
        if (gaps == q - p) {
            gap = true;
            p = q;
            continue;
        }
        size_t a = p, b = q - 1;
        while (std::isnan(values[a]))
            ++a;
        while (std::isnan(values[b]))
            --b;
        out.push_back(Column{column, first + double(a), values[a], values[b], lo, hi, int32_t(q - p - gaps),
                             open && !gap && a == p});
        open = true;
        gap = b != q - 1;
        p = q;
    }
}

} // namespace

std::vector<Column> decimate(const Series& s, bool ascending, double fromKey, double toKey, int columns)
{
    std::vector<Column> out;
    if (columns <= 0)
        return out;
    const size_t n = std::min(s.indices.size(), s.values.size());
    Span span = visibleSpan(s, ascending, fromKey, toKey);
    // One sample beyond each edge, so the line runs on to the border.
    if (ascending) {
        span.first -= span.first > 0 ? 1 : 0;
        span.last += span.last < n ? 1 : 0;
    }
    const double width = toKey > fromKey ? toKey - fromKey : 1.0;
    const double scale = double(columns) / width;
    out.reserve(size_t(std::min<size_t>(span.last - span.first, size_t(columns) + 2)));
    if (ascending && n > 0 && size_t(int64_t(s.indices[n - 1]) - s.indices[0]) == n - 1) {
        decimateContiguous(s, span, fromKey, toKey, columns, scale, out);
        return out;
    }
    const float* values = s.values.data();
    const int32_t* indices = s.indices.data();
    bool gap = false, open = false;
    Column c;
    for (size_t i = span.first; i < span.last; ++i) {
        const float v = values[i];
        if (std::isnan(v)) {
            gap = true;
            continue;
        }
        const double k = indices[i];
        if (!ascending && (k < fromKey || k > toKey)) {
            gap = true;
            continue;
        }
        const int pixel = int(std::clamp(std::floor((k - fromKey) * scale), -1.0, double(columns)));
        const int column = pixel == columns && k <= toKey ? columns - 1 : pixel;
        if (open && column == c.pixel) {
            c.last = v;
            c.min = std::min(c.min, v);
            c.max = std::max(c.max, v);
            ++c.samples;
        } else {
            if (open)
                out.push_back(c);
            c = Column{column, k, v, v, v, v, 1, open && !gap};
            open = true;
        }
        gap = false;
    }
    if (open)
        out.push_back(c);
    return out;
}

namespace {

QByteArray csvField(const QString& text)
{
    QString t = text;
    t.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return '"' + t.toUtf8() + '"';
}

} // namespace

bool writeCsv(const std::vector<Series>& series, QIODevice& out)
{
    QByteArray header;
    for (const Series& s : series) {
        const QString name = curveName(s);
        if (!header.isEmpty())
            header += ',';
        header += csvField(name + QStringLiteral(": index")) + ',' +
                  csvField(name + QStringLiteral(": ") + (s.unit.isEmpty() ? QStringLiteral("value") : s.unit));
    }
    header += "\r\n";
    if (out.write(header) != header.size())
        return false;
    size_t rows = 0;
    for (const Series& s : series)
        rows = std::max(rows, std::min(s.indices.size(), s.values.size()));
    QByteArray block;
    block.reserve(1 << 20);
    char number[32];
    for (size_t r = 0; r < rows; ++r) {
        for (size_t k = 0; k < series.size(); ++k) {
            const Series& s = series[k];
            if (k > 0)
                block += ',';
            if (r < std::min(s.indices.size(), s.values.size())) {
                block += QByteArray::number(s.indices[r]);
                block += ',';
                const float v = s.values[r];
                if (!std::isnan(v)) {
                    const auto res = std::to_chars(number, number + sizeof number, v);
                    block.append(number, res.ptr - number);
                }
            } else {
                block += ',';
            }
        }
        block += "\r\n";
        if (block.size() > (1 << 20) - 4096) {
            if (out.write(block) != block.size())
                return false;
            block.clear();
        }
    }
    return out.write(block) == block.size();
}

bool writeCsv(const std::vector<Series>& series, const QString& path)
{
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    if (!writeCsv(series, f)) {
        f.cancelWriting();
        return false;
    }
    return f.commit();
}

} // namespace vantor::plot
