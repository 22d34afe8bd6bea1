#include "sim/printer/SimulatedPrinter.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "platform/Clock.h"
#include "platform/Trace.h"
#include "protocol/AxisMoveParams.h"
#include "protocol/Calibration.h"
#include "protocol/ConverterItems.h"
#include "protocol/EndCutterParams.h"
#include "protocol/FiducialTestParams.h"
#include "protocol/HeadLiftParams.h"
#include "protocol/MediaJamRecord.h"
#include "protocol/PlatenLifeRecord.h"
#include "protocol/PlatenMoveParams.h"
#include "protocol/PrintParams.h"
#include "protocol/RequestCodes.h"
#include "protocol/RibbonColorParams.h"
#include "protocol/RibbonTensionParams.h"
#include "protocol/SensorItems.h"
#include "protocol/TagChipImage.h"
#include "protocol/UserRequests.h"
#include "protocol/XYLifeParams.h"

namespace sim {

using namespace protocol;
namespace ud = protocol;

namespace {

// The output lengths a row allows (at most three).
struct OutLens {
    constexpr OutLens(std::initializer_list<uint32_t> lens)
    {
        for (uint32_t l : lens)
            if (n < 3)
                v[n++] = l;
    }
    bool has(uint32_t len) const { return std::find(v, v + n, len) != v + n; }
    uint32_t v[3] = {};
    int n = 0;
};

using TargetSet = bool (*)(uint32_t);
using Run = bool (*)(Machine&, Call&);

template <uint32_t T>
bool only(uint32_t t)
{
    return t == T;
}
bool onOffSensors(uint32_t t) { return isOnOffSensor(t); }
bool analogSensors(uint32_t t) { return isAnalogSensor(t); }
bool colorSensors(uint32_t t) { return isColorSensor(t); }
bool mediaSensors(uint32_t t) { return isAnalogMediaSensor(t); }
bool colorDacs(uint32_t t) { return t == settingItem::FiducialEmitterDacs || t == settingItem::ColorSensorDacs; }
bool dacChannels(uint32_t t) { return isDacItem(t); }
bool adcChannels(uint32_t t) { return t >= kFirstAdcItem && t <= kLastAdcItem; }
bool gpioGroups(uint32_t t) { return isGpioItem(t); }
bool pebCalibrateTargets(uint32_t t) { return t >= kFirstPebCalibrateTarget && t <= kLastPebCalibrateTarget; }
bool pebSaveTargets(uint32_t t)
{
    return (t >= pebItem::DownstreamSideNotch && t <= pebItem::PrintlineToXYCut) || t == pebItem::XYHomeToTapeCenter ||
           t == pebItem::CrossWebPrintOffset;
}
bool pebWideTargets(uint32_t t)
{
    return t == pebItem::PrintlineToXYCut || t == pebItem::XYHomeToTapeCenter || t == pebItem::CrossWebPrintOffset;
}
bool cutForceItems(uint32_t t) { return t == cutForceItem::M || t == cutForceItem::C; }

// One row of the engineering contract: a command for a set of targets, the
// output lengths it answers with, and what Param is: the address of a
// record of recordSize bytes, or (recordSize 0) not used.
struct CommandRow {
    uint32_t code;
    uint32_t command;
    TargetSet targets;
    OutLens out;
    uint32_t recordSize;
    Run run;
    const char* record;
};

const CommandRow kCommands[] = {
    // Motion.
    {IOCTL_PRN_MOTION, cmd::motion::LoadPrintHead, only<target::PrintHead>, {0}, sizeof(SequenceBlock), mech::printHeadLoad, "print head load block"},
    {IOCTL_PRN_MOTION, cmd::motion::UnloadPrintHead, only<target::PrintHead>, {0}, sizeof(SequenceBlock), mech::printHeadLoad, "print head load block"},
    {IOCTL_PRN_MOTION, cmd::motion::PlatenMove, only<target::Platen>, {4}, sizeof(PlatenMoveParams), mech::platenMove, "PlatenMoveParams"},
    {IOCTL_PRN_MOTION, cmd::motion::RibbonMove, only<target::RibbonDrive>, {4}, sizeof(RibbonMoveEntry), mech::ribbonMove, "RibbonMoveEntry"},
    {IOCTL_PRN_MOTION, cmd::motion::RibbonTension, only<target::RibbonTension>, {0}, sizeof(RibbonTensionParams), mech::ribbonTension, "RibbonTensionParams"},
    {IOCTL_PRN_MOTION, cmd::motion::RibbonTensionSlipClutch, only<target::RibbonTension>, {4}, sizeof(RibbonTensionParams), mech::ribbonTension, "RibbonTensionParams"},
    {IOCTL_PRN_MOTION, cmd::motion::EjectorMove, only<target::Ejector>, {4}, sizeof(EjectorMoveParams), mech::ejectorMove, "EjectorMoveParams"},
    {IOCTL_PRN_MOTION, cmd::motion::EndCutterCut, only<target::EndCutter>, {0}, sizeof(EndCutterParams), mech::endCutter, "EndCutterParams"},
    {IOCTL_PRN_MOTION, cmd::motion::TapeRewind, only<target::TapeRewind>, {4}, sizeof(SecondMotorBlock), mech::tapeRewind, "tape rewind block"},
    {IOCTL_PRN_MOTION, cmd::motion::TapeOvershoot, only<target::TapeRewind>, {4}, sizeof(SecondMotorBlock), mech::tapeRewind, "tape rewind block"},
    {IOCTL_PRN_MOTION, cmd::motion::TapeRollTightness, only<target::TapeRewind>, {4}, sizeof(SecondMotorBlock), mech::tapeRewind, "tape rewind block"},
    {IOCTL_PRN_MOTION, cmd::motion::PlatenLife, only<target::Sequence>, {0}, sizeof(PlatenLifeRecord), mech::platenLife, "PlatenLifeRecord"},
    {IOCTL_PRN_MOTION, cmd::motion::MediaJam, only<target::Sequence>, {0}, sizeof(MediaJamRecord), mech::mediaJam, "MediaJamRecord"},
    {IOCTL_PRN_MOTION, cmd::motion::XYCrossWeb, only<target::XYCrossWeb>, {0}, sizeof(CrossWebRecord), mech::xyCrossWeb, "CrossWebRecord"},
    {IOCTL_PRN_MOTION, cmd::motion::XYDownWeb, only<target::XYDownWeb>, {0}, sizeof(DownWebRecord), mech::xyDownWeb, "DownWebRecord"},
    {IOCTL_PRN_MOTION, cmd::motion::XYPinch, only<target::XYPinch>, {0}, sizeof(PinchRecord), mech::xyPinch, "PinchRecord"},
    {IOCTL_PRN_MOTION, cmd::motion::PrintHeadLift, only<target::PrintHead>, {0}, sizeof(HeadLiftParams), mech::headLift, "HeadLiftParams"},
    // Test runs.
    {IOCTL_PRN_TEST_RUN, cmd::testRun::XYAging, only<target::TestRun>, {4}, sizeof(XYLifeParams), mech::xyLife, "XYLifeParams"},
    {IOCTL_PRN_TEST_RUN, cmd::testRun::XYHoming, only<target::TestRun>, {4}, sizeof(XYLifeParams), mech::xyLife, "XYLifeParams"},
    {IOCTL_PRN_TEST_RUN, cmd::testRun::XYPinch, only<target::TestRun>, {4}, sizeof(PinchRecord), mech::xyLife, "pinch block"},
    {IOCTL_PRN_TEST_RUN, cmd::testRun::Fiducial, only<target::TestRun>, {0}, sizeof(FiducialTestParams), mech::fiducialRun, "FiducialTestParams"},
    // Sensors: the output size follows the item's kind.
    {IOCTL_PRN_SENSOR_READ, cmd::sensor::Read, onOffSensors, {4}, 0, mech::sensorRead, nullptr},
    {IOCTL_PRN_SENSOR_READ, cmd::sensor::Read, analogSensors, {8}, 0, mech::sensorRead, nullptr},
    {IOCTL_PRN_SENSOR_READ, cmd::sensor::Read, colorSensors, {3}, 0, mech::sensorRead, nullptr},
    {IOCTL_PRN_SENSOR_READ, cmd::sensor::CalibrateColor, mediaSensors, {4}, 0, mech::sensorCalibrate, nullptr},
    {IOCTL_PRN_SENSOR_READ, cmd::sensor::CalibrateColor, colorSensors, {3}, 0, mech::sensorCalibrate, nullptr},
    {IOCTL_PRN_SENSOR_READ, cmd::sensor::CalibrateLiner, mediaSensors, {4}, 0, mech::sensorCalibrate, nullptr},
    {IOCTL_PRN_SENSOR_READ, cmd::sensor::CalibrateLiner, colorSensors, {3}, 0, mech::sensorCalibrate, nullptr},
    {IOCTL_PRN_SENSOR_READ, cmd::sensor::CalibrateMedia, mediaSensors, {4}, 0, mech::sensorCalibrate, nullptr},
    {IOCTL_PRN_SENSOR_READ, cmd::sensor::CalibrateMedia, colorSensors, {3}, 0, mech::sensorCalibrate, nullptr},
    // Registers: sensor settings, DAC channels and emitters.
    {IOCTL_PRN_REGISTER, cmd::reg::ReadSetting, mediaSensors, {4}, 0, mech::sensorSettingRead, nullptr},
    {IOCTL_PRN_REGISTER, cmd::reg::ReadSetting, colorDacs, {3}, 0, mech::sensorSettingRead, nullptr},
    {IOCTL_PRN_REGISTER, cmd::reg::WriteSetting, mediaSensors, {0}, 4, mech::sensorSettingWrite, "setting word"},
    // The low byte of the caller's value word (the fiducial dialog points at a byte).
    {IOCTL_PRN_REGISTER, cmd::reg::Write, dacChannels, {0}, 1, mech::dacWrite, "DAC value"},
    {IOCTL_PRN_ADC_READ, cmd::adc::Read, adcChannels, {4}, 0, mech::adcRead, nullptr},
    {IOCTL_PRN_GPIO, cmd::gpio::Read, gpioGroups, {4}, 0, mech::gpioRead, nullptr},
    {IOCTL_PRN_GPIO, cmd::gpio::Set, gpioGroups, {0}, 4, mech::gpioSet, "GPIO state word"},
    {IOCTL_PRN_RIBBON_COLOR, cmd::ribbonColor::Measure, only<target::RibbonColor>, {0}, sizeof(RibbonColorParams), mech::ribbonColorRun, "RibbonColorParams"},
    // Cartridge memories.
    {IOCTL_PRN_TAGCHIP, cmd::tagChip::ReadTape, only<target::TagChip>, {kTagChipImageSize}, 0, mech::tagChipRead, nullptr},
    {IOCTL_PRN_TAGCHIP, cmd::tagChip::ProgramTape, only<target::TagChip>, {kTagChipProgramReplySize}, kTagChipImageSize, mech::tagChipProgram, "tape TagChip image"},
    {IOCTL_PRN_TAGCHIP, cmd::tagChip::ReadRibbon, only<target::TagChip>, {kTagChipImageSize}, 0, mech::tagChipRead, nullptr},
    {IOCTL_PRN_TAGCHIP, cmd::tagChip::ProgramRibbon, only<target::TagChip>, {kTagChipProgramReplySize}, kTagChipImageSize, mech::tagChipProgram, "ribbon TagChip image"},
    // PEB values and cut force: 46 answers nothing to the engineering
    // program and 4 bytes to the user program.
    {IOCTL_PRN_PEB, cmd::peb::Calibrate, pebCalibrateTargets, {0}, 0, mech::pebCalibrate, nullptr},
    {IOCTL_PRN_PEB, cmd::peb::Save, pebSaveTargets, {0, 4}, 4, mech::pebSave, "PEB value"},
    {IOCTL_PRN_PEB, cmd::peb::Read, only<kPebReadAllTarget>, {sizeof(PebRecord)}, 0, mech::pebRead, nullptr},
    {IOCTL_PRN_PEB, cmd::peb::SetWideItem, pebWideTargets, {0, 4}, 4, mech::pebSave, "PEB value"},
    {IOCTL_PRN_CUT_FORCE, cmd::cutForce::Program, cutForceItems, {0}, 4, mech::cutForceProgram, "cut-force value"},
    {IOCTL_PRN_CUT_FORCE, cmd::cutForce::Read, only<cutForceItem::ReadBoth>, {8}, 0, mech::cutForceRead, nullptr},
    // Prints.
    {IOCTL_PRN_PRINT, cmd::print::Print1, only<target::Print>, {0}, sizeof(PrintPatternParams), mech::printPattern, "PrintPatternParams"},
    {IOCTL_PRN_PRINT, cmd::print::Print2, only<target::Print>, {0}, sizeof(PrintPatternParams), mech::printPattern, "PrintPatternParams"},
    {IOCTL_PRN_PRINT, cmd::print::AgingPrint1, only<target::Print>, {0}, sizeof(PrintPatternParams), mech::printPattern, "PrintPatternParams"},
    {IOCTL_PRN_PRINT, cmd::print::AgingPrint2, only<target::Print>, {0}, sizeof(PrintPatternParams), mech::printPattern, "PrintPatternParams"},
    {IOCTL_PRN_PRINT, cmd::print::Print3, only<target::Print>, {0}, sizeof(PrintImageParams), mech::printImage, "PrintImageParams"},
    {IOCTL_PRN_PRINT, cmd::print::AgingPrint3, only<target::Print>, {0}, sizeof(PrintImageParams), mech::printImage, "PrintImageParams"},
    {IOCTL_PRN_PRINT, cmd::print::PrintToCut, only<target::Print>, {0}, sizeof(PrintToCutParams), mech::printToCut, "PrintToCutParams"},
};

// One row of the user family: input and output lengths.
struct UserRow {
    uint32_t code;
    uint32_t inLen;
    uint32_t outLen;
    Run run;
};

const UserRow kUserRequests[] = {
    {ud::IOCTL_PRN_GET_DOT_WIDTH, 0, 4, mech::dotWidth},
    {ud::IOCTL_PRN_PRINT_PREPARE, 0, 0, mech::printPrepare},
    {ud::IOCTL_PRN_GET_BUSY, 0, 4, mech::busy},
    {ud::IOCTL_PRN_GET_PEB, 0, sizeof(ud::PebRecord), mech::userPeb},
    {ud::IOCTL_PRN_GET_USAGE, 1, sizeof(ud::UsageRecord), mech::usage},
    {ud::IOCTL_PRN_JOB_BEGIN, 0, 0, mech::jobBegin},
    {ud::IOCTL_PRN_JOB_END, 0, 0, mech::jobEnd},
    {ud::IOCTL_PRN_IMAGE_BEGIN, 0, 0, mech::imageBegin},
    {ud::IOCTL_PRN_IMAGE_END, 0, 0, mech::imageEnd},
    {ud::IOCTL_PRN_GET_CROSSWEB_OFFSET, 0, 4, mech::userCrossWebOffset},
    {ud::IOCTL_PRN_GET_HEAD_RESISTANCE, 0, 4, mech::headResistanceGet},
    {ud::IOCTL_PRN_SET_HEAD_RESISTANCE, 4, 0, mech::headResistanceSet},
    {ud::IOCTL_PRN_GET_CUT_FORCE_COEFFS, 0, sizeof(ud::CutForceCoeffs), mech::userCutForceCoeffs},
    {ud::IOCTL_PRN_GET_GAP_SENSOR_DAC, 0, sizeof(ud::GapDacRecord), mech::gapSensorDac},
    {ud::IOCTL_PRN_GET_TAPE_TAGCHIP_VERSION, 0, 1, mech::tagChipVersion},
    {ud::IOCTL_PRN_GET_RIBBON_TAGCHIP_VERSION, 0, 1, mech::tagChipVersion},
};

const UserRow* findUserRequest(uint32_t code)
{
    for (const UserRow& r : kUserRequests)
        if (r.code == code)
            return &r;
    return nullptr;
}

QString requestLabel(uint32_t code)
{
    if (const char* n = engineeringRequestName(code))
        return QLatin1String(n);
    if (const char* n = ud::userRequestName(code))
        return QLatin1String(n);
    return QStringLiteral("request 0x%1").arg(code, 0, 16);
}

} // namespace

void reportRefusal(const QString& text)
{
    // Said on standard error as well as in the trace, so that a simulator
    // limit is never taken for a hardware fault. A run of the same refusal
    // (a print of thousands of rows) is said once with its count.
    static std::mutex mutex;
    static QString last;
    static int64_t repeats = 0;
    std::lock_guard<std::mutex> lock(mutex);
    if (text == last) {
        ++repeats;
        if (repeats == 1 || repeats % 1000 == 0)
            std::fprintf(stderr, "simulator: (%lld more times) %s\n", static_cast<long long>(repeats), qPrintable(text));
        return;
    }
    last = text;
    repeats = 0;
    std::fprintf(stderr, "simulator: %s\n", qPrintable(text));
}

void SimulatedPrinter::nameRequests()
{
    for (uint32_t f : {0x801u, 0x802u, 0x803u, 0x804u, 0x805u, 0x806u, 0x807u, 0x808u, 0x809u, 0x80Cu, 0x80Du})
        platform::trace::nameRequest(engineeringCode(f), engineeringRequestName(engineeringCode(f)));
    for (const UserRow& r : kUserRequests)
        platform::trace::nameRequest(r.code, ud::userRequestName(r.code));
    platform::trace::nameRequest(ud::IOCTL_KBD_SET_LAYOUT, ud::userRequestName(ud::IOCTL_KBD_SET_LAYOUT));
    platform::trace::nameRequest(ud::IOCTL_KBD_GET_LAYOUT, ud::userRequestName(ud::IOCTL_KBD_GET_LAYOUT));
}

bool SimulatedPrinter::isBuilt(uint32_t code, uint32_t command)
{
    if ((code >> 16) == ud::kUserDeviceType)
        return findUserRequest(code) != nullptr;
    return std::any_of(std::begin(kCommands), std::end(kCommands),
                       [&](const CommandRow& r) { return r.code == code && r.command == command; });
}

SimulatedPrinter::SimulatedPrinter(const SimConfig& config, std::shared_ptr<StateStore> state)
    : m_state(std::move(state)),
      m_faults(std::make_shared<FaultInjector>(config.seed)),
      m_configWarnings(std::make_shared<ConfigWarnings>(config.warnings)),
      m_machine(*m_state, config),
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
    std::lock_guard<std::mutex> lock(m_mutex);
    m_machine.timeScale = m_timeScale.load();
}

