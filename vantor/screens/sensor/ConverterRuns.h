#pragma once
// The ADC, DAC and GPIO tests without widgets: the channel and group tables,
// one pass of each worker and the texts the dialogs show. Each object is
// the worker's own: the dialog hands it its inputs while the worker is idle
// and takes a copy of the results when the worker posts that they are ready.
#include <QString>
#include <array>
#include <cstdint>
#include <mutex>
#include <optional>

#include "platform/CallerMemory.h"
#include "protocol/CommandBlock.h"
#include "protocol/ConverterItems.h"
#include "protocol/RequestCodes.h"
#include "vantor/framework/TestRun.h"

namespace vantor::sensor {

// --- ADC ------------------------------------------------------------------

constexpr uint32_t kAdcReadCommand = protocol::cmd::adc::Read;
constexpr int kChannels = 8;
using Readings = std::array<uint32_t, kChannels>;

class AdcReader {
public:
    explicit AdcReader(DriverRef driver) : m_driver(std::move(driver)) {}
    // One pass over items 88 to 95; a channel whose request fails reads
    // 0xFFFFFFFF and the others are still read.
    void readPass();
    Readings readings() const;

private:
    DriverRef m_driver;
    protocol::CommandBlock m_block;
    mutable std::mutex m_lock;
    Readings m_readings{};
};

// --- DAC ------------------------------------------------------------------

constexpr uint32_t kDacWriteCommand = protocol::cmd::reg::Write;
constexpr int kDacs = 3;
using Levels = std::array<double, kChannels>;

struct DacRow {
    uint32_t item;
    double fullScale;
};
// Rows of DAC 1, 2 and 3 (items 64 to 87 with their full-scale values).
const std::array<std::array<DacRow, kChannels>, kDacs>& dacTables();

// The level a channel should show after a write of `typed`: the integer as
// typed (not its low byte), times full scale, divided by 255.
double dacLevel(int32_t typed, double fullScale);

class DacWriter {
public:
    explicit DacWriter(DriverRef driver);
    // User-interface thread, worker idle: the ticked DACs and their typed
    // values; each row's value word gets the value's low 8 bits.
    void setPass(const std::array<bool, kDacs>& ticked, const std::array<int32_t, kDacs>& typed);
    // Worker: writes every row of each ticked DAC (DAC 1, 2, 3 in order).
    // A successful write shows the channel's level, a failed one -1.
    void writePass();
    std::array<Levels, kDacs> levels() const;
    // Caller word of a row (what Param carries).
    platform::CallerAddress wordAddress(int dac, int channel) const;

private:
    DriverRef m_driver;
    protocol::CommandBlock m_block;
    platform::CallerTable<uint32_t> m_words; // 24 value words, row order
    mutable std::mutex m_lock;
    std::array<bool, kDacs> m_ticked{};
    std::array<int32_t, kDacs> m_typed{};
    std::array<Levels, kDacs> m_levels{};
};

// --- GPIO -----------------------------------------------------------------

constexpr uint32_t kGpioReadCommand = protocol::cmd::gpio::Read;
constexpr uint32_t kGpioSetCommand = protocol::cmd::gpio::Set;
constexpr int kGpioGroupCount = 27;
constexpr int kGpioDefaultRow = 3; // CPU B0 (P31 - P24)

// "%s (P%d - P%d)": bank name, highest and lowest pin number of the group.
QString GpioGroupLabel(const protocol::GpioGroup& g);
// Pin k's number within its bank.
int GpioPinNumber(const protocol::GpioGroup& g, int k);
// 'I' or 'O'.
char GpioPinType(const protocol::GpioGroup& g, int k);
bool GpioGroupHasType(const protocol::GpioGroup& g, char type);

// "Set 0x%02X Success" and the other status texts.
QString GpioSetSuccess(uint32_t value);
inline const QString kNoGpioIn = QStringLiteral("No GPIOIN");
inline const QString kNoGpioOut = QStringLiteral("No GPIOOUT");
inline const QString kReadSuccess = QStringLiteral("Read Success");
inline const QString kReadFail = QStringLiteral("Read Fail");
inline const QString kSetFail = QStringLiteral("Set Fail");

class GpioRequest {
public:
    enum class Op { None, Read, Set };
    struct Result {
        QString status;
        // The value the pin panel shows now (-1 unknown); none: keep it.
        std::optional<int32_t> shown;
    };

    explicit GpioRequest(DriverRef driver) : m_driver(std::move(driver)) {}
    // User-interface thread, worker idle.
    void prepare(Op op, uint32_t item, uint8_t value = 0);
    // Worker: the one request.
    void perform();
    Result result() const;
    platform::CallerAddress valueAddress() const { return m_word.address(); }

private:
    DriverRef m_driver;
    protocol::CommandBlock m_block;
    platform::CallerRecord<uint32_t> m_word;
    mutable std::mutex m_lock;
    Op m_op = Op::None;
    uint32_t m_item = 0;
    Result m_result;
};

} // namespace vantor::sensor
