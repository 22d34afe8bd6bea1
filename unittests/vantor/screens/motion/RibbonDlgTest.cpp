// The four ribbon dialogs as the operator meets them: start values, the
// show/hide/enable rules, RUN with no move checked, "PH Triggered:", the
// lines of whole runs against the simulated printer and the record bytes the
// controls give. (Destroying each dialog mid-run, and its headless run, is
// the menu table's test.)
#include <QApplication>
#include <QRegularExpression>
#include <QTimer>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "PlatenTestSupport.h"
#include "platform/Trace.h"
#include "vantor/app/CVantorDlg.h"
#include "vantor/res/resource.h"
#include "vantor/screens/motion/CRibbonAdvanceDlg.h"
#include "vantor/screens/motion/CRibbonDriveDlg.h"
#include "vantor/screens/motion/CRibbonTensionDlg.h"
#include "vantor/screens/motion/CRibbonToPlatenDlg.h"
#include "unittests/vantor/testing/ScreenFixture.h"

using namespace std::chrono_literals;
using ui::testing::DialogHarness;
using Bytes = platentest::Bytes;

namespace {

using Factory = std::function<std::unique_ptr<vantor::CTestDlg>()>;
template <class Dlg>
Factory make()
{
    return [] { return std::make_unique<Dlg>(); };
}

CPlatenSettingDlg* panelOf(vantor::CTestDlg& dlg)
{
    if (auto* t = dynamic_cast<CRibbonTensionDlg*>(&dlg))
        return t->platenPanel();
    if (auto* a = dynamic_cast<CRibbonAdvanceDlg*>(&dlg))
        return a->platenPanel();
    return nullptr;
}

// What one control shows. `id` 0 with Shown/Hidden stands for the platen panel.
struct Want {
    enum Kind { Text, Checked, Unchecked, Enabled, Disabled, Shown, Hidden, Radio, Slider } kind;
    int id;
    QString text = {};
    int value = 0;
};
Want text(int id, const char* t)
{
    return {Want::Text, id, QLatin1String(t)};
}
Want on(int id)
{
    return {Want::Checked, id};
}
Want off(int id)
{
    return {Want::Unchecked, id};
}
Want enabled(int id)
{
    return {Want::Enabled, id};
}
Want disabled(int id)
{
    return {Want::Disabled, id};
}
Want shown(int id)
{
    return {Want::Shown, id};
}
Want hidden(int id)
{
    return {Want::Hidden, id};
}
Want radio(int id, int index)
{
    return {Want::Radio, id, {}, index};
}
Want slider(int id, int pos)
{
    return {Want::Slider, id, {}, pos};
}
const Want kPanelShown{Want::Shown, 0};
const Want kPanelHidden{Want::Hidden, 0};

// Empty when the control shows what is wanted, else what it shows.
std::string mismatch(vantor::CTestDlg& dlg, DialogHarness& h, const Want& w)
{
    const std::string at = " (control " + std::to_string(w.id) + ")";
    switch (w.kind) {
    case Want::Text:
        return h.text(w.id) == w.text ? "" : "text '" + h.text(w.id).toStdString() + "'" + at;
    case Want::Checked:
    case Want::Unchecked:
        return h.checked(w.id) == (w.kind == Want::Checked) ? "" : "check state" + at;
    case Want::Enabled:
    case Want::Disabled:
        return h.enabled(w.id) == (w.kind == Want::Enabled) ? "" : "enabled state" + at;
    case Want::Shown:
    case Want::Hidden: {
        const bool want = w.kind == Want::Shown;
        if (w.id == 0) {
            CPlatenSettingDlg* p = panelOf(dlg);
            return p && !p->isHidden() == want ? "" : "panel visibility";
        }
        return h.visible(w.id) == want ? "" : "visibility" + at;
    }
    case Want::Radio:
        return h.radioIndex(w.id) == w.value ? "" : "radio " + std::to_string(h.radioIndex(w.id)) + at;
    case Want::Slider:
        return h.sliderPos(w.id) == w.value ? "" : "slider " + std::to_string(h.sliderPos(w.id)) + at;
    }
    return "?";
}

// The ids of the three moves of the advance view, check box first.
const std::vector<int> kCcSet = {IDC_RA_CC_CHECK,          IDC_RA_CC_CONSTANT,     IDC_RA_CC_RAMP_UP,
                                 IDC_RA_CC_CONSTANT_SPEED, IDC_RA_CC_RAMP_UP_PATH, IDC_RA_CC_RAMP_UP_BROWSE,
                                 IDC_RA_CC_SENSOR,         IDC_RA_CC_PULSE,        IDC_RA_CC_PULSES,
                                 IDC_RA_CC_VREF_LABEL,     IDC_RA_CC_VREF,         IDC_RA_CC_VREF_VALUE};
const std::vector<int> kCSet = {IDC_RA_C_CHECK,          IDC_RA_C_CONSTANT,     IDC_RA_C_RAMP_UP,
                                IDC_RA_C_CONSTANT_SPEED, IDC_RA_C_RAMP_UP_PATH, IDC_RA_C_RAMP_UP_BROWSE,
                                IDC_RA_C_PULSES_LABEL,   IDC_RA_C_PULSES,       IDC_RA_C_VREF_LABEL,
                                IDC_RA_C_VREF,           IDC_RA_C_VREF_VALUE};
const std::vector<int> kScSet = {IDC_RA_SC_CHECK,          IDC_RA_SC_CONSTANT,     IDC_RA_SC_RAMP_UP,
                                 IDC_RA_SC_CONSTANT_SPEED, IDC_RA_SC_RAMP_UP_PATH, IDC_RA_SC_RAMP_UP_BROWSE,
                                 IDC_RA_SC_PULSES_LABEL,   IDC_RA_SC_PULSES,       IDC_RA_SC_TRACK,
                                 IDC_RA_SC_VREF_LABEL,     IDC_RA_SC_VREF,         IDC_RA_SC_VREF_VALUE,
                                 IDC_RA_SC_USE_PLATEN};

std::vector<Want> all(const std::vector<int>& ids, Want (*f)(int), size_t from = 0)
{
    std::vector<Want> w;
    for (size_t i = from; i < ids.size(); ++i)
        w.push_back(f(ids[i]));
    return w;
}
std::vector<Want> operator+(std::vector<Want> a, const std::vector<Want>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

class RibbonDlgTest : public vantor::testing::ScreenFixture {
protected:
    struct Opened {
        std::unique_ptr<vantor::CTestDlg> dlg;
        std::unique_ptr<DialogHarness> h;
    };
    static Opened open(const Factory& f)
    {
        Opened o{f(), nullptr};
        o.h = std::make_unique<DialogHarness>(*o.dlg);
        EXPECT_TRUE(o.h->open());
        return o;
    }
    // Moves virtual time on, processing events, until `done`. Bounded by a
    // real-time guard that only trips on a hang, not by a number of steps: on
    // a loaded machine the worker may get the processor late.
    bool waitUntil(const std::function<bool()>& done)
    {
        const auto guard = std::chrono::steady_clock::now() + 60s;
        while (!done()) {
            if (std::chrono::steady_clock::now() > guard)
                return false;
            ui::testing::processEvents();
            clock.advance(10ms);
            std::this_thread::yield();
        }
        return true;
    }
    // Sets "Total Cycle:", presses RUN and waits for the run's closing " ".
    bool runPatiently(DialogHarness& h, int cycles)
    {
        const qsizetype before = results(h).count(QStringLiteral(" "));
        if (!h.setText(IDC_TOTAL_CYCLE, QString::number(cycles)) || !h.click(IDC_RUN))
            return false;
        return waitUntil([&] { return results(h).count(QStringLiteral(" ")) == before + 1; });
    }
    // Moves virtual time on by `span`, processing events.
    void idleFor(std::chrono::milliseconds span)
    {
        for (auto t = std::chrono::milliseconds(0); t < span; t += 10ms) {
            ui::testing::processEvents();
            clock.advance(10ms);
        }
        ui::testing::processEvents();
    }
    void expectAll(Opened& o, const std::vector<Want>& wants, const char* name)
    {
        for (const Want& w : wants)
            if (const std::string m = mismatch(*o.dlg, *o.h, w); !m.empty())
                ADD_FAILURE() << name << ": " << m;
    }
};

struct StartCase {
    const char* name;
    Factory open;
    const char* caption;
    std::vector<Want> wants;
};

TEST_F(RibbonDlgTest, EachDialogOpensWithItsStartValues)
{
    const std::vector<Want> common = {text(IDC_TOTAL_CYCLE, "1"), text(IDC_PAUSE, "0"), text(IDC_CYCLE, "0"),
                                      text(IDC_CUMULATIVE_CYCLE, "0")};
    const StartCase cases[] = {
        {"tension", make<CRibbonTensionDlg>(), "RIBBON TENSION TEST",
         common + std::vector<Want>{text(IDC_RT_FREQUENCY, ""), slider(IDC_RT_DUTY, 50), text(IDC_RT_DUTY_VALUE, " 50"),
                                    text(IDC_RT_DURATION, ""), text(IDC_RT_LEVEL, "38"), on(IDC_RT_SLIP),
                                    radio(IDC_RT_CONSTANT, 0), enabled(IDC_RT_CONSTANT_SPEED),
                                    text(IDC_RT_CONSTANT_SPEED, ""), disabled(IDC_RT_RAMP_UP_BROWSE),
                                    text(IDC_RT_PULSES, ""), off(IDC_RT_TRACK), radio(IDC_RT_FULL, 2),
                                    slider(IDC_RT_VREF, 255), text(IDC_RT_VREF_VALUE, "255"), on(IDC_RT_USE_PLATEN),
                                    kPanelShown}},
        {"advance", make<CRibbonAdvanceDlg>(), "RIBBON ADVANCE TEST",
         common + all(kCcSet, shown) + all(kCSet, hidden) + all(kScSet, hidden) +
             std::vector<Want>{kPanelHidden,
                               radio(IDC_RA_VIEW_CC, 0),
                               on(IDC_RA_CC_CHECK),
                               on(IDC_RA_C_CHECK),
                               on(IDC_RA_SC_CHECK),
                               on(IDC_RA_SC_USE_PLATEN),
                               radio(IDC_RA_CC_CONSTANT, 0),
                               radio(IDC_RA_C_CONSTANT, 0),
                               radio(IDC_RA_SC_CONSTANT, 0),
                               radio(IDC_RA_CC_SENSOR, 0),
                               disabled(IDC_RA_CC_PULSES),
                               enabled(IDC_RA_CC_CONSTANT_SPEED),
                               disabled(IDC_RA_CC_RAMP_UP_BROWSE),
                               radio(IDC_RA_FULL, 2),
                               slider(IDC_RA_CC_VREF, 255),
                               slider(IDC_RA_C_VREF, 255),
                               slider(IDC_RA_SC_VREF, 255),
                               text(IDC_RA_CC_VREF_VALUE, "255"),
                               text(IDC_RA_SC_VREF_VALUE, "255"),
                               off(IDC_RA_SC_TRACK),
                               text(IDC_RA_PH_TRIGGERED, "0")}},
        {"drive", make<CRibbonDriveDlg>(), "RIBBON DRIVE TEST",
         common + std::vector<Want>{off(IDC_RD_ADVANCE), off(IDC_RD_REVERSE), radio(IDC_RD_A_CONSTANT, 0),
                                    radio(IDC_RD_R_CONSTANT, 0), disabled(IDC_RD_A_CONSTANT),
                                    disabled(IDC_RD_A_CONSTANT_SPEED), disabled(IDC_RD_A_RAMP_UP_BROWSE),
                                    disabled(IDC_RD_A_PULSES), disabled(IDC_RD_R_RAMP_UP),
                                    disabled(IDC_RD_R_RAMP_UP_PATH), disabled(IDC_RD_R_PULSES),
                                    text(IDC_RD_A_PULSES, ""), text(IDC_RD_R_CONSTANT_SPEED, ""),
                                    slider(IDC_RD_VREF, 255), text(IDC_RD_VREF_VALUE, "255"),
                                    // none in the template: "1/4" chosen and shown
                                    radio(IDC_RD_FULL, 2), off(IDC_RD_TRACK)}},
        {"with platen", make<CRibbonToPlatenDlg>(), "RIBBON w/ PLATEN TEST",
         common +
             std::vector<Want>{
                 radio(IDC_RP_RIBBON_ADVANCE, 0), radio(IDC_RP_PLATEN_ADVANCE, 0), radio(IDC_RP_R_CONSTANT, 0),
                 radio(IDC_RP_P_CONSTANT, 0), enabled(IDC_RP_R_CONSTANT_SPEED), disabled(IDC_RP_P_RAMP_UP_BROWSE),
                 text(IDC_RP_R_PULSES, ""), text(IDC_RP_P_CONSTANT_SPEED, ""), slider(IDC_RP_R_VREF, 255),
                 text(IDC_RP_R_VREF_VALUE, "255"), slider(IDC_RP_P_VREF, 255), text(IDC_RP_P_VREF_VALUE, "255"),
                 radio(IDC_RP_R_FULL, 0), radio(IDC_RP_P_FULL, 0), off(IDC_RP_TRACK), off(IDC_RP_SEQUENCE)}},
    };
    for (const StartCase& c : cases) {
        Opened o = open(c.open);
        EXPECT_EQ(o.dlg->windowTitle(), QLatin1String(c.caption)) << c.name;
        expectAll(o, c.wants, c.name);
        if (CPlatenSettingDlg* p = panelOf(*o.dlg)) {
            const QPoint at = dynamic_cast<CRibbonTensionDlg*>(o.dlg.get()) ? CRibbonTensionDlg::kPanelAt
                                                                            : CRibbonAdvanceDlg::kPanelAt;
            EXPECT_EQ(p->pos(), at) << c.name;
            EXPECT_EQ(p->size(), CPlatenSettingDlg::kRibbonSize) << c.name;
        }
    }
    Opened t = open(make<CRibbonTensionDlg>());
    EXPECT_EQ(t.h->comboItems(IDC_RT_LEVEL), (QStringList{"38", "71", "100"}));
}

// Each view shows its move's own set of the 37 move controls and nothing of
// the other two.
TEST_F(RibbonDlgTest, AdvanceViewShowsOneMoveOfTheThirtySevenControls)
{
    Opened o = open(make<CRibbonAdvanceDlg>());
    ASSERT_EQ(kCcSet.size() + kCSet.size() + kScSet.size() + 1, 37u);
    const struct {
        int radio;
        const std::vector<int>& set;
        size_t count; // with the panel for the slip clutch
    } views[] = {{IDC_RA_VIEW_C, kCSet, 11}, {IDC_RA_VIEW_SC, kScSet, 14}, {IDC_RA_VIEW_CC, kCcSet, 12}};
    for (const auto& v : views) {
        ASSERT_TRUE(o.h->click(v.radio));
        size_t shownCount = panelOf(*o.dlg)->isHidden() ? 0 : 1;
        for (const std::vector<int>* set : {&kCcSet, &kCSet, &kScSet})
            for (int id : *set) {
                if (o.h->visible(id))
                    ++shownCount;
                EXPECT_EQ(o.h->visible(id), set == &v.set) << "view " << v.radio << ", control " << id;
            }
        EXPECT_EQ(shownCount, v.count) << "view " << v.radio;
    }
}

// The three visible ribbon buttons of the menu open their screens; the
// tension button stays hidden as the menu template has it, yet its command
// opens the tension screen (a template that shows the button just works).
TEST_F(RibbonDlgTest, MenuOpensEachRibbonScreen)
{
    vantor::CVantorDlg menu;
    DialogHarness h(menu);
    ASSERT_TRUE(h.open());
    EXPECT_FALSE(h.visible(IDC_RIBBON_TENSION_TEST));
    const struct {
        int button;
        const char* caption;
    } rows[] = {{IDC_RIBBON_ADVANCE_TEST, "RIBBON ADVANCE TEST"},
                {IDC_RIBBON_DRIVE_TEST, "RIBBON DRIVE TEST"},
                {IDC_RIBBON_TO_PLATEN_TEST, "RIBBON w/ PLATEN TEST"},
                {IDC_RIBBON_TENSION_TEST, "RIBBON TENSION TEST"}};
    for (const auto& row : rows) {
        QString caption;
        // The screen runs modally inside the command: look at it from the
        // event loop, then close it as the operator would.
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                auto* dlg = qobject_cast<vantor::CTestDlg*>(w);
                if (dlg && dlg->isCreated() && dlg->isVisible() && !dlg->hasEnded()) {
                    caption = dlg->windowTitle();
                    dlg->command(ui::IDCANCEL);
                }
            }
        });
        poll.start(1);
        if (row.button == IDC_RIBBON_TENSION_TEST)
            menu.command(row.button);
        else
            ASSERT_TRUE(h.click(row.button)) << row.caption;
        poll.stop();
        EXPECT_EQ(caption, QLatin1String(row.caption));
    }
    h.pressEscape();
}

