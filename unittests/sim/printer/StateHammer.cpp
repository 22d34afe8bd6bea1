// A second program on the same printer: registers the simulated printer on
// the device root given and cuts one copy per request, so that a test can
// run it beside itself and count every cut in the shared state file.
//   sim_state_hammer <device root> <requests>
#include <cstdio>
#include <cstdlib>

#include "platform/DevicePath.h"
#include "protocol/CommandChannel.h"
#include "protocol/DriverRecord.h"
#include "protocol/MediaJamRecord.h"
#include "protocol/RequestCodes.h"
#include "sim/printer/SimulatedDevices.h"

int main(int argc, char** argv)
{
    if (argc != 3)
        return 2;
    platform::setDeviceRoot(QString::fromLocal8Bit(argv[1]));
    sim::SimConfig config;
    config.timeScale = 0;
    auto devices = sim::registerSimulatedDevices(config);
    auto prn = protocol::openPrinter();
    protocol::DriverRecord<protocol::MediaJamRecord> rec;
    rec->length = 1;
    rec->copies = 1;
    rec->endCut = 1;
    rec.setCommand(protocol::target::Sequence, protocol::cmd::motion::MediaJam);
    const int n = std::atoi(argv[2]);
    for (int i = 0; i < n; ++i)
        if (!protocol::sendCommand(prn, protocol::IOCTL_PRN_MOTION, rec.block()))
            return 1;
    prn.close();
    sim::unregisterSimulatedDevices(devices);
    return 0;
}
