#include "Resources.h"

#include "CompiledScript.h"

#include "platform/DevicePath.h"

#include <QDir>
#include <QFileInfo>
#include <QLibrary>
#include <QLoggingCategory>
#include <QThread>
#include <future>
#include <memory>
#include <mutex>
#include <system_error>

namespace ui {

namespace {

struct State {
    std::mutex mutex;
    QString builtinPath;
    std::optional<ResourceScript> builtin;
    bool builtinTried = false;
    std::future<ParseResult> prefetched; // the built-in script being read on a thread of its own
    QString builtinError;
    std::unique_ptr<QLibrary> library;
    std::optional<ResourceScript> fromLibrary;
};

State& state()
{
    static State s;
    return s;
}

// Caller holds the mutex.
const ResourceScript* builtinLocked(State& s)
{
    if (!s.builtinTried && !s.builtinPath.isEmpty()) {
        s.builtinTried = true;
        ParseResult r = s.prefetched.valid() ? s.prefetched.get() : readBuiltinScript(s.builtinPath);
        if (r.ok()) {
            s.builtin = std::move(r.script);
        } else {
            s.builtinError = r.error.toString();
            qWarning("resource script: %s", qPrintable(s.builtinError));
        }
    }
    return s.builtin ? &*s.builtin : nullptr;
}

using ScriptFn = const char* (*)();
using FileFn = const char* (*)(const char*);

} // namespace

void Resources::setBuiltinScript(const QString& path)
{
    State& s = state();
    std::lock_guard lock(s.mutex);
    s.prefetched = {}; // waits for a read of the script this one replaces
    s.builtinPath = path;
    s.builtin.reset();
    s.builtinTried = false;
    s.builtinError.clear();
}

void Resources::prefetchBuiltin()
{
    State& s = state();
    std::lock_guard lock(s.mutex);
    if (s.builtinTried || s.builtinPath.isEmpty() || s.prefetched.valid())
        return;
    // Qt takes the first thread that makes an object (the reader's file is
    // one) for the program's main thread: before there is an application
    // object, that must be this one.
    (void)QThread::currentThread();
    try {
        s.prefetched = std::async(std::launch::async, [path = s.builtinPath] { return readBuiltinScript(path); });
    } catch (const std::system_error&) {
        // No thread to spare: the first use reads it.
    }
}

void Resources::setBuiltin(ResourceScript script)
{
    State& s = state();
    std::lock_guard lock(s.mutex);
    s.prefetched = {};
    s.builtinPath.clear();
    s.builtin = std::move(script);
    s.builtinTried = true;
    s.builtinError.clear();
}

namespace {

// A name an #include of a library's script may use: a file name without any
// folder, so that it can only mean a file beside the library (or beside the
// program's built-in script).
bool isPlainFileName(const QString& name)
{
    return !name.isEmpty() && !name.contains(u'/') && !name.contains(u'\\') && !name.contains(u':') &&
           name != u"." && name != u"..";
}

// The text of `name` in `folder`, matched without regard to case as the
// platform's file names are; only regular files that lie in the folder itself.
std::optional<QString> readBeside(const QString& folder, const QString& name)
{
    if (folder.isEmpty())
        return std::nullopt;
    const QDir dir(folder);
    QString found;
    if (QFileInfo(dir.filePath(name)).isFile()) {
        found = dir.filePath(name);
    } else {
        for (const QString& entry : dir.entryList(QDir::Files))
            if (entry.compare(name, Qt::CaseInsensitive) == 0) {
                found = dir.filePath(entry);
                break;
            }
    }
    if (found.isEmpty())
        return std::nullopt;
    // Not through a link that leads out of the folder.
    const QString real = QFileInfo(found).canonicalFilePath();
    const QString realFolder = QFileInfo(folder).canonicalFilePath();
    if (real.isEmpty() || realFolder.isEmpty() || QFileInfo(real).path() != realFolder)
        return std::nullopt;
    const IncludeLoader reader = folderIncludeLoader();
    return reader(QFileInfo(real).fileName(), real);
}

} // namespace

bool Resources::loadLibrary(const QString& fileName, const QStringList& searchPath, QString* error)
{
    auto report = [&](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    // Only a plain file name, and only from the given folders: never through
    // the system's library search, which would run code from anywhere.
    if (!isPlainFileName(fileName))
        return report(QStringLiteral("\"%1\" is not a plain library file name").arg(fileName));
    QStringList folders = searchPath;
    if (folders.isEmpty())
        folders << platform::programFolder();
    QString chosen;
    for (const QString& folder : folders) {
        if (folder.isEmpty())
            continue;
        const QFileInfo candidate(QDir(folder).absoluteFilePath(fileName));
        if (candidate.isFile()) {
            chosen = candidate.absoluteFilePath();
            break;
        }
    }
    if (chosen.isEmpty())
        return report(QStringLiteral("%1 not found in %2").arg(fileName, folders.join(QStringLiteral(", "))));
    auto lib = std::make_unique<QLibrary>(chosen);
    if (!lib->load())
        return report(lib->errorString());
    auto script = reinterpret_cast<ScriptFn>(lib->resolve("diag_resource_script"));
    auto file = reinterpret_cast<FileFn>(lib->resolve("diag_resource_file"));
    if (!script)
        return report(QStringLiteral("%1 exports no diag_resource_script").arg(lib->fileName()));
    const char* text = script();
    if (!text)
        return report(QStringLiteral("%1 hands over no script").arg(lib->fileName()));

    QString builtinFolder;
    {
        State& s = state();
        std::lock_guard lock(s.mutex);
        if (!s.builtinPath.isEmpty())
            builtinFolder = QFileInfo(s.builtinPath).path();
    }
    const QString libraryFolder = QFileInfo(chosen).path();
    // The library's script may include what the library hands over, and
    // plain file names beside the library or beside the built-in script.
    IncludeLoader includes = [file, libraryFolder, builtinFolder](const QString& name,
                                                                 const QString&) -> std::optional<QString> {
        if (!isPlainFileName(name))
            return std::nullopt;
        if (file) {
            if (const char* t = file(name.toUtf8().constData()))
                return QString::fromUtf8(t);
        }
        if (auto t = readBeside(libraryFolder, name))
            return t;
        if (builtinFolder.startsWith(u':')) // embedded in the program
            return folderIncludeLoader({builtinFolder})(name, builtinFolder + QStringLiteral("/x"));
        return readBeside(builtinFolder, name);
    };
    const QString scriptName = QFileInfo(lib->fileName()).fileName() + QStringLiteral(":script.rc");
    ParseResult r = parseResourceScript(QString::fromUtf8(text), scriptName, includes);
    if (!r.ok())
        return report(r.error.toString());

    State& s = state();
    std::lock_guard lock(s.mutex);
    s.fromLibrary = std::move(r.script);
    if (s.library)
        s.library->unload();
    s.library = std::move(lib);
    return true;
}

void Resources::unloadLibrary()
{
    State& s = state();
    std::lock_guard lock(s.mutex);
    s.fromLibrary.reset();
    if (s.library)
        s.library->unload();
    s.library.reset();
}

bool Resources::libraryLoaded()
{
    State& s = state();
    std::lock_guard lock(s.mutex);
    return s.fromLibrary.has_value();
}

QString Resources::libraryPath()
{
    State& s = state();
    std::lock_guard lock(s.mutex);
    return s.library ? s.library->fileName() : QString();
}

std::optional<DialogTemplate> Resources::dialog(int id)
{
    State& s = state();
    std::lock_guard lock(s.mutex);
    if (s.fromLibrary)
        if (const DialogTemplate* d = s.fromLibrary->dialog(id))
            return *d;
    if (const ResourceScript* b = builtinLocked(s))
        if (const DialogTemplate* d = b->dialog(id))
            return *d;
    return std::nullopt;
}

std::optional<QString> Resources::string(int id)
{
    State& s = state();
    std::lock_guard lock(s.mutex);
    if (s.fromLibrary)
        if (auto t = s.fromLibrary->string(id))
            return t;
    if (const ResourceScript* b = builtinLocked(s))
        return b->string(id);
    return std::nullopt;
}

QString Resources::builtinError()
{
    State& s = state();
    std::lock_guard lock(s.mutex);
    builtinLocked(s);
    return s.builtinError;
}

QString loadString(int id)
{
    return Resources::string(id).value_or(QString());
}

} // namespace ui