struct RuleCase {
    const char* name;
    Factory open;
    std::vector<int> clicks;
    std::vector<Want> wants;
};

TEST_F(RibbonDlgTest, ShowHideAndEnableRules)
{
    const std::vector<int> tensionMove = {
        IDC_RT_CONSTANT,     IDC_RT_RAMP_UP,   IDC_RT_CONSTANT_SPEED, IDC_RT_RAMP_UP_PATH, IDC_RT_RAMP_UP_BROWSE,
        IDC_RT_PULSES_LABEL, IDC_RT_PULSES,    IDC_RT_TRACK,          IDC_RT_STEP_LABEL,   IDC_RT_FULL,
        IDC_RT_HALF,         IDC_RT_QUARTER,   IDC_RT_EIGHTH,         IDC_RT_VREF_LABEL,   IDC_RT_VREF,
        IDC_RT_VREF_VALUE,   IDC_RT_USE_PLATEN};
    const std::vector<int> driveAdvance = {IDC_RD_A_CONSTANT, IDC_RD_A_RAMP_UP, IDC_RD_A_CONSTANT_SPEED,
                                           IDC_RD_A_PULSES};
    const RuleCase cases[] = {
        {"tension: cleared slip clutch",
         make<CRibbonTensionDlg>(),
         {IDC_RT_SLIP},
         all(tensionMove, disabled) + std::vector<Want>{kPanelHidden, enabled(IDC_RT_FREQUENCY), enabled(IDC_RUN)}},
        {"tension: slip clutch again, ramp-up",
         make<CRibbonTensionDlg>(),
         {IDC_RT_SLIP, IDC_RT_SLIP, IDC_RT_RAMP_UP},
         {enabled(IDC_RT_RAMP_UP_BROWSE), disabled(IDC_RT_CONSTANT_SPEED), enabled(IDC_RT_PULSES), enabled(IDC_RT_VREF),
          kPanelShown}},
        {"tension: use platen cleared", make<CRibbonTensionDlg>(), {IDC_RT_USE_PLATEN}, {kPanelHidden}},
        {"tension: use platen cleared stays hidden over the slip clutch",
         make<CRibbonTensionDlg>(),
         {IDC_RT_USE_PLATEN, IDC_RT_SLIP, IDC_RT_SLIP},
         {kPanelHidden, enabled(IDC_RT_USE_PLATEN)}},
        {"advance: pulse trigger", make<CRibbonAdvanceDlg>(), {IDC_RA_CC_PULSE}, {enabled(IDC_RA_CC_PULSES)}},
        {"advance: back to sensor trigger",
         make<CRibbonAdvanceDlg>(),
         {IDC_RA_CC_PULSE, IDC_RA_CC_SENSOR},
         {disabled(IDC_RA_CC_PULSES)}},
        {"advance: cleared counter-clockwise",
         make<CRibbonAdvanceDlg>(),
         {IDC_RA_CC_PULSE, IDC_RA_CC_CHECK},
         all(kCcSet, disabled, 1) + std::vector<Want>{enabled(IDC_RA_CC_CHECK), shown(IDC_RA_CC_PULSES)}},
        {"advance: counter-clockwise again keeps its trigger rule",
         make<CRibbonAdvanceDlg>(),
         {IDC_RA_CC_CHECK, IDC_RA_CC_CHECK},
         {enabled(IDC_RA_CC_CONSTANT_SPEED), disabled(IDC_RA_CC_RAMP_UP_BROWSE), disabled(IDC_RA_CC_PULSES),
          enabled(IDC_RA_CC_VREF)}},
        {"advance: clockwise ramp-up",
         make<CRibbonAdvanceDlg>(),
         {IDC_RA_VIEW_C, IDC_RA_C_RAMP_UP},
         {enabled(IDC_RA_C_RAMP_UP_BROWSE), disabled(IDC_RA_C_CONSTANT_SPEED), enabled(IDC_RA_C_PULSES)}},
        {"advance: cleared slip clutch",
         make<CRibbonAdvanceDlg>(),
         {IDC_RA_VIEW_SC, IDC_RA_SC_CHECK},
         all(kScSet, disabled, 1) + std::vector<Want>{kPanelHidden, shown(IDC_RA_SC_USE_PLATEN)}},
        {"advance: slip clutch again shows the panel",
         make<CRibbonAdvanceDlg>(),
         {IDC_RA_VIEW_SC, IDC_RA_SC_CHECK, IDC_RA_SC_CHECK},
         {kPanelShown, enabled(IDC_RA_SC_TRACK)}},
        {"advance: use platen cleared",
         make<CRibbonAdvanceDlg>(),
         {IDC_RA_VIEW_SC, IDC_RA_SC_USE_PLATEN},
         {kPanelHidden, shown(IDC_RA_SC_USE_PLATEN)}},
        {"advance: the panel goes with its view",
         make<CRibbonAdvanceDlg>(),
         {IDC_RA_VIEW_SC, IDC_RA_VIEW_C},
         {kPanelHidden}},
        {"drive: advance checked",
         make<CRibbonDriveDlg>(),
         {IDC_RD_ADVANCE},
         all(driveAdvance, enabled) + std::vector<Want>{disabled(IDC_RD_A_RAMP_UP_PATH), disabled(IDC_RD_A_RAMP_UP_BROWSE),
                                                        disabled(IDC_RD_R_CONSTANT),
                                                        disabled(IDC_RD_R_PULSES)}},
        {"drive: advance ramp-up",
         make<CRibbonDriveDlg>(),
         {IDC_RD_ADVANCE, IDC_RD_A_RAMP_UP},
         {enabled(IDC_RD_A_RAMP_UP_PATH), enabled(IDC_RD_A_RAMP_UP_BROWSE), disabled(IDC_RD_A_CONSTANT_SPEED)}},
        {"drive: advance back to constant",
         make<CRibbonDriveDlg>(),
         {IDC_RD_ADVANCE, IDC_RD_A_RAMP_UP, IDC_RD_A_CONSTANT},
         {disabled(IDC_RD_A_RAMP_UP_PATH), disabled(IDC_RD_A_RAMP_UP_BROWSE), enabled(IDC_RD_A_CONSTANT_SPEED)}},
        {"drive: reverse checked and cleared",
         make<CRibbonDriveDlg>(),
         {IDC_RD_REVERSE, IDC_RD_REVERSE},
         {disabled(IDC_RD_R_CONSTANT), disabled(IDC_RD_R_CONSTANT_SPEED), disabled(IDC_RD_R_PULSES)}},
        {"with platen: platen reverse",
         make<CRibbonToPlatenDlg>(),
         {IDC_RP_PLATEN_REVERSE},
         {radio(IDC_RP_RIBBON_ADVANCE, 1), radio(IDC_RP_PLATEN_ADVANCE, 1)}},
        {"with platen: ribbon advance again",
         make<CRibbonToPlatenDlg>(),
         {IDC_RP_PLATEN_REVERSE, IDC_RP_RIBBON_ADVANCE},
         {radio(IDC_RP_RIBBON_ADVANCE, 0), radio(IDC_RP_PLATEN_ADVANCE, 0)}},
        {"with platen: ribbon reverse",
         make<CRibbonToPlatenDlg>(),
         {IDC_RP_RIBBON_REVERSE},
         {radio(IDC_RP_PLATEN_ADVANCE, 1)}},
        {"with platen: speed groups apart",
         make<CRibbonToPlatenDlg>(),
         {IDC_RP_R_RAMP_UP},
         {enabled(IDC_RP_R_RAMP_UP_PATH), enabled(IDC_RP_R_RAMP_UP_BROWSE), disabled(IDC_RP_R_CONSTANT_SPEED),
          disabled(IDC_RP_P_RAMP_UP_PATH), disabled(IDC_RP_P_RAMP_UP_BROWSE), enabled(IDC_RP_P_CONSTANT_SPEED)}},
    };
    for (const RuleCase& c : cases) {
        Opened o = open(c.open);
        for (int id : c.clicks)
            ASSERT_TRUE(o.h->click(id)) << c.name << ": click " << id;
        expectAll(o, c.wants, c.name);
    }
}

