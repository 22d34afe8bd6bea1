#pragma once
// Vantor.ini: sections of key/value pairs in one UTF-16LE file. Names are
// case-insensitive and kept in lower case; values are kept in their escaped
// file form so that a multi-line value stays on one line.
#include <cstdint>
#include <QString>
#include <QStringView>

#include "vantor/settings/SettingsHashMap.h"

class CSettingsFile {
public:
    CSettingsFile();
    virtual ~CSettingsFile();
    CSettingsFile(const CSettingsFile&) = delete;
    CSettingsFile& operator=(const CSettingsFile&) = delete;

    // Replaces the store with the file's contents. False (store unchanged)
    // for an empty path, a file that cannot be opened, or no memory for it.
    virtual bool Load(const QString& path);
    virtual void Clear();
    // Writes the whole store over an existing file, through a temporary file
    // beside it that replaces the old one. Never creates the file: false when
    // it is missing or cannot be written.
    virtual bool Save(const QString& path);
    virtual QString GetString(const char* key, const char* defaultValue);
    // The value of `key` in the current section (created, empty, if missing),
    // or the default, which is not stored.
    virtual QString GetString(const QString& key, const QString& defaultValue);
    // Decimal conversion that stops at the first character not part of a
    // number: text reads as 0, "12ab" as 12.
    virtual int32_t GetLong(const QString& key, int32_t defaultValue);
    virtual int32_t GetInt(const QString& key, int32_t defaultValue);
    virtual void SetInt(const QString& key, int32_t value);
    virtual void SetSection(const char* name);
    // Makes a section current; nothing is created until a key is used.
    virtual void SetSection(const QString& name);
    virtual void SetString(const QString& key, const QString& value);

    const QString& SectionName() const { return m_sectionName; }
    // Inspection for tests and tools.
    qsizetype SectionCount() const { return m_sections.Size(); }
    bool HasSection(const QString& name) const;
    bool HasKey(const QString& section, const QString& key) const;
    // The file image that Save writes.
    QByteArray Serialize() const;

    static QString Escape(QStringView value);
    static QString Unescape(QStringView stored);
    static int32_t ToLong(QStringView text);
    static QString LowerName(QStringView name);
    static QStringView Trim(QStringView text);

private:
    using KeyMap = SettingsHashMap<QString>;
    KeyMap& CurrentSection();
    void Parse(QStringView text);

    QString m_sectionName;
    QString m_sectionKey;
    SettingsHashMap<KeyMap> m_sections;
};
