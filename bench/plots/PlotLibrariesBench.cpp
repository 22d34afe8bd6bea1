// The two plotting libraries side by side on the same samples: QCustomPlot
// and Qt Charts, each fed the way it is made to be fed (its own copy of every
// point) and each drawing our series through a per-pixel-column min/max
// summary read in place (QCustomPlot: the SeriesPlottable of vantor/plot; Qt
// Charts: the summary's points handed to a QLineSeries at every redraw).
//
// The samples: a 100,000-pulse platen detail run on the simulated printer,
// read into a series and repeated to 1 and 10 million samples, so the curve
// has the shape a real run gives. Figures per case:
//   redraw  one redraw of a 1200 x 600 plot after a small pan
//   open    from the series to the first picture (the copy included)
//   heap_B_per_sample  heap added by the plot, per sample (the series itself
//                      holds 8 bytes a sample and is not counted)
// docs/plots.md has the table and the choice made from it.
//
// --smoke: small sizes, each case once, to show they still run (CI).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QElapsedTimer>
#include <QLineSeries>
#include <QTemporaryDir>
#include <QValueAxis>
#include <atomic>
#include <cstring>
#include <malloc.h>
#include <memory>
#include <qcustomplot.h>
#include <thread>

#include "platform/DevicePath.h"
#include "sim/printer/SimulatedDevices.h"
#include "unittests/vantor/plot/TestSeriesReader.h"
#include "vantor/framework/TestRunner.h"
#include "vantor/plot/PlotView.h"
#include "vantor/plot/SeriesPlottable.h"
#include "vantor/screens/motion/PlatenTests.h"
#include "vantor/settings/TestSettingsStore.h"

