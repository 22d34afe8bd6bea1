// plot_screenshots <sample folder> <output folder>
//
// The plot window of a 100,000-pulse platen detail run (platen-plot.png):
// the platen test run from the sample settings with "Track Encoder in
// Detail" on, against the simulated printer, its lines read into series and
// shown as "Plot" shows them, offscreen.
#include <QApplication>
#include <QFile>
#include <atomic>
#include <mutex>
#include <thread>

#include "Shots.h"

#include "unittests/vantor/plot/TestSeriesReader.h"
#include "vantor/framework/TestRunner.h"
#include "vantor/plot/PlotView.h"
#include <qcustomplot.h>
#include "vantor/res/VantorResources.h"
#include "vantor/screens/motion/PlatenTests.h"
#include "vantor/settings/TestSettingsStore.h"

namespace {

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
    void finished() override { done = true; }
    QStringList lines()
    {
        std::lock_guard l(m_lock);
        return m_lines;
    }
    std::atomic<bool> done{false};

private:
    std::mutex m_lock;
    QStringList m_lines;
};

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: plot_screenshots <sample folder> <output folder>\n");
        return 2;
    }
    shots::Session session(argc, argv, QStringLiteral("Vantor"));
    const QString ini = session.copyFromSample(QStringLiteral("Vantor.ini"));
    if (ini.isEmpty())
        return 1;
    vantor::installBuiltinResources();
    ScopedSettingsContext settings(ini);
    if (!LoadSettingsFile(ini)) {
        std::fprintf(stderr, "cannot load %s\n", qPrintable(ini));
        return 1;
    }
    auto* record = GetTestSettings<CPlatenSettings>();
    record->speed.initialSpeedType = 0;
    record->speed.constantSpeed = 4000;
    record->tapeRewind.constantSpeed = 800;
    record->direction = 1;
    record->vref = 255;
    record->totalPulses = 100000;
    record->encoderInDetail = 1;
    record->cycle = 2;
    record->pause = 0;
    vantor::PreparedRun prepared = vantor::platen::kPlatenTest.prepare(*record, vantor::openDriver());
    if (!prepared) {
        std::fprintf(stderr, "the platen run was refused: %s\n", qPrintable(prepared.refusal));
        return 1;
    }
    Lines sink;
    {
        vantor::TestRunner runner(sink);
        runner.start();
        runner.run(std::move(prepared.run), record->cycle, 0);
        // The worker's waits run on the manual clock: move it on until the end.
        for (int i = 0; i < 120000 && !sink.done; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            session.clock.advance(platform::Millis(1000));
        }
        if (!sink.done) {
            std::fprintf(stderr, "the platen run did not end (%d lines)\n", int(sink.lines().size()));
            return 1;
        }
        runner.close();
    }
    // The per-pulse curves; the two totals are a curve of their own in the
    // window too, on their own scale, and are left out of the picture.
    std::vector<vantor::measure::Series> series = plottest::readSeries(sink.lines());
    std::erase_if(series, [](const vantor::measure::Series& s) { return s.size() < 1000; });
    vantor::plot::PlotView view(std::make_shared<const std::vector<vantor::measure::Series>>(std::move(series)));
    view.setWindowTitle(QStringLiteral("Plot - PLATEN TEST"));
    view.resize(1100, 560);
    view.show();
    QCoreApplication::processEvents();
    // The cursor on the first curve half-way, as a pointer resting there shows it.
    if (!view.empty()) {
        QCustomPlot* plot = view.plot();
        const vantor::measure::Series& s = view.series().front();
        const size_t mid = s.size() / 2;
        view.cursorAt(QPointF(plot->xAxis->coordToPixel(s.indices[mid]), plot->yAxis->coordToPixel(s.values[mid])));
        plot->replot();
        QCoreApplication::processEvents(); // the read-out's new width laid out
    }
    const bool ok = !view.empty() && session.save(view, QStringLiteral("platen-plot.png"));
    return ok && session.prompts.boxes == 0 ? 0 : 1;
}
