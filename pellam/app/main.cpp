// The composition root of the service program: the platform's trace, the
// devices that answer PRN1: and KBD1: (the simulated printer and keyboard
// unless configured absent), the sources of device-change notifications
// (the simulated USB port and, where udev can be watched, the host's own
// USB hot-plug events), the built-in resources, then the application.
#include <cstdio>
#include <QApplication>

#include "pellam/app/CPellamApp.h"
#include "pellam/res/PellamResources.h"
#include "platform/DeviceChange.h"
#include "platform/HostDeviceChanges.h"
#include "platform/Trace.h"
#include "records/ProgramRecorder.h"
#include "sim/printer/SimulatedDevices.h"
#include "sim/usb/SimulatedUsb.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pellam"));
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
        pellam::CPellamApp theApp;
        theApp.InitInstance();
        records::closeProgramRecorder();
    }
    sim::unregisterSimulatedDevices(devices);
    return 0;
}
