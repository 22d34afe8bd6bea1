#include "sim/printer/SimulatedPrinter.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "pellam/driver/UserRequests.h"
#include "platform/Clock.h"
#include "platform/Trace.h"
#include "vantor/driver/AxisMoveParams.h"
#include "vantor/driver/EndCutterParams.h"
#include "vantor/driver/HeadLiftParams.h"
#include "vantor/driver/MediaJamRecord.h"
#include "vantor/driver/PlatenLifeRecord.h"
#include "vantor/driver/PlatenMoveParams.h"
#include "vantor/driver/RequestCodes.h"
#include "vantor/driver/RibbonTensionParams.h"
#include "vantor/driver/XYLifeParams.h"

namespace sim {

using namespace vantor::driver;
namespace ud = pellam::driver;

namespace {

// The contract of every simulated command: its request code, target, the
// record Param must address and the exact output length.
struct CommandShape {
    uint32_t code;
    uint32_t command;
    uint32_t target;
    uint32_t recordSize;
    uint32_t outLen;
    bool (*run)(Machine&, Call&);
    const char* record;
};

const CommandShape kCommands[] = {
    {IOCTL_PRN_MOTION, cmd::motion::LoadPrintHead, target::PrintHead, sizeof(SequenceBlock), 0, mech::printHeadLoad, "print head load block"},
    {IOCTL_PRN_MOTION, cmd::motion::UnloadPrintHead, target::PrintHead, sizeof(SequenceBlock), 0, mech::printHeadLoad, "print head load block"},
    {IOCTL_PRN_MOTION, cmd::motion::PlatenMove, target::Platen, sizeof(PlatenMoveParams), 4, mech::platenMove, "PlatenMoveParams"},
    {IOCTL_PRN_MOTION, cmd::motion::RibbonMove, target::RibbonDrive, sizeof(RibbonMoveEntry), 4, mech::ribbonMove, "RibbonMoveEntry"},
    {IOCTL_PRN_MOTION, cmd::motion::RibbonTension, target::RibbonTension, sizeof(RibbonTensionParams), 0, mech::ribbonTension, "RibbonTensionParams"},
    {IOCTL_PRN_MOTION, cmd::motion::RibbonTensionSlipClutch, target::RibbonTension, sizeof(RibbonTensionParams), 4, mech::ribbonTension, "RibbonTensionParams"},
    {IOCTL_PRN_MOTION, cmd::motion::EjectorMove, target::Ejector, sizeof(EjectorMoveParams), 4, mech::ejectorMove, "EjectorMoveParams"},
    {IOCTL_PRN_MOTION, cmd::motion::EndCutterCut, target::EndCutter, sizeof(EndCutterParams), 0, mech::endCutter, "EndCutterParams"},
    {IOCTL_PRN_MOTION, cmd::motion::TapeRewind, target::TapeRewind, sizeof(SecondMotorBlock), 4, mech::tapeRewind, "tape rewind block"},
    {IOCTL_PRN_MOTION, cmd::motion::TapeOvershoot, target::TapeRewind, sizeof(SecondMotorBlock), 4, mech::tapeRewind, "tape rewind block"},
    {IOCTL_PRN_MOTION, cmd::motion::TapeRollTightness, target::TapeRewind, sizeof(SecondMotorBlock), 4, mech::tapeRewind, "tape rewind block"},
    {IOCTL_PRN_MOTION, cmd::motion::PlatenLife, target::Sequence, sizeof(PlatenLifeRecord), 0, mech::platenLife, "PlatenLifeRecord"},
    {IOCTL_PRN_MOTION, cmd::motion::MediaJam, target::Sequence, sizeof(MediaJamRecord), 0, mech::mediaJam, "MediaJamRecord"},
    {IOCTL_PRN_MOTION, cmd::motion::XYCrossWeb, target::XYCrossWeb, sizeof(CrossWebRecord), 0, mech::xyCrossWeb, "CrossWebRecord"},
    {IOCTL_PRN_MOTION, cmd::motion::XYDownWeb, target::XYDownWeb, sizeof(DownWebRecord), 0, mech::xyDownWeb, "DownWebRecord"},
    {IOCTL_PRN_MOTION, cmd::motion::XYPinch, target::XYPinch, sizeof(PinchRecord), 0, mech::xyPinch, "PinchRecord"},
    {IOCTL_PRN_MOTION, cmd::motion::PrintHeadLift, target::PrintHead, sizeof(HeadLiftParams), 0, mech::headLift, "HeadLiftParams"},
    {IOCTL_PRN_TEST_RUN, cmd::testRun::XYAging, target::TestRun, sizeof(XYLifeParams), 4, mech::xyLife, "XYLifeParams"},
    {IOCTL_PRN_TEST_RUN, cmd::testRun::XYHoming, target::TestRun, sizeof(XYLifeParams), 4, mech::xyLife, "XYLifeParams"},
    {IOCTL_PRN_TEST_RUN, cmd::testRun::XYPinch, target::TestRun, sizeof(PinchRecord), 4, mech::xyLife, "pinch block"},
};

const CommandShape* findCommand(uint32_t code, uint32_t command)
{
    for (const CommandShape& s : kCommands)
        if (s.code == code && s.command == command)
            return &s;
    return nullptr;
}

// Commands of the contract that this simulator does not answer yet.
struct Pending {
    uint32_t code;
    uint32_t command;
};
const Pending kNotBuilt[] = {
    {IOCTL_PRN_SENSOR_READ, cmd::sensor::Read}, {IOCTL_PRN_SENSOR_READ, cmd::sensor::CalibrateColor},
    {IOCTL_PRN_SENSOR_READ, cmd::sensor::CalibrateLiner}, {IOCTL_PRN_SENSOR_READ, cmd::sensor::CalibrateMedia},
    {IOCTL_PRN_REGISTER, cmd::reg::Write}, {IOCTL_PRN_REGISTER, cmd::reg::ReadSetting},
    {IOCTL_PRN_REGISTER, cmd::reg::WriteSetting}, {IOCTL_PRN_ADC_READ, cmd::adc::Read},
    {IOCTL_PRN_GPIO, cmd::gpio::Read}, {IOCTL_PRN_GPIO, cmd::gpio::Set},
    {IOCTL_PRN_TAGCHIP, cmd::tagChip::ReadTape}, {IOCTL_PRN_TAGCHIP, cmd::tagChip::ProgramTape},
    {IOCTL_PRN_TAGCHIP, cmd::tagChip::ReadRibbon}, {IOCTL_PRN_TAGCHIP, cmd::tagChip::ProgramRibbon},
    {IOCTL_PRN_PRINT, cmd::print::Print1}, {IOCTL_PRN_PRINT, cmd::print::Print2},
    {IOCTL_PRN_PRINT, cmd::print::Print3}, {IOCTL_PRN_PRINT, cmd::print::PrintToCut},
    {IOCTL_PRN_PRINT, cmd::print::AgingPrint1}, {IOCTL_PRN_PRINT, cmd::print::AgingPrint2},
    {IOCTL_PRN_PRINT, cmd::print::AgingPrint3}, {IOCTL_PRN_RIBBON_COLOR, cmd::ribbonColor::Measure},
    {IOCTL_PRN_TEST_RUN, cmd::testRun::Fiducial}, {IOCTL_PRN_PEB, cmd::peb::Set},
    {IOCTL_PRN_PEB, cmd::peb::SetItem}, {IOCTL_PRN_PEB, cmd::peb::Read}, {IOCTL_PRN_PEB, cmd::peb::SetWideItem},
    {IOCTL_PRN_CUT_FORCE, cmd::cutForce::Program}, {IOCTL_PRN_CUT_FORCE, cmd::cutForce::Read},
};

bool knownNotBuilt(uint32_t code, uint32_t command)
{
    return std::any_of(std::begin(kNotBuilt), std::end(kNotBuilt),
                       [&](const Pending& p) { return p.code == code && p.command == command; });
}

} // namespace

void SimulatedPrinter::nameRequests()
{
    for (uint32_t f : {0x801u, 0x802u, 0x803u, 0x804u, 0x805u, 0x806u, 0x807u, 0x808u, 0x809u, 0x80Cu, 0x80Du})
        platform::trace::nameRequest(engineeringCode(f), engineeringRequestName(engineeringCode(f)));
    for (uint32_t code : {ud::IOCTL_PRN_GET_DOT_WIDTH, ud::IOCTL_PRN_PRINT_PREPARE, ud::IOCTL_PRN_GET_BUSY,
                          ud::IOCTL_PRN_GET_PEB, ud::IOCTL_PRN_GET_USAGE, ud::IOCTL_PRN_JOB_BEGIN, ud::IOCTL_PRN_JOB_END,
                          ud::IOCTL_PRN_IMAGE_BEGIN, ud::IOCTL_PRN_IMAGE_END, ud::IOCTL_PRN_GET_CROSSWEB_OFFSET,
                          ud::IOCTL_PRN_GET_HEAD_RESISTANCE, ud::IOCTL_PRN_SET_HEAD_RESISTANCE,
                          ud::IOCTL_PRN_GET_CUT_FORCE_COEFFS, ud::IOCTL_PRN_GET_GAP_SENSOR_DAC,
                          ud::IOCTL_PRN_GET_TAPE_TAGCHIP_VERSION, ud::IOCTL_PRN_GET_RIBBON_TAGCHIP_VERSION,
                          ud::IOCTL_KBD_SET_LAYOUT, ud::IOCTL_KBD_GET_LAYOUT})
        platform::trace::nameRequest(code, ud::userRequestName(code));
}

bool SimulatedPrinter::isBuilt(uint32_t code, uint32_t command) { return findCommand(code, command) != nullptr; }

SimulatedPrinter::SimulatedPrinter(const SimConfig& config, std::shared_ptr<StateStore> state)
    : m_state(std::move(state)),
      m_faults(std::make_shared<FaultInjector>(config.seed)),
      m_configWarnings(std::make_shared<ConfigWarnings>(config.warnings)),
      m_machine(*m_state, config.seed),
      m_timeScale(0.0),
      m_maxRequestMs(0)
{
    setTimeScale(config.timeScale);
    setMaxRequestMs(config.maxRequestMs);
    m_faults->configure(config);
    nameRequests();
}

SimulatedPrinter::~SimulatedPrinter() { m_state->flush(); }

void SimulatedPrinter::setTimeScale(double scale)
{
    m_timeScale = scale >= 0.0 ? std::min(scale, kMaxTimeScale) : 0.0; // NaN gives 0
}

void SimulatedPrinter::setMaxRequestMs(int64_t ms) { m_maxRequestMs = std::clamp<int64_t>(ms, 0, kMaxRequestMsLimit); }

SimulatedPrinter::LastRequest SimulatedPrinter::lastRequest() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_last;
}

