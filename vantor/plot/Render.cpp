#include "vantor/plot/Render.h"

#include <QApplication>
#include <qcustomplot.h>

#include "vantor/plot/PlotView.h"

namespace vantor::plot {

bool renderPng(const std::vector<Series>& series, const QString& path, QSize size)
{
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return false;
    PlotView view(borrowSeries(series));
    view.resize(size);
    if (view.empty())
        return view.exportPng(path);
    QCustomPlot* plot = view.plot();
    plot->legend->setVisible(view.curveCount() <= 16);
    // The legend in the free corner of a rising curve.
    plot->axisRect()->insetLayout()->setInsetAlignment(0, Qt::AlignTop | Qt::AlignLeft);
    plot->setNoAntialiasingOnDrag(false);
    return plot->savePng(path, size.width(), size.height());
}

} // namespace vantor::plot
