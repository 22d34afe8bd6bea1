#pragma once
// What a plot reads from the series, in place: the curve's name, its extremes,
// the sample under a cursor, and the min/max of each pixel column. Nothing
// here copies samples: a column summary is a few values per pixel, whatever
// the series' length. Widget-free, so it is tested and measured on its own.
#include <QIODevice>
#include <QString>
#include <cstdint>
#include <vector>

#include "vantor/measure/Series.h"

namespace vantor::plot {

using measure::Series;

// "Forward Encode, cycle 2": the name a legend, a table and a screen reader
// give a curve (its unit is said beside it).
QString curveName(const Series& s);

// A reverse pass ("Reverse Encode", "R" samples) is drawn in its own colour.
bool isReverse(const Series& s);

struct Extremes {
    bool any = false;        // false when the series has no value at all
    double minKey = 0, maxKey = 0;
    double minValue = 0, maxValue = 0;
    size_t values = 0;       // samples that are not gaps
};
// Over the samples whose index lies in [fromKey, toKey]; NaN samples are gaps.
Extremes extremes(const Series& s, double fromKey = -1e300, double toKey = 1e300);

// True when every index is above the one before: the usual case, where a
// key range is found by bisection instead of a scan.
bool ascendingIndices(const Series& s);

// The sample positions [first, last) whose index lies in [fromKey, toKey]
// (for indices not ascending: the whole series, to be filtered by the reader).
struct Span {
    size_t first = 0, last = 0;
};
Span visibleSpan(const Series& s, bool ascending, double fromKey, double toKey);

// The sample nearest to `key` that has a value, within `maxDistance` of it;
// -1 when there is none.
std::ptrdiff_t nearestSample(const Series& s, bool ascending, double key, double maxDistance);

// One pixel column of a decimated curve: the first, last, least and largest
// value of the samples that fall into it. `joined` is false when a gap (NaN)
// lies between the previous column's last sample and this column's first,
// so that no line is drawn across it.
struct Column {
    int pixel = 0;   // -1 and `columns` for the samples just beyond the range
    double key = 0;  // the index of its first sample
    float first = 0, last = 0, min = 0, max = 0;
    int32_t samples = 0;
    bool joined = false;
};
// Columns 0 .. columns-1 cover [fromKey, toKey] evenly; only columns that
// hold a value are returned, in order of the pixel.
std::vector<Column> decimate(const Series& s, bool ascending, double fromKey, double toKey, int columns);

// The samples as numbers: two columns per series, headed "<curve>: index"
// and "<curve>: <unit>" ("value" when it has none), one row per sample
// position, empty cells past a series' end and for gaps. False when the
// device would not take it.
bool writeCsv(const std::vector<Series>& series, QIODevice& out);
bool writeCsv(const std::vector<Series>& series, const QString& path);

} // namespace vantor::plot
