// The ADC, DAC and GPIO passes without widgets, against a recording PRN1:
// handle: the requests as sent, the values and texts they produce.
#include <gtest/gtest.h>

#include <QString>
#include <cstring>
#include <memory>

#include "platform/CallerMemory.h"
#include "platform/Device.h"
#include "platform/testing/RecordingDevice.h"
#include "protocol/CommandBlock.h"
#include "protocol/RequestCodes.h"
#include "vantor/screens/sensor/CDacSettingDlg.h"
#include "vantor/screens/sensor/ConverterRuns.h"
#include "vantor/screens/sensor/MediaJamRun.h"
#include "vantor/settings/CSettingsFile.h"

using namespace vantor::sensor;
using platform::testing::RecordingDevice;

namespace {

struct Sent {
    uint32_t code, target, command, param, outLen;
};

std::vector<Sent> sent(const RecordingDevice& d)
{
    std::vector<Sent> out;
    for (const auto& r : d.requests()) {
        protocol::CommandBlock b{};
        EXPECT_EQ(r.input.size(), 12);
        std::memcpy(&b, r.input.constData(), sizeof b);
        out.push_back({r.code, b.Target, b.Command, b.Param, r.outLen});
    }
    return out;
}

// A PRN1: handle on a recording device.
struct Printer {
    std::shared_ptr<RecordingDevice> device = std::make_shared<RecordingDevice>();
    vantor::DriverRef driver;
    Printer()
    {
        platform::registerDevice(QStringLiteral("PRN1:"), device);
        driver = vantor::openDriver();
    }
    ~Printer() { platform::unregisterDevice(QStringLiteral("PRN1:")); }
};

TEST(AdcPass, ReadsItems88To95InOrderWithCommand33)
{
    Printer p;
    AdcReader reader(p.driver);
    reader.readPass();
    const auto s = sent(*p.device);
    ASSERT_EQ(s.size(), 8u);
    for (uint32_t i = 0; i < 8; ++i) {
        EXPECT_EQ(s[i].code, protocol::IOCTL_PRN_ADC_READ);
        EXPECT_EQ(s[i].target, 88 + i);
        EXPECT_EQ(s[i].command, 33u);
        EXPECT_EQ(s[i].param, 0u);
        EXPECT_EQ(s[i].outLen, 4u);
    }
    for (uint32_t r : reader.readings())
        EXPECT_EQ(CDacSettingDlg::formatReading(r), QStringLiteral("1234"));
}

TEST(AdcPass, AFailedChannelReads4294967295)
{
    Printer p;
    p.device->succeed = false;
    AdcReader reader(p.driver);
    reader.readPass();
    EXPECT_EQ(p.device->count(), 8); // every channel is still asked
    for (uint32_t r : reader.readings())
        EXPECT_EQ(CDacSettingDlg::formatReading(r), QStringLiteral("4294967295"));
}

struct DacCase {
    int dac;
    int32_t typed;
    bool ok;
    const char* levels[8];
    uint32_t word; // the value word as sent
};

class DacPass : public ::testing::TestWithParam<DacCase> {};

TEST_P(DacPass, WritesEachChannelOfTheTickedDacAndShowsItsLevel)
{
    const DacCase& c = GetParam();
    Printer p;
    p.device->succeed = c.ok;
    DacWriter writer(p.driver);
    std::array<bool, kDacs> ticked{};
    std::array<int32_t, kDacs> typed{};
    ticked[size_t(c.dac)] = true;
    typed[size_t(c.dac)] = c.typed;
    writer.setPass(ticked, typed);
    writer.writePass();

    const auto s = sent(*p.device);
    ASSERT_EQ(s.size(), 8u);
    for (int ch = 0; ch < 8; ++ch) {
        EXPECT_EQ(s[size_t(ch)].code, protocol::IOCTL_PRN_REGISTER);
        EXPECT_EQ(s[size_t(ch)].target, uint32_t(64 + 8 * c.dac + ch));
        EXPECT_EQ(s[size_t(ch)].command, 32u);
        EXPECT_EQ(s[size_t(ch)].outLen, 0u);
        const uint8_t* word = platform::CallerMemory::instance().resolve(s[size_t(ch)].param, 4);
        ASSERT_NE(word, nullptr);
        uint32_t value;
        std::memcpy(&value, word, 4);
        EXPECT_EQ(value, c.word);
        EXPECT_EQ(CDacSettingDlg::formatLevel(writer.levels()[size_t(c.dac)][size_t(ch)]),
                  QString::fromUtf8(c.levels[ch]))
            << "channel " << ch + 1;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Levels, DacPass,
    ::testing::Values(
        DacCase{1, 255, true, {"3.3", "3.3", "3.3", "3.3", "3.3", "3.3", "3.3", "3.3"}, 255},
        DacCase{1, 0, true, {"0", "0", "0", "0", "0", "0", "0", "0"}, 0},
        DacCase{0, 255, true, {"1.5", "1.5", "1.5", "1.5", "1.5", "1.5", "1.5", "1.5"}, 255},
        DacCase{2, 255, true, {"3.3", "3.3", "3.3", "3.3", "1.5", "1.5", "1.5", "1.5"}, 255},
        // No range check: the low byte goes out, the level follows the typed number.
        DacCase{0, 256, true,
                {"1.50588235294118", "1.50588235294118", "1.50588235294118", "1.50588235294118",
                 "1.50588235294118", "1.50588235294118", "1.50588235294118", "1.50588235294118"},
                0},
        DacCase{1, 128, false, {"-1", "-1", "-1", "-1", "-1", "-1", "-1", "-1"}, 128}));

TEST(DacPassNoneTicked, SendsNothing)
{
    Printer p;
    DacWriter writer(p.driver);
    writer.setPass({false, false, false}, {255, 255, 255});
    writer.writePass();
    EXPECT_EQ(p.device->count(), 0);
}

struct GroupCase {
    int row;
    const char* label;
    uint32_t item;
    const char* types; // bit 0 first
    int firstPinNumber;
};

class GpioGroups : public ::testing::TestWithParam<GroupCase> {};

TEST_P(GpioGroups, LabelItemPinNumbersAndTypes)
{
    const GroupCase& c = GetParam();
    const protocol::GpioGroup& g = protocol::kGpioGroups[c.row];
    EXPECT_EQ(GpioGroupLabel(g), QString::fromUtf8(c.label));
    EXPECT_EQ(g.item, c.item);
    for (int k = 0; k < 8; ++k) {
        EXPECT_EQ(GpioPinType(g, k), c.types[k]) << "bit " << k;
        EXPECT_EQ(GpioPinNumber(g, k), c.firstPinNumber + k);
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, GpioGroups,
                         ::testing::Values(GroupCase{0, "CPU B0 (P7 - P0)", 37, "IIIIIOII", 0},
                                           GroupCase{1, "CPU B0 (P15 - P8)", 38, "IIIIIIII", 8},
                                           GroupCase{3, "CPU B0 (P31 - P24)", 40, "IIIIIIII", 24},
                                           GroupCase{7, "CPU B1 (P31 - P24)", 44, "IIIOOIII", 24},
                                           GroupCase{14, "CPU B3 (P23 - P16)", 51, "OIIIIOII", 16},
                                           GroupCase{17, "IOEXP1 B1 (P7 - P0)", 54, "OOOOOOOO", 0},
                                           GroupCase{23, "IOEXP2 B2 (P7 - P0)", 60, "IIIIIIII", 0},
                                           GroupCase{26, "IOEXP3 B2 (P7 - P0)", 63, "IIIIIIII", 0}));

TEST(GpioGroupTable, TwentySevenDistinctLabelsAndItems37To63)
{
    QStringList labels;
    for (int row = 0; row < kGpioGroupCount; ++row) {
        EXPECT_EQ(protocol::kGpioGroups[row].item, uint32_t(37 + row));
        labels << GpioGroupLabel(protocol::kGpioGroups[row]);
    }
    labels.removeDuplicates();
    EXPECT_EQ(labels.size(), kGpioGroupCount);
}

struct GpioCase {
    GpioRequest::Op op;
    bool ok;
    uint8_t value;
    const char* status;
    std::optional<int32_t> shown;
    uint32_t command;
};

class GpioRequests : public ::testing::TestWithParam<GpioCase> {};

TEST_P(GpioRequests, StatusAndShownValue)
{
    const GpioCase& c = GetParam();
    Printer p;
    p.device->succeed = c.ok;
    p.device->answer = QByteArray("\xA5\x01\x00\x00", 4); // only the low byte is a pin
    GpioRequest request(p.driver);
    request.prepare(c.op, 54, c.value);
    request.perform();
    const auto s = sent(*p.device);
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(s[0].code, protocol::IOCTL_PRN_GPIO);
    EXPECT_EQ(s[0].target, 54u);
    EXPECT_EQ(s[0].command, c.command);
    if (c.command == 31) {
        EXPECT_EQ(s[0].param, request.valueAddress());
        EXPECT_EQ(s[0].outLen, 0u);
    } else {
        EXPECT_EQ(s[0].param, 0u);
        EXPECT_EQ(s[0].outLen, 4u);
    }
    const GpioRequest::Result r = request.result();
    EXPECT_EQ(r.status, QString::fromUtf8(c.status));
    EXPECT_EQ(r.shown, c.shown);
}

INSTANTIATE_TEST_SUITE_P(
    ReadAndSet, GpioRequests,
    ::testing::Values(GpioCase{GpioRequest::Op::Read, true, 0, "Read Success", 0xA5, 30},
                      GpioCase{GpioRequest::Op::Read, false, 0, "Read Fail", -1, 30},
                      GpioCase{GpioRequest::Op::Set, true, 5, "Set 0x05 Success", std::nullopt, 31},
                      GpioCase{GpioRequest::Op::Set, true, 0xC3, "Set 0xC3 Success", std::nullopt, 31},
                      GpioCase{GpioRequest::Op::Set, false, 5, "Set Fail", -1, 31}));

struct JamCase {
    int32_t length, copies, endCut;
    int32_t sentEndCut;
};

class MediaJamRecordBytes : public ::testing::TestWithParam<JamCase> {};

TEST_P(MediaJamRecordBytes, TheBlockPointsAtLengthCopiesAndEndCut)
{
    Printer p;
    CSettingsFile file;
    CMediaJamSettings values(file);
    values.length = GetParam().length;
    values.copies = GetParam().copies;
    values.endCut = GetParam().endCut;
    MediaJamRun run(p.driver, values);
    EXPECT_EQ(run.record().block().Target, 11u);
    EXPECT_EQ(run.record().block().Command, 35u);
    EXPECT_EQ(run.record().block().Param, run.record().address());
    const uint8_t* bytes = platform::CallerMemory::instance().resolve(run.record().block().Param, 12);
    ASSERT_NE(bytes, nullptr);
    int32_t words[3];
    std::memcpy(words, bytes, 12);
    EXPECT_EQ(words[0], GetParam().length);
    EXPECT_EQ(words[1], GetParam().copies);
    EXPECT_EQ(words[2], GetParam().sentEndCut);
}

INSTANTIATE_TEST_SUITE_P(Values, MediaJamRecordBytes,
                         ::testing::Values(JamCase{6, 3, 1, 1}, JamCase{0, 0, 0, 0}, JamCase{1000, 10000, 7, 1}, JamCase{-1, 20000, 0, 0}));

} // namespace
