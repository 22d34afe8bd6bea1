// What recording costs.
// - RecordedRunOverhead: a run of 1,000 cycles with two measurements each
//   (1 ms of device time per cycle), recorded and unrecorded in turn; the
//   counters are the recorded runs' extra wall time and extra CPU time on
//   the run's own thread, and the extra wall time when the run also waits
//   for its record to be stored.
// - LongRunRecord: the record of a 1,000,000-line platen detail run stored
//   in SQLite; store_over_format compares its CPU time with that of
//   formatting those lines alone, which is less than the run itself takes.
// - History: `vantor --history` over 100,000 runs (built once per engine)
//   on SQLite and on a PostgreSQL server, newest 100, by serial, and by
//   test, date and verdict; ms per command, opening the store included.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlError>
#include <QSqlQuery>
#include <ctime>
#include <QTemporaryDir>
#include <memory>

#include "PgServer.h"
#include "TestRecords.h"
#include "platform/Clock.h"
#include "records/Recorder.h"
#include "records/Store.h"
#include "vantor/app/HistoryCommand.h"
#include "vantor/screens/motion/PlatenLines.h"

using namespace records;

namespace {

// This thread's CPU time: what the run itself spends, which a loaded
// machine's scheduling does not blur.
qint64 threadCpuNs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return qint64(t.tv_sec) * 1000000000 + t.tv_nsec;
}

QJsonObject runOfCycles(int cycles)
{
    QJsonArray lines{QStringLiteral("== Start =="), QStringLiteral("09/12/2026 17:02:03")};
    QJsonArray measurements;
    for (int c = 1; c <= cycles; ++c) {
        platform::clock().sleep(platform::Millis(1)); // the printer's share of a cycle
        const int count = 1780 + c % 40;
        lines.append(QStringLiteral("%1. Total encode = %2 ").arg(c).arg(count));
        measurements.append(QJsonObject{{"name", "Total encode"}, {"cycle", c}, {"value", count}, {"unit", "counts"},
                                        {"limit", "1700..1900"}, {"verdict", "PASS"}});
        measurements.append(QJsonObject{{"name", "Duration"}, {"cycle", c}, {"value", 0.001 * c}, {"unit", "s"},
                                        {"limit", QJsonValue::Null}, {"verdict", QJsonValue::Null}});
    }
    lines.append(QStringLiteral("== End =="));
    lines.append(QStringLiteral(" "));
    QJsonObject run = fixture::makeRecord();
    QJsonArray steps = run.value(QLatin1String("steps")).toArray();
    QJsonObject step = steps.at(0).toObject();
    step[QStringLiteral("lines")] = lines;
    step[QStringLiteral("measurements")] = measurements;
    steps[0] = step;
    run[QStringLiteral("steps")] = steps;
    return run;
}

