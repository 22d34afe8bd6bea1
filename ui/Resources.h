#pragma once
// The resources in force: the program's built-in script (embedded with the
// Qt resource system), replaced by a resource library once one is loaded.
//
// A resource library is a shared object that exports
//     extern "C" const char* diag_resource_script();          // UTF-8 script text
// and optionally
//     extern "C" const char* diag_resource_file(const char* name); // an #include's text, or null
// Includes it does not supply are read beside the library or beside the
// built-in script, so a library can share the program's resource.h; an
// include with a folder in its name is refused.
//
// All functions are safe from any thread.
#include "ResourceScript.h"

#include <QStringList>
#include <optional>

namespace ui {

class Resources {
public:
    // The embedded script, e.g. ":/vantor/vantor.rc"; parsed on first use.
    static void setBuiltinScript(const QString& path);
    // Starts reading the built-in script on a thread of its own, so that a
    // program's start-up goes on meanwhile; its first use takes the result.
    // Called on the main thread, also before the application object exists.
    static void prefetchBuiltin();
    // A script parsed elsewhere (tools, tests).
    static void setBuiltin(ResourceScript script);

    // Loads `fileName` (a plain file name, no folder) by its absolute path in
    // the first folder of `searchPath` that has it (default: the program's
    // folder); never through the system's library search. On success its
    // script replaces the built-in templates and strings; on failure nothing
    // changes and false is returned. The script's #include names must be
    // plain file names: supplied by the library, or read beside it or beside
    // the built-in script.
    static bool loadLibrary(const QString& fileName, const QStringList& searchPath = {}, QString* error = nullptr);
    static void unloadLibrary();
    static bool libraryLoaded();
    static QString libraryPath();

    // A copy of the template in force (the library's, else the built-in one).
    static std::optional<DialogTemplate> dialog(int id);
    static std::optional<QString> string(int id);
    // Why the built-in script did not load, if it did not.
    static QString builtinError();
};

// The string table entry in force; empty when there is none.
QString loadString(int id);

} // namespace ui