TEST_F(RibbonDlgTest, SliderLabelsFollowThePositionAsThreeDigits)
{
    const struct {
        Factory open;
        int slider, label, pos;
        const char* want;
    } cases[] = {
        {make<CRibbonTensionDlg>(), IDC_RT_DUTY, IDC_RT_DUTY_VALUE, 7, "  7"},
        {make<CRibbonTensionDlg>(), IDC_RT_DUTY, IDC_RT_DUTY_VALUE, 100, "100"},
        {make<CRibbonTensionDlg>(), IDC_RT_VREF, IDC_RT_VREF_VALUE, 42, " 42"},
        {make<CRibbonAdvanceDlg>(), IDC_RA_CC_VREF, IDC_RA_CC_VREF_VALUE, 1, "  1"},
        {make<CRibbonDriveDlg>(), IDC_RD_VREF, IDC_RD_VREF_VALUE, 99, " 99"},
        {make<CRibbonToPlatenDlg>(), IDC_RP_P_VREF, IDC_RP_P_VREF_VALUE, 128, "128"},
    };
    for (const auto& c : cases) {
        Opened o = open(c.open);
        ASSERT_TRUE(o.h->setSliderPos(c.slider, c.pos));
        EXPECT_EQ(o.h->text(c.label), QLatin1String(c.want)) << c.slider;
    }
}

