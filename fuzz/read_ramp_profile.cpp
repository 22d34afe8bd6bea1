// The ramp profile path the program really uses: ReadRampProfile on a file
// below a scratch device root, by device path and by host path. Checks: no
// crash, and the table equals what the in-memory parser makes of the bytes.
#include <cstdint>
#include <cstdlib>
#include <vector>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "platform/DevicePath.h"
#include "vantor/driver/RampProfile.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QTemporaryDir& root = fuzzing::scratchRoot(QStringLiteral("Hard Disk/Profiles"));
    const QString host = root.filePath(QStringLiteral("Hard Disk/Profiles/Up.txt"));
    {
        QFile f(host);
        fuzzing::check(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        fuzzing::check(f.write(reinterpret_cast<const char*>(data), qint64(size)) == qint64(size));
    }
    std::vector<uint32_t> expected;
    vantor::driver::parseRampProfile(reinterpret_cast<const char*>(data), size, expected);
    // The device path as an engineer types it, in any case; every other
    // input goes by host path.
    const QString path = (size % 2) ? QStringLiteral("\\hard disk\\PROFILES\\up.txt") : host;
    const vantor::driver::RampTable table = vantor::driver::ReadRampProfile(path);
    fuzzing::check(table.count() == expected.size());
    for (size_t i = 0; i < table.count(); ++i)
        fuzzing::check(table[i] == expected[i]);
    return 0;
}
