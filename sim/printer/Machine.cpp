#include "sim/printer/Machine.h"

#include "protocol/SensorItems.h"

namespace sim {

namespace si = protocol::sensorItem;

Machine::Machine(StateStore& s, const SimConfig& config)
    : state(s),
      rng(config.seed),
      seed(config.seed),
      timeScale(config.timeScale),
      sensorOverrides(config.sensorStates),
      tapeCartridge(config.tapeCartridgePresent),
      ribbonCartridge(config.ribbonCartridgePresent)
{
}

bool Machine::mediaPresent() const
{
    auto it = sensorOverrides.find(si::MediaPresent);
    return it == sensorOverrides.end() ? tapeCartridge : it->second != 0;
}

bool Machine::doorOpen() const
{
    auto it = sensorOverrides.find(si::Door);
    return it != sensorOverrides.end() && it->second != 0;
}

bool Machine::needDoorClosed(RequestContext& ctx, const char* what) const
{
    return !doorOpen() || ctx.refuse(QStringLiteral("%1: the door is open").arg(QLatin1String(what)));
}

bool Machine::needMedia(RequestContext& ctx, const char* what) const
{
    return mediaPresent() || ctx.refuse(QStringLiteral("%1: no media").arg(QLatin1String(what)));
}

} // namespace sim
