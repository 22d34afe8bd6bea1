#include <gtest/gtest.h>

#include <map>

#include "pellam/peb/PebCheck.h"
#include "pellam/res/resource.h"

using namespace pellam::peb;

namespace {

TEST(PebRange, BoundsAreInclusiveAndComparedByType)
{
    struct Case {
        int64_t value, defaultValue, tolerance;
        ValueType type;
        bool in;
    };
    const Case cases[] = {
        {400, 500, 100, ValueType::Unsigned, true},
        {600, 500, 100, ValueType::Unsigned, true},
        {399, 500, 100, ValueType::Unsigned, false},
        {601, 500, 100, ValueType::Unsigned, false},
        {400, 500, 100, ValueType::Signed, true},
        {601, 500, 100, ValueType::Signed, false},
        // Signed: a negative offset within a tolerance around 0.
        {-20, 0, 50, ValueType::Signed, true},
        {-50, 0, 50, ValueType::Signed, true},
        {-51, 0, 50, ValueType::Signed, false},
        {-35, -35, 40, ValueType::Signed, true},
        // The same -20 compared unsigned is a huge number.
        {-20, 0, 50, ValueType::Unsigned, false},
        // A tolerance above an unsigned default wraps the lower bound: nothing passes.
        {50, 50, 100, ValueType::Unsigned, false},
        {0, 50, 100, ValueType::Unsigned, false},
        {150, 50, 100, ValueType::Unsigned, false},
        // Missing settings: default and tolerance 0, only 0 passes.
        {0, 0, 0, ValueType::Unsigned, true},
        {1, 0, 0, ValueType::Unsigned, false},
        {-1, 0, 0, ValueType::Signed, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(inRange(uint32_t(c.value), uint32_t(c.defaultValue), uint32_t(c.tolerance), c.type), c.in)
            << c.value << " around " << c.defaultValue << " +/- " << c.tolerance
            << (c.type == ValueType::Signed ? " signed" : " unsigned");
}

TEST(PebRange, SettingsTextsAsDecimalIntegers)
{
    const std::pair<const char*, int64_t> cases[] = {
        {"580", 580},      {" -35", -35},      {"+12", 12}, {"", 0},
        {"abc", 0},        {"12abc", 12},      {"-", 0},    {"4294967295", 4294967295LL},
        {"4294967296", 0}, {"-2147483649", 0},
    };
    for (const auto& [text, value] : cases)
        EXPECT_EQ(parseSetting(text), value) << '"' << text << '"';
}

TEST(PebRange, EveryValueIsCheckedAndTheSideNotchSharesTheGapTolerance)
{
    std::map<std::string, std::string> ini;
    for (const PebField& f : kPebFields) {
        ini[f.defaultKey] = "500";
        ini[f.toleranceKey] = "100";
    }
    ini["toleranceDGN2PL"] = "10"; // also the upstream side notch's
    const auto lookup = [&](const char* key) {
        auto it = ini.find(key);
        return it == ini.end() ? std::string() : it->second;
    };
    std::map<int, uint32_t> values;
    for (const PebField& f : kPebFields)
        values[f.control] = 500;
    values[IDC_PEB_UCN] = 399;
    values[IDC_PEB_USN] = 520; // outside 500 +/- 10
    values[IDC_PEB_CWOFFSET] = 601;
    const auto failed = fieldsOutOfRange([&](const PebField& f) { return values[f.control]; }, lookup);
    ASSERT_EQ(failed.size(), 3u);
    EXPECT_EQ(failed[0]->message, IDS_PEB_UCN_RANGE);
    EXPECT_EQ(failed[1]->message, IDS_PEB_USN_RANGE);
    EXPECT_EQ(failed[2]->message, IDS_PEB_CWOFFSET_RANGE);
}

TEST(PebFormats, CoefficientsOfTheDisplay)
{
    struct Case {
        int32_t word;
        const char* m;
        const char* c;
    };
    const Case cases[] = {
        {1250, "1.250", "   1.250"},
        {0, "0.000", "   0.000"},
        {12345, "12.345", "  12.345"},
        // A negative word has its top bits set: C counts one thousandth more, M does not.
        {-338, "-0.338", "  -0.337"},
        {-1, "-0.001", "   0.000"},
        {-1000, "-1.000", "  -0.999"},
        // Below the top eight bits C is taken as it is.
        {0x00FFFFFF, "16777.215", "16777.215"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(formatDisplayM(c.word), c.m) << c.word;
        EXPECT_EQ(formatDisplayC(c.word), c.c) << c.word;
    }
    EXPECT_EQ(formatCoefficient(1.2475f), "1.2475");
    EXPECT_EQ(formatValue(uint32_t(-35), ValueType::Signed), "-35");
    EXPECT_EQ(formatValue(uint32_t(-35), ValueType::Unsigned), "4294967261");
}

} // namespace
