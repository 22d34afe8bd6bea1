#include "vantor/screens/print/PrintRun.h"

#include <algorithm>
#include <cstring>

#include "protocol/CommandChannel.h"
#include "protocol/RequestCodes.h"
#include "vantor/screens/print/MonoBitmap.h"

namespace vantor::print {

namespace {
// The driver's own delay bound would be its business; an hour keeps a typo
// from turning into a run that never starts.
constexpr int kMaxDelayStartSeconds = 3600;
} // namespace

uint32_t PrintCommand(PrintKind kind, const CPrintSettings& values)
{
    using namespace protocol::cmd::print;
    const bool aging = kind == PrintKind::Aging;
    if (values.pattern == 1)
        return aging ? AgingPrint3 : Print3;
    if (values.pass == 1)
        return aging ? AgingPrint2 : Print2;
    return aging ? AgingPrint1 : Print1;
}

QString CycleFileName(const QString& prefix, int cycle)
{
    return prefix + QStringLiteral("%1.txt").arg(cycle, 3, 10, QLatin1Char('0'));
}

QString PrintToCutLine(int cycle, bool ok)
{
    return QStringLiteral("%1. Run print to cut test - %2").arg(cycle).arg(ok ? QStringLiteral("OK") : QStringLiteral("FAIL"));
}

platform::CallerBuffer WideText(const QString& text)
{
    const std::u16string wide = text.toStdU16String();
    platform::CallerBuffer buffer((wide.size() + 1) * 2);
    uint8_t* bytes = buffer.data();
    for (size_t i = 0; i < wide.size(); ++i) {
        bytes[2 * i] = uint8_t(wide[i] & 0xFF);
        bytes[2 * i + 1] = uint8_t(wide[i] >> 8);
    }
    bytes[2 * wide.size()] = 0;
    bytes[2 * wide.size() + 1] = 0;
    return buffer;
}

float BoxLength(const QString& text)
{
    bool ok = false;
    const float v = text.trimmed().toFloat(&ok);
    return ok ? v : 0.0f;
}

void PrintRun::build(const CPrintSettings& values)
{
    using namespace protocol;
    m_pattern.reset();
    m_image.reset();
    m_packed.reset();
    m_pattern->fileName = m_emptyText.address();
    m_image->fileName = m_emptyText.address();
    m_command = PrintCommand(m_kind, values);
    m_custom = values.pattern == 1;
    m_prefix = values.filePrefix;
    const uint32_t burn = uint32_t(std::clamp<int32_t>(values.burnSetting, 50, 150)); // the slider's range
    const uint32_t endCut = values.endCut != 0 ? 1 : 0;
    if (m_custom) {
        const std::vector<uint8_t> packed = PackMonoBitmapFile(values.imageFile);
        if (!packed.empty()) {
            m_packed = platform::CallerBuffer(packed.size());
            std::memcpy(m_packed.data(), packed.data(), packed.size());
            m_image->image = m_packed.address();
        }
        m_image->byteCount = uint32_t(packed.size());
        m_image->burnSetting = burn;
        m_image->printCompliance = values.printCompliance != 0 ? 1 : 0;
        m_image->endCut = endCut;
        m_delayMs = std::clamp<int32_t>(values.delayStart, 0, kMaxDelayStartSeconds) * 1000;
        m_image.setCommand(target::Print, m_command);
    } else {
        m_pattern->patternSize = values.size == 1 ? 4.0f : 2.0f;
        m_pattern->leadingEdgeOffset = values.offset;
        m_pattern->burnSetting = burn;
        m_pattern->endCut = endCut;
        m_delayMs = 0;
        m_pattern.setCommand(target::Print, m_command);
    }
}

void PrintRun::cycle(int cycle, int, RunSink&)
{
    if (m_custom) {
        protocol::sendCommand(*m_driver, protocol::IOCTL_PRN_PRINT, m_image.block(), nullptr, 0);
        return;
    }
    // The driver reads the name during the request; the previous cycle's
    // buffer is let go only after the record points at the new one.
    platform::CallerBuffer name = WideText(CycleFileName(m_prefix, cycle));
    m_pattern->fileName = name.address();
    m_fileName = std::move(name);
    // Not examined: a failed print counts as a done cycle and writes no line.
    protocol::sendCommand(*m_driver, protocol::IOCTL_PRN_PRINT, m_pattern.block(), nullptr, 0);
}

void PrintToCutRun::build(const CPrintToCutSettings& values)
{
    using namespace protocol;
    m_params.reset();
    m_prefix = values.filePrefix;
    PrintToCutParams& p = m_params.record();
    p.endCut = values.endCut != 0 ? 1 : 0;
    p.printSpeed = values.printSpeed >= 0 && values.printSpeed <= 2 ? uint32_t(values.printSpeed)
                                                                    : printSpeed::NoneChosen;
    p.vref = uint32_t(std::clamp<int32_t>(values.vref, 1, 255));
    p.crossWebOffset = values.crosswebOffset;
    p.downWebOffset = values.downwebOffset;
    p.totalBoxes = uint32_t(std::max<int32_t>(values.totalBoxes, 0));
    p.boxLength = BoxLength(values.boxLength);
    m_params.setCommand(target::Print, cmd::print::PrintToCut);
}

void PrintToCutRun::cycle(int cycle, int, RunSink& sink)
{
    platform::CallerBuffer name = WideText(CycleFileName(m_prefix, cycle));
    m_params->fileName = name.address();
    m_fileName = std::move(name);
    const bool ok = protocol::sendCommand(*m_driver, protocol::IOCTL_PRN_PRINT, m_params.block(), nullptr, 0);
    sink.addLine(PrintToCutLine(cycle, ok));
}

namespace {
PreparedRun preparePrint(PrintKind kind, const CPrintSettings& values, const DriverRef& driver)
{
    auto run = std::make_unique<PrintRun>(kind, driver);
    run->build(values);
    return PreparedRun::of(std::move(run));
}

PreparedRun preparePrintTest(const CPrintSettings& values, const DriverRef& driver)
{
    return preparePrint(PrintKind::Print, values, driver);
}

PreparedRun prepareAgingPrintTest(const CPrintSettings& values, const DriverRef& driver)
{
    return preparePrint(PrintKind::Aging, values, driver);
}

PreparedRun preparePrintToCut(const CPrintToCutSettings& values, const DriverRef& driver)
{
    auto run = std::make_unique<PrintToCutRun>(driver);
    run->build(values);
    return PreparedRun::of(std::move(run));
}
} // namespace

const TestDefinition<CPrintSettings> kPrintTest{nullptr, false, &preparePrintTest};
const TestDefinition<CPrintSettings> kAgingPrintTest{nullptr, false, &prepareAgingPrintTest};
const TestDefinition<CPrintToCutSettings> kPrintToCutTest{nullptr, false, &preparePrintToCut};

} // namespace vantor::print
