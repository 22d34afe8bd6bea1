#include "sim/printer/SimulatedDevices.h"

#include <cstdio>

#include "platform/Clock.h"
#include "platform/DevicePath.h"
#include "sim/printer/RequestContext.h"

namespace sim {

SimulatedDevices registerSimulatedDevices() { return registerSimulatedDevices(SimConfig::fromEnvironment()); }

SimulatedDevices registerSimulatedDevices(const SimConfig& config)
{
    for (const QString& w : config.warnings)
        std::fprintf(stderr, "simulator: %s\n", qPrintable(w));

    SimulatedDevices d;
    d.state = std::make_shared<StateStore>(platform::userFilePath(config.stateFile), config.seed);
    d.state->load();
    const QString printerName = QString::fromUtf16(kPrinterName);
    const QString keyboardName = QString::fromUtf16(kKeyboardName);
    platform::unregisterDevice(printerName);
    platform::unregisterDevice(keyboardName);

    std::shared_ptr<FaultInjector> faults;
    std::shared_ptr<ConfigWarnings> configWarnings;
    if (config.printerPresent) {
        d.printer = std::make_shared<SimulatedPrinter>(config, d.state);
        faults = d.printer->sharedFaults();
        configWarnings = d.printer->sharedConfigWarnings();
        platform::registerDevice(printerName, d.printer);
    } else {
        faults = std::make_shared<FaultInjector>(config.seed);
        faults->configure(config);
        configWarnings = std::make_shared<ConfigWarnings>(config.warnings);
    }
    if (config.keyboardPresent) {
        std::weak_ptr<StateStore> weakState = d.state;
        SimulatedKeyboard::Hooks hooks;
        hooks.loadLayout = [weakState] {
            auto s = weakState.lock();
            return s ? int32_t(s->integer(stateKey::KeyboardLayout)) : 1;
        };
        hooks.saveLayout = [weakState](int32_t layout) {
            if (auto s = weakState.lock()) {
                s->setInteger(stateKey::KeyboardLayout, layout);
                s->flush();
            }
        };
        hooks.admit = [faults](uint32_t code) {
            const int64_t latency = faults->latencyMs(code);
            const bool fail = faults->shouldFail(code);
            if (latency > 0)
                platform::sleep(platform::Millis(latency));
            return !fail;
        };
        hooks.begin = [weakState, configWarnings] {
            auto s = weakState.lock();
            const QString w = s ? s->takeWarning() : QString();
            const QStringList c = configWarnings->take();
            if (!w.isEmpty() || !c.isEmpty()) {
                RequestContext ctx;
                if (!w.isEmpty())
                    ctx.note(QStringLiteral("warning: ") + w);
                for (const QString& x : c)
                    ctx.note(QStringLiteral("warning: simulator configuration: ") + x);
            }
        };
        d.keyboard = std::make_shared<SimulatedKeyboard>(std::move(hooks));
        platform::registerDevice(keyboardName, d.keyboard);
    }
    return d;
}

void unregisterSimulatedDevices(SimulatedDevices& devices)
{
    platform::unregisterDevice(QString::fromUtf16(kPrinterName));
    platform::unregisterDevice(QString::fromUtf16(kKeyboardName));
    if (devices.state)
        devices.state->flush();
    devices = SimulatedDevices{};
}

} // namespace sim
