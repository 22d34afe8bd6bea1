// Requests outside the contract fail and leave every caller buffer as it was.
#include <cstring>

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

TEST_F(Contract, CommandsNotSimulatedYetFailLikeAnAbsentDriver)
{
    CommandBlock read{88, cmd::adc::Read, 0};
    expectRefused(IOCTL_PRN_ADC_READ, &read, 12, 4, "ADC read");
    CommandBlock sensor{17, cmd::sensor::Read, 0};
    expectRefused(IOCTL_PRN_SENSOR_READ, &sensor, 12, 4, "sensor read");
    CommandBlock tag{target::TagChip, cmd::tagChip::ReadTape, 0};
    expectRefused(IOCTL_PRN_TAGCHIP, &tag, 12, 64, "TagChip read");
    expectRefused(protocol::IOCTL_PRN_GET_PEB, nullptr, 0, 36, "PEB read");
    EXPECT_FALSE(sim::SimulatedPrinter::isBuilt(IOCTL_PRN_ADC_READ, cmd::adc::Read));
    EXPECT_TRUE(sim::SimulatedPrinter::isBuilt(IOCTL_PRN_MOTION, cmd::motion::PlatenMove));
    uint32_t written = 9;
    const uint8_t row[8] = {};
    EXPECT_FALSE(prn.write(row, sizeof row, &written));
    EXPECT_EQ(written, 0u);
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
