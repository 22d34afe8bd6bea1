// The registry hive reader: any bytes as <root>/Registry/HKLM.reg. Checks:
// no crash; the language prefix reads into the program's 512-byte buffer
// terminated, or fails; a value written back through the registry reads back
// exactly (the hive's quoting round-trips any text), for a share of the
// inputs.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QHashFunctions>
#include <QTemporaryDir>

#include "platform/DevicePath.h"
#include "platform/Registry.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QTemporaryDir& root = fuzzing::scratchRoot(QStringLiteral("Registry"));
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    {
        QFile f(root.filePath(QStringLiteral("Registry/HKLM.reg")));
        fuzzing::check(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        fuzzing::check(f.write(bytes) == bytes.size());
    }
    const QString localSetup = QStringLiteral("Software\\ZXQ\\SysSetup\\LocalSetup");
    platform::RegKey key;
    if (key.open(platform::Hive::LocalMachine, localSetup)) {
        char16_t buffer[256];
        std::memset(buffer, 0xAB, sizeof buffer);
        if (key.queryString(QStringLiteral("LanguagePrefix"), buffer, sizeof buffer)) {
            // Terminated inside the buffer.
            fuzzing::check(std::char_traits<char16_t>::find(buffer, 256, u'\0') != nullptr);
        }
        key.close();
    }

    // The first line of the input as a key name and the rest as a value:
    // written through the registry, read back exactly. A write replaces the
    // hive through a synced temporary file, so only about one input in 16
    // takes this way.
    if ((qHash(bytes) & 15) != 0)
        return 0;
    const QString text = QString::fromUtf8(bytes);
    const qsizetype nl = text.indexOf(u'\n');
    QString name = nl < 0 ? text : text.left(nl);
    QString value = nl < 0 ? QString() : text.mid(nl + 1);
    name.remove(u'\r');
    value.remove(u'\n');
    value.remove(u'\r');
    name = name.trimmed();
    if (name.isEmpty())
        return 0;
    if (!platform::regSetString(platform::Hive::CurrentUser, localSetup, name, value))
        return 0;
    platform::RegKey user;
    fuzzing::check(user.open(platform::Hive::CurrentUser, localSetup));
    QString back;
    fuzzing::check(user.queryString(name, back));
    fuzzing::check(back == value);
    QFile::remove(root.filePath(QStringLiteral("Registry/HKCU.reg")));
    return 0;
}
