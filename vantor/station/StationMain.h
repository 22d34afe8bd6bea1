#pragma once
// `vantor --station [line.json]`: the station window instead of the test
// menu, with the sequence given (or the one used last) loaded. The program's
// option table parses the command line (--station is a window option).
#include <QString>

namespace ui {
class ResultList;
}

namespace vantor::station {

// The settings section whose table reads the lines of `list`: a test
// dialog's own, the step a record view shows, or the step whose lines the
// station window shows; "" when none is known. What a list's "Plot" reads with.
QString sectionOfLines(const ui::ResultList& list);

// Loads Vantor.ini as the menu does, opens the window and runs the event
// loop until it closes. The QApplication exists already.
int runStation(const QString& file);

} // namespace vantor::station
