// The plot window as a user meets it: from a result list's "Plot" and
// Ctrl+P, with nothing to plot, with gaps, its cursor, table and colours.
#include <QAction>
#include <QJsonArray>
#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>
#include <limits>
#include <qcustomplot.h>

#include "TestSeriesReader.h"
#include "ui/ResultList.h"
#include "ui/testing/TestApp.h"
#include "vantor/plot/PlotHook.h"
#include "vantor/plot/PlotView.h"
#include "vantor/plot/SeriesPlottable.h"

namespace vantor::plot {
namespace {

constexpr float kGap = std::numeric_limits<float>::quiet_NaN();

Series series(QString name, int cycle, std::vector<int32_t> i, std::vector<float> v)
{
    Series s;
    s.name = std::move(name);
    s.unit = QStringLiteral("counts");
    s.cycle = cycle;
    s.indices = std::move(i);
    s.values = std::move(v);
    return s;
}

class PlotViewTest : public ::testing::Test {
protected:
    void SetUp() override { ui::testing::testApp(); }
    void TearDown() override
    {
        installPlotHandler({});
        for (QWidget* w : QApplication::topLevelWidgets())
            if (qobject_cast<PlotView*>(w))
                delete w;
    }
    static std::vector<PlotView*> openPlots()
    {
        std::vector<PlotView*> out;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* v = qobject_cast<PlotView*>(w); v && v->isVisible())
                out.push_back(v);
        return out;
    }
};

TEST_F(PlotViewTest, PlotOfAListOpensFromItsMenuItemAndCtrlPWithTheListsSeries)
{
    QWidget dialog;
    dialog.setWindowTitle(QStringLiteral("PLATEN LIFE TEST"));
    auto* list = new ui::ResultList(&dialog);
    EXPECT_FALSE(list->canPlot());
    EXPECT_FALSE(list->plot());
    int reads = 0;
    installPlotHandler([&](const ui::ResultList& l) {
        ++reads;
        return plottest::readSeries(l.lines());
    });
    ASSERT_TRUE(list->canPlot());
    for (const char* l : {"1. Run Platen Life - OK", "1. Forward Encode (1 pass)", "1. F 1 [10]", "1. F 2 [30]",
                          "", "1. Reverse Encode (1 pass)", "1. R 1 [7]", ""})
        list->appendLine(QString::fromLatin1(l));

    // The context menu's "Plot": lines appended this turn are in it.
    QAction* plotAction = nullptr;
    for (QAction* a : list->actions())
        if (a->text() == QLatin1String("Plot"))
            plotAction = a;
    ASSERT_NE(plotAction, nullptr);
    EXPECT_EQ(plotAction->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_P));
    plotAction->trigger();
    ASSERT_EQ(reads, 1);
    std::vector<PlotView*> plots = openPlots();
    ASSERT_EQ(plots.size(), 1u);
    EXPECT_EQ(plots[0]->windowTitle(), QStringLiteral("Plot - PLATEN LIFE TEST"));
    ASSERT_EQ(plots[0]->curveCount(), 2);
    EXPECT_EQ(plots[0]->curve(0)->series().name, QStringLiteral("Forward Encode (1 pass)"));
    EXPECT_EQ(plots[0]->curve(0)->series().size(), 2u);
    // Forward and reverse passes are told apart by colour.
    EXPECT_NE(plots[0]->curve(0)->pen().color(), plots[0]->curve(1)->pen().color());
    plots[0]->close();
    QCoreApplication::processEvents();

