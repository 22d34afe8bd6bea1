// The TagChips of the tape and ribbon cartridges: 128-byte images read and
// programmed whole. The unit ships with an L5190 tape and a four-panel
// colour ribbon; a program replaces the image for good (the state file
// keeps it), and a cartridge configured absent answers nothing.
#include <cstring>
#include <QByteArray>

#include "protocol/RequestCodes.h"
#include "protocol/TagChipImage.h"
#include "protocol/UserRequests.h"
#include "sim/printer/Factory.h"
#include "sim/printer/Machine.h"

namespace sim {

using namespace protocol;

namespace {

template <size_t N>
void setField(TagChipImage& image, const TagChipField (&table)[N], const char* label, int64_t value, int index = 0)
{
    for (const TagChipField& f : table)
        if (std::strcmp(f.label, label) == 0 && index-- == 0) {
            setTagChipField(image, f, value);
            return;
        }
}

QByteArray bytesOf(const TagChipImage& image) { return QByteArray(reinterpret_cast<const char*>(image.data()), int(image.size())); }

} // namespace

QByteArray factoryTapeTagChipImage()
{
    TagChipImage t{};
    const auto& F = kTapeTagChipFields;
    const std::pair<const char*, int64_t> values[] = {
        {"Printer Class:", 1},          {"MediaTech:", 2},           {"Version:", 3},
        {"Y Number:", 5190001},         {"Market Control:", 1},      {"Liner Width:", 2540},
        {"Label Liner Offset A:", 50},  {"Label Liner Offset B:", 50}, {"Width:", 2400},
        {"Height:", 1270},              {"Printable Width:", 2300},  {"Printable Height:", 1200},
        {"X-Offset:", 50},              {"Y-Offset:", 35},           {"Horizontal Gap:", 0},
        {"Vertical Gap:", 300},         {"Rotation Parts Across:", 1}, {"LabelColor[R]:", 255},
        {"LabelColor[G]:", 255},        {"LabelColor[B]:", 255},     {"Print Speed:", 4},
        {"Cut Speed:", 3},              {"Media Energy:", 100},      {"Notch Lable Spacing:", 1270},
        {"Notch Height:", 15},          {"Media Type:", 2},          {"PreferredRibbon:", 7700},
        {"SecondaryRibbon:", 7701},     {"Media Available:", 500},   {"Encryption:", 0},
        {"Parking Distance:", 120},     {"Printer Compatibility:", 0x0F}, {"Can XY Cut:", 1},
        {"XY Max Cut Speed:", 5},       {"XY Nominal Cut Force:", 320}, {"XY Minimum Cut Force:", 200},
        {"XY Maximum Cut Force:", 450}, {"XY Maximum Cut Depth:", 30}, {"FIT Tape Feed Comp.:", -2},
        {"End Cut Duty Cycle:", 70},    {"B Number:", 5190},         {"FIT Print Speed:", 4},
        {"FIT Sec Print Speed:", 3},    {"FIT Media Energy:", 100},  {"FIT Sec Media Energy:", 95},
        {"FIT Media Type:", 2},         {"Multi-color Printing:", 1}, {"FIT Media Energy TWC:", -1},
        {"Ribbon3:", 0},                {"Ribbon4:", 0},             {"FIT Print Speed 3:", 0},
        {"FIT Print Speed 4:", 0},      {"FIT Media Energy 3:", 0},  {"FIT Media Energy 4:", 0},
        {"Prog App Version No:", 12},   {"Media Remaining:", 15000},
    };
    for (const auto& [label, value] : values)
        setField(t, F, label, value);
    return bytesOf(t);
}

QByteArray factoryRibbonTagChipImage()
{
    TagChipImage r{};
    const auto& F = kRibbonTagChipFields;
    const std::pair<const char*, int64_t> values[] = {
        {"Printer Class:", 1},        {"MediaTech:", 3},          {"Version:", 2},
        {"Y Number:", 7704001},       {"Market Control:", 1},     {"Ribbon Type:", 4},
        {"RibbonColor[0]:", 0},       {"RibbonColor[1]:", 0},     {"RibbonColor[2]:", 0},
        {"Energy Adjustment:", -3},   {"Width:", 110},            {"Ribbon Available:", 300},
        {"Encryption:", 0},           {"Print Speed:", 4},        {"Printer Compatibility:", 0x0F},
        {"Color Type:", 2},           {"Number of Panels:", 4},   {"Panel Length:", 300},
        {"FIT Print Speed:", 3},      {"Programming App Version No:", 12}, {"Ribbon Remaining:", 300},
    };
    for (const auto& [label, value] : values)
        setField(r, F, label, value);
    // Yellow, magenta, cyan and black panels, as printed and as the colour
    // sensor sees them.
    const uint8_t reported[4][3] = {{255, 230, 0}, {230, 0, 126}, {0, 160, 227}, {20, 20, 20}};
    const uint8_t sensed[4][3] = {{238, 214, 18}, {205, 28, 118}, {22, 148, 206}, {26, 25, 27}};
    const int8_t burn[4] = {2, 0, -1, 4};
    const int8_t preheat[4] = {0, 1, 1, 2};
    for (uint32_t p = 0; p < kRibbonPanels; ++p) {
        r[60 + p] = uint8_t(burn[p]);
        r[64 + p] = uint8_t(preheat[p]);
        for (uint32_t c = 0; c < 3; ++c) {
            r[kRibbonColorReportedAt + 3 * p + c] = reported[p][c];
            r[kRibbonColorSensedAt + 3 * p + c] = sensed[p][c];
        }
    }
    r[93] = r[94] = r[95] = 245; // "Clear RGB:"
    return bytesOf(r);
}

namespace mech {

namespace {

bool tape(const Call& c)
{
    return c.block.Command == cmd::tagChip::ReadTape || c.block.Command == cmd::tagChip::ProgramTape ||
           c.code == IOCTL_PRN_GET_TAPE_TAGCHIP_VERSION;
}

bool needCartridge(const Machine& m, Call& c)
{
    const bool isTape = tape(c);
    return (isTape ? m.tapeCartridge : m.ribbonCartridge) ||
           c.ctx.refuse(isTape ? QStringLiteral("no tape cartridge") : QStringLiteral("no ribbon cartridge"));
}

} // namespace

bool tagChipRead(Machine& m, Call& c)
{
    if (!needCartridge(m, c))
        return false;
    QByteArray image = m.state.bytes(tape(c) ? stateKey::TapeTagChipImage : stateKey::RibbonTagChipImage);
    image = image.leftJustified(int(kTagChipImageSize), '\0', true);
    c.answerBytes(image.constData(), kTagChipImageSize);
    c.ctx.machineMs += 40.0;
    return true;
}

bool tagChipProgram(Machine& m, Call& c)
{
    if (!needCartridge(m, c))
        return false;
    m.state.setBytes(tape(c) ? stateKey::TapeTagChipImage : stateKey::RibbonTagChipImage,
                     QByteArray(reinterpret_cast<const char*>(c.record), int(kTagChipImageSize)));
    m.state.add(stateKey::TagChipPrograms, 1);
    c.answer(uint32_t(kTagChipImageSize)); // bytes programmed
    c.ctx.machineMs += 16 * 8.0;           // sixteen 8-byte EEPROM pages
    return true;
}

bool tagChipVersion(Machine& m, Call& c)
{
    if (!needCartridge(m, c))
        return false;
    c.answer(uint8_t(m.state.integer(tape(c) ? stateKey::TapeTagChipVersion : stateKey::RibbonTagChipVersion)));
    return true;
}

} // namespace mech
} // namespace sim
