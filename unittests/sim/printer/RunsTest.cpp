// The fiducial test run and the ribbon colour run: samples and logs for
// known records.
#include <QDir>

#include "SimTestSupport.h"
#include "protocol/FiducialTestParams.h"
#include "protocol/RibbonColorParams.h"

namespace simtest {
namespace {

class Runs : public SimFixture {};

TEST_F(Runs, FiducialSweepsSeeTheMarks)
{
    start();
    DriverRecord<FiducialTestParams> rec;
    rec->crossWeb.pulseCount = 200;
    rec->downWeb.pulseCount = 400;
    rec->colorBit = 2; // green
    auto& across = rec.newTable<uint32_t>(200);
    auto& down = rec.newTable<uint32_t>(400);
    rec->crossWebSampling = SampleBlock{1, 1, 2, 200, across.address()};
    rec->downWebSampling = SampleBlock{1, 0, 2, 400, down.address()};
    rec->markDistance = 100;
    rec->cutFilePath = wideText(rec, "");
    rec.setCommand(target::TestRun, cmd::testRun::Fiducial);
    ASSERT_TRUE(sendCommand(prn, IOCTL_PRN_TEST_RUN, rec.block()));
    // Across: bright tape, one dark mark in the middle tenth.
    EXPECT_GT(across[10], 100u);
    EXPECT_LT(across[100], 40u);
    EXPECT_GT(across[190], 100u);
    // Down the web: a dark mark at the start of every 100 pulses.
    for (uint32_t i : {0u, 100u, 200u, 300u})
        EXPECT_LT(down[i], 40u) << i;
    for (uint32_t i : {50u, 150u, 399u})
        EXPECT_GT(down[i], 100u) << i;

    // A bad colour bit or a missing cut file refuses the run and writes nothing.
    across[0] = 12345;
    rec->colorBit = 3;
    EXPECT_FALSE(sendCommand(prn, IOCTL_PRN_TEST_RUN, rec.block()));
    rec->colorBit = 1;
    rec->cutFilePath = wideText(rec, "\\Hard Disk\\CutFiles\\missing.cut");
    EXPECT_FALSE(sendCommand(prn, IOCTL_PRN_TEST_RUN, rec.block()));
    EXPECT_EQ(across[0], 12345u);
}

TEST_F(Runs, RibbonColorWritesItsLogUnderTheRecordsName)
{
    start();
    DriverRecord<RibbonColorParams> rec;
    rec->pulseCount = 200; // 200 full steps: 25 mm of ribbon
    rec->sensingPerSample = 4;
    rec->samplingDelay = 10;
    rec->colorText = wideText(rec, "YMCK");
    rec->unitNumberText = wideText(rec, "U7");
    rec.setCommand(target::RibbonColor, cmd::ribbonColor::Measure);
    for (int cycle = 0; cycle < 2; ++cycle) {
        rec->logFileName = wideText(rec, "RC0.txt");
        rec->firstCycle = cycle == 0 ? 1 : 0;
        ASSERT_TRUE(sendCommand(prn, IOCTL_PRN_RIBBON_COLOR, rec.block()));
    }
    const QString log = QString::fromLatin1(readFile(root.filePath("RC0.txt")));
    EXPECT_EQ(log.count("Unit#: U7\r\n"), 1) << "the header comes with the first cycle only";
    EXPECT_TRUE(log.contains("Ribon Catridge Color: YMCK"));
    EXPECT_TRUE(log.contains("Cycle 1\r\n"));
    EXPECT_TRUE(log.contains("Cycle 2\r\n"));
    // 25 mm at one sample per 2 mm; the first panel of the factory ribbon is yellow.
    const QStringList lines = log.split("\r\n");
    const int first = lines.indexOf("Sample,Red,Green,Blue") + 1;
    ASSERT_GT(first, 0);
    const QStringList sample = lines[first].split(',');
    ASSERT_EQ(sample.size(), 4);
    EXPECT_EQ(sample[0], "1");
    EXPECT_GT(sample[1].toInt(), 180);
    EXPECT_LT(sample[3].toInt(), 40);
    EXPECT_EQ(lines.indexOf("Cycle 2") - first, 12) << "twelve samples in the first cycle";

    // A new first cycle starts the file again.
    rec->firstCycle = 1;
    ASSERT_TRUE(sendCommand(prn, IOCTL_PRN_RIBBON_COLOR, rec.block()));
    EXPECT_FALSE(QString::fromLatin1(readFile(root.filePath("RC0.txt"))).contains("Cycle 2"));

    // A folder that does not exist, and no ribbon.
    rec->logFileName = wideText(rec, "\\No Such Folder\\RC1.txt");
    EXPECT_FALSE(sendCommand(prn, IOCTL_PRN_RIBBON_COLOR, rec.block()));
    EXPECT_TRUE(printer().lastRequest().refusal.contains("does not exist"));
    sim::SimConfig c = config();
    c.ribbonCartridgePresent = false;
    restart(c);
    rec->logFileName = wideText(rec, "RC2.txt");
    EXPECT_FALSE(sendCommand(prn, IOCTL_PRN_RIBBON_COLOR, rec.block()));
    EXPECT_FALSE(QFile::exists(root.filePath("RC2.txt")));
}

} // namespace
} // namespace simtest