    // Ctrl+P on the list in its window.
    dialog.show();
    list->setFocus();
    QApplication::setActiveWindow(&dialog);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    QTest::keyClick(list, Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(reads, 2);
    EXPECT_EQ(openPlots().size(), 1u);

    // A list's own handler comes before the program's.
    int own = 0;
    list->setPlotHandler([&](const ui::ResultList&) { ++own; });
    EXPECT_TRUE(list->plot());
    EXPECT_EQ(own, 1);
    EXPECT_EQ(reads, 2);
}

TEST_F(PlotViewTest, ListsWithoutSeriesSayThereIsNothingToPlot)
{
    for (const std::vector<Series>& none : {std::vector<Series>{}, std::vector<Series>{series("Cross Web", 1, {}, {})}}) {
        PlotView view(borrowSeries(none));
        EXPECT_TRUE(view.empty());
        EXPECT_EQ(view.plot(), nullptr);
        const QList<QLabel*> labels = view.findChildren<QLabel*>();
        ASSERT_EQ(labels.size(), 1);
        EXPECT_EQ(labels[0]->text(), QStringLiteral("Nothing to plot in these lines."));
    }
}

TEST_F(PlotViewTest, CursorReadsTheExactSampleAndStepsOverGaps)
{
    const std::vector<Series> data{series("Forward Encode", 1, {0, 1, 2, 3, 4}, {100, 250, kGap, 400, 380}),
                                   series("Reverse Encode", 1, {0, 1, 2, 3, 4}, {900, 910, 920, 930, 940})};
    PlotView view(borrowSeries(data));
    view.resize(800, 500);
    view.show();
    QCoreApplication::processEvents();
    QCustomPlot* plot = view.plot();
    plot->replot();
    auto at = [&](double key, double value) {
        return QPointF(plot->xAxis->coordToPixel(key), plot->yAxis->coordToPixel(value));
    };
    // Near a sample of the first curve: its own index and value.
    ASSERT_TRUE(view.cursorAt(at(1, 255)));
    EXPECT_EQ(view.cursorCurve(), 0);
    EXPECT_EQ(view.cursorText(), QStringLiteral("Forward Encode, cycle 1: index 1, value 250 counts"));
    // Near the other curve at the same index: that one.
    ASSERT_TRUE(view.cursorAt(at(1, 905)));
    EXPECT_EQ(view.cursorCurve(), 1);
    EXPECT_EQ(view.cursorSample(), 1);
    // Stepping along the first curve passes over the gap at index 2.
    ASSERT_TRUE(view.cursorAt(at(1, 250)));
    ASSERT_TRUE(view.stepCursor(1));
    EXPECT_EQ(view.cursorText(), QStringLiteral("Forward Encode, cycle 1: index 3, value 400 counts"));
    EXPECT_FALSE(view.stepCursor(5));
    // A hidden curve is not read.
    view.curveList()->item(1)->setCheckState(Qt::Unchecked);
    ASSERT_TRUE(view.cursorAt(at(1, 905)));
    EXPECT_EQ(view.cursorCurve(), 0);
    // A gap has no value to read: not a zero, not its neighbour's.
    EXPECT_FALSE(view.cursorAt(at(2, 0)));
    EXPECT_FALSE(view.cursorAt(at(2, 300)));
    EXPECT_EQ(view.cursorCurve(), -1);
}

TEST_F(PlotViewTest, TableTabOffersEverySampleAndSaysGapsAsGaps)
{
    const std::vector<Series> data{series("Forward Encode", 1, {1, 2}, {10, kGap}),
                                   series("Forward Encode", 2, {1, 2, 3}, {11, 12, 13})};
    PlotView view(borrowSeries(data));
    ASSERT_NE(view.tabs(), nullptr);
    EXPECT_EQ(view.tabs()->tabText(1), QStringLiteral("Table"));
    QAbstractItemModel* m = view.table()->model();
    ASSERT_EQ(m->rowCount(), 5);
    auto cell = [&](int r, int c, int role = Qt::DisplayRole) { return m->data(m->index(r, c), role); };
    EXPECT_EQ(cell(0, 0).toString(), QStringLiteral("Forward Encode, cycle 1"));
    EXPECT_EQ(cell(1, 2).toString(), QString());
    EXPECT_EQ(cell(1, 2, Qt::AccessibleTextRole).toString(), QStringLiteral("no value"));
    EXPECT_EQ(cell(2, 0).toString(), QStringLiteral("Forward Encode, cycle 2"));
    EXPECT_EQ(cell(4, 1).toInt(), 3);
    EXPECT_EQ(cell(4, 2).toDouble(), 13.0);
    EXPECT_EQ(cell(4, 3).toString(), QStringLiteral("counts"));
    EXPECT_EQ(m->headerData(2, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("Value"));
}

TEST_F(PlotViewTest, ResetShowsEveryCurveWholeAfterAZoom)
{
    const std::vector<Series> data{series("Forward Encode", 1, {0, 1, 2, 3}, {5, kGap, -20, 40}),
                                   series("Total encode", 0, {1, 2, 3, 4, 5, 6}, {1789, 1790, 1788, 1791, 1789, 1800})};
    PlotView view(borrowSeries(data));
    QCustomPlot* plot = view.plot();
    plot->xAxis->setRange(1.5, 2.5);
    plot->yAxis->setRange(0, 1);
    view.resetView();
    EXPECT_LE(plot->xAxis->range().lower, 0);
    EXPECT_GE(plot->xAxis->range().upper, 6);
    EXPECT_LE(plot->yAxis->range().lower, -20);
    EXPECT_GE(plot->yAxis->range().upper, 1800);
    // Without the totals the value range comes back to the first curve.
    view.curveList()->item(1)->setCheckState(Qt::Unchecked);
    view.resetView();
    EXPECT_LT(plot->yAxis->range().upper, 100);
    EXPECT_GE(plot->yAxis->range().upper, 40);
}

TEST_F(PlotViewTest, StepOfARecordIsPlottedFromItsSectionAndLines)
{
    QJsonObject step;
    step[QStringLiteral("section")] = QStringLiteral("Platen");
    step[QStringLiteral("lines")] = QJsonArray{QStringLiteral("== Start =="), QStringLiteral("1. in detail 0 [5]"),
                                               QStringLiteral("1. in detail 1 [9]"), QStringLiteral("1. Total encode = 14 ")};
    QString section;
    std::unique_ptr<PlotView> view(plotOfStep(step, [&](const QString& s, const QStringList& lines) {
        section = s;
        return plottest::readSeries(lines);
    }));
    EXPECT_EQ(section, QStringLiteral("Platen"));
    ASSERT_EQ(view->curveCount(), 2);
    EXPECT_EQ(view->curve(0)->whole().maxValue, 9);
    std::unique_ptr<PlotView> none(plotOfStep(QJsonObject{}, {}));
    EXPECT_TRUE(none->empty());
}

} // namespace
} // namespace vantor::plot
