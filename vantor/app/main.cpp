// The engineering program's composition root: the simulated printer answers
// PRN1: unless configured absent (docs/simulator.md).
#include <QApplication>

#include "platform/Trace.h"
#include "sim/printer/SimulatedDevices.h"
#include "vantor/app/CVantorApp.h"
#include "vantor/app/CVantorDlg.h"
#include "vantor/app/HeadlessRun.h"
#include "vantor/app/HistoryCommand.h"
#include "vantor/app/ProgramRecords.h"
#include "vantor/res/VantorResources.h"
#include "vantor/station/StationMain.h"

int main(int argc, char* argv[])
{
    if (vantor::wantsHistory(argc, argv)) {
        QCoreApplication app(argc, argv);
        return vantor::runHistory(app.arguments());
    }
    if (vantor::wantsHeadless(argc, argv)) {
        // No window, so no display needed: automation and production lines.
        QCoreApplication app(argc, argv);
        QCoreApplication::setApplicationName(QStringLiteral("Vantor"));
        platform::trace::initFromEnvironment();
        sim::SimulatedDevices devices = sim::registerSimulatedDevices();
        vantor::installBuiltinResources();
        const int code = vantor::runHeadless(app.arguments());
        vantor::closeProgramRecords();
        sim::unregisterSimulatedDevices(devices);
        return code;
    }
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Vantor"));
    platform::trace::initFromEnvironment();
    sim::SimulatedDevices devices = sim::registerSimulatedDevices();
    vantor::installBuiltinResources();
    QApplication::setWindowIcon(vantor::vantorIcon());

    vantor::CVantorApp theApp;
    // `--station [line.json]`: the production line's window instead of the menu.
    const int code = vantor::station::wantsStation(app.arguments()) ? vantor::station::runStation(app.arguments())
                                                                     : theApp.InitInstance();
    vantor::closeProgramRecords();
    sim::unregisterSimulatedDevices(devices);
    return code;
}