// With no move checked, RUN is not a refused run: nothing at all happens.
TEST_F(RibbonDlgTest, RunWithNoMoveCheckedDoesNothing)
{
    const struct {
        const char* name;
        Factory open;
        std::vector<int> clicks;
    } cases[] = {
        {"advance, all three cleared",
         make<CRibbonAdvanceDlg>(),
         {IDC_RA_CC_CHECK, IDC_RA_VIEW_C, IDC_RA_C_CHECK, IDC_RA_VIEW_SC, IDC_RA_SC_CHECK}},
        {"drive, as it opens", make<CRibbonDriveDlg>(), {}},
        {"drive, advance checked and cleared", make<CRibbonDriveDlg>(), {IDC_RD_ADVANCE, IDC_RD_ADVANCE}},
    };
    auto printer = startRecordingPrinter();
    for (const auto& c : cases) {
        Opened o = open(c.open);
        for (int id : c.clicks)
            ASSERT_TRUE(o.h->click(id)) << c.name;
        ASSERT_TRUE(o.h->setText(IDC_TOTAL_CYCLE, QStringLiteral("2")));
        ASSERT_TRUE(o.h->click(IDC_RUN)) << c.name;
        idleFor(3s); // time enough for any run
        EXPECT_TRUE(results(*o.h).isEmpty()) << c.name;
        EXPECT_TRUE(o.h->enabled(IDC_RUN)) << c.name;
        EXPECT_EQ(o.h->text(IDC_CYCLE), QStringLiteral("0")) << c.name;
        EXPECT_EQ(prompts.count(), 0u) << c.name;
    }
    EXPECT_EQ(printer->count(), 0);
}

