// The sensor read steps without widgets or threads: the step queue taken one
// wake-up at a time against a recording PRN1:, the prompts answered by a
// script.
#include <gtest/gtest.h>

#include <QStringList>
#include <cstring>
#include <memory>

#include "platform/CallerMemory.h"
#include "platform/Device.h"
#include "platform/testing/RecordingDevice.h"
#include "protocol/CommandBlock.h"
#include "protocol/RequestCodes.h"
#include "ui/Messages.h"
#include "vantor/screens/sensor/SensorReadRun.h"

using namespace vantor::sensor;
using platform::testing::RecordingDevice;

namespace {

struct Sent {
    uint32_t code, target, command, param, outLen;
};

struct SensorRunTest : ::testing::Test {
    std::shared_ptr<RecordingDevice> device = std::make_shared<RecordingDevice>();
    QStringList prompts;
    int answer = ui::IDOK;
    int notices = 0;
    int resets = 0;
    std::unique_ptr<SensorReadRun> run;

    void SetUp() override
    {
        platform::registerDevice(QStringLiteral("PRN1:"), device);
        run = std::make_unique<SensorReadRun>(
            vantor::openDriver(),
            [this](const QString& text) {
                prompts << text;
                return answer;
            },
            [this] { ++notices; });
    }
    void TearDown() override
    {
        run.reset();
        platform::unregisterDevice(QStringLiteral("PRN1:"));
    }
    // Wakes the worker until nothing is pending; the steps taken.
    int drain(int limit = 20)
    {
        int steps = 0;
        while (steps < limit && run->step([this] { ++resets; }) >= 0)
            ++steps;
        return steps;
    }
    std::vector<Sent> sent() const
    {
        std::vector<Sent> out;
        for (const auto& r : device->requests()) {
            protocol::CommandBlock b{};
            std::memcpy(&b, r.input.constData(), sizeof b);
            out.push_back({r.code, b.Target, b.Command, b.Param, r.outLen});
        }
        return out;
    }
};

// The DAC settings read and the 18 sensor reads, from `at`.
void expectReadings(const std::vector<Sent>& s, size_t at)
{
    const uint32_t analog[] = {30, 31, 28, 29};
    ASSERT_GE(s.size(), at + 4 + 18);
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(s[at + i].code, protocol::IOCTL_PRN_REGISTER);
        EXPECT_EQ(s[at + i].command, 37u);
        EXPECT_EQ(s[at + i].target, analog[i]);
        EXPECT_EQ(s[at + i].outLen, 4u);
    }
    for (size_t i = 0; i < 18; ++i) {
        const Sent& r = s[at + 4 + i];
        EXPECT_EQ(r.code, protocol::IOCTL_PRN_SENSOR_READ);
        EXPECT_EQ(r.command, 16u);
        EXPECT_EQ(r.target, protocol::kSensorReadTable[i].target);
        EXPECT_EQ(r.outLen, i < 16 ? 4u : 8u);
    }
}

struct CalibrationCase {
    int row;
    uint32_t target;
    const char* secondPrompt;
};

class Calibration : public SensorRunTest, public ::testing::WithParamInterface<CalibrationCase> {};

TEST_P(Calibration, PromptsTwiceThenCalibratesTheRowThenReadsOnce)
{
    const CalibrationCase& c = GetParam();
    run->startCalibrate(c.row);
    EXPECT_TRUE(run->busy());
    EXPECT_EQ(drain(), 4);
    EXPECT_EQ(prompts, (QStringList{QStringLiteral("Please put a L5190 liner in.\nWhen you are done, press OK to continue."),
                                    QString::fromUtf8(c.secondPrompt)}));
    const auto s = sent();
    ASSERT_EQ(s.size(), 2u + 4u + 18u);
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(s[i].code, protocol::IOCTL_PRN_SENSOR_READ);
        EXPECT_EQ(s[i].target, c.target);
        EXPECT_EQ(s[i].command, i == 0 ? 50u : 51u);
        EXPECT_EQ(s[i].param, 0u);
        EXPECT_EQ(s[i].outLen, 4u);
    }
    expectReadings(s, 2);
    EXPECT_EQ(notices, 2); // the calibration steps post nothing
    EXPECT_FALSE(run->busy());
    EXPECT_EQ(resets, 1);
}

