#pragma once
// Where a program keeps what it writes: Vantor.ini and the device root (the
// registry hives, \Store with the records, the simulator's state and spool).
//
// Run from the build folder that is the program's own folder, as always. An
// installed program cannot write beside itself: then it is the user's data
// folder ($XDG_DATA_HOME/printer-diagnostics, by default
// ~/.local/share/printer-diagnostics), which the first start fills once from
// the starter files installed under share/. Seeding is the only time files
// are created; after it, what is there belongs to the user, and a file the
// user deleted stays deleted.
#include <QString>

namespace platform {

inline constexpr const char* kDataFolderName = "printer-diagnostics";

// The folder that holds Vantor.ini and the device folder, with a trailing
// separator: the program's folder until useDataFolder() says otherwise.
QString dataFolder();
void useDataFolder(const QString& folder); // empty: back to the program's folder

// True when this process may create files in `folder` (an existing folder).
bool folderWritable(const QString& folder);

// $XDG_DATA_HOME/printer-diagnostics when XDG_DATA_HOME is an absolute path,
// else $HOME/.local/share/printer-diagnostics.
QString userDataFolder();

// The starter files of an installed program (`programFolder`/<relative
// starter folder>), or empty when the program is not installed (none there).
QString installedStarterFolder(const QString& programFolder);

struct DataFolderChoice {
    QString folder;         // with a trailing separator
    bool userData = false;  // the user's data folder, not the program's
    bool seeded = false;    // this start filled it
    QString starter;        // where the seed came from
    QString error;          // a seed that failed; the folder is then used as it is
};

// The choice alone, nothing touched: the program's folder when the program
// is not installed and may write there, else the user's data folder.
DataFolderChoice chooseDataFolder(const QString& programFolder, bool programFolderWritable,
                                  const QString& starterFolder, const QString& userFolder);

// Copies the starter tree into `target` when `target` does not exist: into a
// temporary folder beside it, renamed into place, so that a start cut short
// or a second program starting at the same time never leaves half a seed.
// False with `error` when it could not; true and `seeded` false when the
// target was there already.
bool seedOnce(const QString& starter, const QString& target, bool* seeded, QString* error);

// What a program's main() calls before anything reads the device root or
// the settings: chooses, seeds when needed, and makes it the data folder.
DataFolderChoice prepareDataFolder();

} // namespace platform
