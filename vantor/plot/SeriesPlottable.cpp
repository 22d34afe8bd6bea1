#include "vantor/plot/SeriesPlottable.h"

#include <algorithm>
#include <cmath>

namespace vantor::plot {

SeriesPlottable::SeriesPlottable(QCPAxis* keyAxis, QCPAxis* valueAxis, const Series& series)
    : QCPAbstractPlottable(keyAxis, valueAxis), m_series(series), m_ascending(ascendingIndices(series)),
      m_whole(extremes(series))
{
    setName(curveName(series));
}

double SeriesPlottable::selectTest(const QPointF&, bool, QVariant*) const
{
    return -1; // the cursor reads samples itself; curves are not selected
}

QCPRange SeriesPlottable::getKeyRange(bool& foundRange, QCP::SignDomain) const
{
    foundRange = m_whole.any;
    return QCPRange(m_whole.minKey, m_whole.maxKey);
}

QCPRange SeriesPlottable::getValueRange(bool& foundRange, QCP::SignDomain, const QCPRange& inKeyRange) const
{
    if (inKeyRange == QCPRange()) {
        foundRange = m_whole.any;
        return QCPRange(m_whole.minValue, m_whole.maxValue);
    }
    const Extremes e = extremes(m_series, inKeyRange.lower, inKeyRange.upper);
    foundRange = e.any;
    return QCPRange(e.minValue, e.maxValue);
}

void SeriesPlottable::draw(QCPPainter* painter)
{
    QCPAxis* const key = keyAxis();
    QCPAxis* const value = valueAxis();
    if (!key || !value || !m_whole.any)
        return;
    const QCPRange range = key->range();
    const double left = key->coordToPixel(range.lower), right = key->coordToPixel(range.upper);
    const int columns = std::max(1, int(std::lround(std::abs(right - left))));
    const std::vector<Column> cols = decimate(m_series, m_ascending, range.lower, range.upper, columns);
    m_lastColumns = cols.size();
    const double step = (right - left) / columns;

    painter->setPen(mPen);
    painter->setBrush(Qt::NoBrush);
    applyDefaultAntialiasingHint(painter);
    // Few samples (per-cycle values, a deep zoom): each is marked as well.
    const bool marks = cols.size() * 8 < size_t(columns) &&
                       std::all_of(cols.begin(), cols.end(), [](const Column& c) { return c.samples == 1; });
    QPolygonF line;
    line.reserve(qsizetype(std::min<size_t>(cols.size() * 4, 1 << 16)));
    auto flush = [&] {
        if (line.size() == 1)
            painter->drawEllipse(line.front(), 1.5, 1.5); // a lone sample between gaps
        else if (line.size() > 1)
            painter->drawPolyline(line);
        line.clear();
    };
    for (const Column& c : cols) {
        if (!c.joined)
            flush();
        if (c.samples == 1) {
            const QPointF p(key->coordToPixel(c.key), value->coordToPixel(c.first));
            line << p;
            if (marks)
                painter->drawEllipse(p, 2.5, 2.5);
            continue;
        }
        const double x = left + (c.pixel + 0.5) * step;
        line << QPointF(x, value->coordToPixel(c.first)) << QPointF(x, value->coordToPixel(c.min))
             << QPointF(x, value->coordToPixel(c.max)) << QPointF(x, value->coordToPixel(c.last));
    }
    flush();
}

void SeriesPlottable::drawLegendIcon(QCPPainter* painter, const QRectF& rect) const
{
    applyDefaultAntialiasingHint(painter);
    painter->setPen(mPen);
    painter->drawLine(QLineF(rect.left(), rect.center().y(), rect.right(), rect.center().y()));
}

} // namespace vantor::plot
