#pragma once
// Configuration of the simulated devices: presence, time scale, seed, state
// file, injected faults and latencies. Read from \Simulator\simulator.ini
// below the device root and from DIAG_SIM_* environment variables (which
// win); tests build one directly. See docs/simulator.md.
#include <cstdint>
#include <map>
#include <mutex>
#include <QString>
#include <QStringList>

namespace sim {

// A fault rule. Keys: a number below 65536 is an engineering command number
// (any request whose command block carries it); a larger one is a request
// code (every request with that code, any family).
struct FaultRule {
    enum class Kind { Never, Always, EveryNth, Random };
    Kind kind = Kind::Never;
    uint64_t n = 0;     // EveryNth: the n-th, 2n-th, ... request fails
    double p = 0.0;     // Random: probability of each request failing

    static FaultRule always() { return {Kind::Always, 0, 0.0}; }
    static FaultRule everyNth(uint64_t n) { return {Kind::EveryNth, n, 0.0}; }
    static FaultRule random(double p) { return {Kind::Random, 0, p}; }
    // "always", "never", "every 3" (or "every:3"), "random 0.25" (or "random:0.25").
    static bool parse(const QString& text, FaultRule& out);
};

constexpr uint32_t kCommandKeyLimit = 0x10000;

// Bounds of the timing settings: a value outside them (negative, infinite,
// not a number, or too large) is refused with a warning, so that no request
// can sleep without end or overflow its sleep time.
constexpr double kMaxTimeScale = 1000.0;
constexpr int64_t kMaxRequestMsLimit = 600000; // ten minutes
constexpr int64_t kMaxLatencyMs = 60000;       // one minute per key

struct SimConfig {
    bool printerPresent = true;
    bool keyboardPresent = true;
    double timeScale = 1.0;        // 0: answer at once
    int64_t maxRequestMs = 3000;   // cap of the scaled time of one request (latency not included)
    uint64_t seed = 1;
    QString stateFile = QStringLiteral("\\Simulator\\printer-state.ini"); // device path
    std::map<uint32_t, FaultRule> faults;
    std::map<uint32_t, int64_t> latencyMs;
    // Machine conditions to rehearse with (MachineSettings.cpp): sensor
    // states by item (door open, media absent, a gap blocked) and whether
    // each cartridge is in.
    std::map<uint32_t, int32_t> sensorStates;
    bool tapeCartridgePresent = true;
    bool ribbonCartridgePresent = true;
    QStringList warnings;          // entries that were ignored (on standard error and in the trace)

    // Defaults, then the file below the device root, then the environment.
    static SimConfig fromEnvironment();
    // Applies "key=value" settings (file section or environment).
    void applyFile(const QString& hostPath);
    void applyEnvironment();
    // "3=always;11=every 3;0x186118=random 0.5"
    void parseFaults(const QString& text);
    // "3=200;0xB5F44=50"
    void parseLatency(const QString& text);

    static bool parseKey(const QString& text, uint32_t& key);
    // Sections [Sensors] and [Cartridges]; DIAG_SIM_SENSORS, DIAG_SIM_CARTRIDGES.
    bool applyMachineSetting(const QString& section, const QString& key, const QString& value);
    void applyMachineEnvironment();
    // Within the bounds above; false for anything else.
    static bool parseTimeScale(const QString& text, double& scale);
    static bool parseMilliseconds(const QString& text, int64_t limit, int64_t& ms);
};

// The configuration's warnings, handed to the trace once by the first
// request of either simulated device.
class ConfigWarnings {
public:
    explicit ConfigWarnings(QStringList warnings) : m_pending(std::move(warnings)) {}
    QStringList take();

private:
    std::mutex m_mutex;
    QStringList m_pending;
};

constexpr const char* kConfigDevicePath = "\\Simulator\\simulator.ini";

} // namespace sim
