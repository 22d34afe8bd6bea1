// The controller's three eight-channel DACs, the fiducial emitters among
// them (DAC 3 channels 1 to 3): each write is kept and survives restarts;
// the emitters read back through setting 96 and light the fiducial
// detector.
#include "protocol/ConverterItems.h"
#include "sim/printer/Factory.h"
#include "sim/printer/Machine.h"

namespace sim::mech {

bool dacWrite(Machine& m, Call& c)
{
    // The request carries the low byte of the caller's value.
    const uint8_t value = c.record[0];
    m.state.setInteger(itemKey(stateKey::DacPrefix, c.block.Target), value);
    c.ctx.machineMs += 1.0;
    return true;
}

} // namespace sim::mech
