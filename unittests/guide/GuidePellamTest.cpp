// The service program's pages of the user guide against its menu. The
// program keeps no settings of its own, so a page of it names no key.
#include <gtest/gtest.h>

#include <algorithm>

#include "GuideCheck.h"
#include "pellam/app/MenuScreens.h"
#include "pellam/res/resource.h"

namespace {

const QString kSource = QStringLiteral(DIAG_SOURCE_DIR);

// The screen buttons with a screen behind them, and the unlock button, whose
// passcode keypad is a screen too; "Close" is the menu's own.
bool opensScreen(int id)
{
    if (id == IDC_MENU_UNLOCK)
        return true;
    const auto buttons = pellam::menuButtons();
    return std::any_of(buttons.begin(), buttons.end(),
                       [id](const pellam::MenuButton& b) { return b.id == id && b.open; });
}

TEST(GuidePellam, EveryMenuButtonHasAPageAndEveryPageNamesWhatExists)
{
    QString error;
    const QStringList buttons = guide::menuButtonLabels(kSource + QStringLiteral("/pellam/res/pellam.rc"),
                                                        IDD_DIAGNOSTICS_MENU, opensScreen, &error);
    ASSERT_TRUE(error.isEmpty()) << error.toStdString();
    EXPECT_EQ(buttons.size(), 12);

    const QStringList problems = guide::checkPages(kSource + QStringLiteral("/docs/guide/pellam"), buttons,
                                                   [](const QString&, const QString&) { return false; });
    EXPECT_TRUE(problems.isEmpty()) << problems.join(QLatin1Char('\n')).toStdString();
}

} // namespace
