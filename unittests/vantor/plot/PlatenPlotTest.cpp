// A platen detail run on the simulated printer, plotted: one curve per cycle
// of per-pulse counts and one of the cycles' totals, each with as many points
// and the same extremes as its lines, drawn, tabled, exported and rendered.
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QTabWidget>
#include <QListWidget>
#include <QTableView>
#include <gtest/gtest.h>
#include <qcustomplot.h>

#include "TestSeriesReader.h"
#include "unittests/vantor/testing/ScreenFixture.h"
#include "vantor/measure/Measurements.h"
#include "vantor/plot/PlotHook.h"
#include "vantor/plot/PlotView.h"
#include "vantor/plot/Render.h"
#include "vantor/plot/SeriesPlottable.h"
#include "vantor/screens/motion/PlatenTests.h"
#include "vantor/station/RecordView.h"

namespace vantor::plot {
namespace {

using namespace vantor::testing;

class PlatenPlotTest : public ScreenFixture {
protected:
    // Two cycles of a platen detail run of 3000 pulses on the simulator.
    QStringList detailRun()
    {
        startSimulator();
        auto* record = GetTestSettings<CPlatenSettings>();
        if (!record)
            return {};
        record->speed.initialSpeedType = 0;
        record->speed.constantSpeed = 2000;
        record->tapeRewind.constantSpeed = 800;
        record->direction = 1;
        record->vref = 255;
        record->totalPulses = 3000;
        record->encoderInDetail = 1;
        record->cycle = 2;
        return runHeadless(platen::kPlatenTest.prepare(*record, openDriver()), 2);
    }
};

// What the lines themselves say, read without the reader: per cycle, the
// count of "in detail" lines and the least and largest bracketed count.
struct LineFacts {
    int count = 0;
    long long min = 0, max = 0;
};
std::map<int, LineFacts> detailFacts(const QStringList& lines)
{
    std::map<int, LineFacts> out;
    for (const QString& l : lines) {
        const qsizetype dot = l.indexOf(QLatin1String(". in detail "));
        if (dot < 0)
            continue;
        const int cycle = l.left(dot).toInt();
        const long long v = l.mid(l.indexOf('[') + 1, l.indexOf(']') - l.indexOf('[') - 1).toLongLong();
        LineFacts& f = out[cycle];
        f.min = f.count == 0 ? v : std::min(f.min, v);
        f.max = f.count == 0 ? v : std::max(f.max, v);
        ++f.count;
    }
    return out;
}

TEST_F(PlatenPlotTest, DetailRunPlotsEachCycleWithTheLinesPointCountAndExtremes)
{
    const QStringList lines = detailRun();
    const std::map<int, LineFacts> facts = detailFacts(lines);
    ASSERT_EQ(facts.size(), 2u) << qPrintable(lines.mid(0, 5).join('\n'));

    PlotView view(std::make_shared<const std::vector<Series>>(plottest::readSeries(lines)));
    ASSERT_FALSE(view.empty());
    ASSERT_EQ(view.curveCount(), 3); // two cycles of detail, one of totals
    for (int i = 0; i < view.curveCount(); ++i) {
        const SeriesPlottable* curve = view.curve(i);
        const Series& s = curve->series();
        if (s.name != QLatin1String("Encoder in detail"))
            continue;
        ASSERT_TRUE(facts.count(s.cycle)) << s.cycle;
        const LineFacts& f = facts.at(s.cycle);
        EXPECT_EQ(f.count, 3000);
        EXPECT_EQ(int(curve->whole().values), f.count) << "cycle " << s.cycle;
        bool found = false;
        const QCPRange values = curve->getValueRange(found);
        ASSERT_TRUE(found);
        EXPECT_EQ(values.lower, double(f.min)) << "cycle " << s.cycle;
        EXPECT_EQ(values.upper, double(f.max)) << "cycle " << s.cycle;
        bool keysFound = false;
        const QCPRange keys = curve->getKeyRange(keysFound);
        EXPECT_EQ(keys.lower, 0);
        EXPECT_EQ(keys.upper, 2999);
    }

    // Drawn at 600 pixels, the 3000 pulses of a cycle come to one column a
    // pixel or so, and the drawn columns still reach the extremes.
    QCustomPlot* plot = view.plot();
    ASSERT_NE(plot, nullptr);
    const QPixmap picture = plot->toPixmap(600, 300);
    EXPECT_FALSE(picture.isNull());
    for (int i = 0; i < view.curveCount(); ++i) {
        const SeriesPlottable* curve = view.curve(i);
        EXPECT_GT(curve->lastColumns(), 0u);
        EXPECT_LE(curve->lastColumns(), 602u);
    }

    // The table holds every sample; the curve list names every curve.
    int samples = 0;
    for (const Series& s : view.series())
        samples += int(s.size());
    EXPECT_EQ(view.table()->model()->rowCount(), samples);
    EXPECT_EQ(view.curveList()->count(), 3);
    EXPECT_TRUE(view.curveList()->item(0)->data(Qt::AccessibleTextRole).toString().contains(QLatin1String("3000 samples")));

    // Exported: one header and one row per pulse; rendered headless.
    const QString csv = dir.filePath(QStringLiteral("plot.csv"));
    ASSERT_TRUE(view.exportCsv(csv));
    QFile f(csv);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll().count('\n'), 1 + 3000);
    const QString png = dir.filePath(QStringLiteral("plot.png"));
    ASSERT_TRUE(renderPng(view.series(), png, QSize(640, 320)));
    EXPECT_EQ(QImage(png).size(), QSize(640, 320));
}

// The station's record view draws the chosen step with the measurements'
// own classifier, when its "Plot" tab is looked at.
TEST_F(PlatenPlotTest, ARecordViewPlotsTheChosenStepWithTheClassifiersCurves)
{
    const QStringList lines = detailRun();
    const std::map<int, LineFacts> facts = detailFacts(lines);
    ASSERT_EQ(facts.size(), 2u);
    const QJsonObject ejector{{"test", "Ejector Test"}, {"section", "Ejector"},
                              {"lines", QJsonArray{"== Start ==", "1. Run = OK", "== End =="}}};
    const QJsonObject platen{{"test", "Platen Test"}, {"section", "Platen"}, {"lines", QJsonArray::fromStringList(lines)}};
    int drawn = 0;
    station::RecordView::setStepPlotter([&](const QJsonObject& step, QWidget* parent) {
        ++drawn;
        return plotOfStep(
            step, [](const QString& section, const QStringList& l) { return measure::plottable(measure::collect(section, l)); },
            parent);
    });
    station::RecordView view(QJsonObject{{"name", "Final test"}, {"steps", QJsonArray{ejector, platen}}});
    ASSERT_EQ(view.tabs()->count(), 2);
    EXPECT_EQ(view.tabs()->tabText(1), QStringLiteral("Plot"));
    EXPECT_EQ(view.plot(), nullptr) << "nothing drawn before the tab is looked at";

    view.tabs()->setCurrentIndex(1);
    auto* plot = qobject_cast<PlotView*>(view.plot());
    ASSERT_NE(plot, nullptr);
    EXPECT_TRUE(plot->empty()) << "the ejector's lines hold no series";

    view.showLines(1);
    plot = qobject_cast<PlotView*>(view.plot());
    ASSERT_NE(plot, nullptr);
    ASSERT_EQ(plot->curveCount(), 3); // "in detail" per cycle, and the cycles' "Total encode"
    int detailCurves = 0;
    for (int i = 0; i < plot->curveCount(); ++i) {
        const SeriesPlottable* curve = plot->curve(i);
        const Series& s = curve->series();
        if (s.name != QLatin1String("in detail"))
            continue;
        ++detailCurves;
        ASSERT_TRUE(facts.count(s.cycle)) << s.cycle;
        const LineFacts& f = facts.at(s.cycle);
        EXPECT_EQ(int(curve->whole().values), f.count);
        bool found = false;
        const QCPRange values = curve->getValueRange(found);
        ASSERT_TRUE(found);
        EXPECT_EQ(values.lower, double(f.min));
        EXPECT_EQ(values.upper, double(f.max));
    }
    EXPECT_EQ(detailCurves, 2);
    view.showLines(1); // the same step again: not drawn twice
    EXPECT_EQ(drawn, 2);
    station::RecordView::setStepPlotter({});
    EXPECT_EQ(station::RecordView(QJsonObject{}).tabs()->count(), 1) << "without a plotter, no Plot tab";
}

} // namespace
} // namespace vantor::plot
