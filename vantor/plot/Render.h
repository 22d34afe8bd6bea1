#pragma once
// A plot drawn straight to a PNG file, with no window and no display: the
// command line's `--plot out.png` and a sequence step's "plot" key. Needs a
// QApplication (on the offscreen platform where there is no display).
#include <QSize>
#include <QString>
#include <vector>

#include "vantor/plot/Curves.h"

namespace vantor::plot {

// Every series as one curve, with its legend; a run without series gives a
// picture saying "Nothing to plot in these lines.". False when the file
// cannot be written or no QApplication runs.
bool renderPng(const std::vector<Series>& series, const QString& path, QSize size = QSize(1200, 600));

} // namespace vantor::plot
