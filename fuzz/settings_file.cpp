// Feeds arbitrary bytes to the settings file loader, saves what it made and
// loads that again. Checks: no crash; escaping round-trips any text; a reload
// of a saved store succeeds and never holds more lines than the store that
// was saved (quotes and blanks may merge names or turn a key into a header,
// but nothing appears from nowhere).
#include <cstdint>
#include <cstdlib>
#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include "vantor/settings/CSettingsFile.h"

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

void check(bool ok)
{
    if (!ok)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Any text escapes and unescapes to itself.
    QString text;
    for (size_t i = 0; i + 1 < size; i += 2)
        text.append(QChar(char16_t(data[i] | (data[i + 1] << 8))));
    check(CSettingsFile::Unescape(CSettingsFile::Escape(text)) == text);
    (void)CSettingsFile::ToLong(text);

    const QString& path = scratchPath();
    if (!writeBytes(path, data, size))
        return 0;
    CSettingsFile file;
    check(file.Load(path));
    file.SetSection("platen");
    (void)file.GetInt("cycle", 1);
    (void)file.GetString("RampUpProfile", "");
    const QByteArray saved = file.Serialize();

    check(file.Save(path));
    CSettingsFile again;
    check(again.Load(path));
    check(countLines(again.Serialize()) <= countLines(saved));
    return 0;
}
