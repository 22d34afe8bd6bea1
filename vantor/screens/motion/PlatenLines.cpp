#include "vantor/screens/motion/PlatenLines.h"

#include <algorithm>

#include "vantor/framework/ResultLine.h"

namespace vantor::platen {

namespace {
// The table entries are 32-bit words the driver wrote; "%d" shows them signed.
inline int32_t entry(const uint32_t* table, int64_t i) { return int32_t(table[i]); }
} // namespace

QString totalEncodeLine(int cycle, int32_t count) { return ResultLine(cycle) << ". Total encode = " << count << " "; }

QString platenFailLine(int cycle) { return ResultLine(cycle) << ". Run Platen - FAIL"; }

QString detailLine(int cycle, int64_t index, int32_t count)
{
    return ResultLine(cycle) << ". in detail " << index << " [" << count << ']';
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
    return ResultLine(cycle) << ". " << index << " - " << sensor << ',' << encoder;
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
    return ResultLine(cycle) << (countMode != 0 ? ". Total Count (Motor Step) = " : ". Total Count (Encoder Count) = ")
                             << count << " ";
}

QString sensorFailLine(int cycle) { return ResultLine(cycle) << ". Run Platen Sensor - FAIL"; }

QString lifeOkLine(int cycle) { return ResultLine(cycle) << ". Run Platen Life - OK"; }
QString lifeFailLine(int cycle) { return ResultLine(cycle) << ". Run Platen Life - FAIL"; }

namespace {
void passLines(QStringList& out, int cycle, const char* header, int pass, const char* mark, const PassTable& t)
{
    out.append(ResultLine(cycle) << header << pass << " pass)");
    for (int64_t i = 0; i < t.count; ++i)
        out.append(ResultLine(cycle) << mark << (i + 1) << " [" << entry(t.entries, i) << ']');
    out.append(QString());
}
} // namespace

QStringList lifePassLines(int cycle, const std::vector<PassTable>& forward, const std::vector<PassTable>& reverse)
{
    QStringList out;
    const size_t n = forward.size();
    for (size_t i = 0; i < n; ++i) {
        const int pass = int(i + 1);
        passLines(out, cycle, ". Forward Encode (", pass, ". F ", forward[i]);
        if (i + 1 < n) {
            const PassTable none;
            passLines(out, cycle, ". Reverse Encode (", pass, ". R ", i < reverse.size() ? reverse[i] : none);
        } else {
            out.append(QString());
        }
    }
    return out;
}

} // namespace vantor::platen
