#pragma once
// A QCustomPlot curve that draws a measure::Series where it lies. QCPGraph
// would hold its own copy of every sample as two doubles (16 bytes, twice
// what the series holds); this one keeps a reference and, at each redraw,
// reduces the visible samples to the first, last, least and largest value
// of every pixel column, so a redraw costs one pass over the visible samples
// and draws at most four points a column. Gaps (NaN) break the line.
#include <qcustomplot.h>

#include "vantor/plot/Curves.h"

namespace vantor::plot {

class SeriesPlottable : public QCPAbstractPlottable {
    Q_OBJECT
public:
    // `series` must outlive the plottable (the plot view holds both).
    SeriesPlottable(QCPAxis* keyAxis, QCPAxis* valueAxis, const Series& series);

    const Series& series() const { return m_series; }
    bool ascending() const { return m_ascending; }
    const Extremes& whole() const { return m_whole; }
    // Columns drawn at the last redraw (for the curious: a bound on the work).
    size_t lastColumns() const { return m_lastColumns; }

    double selectTest(const QPointF& pos, bool onlySelectable, QVariant* details = nullptr) const override;
    QCPRange getKeyRange(bool& foundRange, QCP::SignDomain inSignDomain = QCP::sdBoth) const override;
    QCPRange getValueRange(bool& foundRange, QCP::SignDomain inSignDomain = QCP::sdBoth,
                           const QCPRange& inKeyRange = QCPRange()) const override;

protected:
    void draw(QCPPainter* painter) override;
    void drawLegendIcon(QCPPainter* painter, const QRectF& rect) const override;

private:
    const Series& m_series;
    const bool m_ascending;
    const Extremes m_whole;
    size_t m_lastColumns = 0;
};

} // namespace vantor::plot
