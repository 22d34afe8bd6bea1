// The guide check on small made-up guides: each case breaks the guide in one
// way and expects exactly the problem that says so.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <map>
#include <string>

#include "GuideCheck.h"

namespace {

const QString kPlaten = QStringLiteral(
    "# Platen\n\n"
    "**Menu button:** \"Platen Test\"\n\n"
    "**Settings section:** \"Platen\"\n\n"
    "![After a run](../images/platen.png)\n\n"
    "| Label | What it sets | Range | Settings key |\n"
    "|---|---|---|---|\n"
    "| \"Total No. of Pulses:\" | pulses of the move | 1 and up | `TotalPulses` |\n"
    "| \"Constant (pps):\" \\| \"Ramp Up Profile:\" | speed | choice | `InitialSpeedType`, `ConstantSpeed` |\n"
    "| \"Cycle:\" | cycles of this run | shown | — |\n\n"
    "| Line | Meaning |\n"
    "|---|---|\n"
    "| `%d. Total encode = %d` | encoder count |\n\n"
    "```\n"
    "build/bin/vantor --run \"Platen Test\" --cycles 2\n"
    "```\n");

bool platenKeys(const QString& section, const QString& key)
{
    static const QStringList kept{QStringLiteral("TotalPulses"), QStringLiteral("InitialSpeedType"),
                                  QStringLiteral("ConstantSpeed")};
    return section == QLatin1String("Platen") && kept.contains(key);
}

class Guide {
public:
    Guide()
    {
        QDir(m_dir.path()).mkpath(QStringLiteral("vantor"));
        QDir(m_dir.path()).mkpath(QStringLiteral("images"));
    }
    void page(const QString& name, const QString& text)
    {
        QFile f(m_dir.filePath(QStringLiteral("vantor/") + name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text.toUtf8());
    }
    void picture(const QString& name)
    {
        QFile f(m_dir.filePath(QStringLiteral("images/") + name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("png");
    }
    QStringList check(const QStringList& buttons, const QStringList& runnable = {QStringLiteral("Platen Test")}) const
    {
        return guide::checkPages(m_dir.filePath(QStringLiteral("vantor")), buttons, platenKeys, runnable);
    }

private:
    QTemporaryDir m_dir;
};

TEST(GuideCheck, PageReadsButtonsSectionsPicturesAndKeysOfTheKeyColumnOnly)
{
    const guide::Page p = guide::parsePage(QStringLiteral("platen.md"), kPlaten);
    EXPECT_EQ(p.buttons, QStringList{QStringLiteral("Platen Test")});
    EXPECT_EQ(p.sections, QStringList{QStringLiteral("Platen")});
    EXPECT_EQ(p.pictures, QStringList{QStringLiteral("../images/platen.png")});
    // The escaped bar keeps the speed row's cells in place; the result lines
    // table has no key column, so its backticks are not keys.
    EXPECT_EQ(p.keys, (QStringList{QStringLiteral("TotalPulses"), QStringLiteral("InitialSpeedType"),
                                   QStringLiteral("ConstantSpeed")}));
    EXPECT_EQ(p.runs, QStringList{QStringLiteral("Platen Test")});
}

TEST(GuideCheck, CompleteGuideHasNoProblem)
{
    Guide g;
    g.page(QStringLiteral("platen.md"), kPlaten);
    g.picture(QStringLiteral("platen.png"));
    EXPECT_EQ(g.check({QStringLiteral("Platen Test")}), QStringList{});
}

// One fault per case and the words of the problem it must give first (a
// section that keeps none of the page's keys gives one problem per key).
TEST(GuideCheck, EachFaultGivesItsOwnProblem)
{
    struct Case {
        QString page;             // platen.md as broken
        bool picture;             // whether images/platen.png exists
        QStringList buttons;      // the menu
        QStringList runnable;     // the buttons that run without a window
        std::string expected;     // part of the first problem
        int count = 1;            // problems in all
    };
    const QStringList menu{QStringLiteral("Platen Test")};
    const QStringList runs{QStringLiteral("Platen Test")};
    const std::map<std::string, Case> cases = {
        {"button without a page",
         {kPlaten, true, {QStringLiteral("Platen Test"), QStringLiteral("Ejector Test")}, runs,
          "no page for the menu button \"Ejector Test\""}},
        {"page names a button the menu lacks",
         {QString(kPlaten).replace(QStringLiteral("**Menu button:** \"Platen Test\""),
                                   QStringLiteral("**Menu button:** \"Platen Tests\"")),
          true, {QStringLiteral("Platen Tests2")}, runs, "names the menu button \"Platen Tests\""}},
        {"missing picture", {kPlaten, false, menu, runs, "the picture ../images/platen.png"}},
        {"misspelt key",
         {QString(kPlaten).replace(QStringLiteral("`TotalPulses`"), QStringLiteral("`TotalPulse`")), true, menu, runs,
          "the settings key TotalPulse is not kept in Platen"}},
        {"key of another section",
         {QString(kPlaten).replace(QStringLiteral("\"Platen\"\n"), QStringLiteral("\"Platen Sensor\"\n")), true, menu,
          runs, "the settings key TotalPulses is not kept in Platen Sensor", 3}},
        {"keys without a section",
         {QString(kPlaten).remove(QStringLiteral("**Settings section:** \"Platen\"\n")), true, menu, runs,
          "settings keys but no settings section"}},
        {"headless test without its command",
         {QString(kPlaten).remove(QStringLiteral("build/bin/vantor --run \"Platen Test\" --cycles 2\n")), true, menu,
          runs, "gives no headless command for \"Platen Test\""}},
        {"command of a test that needs the screen",
         {kPlaten, true, menu, {}, "names --run \"Platen Test\", which does not run without a window"}},
    };
    for (const auto& [name, c] : cases) {
        Guide g;
        g.page(QStringLiteral("platen.md"), c.page);
        if (c.picture)
            g.picture(QStringLiteral("platen.png"));
        QStringList problems = g.check(c.buttons, c.runnable);
        // A renamed button also leaves the menu's own button uncovered.
        if (name == "page names a button the menu lacks")
            problems.removeIf([](const QString& p) { return p.contains(QLatin1String("no page for")); });
        ASSERT_EQ(problems.size(), c.count) << name << ": " << problems.join(QLatin1Char('\n')).toStdString();
        EXPECT_NE(problems.first().toStdString().find(c.expected), std::string::npos) << name << ": "
                                                                                      << problems.first().toStdString();
    }
}

} // namespace
