// Each mechanism's outputs for known records.
#include <cstdint>
#include <QDir>

#include "SimTestSupport.h"
#include "protocol/AxisMoveParams.h"
#include "protocol/EndCutterParams.h"
#include "protocol/HeadLiftParams.h"
#include "protocol/MediaJamRecord.h"
#include "protocol/PlatenLifeRecord.h"
#include "protocol/RibbonTensionParams.h"
#include "protocol/XYLifeParams.h"

namespace simtest {
namespace {

class Motion : public SimFixture {
protected:
    void SetUp() override
    {
        SimFixture::SetUp();
        start();
    }
    int64_t stateValue(const char* key) { return devices.state->integer(key); }
};

TEST_F(Motion, PlatenStepModeDirectionAndStall)
{
    DriverRecord<PlatenMoveParams> rec;
    fillPlaten(rec, 800, false);
    int32_t full = 0, quarter = 0, reverse = 0, stalled = -1;
    ASSERT_TRUE(motion(rec.block(), &full));
    rec->platen.stepMode = 2;
    ASSERT_TRUE(motion(rec.block(), &quarter));
    EXPECT_NEAR(double(quarter), full / 4.0, full * 0.02);
    rec->platen.direction = 0;
    ASSERT_TRUE(motion(rec.block(), &reverse));
    EXPECT_LT(reverse, 0);
    rec->platen.vref = 5;
    ASSERT_TRUE(motion(rec.block(), &stalled));
    EXPECT_EQ(stalled, 0) << "too little current: the motor does not turn";
    EXPECT_EQ(stateValue(sim::stateKey::PlatenMoves), 4);
}

TEST_F(Motion, PlatenSensorCaptureAndCountMode)
{
    DriverRecord<PlatenMoveParams> rec;
    fillPlaten(rec, 1000, false);
    rec->sensorCapture.enable = 1;
    rec->sensorCapture.countMode = 1;
    rec->sensorCapture.sensor = captureSensor::GapNotch;
    rec->sensorCapture.entries = 1000;
    auto& sensor = rec.newTable<uint32_t>(1000);
    rec->sensorCapture.table = sensor.address();
    int32_t total = 0;
    ASSERT_TRUE(motion(rec.block(), &total));
    EXPECT_EQ(total, 1000) << "without detail the total is in motor steps";
    EXPECT_EQ(rec->sensorCapture.countMode, 1);
    int gaps = 0;
    for (size_t i = 0; i < 1000; ++i) {
        ASSERT_LE(sensor[i], 1u);
        gaps += int(sensor[i]);
    }
    // 1000 steps of 0.125 mm cover about 5 labels with a 3 mm gap each.
    EXPECT_GT(gaps, 80);
    EXPECT_LT(gaps, 160);

    // With detail tracking the total is in encoder counts and word 148 is cleared.
    rec->encoderDetail.enable = 1;
    rec->encoderDetail.entries = 1000;
    rec->encoderDetail.table = rec.newTable<uint32_t>(1000).address();
    ASSERT_TRUE(motion(rec.block(), &total));
    EXPECT_EQ(rec->sensorCapture.countMode, 0);
    EXPECT_GT(total, 1700);
}

TEST_F(Motion, PlatenLifeFillsEveryPassTable)
{
    DriverRecord<PlatenLifeRecord> rec;
    const int n = 3;
    rec->forward.constantPulses = 50;
    rec->reverse.constantPulses = 20;
    rec->useReverse = 1;
    rec->passes = n;
    auto& fwd = rec.newTable<PassDescriptor>(n);
    auto& rev = rec.newTable<PassDescriptor>(n - 1);
    std::vector<platform::CallerTable<uint32_t>*> tables;
    for (int i = 0; i < n; ++i) {
        auto& t = rec.newTable<uint32_t>(50);
        std::memset(t.data(), kPassTableFill, 200);
        fwd[i].entries = 50;
        fwd[i].table = t.address();
        tables.push_back(&t);
    }
    for (int i = 0; i < n - 1; ++i) {
        auto& t = rec.newTable<uint32_t>(20);
        std::memset(t.data(), kPassTableFill, 80);
        rev[i].entries = 20;
        rev[i].table = t.address();
        tables.push_back(&t);
    }
    rec->forwardPasses = fwd.address();
    rec->reversePasses = rev.address();
    rec->forwardPassCount = n;
    rec->reversePassCount = n - 1;
    rec.setCommand(target::Sequence, cmd::motion::PlatenLife);
    ASSERT_TRUE(motion(rec.block()));
    for (auto* t : tables) {
        for (size_t i = 0; i < t->count(); ++i)
            ASSERT_NE((*t)[i], 0x01010101u) << "every entry written";
        EXPECT_GT((*t)[t->count() - 1], (*t)[0]);
    }
    EXPECT_EQ(stateValue(sim::stateKey::PlatenMoves), 5);

    // One pass: no reverse descriptors are needed; a forward count short of
    // the passes is refused.
    rec->passes = 1;
    rec->reversePassCount = 0;
    ASSERT_TRUE(motion(rec.block()));
    rec->passes = 4;
    EXPECT_FALSE(motion(rec.block()));
}

TEST_F(Motion, TapeRewindModes)
{
    DriverRecord<SecondMotorBlock> rec;
    rec->constantPulses = 2000;
    rec->constantSpeed = 2000;
    rec.setCommand(target::TapeRewind, cmd::motion::TapeRewind);
    int32_t rewind = 0;
    ASSERT_TRUE(motion(rec.block(), &rewind));
    EXPECT_GT(rewind, 1700);
    EXPECT_LT(rewind, 1850) << "0.9 counts per step less the low-tension slip";

    rec.setCommand(target::TapeRewind, cmd::motion::TapeRollTightness);
    rec->captureEncoderFrom = 1500;
    int32_t tight = 0;
    ASSERT_TRUE(motion(rec.block(), &tight));
    EXPECT_NEAR(tight, rewind / 4.0, rewind * 0.01) << "counting from pulse 1500 of 2000";
    rec->captureEncoderFrom = 5000;
    ASSERT_TRUE(motion(rec.block(), &tight));
    EXPECT_EQ(tight, 0);

    // Overshoot: ramps only; the later the reading, the more coasting it sees.
    RampTable up(3), down(3);
    for (size_t i = 0; i < 3; ++i) {
        up[i] = uint32_t(1000 * (i + 1));
        down[i] = uint32_t(3000 - 1000 * i);
    }
    rec.reset();
    rec->rampUpTable = up.address();
    rec->rampUpEntries = 3;
    rec->rampDownTable = down.address();
    rec->rampDownEntries = 3;
    rec.setCommand(target::TapeRewind, cmd::motion::TapeOvershoot);
    int32_t early = 0, late = 0;
    ASSERT_TRUE(motion(rec.block(), &early));
    rec->waitToRead = 200;
    ASSERT_TRUE(motion(rec.block(), &late));
    EXPECT_GT(late, early);
}

TEST_F(Motion, RibbonRockerArmSlipClutchAndTension)
{
    DriverRecord<RibbonMoveEntry> rec;
    rec.setCommand(target::RibbonDrive, cmd::motion::RibbonMove);
    int32_t out = 0;
    // Counter-clockwise to the sensor.
    ASSERT_TRUE(motion(rec.block(), &out));
    EXPECT_LT(out, 0);
    // Clockwise never reaches the sensor.
    rec->move.direction = 1;
    EXPECT_FALSE(motion(rec.block(), &out));
    // Clockwise by pulses, then back to the sensor: the same way back.
    rec->move.stopMode = stopMode::PulseCount;
    rec->move.pulseCount = 100;
    ASSERT_TRUE(motion(rec.block(), &out));
    EXPECT_GT(out, 100);
    rec->move.direction = 0;
    rec->move.stopMode = stopMode::SensorTrigger;
    int32_t back = 0;
    ASSERT_TRUE(motion(rec.block(), &back));
    EXPECT_NEAR(-back, out, out * 0.05);

    // Tension only takes no output; with the slip clutch it reads the clutch.
    DriverRecord<RibbonTensionParams> t;
    t->levelCode = currentLevel::Pct100;
    t->tensionMode = kTensionModeRun;
    t->dutyCycle = 50;
    t->duration = 100;
    t.setCommand(target::RibbonTension, cmd::motion::RibbonTension);
    EXPECT_TRUE(motion(t.block()));
    EXPECT_FALSE(motion(t.block(), &out)) << "command 5 has no output";
    t->slipClutch.move.direction = 1;
    t->slipClutch.move.stopMode = stopMode::PulseCount;
    t->slipClutch.move.pulseCount = 1000;
    t.setCommand(target::RibbonTension, cmd::motion::RibbonTensionSlipClutch);
    int32_t loose = 0, tight = 0;
    t->dutyCycle = 10;
    ASSERT_TRUE(motion(t.block(), &loose));
    t->dutyCycle = 100;
    ASSERT_TRUE(motion(t.block(), &tight));
    EXPECT_LT(tight, loose) << "the clutch slips more under more tension";
    // A level the list does not hold runs at the driver's default; 4 is no level.
    t->levelCode = 0;
    EXPECT_TRUE(motion(t.block(), &out));
    t->levelCode = 4;
    EXPECT_FALSE(motion(t.block(), &out));
}

TEST_F(Motion, ValuesAMachineAcceptsAreAccepted)
{
    // Long media, many copies.
    DriverRecord<MediaJamRecord> jam;
    jam->length = 5000;
    jam->copies = 20000;
    jam.setCommand(target::Sequence, cmd::motion::MediaJam);
    EXPECT_TRUE(motion(jam.block()));
    // Hold times of minutes: the request's real time stays capped.
    printer().setTimeScale(1.0);
    DriverRecord<PlatenMoveParams> rec;
    fillPlaten(rec, 100, false);
    rec->platen.preHold = 120000;
    rec->platen.postHold = 90000;
    const auto before = clock.slept();
    int32_t out = 0;
    EXPECT_TRUE(motion(rec.block(), &out));
    EXPECT_EQ((clock.slept() - before).count(), 3000);
    EXPECT_DOUBLE_EQ(printer().lastRequest().machineMs, 120000 + 100 + 90000);
    rec->platen.preHold = -1;
    EXPECT_FALSE(motion(rec.block(), &out)) << "a negative hold is no time";
    EXPECT_TRUE(printer().lastRequest().refusal.contains("hold time"));

    // A pinch whose duration and delay are each the longest a record holds:
    // their sum is longer than an int counts.
    DriverRecord<PinchRecord> pinch;
    pinch->drive.dutyCycle = 100;
    pinch->drive.duration = 3;
    pinch->drive.delayAfterTrigger = INT32_MAX;
    pinch.setCommand(target::XYPinch, cmd::motion::XYPinch);
    EXPECT_TRUE(motion(pinch.block()));
    EXPECT_GE(printer().lastRequest().machineMs, 3.0 + double(INT32_MAX));
    pinch->drive.sequence = 1; // unpinch: its own delay
    pinch->drive.duration = INT32_MAX;
    pinch->drive.secondDelayAfterTrigger = INT32_MAX;
    EXPECT_TRUE(motion(pinch.block()));
    EXPECT_GE(printer().lastRequest().machineMs, 2.0 * double(INT32_MAX));
}

TEST_F(Motion, EjectorCountsRevolutions)
{
    DriverRecord<EjectorMoveParams> rec;
    rec->revolutions = 3;
    rec.setCommand(target::Ejector, cmd::motion::EjectorMove);
    int32_t revs = 0;
    ASSERT_TRUE(motion(rec.block(), &revs));
    EXPECT_EQ(revs, 3);
    // A pulse count too short for three turns.
    rec->pulseCount = 450;
    ASSERT_TRUE(motion(rec.block(), &revs));
    EXPECT_EQ(revs, 2);
    // Running far past the flag misses its clearing edge: two turns per count.
    rec->pulseCount = 0;
    rec->forwardAfterBlocked = 40;
    ASSERT_TRUE(motion(rec.block(), &revs));
    EXPECT_EQ(revs, 3);
    rec->pulseCount = 1000;
    ASSERT_TRUE(motion(rec.block(), &revs));
    EXPECT_EQ(revs, 2);
    rec->revolutions = 4;
    EXPECT_FALSE(motion(rec.block(), &revs));
    EXPECT_EQ(stateValue(sim::stateKey::EjectorRevolutions), 10);
}

TEST_F(Motion, EndCutterWritesDurationAndCountsCuts)
{
    DriverRecord<EndCutterParams> rec;
    auto& word = rec.newTable<uint32_t>(1);
    rec->cutter.resultWord = word.address();
    rec->cutter.levelCode = currentLevel::Pct100;
    rec->cutter.dutyCycle = 100;
    rec->platen.constantPulses = 200;
    rec->eject.pulseCount = 100;
    rec.setCommand(target::PrintHead, cmd::motion::LoadPrintHead, rec.addressOf(&rec->load));
    ASSERT_TRUE(motion(rec.block()));
    rec.setCommand(target::EndCutter, cmd::motion::EndCutterCut);
    ASSERT_TRUE(motion(rec.block()));
    EXPECT_GE(word[0], 110u);
    EXPECT_LE(word[0], 130u);
    rec->cutter.dutyCycle = 40;
    ASSERT_TRUE(motion(rec.block()));
    EXPECT_GT(word[0], 200u) << "a weaker drive cuts slower";
    rec.setCommand(target::PrintHead, cmd::motion::UnloadPrintHead, rec.addressOf(&rec->load));
    ASSERT_TRUE(motion(rec.block()));
    EXPECT_EQ(stateValue(sim::stateKey::CutsMade), 2);
    // Load and unload take their block only.
    rec.block().Param = 0;
    EXPECT_FALSE(motion(rec.block()));
}

TEST_F(Motion, HeadLiftAnswersThroughTheCounter)
{
    DriverRecord<HeadLiftParams> rec;
    rec->drive.dutyCycle = 100;
    rec.setCommand(target::PrintHead, cmd::motion::PrintHeadLift);
    uint32_t full = 0, homing = 0;
    ASSERT_TRUE(sendCountedCommand(prn, IOCTL_PRN_MOTION, rec.block(), full));
    rec->testType = headLiftTest::Homing;
    ASSERT_TRUE(sendCountedCommand(prn, IOCTL_PRN_MOTION, rec.block(), homing));
    EXPECT_GT(full, 550u);
    EXPECT_LT(full, 650u);
    EXPECT_LT(homing, full);
    rec->drive.delayAfterTrigger = 500;
    uint32_t delayed = 0;
    ASSERT_TRUE(sendCountedCommand(prn, IOCTL_PRN_MOTION, rec.block(), delayed));
    EXPECT_GT(delayed, homing + 490);
    rec->testType = 3;
    EXPECT_FALSE(sendCountedCommand(prn, IOCTL_PRN_MOTION, rec.block(), delayed));
    EXPECT_EQ(delayed, 0u);
}

TEST_F(Motion, XYCutterAxesAndPinch)
{
    DriverRecord<CrossWebRecord> cross;
    cross->move.axis.direction = 1;
    cross->move.axis.stepMode = 0;
    cross->move.axis.pulseCount = 3;
    cross->sampling = {1, 1, 3, 3, 0};
    auto& samples = cross.newTable<uint32_t>(3);
    cross->sampling.buffer = samples.address();
    cross.setCommand(target::XYCrossWeb, cmd::motion::XYCrossWeb);
    ASSERT_TRUE(motion(cross.block()));
    EXPECT_EQ(samples[1], samples[0] + 2);
    EXPECT_EQ(samples[2], samples[1] + 2);
    cross->move.header = 3;
    EXPECT_FALSE(motion(cross.block()));

    DriverRecord<DownWebRecord> down;
    down->axis.pulseCount = 100;
    down.setCommand(target::XYDownWeb, cmd::motion::XYDownWeb);
    EXPECT_TRUE(motion(down.block()));

    DriverRecord<PinchRecord> pinch;
    pinch->drive.dutyCycle = 100;
    pinch.setCommand(target::XYPinch, cmd::motion::XYPinch);
    EXPECT_TRUE(motion(pinch.block()));
    pinch->drive.levelCode = currentLevel::Pct38;
    pinch->drive.dutyCycle = 5;
    EXPECT_FALSE(motion(pinch.block())) << "too weak to reach the pinch home";
}

TEST_F(Motion, XYLifeAgingHomingAndPinch)
{
    QDir(root.path()).mkpath("Store");
    QFile cut(root.filePath("Store/shape.cut"));
    ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
    cut.write("M 0 0\nL 10 0\nL 10 10\nL 0 10\n");
    cut.close();

    DriverRecord<XYLifeParams> rec;
    rec->pinch.drive.dutyCycle = 100;
    rec->sampleCount = kXYAgingSamples;
    auto& samples = rec.newTable<uint32_t>(kXYAgingSamples);
    rec->sampleBuffer = samples.address();
    const std::u16string path = u"\\Store\\shape.cut";
    auto& text = rec.newBuffer((path.size() + 1) * 2);
    std::memcpy(text.data(), path.data(), path.size() * 2);
    rec->cutFilePath = text.address();
    rec.setCommand(target::TestRun, cmd::testRun::XYAging);
    int32_t out = 0;
    ASSERT_TRUE(sendCommand(prn, IOCTL_PRN_TEST_RUN, rec.block(), &out, 4));
    EXPECT_EQ(out, 4) << "four segments in the cut file";
    uint32_t lo = UINT32_MAX, hi = 0;
    for (size_t i = 0; i < samples.count(); ++i) {
        lo = std::min(lo, samples[i]);
        hi = std::max(hi, samples[i]);
    }
    EXPECT_GT(hi - lo, 1000u) << "the knife sweeps across the tape";
    EXPECT_EQ(devices.state->integer(sim::stateKey::CutsMade), 1);

    // A missing cut file fails; so does a path without its terminator.
    const std::u16string missing = u"\\Store\\none.cut";
    auto& missingText = rec.newBuffer((missing.size() + 1) * 2);
    std::memcpy(missingText.data(), missing.data(), missing.size() * 2);
    rec->cutFilePath = missingText.address();
    EXPECT_FALSE(sendCommand(prn, IOCTL_PRN_TEST_RUN, rec.block(), &out, 4));
    auto& unterminated = rec.newBuffer(4);
    std::memset(unterminated.data(), 'A', 4);
    rec->cutFilePath = unterminated.address();
    EXPECT_FALSE(sendCommand(prn, IOCTL_PRN_TEST_RUN, rec.block(), &out, 4));

    rec.setCommand(target::TestRun, cmd::testRun::XYHoming);
    rec->crossWeb.forwardAfterUnblocked = 10;
    ASSERT_TRUE(sendCommand(prn, IOCTL_PRN_TEST_RUN, rec.block(), &out, 4));
    EXPECT_EQ(out, 1200 + 10) << "from the middle of its travel to home and 10 steps on";
    ASSERT_TRUE(sendCommand(prn, IOCTL_PRN_TEST_RUN, rec.block(), &out, 4));
    EXPECT_EQ(out, 20);

    rec.setCommand(target::TestRun, cmd::testRun::XYPinch, rec.addressOf(&rec->pinch));
    ASSERT_TRUE(sendCommand(prn, IOCTL_PRN_TEST_RUN, rec.block(), &out, 4));
    EXPECT_GT(out, 0);
}

TEST_F(Motion, MediaJamFeedsAndCuts)
{
    DriverRecord<MediaJamRecord> rec;
    rec->length = 2;
    rec->copies = 3;
    rec->endCut = 1;
    rec.setCommand(target::Sequence, cmd::motion::MediaJam);
    ASSERT_TRUE(motion(rec.block()));
    EXPECT_EQ(devices.state->integer(sim::stateKey::CutsMade), 3);
    EXPECT_EQ(devices.state->integer(sim::stateKey::InchesFed), 6);
    rec->endCut = 2;
    EXPECT_FALSE(motion(rec.block()));
}

} // namespace
} // namespace simtest
