// Requests outside the contract fail and leave every caller buffer as it was.
#include <cstring>
#include <initializer_list>

#include "SimTestSupport.h"
#include "protocol/UserRequests.h"
#include "protocol/EndCutterParams.h"

namespace simtest {
namespace {

class Contract : public SimFixture {
protected:
    void SetUp() override
    {
        SimFixture::SetUp();
        start();
        fillPlaten(rec, 100, true);
    }
    // Sends raw and checks that it failed and touched nothing.
    void expectRefused(uint32_t code, const void* in, uint32_t inLen, uint32_t outLen, const char* what)
    {
        uint8_t out[64];
        std::memset(out, 0xAB, sizeof out);
        uint32_t returned = 0xCDCDCDCD;
        const auto detailBefore = detailBytes();
        EXPECT_FALSE(prn.ioControl(code, in, inLen, outLen ? out : nullptr, outLen, &returned)) << what;
        for (uint8_t b : out)
            ASSERT_EQ(b, 0xAB) << what;
        EXPECT_EQ(returned, 0xCDCDCDCDu) << what;
        EXPECT_EQ(detailBytes(), detailBefore) << what;
    }
    std::vector<uint32_t> detailBytes()
    {
        auto* t = platform::CallerMemory::instance().resolve(rec->encoderDetail.table, 400);
        return t ? std::vector<uint32_t>(reinterpret_cast<uint32_t*>(t), reinterpret_cast<uint32_t*>(t) + 100)
                 : std::vector<uint32_t>();
    }
    DriverRecord<PlatenMoveParams> rec;
};

TEST_F(Contract, WrongCodesLengthsTargetsAndCommandsFail)
{
    CommandBlock b = rec.block();
    expectRefused(0x1E2028, &b, 12, 4, "unused function 0x80A");
    expectRefused(0x220004, &b, 12, 4, "other device type");
    expectRefused(IOCTL_PRN_MOTION, &b, 11, 4, "input 11 bytes");
    expectRefused(IOCTL_PRN_MOTION, &b, 13, 4, "input 13 bytes");
    expectRefused(IOCTL_PRN_MOTION, nullptr, 12, 4, "no input");
    expectRefused(IOCTL_PRN_MOTION, &b, 12, 0, "no output for command 3");
    expectRefused(IOCTL_PRN_MOTION, &b, 12, 8, "8-byte output for command 3");
    expectRefused(IOCTL_PRN_TEST_RUN, &b, 12, 4, "command 3 under another request");
    CommandBlock t = b;
    t.Target = 2;
    expectRefused(IOCTL_PRN_MOTION, &t, 12, 4, "wrong target");
    t = b;
    t.Command = 8;
    expectRefused(IOCTL_PRN_MOTION, &t, 12, 4, "unknown command");
    t = b;
    t.Param = 0;
    expectRefused(IOCTL_PRN_MOTION, &t, 12, 4, "no record");
    t = b;
    t.Param = 0x7FFFFFF0;
    expectRefused(IOCTL_PRN_MOTION, &t, 12, 4, "unmapped record");
    // The record must fit whole: an address near the end of the mapping fails.
    t = b;
    t.Param = rec.address() + 100;
    expectRefused(IOCTL_PRN_MOTION, &t, 12, 4, "record runs past its buffer");
    // Commands without output refuse an output buffer.
    CommandBlock jam{target::Sequence, cmd::motion::MediaJam, rec.address()};
    expectRefused(IOCTL_PRN_MOTION, &jam, 12, 4, "output for media jam");
    // The same block still works, so nothing above broke the device.
    int32_t out = 0;
    EXPECT_TRUE(motion(rec.block(), &out));
    EXPECT_GT(out, 0);
}

TEST_F(Contract, EveryRequestOfTheProgramsIsAnswered)
{
    // Each command number of the shared protocol, under its own request.
    const std::pair<uint32_t, std::vector<uint32_t>> engineering[] = {
        {IOCTL_PRN_MOTION, {1, 2, 3, 4, 5, 6, 7, 9, 11, 14, 15, 25, 26, 27, 35, 38, 44}},
        {IOCTL_PRN_SENSOR_READ, {16, 17, 50, 51}},
        {IOCTL_PRN_REGISTER, {32, 37, 62}},
        {IOCTL_PRN_ADC_READ, {33}},
        {IOCTL_PRN_GPIO, {30, 31}},
        {IOCTL_PRN_TAGCHIP, {39, 40, 41, 42}},
        {IOCTL_PRN_PRINT, {18, 19, 20, 36, 52, 53, 54}},
        {IOCTL_PRN_RIBBON_COLOR, {28}},
        {IOCTL_PRN_TEST_RUN, {21, 22, 23, 24}},
        {IOCTL_PRN_PEB, {45, 46, 47, 64}},
        {IOCTL_PRN_CUT_FORCE, {48, 49}},
    };
    for (const auto& [code, commands] : engineering)
        for (uint32_t command : commands)
            EXPECT_TRUE(sim::SimulatedPrinter::isBuilt(code, command)) << std::hex << code << std::dec << " " << command;
    for (uint32_t f : {0x80Eu, 0x812u, 0x817u, 0x839u, 0x846u, 0x849u, 0x84Au, 0x84Bu, 0x84Cu, 0x864u, 0x883u, 0x884u,
                       0x885u, 0x886u, 0x9DBu, 0x9DFu})
        EXPECT_TRUE(sim::SimulatedPrinter::isBuilt(protocol::userCode(f), 0)) << std::hex << f;
    EXPECT_FALSE(sim::SimulatedPrinter::isBuilt(IOCTL_PRN_ADC_READ, cmd::gpio::Read)) << "a number belongs to one request";
}

TEST_F(Contract, ItemsAnswerOnlyWithTheirOwnSizesAndTargets)
{
    struct Case {
        uint32_t code;
        CommandBlock block;
        uint32_t outLen;
        const char* what;
    };
    const Case cases[] = {
        {IOCTL_PRN_SENSOR_READ, {17, 16, 0}, 8, "door read as a temperature"},
        {IOCTL_PRN_SENSOR_READ, {14, 16, 0}, 4, "thermistor read as a state"},
        {IOCTL_PRN_SENSOR_READ, {13, 16, 0}, 4, "colour sensor read as a state"},
        {IOCTL_PRN_SENSOR_READ, {21, 16, 0}, 4, "no sensor 21"},
        {IOCTL_PRN_SENSOR_READ, {17, 50, 0}, 4, "calibration of the door"},
        {IOCTL_PRN_REGISTER, {97, 37, 0}, 4, "colour DACs as a word"},
        {IOCTL_PRN_REGISTER, {28, 62, 0}, 0, "setting write without its word"},
        {IOCTL_PRN_REGISTER, {88, 32, 0}, 0, "DAC write to an ADC channel"},
        {IOCTL_PRN_ADC_READ, {96, 33, 0}, 4, "ADC channel 96"},
        {IOCTL_PRN_ADC_READ, {88, 33, 0}, 8, "ADC read of 8 bytes"},
        {IOCTL_PRN_GPIO, {36, 30, 0}, 4, "GPIO group 36"},
        {IOCTL_PRN_GPIO, {40, 31, 0}, 0, "GPIO set without its word"},
        {IOCTL_PRN_TAGCHIP, {98, 39, 0}, 64, "half a TagChip"},
        {IOCTL_PRN_TAGCHIP, {97, 41, 0}, 128, "TagChip on target 97"},
        {IOCTL_PRN_PEB, {107, 46, 0}, 0, "PEB save of item 107"},
        {IOCTL_PRN_PEB, {100, 64, 0}, 4, "command 64 on a narrow item"},
        {IOCTL_PRN_PEB, {109, 47, 0}, 32, "short PEB record"},
        {IOCTL_PRN_CUT_FORCE, {107, 49, 0}, 8, "cut force read on 107"},
        {IOCTL_PRN_CUT_FORCE, {111, 49, 0}, 4, "half the cut force"},
        {IOCTL_PRN_PRINT, {35, 18, 0}, 0, "print on target 35"},
        {IOCTL_PRN_RIBBON_COLOR, {36, 28, 0}, 0, "ribbon colour without its record"},
        {IOCTL_PRN_TEST_RUN, {35, 24, 0}, 0, "fiducial run without its record"},
    };
    for (const Case& c : cases)
        expectRefused(c.code, &c.block, 12, c.outLen, c.what);

    namespace ud = protocol;
    expectRefused(ud::IOCTL_PRN_GET_PEB, nullptr, 0, 32, "user PEB of 32 bytes");
    const int16_t half = 1100;
    expectRefused(ud::IOCTL_PRN_SET_HEAD_RESISTANCE, &half, 2, 0, "2-byte resistor value");
    const int32_t low = 1073;
    expectRefused(ud::IOCTL_PRN_SET_HEAD_RESISTANCE, &low, 4, 0, "resistor value below 1074");
    expectRefused(ud::IOCTL_PRN_GET_DOT_WIDTH, &low, 4, 4, "dot width with an input");
    expectRefused(ud::IOCTL_PRN_IMAGE_END, nullptr, 0, 0, "image end without image");
    uint32_t written = 9;
    const uint8_t row[156] = {};
    EXPECT_FALSE(prn.write(row, sizeof row, &written)) << "a row outside an image";
    EXPECT_EQ(written, 0u);
    EXPECT_FALSE(printer().lastRequest().refusal.isEmpty());
}

TEST_F(Contract, FreedTableAddressFailsCleanly)
{
    // A ramp table freed after its address went into the record.
    {
        RampTable t(3);
        t[0] = 100;
        rec->platen.rampUpTable = t.address();
        rec->platen.rampUpEntries = 3;
    }
    CommandBlock b = rec.block();
    expectRefused(IOCTL_PRN_MOTION, &b, 12, 4, "freed ramp table");
    EXPECT_NE(printer().lastRequest().refusal, QString());

    // A detail table shorter than its entry count.
    fillPlaten(rec, 100, true);
    rec->encoderDetail.entries = 101;
    b = rec.block();
    expectRefused(IOCTL_PRN_MOTION, &b, 12, 4, "short detail table");

    // The whole record freed.
    uint32_t stale = 0;
    {
        DriverRecord<PlatenMoveParams> gone;
        fillPlaten(gone, 10, false);
        stale = gone.address();
    }
    CommandBlock s{target::Platen, cmd::motion::PlatenMove, stale};
    expectRefused(IOCTL_PRN_MOTION, &s, 12, 4, "freed record");
}

TEST_F(Contract, BadRecordValuesFailWithoutWriting)
{
    rec->platen.stepMode = 4;
    CommandBlock b = rec.block();
    expectRefused(IOCTL_PRN_MOTION, &b, 12, 4, "step mode 4");
    fillPlaten(rec, 100, true);
    rec->platen.constantPulses = -3;
    b = rec.block();
    expectRefused(IOCTL_PRN_MOTION, &b, 12, 4, "ramps longer than the move");
    fillPlaten(rec, 100, true);
    rec->platen.rampUpEntries = -1;
    b = rec.block();
    expectRefused(IOCTL_PRN_MOTION, &b, 12, 4, "negative ramp count");

    // End cutter with a cutter too weak to cut: the result word stays.
    DriverRecord<EndCutterParams> cut;
    auto& word = cut.newTable<uint32_t>(1);
    word[0] = 0x5555;
    cut->cutter.resultWord = word.address();
    cut->cutter.levelCode = 1;
    cut->cutter.dutyCycle = 10;
    cut.setCommand(target::EndCutter, cmd::motion::EndCutterCut);
    EXPECT_FALSE(motion(cut.block()));
    EXPECT_EQ(word[0], 0x5555u);
}

TEST_F(Contract, TraceShowsNamesRecordsAndTables)
{
    const QString path = root.filePath("trace.txt");
    platform::trace::setFile(path);
    fillPlaten(rec, 1000, true);
    int32_t total = 0;
    ASSERT_TRUE(motion(rec.block(), &total));
    // Plausible: 1.8 counts per full step, within the unit's 2 % and the slip.
    EXPECT_GT(total, 1700);
    EXPECT_LT(total, 1900);
    const auto* t = reinterpret_cast<const uint32_t*>(
        platform::CallerMemory::instance().resolve(rec->encoderDetail.table, 4000));
    ASSERT_NE(t, nullptr);
    for (int i = 1; i < 1000; ++i)
        ASSERT_GE(t[i], t[i - 1]);
    EXPECT_GT(t[0], 0u);
    EXPECT_EQ(int32_t(t[999]), total);

    CommandBlock bad = rec.block();
    bad.Param = 0x7FFFFFF0;
    EXPECT_FALSE(motion(bad, &total));
    platform::trace::setFile(QString());
    const QByteArray trace = readFile(path);
    EXPECT_TRUE(trace.contains("IOCTL_PRN_MOTION"));
    EXPECT_TRUE(trace.contains("PlatenMoveParams @"));
    EXPECT_TRUE(trace.contains("encoder detail table @"));
    EXPECT_TRUE(trace.contains("[4000]"));
    EXPECT_TRUE(trace.contains("does not resolve"));
    EXPECT_TRUE(trace.contains("-> FAIL"));
}

} // namespace
} // namespace simtest
