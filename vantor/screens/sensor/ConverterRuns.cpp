#include "vantor/screens/sensor/ConverterRuns.h"

#include <vector>

#include "protocol/CommandChannel.h"
#include "protocol/RequestCodes.h"

namespace vantor::sensor {

using namespace protocol;

void AdcReader::readPass()
{
    Readings values{};
    std::vector<ReadItem> items;
    for (int i = 0; i < kChannels; ++i)
        items.push_back({adcItem(i), ReadingSize::Four, &values[size_t(i)]});
    readItems(*m_driver, IOCTL_PRN_ADC_READ, m_block, kAdcReadCommand, items);
    std::lock_guard lock(m_lock);
    m_readings = values;
}

Readings AdcReader::readings() const
{
    std::lock_guard lock(m_lock);
    return m_readings;
}

const std::array<std::array<DacRow, kChannels>, kDacs>& dacTables()
{
    static const auto tables = [] {
        std::array<std::array<DacRow, kChannels>, kDacs> t{};
        for (int d = 0; d < kDacs; ++d)
            for (int c = 0; c < kChannels; ++c) {
                const uint32_t item = dacItem(d, c);
                t[size_t(d)][size_t(c)] = {item, dacFullScale(item)};
            }
        return t;
    }();
    return tables;
}

double dacLevel(int32_t typed, double fullScale)
{
    return double(typed) * fullScale * 0.00392156862745098;
}

DacWriter::DacWriter(DriverRef driver) : m_driver(std::move(driver)), m_words(size_t(kDacs * kChannels)) {}

void DacWriter::setPass(const std::array<bool, kDacs>& ticked, const std::array<int32_t, kDacs>& typed)
{
    std::lock_guard lock(m_lock);
    m_ticked = ticked;
    m_typed = typed;
    for (int d = 0; d < kDacs; ++d) {
        if (!ticked[size_t(d)])
            continue;
        m_levels[size_t(d)] = Levels{};
        for (int c = 0; c < kChannels; ++c)
            m_words[size_t(d * kChannels + c)] = uint32_t(typed[size_t(d)]) & 0xFFu;
    }
}

void DacWriter::writePass()
{
    std::array<bool, kDacs> ticked;
    std::array<int32_t, kDacs> typed;
    {
        std::lock_guard lock(m_lock);
        ticked = m_ticked;
        typed = m_typed;
    }
    for (int d = 0; d < kDacs; ++d) {
        if (!ticked[size_t(d)])
            continue;
        Levels levels{};
        for (int c = 0; c < kChannels; ++c) {
            const DacRow& row = dacTables()[size_t(d)][size_t(c)];
            const bool ok = sendCommand(*m_driver, IOCTL_PRN_REGISTER, m_block, row.item, kDacWriteCommand,
                                        wordAddress(d, c));
            levels[size_t(c)] = ok ? dacLevel(typed[size_t(d)], row.fullScale) : -1.0;
        }
        std::lock_guard lock(m_lock);
        m_levels[size_t(d)] = levels;
    }
}

std::array<Levels, kDacs> DacWriter::levels() const
{
    std::lock_guard lock(m_lock);
    return m_levels;
}

platform::CallerAddress DacWriter::wordAddress(int dac, int channel) const
{
    return m_words.address() + platform::CallerAddress((dac * kChannels + channel) * sizeof(uint32_t));
}

QString GpioGroupLabel(const GpioGroup& g)
{
    const int offset = int(g.firstPin) - int(g.bankFirstPin);
    return QStringLiteral("%1 (P%2 - P%3)")
        .arg(QLatin1String(kGpioBankNames[g.bankName]))
        .arg(offset + 7)
        .arg(offset);
}

int GpioPinNumber(const GpioGroup& g, int k)
{
    return int(g.firstPin) - int(g.bankFirstPin) + k;
}

char GpioPinType(const GpioGroup& g, int k)
{
    return kGpioPinTypes[g.firstPin + uint32_t(k)];
}

bool GpioGroupHasType(const GpioGroup& g, char type)
{
    for (int k = 0; k < 8; ++k)
        if (GpioPinType(g, k) == type)
            return true;
    return false;
}

QString GpioSetSuccess(uint32_t value)
{
    return QString::asprintf("Set 0x%02X Success", unsigned(value & 0xFFu));
}

void GpioRequest::prepare(Op op, uint32_t item, uint8_t value)
{
    std::lock_guard lock(m_lock);
    m_op = op;
    m_item = item;
    *m_word = value;
    m_result = {};
}

void GpioRequest::perform()
{
    Op op;
    uint32_t item;
    {
        std::lock_guard lock(m_lock);
        op = m_op;
        item = m_item;
    }
    Result r;
    if (op == Op::Read) {
        uint32_t state = 0;
        if (sendCommand(*m_driver, IOCTL_PRN_GPIO, m_block, item, kGpioReadCommand, 0, &state, sizeof state)) {
            r.status = kReadSuccess;
            r.shown = int32_t(state & 0xFFu);
        } else {
            r.status = kReadFail;
            r.shown = -1;
        }
    } else if (op == Op::Set) {
        if (sendCommand(*m_driver, IOCTL_PRN_GPIO, m_block, item, kGpioSetCommand, m_word.address())) {
            r.status = GpioSetSuccess(*m_word.get());
        } else {
            r.status = kSetFail;
            r.shown = -1;
        }
    }
    std::lock_guard lock(m_lock);
    m_result = r;
}

GpioRequest::Result GpioRequest::result() const
{
    std::lock_guard lock(m_lock);
    return m_result;
}

} // namespace vantor::sensor
