#pragma once
// The 128-byte TagChip images of the tape and ribbon cartridges
// (IOCTL_PRN_TAGCHIP: 39 reads the tape image, 40 programs it, 41 and 42 the
// same for the ribbon). Multi-byte fields are little-endian and may start at
// odd offsets; bytes no field covers are not shown and are programmed as 0.
#include <array>
#include <cstddef>
#include <cstdint>
#include <iterator>

namespace protocol {

constexpr uint32_t kTagChipImageSize = 128;
using TagChipImage = std::array<uint8_t, kTagChipImageSize>;

// Output of a program request: 4 bytes, not used by the callers.
constexpr uint32_t kTagChipProgramReplySize = 4;

enum class TagChipFieldType : uint8_t {
    Unsigned, // zero-extended
    Signed,   // sign-extended
    Word32,   // a signed 32-bit number
};

struct TagChipField {
    uint8_t offset;
    uint8_t width;
    TagChipFieldType type;
    const char* label;
    const char* color = nullptr; // "Red:", "Green:" or "Blue:" for the colour grid fields
};

namespace tagchip_detail {
using T = TagChipFieldType;
} // namespace tagchip_detail

constexpr TagChipField kTapeTagChipFields[] = {
    {0, 1, tagchip_detail::T::Unsigned, "Printer Class:"},
    {1, 1, tagchip_detail::T::Unsigned, "MediaTech:"},
    {2, 1, tagchip_detail::T::Unsigned, "Version:"},
    {3, 4, tagchip_detail::T::Word32, "Y Number:"},
    {7, 1, tagchip_detail::T::Unsigned, "Market Control:"},
    {8, 2, tagchip_detail::T::Unsigned, "Liner Width:"},
    {10, 2, tagchip_detail::T::Unsigned, "Label Liner Offset A:"},
    {12, 2, tagchip_detail::T::Unsigned, "Label Liner Offset B:"},
    {14, 2, tagchip_detail::T::Unsigned, "Width:"},
    {16, 2, tagchip_detail::T::Unsigned, "Height:"},
    {18, 2, tagchip_detail::T::Unsigned, "Printable Width:"},
    {20, 2, tagchip_detail::T::Unsigned, "Printable Height:"},
    {22, 2, tagchip_detail::T::Unsigned, "X-Offset:"},
    {24, 2, tagchip_detail::T::Unsigned, "Y-Offset:"},
    {26, 2, tagchip_detail::T::Unsigned, "Horizontal Gap:"},
    {28, 2, tagchip_detail::T::Unsigned, "Vertical Gap:"},
    {30, 1, tagchip_detail::T::Unsigned, "Rotation Parts Across:"},
    {31, 1, tagchip_detail::T::Unsigned, "LabelColor[R]:"},
    {32, 1, tagchip_detail::T::Unsigned, "LabelColor[G]:"},
    {33, 1, tagchip_detail::T::Unsigned, "LabelColor[B]:"},
    {34, 1, tagchip_detail::T::Unsigned, "Print Speed:"},
    {35, 1, tagchip_detail::T::Unsigned, "Cut Speed:"},
    {36, 1, tagchip_detail::T::Unsigned, "Media Energy:"},
    {37, 2, tagchip_detail::T::Signed, "Notch Lable Spacing:"},
    {39, 1, tagchip_detail::T::Unsigned, "Notch Height:"},
    {40, 1, tagchip_detail::T::Unsigned, "Media Type:"},
    {41, 2, tagchip_detail::T::Unsigned, "PreferredRibbon:"},
    {43, 2, tagchip_detail::T::Unsigned, "SecondaryRibbon:"},
    {45, 2, tagchip_detail::T::Unsigned, "Media Available:"},
    {47, 1, tagchip_detail::T::Unsigned, "Encryption:"},
    {48, 2, tagchip_detail::T::Unsigned, "Parking Distance:"},
    {82, 4, tagchip_detail::T::Word32, "Printer Compatibility:"},
    {86, 1, tagchip_detail::T::Unsigned, "Can XY Cut:"},
    {87, 1, tagchip_detail::T::Unsigned, "XY Max Cut Speed:"},
    {88, 2, tagchip_detail::T::Unsigned, "XY Nominal Cut Force:"},
    {90, 2, tagchip_detail::T::Unsigned, "XY Minimum Cut Force:"},
    {92, 2, tagchip_detail::T::Unsigned, "XY Maximum Cut Force:"},
    {94, 1, tagchip_detail::T::Unsigned, "XY Maximum Cut Depth:"},
    {95, 1, tagchip_detail::T::Signed, "FIT Tape Feed Comp.:"},
    {96, 1, tagchip_detail::T::Unsigned, "End Cut Duty Cycle:"},
    {97, 2, tagchip_detail::T::Unsigned, "B Number:"},
    {99, 1, tagchip_detail::T::Unsigned, "FIT Print Speed:"},
    {100, 1, tagchip_detail::T::Unsigned, "FIT Sec Print Speed:"},
    {101, 1, tagchip_detail::T::Unsigned, "FIT Media Energy:"},
    {102, 1, tagchip_detail::T::Unsigned, "FIT Sec Media Energy:"},
    {103, 1, tagchip_detail::T::Unsigned, "FIT Media Type:"},
    {104, 4, tagchip_detail::T::Word32, "Multi-color Printing:"},
    {108, 1, tagchip_detail::T::Signed, "FIT Media Energy TWC:"},
    {109, 2, tagchip_detail::T::Unsigned, "Ribbon3:"},
    {111, 2, tagchip_detail::T::Unsigned, "Ribbon4:"},
    {113, 1, tagchip_detail::T::Unsigned, "FIT Print Speed 3:"},
    {114, 1, tagchip_detail::T::Unsigned, "FIT Print Speed 4:"},
    {115, 1, tagchip_detail::T::Unsigned, "FIT Media Energy 3:"},
    {116, 1, tagchip_detail::T::Unsigned, "FIT Media Energy 4:"},
    {121, 1, tagchip_detail::T::Unsigned, "Prog App Version No:"},
    {122, 4, tagchip_detail::T::Word32, "Media Remaining:"},
};
static_assert(std::size(kTapeTagChipFields) == 56);

#define PROTOCOL_TAGCHIP_PANEL_COLORS(base, label)                                                        \
    {uint8_t(base + 0), 1, tagchip_detail::T::Unsigned, label, "Red:"},                                  \
        {uint8_t(base + 1), 1, tagchip_detail::T::Unsigned, label, "Green:"},                             \
        {uint8_t(base + 2), 1, tagchip_detail::T::Unsigned, label, "Blue:"}

constexpr TagChipField kRibbonTagChipFields[] = {
    {0, 1, tagchip_detail::T::Unsigned, "Printer Class:"},
    {1, 1, tagchip_detail::T::Unsigned, "MediaTech:"},
    {2, 1, tagchip_detail::T::Unsigned, "Version:"},
    {3, 4, tagchip_detail::T::Word32, "Y Number:"},
    {7, 1, tagchip_detail::T::Unsigned, "Market Control:"},
    {8, 2, tagchip_detail::T::Unsigned, "Ribbon Type:"},
    {10, 1, tagchip_detail::T::Unsigned, "RibbonColor[0]:"},
    {11, 1, tagchip_detail::T::Unsigned, "RibbonColor[1]:"},
    {12, 1, tagchip_detail::T::Unsigned, "RibbonColor[2]:"},
    {13, 1, tagchip_detail::T::Signed, "Energy Adjustment:"},
    {14, 2, tagchip_detail::T::Unsigned, "Width:"},
    {16, 2, tagchip_detail::T::Unsigned, "Ribbon Available:"},
    {18, 1, tagchip_detail::T::Unsigned, "Encryption:"},
    {19, 1, tagchip_detail::T::Unsigned, "Print Speed:"},
    {52, 4, tagchip_detail::T::Word32, "Printer Compatibility:"},
    {56, 1, tagchip_detail::T::Unsigned, "Color Type:"},
    {57, 1, tagchip_detail::T::Unsigned, "Number of Panels:"},
    {58, 2, tagchip_detail::T::Unsigned, "Panel Length:"},
    {60, 1, tagchip_detail::T::Signed, "MainBurnAdjPanel[0]:"},
    {61, 1, tagchip_detail::T::Signed, "MainBurnAdjPanel[1]:"},
    {62, 1, tagchip_detail::T::Signed, "MainBurnAdjPanel[2]:"},
    {63, 1, tagchip_detail::T::Signed, "MainBurnAdjPanel[3]:"},
    {64, 1, tagchip_detail::T::Signed, "PreHeatAdjPanel[0]:"},
    {65, 1, tagchip_detail::T::Signed, "PreHeatAdjPanel[1]:"},
    {66, 1, tagchip_detail::T::Signed, "PreHeatAdjPanel[2]:"},
    {67, 1, tagchip_detail::T::Signed, "PreHeatAdjPanel[3]:"},
    PROTOCOL_TAGCHIP_PANEL_COLORS(68, "ColorReportedPanel[0]:"),
    PROTOCOL_TAGCHIP_PANEL_COLORS(71, "ColorReportedPanel[1]:"),
    PROTOCOL_TAGCHIP_PANEL_COLORS(74, "ColorReportedPanel[2]:"),
    PROTOCOL_TAGCHIP_PANEL_COLORS(77, "ColorReportedPanel[3]:"),
    PROTOCOL_TAGCHIP_PANEL_COLORS(80, "ColorSensedPanel[0]:"),
    PROTOCOL_TAGCHIP_PANEL_COLORS(83, "ColorSensedPanel[1]:"),
    PROTOCOL_TAGCHIP_PANEL_COLORS(86, "ColorSensedPanel[2]:"),
    PROTOCOL_TAGCHIP_PANEL_COLORS(89, "ColorSensedPanel[3]:"),
    {92, 1, tagchip_detail::T::Unsigned, "FIT Print Speed:"},
    PROTOCOL_TAGCHIP_PANEL_COLORS(93, "Clear RGB:"),
    {121, 1, tagchip_detail::T::Unsigned, "Programming App Version No:"},
    {122, 4, tagchip_detail::T::Word32, "Ribbon Remaining:"},
};
#undef PROTOCOL_TAGCHIP_PANEL_COLORS
static_assert(std::size(kRibbonTagChipFields) == 26 + 24 + 1 + 3 + 2);

// Offsets of the ribbon's per-panel colour groups (panel p, colour c).
constexpr uint32_t kRibbonColorReportedAt = 68;
constexpr uint32_t kRibbonColorSensedAt = 80;
constexpr uint32_t kRibbonPanels = 4;

// A field's value as shown: unsigned fields zero-extended, signed fields
// sign-extended, 32-bit fields as signed 32-bit numbers.
constexpr int64_t tagChipFieldValue(const TagChipImage& image, const TagChipField& f)
{
    uint32_t raw = 0;
    for (uint32_t i = 0; i < f.width; ++i)
        raw |= uint32_t(image[f.offset + i]) << (8 * i);
    if (f.type == TagChipFieldType::Unsigned)
        return int64_t(raw);
    const uint32_t bits = 8u * f.width;
    if (bits < 32 && (raw & (1u << (bits - 1))))
        raw |= ~((1u << bits) - 1);
    return int64_t(int32_t(raw));
}

// Stores the low bytes of a value into the field, least significant byte
// first; values that do not fit are cut to the field's width.
constexpr void setTagChipField(TagChipImage& image, const TagChipField& f, int64_t value)
{
    const uint64_t v = uint64_t(value);
    for (uint32_t i = 0; i < f.width; ++i)
        image[f.offset + i] = uint8_t(v >> (8 * i));
}

} // namespace protocol
