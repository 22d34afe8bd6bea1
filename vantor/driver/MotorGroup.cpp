#include "vantor/driver/MotorGroup.h"

#include "vantor/driver/RampProfile.h"

namespace vantor::driver {

using protocol::MotorBlock;
using protocol::RecordTables;
using protocol::SecondMotorBlock;

MoveRamps loadMoveRamps(const MotorGroupParams& group, RecordTables& tables, bool withRampDown)
{
    MoveRamps r;
    if (group.speedChoice == speedChoice::Constant) {
        r.speed = group.constantSpeed;
    } else {
        auto& up = tables.adopt(ReadRampProfile(group.rampUpProfile));
        r.rampUpTable = up.address();
        r.rampUpEntries = int32_t(up.count());
        if (up.empty())
            r.hasSpeed = false;
        else
            r.speed = int32_t(up[up.count() - 1]);
    }
    if (withRampDown && group.useRampDown) {
        auto& down = tables.adopt(ReadRampProfile(group.rampDownProfile));
        r.rampDownTable = down.address();
        r.rampDownEntries = int32_t(down.count());
    }
    return r;
}

bool fillMotorBlock(MotorBlock& block, const MotorGroupParams& group, RecordTables& tables)
{
    const MoveRamps r = loadMoveRamps(group, tables);
    if (r.hasSpeed)
        block.constantSpeed = r.speed;
    block.rampUpTable = r.rampUpTable;
    block.rampUpEntries = r.rampUpEntries;
    block.rampDownTable = r.rampDownTable;
    block.rampDownEntries = r.rampDownEntries;
    block.constantPulses = r.constantPulses(group.totalPulses);
    block.direction = group.direction;
    block.stepMode = group.stepMode;
    block.vref = group.vref;
    block.preHold = group.preHold;
    block.postHold = group.postHold;
    return r.hasSpeed;
}

bool fillSecondMotorBlock(SecondMotorBlock& block, const MotorGroupParams& group, RecordTables& tables)
{
    const MoveRamps r = loadMoveRamps(group, tables);
    if (r.hasSpeed)
        block.constantSpeed = r.speed;
    block.rampUpTable = r.rampUpTable;
    block.rampUpEntries = r.rampUpEntries;
    block.rampDownTable = r.rampDownTable;
    block.rampDownEntries = r.rampDownEntries;
    block.stepMode = group.stepMode;
    return r.hasSpeed;
}

} // namespace vantor::driver
