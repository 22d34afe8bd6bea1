#pragma once
// `vantor --station [line.json]`: the station window instead of the test
// menu, with the sequence given (or the one used last) loaded. The program's
// option table parses the command line (--station is a window option).
#include <QString>

namespace vantor::station {

// Loads Vantor.ini as the menu does, opens the window and runs the event
// loop until it closes. The QApplication exists already.
int runStation(const QString& file);

} // namespace vantor::station