void SimulatedPrinter::setMaxRequestMs(int64_t ms) { m_maxRequestMs = std::clamp<int64_t>(ms, 0, kMaxRequestMsLimit); }

SimulatedPrinter::LastRequest SimulatedPrinter::lastRequest() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_last;
}

// Checks an engineering-family request against the contract; the row that
// answers it, or null (refused on ctx).
static const CommandRow* checkCommand(RequestContext& ctx, uint32_t code, const void* in, uint32_t inLen, void* out,
                                      uint32_t outLen, CommandBlock& block)
{
    if (!engineeringRequestName(code)) {
        ctx.refuse(QStringLiteral("unknown request"));
        return nullptr;
    }
    if (!in || inLen != kCommandBlockLength) {
        ctx.refuse(QStringLiteral("input length %1").arg(inLen));
        return nullptr;
    }
    std::memcpy(&block, in, sizeof block);
    bool known = false;
    const CommandRow* row = nullptr;
    for (const CommandRow& r : kCommands) {
        if (r.code != code || r.command != block.Command)
            continue;
        known = true;
        if (r.targets(block.Target)) {
            row = &r;
            break;
        }
    }
    if (!known) {
        ctx.refuse(QStringLiteral("unknown command %1").arg(block.Command));
        return nullptr;
    }
    if (!row) {
        ctx.refuse(QStringLiteral("command %1 does not take target %2").arg(block.Command).arg(block.Target));
        return nullptr;
    }
    if (!row->out.has(outLen) || (outLen && !out)) {
        ctx.refuse(QStringLiteral("output length %1 for command %2, target %3").arg(outLen).arg(block.Command).arg(block.Target));
        return nullptr;
    }
    return row;
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
        m_state->refresh();
        const QString warning = m_state->takeWarning();
        if (!warning.isEmpty())
            ctx.note(QStringLiteral("warning: ") + warning);
        for (const QString& w : m_configWarnings->take())
            ctx.note(QStringLiteral("warning: simulator configuration: ") + w);
        m_state->beginRequest();

        Call call{code, CommandBlock{}, nullptr, nullptr, 0, outLen, ctx};
        Run run = nullptr;
        if ((code >> 16) == kEngineeringDeviceType) {
            const CommandRow* row = checkCommand(ctx, code, in, inLen, out, outLen, call.block);
            if (row && row->recordSize) {
                call.record = ctx.in(row->record, call.block.Param, row->recordSize);
                if (!call.record)
                    ctx.refuse(QStringLiteral("%1 address does not resolve").arg(QLatin1String(row->record)));
            }
            if (row && (!row->recordSize || call.record)) {
                contractOk = true;
                run = row->run;
                latency = m_faults->latencyMs(call.block.Command) + m_faults->latencyMs(code);
                const bool byCommand = m_faults->shouldFail(call.block.Command);
                const bool byCode = m_faults->shouldFail(code);
                fault = byCommand || byCode;
            }
        } else if (const UserRow* row = (code >> 16) == ud::kUserDeviceType ? findUserRequest(code) : nullptr) {
            if (inLen != row->inLen || (inLen && !in))
                ctx.refuse(QStringLiteral("input length %1").arg(inLen));
            else if (outLen != row->outLen || (outLen && !out))
                ctx.refuse(QStringLiteral("output length %1").arg(outLen));
            else if (code == ud::IOCTL_PRN_GET_USAGE && *static_cast<const uint8_t*>(in) != ud::kUsageSelector)
                ctx.refuse(QStringLiteral("usage selector 0x%1").arg(*static_cast<const uint8_t*>(in), 2, 16, QLatin1Char('0')));
            else {
                contractOk = true;
                run = row->run;
                call.input = static_cast<const uint8_t*>(in);
                call.inLen = inLen;
                latency = m_faults->latencyMs(code);
                fault = m_faults->shouldFail(code);
            }
        } else {
            ctx.refuse(QStringLiteral("unknown request"));
        }

        if (contractOk && fault) {
            ctx.note(QStringLiteral("injected fault"));
        } else if (contractOk) {
            ok = run(m_machine, call);
            if (ok) {
                if (outLen) {
                    if (call.outputSet)
                        std::memcpy(out, call.output.data(), std::min<size_t>(outLen, call.output.size()));
                    else
                        std::memcpy(out, &call.result, std::min<size_t>(outLen, 4));
                }
                if (bytesReturned)
                    *bytesReturned = call.answersCounter ? call.counter : outLen;
                ctx.commit();
            }
        }
        m_state->endRequest(ok);
        if (ok)
            m_state->flush();
        if (!ok && !ctx.refusal().isEmpty())
            reportRefusal(requestLabel(code) + QStringLiteral(" refused: ") + ctx.refusal());

        const double scale = m_timeScale.load();
        const double scaled = ok && scale > 0 ? std::min(ctx.machineMs * scale, double(m_maxRequestMs.load())) : 0.0;
        sleepMs = int64_t(std::llround(scaled)) + (contractOk ? std::min(latency, kMaxLatencyMs) : 0);
        m_last = LastRequest{ok, fault, ok ? ctx.machineMs : 0.0, sleepMs, ctx.refusal()};
    }
    // The move takes its time outside the lock, like the machine would.
    if (sleepMs > 0)
        platform::sleep(platform::Millis(sleepMs));
    return ok;
}

bool SimulatedPrinter::write(const void* data, uint32_t len, uint32_t* written)
{
    RequestContext ctx;
    std::lock_guard<std::mutex> lock(m_mutex);
    const bool ok = data && mech::rasterRow(m_machine, ctx, static_cast<const uint8_t*>(data), len);
    if (!data)
        ctx.refuse(QStringLiteral("no data"));
    if (written)
        *written = ok ? len : 0;
    if (!ok)
        reportRefusal(QStringLiteral("raster row refused: ") + ctx.refusal());
    m_last = LastRequest{ok, false, 0.0, 0, ctx.refusal()};
    return ok;
}

} // namespace sim