void BM_RecordedRunOverhead(benchmark::State& state)
{
    QTemporaryDir dir;
    Recorder recorder({sqliteAt(dir.filePath(QStringLiteral("Records.db"))), std::nullopt}, {});
    qint64 plainNs = 0, recordedNs = 0, storedNs = 0, plainCpu = 0, recordedCpu = 0;
    QElapsedTimer t;
    auto once = [&](bool recorded) {
        t.start();
        const qint64 cpu = threadCpuNs();
        QJsonObject run = runOfCycles(1000);
        if (recorded)
            recorder.submit(std::move(run));
        else
            benchmark::DoNotOptimize(run);
        (recorded ? recordedNs : plainNs) += t.nsecsElapsed();
        (recorded ? recordedCpu : plainCpu) += threadCpuNs() - cpu;
        if (recorded) {
            // Waited for here, so that no store overlaps a run: the run's
            // own cost and the store's are each measured alone.
            recorder.waitIdle(platform::Millis(60000));
            storedNs += t.nsecsElapsed();
        }
    };
    bool first = false;
    for (auto _ : state) {
        // Alternating which goes first, so that a slow stretch of the
        // machine does not always fall on the same one.
        once(first);
        once(!first);
        first = !first;
    }
    auto pct = [&](qint64 with, qint64 without) { return 100.0 * double(with - without) / double(std::max<qint64>(without, 1)); };
    // What a recorded run costs the run itself (the writer stores it on its
    // own thread while the next run goes on).
    state.counters["overhead_pct"] = pct(recordedNs, plainNs);
    state.counters["run_cpu_overhead_pct"] = pct(recordedCpu, plainCpu);
    // The bound for a machine with no core to spare: run and store one
    // after the other.
    state.counters["serial_overhead_pct"] = pct(storedNs, plainNs);
}
BENCHMARK(BM_RecordedRunOverhead)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LongRunRecord(benchmark::State& state)
{
    constexpr int kPulses = 100000, kCycles = 10; // 1,000,000 detail lines
    std::vector<uint32_t> table(kPulses);
    for (size_t i = 0; i < table.size(); ++i)
        table[i] = uint32_t(i * 3);
    const qint64 formatCpu = threadCpuNs();
    QJsonArray lines;
    for (int c = 1; c <= kCycles; ++c)
        vantor::platen::detailLines(c, table.data(), kPulses, [&](QStringList b) {
            for (QString& l : b)
                lines.append(std::move(l));
        });
    const qint64 formatNs = threadCpuNs() - formatCpu;
    QJsonObject run = fixture::makeRecord();
    QJsonArray steps = run.value(QLatin1String("steps")).toArray();
    QJsonObject step = steps.at(0).toObject();
    step[QStringLiteral("lines")] = lines;
    steps[0] = step;
    run[QStringLiteral("steps")] = steps;

    QTemporaryDir dir;
    auto store = Store::open(sqliteAt(dir.filePath(QStringLiteral("Records.db"))), nullptr);
    qint64 storeNs = 0;
    int n = 0;
    for (auto _ : state) {
        run[QStringLiteral("uuid")] = QUuid::createUuid().toString(QUuid::WithoutBraces);
        const qint64 cpu = threadCpuNs();
        if (store->save(run) != Store::Saved::Stored)
            state.SkipWithError("not stored");
        storeNs += threadCpuNs() - cpu;
        ++n;
    }
    state.counters["lines"] = double(lines.size());
    state.counters["store_cpu_ms"] = double(storeNs) / 1e6 / std::max(n, 1);
    state.counters["format_cpu_ms"] = double(formatNs) / 1e6;
    state.counters["store_over_format"] = double(storeNs) / std::max(n, 1) / double(formatNs);
}
BENCHMARK(BM_LongRunRecord)->Unit(benchmark::kMillisecond)->UseRealTime();

constexpr int kHistoryRuns = 100000;

// 100,000 runs made by the database itself, in one statement: a fixture
// that is quick enough for CI's single pass.
bool fillRuns(Store& store, QString* error)
{
    const bool pg = store.location().isServer();
    const QString numbers = pg ? QStringLiteral("SELECT generate_series(1, %1) AS i").arg(kHistoryRuns)
                               : QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                                                "WHERE i < %1) SELECT i FROM n")
                                     .arg(kHistoryRuns);
    const QString cat = pg ? QStringLiteral("'SN' || (i % 1000)::text") : QStringLiteral("'SN' || (i % 1000)");
    const QString uuid = pg ? QStringLiteral("'run-' || i::text") : QStringLiteral("'run-' || i");
    const QString sql =
        QStringLiteral(
            "INSERT INTO runs (uuid, program, kind, name, section, name_key, section_key, serial, station,"
            " operator_name, version, start_text, end_text, start_ms, end_ms, verdict, reason, settings, step_count,"
            " measurement_count, failed_count, line_count, document)"
            " SELECT %1, 'vantor', 'run', CASE WHEN i % 2 = 0 THEN 'Platen Test' ELSE 'Tape Rewind Test' END,"
            " CASE WHEN i % 2 = 0 THEN 'Platen' ELSE 'Tape Rewind' END,"
            " CASE WHEN i % 2 = 0 THEN 'platen test' ELSE 'tape rewind test' END,"
            " CASE WHEN i % 2 = 0 THEN 'platen' ELSE 'tape rewind' END, %2, 'bench', 'tester', '1.0',"
            " '2026-01-01T00:00:00.000+00:00', '2026-01-01T00:00:01.000+00:00', 1767225600000 + i * CAST(60000 AS BIGINT),"
            " 1767225601000 + i * CAST(60000 AS BIGINT), CASE WHEN i % 17 = 0 THEN 'FAIL' ELSE 'PASS' END, NULL, '{}', 1, 2,"
            " CASE WHEN i % 17 = 0 THEN 1 ELSE 0 END, 6, '{}' FROM (%3) AS numbers")
            .arg(uuid, cat, numbers);
    QSqlQuery q(store.database());
    if (q.exec(sql))
        return true;
    *error = q.lastError().text();
    return false;
}

