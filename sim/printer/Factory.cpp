#include "sim/printer/Factory.h"

#include <cmath>

#include "protocol/Calibration.h"
#include "protocol/ConverterItems.h"
#include "protocol/SensorItems.h"
#include "sim/printer/Random.h"
#include "sim/printer/StateStore.h"

namespace sim {

using namespace protocol;

int32_t pebUnitValue(uint64_t seed, uint32_t item)
{
    // Near the service program's defaults (\boot\Pellam.ini), well inside
    // their tolerances.
    const struct {
        uint32_t item;
        int32_t nominal;
        int32_t spread;
    } peb[] = {
        {pebItem::UpstreamCenterNotch, 1850, 30}, {pebItem::DownstreamCenterNotch, 640, 20},
        {pebItem::UpstreamGap, 1790, 30},         {pebItem::DownstreamGap, 580, 20},
        {pebItem::UpstreamSideNotch, 1880, 20},   {pebItem::DownstreamSideNotch, 660, 20},
        {pebItem::PrintlineToEndCutter, 1210, 15}, {pebItem::PrintlineToXYCut, 2860, 40},
        {pebItem::XYHomeToTapeCenter, -35, 10},   {pebItem::CrossWebPrintOffset, 0, 10},
    };
    for (const auto& p : peb)
        if (p.item == item) {
            Random r(Random::mix(seed, 400 + item));
            return p.nominal + int32_t(r.between(-p.spread, p.spread));
        }
    return 0;
}

void factoryMachineState(uint64_t seed, std::map<QString, QString>& v)
{
    auto unit = [seed](uint64_t salt) { return Random(Random::mix(seed, salt)); };
    // Each unit's encoders differ slightly from the nominal ratio (up to 2 %).
    auto ratio = [&](double nominal, uint64_t salt) {
        Random r = unit(salt);
        return QString::number(nominal * (1.0 + r.range(-0.02, 0.02)), 'f', 6);
    };
    auto number = [](int64_t n) { return QString::number(n); };

    for (const char* counter :
         {stateKey::CutsMade, stateKey::InchesPrinted, stateKey::RowsPrinted, stateKey::InchesFed, stateKey::PlatenMoves,
          stateKey::PlatenPulses, stateKey::TapeRewindMoves, stateKey::RibbonMoves, stateKey::EjectorRevolutions,
          stateKey::EndCutterCuts, stateKey::PrintHeadLoads, stateKey::PrintHeadLifts, stateKey::XYCuts, stateKey::XYMoves,
          stateKey::MediaJamRuns, stateKey::FiducialRuns, stateKey::RibbonColorRuns, stateKey::PrintJobs,
          stateKey::SpoolImages, stateKey::TagChipPrograms})
        v[QLatin1String(counter)] = QStringLiteral("0");
    v[stateKey::TapeTagChipVersion] = QStringLiteral("3");
    v[stateKey::RibbonTagChipVersion] = QStringLiteral("2");
    v[stateKey::KeyboardLayout] = QStringLiteral("1");
    v[stateKey::PlatenEncoderRatio] = ratio(1.8, 1);
    v[stateKey::RewindEncoderRatio] = ratio(0.9, 2);
    v[stateKey::RibbonEncoderRatio] = ratio(1.2, 3);

    // The analogue media sensors: what each sees through liner and through
    // tape, and the DAC setting its last calibration left.
    for (uint32_t item : kAnalogMediaSensors) {
        Random r = unit(100 + item);
        v[itemKey(stateKey::LinerLevelPrefix, item)] = number(175 + r.between(-15, 15));
        v[itemKey(stateKey::MediaLevelPrefix, item)] = number(60 + r.between(-12, 12));
        v[itemKey(stateKey::SensorDacPrefix, item)] = number(110 + r.between(-10, 10));
    }
    {
        Random r = unit(200);
        v[itemKey(stateKey::ColorDacPrefix, 0)] = number(128 + r.between(-10, 10));
        v[itemKey(stateKey::ColorDacPrefix, 1)] = number(140 + r.between(-10, 10));
        v[itemKey(stateKey::ColorDacPrefix, 2)] = number(120 + r.between(-10, 10));
    }
    for (uint32_t item = kFirstDacItem; item <= kLastDacItem; ++item)
        v[itemKey(stateKey::DacPrefix, item)] = QStringLiteral("0");
    {
        Random r = unit(300);
        v[itemKey(stateKey::DacPrefix, emitterItem::Red)] = number(110 + r.between(-8, 8));
        v[itemKey(stateKey::DacPrefix, emitterItem::Green)] = number(120 + r.between(-8, 8));
        v[itemKey(stateKey::DacPrefix, emitterItem::Blue)] = number(130 + r.between(-8, 8));
    }
    for (uint32_t item = kFirstGpioItem; item <= kLastGpioItem; ++item)
        v[itemKey(stateKey::GpioPrefix, item)] = QStringLiteral("0");

    for (uint32_t item : {99u, 100u, 101u, 102u, 103u, 104u, 105u, 106u, 123u, 136u})
        v[itemKey(stateKey::PebPrefix, item)] = number(pebUnitValue(seed, item));
    {
        Random r = unit(500);
        v[stateKey::CutForceM] = QString::number(1.25 + r.range(-0.05, 0.05), 'f', 4);
        v[stateKey::CutForceC] = QString::number(-0.35 + r.range(-0.05, 0.05), 'f', 4);
        v[stateKey::PrintHeadResistance] = number(1129 + r.between(-20, 20));
    }
    v[stateKey::TapeTagChipImage] = QString::fromLatin1(factoryTapeTagChipImage().toHex());
    v[stateKey::RibbonTagChipImage] = QString::fromLatin1(factoryRibbonTagChipImage().toHex());
}

} // namespace sim
