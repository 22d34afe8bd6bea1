#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>

#include "protocol/CommandBlock.h"
#include "protocol/RequestCodes.h"
#include "vantor/screens/print/MonoBitmap.h"
#include "vantor/screens/print/PrintRun.h"
#include "vantor/settings/TestSettingsRecords.h"
#include "unittests/vantor/testing/ScreenFixture.h"

using namespace vantor;
using namespace vantor::print;

namespace {

struct PrintRunTest : vantor::testing::ScreenFixture {
    QString device(const QString& rel) const { return dir.filePath(QStringLiteral("device/") + rel); }
    QString sampleImage() const { return device(QStringLiteral("Hard Disk/Images/TestPattern.bmp")); }

    CPrintSettings printValues() { return *FetchTestSettings<CPrintSettings>(); }
    CPrintToCutSettings cutValues() { return *FetchTestSettings<CPrintToCutSettings>(); }
};

} // namespace

TEST(PrintRunNames, CommandPerChoice)
{
    CSettingsFile file;
    struct Case {
        int pattern, pass;
        uint32_t print, aging;
    };
    for (const Case c : {Case{0, 0, 18, 52}, Case{0, 1, 19, 53}, Case{1, 0, 20, 54}, Case{1, 1, 20, 54}}) {
        CPrintSettings v(file);
        v.pattern = c.pattern;
        v.pass = c.pass;
        EXPECT_EQ(PrintCommand(PrintKind::Print, v), c.print) << c.pattern << c.pass;
        EXPECT_EQ(PrintCommand(PrintKind::Aging, v), c.aging) << c.pattern << c.pass;
    }
    EXPECT_EQ(CycleFileName(QStringLiteral("P"), 1), QStringLiteral("P001.txt"));
    EXPECT_EQ(CycleFileName(QStringLiteral("P"), 1234), QStringLiteral("P1234.txt"));
    EXPECT_EQ(PrintToCutLine(3, false), QStringLiteral("3. Run print to cut test - FAIL"));
    EXPECT_EQ(BoxLength(QStringLiteral("1.25")), 1.25f);
    EXPECT_EQ(BoxLength(QStringLiteral("abc")), 0.0f);
}

TEST_F(PrintRunTest, DefaultPatternRecordAndDataFilesPerCycle)
{
    startSimulator();
    CPrintSettings v = printValues();
    v.pattern = 0;
    v.pass = 1;
    v.size = 1;
    v.offset = 12;
    v.burnSetting = 120;
    v.endCut = 1;
    v.delayStart = 5; // no delay for the default pattern
    v.filePrefix = device(QStringLiteral("Hard Disk/Results/T"));
    PreparedRun prepared = kPrintTest.prepare(v, openDriver());
    ASSERT_TRUE(prepared);
    auto* run = static_cast<PrintRun*>(prepared.run.get());
    EXPECT_EQ(run->startDelayMs(), 0);
    const protocol::PrintPatternParams& p = run->pattern().record();
    EXPECT_EQ(p.patternSize, 4.0f);
    EXPECT_EQ(p.leadingEdgeOffset, 12);
    EXPECT_EQ(p.burnSetting, 120u);
    EXPECT_EQ(p.word12, 0u);
    EXPECT_EQ(p.endCut, 1u);
    EXPECT_NE(p.fileName, 0u); // the empty text until the first cycle
    EXPECT_EQ(run->pattern().block().Target, 34u);
    EXPECT_EQ(run->pattern().block().Command, 19u);

    // No cycle line: only the start and end lines.
    const QStringList lines = withoutTimeLines(runHeadless(std::move(prepared), 3));
    EXPECT_EQ(lines, (QStringList{"== Start ==", "<time>", "== End ==", " "}));
    for (const char* name : {"T001.txt", "T002.txt", "T003.txt"})
        EXPECT_TRUE(QFile::exists(device(QStringLiteral("Hard Disk/Results/") + QLatin1String(name)))) << name;
    EXPECT_FALSE(QFile::exists(device(QStringLiteral("Hard Disk/Results/T004.txt"))));
}

TEST_F(PrintRunTest, DelayStartOnlyBeforeTheFirstCustomisedCycle)
{
    startRecordingPrinter();
    CPrintSettings v = printValues();
    v.imageFile = sampleImage();
    v.delayStart = 5;
    struct Case {
        int pattern;
        int64_t slept;
    };
    for (const Case c : {Case{1, 5000}, Case{0, 0}}) {
        v.pattern = c.pattern;
        const auto before = clock.slept().count();
        runHeadless(kPrintTest.prepare(v, openDriver()), 3);
        EXPECT_EQ(clock.slept().count() - before, c.slept) << c.pattern;
    }
}

