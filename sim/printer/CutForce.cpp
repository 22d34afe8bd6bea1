// The XY cutter's cut-force line, force = M x depth + C: two
// single-precision values written one at a time (48) and read together
// (49); the user program reads them in thousandths.
#include <algorithm>
#include <climits>
#include <cmath>

#include "protocol/Calibration.h"
#include "sim/printer/Machine.h"

namespace sim::mech {

using namespace protocol;

bool cutForceProgram(Machine& m, Call& c)
{
    const auto v = c.recordAs<float>();
    if (!std::isfinite(v))
        return c.ctx.refuse(QStringLiteral("cut-force value is not a number"));
    m.state.setReal(c.block.Target == cutForceItem::M ? stateKey::CutForceM : stateKey::CutForceC, double(v));
    c.ctx.machineMs += 5.0;
    return true;
}

bool cutForceRead(Machine& m, Call& c)
{
    c.answer(CutForceFloats{float(m.state.real(stateKey::CutForceM)), float(m.state.real(stateKey::CutForceC))});
    c.ctx.machineMs += 2.0;
    return true;
}

bool userCutForceCoeffs(Machine& m, Call& c)
{
    auto thousandths = [](double v) {
        return int32_t(std::clamp<double>(std::round(v * 1000.0), INT32_MIN, INT32_MAX));
    };
    c.answer(CutForceCoeffs{thousandths(m.state.real(stateKey::CutForceM)), thousandths(m.state.real(stateKey::CutForceC))});
    return true;
}

} // namespace sim::mech
