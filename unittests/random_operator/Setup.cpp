#include "Setup.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <cstdio>

#include "protocol/RequestCodes.h"
#include "protocol/UserRequests.h"
#include "sim/printer/StateStore.h"

namespace randomop {

void copyTree(const QString& from, const QString& to)
{
    QDirIterator it(from, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString src = it.next();
        const QString dst = to + src.mid(from.size());
        QDir().mkpath(QFileInfo(dst).path());
        QFile::copy(src, dst);
    }
}

namespace {
const std::vector<uint32_t>& requestCodes()
{
    using namespace protocol;
    static const std::vector<uint32_t> codes = {
        IOCTL_PRN_MOTION, IOCTL_PRN_SENSOR_READ, IOCTL_PRN_TAGCHIP, IOCTL_PRN_PRINT, IOCTL_PRN_GPIO,
        IOCTL_PRN_REGISTER, IOCTL_PRN_ADC_READ, IOCTL_PRN_TEST_RUN, IOCTL_PRN_RIBBON_COLOR, IOCTL_PRN_PEB,
        IOCTL_PRN_CUT_FORCE, IOCTL_PRN_GET_DOT_WIDTH, IOCTL_PRN_PRINT_PREPARE, IOCTL_PRN_GET_BUSY,
        IOCTL_PRN_GET_PEB, IOCTL_PRN_GET_USAGE, IOCTL_PRN_JOB_BEGIN, IOCTL_PRN_JOB_END, IOCTL_PRN_IMAGE_BEGIN,
        IOCTL_PRN_IMAGE_END, IOCTL_PRN_GET_CROSSWEB_OFFSET, IOCTL_PRN_GET_HEAD_RESISTANCE,
        IOCTL_PRN_SET_HEAD_RESISTANCE, IOCTL_PRN_GET_CUT_FORCE_COEFFS, IOCTL_PRN_GET_GAP_SENSOR_DAC,
        IOCTL_PRN_GET_TAPE_TAGCHIP_VERSION, IOCTL_PRN_GET_RIBBON_TAGCHIP_VERSION, IOCTL_KBD_SET_LAYOUT,
        IOCTL_KBD_GET_LAYOUT,
    };
    return codes;
}
} // namespace

void switchFaults(sim::FaultInjector& faults, std::mt19937_64& rng, QStringList& log)
{
    faults.clear();
    const uint64_t mode = rng() % 5;
    if (mode == 0) {
        log << QStringLiteral("none");
        return;
    }
    const uint64_t n = 2 + rng() % 12;
    const double p = double(1 + rng() % 40) / 100.0;
    const int64_t ms = int64_t(rng() % 400);
    for (uint32_t code : requestCodes()) {
        if (mode == 1 || (mode == 4 && rng() % 3 == 0))
            faults.setRule(code, sim::FaultRule::everyNth(n));
        if (mode == 2 || (mode == 4 && rng() % 3 == 0))
            faults.setRule(code, sim::FaultRule::random(p));
        if (mode == 3 || (mode == 4 && rng() % 2 == 0))
            faults.setLatency(code, ms);
    }
    switch (mode) {
    case 1: log << QStringLiteral("every %1th request fails").arg(n); break;
    case 2: log << QStringLiteral("%1 of the requests fail").arg(p); break;
    case 3: log << QStringLiteral("%1 ms latency").arg(ms); break;
    default: log << QStringLiteral("mixed (every %1th, %2 at random, %3 ms)").arg(n).arg(p).arg(ms); break;
    }
}

bool stateFileLoads(const QString& hostFile)
{
    if (!QFileInfo::exists(hostFile))
        return false;
    sim::StateStore store(hostFile, 1);
    return store.load();
}

QString enterSandbox(const QTemporaryDir& dir)
{
    const QString folder = dir.filePath(QStringLiteral("sandbox/1/2/3/4/5/picked"));
    QDir().mkpath(folder);
    QDir::setCurrent(folder);
    return folder;
}

bool parseOptions(int argc, char** argv, Options& options)
{
    QString error;
    options = Options::parse(argc, argv, &error);
    if (error.isEmpty())
        return true;
    std::fprintf(stderr, "%s\nusage: %s [--seed S] [--actions N] [--screen NAME] [--log FILE]\n", qPrintable(error),
                 argv[0]);
    return false;
}

} // namespace randomop
