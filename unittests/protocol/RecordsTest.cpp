#include <gtest/gtest.h>

#include "platform/CallerMemory.h"
#include "protocol/DriverRecord.h"
#include "protocol/EndCutterParams.h"
#include "protocol/PlatenLifeRecord.h"
#include "protocol/PlatenMoveParams.h"
#include "protocol/RequestCodes.h"
#include "protocol/XYLifeParams.h"

using namespace protocol;

namespace {

template <class T>
std::vector<uint8_t> bytesOf(const T& v)
{
    auto p = reinterpret_cast<const uint8_t*>(&v);
    return {p, p + sizeof v};
}

int32_t wordAt(const std::vector<uint8_t>& b, size_t offset)
{
    int32_t w;
    std::memcpy(&w, b.data() + offset, 4);
    return w;
}

TEST(Records, PlatenMoveParamsResetBytes)
{
    const auto b = bytesOf(PlatenMoveParams{});
    EXPECT_EQ(wordAt(b, 8), 2);      // motor block word 8
    EXPECT_EQ(wordAt(b, 16), 1000);  // constant speed
    EXPECT_EQ(b[36], 255);           // VRef byte
    EXPECT_EQ(b[37], 0);
    EXPECT_EQ(wordAt(b, 48 + 16), 1000);
    EXPECT_EQ(b[48 + 56], 255);
    EXPECT_EQ(wordAt(b, 108), 1);    // cycle position
    EXPECT_EQ(wordAt(b, 108 + 8), 1000);
    EXPECT_EQ(b[108 + 24], 255);
    EXPECT_EQ(wordAt(b, 144), 0);
    EXPECT_EQ(wordAt(b, 148), 1);
    EXPECT_EQ(wordAt(b, 152), 4);
    for (size_t o : {156u, 160u, 164u, 168u, 172u, 176u})
        EXPECT_EQ(wordAt(b, o), 0) << o;
}

TEST(Records, PlatenLifeFixedWords)
{
    const auto b = bytesOf(PlatenLifeRecord{});
    EXPECT_EQ(wordAt(b, 0), 1);
    EXPECT_EQ(wordAt(b, 48), 1);
    EXPECT_EQ(wordAt(b, 216), 1);
    EXPECT_EQ(wordAt(b, 220), 1);
    EXPECT_EQ(wordAt(b, 224), 1000);
    EXPECT_EQ(wordAt(b, 244), 1);
    const int32_t fixed[] = {0, 2, 100, 100, 1000, 0, 1};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(wordAt(b, 248 + 4 * i), fixed[i]);
    EXPECT_EQ(wordAt(b, 284), 1000);
    EXPECT_EQ(b[300], 255);
    EXPECT_EQ(wordAt(b, 340), 1);
    EXPECT_EQ(wordAt(b, 348), 1);
    EXPECT_EQ(wordAt(b, 352), 0);
}

TEST(Records, XYAndEndCutterHeaders)
{
    const auto x = bytesOf(XYLifeParams{});
    EXPECT_EQ(wordAt(x, 0), 2);
    EXPECT_EQ(wordAt(x, 60), 2);
    EXPECT_EQ(wordAt(x, 112), 2);
    EXPECT_EQ(wordAt(x, 4 + 4), 1);     // cross-web step mode reset
    EXPECT_EQ(wordAt(x, 4 + 36), 3000);
    EXPECT_EQ(wordAt(x, 64 + 20), 255); // pinch word 20 is a full word
    EXPECT_EQ(wordAt(x, 64 + 40), 1000);
    const auto e = bytesOf(EndCutterParams{});
    EXPECT_EQ(wordAt(e, 48), 1);
    EXPECT_EQ(wordAt(e, 52), 1);
    EXPECT_EQ(wordAt(e, 56), 1000);
    EXPECT_EQ(e[72], 255);
    EXPECT_EQ(wordAt(e, 96 + 4), 1000);
    EXPECT_EQ(e[96 + 44], 255);
}

TEST(Records, CyclePositions)
{
    EXPECT_EQ(cyclePosition(0, 1), 6);
    EXPECT_EQ(cyclePosition(0, 0), 6);
    EXPECT_EQ(cyclePosition(0, 3), 4);
    EXPECT_EQ(cyclePosition(1, 3), 4);
    EXPECT_EQ(cyclePosition(2, 3), 5);
    EXPECT_EQ(cyclePosition(0, 2), 4);
    EXPECT_EQ(cyclePosition(1, 2), 5);
}

TEST(Records, DriverRecordLayoutAndAddresses)
{
    DriverRecord<EndCutterParams> rec;
    auto& mem = platform::CallerMemory::instance();
    const uint32_t recAddr = rec.address();
    ASSERT_NE(recAddr, 0u);
    EXPECT_EQ(rec.addressOf(&rec.block()), recAddr - 12);
    EXPECT_EQ(rec.addressOf(&rec->load), recAddr + 48);
    rec.setCommand(target::PrintHead, cmd::motion::LoadPrintHead, rec.addressOf(&rec->load));
    EXPECT_EQ(rec.block().Param, recAddr + 48);

    // The bytes behind the record's address are the record.
    rec->cutter.frequency = 4242;
    const uint8_t* bytes = mem.resolve(recAddr, sizeof(EndCutterParams));
    ASSERT_NE(bytes, nullptr);
    EXPECT_EQ(wordAt(std::vector<uint8_t>(bytes, bytes + sizeof(EndCutterParams)), 76 + 4), 4242);

    auto& word = rec.newTable<uint32_t>(1);
    rec->cutter.resultWord = word.address();
    const uint32_t wordAddr = word.address();
    EXPECT_NE(mem.resolve(wordAddr, 4), nullptr);
    rec.reset();
    EXPECT_EQ(mem.resolve(wordAddr, 4), nullptr);
    EXPECT_EQ(rec->cutter.frequency, 0);
    EXPECT_EQ(rec->cutter.resultWord, 0u);
    EXPECT_EQ(rec.block().Param, recAddr + 48) << "reset keeps the block";
}

TEST(Records, RequestCodesAndNames)
{
    EXPECT_EQ(platform::ctlCode(0x1E, 0x801, 0, 0), IOCTL_PRN_MOTION);
    EXPECT_STREQ(engineeringRequestName(0x1E2034), "IOCTL_PRN_CUT_FORCE");
    EXPECT_EQ(engineeringRequestName(0x1E2028), nullptr) << "function 0x80A is not used";
}

} // namespace
