// station_screenshots <sample folder> <output folder>
//
// The station window as an operator sees it after a passing and after a
// failing unit (station-pass.png, station-fail.png): the real window and the
// real sequence runner against the simulated printer, offscreen, on a copy
// of the sample settings and device root and a manual clock.
// scripts/screenshots.sh keeps docs/images/ up to date with it.
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>

#include "VantorShots.h"

#include "vantor/station/StationEngine.h"
#include "vantor/station/StationWindow.h"

namespace {

// One step of each kind an operator meets: a platen run with a limit on its
// encoder count, and an ejector run.
QByteArray sequence(const char* name, const char* encodeLimit)
{
    return QByteArray("{ \"name\": \"") + name +
           "\", \"serialRequired\": true, \"steps\": [\n"
           "  { \"test\": \"Platen Test\", \"cycles\": 5, \"pause\": 0,\n"
           "    \"limits\": { \"Total encode\": \"" +
           encodeLimit +
           "\" } },\n"
           "  { \"test\": \"Ejector Test\", \"cycles\": 3, \"pause\": 0 } ] }\n";
}

bool write(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// The run's own time, not the machine's: the clock moves only when the run
// waits on it (the manual clock does not move by itself), so the elapsed
// time in the picture does not depend on how busy the machine was.
bool runToEnd(platform::ManualClock& clock, const vantor::station::StationWindow& window)
{
    QElapsedTimer stuck;
    stuck.start();
    int cyclesSeen = -1;
    QElapsedTimer limit;
    limit.start();
    while (window.model().running() && limit.elapsed() < 120000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (window.model().cyclesDone() != cyclesSeen) {
            cyclesSeen = window.model().cyclesDone();
            stuck.restart();
        } else if (stuck.elapsed() > 500) {
            clock.advance(platform::Millis(100));
            stuck.restart();
        }
    }
    return !window.model().running();
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: station_screenshots <sample folder> <output folder>\n");
        return 2;
    }
    shots::Session session(argc, argv, QStringLiteral("Vantor"));
    if (shots::startVantor(session).isEmpty())
        return 1;
    const QString pass = session.work.filePath(QStringLiteral("final-test.json"));
    const QString fail = session.work.filePath(QStringLiteral("tight-limits.json"));
    if (!write(pass, sequence("Final test", "1..100000")) || !write(fail, sequence("Tight limits", "1900..1950"))) {
        std::fprintf(stderr, "cannot set up in %s\n", qPrintable(session.work.path()));
        return 1;
    }

    vantor::station::StationEngine engine(QStringLiteral("operator"));
    vantor::station::StationWindow window(engine, nullptr, vantor::station::RecentSequences());
    window.show();
    bool ok = true;
    auto picture = [&](const QString& file, const QString& serial, const QString& name) {
        if (!window.openSequence(file))
            return false;
        window.serialEdit()->setText(serial);
        window.start();
        if (!runToEnd(session.clock, window)) {
            std::fprintf(stderr, "the run of %s did not end\n", qPrintable(file));
            return false;
        }
        QCoreApplication::processEvents();
        return session.save(window, name);
    };
    ok = picture(pass, QStringLiteral("TQ80-004217"), QStringLiteral("station-pass.png")) && ok;
    ok = window.model().verdict() == QStringLiteral("PASS") && ok;
    ok = picture(fail, QStringLiteral("TQ80-004218"), QStringLiteral("station-fail.png")) && ok;
    ok = window.model().verdict() == QStringLiteral("FAIL") && ok;
    window.close();
    return ok && session.prompts.boxes == 0 ? 0 : 1;
}
