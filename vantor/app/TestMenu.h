#pragma once
// The test menu's table: which screen each menu button opens. One row per
// screen; a button without a row is disabled in the menu.
#include <QWidget>
#include <functional>
#include <vector>

namespace vantor {

struct TestScreen {
    int commandId;            // the menu button's id (or a command without a button)
    std::function<int()> run; // constructs the screen, runs it modally, destroys it
};

// A row's `run` for a dialog class: `Dlg(args..., nullptr)` on the stack,
// doModal(), destroyed on return.
template <class Dlg, class... Args>
std::function<int()> modal(Args... args)
{
    return [=] {
        Dlg dlg(args..., static_cast<QWidget*>(nullptr));
        return dlg.doModal();
    };
}

// The rows of the program (TestMenu.cpp).
const std::vector<TestScreen>& testScreens();

} // namespace vantor
