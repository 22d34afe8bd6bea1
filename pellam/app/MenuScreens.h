#pragma once
// Which screen each button of the "Diagnostics Menu" opens, and when the
// button shows. The one place to enable a screen: give its entry an opener
// (openScreen<CTheDlg>). A button without one is disabled.
#include <functional>
#include <span>

namespace pellam {

// Runs a screen modally: constructed on the caller's stack with no parent,
// destroyed when it closes.
template <class Screen>
void openScreen()
{
    Screen screen;
    screen.doModal();
}

struct MenuButton {
    int id = 0;
    bool shownLocked = true;   // while the menu is locked (from its creation)
    bool shownUnlocked = true; // after a right passcode
    std::function<void()> open; // empty: the screen is not built yet
    const char* screen = "";    // the class it opens, for the record
};

// The screen buttons of the menu, in template order ("Tech Support Unlock"
// and "Close" belong to the menu itself).
std::span<const MenuButton> menuButtons();

} // namespace pellam
