#pragma once
// `vantor --run <test>`: one cycling test without a window, for automation
// and production lines. The same run as the dialog's, from the test's
// settings record; the result lines go to standard output exactly as the
// list shows them.
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

#include "vantor/measure/Series.h"

namespace vantor {

// True when a sequence file's steps name a plot: its run then takes a
// GUI application (offscreen). False too for a file that does not read.
bool sequenceDrawsPlots(const QString& path);

// Exit status: 0 every cycle passed, 1 a FAIL line, 2 a refused run or bad
// arguments.
int runHeadless(const QStringList& arguments);

// What draws `--plot FILE` and a sequence step's "plot" (the plotting
// library is the program's choice); without one, both are refused before
// the run.
using HeadlessPlotter = std::function<bool(const std::vector<measure::Series>& series, const QString& path)>;
void setHeadlessPlotter(HeadlessPlotter plotter);

} // namespace vantor
