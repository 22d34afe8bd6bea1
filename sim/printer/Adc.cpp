// The controller's eight analogue inputs (12-bit): supply and rail
// voltages, the thermistor, a position pot, motor current and the
// reference, each with a little noise.
#include <algorithm>
#include <cmath>

#include "protocol/ConverterItems.h"
#include "sim/printer/Machine.h"
#include "sim/printer/SensorModel.h"

namespace sim::mech {

using namespace protocol;

bool adcRead(Machine& m, Call& c)
{
    const int channel = int(c.block.Target - kFirstAdcItem);
    double raw = 0;
    switch (channel) {
    case 0: raw = m.doorOpen() ? 12.0 : 2980.0; break;                     // head supply (cut with the door open)
    case 1: raw = 2048.0 - (sensors::headTemperature(m) - 25.0) * 20.0; break; // thermistor divider
    case 2: raw = 2110.0; break;                                           // ambient sensor
    case 3: raw = 3100.0; break;                                           // +5 V rail
    case 4: raw = 2048.0; break;                                           // +3.3 V rail
    case 5: raw = 1500.0 + 4.0 * double(m.rockerArmSteps); break;          // rocker arm pot
    case 6: raw = 180.0; break;                                            // motor current sense, idle
    default: raw = 4000.0; break;                                          // reference
    }
    raw += double(m.rng.between(-3, 3));
    c.answer(uint32_t(std::clamp(std::lround(raw), 0L, 4095L)));
    c.ctx.machineMs += 0.2;
    return true;
}

} // namespace sim::mech
