#pragma once
// The plot of a result list's series: a "Plot" tab (one curve per series,
// forward and reverse passes in their own colours, wheel and rubber-band
// zoom, Shift+drag to pan, Home or "Reset" for the whole range, a cursor
// that reads the exact index and value under it, export to PNG and CSV) and
// a "Table" tab with the same numbers. A list without series shows "Nothing
// to plot in these lines." instead. The view reads the series where they
// lie; it shares them, it never copies them.
#include <QWidget>
#include <memory>
#include <vector>

#include "vantor/plot/Curves.h"

class QCustomPlot;
class QCPItemTracer;
class QLabel;
class QListWidget;
class QTabWidget;
class QTableView;

namespace vantor::plot {

class SeriesPlottable;
class SeriesTableModel;

using SharedSeries = std::shared_ptr<const std::vector<Series>>;

// Series the caller keeps alive for as long as the view: shared without an owner.
inline SharedSeries borrowSeries(const std::vector<Series>& series)
{
    return SharedSeries(std::shared_ptr<void>(), &series);
}

class PlotView : public QWidget {
    Q_OBJECT
public:
    explicit PlotView(SharedSeries series, QWidget* parent = nullptr);
    ~PlotView() override;

    static QString nothingToPlot();

    bool empty() const { return m_curves.empty(); }
    int curveCount() const { return int(m_curves.size()); }
    const SeriesPlottable* curve(int i) const { return m_curves.at(size_t(i)); }
    QCustomPlot* plot() const { return m_plot; }         // null when empty
    // The "Table" tab's view, made when first shown: a table view keeps a
    // record per row, which a plot nobody tabulates should not pay for.
    QTableView* table();                                 // null when empty
    QListWidget* curveList() const { return m_list; }    // null when empty
    QTabWidget* tabs() const { return m_tabs; }          // null when empty
    const std::vector<Series>& series() const { return *m_series; }

    // The whole of every shown curve.
    void resetView();
    // Puts the cursor on the sample nearest to the widget position `pos` of
    // the plot (within a few pixels); false when none is there.
    bool cursorAt(const QPointF& pos);
    // Moves the cursor by `steps` samples along its curve.
    bool stepCursor(int steps);
    // "Forward Encode, cycle 1: index 12, value 3733 counts", or a hint.
    QString cursorText() const;
    int cursorCurve() const { return m_cursorCurve; }
    std::ptrdiff_t cursorSample() const { return m_cursorSample; }

    bool exportPng(const QString& path, QSize size = {});
    bool exportCsv(const QString& path) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build();
    void buildTable();
    void setCursor(int curve, std::ptrdiff_t sample);
    void askAndExportPng();
    void askAndExportCsv();
    void curveShown(int curve, bool shown);

    SharedSeries m_series;
    std::vector<SeriesPlottable*> m_curves;
    QCustomPlot* m_plot = nullptr;
    QCPItemTracer* m_tracer = nullptr;
    QTableView* m_table = nullptr;
    SeriesTableModel* m_model = nullptr;
    QListWidget* m_list = nullptr;
    QTabWidget* m_tabs = nullptr;
    QWidget* m_tablePage = nullptr;
    QLabel* m_cursorLabel = nullptr;
    int m_cursorCurve = -1;
    std::ptrdiff_t m_cursorSample = -1;
};

// A top-level window over the view, deleted when closed.
PlotView* openPlotWindow(SharedSeries series, const QString& title, QWidget* parent = nullptr);

} // namespace vantor::plot