INSTANTIATE_TEST_SUITE_P(
    AnalogRows, Calibration,
    ::testing::Values(
        CalibrationCase{3, 29, "Please put tape in.\nWhen you are done, press OK to continue."},
        CalibrationCase{2, 28, "Please put tape in.\nWhen you are done, press OK to continue."},
        CalibrationCase{0, 30, "Please put K7700 black ribbon.\nWhen you are done, press OK to continue."},
        CalibrationCase{1, 31, "Please put K7700 black ribbon.\nWhen you are done, press OK to continue."}));

TEST_F(SensorRunTest, APromptNotAnsweredOkSendsNoCalibration)
{
    answer = ui::IDCANCEL; // the dialog closing releases the box
    run->startCalibrate(3);
    drain();
    for (const Sent& s : sent())
        EXPECT_TRUE(s.command != 50 && s.command != 51);
}

TEST_F(SensorRunTest, WriteDacSendsTheValueOfTheSelectedRowThenReadsTheSensors)
{
    run->startWriteDac(2, 173);
    EXPECT_EQ(drain(), 2);
    const auto s = sent();
    ASSERT_EQ(s.size(), 1u + 18u);
    EXPECT_EQ(s[0].code, protocol::IOCTL_PRN_REGISTER);
    EXPECT_EQ(s[0].command, 62u);
    EXPECT_EQ(s[0].target, 28u);
    const uint8_t* word = platform::CallerMemory::instance().resolve(s[0].param, 4);
    ASSERT_NE(word, nullptr);
    int32_t value;
    std::memcpy(&value, word, 4);
    EXPECT_EQ(value, 173);
    EXPECT_EQ(s[1].command, 16u);
}

TEST_F(SensorRunTest, ContinuousReadingKeepsQueueingUntilStop)
{
    run->startRead();
    for (int i = 0; i < 6; ++i)
        EXPECT_GE(run->step([this] { ++resets; }), 0);
    EXPECT_TRUE(run->busy());
    EXPECT_EQ(resets, 0);
    const auto s = sent();
    expectReadings(s, 0);
    EXPECT_EQ(s.size(), 4u + 5u * 18u); // DAC settings once, then the sensors each wake-up
    run->stop();
    drain(); // steps already queued still run: Stop removes none
    EXPECT_FALSE(run->busy());
    EXPECT_EQ(resets, 1);
}

TEST_F(SensorRunTest, ReadingsWithoutADriverShowUnknownAndZeroSettings)
{
    device->succeed = false;
    device->answer = QByteArray(8, '\x07');
    run->startRead();
    run->step({});
    run->step({});
    const SensorValues v = run->values();
    for (int32_t state : v.states)
        EXPECT_EQ(state, -1);
    EXPECT_EQ(v.temperatures[0], -1.0);
    EXPECT_EQ(v.temperatures[1], -1.0);
    for (uint8_t setting : v.dacSettings)
        EXPECT_EQ(setting, 0);
}

TEST_F(SensorRunTest, ReadingsFillStatesTemperaturesAndTheFirstByteOfEachSetting)
{
    double t = 23.5;
    QByteArray answer(8, '\0');
    std::memcpy(answer.data(), &t, 8); // a state reads the low word of it
    device->answer = answer;
    run->startRead();
    run->step({});
    run->step({});
    const SensorValues v = run->values();
    EXPECT_EQ(v.temperatures[0], 23.5);
    EXPECT_TRUE(v.roomTempRead);
    EXPECT_EQ(v.dacSettings[0], uint8_t(answer[0]));
}

} // namespace
