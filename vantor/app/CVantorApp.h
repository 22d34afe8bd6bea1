#pragma once
// The engineering program: finds Vantor.ini beside itself, loads it once,
// and runs the test menu; when the menu closes the program ends.
#include <QString>

namespace vantor {

class CVantorApp {
public:
    // Start-up in full; returns when the menu has closed.
    int InitInstance();
    // The first two steps: load the settings file from `path` (the settings
    // path from then on); when that fails, the warning naming `path`.
    // True when the file loaded.
    static bool LoadSettings(const QString& path);
    static QString LoadWarning(const QString& path);
};

} // namespace vantor