// Message 1130: one count per successful counter-clockwise move, none for a
// failed one; RUN starts it at 0 again.
TEST_F(RibbonDlgTest, PhTriggeredCountsSuccessfulCounterClockwiseMoves)
{
    auto printer = startRecordingPrinter();
    Opened o = open(make<CRibbonAdvanceDlg>());
    for (int id : {IDC_RA_VIEW_C, IDC_RA_C_CHECK, IDC_RA_VIEW_SC, IDC_RA_SC_CHECK})
        ASSERT_TRUE(o.h->click(id));

    ASSERT_TRUE(runPatiently(*o.h, 2)) << results(*o.h).join('|').toStdString() << " requests " << printer->count()
                                       << " RUN " << o.h->enabled(IDC_RUN);
    EXPECT_EQ(o.h->text(IDC_RA_PH_TRIGGERED), QStringLiteral("2"));
    EXPECT_EQ(printer->count(), 2);
    ASSERT_TRUE(waitUntil([&] { return o.h->enabled(IDC_RUN); }));

    ASSERT_TRUE(runPatiently(*o.h, 1));
    EXPECT_EQ(o.h->text(IDC_RA_PH_TRIGGERED), QStringLiteral("1"));
    ASSERT_TRUE(waitUntil([&] { return o.h->enabled(IDC_RUN); }));

    printer->succeed = false;
    ASSERT_TRUE(runPatiently(*o.h, 2));
    EXPECT_EQ(o.h->text(IDC_RA_PH_TRIGGERED), QStringLiteral("0"));
    const QStringList lines = results(*o.h);
    EXPECT_EQ(lines.mid(lines.size() - 4),
              (QStringList{"1,Rocker Arm (cc),FAIL,-", "2,Rocker Arm (cc),FAIL,-", "== End ==", " "}));
    EXPECT_EQ(o.h->text(IDC_CUMULATIVE_CYCLE), QStringLiteral("5"));
}