bool SimulatedPrinter::ioControl(uint32_t code, const void* in, uint32_t inLen, void* out, uint32_t outLen,
                                 uint32_t* bytesReturned)
{
    RequestContext ctx;
    bool ok = false;
    bool fault = false;
    bool contractOk = false;
    int64_t latency = 0;
    int64_t sleepMs = 0;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const QString warning = m_state->takeWarning();
        if (!warning.isEmpty())
            ctx.note(QStringLiteral("warning: ") + warning);
        for (const QString& w : m_configWarnings->take())
            ctx.note(QStringLiteral("warning: simulator configuration: ") + w);

        if ((code >> 16) == kEngineeringDeviceType) {
            CommandBlock block;
            const CommandShape* shape = nullptr;
            if (!in || inLen != kCommandBlockLength) {
                ctx.refuse(QStringLiteral("input length %1").arg(inLen));
            } else {
                std::memcpy(&block, in, sizeof block);
                shape = findCommand(code, block.Command);
                if (!shape)
                    ctx.refuse(knownNotBuilt(code, block.Command)
                                   ? QStringLiteral("command %1 not simulated yet").arg(block.Command)
                                   : QStringLiteral("unknown command %1").arg(block.Command));
                else if (block.Target != shape->target)
                    ctx.refuse(QStringLiteral("target %1").arg(block.Target));
                else if (outLen != shape->outLen || (shape->outLen && !out))
                    ctx.refuse(QStringLiteral("output length %1").arg(outLen));
                else
                    contractOk = true;
            }
            const uint8_t* record = contractOk ? ctx.in(shape->record, block.Param, shape->recordSize) : nullptr;
            if (contractOk && !record) {
                ctx.refuse(QStringLiteral("%1 address does not resolve").arg(QLatin1String(shape->record)));
                contractOk = false;
            }
            if (contractOk) {
                latency = m_faults->latencyMs(block.Command) + m_faults->latencyMs(code);
                const bool byCommand = m_faults->shouldFail(block.Command);
                const bool byCode = m_faults->shouldFail(code);
                fault = byCommand || byCode;
                if (fault) {
                    ctx.note(QStringLiteral("injected fault"));
                } else {
                    Call call{code, block, record, ctx};
                    ok = shape->run(m_machine, call);
                    if (ok) {
                        if (shape->outLen == 4)
                            std::memcpy(out, &call.result, 4);
                        if (bytesReturned)
                            *bytesReturned = call.answersCounter ? call.counter : shape->outLen;
                        ctx.commit();
                    }
                }
            }
        } else if ((code >> 16) == ud::kUserDeviceType) {
            contractOk = true;
            if (code == ud::IOCTL_PRN_GET_USAGE) {
                if (!in || inLen != 1 || *static_cast<const uint8_t*>(in) != ud::kUsageSelector)
                    contractOk = ctx.refuse(QStringLiteral("usage selector"));
                else if (!out || outLen != sizeof(ud::UsageRecord))
                    contractOk = ctx.refuse(QStringLiteral("output length %1").arg(outLen));
            } else if (code == ud::IOCTL_PRN_GET_TAPE_TAGCHIP_VERSION || code == ud::IOCTL_PRN_GET_RIBBON_TAGCHIP_VERSION) {
                if (inLen != 0)
                    contractOk = ctx.refuse(QStringLiteral("input length %1").arg(inLen));
                else if (!out || outLen != 1)
                    contractOk = ctx.refuse(QStringLiteral("output length %1").arg(outLen));
            } else {
                contractOk = ctx.refuse(ud::userRequestName(code) ? QStringLiteral("request not simulated yet")
                                                                 : QStringLiteral("unknown request"));
            }
            if (contractOk) {
                latency = m_faults->latencyMs(code);
                fault = m_faults->shouldFail(code);
                if (fault) {
                    ctx.note(QStringLiteral("injected fault"));
                } else if (code == ud::IOCTL_PRN_GET_USAGE) {
                    ud::UsageRecord u;
                    u.cutsMade = uint32_t(m_state->integer(stateKey::CutsMade));
                    u.inchesPrinted = uint32_t(m_state->integer(stateKey::InchesPrinted));
                    std::memcpy(out, &u, sizeof u);
                    ok = true;
                } else {
                    const uint8_t v = uint8_t(m_state->integer(code == ud::IOCTL_PRN_GET_TAPE_TAGCHIP_VERSION
                                                                   ? stateKey::TapeTagChipVersion
                                                                   : stateKey::RibbonTagChipVersion));
                    std::memcpy(out, &v, 1);
                    ok = true;
                }
                if (ok && bytesReturned)
                    *bytesReturned = outLen;
            }
        } else {
            ctx.refuse(QStringLiteral("unknown request"));
        }

        if (ok)
            m_state->flush();
        const double scale = m_timeScale.load();
        const double scaled = ok && scale > 0 ? std::min(ctx.machineMs * scale, double(m_maxRequestMs.load())) : 0.0;
        sleepMs = int64_t(std::llround(scaled)) + (contractOk ? latency : 0);
        m_last = LastRequest{ok, fault, ok ? ctx.machineMs : 0.0, sleepMs, ctx.refusal()};
    }
    // The move takes its time outside the lock, like the machine would.
    if (sleepMs > 0)
        platform::sleep(platform::Millis(sleepMs));
    return ok;
}

bool SimulatedPrinter::write(const void* data, uint32_t len, uint32_t* written)
{
    (void)data;
    (void)len;
    // Raster printing is not simulated yet.
    if (written)
        *written = 0;
    std::lock_guard<std::mutex> lock(m_mutex);
    m_last = LastRequest{false, false, 0.0, 0, QStringLiteral("printing not simulated yet")};
    return false;
}

} // namespace sim
