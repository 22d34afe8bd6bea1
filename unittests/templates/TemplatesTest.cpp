#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <set>

#include "ui/Dialog.h"
#include "ui/ResourceScript.h"
#include "ui/Resources.h"
#include "ui/testing/DialogHarness.h"
#include "ui/testing/TestApp.h"

namespace {

struct Script {
    const char* name;
    const char* path;
    int cyclingTemplates; // at least this many have the run block
};
const Script kScripts[] = {
    {"vantor", VANTOR_RC, 6},
    {"pellam", PELLAM_RC, 0},
    {"pellam_de", PELLAM_DE_RC, 0},
};

// The run block of every cycling test: "Total Cycle:", the pause, "Cycle:",
// "Cummulative Cycle:", the list, Stop, Reset, Clear, Save To File (RUN is
// 1022, or 1012 "PRINT" in the aging print test).
const int kRunBlock[] = {1013, 1014, 1016, 1017, 1004, 1122, 1021, 1024, 1005};
constexpr int kStatic = -1;

class Templates : public ::testing::TestWithParam<Script> {};

} // namespace

TEST_P(Templates, EveryTemplateBuildsWithUniqueIdsAndCyclingOnesHaveTheRunBlock)
{
    ui::testing::testApp();
    // A translation includes the program's resource.h from the folder above.
    QFile file(QString::fromUtf8(GetParam().path));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QFileInfo info(file.fileName());
    ui::ParseResult parsed = ui::parseResourceScript(QString::fromUtf8(file.readAll()), info.filePath(),
                                                     ui::folderIncludeLoader({info.dir().filePath(QStringLiteral(".."))}));
    ASSERT_TRUE(parsed.ok()) << parsed.error.toString().toStdString();
    const ui::ResourceScript script = *parsed.script;
    ASSERT_FALSE(script.dialogs.empty());
    ui::Resources::setBuiltin(script);

    int cycling = 0;
    for (const auto& [id, tmpl] : script.dialogs) {
        SCOPED_TRACE(tmpl.idName.toStdString() + " (" + std::to_string(id) + ")");
        std::set<int> ids;
        std::set<int> edits;
        for (const ui::ControlTemplate& c : tmpl.controls) {
            if (c.id != kStatic && c.id != 0xFFFF) {
                EXPECT_TRUE(ids.insert(c.id).second) << "id " << c.id << " twice (line " << c.line << ")";
            }
            if (c.className.compare(QLatin1String("Edit"), Qt::CaseInsensitive) == 0)
                edits.insert(c.id);
        }
        // A cycling test: "Total Cycle:" and "Cummulative Cycle:" are edits
        // (the menu's buttons share those ids).
        if (edits.count(1013) && edits.count(1017)) {
            ++cycling;
            for (int common : kRunBlock)
                EXPECT_TRUE(ids.count(common)) << "cycling template lacks " << common;
            EXPECT_TRUE(ids.count(1022) || ids.count(1012)) << "cycling template has no start button";
        }
        ui::Dialog dlg(id);
        ui::testing::DialogHarness h(dlg);
        EXPECT_TRUE(h.open());
        for (int c : ids)
            EXPECT_NE(dlg.control(c), nullptr) << "control " << c << " was not made";
    }
    EXPECT_GE(cycling, GetParam().cyclingTemplates);
}

INSTANTIATE_TEST_SUITE_P(EveryScript, Templates, ::testing::ValuesIn(kScripts),
                         [](const auto& info) { return std::string(info.param.name); });
