#include <gtest/gtest.h>

#include <limits>
#include <random>
#include <set>

#include "CartridgeTestDevice.h"
#include "vantor/screens/cartridge/TagChipCodec.h"

using namespace vantor::cartridge;
using protocol::TagChipField;
using protocol::TagChipFieldType;
using protocol::TagChipImage;
using vantor::cartridge::testing::bytes;

namespace {

struct Layout {
    const char* name;
    TagChipFields fields;
    std::vector<std::pair<int, int>> hidden; // [first, last] byte ranges no field shows
};

const Layout kLayouts[] = {
    {"tape", protocol::kTapeTagChipFields, {{50, 81}, {117, 120}, {126, 127}}},
    {"ribbon", protocol::kRibbonTagChipFields, {{20, 51}, {96, 120}, {126, 127}}},
};

TagChipImage randomImage(unsigned seed)
{
    std::mt19937 rng(seed);
    TagChipImage image;
    for (auto& b : image)
        b = uint8_t(rng());
    return image;
}

} // namespace

// Both tables lay their fields on the image without overlap, and leave
// exactly the bytes that are not shown.
TEST(TagChipFieldTables, CoverEveryShownByteOnce)
{
    for (const Layout& l : kLayouts) {
        SCOPED_TRACE(l.name);
        std::vector<int> owner(protocol::kTagChipImageSize, -1);
        for (size_t i = 0; i < l.fields.size(); ++i) {
            const TagChipField& f = l.fields[i];
            ASSERT_LE(f.offset + f.width, protocol::kTagChipImageSize) << f.label;
            for (uint32_t b = f.offset; b < f.offset + f.width; ++b) {
                EXPECT_EQ(owner[b], -1) << f.label << " overlaps at " << b;
                owner[b] = int(i);
            }
        }
        std::set<int> hidden;
        for (auto [first, last] : l.hidden)
            for (int b = first; b <= last; ++b)
                hidden.insert(b);
        for (int b = 0; b < int(protocol::kTagChipImageSize); ++b)
            EXPECT_EQ(owner[size_t(b)] == -1, hidden.count(b) == 1) << "byte " << b;
    }
}

struct DecodeCase {
    TagChipField field;
    QByteArray at; // bytes from the field's offset
    const char* text;
};

TEST(TagChipCodec, DecodesByWidthAndSignedness)
{
    using T = TagChipFieldType;
    const DecodeCase cases[] = {
        {{0, 1, T::Unsigned, "u8"}, bytes({0xFF}), "255"},
        {{95, 1, T::Signed, "s8"}, bytes({0xFF}), "-1"},
        {{108, 1, T::Signed, "s8"}, bytes({0x7F}), "127"},
        {{37, 2, T::Signed, "s16 at an odd offset"}, bytes({0x00, 0x80}), "-32768"},
        {{37, 2, T::Signed, "s16"}, bytes({0xF6, 0x04}), "1270"},
        {{41, 2, T::Unsigned, "u16 at an odd offset"}, bytes({0xFF, 0xFF}), "65535"},
        {{3, 4, T::Word32, "Y Number"}, bytes({4, 3, 2, 1}), "16909060"},
        {{122, 4, T::Word32, "32-bit"}, bytes({0xFF, 0xFF, 0xFF, 0xFF}), "-1"},
        {{122, 4, T::Word32, "32-bit"}, bytes({0x00, 0x00, 0x00, 0x80}), "-2147483648"},
    };
    for (const DecodeCase& c : cases) {
        TagChipImage image{};
        for (int i = 0; i < c.at.size(); ++i)
            image[c.field.offset + size_t(i)] = uint8_t(c.at[i]);
        const TagChipField fields[] = {c.field};
        EXPECT_EQ(tagChipTexts(image, fields), QStringList{QString::fromLatin1(c.text)}) << c.field.label;
    }
}

struct EncodeCase {
    TagChipField field;
    const char* text;
    QByteArray at;
};

// Each program text lands in the field's bytes, least significant first,
// cut to the field's width; nothing else of the image is touched.
TEST(TagChipCodec, EncodesLowBytesIntoTheFieldOnly)
{
    using T = TagChipFieldType;
    const EncodeCase cases[] = {
        {{0, 1, T::Unsigned, "300 in one byte"}, "300", bytes({44})},
        {{3, 4, T::Word32, "Y Number"}, "16909060", bytes({4, 3, 2, 1})},
        {{8, 2, T::Unsigned, "-1 in an unsigned pair"}, "-1", bytes({0xFF, 0xFF})},
        {{8, 2, T::Unsigned, "65536"}, "65536", bytes({0, 0})},
        {{37, 2, T::Signed, "negative at an odd offset"}, "-2", bytes({0xFE, 0xFF})},
        {{95, 1, T::Signed, "-128"}, "-128", bytes({0x80})},
        {{122, 4, T::Word32, "beyond 32 bits"}, "4294967297", bytes({1, 0, 0, 0})},
        {{122, 4, T::Word32, "beyond 64 bits"}, "99999999999999999999999", bytes({0xFF, 0xFF, 0xFF, 0xFF})},
        {{122, 4, T::Word32, "empty"}, "", bytes({0, 0, 0, 0})},
        {{0, 1, T::Unsigned, "not a number"}, "abc", bytes({0})},
        {{13, 1, T::Signed, "blanks and a tail"}, "  -5x", bytes({0xFB})},
    };
    for (const EncodeCase& c : cases) {
        const TagChipField fields[] = {c.field};
        const TagChipImage image = tagChipImage(fields, {QString::fromLatin1(c.text)});
        TagChipImage expected{};
        for (int i = 0; i < c.at.size(); ++i)
            expected[c.field.offset + size_t(i)] = uint8_t(c.at[i]);
        EXPECT_EQ(image, expected) << c.field.label;
    }
}

TEST(TagChipCodec, ReadsProgramNumbersLikeTheCLibrary)
{
    const std::pair<const char*, int64_t> cases[] = {
        {"", 0},
        {"abc", 0},
        {"-", 0},
        {"12abc", 12},
        {"+7", 7},
        {"  -42", -42},
        {"9223372036854775807", std::numeric_limits<int64_t>::max()},
        {"9223372036854775808", std::numeric_limits<int64_t>::max()},
        {"-9223372036854775808", std::numeric_limits<int64_t>::min()},
        {"-99999999999999999999", std::numeric_limits<int64_t>::min()},
    };
    for (const auto& [text, value] : cases)
        EXPECT_EQ(tagChipNumber(QString::fromLatin1(text)), value) << '"' << text << '"';
}

// All program boxes at "0" program 128 zero bytes; a read shown and
// programmed again writes every shown field back and zeros elsewhere.
TEST(TagChipCodec, ZerosAndRoundTripThroughTheTexts)
{
    for (const Layout& l : kLayouts) {
        SCOPED_TRACE(l.name);
        QStringList zeros;
        for (size_t i = 0; i < l.fields.size(); ++i)
            zeros << QStringLiteral("0");
        EXPECT_EQ(tagChipImage(l.fields, zeros), TagChipImage{});
        for (unsigned seed = 1; seed <= 20; ++seed) {
            const TagChipImage image = randomImage(seed);
            const TagChipImage back = tagChipImage(l.fields, tagChipTexts(image, l.fields));
            EXPECT_EQ(back, coveredBytes(image, l.fields)) << "seed " << seed;
            for (auto [first, last] : l.hidden)
                for (int b = first; b <= last; ++b)
                    EXPECT_EQ(back[size_t(b)], 0) << "byte " << b;
        }
    }
}
