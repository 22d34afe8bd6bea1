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
    // path from then on); when that fails, the warning naming `path`. From
    // then on a failed save of the settings is shown with SaveWarning.
    // True when the file loaded.
    static bool LoadSettings(const QString& path);
    // For a missing file.
    static QString LoadWarning(const QString& path);
    // For a file that exists but could not be read (or is in an encoding the
    // settings store does not know); it is then left untouched.
    static QString UnreadableWarning(const QString& path);
    static QString SaveWarning(const QString& path);
};

} // namespace vantor