struct LinesCase {
    const char* name;
    Factory open;
    std::vector<int> clicks;
    QStringList cycleLines; // of 2 cycles; "%n" stands for an encoder count
};

// Whole runs of 2 cycles against the simulated printer, as the operator
// starts them from the dialogs' start values.
TEST_F(RibbonDlgTest, RunsOfTwoCyclesGiveTheExactLines)
{
    const LinesCase cases[] = {
        {"tension",
         make<CRibbonTensionDlg>(),
         {},
         {"1,Ribbon Tension and Slip Clutch,OK,-", "2,Ribbon Tension and Slip Clutch,OK,-"}},
        {"tension, track encoder",
         make<CRibbonTensionDlg>(),
         {IDC_RT_TRACK},
         {"1,Ribbon Tension and Slip Clutch,OK,%n", "2,Ribbon Tension and Slip Clutch,OK,%n"}},
        {"tension only",
         make<CRibbonTensionDlg>(),
         {IDC_RT_SLIP},
         {"1,Ribbon Tension Only,OK,-", "2,Ribbon Tension Only,OK,-"}},
        {"advance",
         make<CRibbonAdvanceDlg>(),
         {},
         {"1,Rocker Arm (cc),OK,-", "1,Rocker Arm (c),OK,-", "1,Slip Clutch,OK,-", "2,Rocker Arm (cc),OK,-",
          "2,Rocker Arm (c),OK,-", "2,Slip Clutch,OK,-"}},
        {"advance, slip clutch tracked",
         make<CRibbonAdvanceDlg>(),
         {IDC_RA_VIEW_SC, IDC_RA_SC_TRACK, IDC_RA_VIEW_CC, IDC_RA_CC_CHECK},
         {"1,Rocker Arm (c),OK,-", "1,Slip Clutch,OK,%n", "2,Rocker Arm (c),OK,-", "2,Slip Clutch,OK,%n"}},
        {"drive, both",
         make<CRibbonDriveDlg>(),
         {IDC_RD_ADVANCE, IDC_RD_REVERSE},
         {"1,Ribbon Advance ,OK,-", "1,Ribbon Reverse ,OK,-", "2,Ribbon Advance ,OK,-", "2,Ribbon Reverse ,OK,-"}},
        {"drive, reverse tracked",
         make<CRibbonDriveDlg>(),
         {IDC_RD_REVERSE, IDC_RD_TRACK},
         {"1,Ribbon Reverse ,%n, OK,-", "2,Ribbon Reverse ,%n, OK,-"}},
        {"with platen",
         make<CRibbonToPlatenDlg>(),
         {},
         {"1,Ribbon Advance w/ Platen,OK,-", "2,Ribbon Advance w/ Platen,OK,-"}},
        {"with platen, reverse",
         make<CRibbonToPlatenDlg>(),
         {IDC_RP_PLATEN_REVERSE},
         {"1,Ribbon Reverse w/ Platen,OK,-", "2,Ribbon Reverse w/ Platen,OK,-"}},
        {"with platen, sequence from reverse, tracked",
         make<CRibbonToPlatenDlg>(),
         {IDC_RP_RIBBON_REVERSE, IDC_RP_SEQUENCE, IDC_RP_TRACK},
         {"1,Ribbon Advance w/ Platen, %n, OK,-", "1,Ribbon Reverse w/ Platen,%n, OK,-",
          "2,Ribbon Advance w/ Platen, %n, OK,-", "2,Ribbon Reverse w/ Platen,%n, OK,-"}},
    };
    for (const LinesCase& c : cases) {
        startSimulator();
        Opened o = open(c.open);
        for (int id : c.clicks)
            ASSERT_TRUE(o.h->click(id)) << c.name << ": click " << id;
        ASSERT_TRUE(runPatiently(*o.h, 2)) << c.name << ": " << results(*o.h).join('|').toStdString() << " RUN "
                                           << o.h->enabled(IDC_RUN) << " cycle " << o.h->text(IDC_CYCLE).toStdString();
        EXPECT_EQ(prompts.count(), 0u) << c.name;
        const QStringList got = withoutTimeLines(results(*o.h));
        const QStringList want = QStringList{"== Start ==", "<time>"} + c.cycleLines + QStringList{"== End ==", " "};
        ASSERT_EQ(got.size(), want.size()) << c.name << ": " << got.join('|').toStdString();
        for (qsizetype i = 0; i < want.size(); ++i) {
            QStringList parts = want[i].split(QStringLiteral("%n"));
            for (QString& p : parts)
                p = QRegularExpression::escape(p);
            const QRegularExpression re(QRegularExpression::anchoredPattern(parts.join(QStringLiteral("-?\\d+"))));
            EXPECT_TRUE(re.match(got[i]).hasMatch()) << c.name << ": " << got[i].toStdString();
        }
        EXPECT_EQ(o.h->text(IDC_CYCLE), QStringLiteral("2")) << c.name;
    }
}

