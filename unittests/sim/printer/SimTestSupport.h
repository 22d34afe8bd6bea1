#pragma once
// A fresh device root, a manual clock and the simulated devices per test.
#include <cstring>
#include <memory>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "platform/Clock.h"
#include "platform/DevicePath.h"
#include "platform/Trace.h"
#include "sim/printer/SimulatedDevices.h"
#include "protocol/CommandChannel.h"
#include "protocol/DriverRecord.h"
#include "protocol/PlatenMoveParams.h"
#include "vantor/driver/RampProfile.h"
#include "protocol/RequestCodes.h"

namespace simtest {

using namespace protocol;
using namespace vantor::driver;

class SimFixture : public ::testing::Test {
protected:
    QTemporaryDir root;
    platform::ManualClock clock;
    std::unique_ptr<platform::ScopedClock> scoped;
    sim::SimulatedDevices devices;
    platform::DeviceHandle prn;

    static sim::SimConfig config(double timeScale = 0.0, uint64_t seed = 7)
    {
        sim::SimConfig c;
        c.timeScale = timeScale;
        c.seed = seed;
        return c;
    }

    void SetUp() override
    {
        platform::setDeviceRoot(root.path());
        scoped = std::make_unique<platform::ScopedClock>(clock);
    }
    void TearDown() override
    {
        stop();
        platform::trace::setFile(QString());
        scoped.reset();
        platform::setDeviceRoot(QString());
    }
    void start(const sim::SimConfig& c = config())
    {
        devices = sim::registerSimulatedDevices(c);
        prn = openPrinter();
    }
    void stop()
    {
        prn.close();
        sim::unregisterSimulatedDevices(devices);
    }
    void restart(const sim::SimConfig& c = config())
    {
        stop();
        start(c);
    }
    sim::SimulatedPrinter& printer() { return *devices.printer; }

    // A constant-speed forward platen move of `pulses` at 1000 pps, full steps.
    static void fillPlaten(DriverRecord<PlatenMoveParams>& rec, int32_t pulses, bool detail)
    {
        rec.reset();
        rec->platen.direction = 1;
        rec->platen.constantPulses = pulses;
        rec->platen.constantSpeed = 1000;
        rec->word140 = 1;
        if (detail) {
            rec->encoderDetail.enable = 1;
            rec->encoderDetail.enable2 = 1;
            rec->encoderDetail.entries = pulses;
            rec->encoderDetail.table = rec.newTable<uint32_t>(size_t(pulses)).address();
        }
        rec.setCommand(target::Platen, cmd::motion::PlatenMove);
    }
    bool motion(CommandBlock& block, int32_t* out = nullptr)
    {
        return sendCommand(prn, IOCTL_PRN_MOTION, block, out, out ? 4 : 0);
    }
    // One engineering request with Param and an output of its own size.
    template <class T>
    bool request(uint32_t code, uint32_t target, uint32_t command, T& out, uint32_t param = 0)
    {
        CommandBlock b{target, command, param};
        return sendCommand(prn, code, b, &out, sizeof(T));
    }
    bool send(uint32_t code, uint32_t target, uint32_t command, uint32_t param = 0)
    {
        CommandBlock b{target, command, param};
        return sendCommand(prn, code, b);
    }
    // A user-family request with no input.
    template <class T>
    bool query(uint32_t code, T& out)
    {
        return prn.ioControl(code, nullptr, 0, &out, sizeof(T));
    }
    bool signal(uint32_t code) { return prn.ioControl(code, nullptr, 0, nullptr, 0); }
    // A 0-terminated UTF-16 text in caller memory owned by the record.
    static uint32_t wideText(RecordTables& owner, const QString& text)
    {
        platform::CallerBuffer& b = owner.newBuffer(size_t(text.size() + 1) * 2);
        std::memcpy(b.data(), text.utf16(), size_t(text.size()) * 2);
        return b.address();
    }
    static QByteArray readFile(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

} // namespace simtest
