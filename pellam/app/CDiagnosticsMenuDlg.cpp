#include "CDiagnosticsMenuDlg.h"

#include "pellam/app/CPasscodeDlg.h"
#include "pellam/app/Language.h"
#include "pellam/res/PellamResources.h"
#include "platform/Registry.h"

namespace pellam {

void flushRegistry()
{
    for (platform::Hive hive : {platform::Hive::CurrentUser, platform::Hive::LocalMachine}) {
        platform::RegKey key;
        if (key.open(hive, QString::fromUtf16(kLocalSetupKey)))
            key.flush();
    }
}

CDiagnosticsMenuDlg::CDiagnosticsMenuDlg(std::span<const MenuButton> buttons, AskPasscode askPasscode)
    : ui::Dialog(IDD_DIAGNOSTICS_MENU, nullptr),
      m_buttons(buttons.begin(), buttons.end()),
      m_askPasscode(std::move(askPasscode))
{
    if (!m_askPasscode) {
        m_askPasscode = [] {
            CPasscodeDlg dlg;
            dlg.doModal();
            return dlg.unlocked() == 1;
        };
    }
    for (const MenuButton& b : m_buttons) {
        if (b.open)
            onCommand(b.id, b.open);
    }
    onCommand(IDC_MENU_UNLOCK, &CDiagnosticsMenuDlg::OnUnlock);
    onCommand(IDC_CLOSE, &CDiagnosticsMenuDlg::OnClose);
}

bool CDiagnosticsMenuDlg::onInitDialog()
{
    for (const MenuButton& b : m_buttons)
        enable(b.id, bool(b.open));
    applyVisibility();
    return true;
}

void CDiagnosticsMenuDlg::applyVisibility()
{
    for (const MenuButton& b : m_buttons)
        show(b.id, m_unlocked ? b.shownUnlocked : b.shownLocked);
}

void CDiagnosticsMenuDlg::OnUnlock()
{
    if (!m_askPasscode())
        return;
    m_unlocked = true;
    applyVisibility();
}

void CDiagnosticsMenuDlg::OnClose() { onCancel(); }

void CDiagnosticsMenuDlg::onCancel()
{
    flushRegistry();
    ui::Dialog::onCancel();
}

} // namespace pellam