// No box is checked, "Total Cycle:" neither: a total of 0 still runs one cycle.
TEST_F(RibbonDlgTest, ATotalOfZeroRunsOneCycle)
{
    const struct {
        Factory open;
        std::vector<int> clicks;
        const char* line;
    } cases[] = {
        {make<CRibbonTensionDlg>(), {}, "1,Ribbon Tension and Slip Clutch,OK,-"},
        {make<CRibbonAdvanceDlg>(), {IDC_RA_CC_CHECK, IDC_RA_VIEW_C, IDC_RA_C_CHECK}, "1,Slip Clutch,OK,-"},
        {make<CRibbonDriveDlg>(), {IDC_RD_REVERSE}, "1,Ribbon Reverse ,OK,-"},
        {make<CRibbonToPlatenDlg>(), {}, "1,Ribbon Advance w/ Platen,OK,-"},
    };
    startSimulator();
    for (const auto& c : cases) {
        Opened o = open(c.open);
        for (int id : c.clicks)
            ASSERT_TRUE(o.h->click(id)) << c.line;
        ASSERT_TRUE(runPatiently(*o.h, 0)) << c.line;
        EXPECT_EQ(prompts.count(), 0u) << c.line;
        EXPECT_EQ(withoutTimeLines(results(*o.h)),
                  (QStringList{"== Start ==", "<time>", QLatin1String(c.line), "== End ==", " "}));
        EXPECT_EQ(o.h->text(IDC_CYCLE), QStringLiteral("1"));
    }
}

// The bytes of the n-th record of `length` attached to the request trace.
QByteArray tracedRecord(const QString& traceFile, int length, int nth)
{
    QFile f(traceFile);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QByteArray marker = " [" + QByteArray::number(length) + "] ";
    int seen = 0;
    for (const QByteArray& line : f.readAll().split('\n')) {
        const qsizetype at = line.indexOf(marker);
        if (!line.startsWith("  ") || at < 0 || line.indexOf('@') < 0 || line.indexOf('@') > at)
            continue;
        if (seen++ == nth)
            return QByteArray::fromHex(line.mid(at + marker.size()).replace(' ', ""));
    }
    return {};
}

// The reset platen block of an entry that does not use the platen.
Bytes& resetPlaten(Bytes& b, int at)
{
    return b.word(at + 8, 2).word(at + 16, 1000).byte(at + 36, 255);
}

struct BytesCase {
    const char* name;
    Factory open;
    std::function<void(vantor::CTestDlg&, DialogHarness&)> set;
    int length;
    std::vector<Bytes> want; // the records of one cycle, in the order sent
};

