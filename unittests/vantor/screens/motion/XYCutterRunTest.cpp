#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "platform/DevicePath.h"
#include "protocol/RequestCodes.h"
#include "sim/printer/SimulatedDevices.h"
#include "vantor/settings/CSettingsFile.h"
#include "vantor/screens/motion/XYCutterRun.h"

using namespace vantor::motion;

namespace {

// Keeps every line and every batch as the dialog's list would get them.
struct LineSink : vantor::RunSink {
    QStringList lines;
    std::vector<qsizetype> batches;
    void addLine(QString line) override { lines.append(std::move(line)); }
    void addLines(QStringList more) override
    {
        batches.push_back(more.size());
        lines += more;
    }
    void cycleDone() override {}
};

struct XYCutterRunTest : ::testing::Test {
    QTemporaryDir root;
    CSettingsFile file;
    sim::SimulatedDevices devices;

    void startPrinter(bool failing = false)
    {
        platform::setDeviceRoot(root.path());
        sim::SimConfig config;
        config.timeScale = 0.0;
        if (failing) {
            config.faults[protocol::IOCTL_PRN_MOTION] = sim::FaultRule::always();
            config.faults[protocol::IOCTL_PRN_TEST_RUN] = sim::FaultRule::always();
        }
        devices = sim::registerSimulatedDevices(config);
    }
    void TearDown() override
    {
        sim::unregisterSimulatedDevices(devices);
        platform::setDeviceRoot(QString());
    }

    CXYCutterSettings cutter(int axis)
    {
        CXYCutterSettings v(file);
        v.axis = axis;
        v.crossweb.speed.constantSpeed = 1000;
        v.crossweb.totalPulses = 3;
        v.crossweb.direction = 1;
        v.downweb.speed.constantSpeed = 1000;
        v.downweb.totalPulses = 50;
        v.currentLevel = QStringLiteral("100");
        v.period = 100;
        v.duration = 10;
        return v;
    }
    CXYCutterLifeSettings life(int test)
    {
        CXYCutterLifeSettings v(file);
        v.testType = test;
        v.crossweb.constantSpeed = 2000;
        v.crosswebVref = 180;
        v.forwardBlocked = 40;
        v.forwardUnblocked = 20;
        v.downweb.constantSpeed = 1200;
        v.downwebVref = 180;
        v.tapeRewind.constantSpeed = 800;
        v.currentLevel = QStringLiteral("100");
        v.dutyCycle = 50;
        v.periodInUS = 1000;
        v.force = 128;
        v.cutFile = QStringLiteral("\\Rectangle.cut");
        QFile f(platform::userFilePath(v.cutFile));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("0 0\n1000 0\n1000 500\n0 500\n");
        return v;
    }

    template <class Settings>
    LineSink run(const vantor::TestDefinition<Settings>& def, const Settings& v, int cycles)
    {
        LineSink sink;
        vantor::PreparedRun prepared = def.prepare(v, vantor::openDriver());
        EXPECT_TRUE(prepared) << prepared.refusal.toStdString();
        if (prepared)
            for (int c = 1; c <= cycles; ++c)
                prepared.run->cycle(c, cycles, sink);
        return sink;
    }
};

} // namespace

TEST_F(XYCutterRunTest, CrossWebThreePulsesListsThreeSamplesAfterTheOkLine)
{
    startPrinter();
    const LineSink sink = run(kXYCutterTest, cutter(kXYCrossWeb), 2);
    ASSERT_EQ(sink.lines.size(), 8);
    EXPECT_EQ(sink.lines[0], "1. Run Cross Web motor - OK ");
    for (int i = 1; i <= 3; ++i)
        EXPECT_TRUE(sink.lines[i].startsWith(QStringLiteral("1. %1 [").arg(i))) << sink.lines[i].toStdString();
    EXPECT_EQ(sink.lines[4], "2. Run Cross Web motor - OK ");
    EXPECT_EQ(sink.batches, (std::vector<qsizetype>{3, 3})); // one list per cycle
}

TEST_F(XYCutterRunTest, DownWebAndPinchListNoSamples)
{
    startPrinter();
    EXPECT_EQ(run(kXYCutterTest, cutter(kXYDownWeb), 2).lines,
              (QStringList{"1. Run Down Web motor - OK ", "2. Run Down Web motor - OK "}));
    EXPECT_EQ(run(kXYCutterTest, cutter(kXYPinch), 1).lines, (QStringList{"1. Run Pinch motor - OK "}));
}

TEST_F(XYCutterRunTest, FailedRequestsGiveTheFailLineAndNoSamples)
{
    startPrinter(true);
    EXPECT_EQ(run(kXYCutterTest, cutter(kXYCrossWeb), 1).lines, (QStringList{"1. Run Cross Web motor - FAIL"}));
    EXPECT_EQ(run(kXYCutterLifeTest, life(kXYAging), 1).lines, (QStringList{"1. Run Aging Test - FAIL"}));
}

TEST_F(XYCutterRunTest, LongSampleListsGoInBatchesNumberedOnward)
{
    startPrinter();
    CXYCutterSettings v = cutter(kXYCrossWeb);
    v.crossweb.totalPulses = 6000;
    const LineSink sink = run(kXYCutterTest, v, 1);
    ASSERT_EQ(sink.lines.size(), 6001);
    EXPECT_EQ(sink.batches, (std::vector<qsizetype>{2500, 2500, 1000}));
    EXPECT_TRUE(sink.lines[2501].startsWith("1. 2501 ["));
    EXPECT_TRUE(sink.lines[6000].startsWith("1. 6000 ["));
}

TEST_F(XYCutterRunTest, AgingListsItsThousandSamplesOneByOne)
{
    startPrinter();
    const LineSink sink = run(kXYCutterLifeTest, life(kXYAging), 2);
    ASSERT_EQ(sink.lines.size(), 2002);
    EXPECT_TRUE(sink.batches.empty());
    EXPECT_EQ(sink.lines[0], "1. Run Aging Test - OK ");
    EXPECT_TRUE(sink.lines[1].startsWith("1. Encoder ["));
    EXPECT_TRUE(sink.lines[1000].startsWith("1000. Encoder ["));
    EXPECT_EQ(sink.lines[1001], "2. Run Aging Test - OK ");
}

TEST_F(XYCutterRunTest, HomingAndPinchListNoSamples)
{
    startPrinter();
    EXPECT_EQ(run(kXYCutterLifeTest, life(kXYHoming), 1).lines, (QStringList{"1. Run Homing Test - OK "}));
    EXPECT_EQ(run(kXYCutterLifeTest, life(kXYLifePinch), 1).lines, (QStringList{"1. Run Pinch Test - OK "}));
}

TEST_F(XYCutterRunTest, RefusalsBeforeAnyRequest)
{
    startPrinter();
    CXYCutterLifeSettings v = life(kXYAging);
    v.tapeRewindVref = 256;
    EXPECT_EQ(kXYCutterLifeTest.validate(v), "\"Tape Rewind Vref\" must be between 1 and 255.\n");
    v.tapeRewindVref = 100;
    v.downweb.initialSpeedType = 1;
    v.downweb.rampUpProfile = QStringLiteral("\\missing.txt");
    const vantor::PreparedRun refused = kXYCutterLifeTest.prepare(v, vantor::openDriver());
    EXPECT_FALSE(refused);
    EXPECT_EQ(refused.refusal, "File in \"Ramp Up Profile\" of Downweb not exist\n");
}
