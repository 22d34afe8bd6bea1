// The general-purpose pin groups: output pins latch what is set (kept
// across restarts) and read back; input pins read a steady pattern of this
// unit, with the door interlock on CPU B0 pin 0. A set on a group without
// any output pin is refused; on a mixed group it changes the output pins
// only.
#include "protocol/ConverterItems.h"
#include "protocol/SensorItems.h"
#include "sim/printer/Factory.h"
#include "sim/printer/Machine.h"
#include "sim/printer/SensorModel.h"

namespace sim::mech {

using namespace protocol;

namespace {

uint8_t inputPattern(const Machine& m, const GpioGroup& g)
{
    Random r(Random::mix(m.seed, 700 + g.item));
    uint8_t bits = uint8_t(r.next());
    if (g.item == kFirstGpioItem)
        bits = uint8_t((bits & ~1u) | (sensors::state(m, sensorItem::Door) ? 1u : 0u));
    return bits;
}

} // namespace

bool gpioRead(Machine& m, Call& c)
{
    const GpioGroup& g = *gpioGroupOf(c.block.Target);
    const uint8_t outputs = gpioOutputMask(g);
    const uint8_t latch = uint8_t(m.state.integer(itemKey(stateKey::GpioPrefix, g.item)));
    c.answer(uint32_t((latch & outputs) | (inputPattern(m, g) & ~outputs & 0xFF)));
    c.ctx.machineMs += 0.5;
    return true;
}

bool gpioSet(Machine& m, Call& c)
{
    const GpioGroup& g = *gpioGroupOf(c.block.Target);
    const uint8_t outputs = gpioOutputMask(g);
    if (!outputs)
        return c.ctx.refuse(QStringLiteral("GPIO group %1 has no output pins").arg(g.item));
    const uint8_t value = uint8_t(c.recordAs<uint32_t>() & 0xFF);
    m.state.setInteger(itemKey(stateKey::GpioPrefix, g.item), value & outputs);
    c.ctx.machineMs += 0.5;
    return true;
}

} // namespace sim::mech
