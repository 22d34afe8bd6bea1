// The composition root of the service program: the platform's trace, the
// devices that answer PRN1: and KBD1: (the simulated printer and keyboard
// unless configured absent), the sources of device-change notifications
// (the simulated USB port and, where udev can be watched, the host's own
// USB hot-plug events), the built-in resources, then the application.
#include <cstdio>
#include <QApplication>
#include <QDir>

#include "pellam/app/CPellamApp.h"
#include "pellam/app/CommandLine.h"
#include "pellam/res/PellamResources.h"
#include "platform/DataFolder.h"
#include "platform/DeviceChange.h"
#include "platform/DevicePath.h"
#include "platform/HostDeviceChanges.h"
#include "platform/ProgramOptions.h"
#include "platform/Trace.h"
#include "records/ProgramRecorder.h"
#include "ui/StartupProbe.h"
#include "sim/printer/SimulatedDevices.h"
#include "sim/usb/SimulatedUsb.h"

#ifndef DIAG_PACKAGE_NAME
#define DIAG_PACKAGE_NAME "printer-diagnostics"
#define DIAG_PACKAGE_VERSION ""
#endif
#ifndef DIAG_LANGUAGES_FROM_BIN
#define DIAG_LANGUAGES_FROM_BIN "../lib/pellam"
#endif

namespace {

// The language libraries beside the program in the build, in the library
// folder once installed; both found from the program, never from the
// working folder.
QStringList languageFolders()
{
    const QString program = platform::programFolder();
    return {program, QDir::cleanPath(program + QStringLiteral(DIAG_LANGUAGES_FROM_BIN))};
}

} // namespace

int main(int argc, char** argv)
{
    // Answered before any application object exists, so without a display.
    const platform::ProgramInfo& info = pellam::commandLineInfo();
    const platform::CommandLine cl = platform::parseCommandLine(info, platform::argumentList(argc, argv));
    if (cl.outcome == platform::CommandLine::Outcome::Error || cl.outcome == platform::CommandLine::Outcome::Headless) {
        platform::writeErr(QStringLiteral("pellam: %1\n").arg(cl.error) + platform::usageText(info));
        return 2;
    }
    if (cl.outcome == platform::CommandLine::Outcome::Answer) {
        if (cl.answer == QLatin1String("help"))
            platform::writeOut(platform::helpText(info));
        else if (cl.answer == QLatin1String("version"))
            platform::writeOut(platform::versionText(info));
        else if (cl.answer == QLatin1String("man"))
            platform::writeOut(platform::manPage(info, QStringLiteral(DIAG_PACKAGE_NAME),
                                                 QStringLiteral(DIAG_PACKAGE_VERSION)));
        return 0;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pellam"));
    {
        const platform::DataFolderChoice data = platform::prepareDataFolder();
        if (data.seeded)
            std::fprintf(stderr, "pellam: first start: %s filled from %s\n", qPrintable(data.folder),
                         qPrintable(data.starter));
        if (!data.error.isEmpty())
            std::fprintf(stderr, "pellam: %s not filled from %s: %s\n", qPrintable(data.folder),
                         qPrintable(data.starter), qPrintable(data.error));
    }
    ui::StartupProbe::installIfAsked();
    platform::trace::initFromEnvironment();
    sim::SimulatedDevices devices = sim::registerSimulatedDevices();
    pellam::installBuiltinResources();

    {
        const sim::UsbConfig usbConfig = sim::UsbConfig::fromEnvironment();
        for (const QString& w : usbConfig.warnings)
            std::fprintf(stderr, "simulator: USB: %s\n", qPrintable(w));
        sim::SimulatedUsb simulatedUsb(platform::deviceChanges());
        simulatedUsb.start(usbConfig);
        QString why;
        auto hostUsb = platform::HostDeviceChanges::start(platform::deviceChanges(), &why);
        if (!hostUsb && platform::HostDeviceChanges::built())
            std::fprintf(stderr, "USB hot-plug of this machine not watched: %s\n", qPrintable(why));

        // Calibrations and PEB saves are recorded; a store that fails is
        // said once on standard error and the screens go on.
        records::startProgramRecorder([](const QString& m) { std::fprintf(stderr, "%s\n", qPrintable(m)); });
        pellam::CPellamApp theApp(languageFolders());
        theApp.InitInstance();
        records::closeProgramRecorder();
    }
    sim::unregisterSimulatedDevices(devices);
    return 0;
}