// What the operator sets reaches the record's bytes (one cycle, the record
// as the simulated printer read it).
TEST_F(RibbonDlgTest, ControlsReachTheRecordBytes)
{
    Bytes tension(120);
    tension.word(0, 2).word(8, 2).word(12, 30).word(16, 1000).word(20, 20);
    tension.word(24, 1).word(28, 3).word(32, 2).word(36, 400).word(40, 800).byte(56, 200);
    tension.word(60, 1).word(68, 1).word(76, 200).word(80, 600).byte(100, 255);

    Bytes advance(96);
    advance.word(4, 2).word(8, 2).word(12, 300).word(16, 500).byte(32, 100);
    resetPlaten(advance, 40);

    Bytes drive(96);
    drive.word(0, 1).word(4, 1).word(8, 2).word(12, 100).word(16, 700).byte(32, 60).word(88, 1);
    resetPlaten(drive, 40);

    Bytes toPlatenA(96), toPlatenB(96);
    for (Bytes* b : {&toPlatenA, &toPlatenB}) {
        b->word(4, 3).word(8, 2).word(12, 50).word(16, 900).byte(32, 255).word(36, 1);
        b->word(44, 1).word(48, 2).word(52, 80).word(56, 400).byte(76, 128);
    }
    toPlatenA.word(0, 1).word(40, 1);

    const BytesCase cases[] = {
        {"tension",
         make<CRibbonTensionDlg>(),
         [](vantor::CTestDlg& d, DialogHarness& h) {
             h.setText(IDC_RT_FREQUENCY, QStringLiteral("1000"));
             h.setSliderPos(IDC_RT_DUTY, 30);
             h.setText(IDC_RT_DURATION, QStringLiteral("20"));
             h.selectComboText(IDC_RT_LEVEL, QStringLiteral("71"));
             h.setText(IDC_RT_CONSTANT_SPEED, QStringLiteral("800"));
             h.setText(IDC_RT_PULSES, QStringLiteral("400"));
             h.click(IDC_RT_EIGHTH);
             h.setSliderPos(IDC_RT_VREF, 200);
             CPlatenSettingDlg& p = *panelOf(d);
             p.setText(IDC_PL_CONSTANT_SPEED, QStringLiteral("600"));
             p.setText(IDC_PL_PULSES, QStringLiteral("200"));
             p.setRadioIndex(IDC_PL_FULL, 1);
         },
         120,
         {tension}},
        {"advance, counter-clockwise by pulses",
         make<CRibbonAdvanceDlg>(),
         [](vantor::CTestDlg&, DialogHarness& h) {
             h.click(IDC_RA_CC_PULSE);
             h.setText(IDC_RA_CC_PULSES, QStringLiteral("300"));
             h.setText(IDC_RA_CC_CONSTANT_SPEED, QStringLiteral("500"));
             h.setSliderPos(IDC_RA_CC_VREF, 100);
             for (int id : {IDC_RA_VIEW_C, IDC_RA_C_CHECK, IDC_RA_VIEW_SC, IDC_RA_SC_CHECK})
                 EXPECT_TRUE(h.click(id));
         },
         96,
         {advance}},
        {"drive, advance",
         make<CRibbonDriveDlg>(),
         [](vantor::CTestDlg&, DialogHarness& h) {
             h.click(IDC_RD_ADVANCE);
             h.setText(IDC_RD_A_CONSTANT_SPEED, QStringLiteral("700"));
             h.setText(IDC_RD_A_PULSES, QStringLiteral("100"));
             h.click(IDC_RD_HALF);
             h.setSliderPos(IDC_RD_VREF, 60);
             h.click(IDC_RD_TRACK);
         },
         96,
         {drive}},
        {"with platen, sequence from reverse",
         make<CRibbonToPlatenDlg>(),
         [](vantor::CTestDlg&, DialogHarness& h) {
             h.click(IDC_RP_PLATEN_REVERSE);
             h.click(IDC_RP_SEQUENCE);
             h.setText(IDC_RP_R_CONSTANT_SPEED, QStringLiteral("900"));
             h.setText(IDC_RP_R_PULSES, QStringLiteral("50"));
             h.click(IDC_RP_R_EIGHTH);
             h.setText(IDC_RP_P_CONSTANT_SPEED, QStringLiteral("400"));
             h.setText(IDC_RP_P_PULSES, QStringLiteral("80"));
             h.click(IDC_RP_P_HALF);
             h.setSliderPos(IDC_RP_P_VREF, 128);
         },
         96,
         {toPlatenA, toPlatenB}},
    };
    const QString traceFile = dir.filePath(QStringLiteral("trace.txt"));
    for (const BytesCase& c : cases) {
        startSimulator();
        QFile::remove(traceFile);
        platform::trace::setFile(traceFile);
        Opened o = open(c.open);
        c.set(*o.dlg, *o.h);
        ASSERT_TRUE(runPatiently(*o.h, 1)) << c.name;
        platform::trace::setFile(QString());
        for (size_t n = 0; n < c.want.size(); ++n)
            EXPECT_EQ(tracedRecord(traceFile, c.length, int(n)).toHex(), c.want[n].b.toHex())
                << c.name << ", record " << n;
        EXPECT_TRUE(tracedRecord(traceFile, c.length, int(c.want.size())).isEmpty())
            << c.name << ": one record too many";
    }
}

} // namespace
