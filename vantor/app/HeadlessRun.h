#pragma once
// `vantor --run <test>`: one cycling test without a window, for automation
// and production lines. The same run as the dialog's, from the test's
// settings record; the result lines go to standard output exactly as the
// list shows them.
#include <QStringList>
#include <functional>
#include <vector>

#include "vantor/measure/Series.h"

namespace vantor {

// True when the arguments ask for a headless run or the list of tests.
bool wantsHeadless(int argc, char* argv[]);

// Exit status: 0 every cycle passed, 1 a FAIL line, 2 a refused run or bad
// arguments.
int runHeadless(const QStringList& arguments);

// What draws `--plot FILE` (the plotting library is the program's choice);
// without one, --plot is refused before the run.
using HeadlessPlotter = std::function<bool(const std::vector<measure::Series>& series, const QString& path)>;
void setHeadlessPlotter(HeadlessPlotter plotter);

} // namespace vantor
