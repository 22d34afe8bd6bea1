#include "vantor/screens/cartridge/PebCalibration.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "protocol/Calibration.h"
#include "protocol/RequestCodes.h"
#include "vantor/screens/cartridge/TagChipCodec.h"

namespace vantor::cartridge {

using namespace protocol;

static_assert(std::size(kPebCalibrationItems) == kPebItemCount);

const std::array<PebItemText, kPebItemCount> kPebItemTexts{{
    {"DOWNSTREAM SIDE NOTCH", "DOWNSTREAM SIDE NOTCH"},
    {"DOWNSTREAM GAP", "DOWNSTREAM GAP"},
    {"DOWNSTREAM CENTER NOTCH", "DOWNSTREAM CENTER NOTCH"},
    {"UPSTREAM SIDE NOTCH", "UPSTREAM SIDE NOTCH"},
    {"UPSTREAM GAP", "UPSTREAM GAP"},
    {"UPSTREAM CENTER NOTCH", "UPSTREAM CENTER NOTCH"},
    {"CUTLINE", "CUTLINE"},
    {"XY CUTLINE", "XY CUTLINE (Knife Tip)"},
    {"XY HOME TO TAPE CENTER", "XY HOME TO TAPE CENTER"},
    {"PRINT CROSSWEB OFFSET", "PRINT CROSSWEB OFFSET"},
}};

DriverStep pebCalibrateStep(int item)
{
    DriverStep s;
    s.code = IOCTL_PRN_PEB;
    s.block = {kPebCalibrationItems[item].calibrateTarget, cmd::peb::Calibrate, 0};
    return s;
}

DriverStep pebSaveStep(int item, int32_t value)
{
    DriverStep s;
    s.code = IOCTL_PRN_PEB;
    s.block = {kPebCalibrationItems[item].saveTarget, cmd::peb::Save, 0};
    const uint32_t v = uint32_t(value);
    s.value = std::array<uint8_t, 4>{uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
    return s;
}

DriverStep pebReadAllStep()
{
    DriverStep s;
    s.code = IOCTL_PRN_PEB;
    s.block = {kPebReadAllTarget, cmd::peb::Read, 0};
    s.replySize = sizeof(PebRecord);
    return s;
}

int32_t pebValue(const QString& text)
{
    return int32_t(std::clamp<int64_t>(tagChipNumber(text), std::numeric_limits<int32_t>::min(),
                                       std::numeric_limits<int32_t>::max()));
}

std::array<std::optional<int32_t>, kPebItemCount> pebReadValues(const QByteArray& reply)
{
    std::array<std::optional<int32_t>, kPebItemCount> values{};
    if (reply.size() != qsizetype(sizeof(PebRecord)))
        return values;
    for (int i = 0; i < kPebItemCount; ++i) {
        const int word = kPebCalibrationItems[i].replyWord;
        if (word < 0)
            continue;
        const auto* b = reinterpret_cast<const uint8_t*>(reply.constData()) + 4 * word;
        values[size_t(i)] = int32_t(uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24);
    }
    return values;
}

} // namespace vantor::cartridge
