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
#include "ui/StartupProbe.h"
#include "sim/printer/SimulatedDevices.h"
#include "sim/usb/SimulatedUsb.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pellam"));
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

        pellam::CPellamApp theApp;
        theApp.InitInstance();
    }
    sim::unregisterSimulatedDevices(devices);
    return 0;
}
