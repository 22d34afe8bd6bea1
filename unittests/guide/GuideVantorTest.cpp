// The engineering program's pages of the user guide against its menu and its
// settings store.
#include <gtest/gtest.h>

#include <algorithm>

#include "GuideCheck.h"
#include "vantor/app/TestMenu.h"
#include "vantor/res/resource.h"
#include "vantor/settings/CSettingsFile.h"
#include "vantor/settings/TestSettingsStore.h"

namespace {

const QString kSource = QStringLiteral(DIAG_SOURCE_DIR);

// The buttons that open a screen: a button without a row in the menu table
// is disabled and needs no page.
bool opensScreen(int id)
{
    const auto& rows = vantor::testScreens();
    return std::any_of(rows.begin(), rows.end(), [id](const vantor::TestScreen& r) { return r.commandId == id; });
}

// The buttons whose test `vantor --run` runs.
bool runsHeadless(int id)
{
    const auto& rows = vantor::testScreens();
    return std::any_of(rows.begin(), rows.end(),
                       [id](const vantor::TestScreen& r) { return r.commandId == id && r.headless; });
}

// Every key of every record, as the store writes them.
class StoreKeys {
public:
    StoreKeys() : m_store(m_file, m_path)
    {
        for (int index = 0; index < kTestSettingsSlots; ++index)
            if (CTestSettings* record = m_store.Get(index))
                record->Save();
    }
    bool knows(const QString& section, const QString& key) const { return m_file.HasKey(section, key); }

private:
    CSettingsFile m_file;
    QString m_path;
    TestSettingsStore m_store;
};

TEST(GuideVantor, EveryMenuButtonHasAPageAndEveryPageNamesWhatExists)
{
    QString error;
    const QStringList buttons = guide::menuButtonLabels(kSource + QStringLiteral("/vantor/res/vantor.rc"),
                                                        IDD_VANTOR_DIALOG, opensScreen, &error);
    ASSERT_TRUE(error.isEmpty()) << error.toStdString();
    // The menu as the table says: every row with a button of its own.
    EXPECT_EQ(buttons.size(), 29);

    const QStringList runnable = guide::menuButtonLabels(kSource + QStringLiteral("/vantor/res/vantor.rc"),
                                                         IDD_VANTOR_DIALOG, runsHeadless, &error);
    EXPECT_EQ(runnable.size(), 21);

    const StoreKeys keys;
    const QStringList problems = guide::checkPages(
        kSource + QStringLiteral("/docs/guide/vantor"), buttons,
        [&](const QString& section, const QString& key) { return keys.knows(section, key); }, runnable);
    EXPECT_TRUE(problems.isEmpty()) << problems.join(QLatin1Char('\n')).toStdString();
}

// The key source itself: a kept key is known in its own section only, and a
// value the program keeps in memory alone (the tape rewind tension) is not.
TEST(GuideVantor, StoreKnowsKeptKeysInTheirOwnSectionOnly)
{
    const StoreKeys keys;
    EXPECT_TRUE(keys.knows(QStringLiteral("Platen"), QStringLiteral("EncoderInDeail")));
    EXPECT_TRUE(keys.knows(QStringLiteral("MEdiaJam"), QStringLiteral("endCut")));
    EXPECT_FALSE(keys.knows(QStringLiteral("Platen Sensor"), QStringLiteral("TotalPulses")));
    EXPECT_FALSE(keys.knows(QStringLiteral("Tape Rewind"), QStringLiteral("Tension")));
}

} // namespace
