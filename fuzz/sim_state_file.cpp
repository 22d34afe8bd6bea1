// The simulated printer's state file: any bytes load without a crash (as
// factory values and a warning when they are not a valid file). Most inputs
// are wrapped in the file's header and a correct checksum, so that the
// parser behind the checksum is reached. What loads is counted on, saved and
// loaded again unchanged.
#include <cstdint>
#include <cstdlib>
#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include "sim/printer/StateStore.h"
#include "fuzz/FuzzSupport.h"

namespace {

uint32_t fnv1a(const QByteArray& bytes)
{
    uint32_t h = 2166136261u;
    for (char c : bytes)
        h = (h ^ uint8_t(c)) * 16777619u;
    return h;
}

const QString& scratchFile()
{
    static QTemporaryDir dir;
    static const QString path = dir.filePath(QStringLiteral("printer-state.ini"));
    return path;
}

const char* const kKeys[] = {
    sim::stateKey::CutsMade,        sim::stateKey::InchesPrinted,      sim::stateKey::InchesFed,
    sim::stateKey::TapeTagChipVersion, sim::stateKey::KeyboardLayout,  sim::stateKey::PlatenEncoderRatio,
    sim::stateKey::PlatenPulses,    sim::stateKey::XYCuts,             "Unknown.Key",
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    if (size > 0 && (data[0] & 1) == 0) {
        const QByteArray body = "[PrinterState]\nVersion=1\n" + bytes.mid(1);
        bytes = body + "Checksum=" + QByteArray::number(fnv1a(body), 16).rightJustified(8, '0') + '\n';
    }
    const QString& path = scratchFile();
    {
        QFile f(path);
        fuzzing::check(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        fuzzing::check(f.write(bytes) == bytes.size());
    }
    sim::StateStore store(path, 7);
    const bool loaded = store.load();
    fuzzing::check(loaded == store.warning().isEmpty());
    for (const char* key : kKeys) {
        (void)store.integer(key);
        (void)store.real(key);
        store.add(key, 1); // what a request does to a usage counter
    }
    if (!store.save())
        return 0;
    sim::StateStore again(path, 7);
    fuzzing::check(again.load());
    for (const char* key : kKeys)
        fuzzing::check(again.integer(key) == store.integer(key));
    return 0;
}
