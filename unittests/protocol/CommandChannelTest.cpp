#include <cstring>
#include <gtest/gtest.h>

#include "platform/Device.h"
#include "protocol/CommandChannel.h"
#include "protocol/RequestCodes.h"

using namespace protocol;

namespace {

// Records what it is asked and answers per target.
class Recorder : public platform::Device {
public:
    struct Call {
        uint32_t code, inLen, outLen;
        CommandBlock block;
        bool counter;
    };
    std::vector<Call> calls;
    bool ioControl(uint32_t code, const void* in, uint32_t inLen, void* out, uint32_t outLen,
                   uint32_t* bytesReturned) override
    {
        Call c{code, inLen, outLen, {}, bytesReturned != nullptr};
        if (inLen == 12)
            std::memcpy(&c.block, in, 12);
        calls.push_back(c);
        if (c.block.Target == 99)
            return false;
        if (c.block.Command == cmd::motion::PrintHeadLift && bytesReturned) {
            *bytesReturned = 321;
            return true;
        }
        if (out)
            std::memset(out, 0x11, outLen);
        return true;
    }
};

class CommandChannelTest : public ::testing::Test {
protected:
    void TearDown() override { platform::unregisterAllDevices(); }
};

TEST_F(CommandChannelTest, OpensWithTheDialogFlags)
{
    const auto f = printerOpenFlags();
    EXPECT_EQ(f.access, 0xC0000000u);
    EXPECT_EQ(f.share, 3u);
    EXPECT_EQ(f.creation, 3u);
    EXPECT_EQ(f.attributes, 0x80u);
}

TEST_F(CommandChannelTest, AbsentDriverFailsEveryRequestWithFailureValues)
{
    platform::DeviceHandle h = openPrinter();
    EXPECT_FALSE(h.valid());
    CommandBlock b;
    int32_t out = 5;
    EXPECT_FALSE(sendCommand(h, IOCTL_PRN_MOTION, b, 1, 3, 0, &out, 4));
    uint32_t counter = 77;
    EXPECT_FALSE(sendCountedCommand(h, IOCTL_PRN_MOTION, b, counter));
    EXPECT_EQ(counter, 0u) << "the counter is preset to 0";

    int32_t adc = 123;
    uint8_t rgb[3] = {1, 2, 3};
    double temp = 36.6;
    ReadItem items[] = {{88, ReadingSize::Four, &adc},
                        {97, ReadingSize::Three, rgb},
                        {14, ReadingSize::Eight, &temp, -1.0}};
    EXPECT_EQ(readItems(h, IOCTL_PRN_SENSOR_READ, b, cmd::sensor::Read, items), 0);
    EXPECT_EQ(adc, -1);
    EXPECT_EQ(rgb[0] | rgb[1] | rgb[2], 0);
    EXPECT_EQ(temp, -1.0);
}

TEST_F(CommandChannelTest, ListReadingGoesOnAfterAFailedItem)
{
    auto rec = std::make_shared<Recorder>();
    platform::registerDevice("PRN1:", rec);
    platform::DeviceHandle h = openPrinter();
    ASSERT_TRUE(h.valid());
    CommandBlock b;
    int32_t a = 0, c = 0;
    double t = 0;
    ReadItem items[] = {{88, ReadingSize::Four, &a}, {99, ReadingSize::Four, &c}, {99, ReadingSize::Eight, &t, 1e6}};
    EXPECT_EQ(readItems(h, IOCTL_PRN_ADC_READ, b, cmd::adc::Read, items), 1);
    EXPECT_EQ(a, 0x11111111);
    EXPECT_EQ(c, -1);
    EXPECT_EQ(t, 1e6);
    ASSERT_EQ(rec->calls.size(), 3u);
    for (const auto& call : rec->calls) {
        EXPECT_EQ(call.inLen, 12u);
        EXPECT_EQ(call.block.Command, 33u);
        EXPECT_EQ(call.block.Param, 0u);
        EXPECT_FALSE(call.counter);
    }
    EXPECT_EQ(rec->calls[2].outLen, 8u);
}

TEST_F(CommandChannelTest, HeadLiftDurationComesThroughTheCounter)
{
    auto rec = std::make_shared<Recorder>();
    platform::registerDevice("PRN1:", rec);
    platform::DeviceHandle h = openPrinter();
    CommandBlock b{target::PrintHead, cmd::motion::PrintHeadLift, 0};
    uint32_t counter = 5;
    ASSERT_TRUE(sendCountedCommand(h, IOCTL_PRN_MOTION, b, counter));
    EXPECT_EQ(counter, 321u);
    ASSERT_EQ(rec->calls.size(), 1u);
    EXPECT_TRUE(rec->calls[0].counter);
    EXPECT_EQ(rec->calls[0].outLen, 0u);

    // Other commands never pass a counter, with or without output.
    EXPECT_TRUE(sendCommand(h, IOCTL_PRN_MOTION, b, 1, 5, 0));
    EXPECT_FALSE(rec->calls.back().counter);
    EXPECT_EQ(rec->calls.back().outLen, 0u);
}

} // namespace
