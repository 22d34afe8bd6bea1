// Sensors, ADC, DAC and GPIO: readings for known conditions, configured
// sensor states, calibrations and settings that persist.
#include "SimTestSupport.h"
#include "platform/CallerMemory.h"
#include "protocol/ConverterItems.h"
#include "protocol/SensorItems.h"
#include "protocol/UserRequests.h"

namespace simtest {
namespace {

namespace si = protocol::sensorItem;

class Sensors : public SimFixture {
protected:
    int32_t state(uint32_t item)
    {
        int32_t s = -7;
        EXPECT_TRUE(request(IOCTL_PRN_SENSOR_READ, item, cmd::sensor::Read, s)) << item;
        return s;
    }
    double analog(uint32_t item)
    {
        double v = -1;
        EXPECT_TRUE(request(IOCTL_PRN_SENSOR_READ, item, cmd::sensor::Read, v)) << item;
        return v;
    }
    uint32_t setting(uint32_t item)
    {
        uint32_t v = 0xDEAD;
        EXPECT_TRUE(request(IOCTL_PRN_REGISTER, item, cmd::reg::ReadSetting, v)) << item;
        return v;
    }
    ColorTriple triple(uint32_t code, uint32_t item, uint32_t command)
    {
        ColorTriple t{1, 2, 3};
        EXPECT_TRUE(request(code, item, command, t)) << item;
        return t;
    }
    // A value word in caller memory for the write requests.
    platform::CallerTable<uint32_t> word{1};
};

TEST_F(Sensors, DoorConfiguredOpenReadsNonZero)
{
    start();
    EXPECT_EQ(state(si::Door), 0) << "closed by default";
    sim::SimConfig c = config();
    c.applyMachineSetting("Sensors", "Door", "open");
    restart(c);
    EXPECT_NE(state(si::Door), 0);
    EXPECT_EQ(analog(si::PrintHeadVoltage), 0.0) << "the interlock cuts the head supply";
}

TEST_F(Sensors, ConfigurationFileSetsSensorsAndCartridges)
{
    QDir().mkpath(root.filePath("Simulator"));
    QFile f(root.filePath("Simulator/simulator.ini"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[Sensors]\nMedia=absent\nDownstreamGap=blocked\nEjectorHome=blocked\n26=1\nDoor=ajar\n"
            "[Cartridges]\nRibbon=absent\n");
    f.close();
    sim::SimConfig c = sim::SimConfig::fromEnvironment();
    EXPECT_EQ(c.warnings.size(), 1) << "Door=ajar is ignored";
    EXPECT_FALSE(c.ribbonCartridgePresent);
    c.timeScale = 0;
    start(c);
    EXPECT_EQ(state(si::MediaPresent), 0);
    EXPECT_EQ(state(si::DownstreamGap), 1);
    EXPECT_EQ(state(si::EjectorHome), 0) << "the ejector's home sensor reads 0 when blocked";
    EXPECT_EQ(state(si::DownstreamSideNotch), 1);
    EXPECT_EQ(state(si::UpstreamGap), 0) << "no media under the other sensors";
    // Without media a calibration has nothing to measure.
    uint32_t out = 0;
    EXPECT_FALSE(request(IOCTL_PRN_SENSOR_READ, si::DownstreamGap, cmd::sensor::CalibrateLiner, out));
    EXPECT_TRUE(printer().lastRequest().refusal.contains("no media"));
}

TEST_F(Sensors, ReadingsArePlausibleAndFollowTheMachine)
{
    start();
    for (uint32_t item : protocol::kUserOnOffSensors) {
        const int32_t s = state(item);
        EXPECT_TRUE(s == 0 || s == 1) << item;
    }
    EXPECT_EQ(state(si::MediaPresent), 1);
    EXPECT_EQ(state(si::PrintHeadHome), 1) << "the head rests up at home";
    EXPECT_NEAR(analog(si::Thermistor), 25.2, 0.5);
    EXPECT_NEAR(analog(si::RoomTemp), 23.5, 0.5);
    EXPECT_NEAR(analog(si::PrintHeadVoltage), 24.0, 0.1);
    const ColorTriple white = triple(IOCTL_PRN_SENSOR_READ, si::FiducialDetector, cmd::sensor::Read);
    EXPECT_GT(white.red, 100);
    // The detector follows the emitter DACs: a dark green emitter reads dark.
    word[0] = 0x100 | 10; // only the low byte goes to the DAC
    ASSERT_TRUE(send(IOCTL_PRN_REGISTER, protocol::emitterItem::Green, cmd::reg::Write, word.address()));
    const ColorTriple dim = triple(IOCTL_PRN_SENSOR_READ, si::FiducialDetector, cmd::sensor::Read);
    EXPECT_LT(dim.green, 20);
    EXPECT_NEAR(dim.red, white.red, 5);
    const ColorTriple emitters =
        triple(IOCTL_PRN_REGISTER, protocol::settingItem::FiducialEmitterDacs, cmd::reg::ReadSetting);
    EXPECT_EQ(emitters.green, 10);
}

TEST_F(Sensors, GapCalibrationSetsTheDacThatBothProgramsRead)
{
    start();
    const uint32_t before = setting(si::DownstreamGap);
    uint32_t liner = 0, dac = 0;
    ASSERT_TRUE(request(IOCTL_PRN_SENSOR_READ, si::DownstreamGap, cmd::sensor::CalibrateLiner, liner));
    ASSERT_TRUE(request(IOCTL_PRN_SENSOR_READ, si::DownstreamGap, cmd::sensor::CalibrateMedia, dac));
    EXPECT_GT(liner, 150u);
    EXPECT_LT(liner, 200u);
    EXPECT_EQ(setting(si::DownstreamGap), dac);
    EXPECT_NE(dac, before) << "the factory setting differs from the calibrated one on this unit";
    protocol::GapDacRecord rec;
    ASSERT_TRUE(query(protocol::IOCTL_PRN_GET_GAP_SENSOR_DAC, rec));
    EXPECT_EQ(rec.dac, dac);

    // A written setting reads back and survives a restart; one outside a byte is refused.
    word[0] = 77;
    ASSERT_TRUE(send(IOCTL_PRN_REGISTER, si::UpstreamGap, cmd::reg::WriteSetting, word.address()));
    word[0] = 300;
    EXPECT_FALSE(send(IOCTL_PRN_REGISTER, si::UpstreamGap, cmd::reg::WriteSetting, word.address()));
    EXPECT_TRUE(printer().lastRequest().refusal.contains("outside 0 to 255"));
    restart();
    EXPECT_EQ(setting(si::UpstreamGap), 77u);
    EXPECT_EQ(setting(si::DownstreamGap), dac);
}

TEST_F(Sensors, ColorCalibrationAnswersTheDacsItSets)
{
    start();
    const ColorTriple set = triple(IOCTL_PRN_SENSOR_READ, si::ColorSensor, cmd::sensor::CalibrateColor);
    const ColorTriple read = triple(IOCTL_PRN_REGISTER, protocol::settingItem::ColorSensorDacs, cmd::reg::ReadSetting);
    EXPECT_EQ(set.red, read.red);
    EXPECT_EQ(set.green, read.green);
    EXPECT_EQ(set.blue, read.blue);
    // A yellow panel of the factory ribbon under the sensor.
    const ColorTriple yellow = triple(IOCTL_PRN_SENSOR_READ, si::ColorSensor, cmd::sensor::Read);
    EXPECT_GT(yellow.red, 180);
    EXPECT_LT(yellow.blue, 40);
}

TEST_F(Sensors, AdcReadingsAreSteadyWithSmallNoiseAndRepeatForTheSeed)
{
    std::vector<uint32_t> first;
    for (int run = 0; run < 2; ++run) {
        restart();
        std::vector<uint32_t> got;
        for (int pass = 0; pass < 5; ++pass)
            for (int ch = 0; ch < 8; ++ch) {
                uint32_t v = 0;
                ASSERT_TRUE(request(IOCTL_PRN_ADC_READ, protocol::adcItem(ch), cmd::adc::Read, v));
                EXPECT_LT(v, 4096u);
                got.push_back(v);
            }
        for (size_t i = 8; i < got.size(); ++i)
            EXPECT_LE(std::abs(int64_t(got[i]) - int64_t(got[i % 8])), 6) << "channel " << i % 8;
        if (run == 0)
            first = got;
        else
            EXPECT_EQ(got, first) << "the same seed gives the same readings";
    }
}

TEST_F(Sensors, GpioOutputsLatchInputsDoNot)
{
    start();
    auto read = [&](uint32_t item) {
        uint32_t v = 0xFFFFFFFF;
        EXPECT_TRUE(request(IOCTL_PRN_GPIO, item, cmd::gpio::Read, v));
        return v;
    };
    // IOEXP1 B1: all outputs, read back what was set.
    word[0] = 0xFFFFFF5A; // only the low byte is the state
    ASSERT_TRUE(send(IOCTL_PRN_GPIO, 54, cmd::gpio::Set, word.address()));
    EXPECT_EQ(read(54), 0x5Au);
    // CPU B1 (P23 - P16): bits 5 and 6 are outputs; the inputs keep their pattern.
    const uint32_t inputs = read(43) & ~0x60u;
    word[0] = 0xFF;
    ASSERT_TRUE(send(IOCTL_PRN_GPIO, 43, cmd::gpio::Set, word.address()));
    EXPECT_EQ(read(43), inputs | 0x60u);
    word[0] = 0x00;
    ASSERT_TRUE(send(IOCTL_PRN_GPIO, 43, cmd::gpio::Set, word.address()));
    EXPECT_EQ(read(43), inputs);
    // An input-only group refuses a set and reads as before.
    const uint32_t b0 = read(38);
    EXPECT_FALSE(send(IOCTL_PRN_GPIO, 38, cmd::gpio::Set, word.address()));
    EXPECT_TRUE(printer().lastRequest().refusal.contains("no output pins"));
    EXPECT_EQ(read(38), b0);
    word[0] = 0xA5;
    ASSERT_TRUE(send(IOCTL_PRN_GPIO, 54, cmd::gpio::Set, word.address()));
    restart();
    EXPECT_EQ(read(54), 0xA5u) << "latches are kept in the state file";
}

TEST_F(Sensors, DacWritesAreKept)
{
    start();
    for (uint32_t item : {64u, 79u, 87u}) {
        word[0] = item;
        ASSERT_TRUE(send(IOCTL_PRN_REGISTER, item, cmd::reg::Write, word.address()));
    }
    restart();
    for (uint32_t item : {64u, 79u, 87u})
        EXPECT_EQ(devices.state->integer(QStringLiteral("Dac.%1").arg(item)), int64_t(item));
}

} // namespace
} // namespace simtest
