#pragma once
// The per-pulse samples of one kind within one cycle of a run, as the result
// lines give them ("1. F 3733 [1677]" adds index 1 to a forward series of
// cycle 1). Two parallel arrays, 8 bytes a sample: the records, the plots and
// the aggregates read them in place, so a million-line run is never held twice.
#include <QString>
#include <cstdint>
#include <vector>

namespace vantor::measure {

struct Series {
    QString name;                 // the line's own words ("Forward Encode")
    QString unit;                 // "counts", "ms", ...; empty when the line gives none
    int cycle = 0;                // the run's cycle, from 1
    std::vector<int32_t> indices; // each sample's own index, in the order of the lines
    std::vector<float> values;    // NaN where a line has no value: a gap, not a zero

    size_t size() const { return values.size(); }
};

} // namespace vantor::measure
