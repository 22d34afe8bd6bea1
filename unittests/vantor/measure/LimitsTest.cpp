#include <gtest/gtest.h>

#include "vantor/measure/Limits.h"

using namespace vantor::measure;

namespace {

struct Parsed {
    const char* text;
    const char* name;
    Limit::Op op;
    Limit::Aggregate aggregate;
    double low, high;
    const char* condition;
};

class ParsesLimit : public ::testing::TestWithParam<Parsed> {};

TEST_P(ParsesLimit, IntoNameConditionAndBounds)
{
    const Parsed& c = GetParam();
    QString error;
    const std::optional<Limit> l = parseLimit(QString::fromUtf8(c.text), &error);
    ASSERT_TRUE(l) << qPrintable(error);
    EXPECT_EQ(l->name, QString::fromUtf8(c.name));
    EXPECT_EQ(l->op, c.op);
    EXPECT_EQ(l->aggregate, c.aggregate);
    if (c.op == Limit::Op::Range || c.op == Limit::Op::Equal || c.op == Limit::Op::AtLeast) {
        EXPECT_EQ(l->low, c.low);
    }
    if (c.op == Limit::Op::Range || c.op == Limit::Op::AtMost) {
        EXPECT_EQ(l->high, c.high);
    }
    EXPECT_EQ(l->condition, QString::fromUtf8(c.condition));
}

using Op = Limit::Op;
using Agg = Limit::Aggregate;
INSTANTIATE_TEST_SUITE_P(
    Forms, ParsesLimit,
    ::testing::Values(Parsed{"Total encode=1700..1900", "Total encode", Op::Range, Agg::None, 1700, 1900, "1700..1900"},
                      Parsed{" Total encode = -5..5 ", "Total encode", Op::Range, Agg::None, -5, 5, "-5..5"},
                      Parsed{"Run motor=OK", "Run motor", Op::Ok, Agg::None, 0, 0, "OK"},
                      Parsed{"Run motor=ok", "Run motor", Op::Ok, Agg::None, 0, 0, "OK"},
                      Parsed{"Moving duration>=10", "Moving duration", Op::AtLeast, Agg::None, 10, 0, ">=10"},
                      Parsed{"Moving duration<=2.5", "Moving duration", Op::AtMost, Agg::None, 0, 2.5, "<=2.5"},
                      Parsed{"actual run=3", "actual run", Op::Equal, Agg::None, 3, 3, "3"},
                      Parsed{"Forward Encode.max<=4000", "Forward Encode", Op::AtMost, Agg::Max, 0, 4000, "<=4000"},
                      Parsed{"in detail.count=3000", "in detail", Op::Equal, Agg::Count, 3000, 3000, "3000"},
                      Parsed{"Encoder.mean=10..20", "Encoder", Op::Range, Agg::Mean, 10, 20, "10..20"},
                      // A suffix alone names no series: it is the whole name.
                      Parsed{".max<=07", ".max", Op::AtMost, Agg::None, 0, 7, "<=07"},
                      Parsed{"in detail .min>=1", "in detail", Op::AtLeast, Agg::Min, 1, 0, ">=1"}));

class RefusesLimit : public ::testing::TestWithParam<std::pair<const char*, const char*>> {};

TEST_P(RefusesLimit, WithTheReason)
{
    QString error;
    EXPECT_FALSE(parseLimit(QString::fromUtf8(GetParam().first), &error));
    EXPECT_TRUE(error.contains(QString::fromUtf8(GetParam().first).trimmed())) << qPrintable(error);
    EXPECT_TRUE(error.contains(QString::fromUtf8(GetParam().second))) << qPrintable(error);
}

INSTANTIATE_TEST_SUITE_P(Bad, RefusesLimit,
                         ::testing::Values(std::pair{"Total encode", "expected NAME=a..b"},
                                           std::pair{"=5", "expected NAME"},
                                           std::pair{"Total encode=", "no condition"},
                                           std::pair{"Total encode=abc", "expected a..b"},
                                           std::pair{"Total encode=1900..1700", "low end"},
                                           std::pair{"Total encode=1..", "two numbers"},
                                           std::pair{"Total encode>=x", "after >="},
                                           std::pair{"Forward Encode.max=OK", "aggregate"},
                                           std::pair{"x=nan", "expected"}));

TEST(Limit, BoundsAreInclusive)
{
    const Limit r = *parseLimit(QStringLiteral("x=1700..1900"), nullptr);
    EXPECT_TRUE(r.passes(1700.0));
    EXPECT_TRUE(r.passes(1900.0));
    EXPECT_FALSE(r.passes(1699.0));
    EXPECT_FALSE(r.passes(1901.0));
    const Limit ge = *parseLimit(QStringLiteral("x>=5"), nullptr);
    EXPECT_TRUE(ge.passes(5.0));
    EXPECT_FALSE(ge.passes(4.9));
    const Limit le = *parseLimit(QStringLiteral("x<=5"), nullptr);
    EXPECT_TRUE(le.passes(5.0));
    EXPECT_FALSE(le.passes(5.1));
    const Limit ok = *parseLimit(QStringLiteral("x=OK"), nullptr);
    EXPECT_TRUE(ok.passes(true));
    EXPECT_FALSE(ok.passes(false));
    EXPECT_FALSE(ok.passes(1.0)); // a number never meets OK
}

TEST(Limit, TheSequenceFormTakesABareConditionAndKeepsTheWholeText)
{
    const std::optional<Limit> a = parseLimit(QStringLiteral("Forward Encode.max"), QStringLiteral("<=4000"), nullptr);
    ASSERT_TRUE(a);
    EXPECT_EQ(a->aggregate, Agg::Max);
    EXPECT_EQ(a->text, QStringLiteral("Forward Encode.max<=4000"));
    const std::optional<Limit> b = parseLimit(QStringLiteral("Total encode"), QStringLiteral("1700..1900"), nullptr);
    ASSERT_TRUE(b);
    EXPECT_EQ(b->text, QStringLiteral("Total encode=1700..1900"));
    EXPECT_EQ(b->condition, QStringLiteral("1700..1900"));
}

TEST(Limit, NamesAreCheckedAgainstTheTestsTableWithKinds)
{
    auto limits = [](std::initializer_list<const char*> texts) {
        std::vector<Limit> out;
        for (const char* t : texts)
            out.push_back(*parseLimit(QString::fromUtf8(t), nullptr));
        return out;
    };
    EXPECT_EQ(checkLimitNames(QStringLiteral("Platen"), limits({"Total encode=1..2", "Run Platen=OK",
                                                                "in detail.max<=9"})),
              QString());
    const QString unknown = checkLimitNames(QStringLiteral("Platen"), limits({"Total encoder=1..2"}));
    EXPECT_TRUE(unknown.contains(QStringLiteral("Total encoder"))) << qPrintable(unknown);
    EXPECT_TRUE(unknown.contains(QStringLiteral("Total encode,"))) << qPrintable(unknown); // the names are listed
    // OK on a number, a number on a pass/fail, an aggregate on a measurement
    EXPECT_FALSE(checkLimitNames(QStringLiteral("Platen"), limits({"Total encode=OK"})).isEmpty());
    EXPECT_FALSE(checkLimitNames(QStringLiteral("Platen"), limits({"Run Platen>=1"})).isEmpty());
    EXPECT_FALSE(checkLimitNames(QStringLiteral("Platen"), limits({"Total encode.max<=1"})).isEmpty());
}

TEST(Aggregates, SkipGaps)
{
    Series s;
    s.values = {3, std::numeric_limits<float>::quiet_NaN(), 1, 8};
    s.indices = {0, 1, 2, 3};
    const Aggregates a = aggregate(s);
    EXPECT_EQ(a.count, 3);
    EXPECT_EQ(a.min, 1);
    EXPECT_EQ(a.max, 8);
    EXPECT_DOUBLE_EQ(a.mean, 4);
}

} // namespace
