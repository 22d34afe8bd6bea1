#pragma once
// What opens a plot from a result list: "Plot" in its context menu and
// Ctrl+P. The program installs it once; `read` turns the list's lines into
// series (the measurements' classifier), and the window owns what it read.
#include <QJsonObject>
#include <QStringList>
#include <functional>
#include <vector>

#include "ui/ResultList.h"
#include "vantor/plot/Curves.h"

namespace vantor::plot {

using SeriesReader = std::function<std::vector<Series>(const ui::ResultList&)>;

// Every result list of the program opens its plot through `read`; an empty
// reader takes the offer away again.
void installPlotHandler(SeriesReader read);

// The plot window of `list` (what the handler does): a window of the list's
// dialog, titled after it.
void openPlotFor(const ui::ResultList& list, std::vector<Series> series);

class PlotView;

// A step of a run's record as a plot (the station's record view): its
// "lines" read by `collect` with the step's "section", the view owning what
// was read.
using LinesReader = std::function<std::vector<Series>(const QString& section, const QStringList& lines)>;
PlotView* plotOfStep(const QJsonObject& step, const LinesReader& collect, QWidget* parent = nullptr);

} // namespace vantor::plot