namespace {

using vantor::measure::Series;
constexpr int kWidth = 1200, kHeight = 600;

double heapBytes()
{
    const struct mallinfo2 m = mallinfo2();
    return double(m.uordblks) + double(m.hblkhd);
}

// Collects the run's lines; the waiting thread learns of the end.
class Lines final : public vantor::RunSink {
public:
    void addLine(QString line) override
    {
        std::lock_guard l(m_lock);
        m_lines << line;
    }
    void addLines(QStringList lines) override
    {
        std::lock_guard l(m_lock);
        m_lines << lines;
    }
    void cycleDone() override {}
    void finished() override { m_done = true; }
    std::atomic<bool> m_done{false};
    std::mutex m_lock;
    QStringList m_lines;
};

// One cycle of a 100,000-pulse platen detail run, as its lines give it.
Series platenRun()
{
    QTemporaryDir root;
    platform::setDeviceRoot(root.path());
    const QString ini = root.filePath(QStringLiteral("Vantor.ini"));
    {
        QFile f(ini);
        f.open(QIODevice::WriteOnly);
        f.write(QByteArray("\xFF\xFE", 2));
    }
    ScopedSettingsContext settings(ini);
    sim::SimConfig config;
    config.timeScale = 0.0;
    sim::SimulatedDevices devices = sim::registerSimulatedDevices(config);
    auto* record = GetTestSettings<CPlatenSettings>();
    record->speed.initialSpeedType = 0;
    record->speed.constantSpeed = 4000;
    record->direction = 1;
    record->vref = 255;
    record->tapeRewind.constantSpeed = 800;
    record->totalPulses = 100000;
    record->encoderInDetail = 1;
    record->cycle = 1;
    Lines sink;
    {
        vantor::TestRunner runner(sink);
        runner.start();
        runner.run(vantor::platen::kPlatenTest.prepare(*record, vantor::openDriver()).run, 1, 0);
        while (!sink.m_done)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        runner.close();
    }
    sim::unregisterSimulatedDevices(devices);
    platform::setDeviceRoot(QString());
    std::vector<Series> all = plottest::readSeries(sink.m_lines);
    for (Series& s : all)
        if (s.size() > 1000)
            return std::move(s);
    std::fprintf(stderr, "the platen run gave no detail lines\n");
    std::exit(1);
}

const Series& run()
{
    static const Series s = platenRun();
    return s;
}

// The run repeated to `n` samples, each repetition a little higher, so no
// two stretches draw alike.
std::shared_ptr<const std::vector<Series>> samples(size_t n)
{
    static std::map<size_t, std::shared_ptr<const std::vector<Series>>> made;
    auto& slot = made[n];
    if (!slot) {
        const Series& base = run();
        Series s;
        s.name = base.name;
        s.unit = base.unit;
        s.cycle = 1;
        s.indices.resize(n);
        s.values.resize(n);
        for (size_t i = 0; i < n; ++i) {
            s.indices[i] = int32_t(i);
            s.values[i] = base.values[i % base.size()] + float(i / base.size() * 3);
        }
        slot = std::make_shared<const std::vector<Series>>(std::vector<Series>{std::move(s)});
    }
    return slot;
}

// A plot in one of the four ways, ready to redraw.
class Plot {
public:
    virtual ~Plot() = default;
    // Pans by a few samples and draws the whole plot once.
    virtual void redraw(double shift) = 0;
};

class QcpGraph final : public Plot {
public:
    explicit QcpGraph(const Series& s)
    {
        plot.resize(kWidth, kHeight);
        QCPGraph* g = plot.addGraph();
        // The library's own store: a key and a value as doubles per point.
        QVector<QCPGraphData> data(qsizetype(s.size()));
        for (size_t i = 0; i < s.size(); ++i)
            data[qsizetype(i)] = QCPGraphData(s.indices[i], s.values[i]);
        g->data()->set(data, true);
        g->setAdaptiveSampling(true);
        plot.rescaleAxes();
        plot.show();
        plot.replot(QCustomPlot::rpImmediateRefresh);
    }
    void redraw(double shift) override
    {
        plot.xAxis->moveRange(shift);
        plot.replot(QCustomPlot::rpImmediateRefresh);
    }
    QCustomPlot plot;
};

class QcpInPlace final : public Plot {
public:
    explicit QcpInPlace(std::shared_ptr<const std::vector<Series>> s) : view(std::move(s))
    {
        view.resize(kWidth + 300, kHeight + 60);
        view.show();
        view.plot()->replot(QCustomPlot::rpImmediateRefresh);
    }
    void redraw(double shift) override
    {
        view.plot()->xAxis->moveRange(shift);
        view.plot()->replot(QCustomPlot::rpImmediateRefresh);
    }
    vantor::plot::PlotView view;
};

class ChartsBase : public Plot {
public:
    ChartsBase()
    {
        chart = new QChart;
        chart->legend()->hide();
        line = new QLineSeries;
        chart->addSeries(line);
        x = new QValueAxis;
        y = new QValueAxis;
        chart->addAxis(x, Qt::AlignBottom);
        chart->addAxis(y, Qt::AlignLeft);
        line->attachAxis(x);
        line->attachAxis(y);
        view = std::make_unique<QChartView>(chart);
        view->resize(kWidth, kHeight);
    }
    void paint()
    {
        QCoreApplication::processEvents();
        view->viewport()->repaint();
    }
    QChart* chart;
    QLineSeries* line;
    QValueAxis* x;
    QValueAxis* y;
    std::unique_ptr<QChartView> view;
};

class ChartsSeries final : public ChartsBase {
public:
    explicit ChartsSeries(const Series& s)
    {
        QList<QPointF> points(qsizetype(s.size()));
        for (size_t i = 0; i < s.size(); ++i)
            points[qsizetype(i)] = QPointF(s.indices[i], s.values[i]);
        line->replace(points);
        const vantor::plot::Extremes e = vantor::plot::extremes(s);
        x->setRange(e.minKey, e.maxKey);
        y->setRange(e.minValue, e.maxValue);
        view->show();
        paint();
    }
    void redraw(double shift) override
    {
        x->setRange(x->min() + shift, x->max() + shift);
        paint();
    }
};

class ChartsSummary final : public ChartsBase {
public:
    explicit ChartsSummary(const Series& s) : series(s), ascending(vantor::plot::ascendingIndices(s))
    {
        const vantor::plot::Extremes e = vantor::plot::extremes(s);
        y->setRange(e.minValue, e.maxValue);
        from = e.minKey;
        to = e.maxKey;
        view->show();
        update();
    }
    void update()
    {
        // The summary at the plot area's width, as the QCustomPlot curve draws it.
        const int columns = std::max(1, int(chart->plotArea().width()));
        const std::vector<vantor::plot::Column> cols = vantor::plot::decimate(series, ascending, from, to, columns);
        QList<QPointF> points;
        points.reserve(qsizetype(cols.size() * 4));
        const double step = (to - from) / columns;
        for (const vantor::plot::Column& c : cols) {
            const double k = c.samples == 1 ? c.key : from + (c.pixel + 0.5) * step;
            points << QPointF(k, c.first);
            if (c.samples > 1)
                points << QPointF(k, c.min) << QPointF(k, c.max) << QPointF(k, c.last);
        }
        line->replace(points);
        x->setRange(from, to);
        paint();
    }
    void redraw(double shift) override
    {
        from += shift;
        to += shift;
        update();
    }
    const Series& series;
    const bool ascending;
    double from = 0, to = 1;
};

enum Way { kQcpGraph, kQcpInPlace, kChartsSeries, kChartsSummary };

std::unique_ptr<Plot> open(Way way, const std::shared_ptr<const std::vector<Series>>& s)
{
    switch (way) {
    case kQcpGraph: return std::make_unique<QcpGraph>(s->front());
    case kQcpInPlace: return std::make_unique<QcpInPlace>(s);
    case kChartsSeries: return std::make_unique<ChartsSeries>(s->front());
    case kChartsSummary: return std::make_unique<ChartsSummary>(s->front());
    }
    return {};
}

void BM_Redraw(benchmark::State& state)
{
    const auto s = samples(size_t(state.range(1)));
    const std::unique_ptr<Plot> plot = open(Way(state.range(0)), s);
    double shift = 1;
    for (auto _ : state) {
        plot->redraw(shift);
        shift = -shift;
    }
    state.counters["samples"] = double(s->front().size());
}

void BM_Open(benchmark::State& state)
{
    const auto s = samples(size_t(state.range(1)));
    double heap = 0;
    for (auto _ : state) {
        const double before = heapBytes();
        std::unique_ptr<Plot> plot = open(Way(state.range(0)), s);
        heap = heapBytes() - before;
        state.PauseTiming();
        plot.reset();
        state.ResumeTiming();
    }
    state.counters["heap_B_per_sample"] = heap / double(s->front().size());
}

const char* kWays[] = {"QCustomPlot_QCPGraph_copy", "QCustomPlot_SeriesPlottable_in_place",
                       "QtCharts_QLineSeries_copy", "QtCharts_column_summary"};

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
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
    const std::vector<int64_t> sizes = smoke ? std::vector<int64_t>{20000} : std::vector<int64_t>{1000000, 10000000};
    for (int way = 0; way < 4; ++way)
        for (int64_t n : sizes) {
            // A full Qt Charts series at ten million points takes seconds a redraw: once is enough.
            const bool slow = way == kChartsSeries && n > 1000000;
            auto* redraw = benchmark::RegisterBenchmark((std::string("BM_Redraw/") + kWays[way]).c_str(), BM_Redraw)
                               ->Args({way, n})
                               ->Unit(benchmark::kMillisecond);
            auto* opened = benchmark::RegisterBenchmark((std::string("BM_Open/") + kWays[way]).c_str(), BM_Open)
                               ->Args({way, n})
                               ->Unit(benchmark::kMillisecond)
                               ->Iterations(smoke || slow ? 1 : 3);
            if (smoke || slow)
                redraw->Iterations(1);
            (void)opened;
        }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
