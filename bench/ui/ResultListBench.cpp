// Speed and memory of the result list path: a worker posting lines to a
// dialog, the list holding them, saving them, and how quickly the event loop
// answers while a worker floods it.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <malloc.h>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <thread>

#include "ui/Dialog.h"
#include "ui/Resources.h"
#include "ui/ResultList.h"

namespace {

constexpr int IDD_BENCH = 1, IDC_RESULT = 1004, WM_ADD_LINE = ui::WM_USER + 102;

void installTemplate()
{
    auto r = ui::parseResourceScript(QStringLiteral("1 DIALOGEX 0,0,300,200\nCAPTION \"bench\"\nBEGIN\n"
                                                    " LISTBOX 1004,5,5,290,190,LBS_EXTENDEDSEL | WS_VSCROLL\nEND\n"),
                                     QStringLiteral("bench.rc"));
    ui::Resources::setBuiltin(std::move(*r.script));
}

// The dialog under test: its list is a ResultList, or, as the anchor, the
// QListWidget (uniform item sizes) that the template would give, fed the
// same way: the batch form of the add-line message, selecting the last item
// after the first line, every 2500th and the last.
class BenchDlg : public ui::Dialog {
public:
    explicit BenchDlg(bool anchor = false) : ui::Dialog(IDD_BENCH), m_anchor(anchor)
    {
        if (!anchor)
            useResultList(IDC_RESULT);
        onMessage(WM_ADD_LINE, [this](ui::Message& m) {
            if (m.lParam == 1) {
                if (auto* lines = m.payload.get<QStringList>())
                    appendBatch(*lines);
            } else if (auto* line = m.payload.get<QString>()) {
                if (m_anchor) {
                    widget()->addItem(*line);
                    widget()->setCurrentRow(widget()->count() - 1);
                } else {
                    list()->appendLine(*line);
                }
            }
        });
    }
    ui::ResultList* list() const { return resultList(IDC_RESULT); }
    QListWidget* widget() const { return controlAs<QListWidget>(IDC_RESULT); }
    qsizetype count() const { return m_anchor ? widget()->count() : list()->count(); }

private:
    void appendBatch(const QStringList& lines)
    {
        if (!m_anchor) {
            list()->appendBatch(lines);
            return;
        }
        const qsizetype n = lines.size(), every = ui::ResultList::kBatchSelectEvery;
        for (qsizetype done = 0; done < n;) {
            const qsizetype next = std::min(done == 0 ? 0 : ((done - 1) / every + 1) * every, n - 1);
            widget()->addItems(lines.mid(done, next + 1 - done));
            widget()->setCurrentRow(widget()->count() - 1);
            done = next + 1;
        }
    }
    bool m_anchor;
};

// Heap in use; unlike the resident size it does not depend on what an
// earlier measurement left free.
double heapBytes()
{
    const struct mallinfo2 m = mallinfo2();
    return double(m.uordblks) + double(m.hblkhd);
}

QString detailLine(int cycle, int i)
{
    return QStringLiteral("%1. in detail %2 [%3]").arg(cycle).arg(i).arg(i * 7 % 1000);
}

struct Feed {
    double seconds = 0;
    double heapPerLine = 0; // heap bytes per line besides the characters
};

// A worker posts `total` detail lines in batches of `batch`; the dialog shows
// them in its list. `chars` is the characters of all lines.
Feed feedPosted(bool anchor, int total, int batch, double chars)
{
    BenchDlg dlg(anchor);
    dlg.create();
    dlg.show();
    QCoreApplication::processEvents();
    const double heapBefore = heapBytes();
    ui::MessagePort port = dlg.port();
    QElapsedTimer timer;
    timer.start();
    std::thread worker([port, total, batch] {
        for (int done = 0; done < total; done += batch) {
            QStringList lines;
            lines.reserve(batch);
            for (int i = 0; i < batch; ++i)
                lines << detailLine(1, done + i);
            port.post(WM_ADD_LINE, 0, 1, ui::Payload::of(std::move(lines)));
        }
    });
    while (dlg.count() < total)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    worker.join();
    QCoreApplication::processEvents(); // the view's layout and scroll
    Feed f;
    f.seconds = timer.elapsed() / 1000.0;
    f.heapPerLine = (heapBytes() - heapBefore - chars * 2) / total;
    return f;
}

// 1,000,000 detail lines posted in batches of 10,000 or 2,500 (the batch
// form of the add-line message) into the ResultList and, in the same run, into
// the QListWidget anchor. The reported time is the ResultList's.
void BM_PostedBatchAppend(benchmark::State& state)
{
    installTemplate();
    const int total = int(state.range(1)), batch = int(state.range(0));
    double chars = 0;
    for (int i = 0; i < total; ++i)
        chars += detailLine(1, i).size();
    Feed list, anchor;
    double storePerLine = 0;
    for (auto _ : state) {
        list = feedPosted(false, total, batch, chars);
        anchor = feedPosted(true, total, batch, chars);
        state.SetIterationTime(list.seconds);
        // the store alone, measured on a fresh one
        ui::LineStore store;
        for (int i = 0; i < total; ++i)
            store.append(detailLine(1, i));
        storePerLine = (double(store.bytesReserved()) - chars * 2) / total;
    }
    state.counters["lines_per_s"] = total / list.seconds;
    state.counters["store_bytes_per_line"] = storePerLine;
    state.counters["heap_bytes_per_line"] = list.heapPerLine;
    state.counters["qlistwidget_lines_per_s"] = total / anchor.seconds;
    state.counters["qlistwidget_heap_bytes_per_line"] = anchor.heapPerLine;
    state.counters["speed_vs_qlistwidget"] = anchor.seconds / list.seconds;
    state.counters["bytes_vs_qlistwidget"] = list.heapPerLine / anchor.heapPerLine;
}

// Saving 1,000,000 lines (the argument) in the ANSI code page against, in the same run, a
// plain buffered write of the same bytes (all at once; and line by line):
// the save's goal is 80% of the plain write's speed. Each iteration times
// all three, in turns.
void BM_SaveMillionLines(benchmark::State& state)
{
    ui::LineStore store;
    for (int i = 0; i < state.range(0); ++i)
        store.append(detailLine(i / 1000 + 1, i));
    QTemporaryDir dir;
    const QString path = dir.filePath("result.txt"), plainPath = dir.filePath("plain.txt");
    if (!ui::saveLines(store, path)) {
        state.SkipWithError("save failed");
        return;
    }
    QFile saved(path);
    saved.open(QIODevice::ReadOnly);
    const QByteArray bytes = saved.readAll();
    saved.close();
    const QByteArray plainName = QFile::encodeName(plainPath);

    auto save = [&] {
        QElapsedTimer t;
        t.start();
        const bool ok = ui::saveLines(store, path);
        const double s = t.nsecsElapsed() / 1e9;
        return ok ? s : -1.0;
    };
    auto plain = [&] {
        QElapsedTimer t;
        t.start();
        std::FILE* f = std::fopen(plainName.constData(), "wb");
        const bool ok = f && std::fwrite(bytes.constData(), 1, size_t(bytes.size()), f) == size_t(bytes.size());
        const bool closed = f && std::fclose(f) == 0;
        const double s = t.nsecsElapsed() / 1e9;
        return ok && closed ? s : -1.0;
    };
    // The same bytes line by line through the stream's buffer, as a program
    // that already had each line's bytes would write them.
    std::vector<qsizetype> ends;
    for (qsizetype at = bytes.indexOf("\r\n"); at >= 0; at = bytes.indexOf("\r\n", at + 2))
        ends.push_back(at + 2);
    auto byLine = [&] {
        QElapsedTimer t;
        t.start();
        std::FILE* f = std::fopen(plainName.constData(), "wb");
        bool ok = f != nullptr;
        qsizetype from = 0;
        for (qsizetype end : ends) {
            ok = ok && std::fwrite(bytes.constData() + from, 1, size_t(end - from), f) == size_t(end - from);
            from = end;
        }
        const bool closed = f && std::fclose(f) == 0;
        const double s = t.nsecsElapsed() / 1e9;
        return ok && closed ? s : -1.0;
    };
    // The floor of any save that cannot leave a half-written file: the same
    // bytes in 256 KiB writes to a new file beside, synced, renamed over.
    const QByteArray durableName = QFile::encodeName(dir.filePath("durable.txt"));
    const QByteArray durableTemp = QFile::encodeName(dir.filePath("durable.tmp"));
    auto durable = [&] {
        QElapsedTimer t;
        t.start();
        const int fd = ::open(durableTemp.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        bool ok = fd >= 0;
        constexpr qsizetype kChunk = 256 * 1024;
        for (qsizetype at = 0; ok && at < bytes.size(); at += kChunk) {
            const size_t n = size_t(std::min(kChunk, bytes.size() - at));
            ok = ::write(fd, bytes.constData() + at, n) == ssize_t(n);
        }
        ok = ok && ::fdatasync(fd) == 0;
        ok = (fd >= 0 && ::close(fd) == 0) && ok;
        ok = ok && std::rename(durableTemp.constData(), durableName.constData()) == 0;
        const double s = t.nsecsElapsed() / 1e9;
        return ok ? s : -1.0;
    };
    double saveSeconds = 0, plainSeconds = 0, lineSeconds = 0, durableSeconds = 0;
    int turn = 0;
    for (auto _ : state) {
        double sv = 0, pl = 0, li = 0, du = 0;
        switch (turn++ % 4) {
        case 0: sv = save(); pl = plain(); li = byLine(); du = durable(); break;
        case 1: pl = plain(); li = byLine(); du = durable(); sv = save(); break;
        case 2: li = byLine(); du = durable(); sv = save(); pl = plain(); break;
        default: du = durable(); sv = save(); pl = plain(); li = byLine(); break;
        }
        if (sv < 0 || pl < 0 || li < 0 || du < 0) {
            state.SkipWithError("write failed");
            return;
        }
        saveSeconds += sv;
        plainSeconds += pl;
        lineSeconds += li;
        durableSeconds += du;
        state.SetIterationTime(sv);
    }
    if (QFile(path).size() != bytes.size())
        state.SkipWithError("the save wrote other bytes");
    const double mb = double(bytes.size()) * double(state.iterations()) / 1e6;
    state.SetBytesProcessed(int64_t(state.iterations()) * bytes.size());
    state.counters["file_MB"] = double(bytes.size()) / 1e6;
    state.counters["save_MB_per_s"] = mb / saveSeconds;
    state.counters["plain_write_MB_per_s"] = mb / plainSeconds;
    state.counters["save_vs_plain_write"] = plainSeconds / saveSeconds;
    state.counters["line_write_MB_per_s"] = mb / lineSeconds;
    state.counters["save_vs_line_write"] = lineSeconds / saveSeconds;
    state.counters["durable_write_MB_per_s"] = mb / durableSeconds;
    state.counters["save_vs_durable_write"] = durableSeconds / saveSeconds;
}

// A worker posts 100,000 single lines per second for three seconds (the
// argument) while a 10 ms timer on the interface thread records how late it
// fires.
void BM_EventLoopLatencyUnderLoad(benchmark::State& state)
{
    installTemplate();
    const int perSecond = 100000, seconds = int(state.range(0)), slice = 100; // lines per millisecond slice
    qint64 worstLate = 0;
    double linesPerSecond = 0;
    for (auto _ : state) {
        BenchDlg dlg;
        dlg.create();
        dlg.show();
        QCoreApplication::processEvents();
        ui::MessagePort port = dlg.port();
        std::atomic<bool> done{false};
        QElapsedTimer clock;
        clock.start();
        qint64 expected = 10;
        QTimer tick;
        tick.setTimerType(Qt::PreciseTimer);
        QObject::connect(&tick, &QTimer::timeout, [&] {
            const qint64 now = clock.elapsed();
            worstLate = std::max(worstLate, now - expected);
            expected = now + 10;
        });
        tick.start(10);
        std::thread worker([&, port] {
            const auto start = std::chrono::steady_clock::now();
            const int slices = perSecond * seconds / slice;
            for (int s = 0; s < slices; ++s) {
                std::this_thread::sleep_until(start + std::chrono::microseconds(s * 1000000LL * slice / perSecond));
                for (int i = 0; i < slice; ++i)
                    port.post(WM_ADD_LINE, 0, 0, ui::Payload::of(detailLine(1, s * slice + i)));
            }
            done.store(true);
        });
        const int total = perSecond * seconds;
        while (!done.load() || dlg.list()->count() < total)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        worker.join();
        linesPerSecond = total / (clock.elapsed() / 1000.0);
        tick.stop();
    }
    state.counters["worst_timer_delay_ms"] = double(worstLate);
    state.counters["lines_per_s"] = linesPerSecond;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
    // --smoke: every benchmark once on small sizes, to show that they still
    // run (CI); the figures mean nothing then.
    bool smoke = false;
    int kept = 0;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--smoke") == 0)
            smoke = true;
        else
            argv[kept++] = argv[i];
    }
    argc = kept;
    QApplication app(argc, argv);
    const int lines = smoke ? 20000 : 1000000;
    benchmark::RegisterBenchmark("BM_PostedBatchAppend", BM_PostedBatchAppend)
        ->Args({10000, lines})
        ->Args({2500, lines})
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(1);
    benchmark::RegisterBenchmark("BM_SaveMillionLines", BM_SaveMillionLines)
        ->Arg(lines)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(smoke ? 3 : 12);
    benchmark::RegisterBenchmark("BM_EventLoopLatencyUnderLoad", BM_EventLoopLatencyUnderLoad)
        ->Arg(smoke ? 1 : 3)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(1);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
