#pragma once
// The main menu (template 139): locked at creation, unlocked for as long as
// it lives by a right passcode; "Close" flushes the registry and ends the
// program.
#include <functional>
#include <span>
#include <vector>

#include "pellam/app/MenuScreens.h"
#include "ui/Dialog.h"

namespace pellam {

class CDiagnosticsMenuDlg : public ui::Dialog {
public:
    // Asks for the passcode; true when it was right.
    using AskPasscode = std::function<bool()>;

    // The screens and the passcode prompt can be swapped for tests.
    explicit CDiagnosticsMenuDlg(std::span<const MenuButton> buttons = menuButtons(), AskPasscode askPasscode = {});

    bool unlocked() const { return m_unlocked; }

protected:
    bool onInitDialog() override;
    // Enter has nothing to accept here; the menu ends only through "Close",
    // Escape or the close box, and each of them flushes the registry first.
    void onOK() override {}
    void onCancel() override;

private:
    void OnUnlock();
    void OnClose();
    void applyVisibility();

    std::vector<MenuButton> m_buttons;
    AskPasscode m_askPasscode;
    bool m_unlocked = false;
};

// "Close": RegFlushKey on HKEY_CURRENT_USER, then on HKEY_LOCAL_MACHINE.
void flushRegistry();

} // namespace pellam
