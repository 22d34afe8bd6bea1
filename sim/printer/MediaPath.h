#pragma once
// The label stock under the sensors: 25.4 mm pitch, a 3 mm gap after each
// label, a 2 mm side notch and a 1.5 mm centre notch at each label's start.
// The upstream sensors sit a whole number of labels plus a few millimetres
// before the downstream ones.
#include <cmath>
#include <cstdint>

namespace sim::media {

constexpr double kPitchMm = 25.4;
constexpr double kGapMm = 3.0;
constexpr double kSideNotchMm = 2.0;
constexpr double kCenterNotchMm = 1.5;
constexpr double kUpstreamOffsetMm = 4.0 * kPitchMm + 7.5;

enum class Feature { SideNotch, CenterNotch, Gap };

// 1 when the feature is under a sensor at that position of the stock.
inline int32_t featureAt(Feature f, double positionMm)
{
    double inPitch = std::fmod(positionMm, kPitchMm);
    if (inPitch < 0)
        inPitch += kPitchMm;
    switch (f) {
    case Feature::SideNotch: return inPitch < kSideNotchMm ? 1 : 0;
    case Feature::CenterNotch: return inPitch < kCenterNotchMm ? 1 : 0;
    case Feature::Gap: return inPitch >= kPitchMm - kGapMm ? 1 : 0;
    }
    return 0;
}

} // namespace sim::media
