#include "vantor/screens/motion/PlatenLines.h"

#include <algorithm>

namespace vantor::platen {

namespace {

// Appends a decimal number, as "%d" would.
void put(QString& s, int64_t v)
{
    char buf[24];
    char* end = buf + sizeof buf;
    char* p = end;
    const bool negative = v < 0;
    uint64_t u = negative ? uint64_t(0) - uint64_t(v) : uint64_t(v);
    do {
        *--p = char('0' + u % 10);
        u /= 10;
    } while (u);
    if (negative)
        *--p = '-';
    s.append(QLatin1StringView(p, end - p));
}

// The table entries are 32-bit words the driver wrote; "%d" shows them signed.
inline int32_t entry(const uint32_t* table, int64_t i) { return int32_t(table[i]); }

QString cycleLine(int cycle, QLatin1StringView text)
{
    QString s;
    put(s, cycle);
    s.append(text);
    return s;
}

QString cycleValueLine(int cycle, QLatin1StringView text, int64_t value, QLatin1StringView tail)
{
    QString s;
    s.reserve(40);
    put(s, cycle);
    s.append(text);
    put(s, value);
    s.append(tail);
    return s;
}

} // namespace

QString totalEncodeLine(int cycle, int32_t count)
{
    return cycleValueLine(cycle, QLatin1StringView(". Total encode = "), count, QLatin1StringView(" "));
}

QString platenFailLine(int cycle) { return cycleLine(cycle, QLatin1StringView(". Run Platen - FAIL")); }

QString detailLine(int cycle, int64_t index, int32_t count)
{
    QString s;
    s.reserve(32);
    put(s, cycle);
    s.append(QLatin1StringView(". in detail "));
    put(s, index);
    s.append(QLatin1StringView(" ["));
    put(s, count);
    s.append(QLatin1Char(']'));
    return s;
}

void detailLines(int cycle, const uint32_t* table, int64_t entries, const BatchSink& out)
{
    for (int64_t from = 0; from < entries; from += kLineBatch) {
        const int64_t to = std::min<int64_t>(entries, from + kLineBatch);
        QStringList batch;
        batch.reserve(qsizetype(to - from));
        for (int64_t i = from; i < to; ++i)
            batch.append(detailLine(cycle, i, entry(table, i)));
        out(std::move(batch));
    }
}

QString sensorLine(int cycle, int64_t index, int32_t sensor, int32_t encoder)
{
    QString s;
    s.reserve(32);
    put(s, cycle);
    s.append(QLatin1StringView(". "));
    put(s, index);
    s.append(QLatin1StringView(" - "));
    put(s, sensor);
    s.append(QLatin1Char(','));
    put(s, encoder);
    return s;
}

void sensorLines(int cycle, const uint32_t* sensor, int64_t sensorEntries, const uint32_t* encoder,
                 int64_t encoderEntries, const BatchSink& out)
{
    const int64_t n = (sensor && encoder) ? std::min(sensorEntries, encoderEntries) : 0;
    for (int64_t from = 0; from < n; from += kLineBatch) {
        const int64_t to = std::min<int64_t>(n, from + kLineBatch);
        QStringList batch;
        batch.reserve(qsizetype(to - from));
        for (int64_t i = from; i < to; ++i)
            batch.append(sensorLine(cycle, i + 1, entry(sensor, i), entry(encoder, i)));
        out(std::move(batch));
    }
}

QString sensorTotalLine(int cycle, int32_t countMode, int32_t count)
{
    return cycleValueLine(cycle,
                          countMode != 0 ? QLatin1StringView(". Total Count (Motor Step) = ")
                                         : QLatin1StringView(". Total Count (Encoder Count) = "),
                          count, QLatin1StringView(" "));
}

QString sensorFailLine(int cycle) { return cycleLine(cycle, QLatin1StringView(". Run Platen Sensor - FAIL")); }

QString lifeOkLine(int cycle) { return cycleLine(cycle, QLatin1StringView(". Run Platen Life - OK")); }
QString lifeFailLine(int cycle) { return cycleLine(cycle, QLatin1StringView(". Run Platen Life - FAIL")); }

namespace {
void passLines(QStringList& out, int cycle, QLatin1StringView header, int pass, QLatin1StringView mark,
               const PassTable& t)
{
    out.append(cycleValueLine(cycle, header, pass, QLatin1StringView(" pass)")));
    for (int64_t i = 0; i < t.count; ++i) {
        QString s;
        s.reserve(24);
        put(s, cycle);
        s.append(mark);
        put(s, i + 1);
        s.append(QLatin1StringView(" ["));
        put(s, entry(t.entries, i));
        s.append(QLatin1Char(']'));
        out.append(std::move(s));
    }
    out.append(QString());
}
} // namespace

QStringList lifePassLines(int cycle, const std::vector<PassTable>& forward, const std::vector<PassTable>& reverse)
{
    QStringList out;
    const size_t n = forward.size();
    for (size_t i = 0; i < n; ++i) {
        const int pass = int(i + 1);
        passLines(out, cycle, QLatin1StringView(". Forward Encode ("), pass, QLatin1StringView(". F "), forward[i]);
        if (i + 1 < n) {
            const PassTable none;
            passLines(out, cycle, QLatin1StringView(". Reverse Encode ("), pass, QLatin1StringView(". R "),
                      i < reverse.size() ? reverse[i] : none);
        } else {
            out.append(QString());
        }
    }
    return out;
}

} // namespace vantor::platen
