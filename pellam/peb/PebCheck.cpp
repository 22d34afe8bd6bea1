#include "PebCheck.h"

#include <cctype>
#include <cstdio>

#include "pellam/res/resource.h"
#include "protocol/UserRequests.h"

namespace pellam::peb {

namespace item = protocol::pebItem;

// The upstream side notch has no tolerance of its own: it shares the
// downstream gap sensor's.
const std::array<PebField, 10> kPebFields = {{
    {IDC_PEB_UCN, item::UpstreamCenterNotch, "defaultUCN2PL", "toleranceUCN2PL", ValueType::Unsigned,
     IDS_PEB_UCN_RANGE},
    {IDC_PEB_DCN, item::DownstreamCenterNotch, "defaultDCN2PL", "toleranceDCN2PL", ValueType::Unsigned,
     IDS_PEB_DCN_RANGE},
    {IDC_PEB_UGN, item::UpstreamGap, "defaultUGN2PL", "toleranceUGN2PL", ValueType::Unsigned, IDS_PEB_UGN_RANGE},
    {IDC_PEB_DGN, item::DownstreamGap, "defaultDGN2PL", "toleranceDGN2PL", ValueType::Unsigned, IDS_PEB_DGN_RANGE},
    {IDC_PEB_USN, item::UpstreamSideNotch, "defaultUSN2PL", "toleranceDGN2PL", ValueType::Unsigned, IDS_PEB_USN_RANGE},
    {IDC_PEB_DSN, item::DownstreamSideNotch, "defaultDSN2PL", "toleranceDSN2PL", ValueType::Unsigned,
     IDS_PEB_DSN_RANGE},
    {IDC_PEB_ECL, item::PrintlineToEndCutter, "defaultECL2PL", "toleranceECL2PL", ValueType::Unsigned,
     IDS_PEB_ECL_RANGE},
    {IDC_PEB_XYCL, item::PrintlineToXYCut, "defaultXYCL2PL", "toleranceXYCL2PL", ValueType::Signed, IDS_PEB_XYCL_RANGE},
    {IDC_PEB_XYHOME, item::XYHomeToTapeCenter, "defaultXYHOME2TC", "toleranceXYHOME2TC", ValueType::Signed,
     IDS_PEB_XYHOME_RANGE},
    {IDC_PEB_CWOFFSET, item::CrossWebPrintOffset, "defaultCWPrintOffset", "toleranceCWPrintOffset", ValueType::Signed,
     IDS_PEB_CWOFFSET_RANGE},
}};

int64_t parseSetting(std::string_view text)
{
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    int64_t value = 0;
    bool digits = false;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        digits = true;
        value = value * 10 + (text[i] - '0');
        if (value > int64_t(UINT32_MAX))
            return 0;
    }
    if (!digits)
        return 0;
    value = negative ? -value : value;
    return value < int64_t(INT32_MIN) ? 0 : value;
}

bool inRange(uint32_t value, uint32_t defaultValue, uint32_t tolerance, ValueType type)
{
    const uint32_t low = defaultValue - tolerance;
    const uint32_t high = defaultValue + tolerance;
    if (type == ValueType::Unsigned)
        return !(value < low || value > high);
    const auto v = int32_t(value);
    return !(v < int32_t(low) || v > int32_t(high));
}

namespace {
uint32_t settingWord(const char* key, const SettingLookup& lookup)
{
    return uint32_t(lookup ? parseSetting(lookup(key)) : 0);
}
} // namespace

uint32_t defaultOf(const PebField& field, const SettingLookup& lookup)
{
    return settingWord(field.defaultKey, lookup);
}

uint32_t toleranceOf(const PebField& field, const SettingLookup& lookup)
{
    return settingWord(field.toleranceKey, lookup);
}

std::vector<const PebField*> fieldsOutOfRange(const std::function<uint32_t(const PebField&)>& valueOf,
                                              const SettingLookup& lookup)
{
    std::vector<const PebField*> out;
    for (const PebField& f : kPebFields)
        if (!inRange(valueOf(f), defaultOf(f, lookup), toleranceOf(f, lookup), f.type))
            out.push_back(&f);
    return out;
}

namespace {
std::string format(const char* fmt, double value)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, fmt, value);
    return buffer;
}
} // namespace

std::string formatValue(uint32_t word, ValueType type)
{
    return type == ValueType::Signed ? std::to_string(int32_t(word)) : std::to_string(word);
}

std::string formatCoefficient(float value)
{
    return format("%.4f", double(value));
}

float displayM(int32_t word0)
{
    return float(double(word0) * 0.001);
}

float displayC(int32_t word1)
{
    // C alone has this step (negative words among those it affects); the
    // screen has always shown C this way, so readings stay comparable.
    auto w = uint32_t(word1);
    if (w & 0xFF000000u)
        w += 1;
    return float(double(int32_t(w)) * 0.001);
}

std::string formatDisplayM(int32_t word0)
{
    return format("%5.3f", double(displayM(word0)));
}
std::string formatDisplayC(int32_t word1)
{
    return format("%8.3f", double(displayC(word1)));
}

} // namespace pellam::peb
