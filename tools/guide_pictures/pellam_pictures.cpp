// pellam_guide_pictures <sample folder> <output folder>
//
// The user guide's pictures of the service program, in its built-in English
// resources, against the simulated printer on a copy of the sample device
// root: the menu locked, the passcode keypad, the menu unlocked, and every
// screen the menu opens, each after the action that shows what it is for (a
// reading, a calibration step, a print, a USB stick plugged in).
// scripts/guide-pictures.sh runs it.
#include <QApplication>

#include <cstdio>
#include <functional>
#include <vector>

#include "Shots.h"

#include "pellam/app/CDiagnosticsMenuDlg.h"
#include "pellam/print/CPrintDlg.h"
#include "pellam/res/PellamResources.h"
#include "sim/usb/SimulatedUsb.h"
#include "platform/DeviceChange.h"

namespace {

struct Context {
    shots::Session& session;
    sim::SimulatedUsb& usb;
    bool save(QWidget& w, const char* name) { return session.save(w, QString::fromLatin1(name) + ".png"); }
    void settle(int ms = 2500) { shots::settle(session.clock, platform::Millis(ms)); }
};

using Act = std::function<bool(Context&, ui::Dialog&)>;

// Presses the buttons in turn, letting the screen answer after each.
Act pressThenSave(const char* name, std::vector<int> buttons = {})
{
    return [=](Context& ctx, ui::Dialog& d) {
        ctx.settle(500);
        for (int id : buttons) {
            if (!shots::click(d, id))
                return false;
            ctx.settle(500);
        }
        return ctx.save(d, name);
    };
}

// A wizard: one picture before the first button and one after each.
Act wizard(std::vector<const char*> names, std::vector<int> buttons)
{
    return [=](Context& ctx, ui::Dialog& d) {
        bool ok = ctx.save(d, names[0]);
        for (size_t i = 0; ok && i < buttons.size(); ++i) {
            ok = shots::click(d, buttons[i]);
            ctx.settle(500);
            ok = ok && ctx.save(d, names[i + 1]);
        }
        return ok;
    };
}

struct Screen {
    int button;
    Act act;
};

std::vector<Screen> screens()
{
    return {
        {IDC_MENU_READ_SENSORS, pressThenSave("pellam-read-sensors", {IDC_SR_READ})},
        {IDC_MENU_KEYBOARD_SETUP, pressThenSave("pellam-keyboard")},
        {IDC_MENU_USB_TEST,
         [](Context& ctx, ui::Dialog& d) {
             ctx.usb.plug(sim::UsbDevice{});
             ctx.settle(500);
             const bool ok = ctx.save(d, "pellam-usb");
             ctx.usb.remove();
             ctx.settle(500);
             return ok;
         }},
        {IDC_MENU_ERROR_LOG, pressThenSave("pellam-error-log")},
        {IDC_MENU_INFO, pressThenSave("pellam-info")},
        {IDC_MENU_CALIBRATE_PRINTHEAD, pressThenSave("pellam-printhead", {IDC_PH_READ})},
        {IDC_MENU_CALIBRATE_SENSORS,
         [](Context& ctx, ui::Dialog& d) {
             bool ok = ctx.save(d, "pellam-calibrate-sensors");
             ok = ok && shots::withNextModal([&] { shots::click(d, IDC_SC_GAP_SENSOR); },
                                             [&](ui::Dialog& w) {
                                                 return wizard({"pellam-gap-1", "pellam-gap-2", "pellam-gap-3"},
                                                               {IDC_WIZ_NEXT, IDC_WIZ_NEXT2})(ctx, w);
                                             });
             ok = ok && shots::withNextModal([&] { shots::click(d, IDC_SC_COLOR_SENSOR); },
                                             [&](ui::Dialog& w) {
                                                 return wizard({"pellam-color-1", "pellam-color-2"}, {IDC_WIZ_NEXT})(ctx, w);
                                             });
             return ok;
         }},
        {IDC_MENU_CALIBRATE_PEB, pressThenSave("pellam-calibrate-peb")},
        {IDC_MENU_PRINT_TESTS,
         [](Context& ctx, ui::Dialog& d) {
             auto* print = dynamic_cast<pellam::CPrintDlg*>(&d);
             if (!print || !shots::click(d, IDC_PT_PRINT))
                 return false;
             if (!shots::runUntil(ctx.session.clock, [&] { return !print->workerRunning(); }))
                 return false;
             QCoreApplication::processEvents();
             bool ok = ctx.save(d, "pellam-print");
             ok = ok && shots::withNextModal([&] { shots::click(d, IDC_PT_PREVIEW); },
                                             [&](ui::Dialog& preview) { return ctx.save(preview, "pellam-preview"); });
             return ok;
         }},
        {IDC_MENU_COPY_TO_USB, pressThenSave("pellam-copy-to-usb", {IDC_KEY_1, IDC_KEY_2, IDC_KEY_3, IDC_KEY_4})},
    };
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: pellam_guide_pictures <sample folder> <output folder>\n");
        return 2;
    }
    shots::Session session(argc, argv, QStringLiteral("Pellam"));
    if (!session.ready())
        return 1;
    pellam::installBuiltinResources();
    sim::SimulatedUsb usb(platform::deviceChanges());
    Context ctx{session, usb};

    // The menu with its own passcode prompt, as the program runs it.
    pellam::CDiagnosticsMenuDlg menu;
    if (!menu.create()) {
        std::fprintf(stderr, "the menu did not build\n");
        return 1;
    }
    menu.show();
    QCoreApplication::processEvents();
    int failed = ctx.save(menu, "pellam-menu-locked") ? 0 : 1;

    // Locked screens first: "Display PEB" gives way to "Calibrate Printhead".
    if (!shots::withNextModal([&] { shots::click(menu, IDC_MENU_DISPLAY_PEB); },
                              [&](ui::Dialog& d) { return pressThenSave("pellam-display-peb")(ctx, d); }))
        ++failed;

    const bool keyed = shots::withNextModal([&] { shots::click(menu, IDC_MENU_UNLOCK); },
                                            [&](ui::Dialog& pass) {
                                                bool ok = shots::click(pass, IDC_KEY_5) && shots::click(pass, IDC_KEY_8)
                                                    && shots::click(pass, IDC_KEY_1);
                                                ok = ok && ctx.save(pass, "pellam-passcode");
                                                return ok && shots::click(pass, IDC_KEY_9) && shots::click(pass, IDC_KEY_2)
                                                    && shots::click(pass, IDC_KEY_0);
                                            });
    QCoreApplication::processEvents();
    if (!keyed || !menu.unlocked()) {
        std::fprintf(stderr, "the passcode did not unlock the menu\n");
        return 1;
    }
    failed += ctx.save(menu, "pellam-menu-unlocked") ? 0 : 1;

    for (const Screen& s : screens()) {
        const int boxes = session.prompts.boxes;
        shots::resetWallTime(session.clock);
        const bool ok = shots::withNextModal([&] { shots::click(menu, s.button); },
                                             [&](ui::Dialog& d) { return s.act(ctx, d); });
        if (!ok || session.prompts.boxes != boxes) {
            std::fprintf(stderr, "menu button %d: no picture\n", s.button);
            ++failed;
        }
    }
    menu.hide();
    return failed == 0 ? 0 : 1;
}
