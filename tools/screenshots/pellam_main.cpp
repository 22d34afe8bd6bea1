// pellam_screenshots <sample folder> <output folder>
//
// The service program's pictures, offscreen, against the simulated printer
// on a copy of the sample device root: the unlocked menu
// (pellam-menu.png), the print test menu after a single checkerboard print
// (pellam-print.png) and that job's preview (pellam-preview.png).
#include <QApplication>
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
    shots::Session session(argc, argv, QStringLiteral("Pellam"));
    if (!session.ready())
        return 1;
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
    ok = session.save(menu, QStringLiteral("pellam-menu.png")) && ok;

    // The print screen and its preview are modal: each is pictured from
    // within its own event loop.
    int pictured = 0;
    QTimer::singleShot(0, session.app.get(), [&] {
        auto* print = dynamic_cast<pellam::CPrintDlg*>(QApplication::activeModalWidget());
        if (!print) {
            std::fprintf(stderr, "the print test menu did not open\n");
            return;
        }
        print->command(IDC_PT_PRINT);
        if (shots::runUntil(session.clock, [&] { return !print->workerRunning(); })) {
            QCoreApplication::processEvents();
            pictured += session.save(*print, QStringLiteral("pellam-print.png"));
        } else {
            std::fprintf(stderr, "the print did not end\n");
        }
        QTimer::singleShot(0, session.app.get(), [&] {
            if (auto* preview = dynamic_cast<pellam::CPreviewDlg*>(QApplication::activeModalWidget())) {
                pictured += session.save(*preview, QStringLiteral("pellam-preview.png"));
                preview->command(ui::IDCANCEL);
            }
        });
        print->command(IDC_PT_PREVIEW);
        print->command(IDC_CLOSE);
    });
    menu.command(IDC_MENU_PRINT_TESTS);
    ok = ok && pictured == 2 && session.prompts.boxes == 0;

    menu.hide();
    return ok ? 0 : 1;
}
