// Simulated time under the time scale, injected faults and latencies, the
// configuration sources, and determinism for a seed.
#include "SimTestSupport.h"
#include "protocol/UserRequests.h"
#include "protocol/MediaJamRecord.h"
#include <QDir>
#include <limits>
#include "platform/Trace.h"

namespace simtest {
namespace {

class Timing : public SimFixture {};

TEST_F(Timing, MoveTimeFollowsPulsesRampsAndScale)
{
    start(config(1.0));
    DriverRecord<PlatenMoveParams> rec;
    fillPlaten(rec, 1000, false);
    int32_t out = 0;
    ASSERT_TRUE(motion(rec.block(), &out));
    EXPECT_EQ(clock.slept().count(), 1000) << "1000 pulses at 1000 pps";

    // Ramps: 4 pulses at 100, 200, 400, 800 pps take 10 + 5 + 2.5 + 1.25 ms;
    // holds add their time.
    RampTable up(4);
    up[0] = 100, up[1] = 200, up[2] = 400, up[3] = 800;
    rec->platen.rampUpTable = up.address();
    rec->platen.rampUpEntries = 4;
    rec->platen.constantPulses = 800;
    rec->platen.constantSpeed = 800;
    rec->platen.preHold = 20;
    rec->platen.postHold = 30;
    const auto before = clock.slept();
    ASSERT_TRUE(motion(rec.block(), &out));
    EXPECT_EQ((clock.slept() - before).count(), 20 + 19 + 1000 + 30);

    printer().setTimeScale(0.5);
    fillPlaten(rec, 1000, false);
    auto mark = clock.slept();
    ASSERT_TRUE(motion(rec.block(), &out));
    EXPECT_EQ((clock.slept() - mark).count(), 500);

    // One request is capped at a few seconds of real time.
    printer().setTimeScale(1.0);
    fillPlaten(rec, 100000, false);
    mark = clock.slept();
    ASSERT_TRUE(motion(rec.block(), &out));
    EXPECT_EQ((clock.slept() - mark).count(), 3000);
    EXPECT_DOUBLE_EQ(printer().lastRequest().machineMs, 100000.0);

    // Scale 0 answers at once; a refused request takes no time.
    printer().setTimeScale(0.0);
    mark = clock.slept();
    ASSERT_TRUE(motion(rec.block(), &out));
    rec->platen.stepMode = 9;
    EXPECT_FALSE(motion(rec.block(), &out));
    EXPECT_EQ(clock.slept(), mark);
}

TEST_F(Timing, InjectedFaultsHappenExactlyAsConfigured)
{
    sim::SimConfig c = config();
    c.faults[cmd::motion::PlatenMove] = sim::FaultRule::everyNth(3);
    c.faults[cmd::motion::TapeRewind] = sim::FaultRule::always();
    c.latencyMs[cmd::motion::PlatenMove] = 200;
    start(c);
    DriverRecord<PlatenMoveParams> rec;
    fillPlaten(rec, 10, false);
    std::vector<bool> results;
    for (int i = 0; i < 9; ++i) {
        int32_t out = 0x7777;
        const bool ok = motion(rec.block(), &out);
        results.push_back(ok);
        if (!ok) {
            EXPECT_EQ(out, 0x7777) << "a failed request leaves its output";
        }
    }
    EXPECT_EQ(results, (std::vector<bool>{true, true, false, true, true, false, true, true, false}));
    EXPECT_EQ(clock.slept().count(), 9 * 200) << "latency on every request, time scale 0";

    DriverRecord<SecondMotorBlock> rewind;
    rewind.setCommand(target::TapeRewind, cmd::motion::TapeRewind);
    int32_t out = 0;
    EXPECT_FALSE(motion(rewind.block(), &out));
    EXPECT_TRUE(printer().lastRequest().injectedFault);

    // Tests change rules at run time.
    printer().faults().setRule(cmd::motion::TapeRewind, sim::FaultRule{});
    EXPECT_TRUE(motion(rewind.block(), &out));

    // Latency is bounded, per key and for a request's command and code together.
    printer().faults().setLatency(cmd::motion::TapeRewind, 10'000'000);
    printer().faults().setLatency(IOCTL_PRN_MOTION, 50'000);
    auto mark = clock.slept();
    EXPECT_TRUE(motion(rewind.block(), &out));
    EXPECT_EQ((clock.slept() - mark).count(), sim::kMaxLatencyMs);
    EXPECT_EQ(printer().faults().latencyMs(cmd::motion::TapeRewind), sim::kMaxLatencyMs);
}

std::vector<bool> randomPattern(sim::SimulatedPrinter& p, platform::DeviceHandle& prn, int n)
{
    (void)p;
    DriverRecord<MediaJamRecord> rec;
    rec.setCommand(target::Sequence, cmd::motion::MediaJam);
    std::vector<bool> pattern;
    for (int i = 0; i < n; ++i)
        pattern.push_back(sendCommand(prn, IOCTL_PRN_MOTION, rec.block()));
    return pattern;
}

TEST_F(Timing, RandomFaultsRepeatForTheSameSeed)
{
    sim::SimConfig c = config(0.0, 42);
    c.faults[IOCTL_PRN_MOTION] = sim::FaultRule::random(0.3); // by request code
    start(c);
    const auto first = randomPattern(printer(), prn, 200);
    restart(c);
    const auto second = randomPattern(printer(), prn, 200);
    EXPECT_EQ(first, second);
    const auto failures = std::count(first.begin(), first.end(), false);
    EXPECT_GT(failures, 35);
    EXPECT_LT(failures, 85);
    c.seed = 43;
    restart(c);
    EXPECT_NE(randomPattern(printer(), prn, 200), first);
}

TEST_F(Timing, SameSeedSameMachine)
{
    auto run = [this](uint64_t seed) {
        QTemporaryDir fresh;
        platform::setDeviceRoot(fresh.path());
        restart(config(0.0, seed));
        std::vector<int32_t> outputs;
        DriverRecord<PlatenMoveParams> rec;
        fillPlaten(rec, 500, true);
        for (int i = 0; i < 5; ++i) {
            int32_t out = 0;
            EXPECT_TRUE(motion(rec.block(), &out));
            outputs.push_back(out);
        }
        const auto* t = reinterpret_cast<const int32_t*>(
            platform::CallerMemory::instance().resolve(rec->encoderDetail.table, 2000));
        outputs.insert(outputs.end(), t, t + 500);
        stop();
        return outputs;
    };
    const auto a = run(11);
    EXPECT_EQ(run(11), a);
    EXPECT_NE(run(12), a);
}

TEST_F(Timing, ConfigurationFromFileAndEnvironment)
{
    QDir(root.path()).mkpath("Simulator");
    QFile f(root.filePath("Simulator/simulator.ini"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[Simulator]\nTimeScale=0.25\nSeed=99\nPrinter=present\nBogus=1\n"
            "[Faults]\n3=every 2\n0x186118=always\n[Latency]\n11=150\n");
    f.close();
    qputenv("DIAG_SIM_SEED", "5");
    qputenv("DIAG_SIM_FAULTS", "27=random:0.5;x=always");
    qputenv("DIAG_SIM_KEYBOARD", "absent");
    const sim::SimConfig c = sim::SimConfig::fromEnvironment();
    qunsetenv("DIAG_SIM_SEED");
    qunsetenv("DIAG_SIM_FAULTS");
    qunsetenv("DIAG_SIM_KEYBOARD");
    EXPECT_DOUBLE_EQ(c.timeScale, 0.25);
    EXPECT_EQ(c.seed, 5u) << "the environment wins";
    EXPECT_TRUE(c.printerPresent);
    EXPECT_FALSE(c.keyboardPresent);
    ASSERT_EQ(c.faults.count(3), 1u);
    EXPECT_EQ(c.faults.at(3).kind, sim::FaultRule::Kind::EveryNth);
    EXPECT_EQ(c.faults.at(3).n, 2u);
    EXPECT_EQ(c.faults.at(0x186118).kind, sim::FaultRule::Kind::Always);
    EXPECT_EQ(c.faults.at(27).kind, sim::FaultRule::Kind::Random);
    EXPECT_EQ(c.latencyMs.at(11), 150);
    EXPECT_EQ(c.warnings.size(), 2) << c.warnings.join("; ").toStdString();

    sim::FaultRule r;
    EXPECT_FALSE(sim::FaultRule::parse("every 0", r));
    EXPECT_FALSE(sim::FaultRule::parse("random 1.5", r));
    EXPECT_FALSE(sim::FaultRule::parse("sometimes", r));
}

TEST_F(Timing, TimingSettingsOutsideTheirBoundsAreRefusedWithAMessage)
{
    const struct {
        const char* variable;
        const char* value;
    } refused[] = {
        {"DIAG_SIM_TIME_SCALE", "inf"},     {"DIAG_SIM_TIME_SCALE", "-1"},    {"DIAG_SIM_TIME_SCALE", "nan"},
        {"DIAG_SIM_TIME_SCALE", "1e300"},   {"DIAG_SIM_MAX_REQUEST_MS", "-5"},
        {"DIAG_SIM_MAX_REQUEST_MS", "9223372036854775807"}, {"DIAG_SIM_LATENCY", "3=-1"},
        {"DIAG_SIM_LATENCY", "3=9223372036854775807"},       {"DIAG_SIM_LATENCY", "3=inf"},
    };
    for (const auto& r : refused) {
        qputenv(r.variable, r.value);
        const sim::SimConfig c = sim::SimConfig::fromEnvironment();
        qunsetenv(r.variable);
        SCOPED_TRACE(std::string(r.variable) + "=" + r.value);
        EXPECT_DOUBLE_EQ(c.timeScale, 1.0);
        EXPECT_EQ(c.maxRequestMs, 3000);
        EXPECT_TRUE(c.latencyMs.empty());
        ASSERT_EQ(c.warnings.size(), 1);
        EXPECT_TRUE(c.warnings[0].contains(QLatin1String(r.value)));
    }

    // The file form, and the largest values accepted.
    QDir(root.path()).mkpath("Simulator");
    QFile f(root.filePath("Simulator/simulator.ini"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[Simulator]\nTimeScale=Infinity\nMaxRequestMs=600001\n[Latency]\n3=60001\n11=60000\n"
            "[Simulator]\nTimeScale=1000\n");
    f.close();
    sim::SimConfig c = sim::SimConfig::fromEnvironment();
    EXPECT_DOUBLE_EQ(c.timeScale, 1000.0);
    EXPECT_EQ(c.maxRequestMs, 3000);
    EXPECT_EQ(c.latencyMs.count(3), 0u);
    EXPECT_EQ(c.latencyMs.at(11), 60000);
    EXPECT_EQ(c.warnings.size(), 3) << c.warnings.join("; ").toStdString();

    // The warnings reach standard error and the trace of the first request.
    const QString tracePath = root.filePath("trace.txt");
    platform::trace::setFile(tracePath);
    ::testing::internal::CaptureStderr();
    start(c);
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("TimeScale=Infinity"), std::string::npos) << err;
    uint8_t v = 0;
    prn.ioControl(protocol::IOCTL_PRN_GET_TAPE_TAGCHIP_VERSION, nullptr, 0, &v, 1);
    prn.ioControl(protocol::IOCTL_PRN_GET_TAPE_TAGCHIP_VERSION, nullptr, 0, &v, 1);
    platform::trace::setFile(QString());
    QFile t(tracePath);
    ASSERT_TRUE(t.open(QIODevice::ReadOnly));
    const QByteArray trace = t.readAll();
    EXPECT_TRUE(trace.contains("warning: simulator configuration: ignored setting \"TimeScale=Infinity\""))
        << trace.toStdString();
    EXPECT_EQ(trace.count("simulator configuration"), 3) << "noted once, by the first request";

    // Run-time settings stay within the same bounds.
    printer().setTimeScale(std::numeric_limits<double>::infinity());
    printer().setMaxRequestMs(std::numeric_limits<int64_t>::max());
    printer().faults().setLatency(cmd::motion::PlatenMove, std::numeric_limits<int64_t>::max());
    DriverRecord<PlatenMoveParams> rec;
    fillPlaten(rec, 1000, false);
    int32_t out = 0;
    const auto mark = clock.slept();
    ASSERT_TRUE(motion(rec.block(), &out));
    EXPECT_EQ((clock.slept() - mark).count(), 600000 + 60000) << "the largest cap and the largest latency";
    printer().setTimeScale(std::numeric_limits<double>::quiet_NaN());
    ASSERT_TRUE(motion(rec.block(), &out));
    EXPECT_EQ(printer().lastRequest().sleptMs, 60000) << "a NaN scale counts as 0";
}

TEST_F(Timing, AbsentDriverAndUserFamilyFaults)
{
    sim::SimConfig c = config();
    c.printerPresent = false;
    start(c);
    EXPECT_FALSE(prn.valid());
    EXPECT_EQ(devices.printer, nullptr);
    ASSERT_NE(devices.keyboard, nullptr);

    c = config();
    c.faults[protocol::IOCTL_PRN_GET_USAGE] = sim::FaultRule::always();
    restart(c);
    protocol::UsageRecord u;
    const uint8_t sel = protocol::kUsageSelector;
    EXPECT_FALSE(prn.ioControl(protocol::IOCTL_PRN_GET_USAGE, &sel, 1, &u, sizeof u));
    uint8_t v = 0;
    EXPECT_TRUE(prn.ioControl(protocol::IOCTL_PRN_GET_TAPE_TAGCHIP_VERSION, nullptr, 0, &v, 1));
}

} // namespace
} // namespace simtest
