#pragma once
// Vantor.ini: sections of key/value pairs in one UTF-16LE file. Names are
// case-insensitive and kept in lower case; values are kept in their escaped
// file form so that a multi-line value stays on one line.
#include <cstdint>
#include <optional>
#include <QByteArray>
#include <QSet>
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
    // for an empty path, a file that cannot be opened, no memory for it, or
    // bytes in an encoding that Decode does not know. A path that failed to
    // load is never saved over (see Save) until it loads.
    virtual bool Load(const QString& path);
    // Load from bytes already read; false (store unchanged) when Decode
    // refuses them.
    bool LoadFromBytes(const QByteArray& bytes);
    virtual void Clear();
    // Writes the whole store over an existing file, through a temporary file
    // beside it that replaces the old one. Never creates the file and never
    // writes into it in place: false when it is missing, cannot be written,
    // its folder takes no temporary file, or it did not load.
    virtual bool Save(const QString& path);
    // True when the last Load of `path` failed, so Save refuses it.
    bool DidNotLoad(const QString& path) const;
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
    // True when LowerName would return `name` unchanged.
    static bool IsLowerName(QStringView name);
    // The text of a settings file as an editor may have re-saved it: UTF-16
    // little-endian (this store's own form, with or without a byte order
    // mark), UTF-16 big-endian with a mark, or UTF-8 with or without a mark.
    // nullopt for anything else (for example 8-bit text in a code page), so
    // that such a file is refused rather than read as empty and later
    // overwritten. The text ends at its first zero character.
    static std::optional<QString> Decode(const QByteArray& bytes);

private:
    using KeyMap = SettingsHashMap<QString>;
    KeyMap& CurrentSection();
    // Takes decoded text as the store's contents; false (store unchanged)
    // for none.
    bool Adopt(std::optional<QString> text);
    void Parse(QStringView text);

    // The text of the last load. Values and lower-case key names read from it
    // refer into it rather than each holding a copy (a large file costs no
    // allocation per value), so it lives as long as the store it filled.
    QString m_text;
    QString m_sectionName;
    QString m_sectionKey;
    SettingsHashMap<KeyMap> m_sections;
    QSet<QString> m_notLoaded; // absolute paths whose last Load failed
};
