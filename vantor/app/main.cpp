// The engineering program's composition root: the simulated printer answers
// PRN1: unless configured absent (docs/simulator.md).
#include <QApplication>

#include "platform/DataFolder.h"
#include "platform/ProgramOptions.h"
#include "platform/Trace.h"
#include "ui/StartupProbe.h"
#include "sim/printer/SimulatedDevices.h"
#include "vantor/app/CVantorApp.h"
#include "vantor/app/CVantorDlg.h"
#include "vantor/app/CommandLine.h"
#include "vantor/app/HeadlessRun.h"
#include "vantor/app/HistoryCommand.h"
#include "vantor/app/ProgramRecords.h"
#include "vantor/res/VantorResources.h"

#ifndef DIAG_PACKAGE_NAME
#define DIAG_PACKAGE_NAME "printer-diagnostics"
#define DIAG_PACKAGE_VERSION ""
#endif

namespace {

// The installed program keeps its data in the user's folder; the first
// start says where it came from, once.
void prepareData()
{
    const platform::DataFolderChoice data = platform::prepareDataFolder();
    if (data.seeded)
        platform::writeErr(QStringLiteral("vantor: first start: %1 filled from %2\n").arg(data.folder, data.starter));
    if (!data.error.isEmpty())
        platform::writeErr(QStringLiteral("vantor: %1 not filled from %2: %3\n").arg(data.folder, data.starter, data.error));
}

} // namespace

int main(int argc, char* argv[])
{
    // Answered before any application object exists: --help and --version
    // work in a terminal without a display.
    const platform::ProgramInfo& info = vantor::commandLineInfo();
    const platform::CommandLine cl = platform::parseCommandLine(info, platform::argumentList(argc, argv));
    switch (cl.outcome) {
    case platform::CommandLine::Outcome::Error:
        platform::writeErr(QStringLiteral("vantor: %1\n").arg(cl.error) + platform::usageText(info));
        return 2;
    case platform::CommandLine::Outcome::Answer:
        if (cl.answer == QLatin1String("help"))
            platform::writeOut(platform::helpText(info));
        else if (cl.answer == QLatin1String("version"))
            platform::writeOut(platform::versionText(info));
        else if (cl.answer == QLatin1String("man"))
            platform::writeOut(platform::manPage(info, QStringLiteral(DIAG_PACKAGE_NAME),
                                                 QStringLiteral(DIAG_PACKAGE_VERSION)));
        return 0;
    case platform::CommandLine::Outcome::Headless: {
        // No window, so no display needed: automation and production lines.
        QCoreApplication app(argc, argv);
        QCoreApplication::setApplicationName(QStringLiteral("Vantor"));
        prepareData();
        if (cl.isSet("history") || cl.isSet("record"))
            return vantor::runHistory(app.arguments());
        platform::trace::initFromEnvironment();
        sim::SimulatedDevices devices = sim::registerSimulatedDevices();
        vantor::installBuiltinResources();
        const int code = vantor::runHeadless(app.arguments());
        vantor::closeProgramRecords();
        sim::unregisterSimulatedDevices(devices);
        return code;
    }
    case platform::CommandLine::Outcome::Window:
        break;
    }
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Vantor"));
    prepareData();
    ui::StartupProbe::installIfAsked();
    platform::trace::initFromEnvironment();
    sim::SimulatedDevices devices = sim::registerSimulatedDevices();
    vantor::installBuiltinResources();
    QApplication::setWindowIcon(vantor::vantorIcon());

    vantor::CVantorApp theApp;
    const int code = theApp.InitInstance();
    vantor::closeProgramRecords();
    sim::unregisterSimulatedDevices(devices);
    return code;
}
