// TagChips, PEB values, cut force and the print head resistor: what is
// programmed is what is read, by either program, after a restart too.
#include "SimTestSupport.h"
#include "platform/CallerMemory.h"
#include "protocol/Calibration.h"
#include "protocol/TagChipImage.h"
#include "protocol/UserRequests.h"

namespace simtest {
namespace {

namespace ud = protocol;

class Cartridge : public SimFixture {
protected:
    TagChipImage readChip(uint32_t command, bool expectOk = true)
    {
        TagChipImage image;
        image.fill(0xEE);
        EXPECT_EQ(request(IOCTL_PRN_TAGCHIP, target::TagChip, command, image), expectOk);
        return image;
    }
    PebRecord readAll()
    {
        PebRecord r;
        EXPECT_TRUE(request(IOCTL_PRN_PEB, kPebReadAllTarget, cmd::peb::Read, r));
        return r;
    }
};

TEST_F(Cartridge, TapeTagChipProgrammedSurvivesARestart)
{
    start();
    const TagChipImage factory = readChip(cmd::tagChip::ReadTape);
    EXPECT_EQ(tagChipFieldValue(factory, kTapeTagChipFields[0]), 1) << "Printer Class:";
    EXPECT_EQ(factory[117], 0) << "bytes no field covers";

    platform::CallerTable<uint8_t> image(kTagChipImageSize);
    for (uint32_t i = 0; i < kTagChipImageSize; ++i)
        image[i] = uint8_t(i * 7 + 3);
    uint32_t reply = 0;
    ASSERT_TRUE(request(IOCTL_PRN_TAGCHIP, target::TagChip, cmd::tagChip::ProgramTape, reply, image.address()));
    EXPECT_EQ(reply, kTagChipImageSize);

    restart();
    const TagChipImage read = readChip(cmd::tagChip::ReadTape);
    for (uint32_t i = 0; i < kTagChipImageSize; ++i)
        ASSERT_EQ(read[i], image[i]) << i;
    EXPECT_NE(readChip(cmd::tagChip::ReadRibbon), read) << "the ribbon chip is another chip";
}

TEST_F(Cartridge, AbsentCartridgeAnswersNothing)
{
    sim::SimConfig c = config();
    c.tapeCartridgePresent = false;
    start(c);
    const TagChipImage untouched = readChip(cmd::tagChip::ReadTape, false);
    for (uint8_t b : untouched)
        ASSERT_EQ(b, 0xEE);
    EXPECT_TRUE(printer().lastRequest().refusal.contains("no tape cartridge"));
    platform::CallerTable<uint8_t> image(kTagChipImageSize);
    uint32_t reply = 0;
    EXPECT_FALSE(request(IOCTL_PRN_TAGCHIP, target::TagChip, cmd::tagChip::ProgramTape, reply, image.address()));
    uint8_t version = 0;
    EXPECT_FALSE(query(ud::IOCTL_PRN_GET_TAPE_TAGCHIP_VERSION, version));
    EXPECT_TRUE(query(ud::IOCTL_PRN_GET_RIBBON_TAGCHIP_VERSION, version));
    readChip(cmd::tagChip::ReadRibbon);
}

TEST_F(Cartridge, OnePebStoreForBothPrograms)
{
    start();
    // Factory values lie within the service program's tolerances.
    const PebRecord factory = readAll();
    EXPECT_NEAR(double(factory.downstreamGapToPrintline), 580, 80);
    EXPECT_NEAR(factory.xyHomeToTapeCenter, -35, 40);

    // Engineering save of item 100 and 123; the user program reads them.
    platform::CallerTable<int32_t> value(1);
    value[0] = 612;
    ASSERT_TRUE(send(IOCTL_PRN_PEB, ud::pebItem::DownstreamGap, cmd::peb::Save, value.address()));
    value[0] = 250;
    ASSERT_TRUE(send(IOCTL_PRN_PEB, ud::pebItem::XYHomeToTapeCenter, cmd::peb::Save, value.address()));
    PebRecord user;
    ASSERT_TRUE(query(ud::IOCTL_PRN_GET_PEB, user));
    EXPECT_EQ(user.downstreamGapToPrintline, 612u);
    EXPECT_EQ(user.xyHomeToTapeCenter, 250);

    // The user program's write answers into the very word it points at.
    value[0] = -20;
    CommandBlock b{ud::pebItem::CrossWebPrintOffset, cmd::peb::SetWideItem, value.address()};
    ASSERT_TRUE(sendCommand(prn, IOCTL_PRN_PEB, b, value.data(), 4));
    EXPECT_EQ(value[0], -20);
    int32_t offset = 0;
    ASSERT_TRUE(query(ud::IOCTL_PRN_GET_CROSSWEB_OFFSET, offset));
    EXPECT_EQ(offset, -20);

    // "Read All" words as the engineering dialog maps them.
    const PebRecord all = readAll();
    const auto* words = reinterpret_cast<const int32_t*>(&all);
    EXPECT_EQ(words[kPebCalibrationItems[1].replyWord], 612);
    EXPECT_EQ(words[kPebCalibrationItems[8].replyWord], 250);

    // Calibrating "DOWNSTREAM GAP" measures this unit again (near its factory value).
    ASSERT_TRUE(send(IOCTL_PRN_PEB, kPebCalibrationItems[1].calibrateTarget, cmd::peb::Calibrate));
    EXPECT_NEAR(double(readAll().downstreamGapToPrintline), double(factory.downstreamGapToPrintline), 2.0);
    restart();
    EXPECT_EQ(readAll().xyHomeToTapeCenter, 250);
}

TEST_F(Cartridge, CutForceInFloatsAndThousandths)
{
    start();
    platform::CallerTable<float> value(1);
    value[0] = 1.5f;
    ASSERT_TRUE(send(IOCTL_PRN_CUT_FORCE, ud::cutForceItem::M, cmd::cutForce::Program, value.address()));
    value[0] = -0.25f;
    ASSERT_TRUE(send(IOCTL_PRN_CUT_FORCE, ud::cutForceItem::C, cmd::cutForce::Program, value.address()));
    value[0] = std::numeric_limits<float>::quiet_NaN();
    EXPECT_FALSE(send(IOCTL_PRN_CUT_FORCE, ud::cutForceItem::C, cmd::cutForce::Program, value.address()));
    restart();
    CutForceFloats f;
    // Param is not used by the read: the user program leaves anything there.
    ASSERT_TRUE(request(IOCTL_PRN_CUT_FORCE, ud::cutForceItem::ReadBoth, cmd::cutForce::Read, f, 0x12345678));
    EXPECT_EQ(f.m, 1.5f);
    EXPECT_EQ(f.c, -0.25f);
    ud::CutForceCoeffs k;
    ASSERT_TRUE(query(ud::IOCTL_PRN_GET_CUT_FORCE_COEFFS, k));
    EXPECT_EQ(k.m, 1500);
    EXPECT_EQ(k.c, -250);
}

TEST_F(Cartridge, HeadResistanceWithinItsLimits)
{
    start();
    uint32_t ohms = 0;
    ASSERT_TRUE(query(ud::IOCTL_PRN_GET_HEAD_RESISTANCE, ohms));
    EXPECT_GE(ohms, uint32_t(ud::kHeadResistanceMin));
    EXPECT_LE(ohms, uint32_t(ud::kHeadResistanceMax));
    for (int32_t v : {1074, 1184}) {
        ASSERT_TRUE(prn.ioControl(ud::IOCTL_PRN_SET_HEAD_RESISTANCE, &v, 4, nullptr, 0));
        ASSERT_TRUE(query(ud::IOCTL_PRN_GET_HEAD_RESISTANCE, ohms));
        EXPECT_EQ(ohms, uint32_t(v));
    }
    const int32_t high = 1185;
    EXPECT_FALSE(prn.ioControl(ud::IOCTL_PRN_SET_HEAD_RESISTANCE, &high, 4, nullptr, 0));
    restart();
    ASSERT_TRUE(query(ud::IOCTL_PRN_GET_HEAD_RESISTANCE, ohms));
    EXPECT_EQ(ohms, 1184u);
}

} // namespace
} // namespace simtest
