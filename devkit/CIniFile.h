#pragma once
// The maker's settings file reader: sections in brackets, "key=value" lines,
// ';' or '#' comments. Section and key names match without regard to case,
// as the platform's own files do. The file may be UTF-8, UTF-16 with a byte
// order mark, or ANSI. Safe from any thread.
#include <QByteArray>
#include <QString>
#include <map>
#include <mutex>

class CIniFile {
public:
    // Files larger than this are refused rather than read into memory.
    static constexpr qint64 kMaxFileBytes = 4 * 1024 * 1024;

    CIniFile() = default;
    CIniFile(const CIniFile&) = delete;
    CIniFile& operator=(const CIniFile&) = delete;

    // Reads a device path (\boot\Pellam.ini). False when the file cannot be
    // read; the object is then empty. The current section is kept by name.
    bool LoadIniFile(const QString& path);
    // Parses settings text already in memory (what LoadIniFile does after reading).
    void LoadFromBytes(const QByteArray& bytes);
    // Selects the section later reads come from; false when the file has no
    // such section (reads then give empty values).
    bool CurrentSection(const QString& section);
    // The value of `key` in the current section, empty when missing.
    QString GetStringValue(const QString& key) const;

    bool IsLoaded() const;
    int SectionCount() const;

private:
    using Section = std::map<QString, QString>; // lower-case key -> value
    mutable std::mutex m_mutex;
    std::map<QString, Section> m_sections; // lower-case name -> keys
    QString m_current;                     // lower-case
    bool m_loaded = false;
};
