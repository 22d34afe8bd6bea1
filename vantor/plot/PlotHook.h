#pragma once
// What opens a plot from a result list: "Plot" in its context menu and
// Ctrl+P. The program installs it once; `read` turns the list's lines into
// series (the measurements' classifier), and the window owns what it read.
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

} // namespace vantor::plot
