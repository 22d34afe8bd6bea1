// The composition root of the service program: the platform's trace, the
// devices that answer PRN1: and KBD1: (the simulated printer and keyboard
// unless configured absent), the built-in resources, then the application.
#include <QApplication>

#include "pellam/app/CPellamApp.h"
#include "pellam/res/PellamResources.h"
#include "platform/Trace.h"
#include "sim/printer/SimulatedDevices.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pellam"));
    platform::trace::initFromEnvironment();
    sim::SimulatedDevices devices = sim::registerSimulatedDevices();
    pellam::installBuiltinResources();

    {
        pellam::CPellamApp theApp;
        theApp.InitInstance();
    }
    sim::unregisterSimulatedDevices(devices);
    return 0;
}
