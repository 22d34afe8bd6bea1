// The column summary the curves are drawn from, the cursor's sample search
// and the CSV export, against plain scans of the same samples.
#include <QBuffer>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <random>

#include "vantor/plot/Curves.h"

namespace vantor::plot {
namespace {

constexpr float kGap = std::numeric_limits<float>::quiet_NaN();

Series make(std::vector<int32_t> indices, std::vector<float> values, QString name = QStringLiteral("Forward Encode"))
{
    Series s;
    s.name = std::move(name);
    s.unit = QStringLiteral("counts");
    s.cycle = 1;
    s.indices = std::move(indices);
    s.values = std::move(values);
    return s;
}

Series noisy(size_t n, int32_t first, int32_t step, unsigned seed, double gapShare)
{
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> value(0, 4000);
    std::uniform_real_distribution<double> share(0, 1);
    Series s = make({}, {});
    for (size_t i = 0; i < n; ++i) {
        s.indices.push_back(first + int32_t(i) * step);
        s.values.push_back(share(rng) < gapShare ? kGap : float(value(rng)));
    }
    return s;
}

struct DecimationCase {
    const char* what;
    size_t samples;
    int32_t step;
    double gapShare;
    double from, to; // as a share of the key range
    int columns;
};

class Decimation : public ::testing::TestWithParam<DecimationCase> {};

// Every column holds exactly the least and largest value of the samples
// whose key falls into it, no visible sample is lost, and a line is never
// drawn across a gap.
TEST_P(Decimation, ColumnsHoldTheExtremesOfTheirSamplesAndBreakAtGaps)
{
    const DecimationCase& c = GetParam();
    const Series s = noisy(c.samples, -7, c.step, 42, c.gapShare);
    const double first = s.indices.front(), last = s.indices.back();
    const double from = first + (last - first) * c.from, to = first + (last - first) * c.to;
    const std::vector<Column> cols = decimate(s, ascendingIndices(s), from, to, c.columns);

    const double scale = c.columns / (to - from);
    auto columnOf = [&](double k) {
        const int p = int(std::floor((k - from) * scale));
        return k >= from && k <= to ? std::min(p, c.columns - 1) : (k < from ? -1 : c.columns);
    };
    // Brute force: the visible samples and the one just beyond each edge.
    std::map<int, std::pair<float, float>> expected;
    std::map<int, bool> gapBefore;
    bool gap = false, seen = false;
    int previous = -2;
    for (size_t i = 0; i < s.size(); ++i) {
        const double k = s.indices[i];
        const bool beyondLeft = i + 1 < s.size() && s.indices[i + 1] >= from && k < from;
        const bool beyondRight = i > 0 && s.indices[i - 1] <= to && k > to;
        if (!(k >= from && k <= to) && !beyondLeft && !beyondRight) {
            continue;
        }
        if (std::isnan(s.values[i])) {
            gap = true;
            continue;
        }
        const int col = columnOf(k);
        auto [it, fresh] = expected.try_emplace(col, s.values[i], s.values[i]);
        if (!fresh) {
            it->second.first = std::min(it->second.first, s.values[i]);
            it->second.second = std::max(it->second.second, s.values[i]);
        } else {
            gapBefore[col] = !seen || gap;
        }
        if (col != previous)
            previous = col;
        gap = false;
        seen = true;
    }
    ASSERT_EQ(cols.size(), expected.size()) << c.what;
    for (const Column& col : cols) {
        ASSERT_TRUE(expected.count(col.pixel)) << c.what << " pixel " << col.pixel;
        EXPECT_EQ(col.min, expected[col.pixel].first) << c.what << " pixel " << col.pixel;
        EXPECT_EQ(col.max, expected[col.pixel].second) << c.what << " pixel " << col.pixel;
        EXPECT_EQ(col.joined, !gapBefore[col.pixel]) << c.what << " pixel " << col.pixel;
        EXPECT_LE(col.min, std::min(col.first, col.last));
        EXPECT_GE(col.max, std::max(col.first, col.last));
    }
    EXPECT_LE(cols.size(), size_t(c.columns) + 2) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Decimation,
    ::testing::Values(DecimationCase{"dense, whole range", 100000, 1, 0.0, 0.0, 1.0, 800},
                      DecimationCase{"dense with gaps", 50000, 1, 0.01, 0.0, 1.0, 640},
                      DecimationCase{"mostly gaps", 20000, 1, 0.9, 0.0, 1.0, 300},
                      DecimationCase{"sparse indices", 3000, 7, 0.05, 0.0, 1.0, 1000},
                      DecimationCase{"zoomed into the middle", 100000, 1, 0.02, 0.4, 0.401, 500},
                      DecimationCase{"fewer samples than columns", 50, 1, 0.1, 0.0, 1.0, 1200}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST(Decimation, SamplesOutOfIndexOrderAreFilteredByKeyAndKeepTheirOrder)
{
    const Series s = make({5, 1, 3, 9, 2}, {50, 10, 30, 90, 20});
    ASSERT_FALSE(ascendingIndices(s));
    // Keys 1..5 over two columns: 1 and 2 in the first, 3 and 5 in the second;
    // 9 lies outside and breaks the line like a gap.
    const std::vector<Column> cols = decimate(s, false, 1, 5, 2);
    ASSERT_EQ(cols.size(), 4u);
    const int pixels[] = {1, 0, 1, 0};
    const float values[] = {50, 10, 30, 20};
    const bool joined[] = {false, true, true, false};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(cols[i].pixel, pixels[i]) << i;
        EXPECT_EQ(cols[i].first, values[i]) << i;
        EXPECT_EQ(cols[i].joined, joined[i]) << i;
    }
}

TEST(Extremes, GapsAreNeitherZerosNorValues)
{
    const Series s = make({1, 2, 3, 4, 5}, {kGap, 12, kGap, 3733, kGap});
    const Extremes e = extremes(s);
    ASSERT_TRUE(e.any);
    EXPECT_EQ(e.values, 2u);
    EXPECT_EQ(e.minValue, 12);
    EXPECT_EQ(e.maxValue, 3733);
    EXPECT_EQ(e.minKey, 2);
    EXPECT_EQ(e.maxKey, 4);
    EXPECT_FALSE(extremes(make({1, 2}, {kGap, kGap})).any);
    const Extremes part = extremes(s, 3, 5);
    EXPECT_EQ(part.values, 1u);
    EXPECT_EQ(part.minValue, 3733);
}

TEST(NearestSample, FindsTheClosestValueWithinReachAndSkipsGaps)
{
    const Series s = make({0, 10, 20, 30, 40}, {1, 2, kGap, 4, 5});
    struct Case {
        double key, reach;
        std::ptrdiff_t want;
    } cases[] = {
        {10, 0.5, 1},   // on a sample
        {14, 5, 1},     // nearer to 10 than to 20 (a gap anyway)
        {21, 5, -1},    // the gap is not a sample, 10 and 30 are beyond reach
        {21, 10, 3},    // 30 is nearer than 10
        {-3, 5, 0},     // before the first
        {44, 5, 4},     // after the last
        {100, 5, -1},   // far away
    };
    for (const Case& c : cases) {
        EXPECT_EQ(nearestSample(s, true, c.key, c.reach), c.want) << "key " << c.key << " reach " << c.reach;
        EXPECT_EQ(nearestSample(s, false, c.key, c.reach), c.want) << "unordered, key " << c.key;
    }
}

TEST(Csv, HeaderNamesEverySeriesAndUnitAndGapsAreEmptyCells)
{
    Series a = make({0, 1, 2}, {1677, kGap, 3733});
    Series b = make({1, 2}, {0.25f, 12}, QStringLiteral("Reverse Encode"));
    b.cycle = 2;
    b.unit.clear();
    QBuffer out;
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    ASSERT_TRUE(writeCsv({a, b}, out));
    const QList<QByteArray> rows = out.data().split('\n');
    ASSERT_EQ(rows.size(), 5); // header, three rows, and the empty rest after the last line end
    EXPECT_EQ(rows[0], "\"Forward Encode, cycle 1: index\",\"Forward Encode, cycle 1: counts\","
                       "\"Reverse Encode, cycle 2: index\",\"Reverse Encode, cycle 2: value\"\r");
    EXPECT_EQ(rows[1], "0,1677,1,0.25\r");
    EXPECT_EQ(rows[2], "1,,2,12\r");
    EXPECT_EQ(rows[3], "2,3733,,\r");
    EXPECT_TRUE(rows[4].isEmpty());
}

} // namespace
} // namespace vantor::plot