struct HistoryFixture {
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<fixture::PgServer> pg;
    QString db;  // SQLite
    QString url; // PostgreSQL
    QString why;
};

HistoryFixture& historyFixture()
{
    static HistoryFixture f = [] {
        HistoryFixture h;
        h.dir = std::make_unique<QTemporaryDir>();
        h.db = h.dir->filePath(QStringLiteral("Records.db"));
        if (auto s = Store::open(sqliteAt(h.db), &h.why); !s || !fillRuns(*s, &h.why))
            h.why = QStringLiteral("SQLite fixture: ") + h.why;
        if (fixture::PgServer::binariesPresent()) {
            h.pg = std::make_unique<fixture::PgServer>();
            QString why;
            if (h.pg->start(&why)) {
                auto s = Store::open(h.pg->location(), &why);
                if (s && fillRuns(*s, &why)) {
                    QSqlQuery(s->database()).exec(QStringLiteral("ANALYZE runs"));
                    h.url = h.pg->url();
                } else {
                    h.why = QStringLiteral("PostgreSQL fixture: ") + why;
                }
            } else {
                h.why = why;
            }
        }
        return h;
    }();
    return f;
}

void BM_History(benchmark::State& state)
{
    HistoryFixture& f = historyFixture();
    const bool pg = state.range(0) == 1;
    if (pg && f.url.isEmpty()) {
        state.SkipWithError(qPrintable(QStringLiteral("no PostgreSQL server for the fixture: ") + f.why));
        return;
    }
    QStringList args{QStringLiteral("vantor"), QStringLiteral("--history")};
    switch (state.range(1)) {
    case 0: break; // the newest 100
    case 1: args << QStringLiteral("--serial") << QStringLiteral("SN123") << QStringLiteral("--limit") << QStringLiteral("0"); break;
    default:
        args << QStringLiteral("--test") << QStringLiteral("platen") << QStringLiteral("--since")
             << QStringLiteral("2026-02-01") << QStringLiteral("--verdict") << QStringLiteral("FAIL");
    }
    if (pg)
        qputenv("DIAG_RECORDS", f.url.toUtf8());
    else
        args << QStringLiteral("--db") << f.db;
    qsizetype rows = 0;
    for (auto _ : state) {
        QString out, err;
        if (vantor::historyCommand(args, out, err) != 0) {
            state.SkipWithError(qPrintable(err));
            break;
        }
        rows = out.count(QLatin1Char('\n')) - 1;
    }
    qunsetenv("DIAG_RECORDS");
    state.counters["rows"] = double(rows);
}
BENCHMARK(BM_History)
    ->ArgNames({"pg", "query"})
    ->ArgsProduct({{0, 1}, {0, 1, 2}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The same queries on a connection kept open: the store's own share, without
// what starting a process and a server connection costs.
void BM_HistoryQuery(benchmark::State& state)
{
    HistoryFixture& f = historyFixture();
    const bool pg = state.range(0) == 1;
    if (pg && f.url.isEmpty()) {
        state.SkipWithError(qPrintable(QStringLiteral("no PostgreSQL server for the fixture: ") + f.why));
        return;
    }
    auto store = Store::open(pg ? f.pg->location() : sqliteAt(f.db), nullptr);
    HistoryFilter filter;
    filter.limit = 100;
    if (state.range(1) == 1) {
        filter.serial = QStringLiteral("SN123");
        filter.limit = 0;
    } else if (state.range(1) == 2) {
        filter.test = QStringLiteral("platen");
        filter.since = QDate(2026, 2, 1).startOfDay();
        filter.verdict = QStringLiteral("FAIL");
    }
    qsizetype rows = 0;
    for (auto _ : state)
        rows = store->history(filter)->size();
    state.counters["rows"] = double(rows);
}
BENCHMARK(BM_HistoryQuery)
    ->ArgNames({"pg", "query"})
    ->ArgsProduct({{0, 1}, {0, 1, 2}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
