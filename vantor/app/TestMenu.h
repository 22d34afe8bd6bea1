#pragma once
// The test menu's table: which screen each menu button opens, and how its
// test runs without a window. One row per screen; a button without a row is
// disabled in the menu.
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "ui/Dialog.h"
#include "vantor/framework/TestDefinition.h"
#include "vantor/settings/TestSettingsStore.h"

namespace vantor {

// A cycling test as `vantor --run` runs it: from its settings record, with
// the same checks and the same run as its dialog.
struct HeadlessTest {
    int settingsIndex = -1;
    std::function<QString(CTestSettings&)> validate;
    std::function<PreparedRun(CTestSettings&, const DriverRef&)> prepare;
};

using ScreenFactory = std::function<std::unique_ptr<ui::Dialog>()>;

struct TestScreen {
    int commandId;        // the menu button's id (or a command without a button)
    ScreenFactory open;   // constructs the screen; the menu runs it modally and destroys it
    std::optional<HeadlessTest> headless = std::nullopt; // cycling tests
};

// A row's `open` for a dialog class: `Dlg(args..., nullptr)`.
template <class Dlg, class... Args>
ScreenFactory modal(Args... args)
{
    return [=]() -> std::unique_ptr<ui::Dialog> {
        return std::make_unique<Dlg>(args..., static_cast<QWidget*>(nullptr));
    };
}

// A row's `headless` for a test definition (the record of `index`).
template <class Settings>
HeadlessTest headless(const TestDefinition<Settings>& def, int index = Settings::kIndex)
{
    HeadlessTest t;
    t.settingsIndex = index;
    t.validate = [&def](CTestSettings& r) {
        const Settings& s = dynamic_cast<const Settings&>(r);
        QString messages = def.checksTotalCycle ? checkTotalCycle(s.cycle) : QString();
        if (def.validate)
            messages += def.validate(s);
        return messages;
    };
    t.prepare = [&def](CTestSettings& r, const DriverRef& driver) {
        return def.prepare(dynamic_cast<const Settings&>(r), driver);
    };
    return t;
}

// The rows of the program (TestMenu.cpp).
const std::vector<TestScreen>& testScreens();

} // namespace vantor
