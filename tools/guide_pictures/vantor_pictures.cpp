// vantor_guide_pictures <sample folder> <output folder>
//
// The user guide's pictures of the engineering program: the test menu and
// every screen it opens, each after a short run against the simulated
// printer (two cycles, no pause, at most 300 pulses, all set through the
// screen's own controls), and a second picture where a screen has another
// face (the platen life panels, the XY cutter axis panels, the fiducial axis
// panels and its calibration, the slip-clutch view of the ribbon advance
// test). It works on a copy of the sample settings and device root, so the
// sample stays as it is. scripts/guide-pictures.sh runs it.
#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>

#include <cstdio>
#include <functional>
#include <vector>

#include "VantorShots.h"

#include "ui/Dialog.h"
#include "ui/ResultList.h"
#include "ui/Resources.h"
#include "vantor/app/CVantorDlg.h"

namespace {

constexpr int kShortCycles = 2;
constexpr int kShortPulses = 300;  // above the sample ramps (200 at most)
constexpr int kShortSpeed = 500;   // pulses per second where a screen starts at 0

struct Context {
    shots::Session& session;
    bool save(QWidget& w, const char* name) { return session.save(w, QString::fromLatin1(name) + ".png"); }
    void settle(int ms = 2500) { shots::settle(session.clock, platform::Millis(ms)); }
};

// Every editable pulse count of a screen and of its panels (a box whose
// caption, the control before it in the template, names pulses) made short,
// and every constant speed box left at 0 given a speed the motors take.
void shortenMoves(ui::Dialog& d)
{
    std::vector<ui::Dialog*> dialogs{&d};
    for (ui::Dialog* child : d.findChildren<ui::Dialog*>())
        dialogs.push_back(child);
    for (ui::Dialog* one : dialogs) {
        const auto tmpl = ui::Resources::dialog(one->templateId());
        if (!tmpl)
            continue;
        QString caption;
        for (const ui::ControlTemplate& c : tmpl->controls) {
            auto* edit = qobject_cast<QLineEdit*>(one->control(c.id));
            if (!edit) {
                caption = c.text;
                continue;
            }
            if (edit->isEnabled() && !edit->isReadOnly()) {
                const int now = edit->text().toInt();
                if (caption.contains(QLatin1String("Pulses")) && (now <= 0 || now > kShortPulses))
                    edit->setText(QString::number(kShortPulses));
                else if (c.idName.endsWith(QLatin1String("CONSTANT_SPEED")) && now <= 0)
                    edit->setText(QString::number(kShortSpeed));
            }
            caption.clear();
        }
    }
}

void setIfEditable(ui::Dialog& d, int id, const QString& text)
{
    auto* edit = qobject_cast<QLineEdit*>(d.control(id));
    if (edit && edit->isEnabled() && !edit->isReadOnly())
        edit->setText(text);
}

// A short run from the screen's start button: two cycles, no pause, small
// pulse counts; done when the list holds the closing blank line and the
// start button is back.
bool shortRun(Context& ctx, ui::Dialog& d, int start = IDC_RUN)
{
    setIfEditable(d, IDC_TOTAL_CYCLE, QString::number(kShortCycles));
    setIfEditable(d, IDC_PAUSE, QStringLiteral("0"));
    shortenMoves(d);
    auto* list = qobject_cast<ui::ResultList*>(d.control(IDC_RESULT_LIST));
    auto* button = qobject_cast<QAbstractButton*>(d.control(start));
    shots::resetWallTime(ctx.session.clock);
    if (!list || !button || !shots::click(d, start))
        return false;
    const bool ended = shots::runUntil(ctx.session.clock, [&] {
        return list->lines().contains(QStringLiteral(" ")) && button->isEnabled();
    });
    QCoreApplication::processEvents();
    if (!ended)
        std::fprintf(stderr, "the run of template %d did not end\n", d.templateId());
    return ended;
}

using Act = std::function<bool(Context&, ui::Dialog&)>;

Act runThenSave(const char* name, int start = IDC_RUN)
{
    return [=](Context& ctx, ui::Dialog& d) { return shortRun(ctx, d, start) && ctx.save(d, name); };
}

// Screens whose worker reads the printer at opening: wait for it first.
Act settleRunThenSave(const char* name)
{
    return [=](Context& ctx, ui::Dialog& d) {
        auto* run = qobject_cast<QAbstractButton*>(d.control(IDC_RUN));
        return run && shots::runUntil(ctx.session.clock, [&] { return run->isEnabled(); }) && shortRun(ctx, d)
            && ctx.save(d, name);
    };
}

// Presses the buttons in turn, letting the worker answer after each; with
// `ready`, the picture waits until that button is enabled again (the worker
// has gone idle), however long the worker takes to get there.
Act pressThenSave(const char* name, std::vector<int> buttons, int ready = 0)
{
    return [=](Context& ctx, ui::Dialog& d) {
        ctx.settle();
        for (int id : buttons) {
            if (!shots::click(d, id))
                return false;
            ctx.settle();
        }
        if (ready) {
            auto* button = qobject_cast<QAbstractButton*>(d.control(ready));
            if (!button || !shots::runUntil(ctx.session.clock, [&] { return button->isEnabled(); }))
                return false;
            QCoreApplication::processEvents();
        }
        return ctx.save(d, name);
    };
}

struct Screen {
    int button;
    bool hiddenButton; // the menu keeps it hidden: reached by its command
    Act act;
};

std::vector<Screen> screens()
{
    return {
        {IDC_TAPE_REWIND_TEST, false, runThenSave("tape-rewind")},
        {IDC_TAPE_ROLL_TIGHTNESS_TEST, false, runThenSave("tape-roll-tightness")},
        {IDC_TAPE_OVERSHOOT_TEST, false, runThenSave("tape-overshoot")},
        {IDC_PRINT_HEAD_LIFT_TEST, false, runThenSave("print-head-lift")},
        {IDC_EJECTOR_TEST, false, runThenSave("ejector")},
        {IDC_END_CUTTER_TEST, false, runThenSave("end-cutter")},
        {IDC_RIBBON_TENSION_TEST, true, runThenSave("ribbon-tension")},
        {IDC_XY_CUT_FORCE_PROGRAM, false, pressThenSave("xy-cut-force", {IDC_CF_READ_ALL})},
        {IDC_PLATEN_TEST, false, runThenSave("platen")},
        {IDC_PLATEN_LIFE_TEST, false,
         [](Context& ctx, ui::Dialog& d) {
             bool ok = shortRun(ctx, d) && ctx.save(d, "platen-life-forward");
             ok = ok && shots::click(d, IDC_PL_LIFE_REVERSE);
             QCoreApplication::processEvents();
             return ok && ctx.save(d, "platen-life-reverse");
         }},
        {IDC_PLATEN_SENSOR_TEST, false, runThenSave("platen-sensor")},
        {IDC_RIBBON_COLOR_TEST, false, settleRunThenSave("ribbon-color")},
        {IDC_RIBBON_ADVANCE_TEST, false,
         [](Context& ctx, ui::Dialog& d) {
             bool ok = shortRun(ctx, d) && ctx.save(d, "ribbon-advance");
             ok = ok && shots::click(d, IDC_RA_VIEW_SC);
             QCoreApplication::processEvents();
             return ok && ctx.save(d, "ribbon-advance-slip-clutch");
         }},
        {IDC_RIBBON_DRIVE_TEST, false,
         [](Context& ctx, ui::Dialog& d) {
             // Both moves start unticked; a run needs at least one.
             return shots::click(d, IDC_RD_ADVANCE) && shots::click(d, IDC_RD_REVERSE) && shortRun(ctx, d)
                 && ctx.save(d, "ribbon-drive");
         }},
        {IDC_RIBBON_TO_PLATEN_TEST, false, runThenSave("ribbon-to-platen")},
        {IDC_XY_CUTTER_TEST, false, runThenSave("xy-cutter")},
        {IDC_XY_CUTTER_LIFE_TEST, false,
         [](Context& ctx, ui::Dialog& d) {
             bool ok = shortRun(ctx, d) && ctx.save(d, "xy-cutter-life-crossweb");
             ok = ok && shots::click(d, IDC_XYL_DOWNWEB);
             QCoreApplication::processEvents();
             return ok && ctx.save(d, "xy-cutter-life-downweb");
         }},
        {IDC_FIDUCIAL_TEST, false,
         [](Context& ctx, ui::Dialog& d) {
             // At opening the emitters and the detector are read, one step a
             // second; RUN comes alive after the last.
             auto* run = qobject_cast<QAbstractButton*>(d.control(IDC_RUN));
             bool ok = run && shots::runUntil(ctx.session.clock, [&] { return run->isEnabled(); });
             ok = ok && shortRun(ctx, d) && ctx.save(d, "fiducial");
             ok = ok && shots::click(d, IDC_FID_DOWNWEB);
             QCoreApplication::processEvents();
             ok = ok && ctx.save(d, "fiducial-downweb");
             ok = ok && shots::withNextModal([&] { shots::click(d, IDC_FID_CALIBRATE); },
                                             [&](ui::Dialog& calibration) {
                                                 ctx.settle();
                                                 return shots::click(calibration, IDC_FC_READ)
                                                     && (ctx.settle(), ctx.save(calibration, "fiducial-calibration"));
                                             });
             ctx.settle(4000); // the written values are read back before closing
             return ok;
         }},
        {IDC_SENSOR_READ_TEST, false, pressThenSave("sensor-read", {IDC_SR_READ, IDC_SR_STOP}, IDC_SR_READ)},
        {IDC_PRINT_TEST, false, runThenSave("print", IDC_PR_START)},
        {IDC_PRINT_TO_CUT_TEST, false, runThenSave("print-to-cut")},
        {IDC_MEDIA_JAM_TEST, false, runThenSave("media-jam")},
        {IDC_PRINT_AGING_TEST, false, runThenSave("print-aging", IDC_PR_START)},
        {IDC_PEB_CALIBRATION, false, pressThenSave("peb-calibration", {IDC_PEB_READ_ALL})},
        {IDC_DAC_TEST, false,
         [](Context& ctx, ui::Dialog& d) {
             bool ok = shots::click(d, IDC_DAC_ENABLE1) && shots::click(d, IDC_DAC_ENABLE2);
             setIfEditable(d, IDC_DAC_VALUE1, QStringLiteral("128"));
             setIfEditable(d, IDC_DAC_VALUE2, QStringLiteral("255"));
             ok = ok && shots::click(d, IDC_DAC_READ);
             ctx.settle();
             return ok && ctx.save(d, "dac");
         }},
        {IDC_ADC_TEST, false, pressThenSave("adc", {IDC_ADC_READ, IDC_ADC_STOP}, IDC_ADC_READ)},
        {IDC_GPIO_TEST, false, pressThenSave("gpio", {IDC_GPIO_READ}, IDC_GPIO_READ)},
        {IDC_TAPE_TAGCHIP_PROGRAM, false, pressThenSave("tape-tagchip", {IDC_TTC_READ})},
        {IDC_RIBBON_TAGCHIP_PROGRAM, false, pressThenSave("ribbon-tagchip", {IDC_RTC_READ})},
    };
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: vantor_guide_pictures <sample folder> <output folder>\n");
        return 2;
    }
    shots::Session session(argc, argv, QStringLiteral("Vantor"));
    if (shots::startVantor(session).isEmpty())
        return 1;

    vantor::CVantorDlg menu;
    if (!menu.create()) {
        std::fprintf(stderr, "the menu did not build\n");
        return 1;
    }
    menu.show();
    QCoreApplication::processEvents();
    Context ctx{session};
    int failed = ctx.save(menu, "vantor-menu") ? 0 : 1;

    for (const Screen& s : screens()) {
        const int boxes = session.prompts.boxes;
        shots::resetWallTime(session.clock);
        const bool ok = shots::withNextModal(
            [&] {
                if (s.hiddenButton)
                    menu.command(s.button);
                else
                    shots::click(menu, s.button);
            },
            [&](ui::Dialog& d) { return s.act(ctx, d); });
        if (!ok || session.prompts.boxes != boxes) {
            std::fprintf(stderr, "menu button %d: no picture\n", s.button);
            ++failed;
        }
    }
    menu.hide();
    return failed == 0 ? 0 : 1;
}