TEST_F(PrintRunTest, CustomisedPrintReachesTheSpoolAsTheSampleImage)
{
    startSimulator();
    CPrintSettings v = printValues();
    v.pattern = 1;
    v.imageFile = QStringLiteral("\\Hard Disk\\Images\\TestPattern.bmp"); // as the starter file gives it
    v.printCompliance = 1;
    v.burnSetting = 90;
    PreparedRun prepared = kAgingPrintTest.prepare(v, openDriver());
    ASSERT_TRUE(prepared);
    auto* run = static_cast<PrintRun*>(prepared.run.get());
    const protocol::PrintImageParams& p = run->image().record();
    EXPECT_EQ(run->image().block().Command, 54u);
    EXPECT_EQ(p.byteCount, (96u * 1248u + 7) / 8);
    EXPECT_EQ(p.burnSetting, 90u);
    EXPECT_EQ(p.printCompliance, 1u);
    runHeadless(std::move(prepared), 1);

    const QStringList spooled = QDir(device(QStringLiteral("Simulator/Spool")))
                                    .entryList({QStringLiteral("*.png")}, QDir::Files, QDir::Name);
    ASSERT_EQ(spooled.size(), 1);
    const QImage printed(device(QStringLiteral("Simulator/Spool/") + spooled.first()));
    const QImage source(sampleImage());
    ASSERT_FALSE(source.isNull());
    // A printed row is one column of the file; its dots run along the
    // stored rows (bottom-up for this file). The sample's palette shows a set
    // bit black, as the printer prints it.
    ASSERT_EQ(printed.width(), 1248);
    ASSERT_EQ(printed.height(), source.width());
    int differences = 0, dots = 0;
    for (int x = 0; x < source.width(); ++x)
        for (int stored = 0; stored < 1248; ++stored) {
            const bool set = qGray(source.pixel(x, source.height() - 1 - stored)) < 128;
            const bool dot = qGray(printed.pixel(stored, x)) < 128;
            dots += dot;
            differences += set != dot;
        }
    EXPECT_EQ(differences, 0);
    EXPECT_GT(dots, 0);
}

TEST_F(PrintRunTest, PrintToCutRecordAndLines)
{
    startSimulator();
    CPrintToCutSettings v = cutValues();
    v.printSpeed = -1; // no radio chosen
    v.vref = 200;
    v.crosswebOffset = -5;
    v.downwebOffset = 7;
    v.totalBoxes = 4;
    v.boxLength = QStringLiteral("1.5");
    v.endCut = 1;
    v.filePrefix = device(QStringLiteral("Hard Disk/Results/C"));
    PreparedRun prepared = kPrintToCutTest.prepare(v, openDriver());
    ASSERT_TRUE(prepared);
    auto* run = static_cast<PrintToCutRun*>(prepared.run.get());
    const protocol::PrintToCutParams& p = run->record().record();
    EXPECT_EQ(p.printSpeed, 3u);
    EXPECT_EQ(p.vref, 200u);
    EXPECT_EQ(p.crossWebOffset, -5);
    EXPECT_EQ(p.downWebOffset, 7);
    EXPECT_EQ(p.totalBoxes, 4u);
    EXPECT_EQ(p.endCut, 1u);
    EXPECT_EQ(p.boxLength, 1.5f);
    EXPECT_EQ(run->record().block().Command, 36u);
    const QStringList lines = withoutTimeLines(runHeadless(std::move(prepared), 2));
    EXPECT_EQ(lines, (QStringList{"== Start ==", "<time>", "1. Run print to cut test - OK",
                                  "2. Run print to cut test - OK", "== End ==", " "}));
    EXPECT_TRUE(QFile::exists(device(QStringLiteral("Hard Disk/Results/C002.txt"))));

    // Refused by the printer (a box length of 0 with boxes to cut): FAIL lines, the run goes on.
    v.boxLength = QStringLiteral("x");
    const QStringList failed = withoutTimeLines(runHeadless(kPrintToCutTest.prepare(v, openDriver()), 2));
    EXPECT_EQ(failed.mid(2, 2), (QStringList{"1. Run print to cut test - FAIL", "2. Run print to cut test - FAIL"}));
}
