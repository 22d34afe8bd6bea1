// Feeds arbitrary bytes to the settings store as the content of Vantor.ini.
// From memory: decode and parse, serialise, parse the serialised form again.
// Checks: no crash; escaping round-trips any text; bytes the store refuses
// leave it unchanged; a reload of a serialised store never holds more lines
// than the store that was serialised (quotes and blanks may merge names or
// turn a key into a header, but nothing appears from nowhere). About one
// input in 64 also goes through the real file path (Load, Save, Load): one
// file round trip at most per input.
#include <cstdint>
#include <cstdlib>
#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include "vantor/settings/CSettingsFile.h"
#include "fuzz/FuzzSupport.h"

namespace {

const QString& scratchPath()
{
    static QTemporaryDir dir;
    static const QString path = dir.filePath(QStringLiteral("Vantor.ini"));
    return path;
}

bool writeBytes(const QString& path, const uint8_t* data, size_t size)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           f.write(reinterpret_cast<const char*>(data), qint64(size)) == qint64(size);
}

qsizetype countLines(const QByteArray& serialized)
{
    qsizetype lines = 0;
    for (qsizetype i = 0; i + 1 < serialized.size(); i += 2)
        if (serialized[i] == '\n' && serialized[i + 1] == 0)
            ++lines;
    return lines;
}

uint32_t hashOf(const uint8_t* data, size_t size)
{
    uint32_t h = 2166136261u;
    for (size_t i = 0; i < size; ++i)
        h = (h ^ data[i]) * 16777619u;
    return h;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Any text escapes and unescapes to itself.
    QString text;
    for (size_t i = 0; i + 1 < size; i += 2)
        text.append(QChar(char16_t(data[i] | (data[i + 1] << 8))));
    fuzzing::check(CSettingsFile::Unescape(CSettingsFile::Escape(text)) == text);
    (void)CSettingsFile::ToLong(text);

    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    CSettingsFile file;
    file.SetSection("marker");
    file.SetInt("kept", 1);
    const QByteArray before = file.Serialize();
    if (!file.LoadFromBytes(bytes)) {
        fuzzing::check(!CSettingsFile::Decode(bytes).has_value());
        fuzzing::check(file.Serialize() == before); // a refused load changes nothing
        return 0;
    }
    file.SetSection("platen");
    (void)file.GetInt("cycle", 1);
    (void)file.GetString("RampUpProfile", "");
    const QByteArray saved = file.Serialize();

    CSettingsFile again;
    fuzzing::check(again.LoadFromBytes(saved));
    fuzzing::check(countLines(again.Serialize()) <= countLines(saved));

    if ((hashOf(data, size) & 63) == 0) {
        const QString& path = scratchPath();
        if (!writeBytes(path, data, size))
            return 0;
        CSettingsFile fromFile;
        fuzzing::check(fromFile.Load(path));
        fuzzing::check(fromFile.Save(path));
        CSettingsFile reloaded;
        fuzzing::check(reloaded.Load(path));
        fuzzing::check(countLines(reloaded.Serialize()) <= countLines(fromFile.Serialize()));
    }
    return 0;
}
