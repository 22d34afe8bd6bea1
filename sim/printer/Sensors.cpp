// The printer's sensors: two-state sensors that follow the mechanisms and
// the media under them, the temperatures and the print head voltage, the
// colour sensor and the fiducial detector; the four analogue media sensors
// with their DAC settings and two-step calibration; the colour sensor's DAC
// settings. Sensor states set in the configuration win over the machine's.
#include <algorithm>
#include <cmath>

#include "platform/Clock.h"
#include "protocol/ConverterItems.h"
#include "protocol/RequestCodes.h"
#include "protocol/SensorItems.h"
#include "protocol/TagChipImage.h"
#include "protocol/UserRequests.h"
#include "sim/printer/Factory.h"
#include "sim/printer/Machine.h"
#include "sim/printer/MediaPath.h"
#include "sim/printer/SensorModel.h"

namespace sim {

using namespace protocol;
namespace si = protocol::sensorItem;

namespace {

uint8_t clampByte(double v) { return uint8_t(std::clamp(std::lround(v), 0L, 255L)); }

// What a media sensor truly sees through liner and through tape on this
// unit; calibrations measure it with a little noise.
struct MediaLevels {
    int liner;
    int media;
};
MediaLevels trueLevels(uint64_t seed, uint32_t item)
{
    Random r(Random::mix(seed, 900 + item));
    return {int(178 + r.between(-12, 12)), int(58 + r.between(-10, 10))};
}

// The DAC setting that puts the threshold between the two levels.
int32_t thresholdDac(int64_t liner, int64_t media) { return int32_t(std::clamp<int64_t>((liner + media) * 55 / 100, 1, 255)); }

int32_t mechanismState(const Machine& m, uint32_t item)
{
    const bool media = m.mediaPresent();
    switch (item) {
    case si::Door: return 0;
    case si::CutterRearHome: return 1;   // the knife rests at its rear home
    case si::CutterFrontHome: return 0;
    case si::Wiper: return 0;
    case si::PrintHeadHome: return m.printHeadLoaded ? 0 : 1;
    case si::EjectorHome: return m.ejectorPhase == 0 ? 0 : 1; // 0: the flag blocks it
    case si::XYPinchHome: return m.pinched ? 1 : 0;
    case si::XYUnpinchHome: return m.pinched ? 0 : 1;
    case si::XYCrossWebHome: return m.crossWebPosition < 8 ? 1 : 0;
    case si::MediaPresent: return media ? 1 : 0;
    case si::DownstreamSideNotch: return media ? media::featureAt(media::Feature::SideNotch, m.mediaPositionMm) : 0;
    case si::UpstreamSideNotch:
        return media ? media::featureAt(media::Feature::SideNotch, m.mediaPositionMm + media::kUpstreamOffsetMm) : 0;
    case si::DownstreamCenterNotch: return media ? media::featureAt(media::Feature::CenterNotch, m.mediaPositionMm) : 0;
    case si::UpstreamCenterNotch:
        return media ? media::featureAt(media::Feature::CenterNotch, m.mediaPositionMm + media::kUpstreamOffsetMm) : 0;
    case si::DownstreamGap: return media ? media::featureAt(media::Feature::Gap, m.mediaPositionMm) : 0;
    case si::UpstreamGap: return media ? media::featureAt(media::Feature::Gap, m.mediaPositionMm + media::kUpstreamOffsetMm) : 0;
    case si::EncoderLiftHome: return 1;
    case si::EncoderLiftUp: return 0;
    default: return 0;
    }
}

} // namespace

namespace sensors {

int32_t state(const Machine& m, uint32_t item)
{
    auto it = m.sensorOverrides.find(item);
    return it != m.sensorOverrides.end() ? it->second : mechanismState(m, item);
}

double headTemperature(Machine& m)
{
    // The head cools between readings (readings come about twice a second).
    m.headHeat *= 0.98;
    return 25.2 + m.headHeat + m.rng.range(-0.15, 0.15);
}

ColorTriple emitterDacs(const Machine& m)
{
    return ColorTriple{uint8_t(m.state.integer(itemKey(stateKey::DacPrefix, emitterItem::Red))),
                       uint8_t(m.state.integer(itemKey(stateKey::DacPrefix, emitterItem::Green))),
                       uint8_t(m.state.integer(itemKey(stateKey::DacPrefix, emitterItem::Blue)))};
}

ColorTriple colorDacs(const Machine& m)
{
    return ColorTriple{uint8_t(m.state.integer(itemKey(stateKey::ColorDacPrefix, 0))),
                       uint8_t(m.state.integer(itemKey(stateKey::ColorDacPrefix, 1))),
                       uint8_t(m.state.integer(itemKey(stateKey::ColorDacPrefix, 2)))};
}

ColorTriple ribbonPanelColor(const Machine& m, double positionMm)
{
    if (!m.ribbonCartridge)
        return ColorTriple{245, 245, 245}; // nothing between emitter and detector
    TagChipImage image{};
    const QByteArray bytes = m.state.bytes(stateKey::RibbonTagChipImage);
    std::copy_n(bytes.constData(), std::min<qsizetype>(bytes.size(), image.size()), image.begin());
    const int panels = std::clamp<int>(image[57], 1, int(kRibbonPanels));
    const double panelMm = std::max<int>(image[58] | (image[59] << 8), 10);
    const int p = int(std::fmod(std::max(positionMm, 0.0) / panelMm, double(panels)));
    const uint8_t* c = &image[kRibbonColorSensedAt + 3 * uint32_t(p)];
    return ColorTriple{c[0], c[1], c[2]};
}

ColorTriple colorReading(Machine& m, double positionMm)
{
    // The detector's gain follows its DAC setting around the factory nominal.
    const ColorTriple seen = ribbonPanelColor(m, positionMm);
    const ColorTriple dac = colorDacs(m);
    return ColorTriple{clampByte(seen.red * dac.red / 128.0 + m.rng.range(-2, 2)),
                       clampByte(seen.green * dac.green / 140.0 + m.rng.range(-2, 2)),
                       clampByte(seen.blue * dac.blue / 120.0 + m.rng.range(-2, 2))};
}

double tapeReflectance(const Machine& m) { return m.mediaPresent() ? 0.85 : 0.05; }

ColorTriple fiducialReading(Machine& m, double reflectance)
{
    const ColorTriple e = emitterDacs(m);
    auto detect = [&](uint8_t emitter) { return clampByte(emitter * reflectance * 1.6 + m.rng.range(-2, 2)); };
    return ColorTriple{detect(e.red), detect(e.green), detect(e.blue)};
}

} // namespace sensors

namespace mech {

bool sensorRead(Machine& m, Call& c)
{
    const uint32_t item = c.block.Target;
    c.ctx.machineMs += 1.0;
    if (isOnOffSensor(item)) {
        c.answer(sensors::state(m, item));
        return true;
    }
    if (isColorSensor(item)) {
        c.answer(item == si::ColorSensor ? sensors::colorReading(m, m.ribbonPositionMm)
                                         : sensors::fiducialReading(m, sensors::tapeReflectance(m)));
        return true;
    }
    double value = 0;
    switch (item) {
    case si::Thermistor: value = sensors::headTemperature(m); break;
    case si::RoomTemp: value = 23.5 + m.rng.range(-0.1, 0.1); break;
    // The door interlock cuts the head supply.
    case si::PrintHeadVoltage: value = m.doorOpen() ? 0.0 : 24.0 + m.rng.range(-0.05, 0.05); break;
    default: return c.ctx.refuse(QStringLiteral("sensor %1").arg(item));
    }
    c.answer(value);
    return true;
}

bool sensorCalibrate(Machine& m, Call& c)
{
    RequestContext& ctx = c.ctx;
    const uint32_t item = c.block.Target;
    const uint32_t command = c.block.Command;
    if (!m.needDoorClosed(ctx, "sensor calibration"))
        return false;
    ctx.machineMs += 350.0;
    if (isAnalogMediaSensor(item)) {
        if (!m.needMedia(ctx, "media sensor calibration"))
            return false;
        const MediaLevels truth = trueLevels(m.seed, item);
        const QString linerKey = itemKey(stateKey::LinerLevelPrefix, item);
        const QString mediaKey = itemKey(stateKey::MediaLevelPrefix, item);
        if (command == cmd::sensor::CalibrateLiner) {
            // Step one: the level through liner alone.
            const int64_t liner = truth.liner + m.rng.between(-3, 3);
            m.state.setInteger(linerKey, liner);
            c.answer(uint32_t(liner));
            return true;
        }
        // Step two (or the one-step calibration): the level through tape or
        // ribbon, and the threshold between the two.
        const int64_t level = truth.media + m.rng.between(-3, 3);
        const int32_t dac = thresholdDac(m.state.integer(linerKey), level);
        m.state.setInteger(mediaKey, level);
        m.state.setInteger(itemKey(stateKey::SensorDacPrefix, item), dac);
        c.answer(uint32_t(dac));
        return true;
    }
    if (item == si::ColorSensor) {
        // Gains that bring the open light path to about 230.
        const ColorTriple dac{clampByte(128 * 230 / 245.0 + m.rng.range(-2, 2)), clampByte(140 * 230 / 245.0 + m.rng.range(-2, 2)),
                              clampByte(120 * 230 / 245.0 + m.rng.range(-2, 2))};
        m.state.setInteger(itemKey(stateKey::ColorDacPrefix, 0), dac.red);
        m.state.setInteger(itemKey(stateKey::ColorDacPrefix, 1), dac.green);
        m.state.setInteger(itemKey(stateKey::ColorDacPrefix, 2), dac.blue);
        c.answer(dac);
        return true;
    }
    // The fiducial detector: emitter levels that make white tape read about 200.
    if (!m.needMedia(ctx, "fiducial sensor calibration"))
        return false;
    const double reflect = sensors::tapeReflectance(m);
    auto emitter = [&] { return clampByte(200.0 / (reflect * 1.6) + m.rng.range(-2, 2)); };
    const ColorTriple e{emitter(), emitter(), emitter()};
    m.state.setInteger(itemKey(stateKey::DacPrefix, emitterItem::Red), e.red);
    m.state.setInteger(itemKey(stateKey::DacPrefix, emitterItem::Green), e.green);
    m.state.setInteger(itemKey(stateKey::DacPrefix, emitterItem::Blue), e.blue);
    c.answer(e);
    return true;
}

bool sensorSettingRead(Machine& m, Call& c)
{
    const uint32_t item = c.block.Target;
    c.ctx.machineMs += 1.0;
    if (isAnalogMediaSensor(item))
        c.answer(uint32_t(m.state.integer(itemKey(stateKey::SensorDacPrefix, item))));
    else if (item == settingItem::FiducialEmitterDacs)
        c.answer(sensors::emitterDacs(m));
    else
        c.answer(sensors::colorDacs(m));
    return true;
}

bool sensorSettingWrite(Machine& m, Call& c)
{
    const auto value = c.recordAs<int32_t>();
    if (value < 0 || value > 255)
        return c.ctx.refuse(QStringLiteral("DAC setting %1 of sensor %2 outside 0 to 255").arg(value).arg(c.block.Target));
    m.state.setInteger(itemKey(stateKey::SensorDacPrefix, c.block.Target), value);
    c.ctx.machineMs += 2.0;
    return true;
}

bool gapSensorDac(Machine& m, Call& c)
{
    GapDacRecord r;
    r.unused[0] = uint8_t(std::clamp<int64_t>(m.state.integer(itemKey(stateKey::LinerLevelPrefix, si::DownstreamGap)), 0, 255));
    r.unused[1] = uint8_t(std::clamp<int64_t>(m.state.integer(itemKey(stateKey::MediaLevelPrefix, si::DownstreamGap)), 0, 255));
    r.dac = uint8_t(m.state.integer(itemKey(stateKey::SensorDacPrefix, si::DownstreamGap)));
    c.answer(r);
    return true;
}

} // namespace mech
} // namespace sim
