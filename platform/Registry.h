#pragma once
// A small file-backed registry below the device root:
// <root>/Registry/HKLM.reg and HKCU.reg, each with lines
//   [Software\ZXQ\SysSetup\LocalSetup]
//   "LanguagePrefix"="EN_"
// Key and value names match without regard to case.
#include <cstdint>
#include <QString>

namespace platform {

enum class Hive { LocalMachine, CurrentUser };

class RegKey {
public:
    RegKey() = default;
    bool valid() const { return m_open; }
    // Fails (false) for a missing hive file or key.
    bool open(Hive hive, const QString& path);
    // Copies the string value into a buffer of bufferBytes bytes as UTF-16
    // with its terminator; fails for a missing value or a buffer too small.
    bool queryString(const QString& name, char16_t* buffer, uint32_t bufferBytes) const;
    bool queryString(const QString& name, QString& value) const;
    void close();
    // Writes the hive file and its folder entry through to the disk; fails
    // for a closed key, or when the hive file is gone or cannot be synced.
    bool flush() const;

private:
    bool m_open = false;
    Hive m_hive = Hive::LocalMachine;
    QString m_path;
};

// Writes a string value, creating hive and key as needed (set-up and tests).
bool regSetString(Hive hive, const QString& keyPath, const QString& name, const QString& value);

} // namespace platform
