#pragma once
// The process-wide settings: the one CSettingsFile, the path of Vantor.ini,
// and the table of test records, each created on first use and kept for the
// rest of the process. Used on the user-interface thread only.
#include <array>
#include <functional>
#include <memory>
#include <QString>

#include "vantor/settings/CSettingsFile.h"
#include "vantor/settings/CTestSettings.h"
#include "vantor/settings/TestSettingsRecords.h"

// Told the settings path when writing the settings file failed, so that the
// program can show it to the operator.
using SettingsSaveFailure = std::function<void(const QString& path)>;

// A table of records over one settings file; the process has one (below),
// tests may build their own.
class TestSettingsStore {
public:
    // `path` is read at every Store, so a later SetSettingsPath counts.
    TestSettingsStore(CSettingsFile& file, const QString& path);
    TestSettingsStore(const TestSettingsStore&) = delete;
    TestSettingsStore& operator=(const TestSettingsStore&) = delete;

    // The record of the index, created on first use; nullptr for an unused
    // index. The same object every time.
    CTestSettings* Get(int index);
    // Get, then the record's Load.
    CTestSettings* Fetch(int index);
    // Get, then the record's Save, then the whole file written to the path.
    // False when the file could not be written (the store is updated anyway).
    // A failed write is reported to the failure handler once, until a write
    // succeeds again; a file that did not load is not reported here, since
    // the program warned about it at start-up.
    bool Store(int index);
    void SetFailureHandler(SettingsSaveFailure handler) { m_onFailure = std::move(handler); }

    CSettingsFile& File() { return m_file; }

private:
    CSettingsFile& m_file;
    const QString& m_path;
    std::array<std::unique_ptr<CTestSettings>, kTestSettingsSlots> m_records;
    SettingsSaveFailure m_onFailure;
    bool m_failureReported = false;
};

// The process-wide settings file.
CSettingsFile& TheSettingsFile();
// The path of Vantor.ini; empty until the application sets it.
const QString& SettingsPath();
void SetSettingsPath(const QString& path);
// The data folder (the program's folder; the user's data folder for an
// installed program, platform/DataFolder.h) followed by "Vantor.ini" (empty
// when the folder is unknown).
QString DefaultSettingsPath();
// Start-up: sets the settings path and loads the file once. False when the
// file is missing or unreadable; the application then warns with
// SettingsPath() and runs on defaults (and later saves fail quietly, never
// writing over a file that did not load).
bool LoadSettingsFile(const QString& path);

CTestSettings* GetTestSettings(int index);
CTestSettings* FetchTestSettings(int index);
bool StoreTestSettings(int index);
// The handler of the process-wide store (see TestSettingsStore::Store).
void SetSettingsSaveFailureHandler(SettingsSaveFailure handler);

// Typed access: FetchTestSettings<CPlatenSettings>() or, for the tape rewind
// modes, FetchTestSettings<CTapeRewindSettings>(CTapeRewindSettings::IndexOfMode(mode)).
template <class T>
T* GetTestSettings(int index = T::kIndex)
{
    return dynamic_cast<T*>(GetTestSettings(index));
}
template <class T>
T* FetchTestSettings(int index = T::kIndex)
{
    return dynamic_cast<T*>(FetchTestSettings(index));
}

// For tests: replaces the process-wide file, path and records with fresh ones
// for its lifetime, so that no test sees another's values.
class ScopedSettingsContext {
public:
    explicit ScopedSettingsContext(const QString& path = QString());
    ~ScopedSettingsContext();
    ScopedSettingsContext(const ScopedSettingsContext&) = delete;
    ScopedSettingsContext& operator=(const ScopedSettingsContext&) = delete;

    struct Context;

private:
    std::unique_ptr<Context> m_context;
    Context* m_previous;
};
