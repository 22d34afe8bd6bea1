#include <gtest/gtest.h>

#include "vantor/measure/SequenceFile.h"

using namespace vantor::measure;

namespace {

std::optional<SequenceDefinition> read(const char* text, QString* error)
{
    return readSequence(QByteArray(text), QStringLiteral("line.json"), error);
}

TEST(SequenceFile, ReadsStepsWithTheirSettingsLimitsAndFlags)
{
    QString error;
    const auto definition = read(R"({ "name": "Final test", "serialRequired": true, "steps": [
  { "test": "Platen Test", "cycles": 5, "pause": 0, "settings": { "TotalPulses": 3000, "RampUpProfile": "a.txt" },
    "limits": { "Total encode": "1700..1900", "in detail.max": "<=4000" } },
  { "test": "Ejector Test", "limits": { "Run": "OK" }, "stopOnFail": true, "plot": " ejector.png " } ] })",
                           &error);
    ASSERT_TRUE(definition) << qPrintable(error);
    EXPECT_EQ(definition->name, QStringLiteral("Final test"));
    EXPECT_TRUE(definition->serialRequired);
    ASSERT_EQ(definition->steps.size(), 2u);
    const SequenceStep& a = definition->steps[0];
    EXPECT_EQ(a.cycles, 5);
    EXPECT_EQ(a.pause, 0);
    ASSERT_EQ(a.settings.size(), 2u);
    EXPECT_EQ(a.settings[0], (std::pair{QStringLiteral("RampUpProfile"), QStringLiteral("a.txt")}));
    EXPECT_EQ(a.settings[1], (std::pair{QStringLiteral("TotalPulses"), QStringLiteral("3000")}));
    ASSERT_EQ(a.limits.size(), 2u);
    EXPECT_FALSE(a.stopOnFail);
    EXPECT_TRUE(a.plot.isEmpty());
    const SequenceStep& b = definition->steps[1];
    EXPECT_FALSE(b.cycles);
    EXPECT_TRUE(b.stopOnFail);
    EXPECT_EQ(b.plot, QStringLiteral("ejector.png"));
    EXPECT_EQ(b.limits[0].op, Limit::Op::Ok);
}

struct Bad {
    const char* text;
    const char* message; // a part of the error
};

class BadSequence : public ::testing::TestWithParam<Bad> {};

TEST_P(BadSequence, IsRefusedWithWhereAndWhat)
{
    QString error;
    EXPECT_FALSE(read(GetParam().text, &error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("line.json:"))) << qPrintable(error);
    EXPECT_TRUE(error.contains(QString::fromUtf8(GetParam().message))) << qPrintable(error);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BadSequence,
    ::testing::Values(
        // The line and column of the character where the JSON went wrong.
        Bad{"{ \"name\": \"x\",\n  \"steps\": [ { \"test\": \"Platen\" } \n  \n  }", "line.json:4:3: expected , or ]"},
        Bad{"{ \"name\": \"x\", \"steps\": [ { \"test\" \"Platen\" } ] }", "line.json:1:36: expected : after a key"},
        Bad{"{ \"name\": \"x\" } x", "line.json:1:17: expected the end"},
        Bad{"", "line.json:1:1:"},
        Bad{"[1]", "expected an object"},
        Bad{"{ \"steps\": [ { \"test\": \"a\" } ] }", "\"name\""},
        Bad{"{ \"name\": \"x\" }", "expected an array of at least one step"},
        Bad{"{ \"name\": \"x\", \"steps\": [] }", "at least one step"},
        Bad{"{ \"name\": \"x\", \"steps\": [ 3 ] }", "step 1: expected an object"},
        Bad{"{ \"name\": \"x\", \"steps\": [ { \"cycles\": 1 } ] }", "step 1 \"test\""},
        Bad{"{ \"name\": \"x\", \"steps\": [ { \"test\": \"a\", \"cycles\": 1.5 } ] }", "expected a whole number"},
        Bad{"{ \"name\": \"x\", \"steps\": [ { \"test\": \"a\", \"cycles\": \"5\" } ] }", "expected a whole number"},
        Bad{"{ \"name\": \"x\", \"steps\": [ { \"test\": \"a\", \"pause\": -1 } ] }", "0 or more"},
        Bad{"{ \"name\": \"x\", \"steps\": [ { \"test\": \"a\", \"cylces\": 1 } ] }", "unknown key \"cylces\""},
        Bad{"{ \"name\": \"x\", \"steps\": [ { \"test\": \"a\", \"settings\": { \"k\": [1] } } ] }",
            "setting \"k\""},
        Bad{"{ \"name\": \"x\", \"steps\": [ { \"test\": \"a\", \"limits\": { \"Total\": \"lots\" } } ] }",
            "limit \"Total=lots\" does not parse"},
        Bad{"{ \"name\": \"x\", \"steps\": [ { \"test\": \"a\", \"limits\": { \"Total\": true } } ] }",
            "limit \"Total\""},
        Bad{"{ \"name\": \"x\", \"serialRequired\": \"yes\", \"steps\": [ { \"test\": \"a\" } ] }",
            "\"serialRequired\""},
        Bad{"{ \"name\": \"x\", \"steps\": [ { \"test\": \"a\", \"plot\": true } ] }", "step 1 \"plot\": expected the PNG"},
        Bad{"{ \"name\": \"x\", \"steps\": [ { \"test\": \"a\", \"plot\": \" \" } ] }", "step 1 \"plot\""}));

} // namespace
