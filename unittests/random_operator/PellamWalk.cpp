// The random operator over every screen of the service program (the menu,
// the passcode keypad and each screen a menu button opens), against the
// simulated printer and keyboard.
#include <QDir>
#include <QFile>
#include <cstdio>

#include "pellam/app/CDiagnosticsMenuDlg.h"
#include "pellam/app/CInfoDlg.h"
#include "pellam/app/CPasscodeDlg.h"
#include "pellam/peb/CCalibratePEB.h"
#include "pellam/peb/CDisplayPEB.h"
#include "pellam/print/CPrintDlg.h"
#include "pellam/printhead/CPHCalibrateDlg.h"
#include "pellam/res/PellamResources.h"
#include "pellam/sensors/CSensorCalibrate.h"
#include "pellam/sensors/CSensorReadDlg.h"
#include "pellam/service/CErrorLogDlg.h"
#include "pellam/service/CKeyboardLayoutDlg.h"
#include "pellam/service/CUSBDlg.h"
#include "pellam/service/CopyToUSBDlg.h"
#include "platform/DevicePath.h"
#include "ui/testing/TestApp.h"
#include "unittests/random_operator/Setup.h"

using namespace randomop;

namespace {
template <class Dlg>
Screen screen(const char* name)
{
    return {QString::fromLatin1(name), [] { return std::unique_ptr<ui::Dialog>(std::make_unique<Dlg>()); }};
}
} // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!parseOptions(argc, argv, options))
        return 2;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    ui::testing::testApp();
    pellam::installBuiltinResources();

    QTemporaryDir dir;
    const QString root = dir.filePath(QStringLiteral("device"));
    copyTree(QStringLiteral(VANTOR_SAMPLE_DIR) + QStringLiteral("/device"), root);
    platform::setDeviceRoot(root);
    options.scratch = enterSandbox(dir);

    platform::ManualClock clock;
    int status = 0;
    {
        platform::ScopedClock scopedClock(clock);
        sim::SimConfig config;
        config.timeScale = 0.0;
        config.seed = options.seed;
        sim::SimulatedDevices devices = sim::registerSimulatedDevices(config);

        using namespace pellam;
        std::vector<Screen> screens = {
            screen<CDiagnosticsMenuDlg>("CDiagnosticsMenuDlg"), screen<CPasscodeDlg>("CPasscodeDlg"),
            screen<CSensorReadDlg>("CSensorReadDlg"), screen<CKeyboardLayoutDlg>("CKeyboardLayoutDlg"),
            screen<CUSBDlg>("CUSBDlg"), screen<CErrorLogDlg>("CErrorLogDlg"), screen<CInfoDlg>("CInfoDlg"),
            screen<CDisplayPEB>("CDisplayPEB"), screen<CPHCalibrateDlg>("CPHCalibrateDlg"),
            screen<CSensorCalibrate>("CSensorCalibrate"), screen<CCalibratePEB>("CCalibratePEB"),
            screen<CPrintDlg>("CPrintDlg"), screen<CopyToUSBDlg>("CopyToUSBDlg"),
        };
        Walker walker(options, std::move(screens), clock);
        walker.switchFaults = [&devices](std::mt19937_64& rng, QStringList& log) {
            switchFaults(devices.printer->faults(), rng, log);
        };
        status = walker.run();
        std::printf("pellam: %lld actions, seed %llu: %s\n", walker.actionsDone(),
                    static_cast<unsigned long long>(options.seed), status ? "FAULT" : "clean");
        devices.printer->faults().clear();
        sim::unregisterSimulatedDevices(devices);
    }
    if (status == 0) {
        const QString state = platform::hostPath(QStringLiteral("\\Simulator\\printer-state.ini"));
        if (!stateFileLoads(state)) {
            std::fprintf(stderr, "RANDOM OPERATOR FAULT (seed %llu): the simulator's state file %s does not load\n",
                         static_cast<unsigned long long>(options.seed), qPrintable(state));
            status = 1;
        }
    }
    platform::setDeviceRoot(QString());
    return status;
}
