#pragma once
// `vantor --run <test>`: one cycling test without a window, for automation
// and production lines. The same run as the dialog's, from the test's
// settings record; the result lines go to standard output exactly as the
// list shows them.
#include <QStringList>

namespace vantor {

// True when the arguments ask for a headless run or the list of tests.
bool wantsHeadless(int argc, char* argv[]);

// Exit status: 0 every cycle passed, 1 a FAIL line, 2 a refused run or bad
// arguments.
int runHeadless(const QStringList& arguments);

} // namespace vantor
