// pellam_screenshots <sample folder> <output folder>
//
// The service program's pictures, offscreen, against the simulated printer
// on a copy of the sample device root: the unlocked menu
// (pellam-menu.png), the print test menu after a single checkerboard print
// (pellam-print.png) and that job's preview (pellam-preview.png).
#include <QApplication>
#include <QTemporaryDir>
#include <QTimer>

#include "Shots.h"

#include "pellam/app/CDiagnosticsMenuDlg.h"
#include "pellam/app/MenuScreens.h"
#include "pellam/print/CPreviewDlg.h"
#include "pellam/print/CPrintDlg.h"
#include "pellam/res/PellamResources.h"
#include "sim/printer/SimulatedDevices.h"

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: pellam_screenshots <sample folder> <output folder>\n");
        return 2;
    }
    QTemporaryDir work;
    const QString root = work.filePath(QStringLiteral("device"));
    if (!work.isValid() || !shots::copyTree(QString::fromLocal8Bit(argv[1]) + QStringLiteral("/device"), root)) {
        std::fprintf(stderr, "cannot copy the sample from %s\n", argv[1]);
        return 1;
    }
    shots::useSimulatorAt(root);

    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Pellam"));
    QDir out(QString::fromLocal8Bit(argv[2]));
    if (!out.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "cannot create %s\n", argv[2]);
        return 1;
    }
    shots::RefusingPrompts prompts;
    ui::setPromptService(&prompts);
    platform::ManualClock clock;
    platform::ScopedClock useClock(clock);
    sim::SimulatedDevices devices = sim::registerSimulatedDevices();
    pellam::installBuiltinResources();

    bool ok = true;
    pellam::CDiagnosticsMenuDlg menu(pellam::menuButtons(), [] { return true; });
    if (!menu.create()) {
        std::fprintf(stderr, "the menu did not build\n");
        return 1;
    }
    menu.show();
    menu.command(IDC_MENU_UNLOCK);
    QCoreApplication::processEvents();
    ok = shots::save(menu, out, QStringLiteral("pellam-menu.png")) && ok;

    // The print screen and its preview are modal: each is pictured from
    // within its own event loop.
    int pictured = 0;
    QTimer::singleShot(0, &app, [&] {
        auto* print = dynamic_cast<pellam::CPrintDlg*>(QApplication::activeModalWidget());
        if (!print) {
            std::fprintf(stderr, "the print test menu did not open\n");
            return;
        }
        print->command(IDC_PT_PRINT);
        if (shots::runUntil(clock, [&] { return !print->workerRunning(); })) {
            QCoreApplication::processEvents();
            pictured += shots::save(*print, out, QStringLiteral("pellam-print.png"));
        } else {
            std::fprintf(stderr, "the print did not end\n");
        }
        QTimer::singleShot(0, &app, [&] {
            if (auto* preview = dynamic_cast<pellam::CPreviewDlg*>(QApplication::activeModalWidget())) {
                pictured += shots::save(*preview, out, QStringLiteral("pellam-preview.png"));
                preview->command(ui::IDCANCEL);
            }
        });
        print->command(IDC_PT_PREVIEW);
        print->command(IDC_CLOSE);
    });
    menu.command(IDC_MENU_PRINT_TESTS);
    ok = ok && pictured == 2 && prompts.boxes == 0;

    menu.hide();
    sim::unregisterSimulatedDevices(devices);
    ui::setPromptService(nullptr);
    return ok ? 0 : 1;
}
