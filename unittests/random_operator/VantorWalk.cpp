// The random operator over every screen of the engineering program (the
// rows of its test menu and the menu itself), against the simulated printer.
#include <QDir>
#include <QFile>
#include <cstdio>

#include "platform/DevicePath.h"
#include "ui/testing/TestApp.h"
#include "unittests/random_operator/IniCheck.h"
#include "unittests/random_operator/Setup.h"
#include "vantor/app/CVantorDlg.h"
#include "vantor/app/TestMenu.h"
#include "vantor/res/VantorResources.h"
#include "vantor/settings/TestSettingsStore.h"

using namespace randomop;

int main(int argc, char** argv)
{
    Options options;
    if (!parseOptions(argc, argv, options))
        return 2;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    ui::testing::testApp();
    vantor::installBuiltinResources();

    QTemporaryDir dir;
    const QString sample = QStringLiteral(VANTOR_SAMPLE_DIR);
    const QString root = dir.filePath(QStringLiteral("device"));
    copyTree(sample + QStringLiteral("/device"), root);
    platform::setDeviceRoot(root);
    const QString iniPath = dir.filePath(QStringLiteral("Vantor.ini"));
    QFile::copy(sample + QStringLiteral("/Vantor.ini"), iniPath);
    QFile::setPermissions(iniPath, QFile::ReadOwner | QFile::WriteOwner);
    const IniImage starter = loadImage(iniPath);
    options.scratch = enterSandbox(dir);

    platform::ManualClock clock;
    int status = 0;
    {
        platform::ScopedClock scopedClock(clock);
        ScopedSettingsContext settings(iniPath);
        LoadSettingsFile(iniPath);
        sim::SimConfig config;
        config.timeScale = 0.0;
        config.seed = options.seed;
        sim::SimulatedDevices devices = sim::registerSimulatedDevices(config);

        std::vector<Screen> screens;
        screens.push_back({QStringLiteral("CVantorDlg"), [] { return std::make_unique<vantor::CVantorDlg>(); }});
        for (const vantor::TestScreen& row : vantor::testScreens()) {
            const std::unique_ptr<ui::Dialog> probe = row.open();
            screens.push_back({className(*probe), row.open});
        }
        Walker walker(options, std::move(screens), clock);
        walker.switchFaults = [&devices](std::mt19937_64& rng, QStringList& log) {
            switchFaults(devices.printer->faults(), rng, log);
        };
        status = walker.run();
        std::printf("vantor: %lld actions, seed %llu: %s\n", walker.actionsDone(),
                    static_cast<unsigned long long>(options.seed), status ? "FAULT" : "clean");
        devices.printer->faults().clear();
        sim::unregisterSimulatedDevices(devices);
    }
    if (status == 0) {
        for (const QString& p : checkSettingsFile(iniPath, starter)) {
            std::fprintf(stderr, "RANDOM OPERATOR FAULT (seed %llu): Vantor.ini: %s\n",
                         static_cast<unsigned long long>(options.seed), qPrintable(p));
            status = 1;
        }
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
