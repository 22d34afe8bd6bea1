#pragma once
// The result lines of the platen tests. The per-pulse lines can run to
// hundreds of thousands per cycle, so they are formatted without printf and
// handed on in batches.
#include <cstdint>
#include <functional>
#include <QString>
#include <QStringList>

#include "vantor/framework/TestRun.h"

namespace vantor::platen {

using vantor::kLineBatch; // per-pulse lines go to the list in batches of this many
using BatchSink = std::function<void(QStringList)>;

// "%d. Total encode = %d "
QString totalEncodeLine(int cycle, int32_t count);
// "%d. Run Platen - FAIL"
QString platenFailLine(int cycle);
// "%d. in detail %d [%d]": pulse index from 0.
QString detailLine(int cycle, int64_t index, int32_t count);
// The detail lines of one cycle, in batches of kLineBatch.
void detailLines(int cycle, const uint32_t* table, int64_t entries, const BatchSink& out);

// The sensor test's column header, written after the time line.
inline const QString kSensorColumnHeader = QStringLiteral("cycle. index - sensor,encoder");
// "%d. %d - %d,%d": pulse index from 1.
QString sensorLine(int cycle, int64_t index, int32_t sensor, int32_t encoder);
// One line per pulse while the index is below both tables' entries.
void sensorLines(int cycle, const uint32_t* sensor, int64_t sensorEntries, const uint32_t* encoder,
                 int64_t encoderEntries, const BatchSink& out);
// "%d. Total Count (Motor Step) = %d " while record word 148 is not 0,
// else "%d. Total Count (Encoder Count) = %d ".
QString sensorTotalLine(int cycle, int32_t countMode, int32_t count);
// "%d. Run Platen Sensor - FAIL"
QString sensorFailLine(int cycle);

// "%d. Run Platen Life - OK" / "%d. Run Platen Life - FAIL"
QString lifeOkLine(int cycle);
QString lifeFailLine(int cycle);

// One pass table as the worker reads it back.
struct PassTable {
    const uint32_t* entries = nullptr;
    int64_t count = 0;
};
// The pass report of one cycle: for pass i of N, "%d. Forward Encode (%d pass)"
// and its "%d. F %d [%d]" lines, an empty line, then for i below N
// "%d. Reverse Encode (%d pass)" and its "%d. R %d [%d]" lines, an empty line.
// `reverse` has N - 1 tables.
QStringList lifePassLines(int cycle, const std::vector<PassTable>& forward, const std::vector<PassTable>& reverse);

} // namespace vantor::platen
