// Feeds arbitrary bytes to the maker's settings reader (\boot\Pellam.ini).
// From memory for every input; about one input in 32 also through a file
// below a scratch device root (one file round trip at most), checking that
// both ways read the same values for the keys the PEB screen asks.
#include <cstdint>
#include <cstdlib>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "devkit/CIniFile.h"
#include "platform/DevicePath.h"
#include "fuzz/FuzzSupport.h"

namespace {

const char* const kKeys[] = {"defaultUCN2PL", "toleranceDGN2PL", "defaultCWPrintOffset", "", "=", "[General]"};

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
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    CIniFile fromMemory;
    fromMemory.LoadFromBytes(bytes);
    const bool hasGeneral = fromMemory.CurrentSection(QStringLiteral("General"));
    for (const char* key : kKeys) {
        const QString v = fromMemory.GetStringValue(QString::fromLatin1(key));
        fuzzing::check(hasGeneral || v.isEmpty());
    }
    if (size > size_t(CIniFile::kMaxFileBytes) || (hashOf(data, size) & 31) != 0)
        return 0;

    const QTemporaryDir& root = fuzzing::scratchRoot(QStringLiteral("boot"));
    QFile f(root.filePath(QStringLiteral("boot/Pellam.ini")));
    fuzzing::check(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    fuzzing::check(f.write(bytes) == bytes.size());
    f.close();
    CIniFile fromFile;
    fuzzing::check(fromFile.LoadIniFile(QStringLiteral("\\boot\\Pellam.ini")));
    fromFile.CurrentSection(QStringLiteral("general"));
    for (const char* key : kKeys)
        fuzzing::check(fromMemory.GetStringValue(QString::fromLatin1(key)) == fromFile.GetStringValue(QString::fromLatin1(key)));
    fuzzing::check(fromMemory.SectionCount() == fromFile.SectionCount());
    return 0;
}
