// A program that records runs the way vantor does, for the faults a test
// cannot stage in its own process: killed with SIGKILL, limited in file
// size, without write permission, or two of it on one file.
//   records_writer --db FILE [--server URL] [--count N] [--serial S]
//                  [--lines L] [--fsize BYTES] [--drop-root] [--direct] [--hold]
//                  [--expect-notice]
// --direct saves on this thread and prints "saved <uuid>" after each
// (count 0: until killed); otherwise the records go through the writer
// thread and the program prints "done" once they are stored, or with
// --hold "spooled" once the server has failed and they are all in the spool,
// and then waits to be killed. Notices go to standard error, one a line.
#include <QCoreApplication>
#include <QStringList>
#include <csignal>
#include <cstdio>
#include <sys/resource.h>
#include <unistd.h>

#include "TestRecords.h"
#include "records/Recorder.h"
#include "records/Store.h"

using namespace records;

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    auto value = [&](const char* name, const QString& fallback = {}) {
        const qsizetype i = args.indexOf(QString::fromLatin1(name));
        return i >= 0 && i + 1 < args.size() ? args[i + 1] : fallback;
    };
    auto flag = [&](const char* name) { return args.contains(QString::fromLatin1(name)); };

    if (const qlonglong limit = value("--fsize").toLongLong(); limit > 0) {
        // A full file system as a write sees it: EFBIG instead of a signal.
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit r{rlim_t(limit), rlim_t(limit)};
        setrlimit(RLIMIT_FSIZE, &r);
    }
    if (flag("--drop-root") && geteuid() == 0) {
        // Root writes any file; nobody cannot write a read-only one.
        if (setgid(65534) != 0 || setuid(65534) != 0)
            return 4;
    }

    const int count = value("--count", QStringLiteral("10")).toInt();
    fixture::RunShape shape;
    shape.serial = value("--serial", QStringLiteral("SN-W"));
    shape.extraLines = value("--lines", QStringLiteral("0")).toInt();
    const Location local = sqliteAt(value("--db"));

    if (flag("--direct")) {
        QString why;
        auto store = Store::open(local, &why);
        if (!store) {
            std::fprintf(stderr, "notice: %s\n", qPrintable(why));
            return 3;
        }
        for (int i = 0; count == 0 || i < count; ++i) {
            const QJsonObject run = fixture::makeRecord(shape);
            if (store->save(run, &why) != Store::Saved::Stored) {
                std::fprintf(stderr, "notice: %s\n", qPrintable(why));
                return 3;
            }
            std::printf("saved %s\n", qPrintable(run.value(QLatin1String("uuid")).toString()));
            std::fflush(stdout);
        }
        return 0;
    }

    Recorder::Options options;
    options.local = local;
    options.firstRetry = platform::Millis(50);
    options.maxRetry = platform::Millis(500);
    if (const QString url = value("--server"); !url.isEmpty()) {
        Location server;
        QString why;
        if (!parseServerUrl(url, server, &why)) {
            std::fprintf(stderr, "notice: %s\n", qPrintable(why));
            return 2;
        }
        options.server = server;
    }
    Recorder recorder(options, [](const QString& message) {
        std::fprintf(stderr, "notice: %s\n", qPrintable(message));
        std::fflush(stderr);
    });
    for (int i = 0; i < count; ++i)
        recorder.submit(fixture::makeRecord(shape));

    if (flag("--hold")) {
        platform::waitOne(recorder.noticed(), platform::Millis(60000));
        recorder.waitSpooled(platform::Millis(60000));
        std::printf("spooled\n");
        std::fflush(stdout);
        for (;;)
            pause();
    }
    // The run completes whether or not its records could be kept.
    // A store that fails is waited for only until it has been said.
    const bool idle = flag("--expect-notice")
                          ? platform::waitOne(recorder.noticed(), platform::Millis(60000)).status ==
                                platform::WaitStatus::Signalled
                          : recorder.waitIdle(platform::Millis(60000));
    recorder.close(platform::Millis(10000));
    std::printf(idle ? "done\n" : "timed out\n");
    return 0;
}
