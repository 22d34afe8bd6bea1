#pragma once
// `vantor --station [line.json]`: the station window instead of the test
// menu, with the sequence given (or the one used last) loaded.
#include <QStringList>

namespace vantor::station {

// True when the arguments ask for the station.
bool wantsStation(const QStringList& arguments);
// The file after --station, or "" when none is given.
QString stationFile(const QStringList& arguments);

// Loads Vantor.ini as the menu does, opens the window and runs the event
// loop until it closes. The QApplication exists already.
int runStation(const QStringList& arguments);

} // namespace vantor::station
