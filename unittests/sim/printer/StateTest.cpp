// The state file across restarts, a corrupt or missing file, the user
// program's usage and version requests, and the keyboard.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <limits>

#include "SimTestSupport.h"
#include "pellam/driver/UserRequests.h"
#include "vantor/driver/MediaJamRecord.h"

namespace simtest {
namespace {

namespace ud = pellam::driver;

class State : public SimFixture {
protected:
    QString stateFile() { return platform::hostPath("\\Simulator\\printer-state.ini"); }
    ud::UsageRecord usage()
    {
        ud::UsageRecord u{0xEEEEEEEE, 0xEEEEEEEE, 0xEEEEEEEE};
        const uint8_t sel = ud::kUsageSelector;
        EXPECT_TRUE(prn.ioControl(ud::IOCTL_PRN_GET_USAGE, &sel, 1, &u, sizeof u));
        return u;
    }
    void cut(int copies)
    {
        DriverRecord<MediaJamRecord> rec;
        rec->length = 1;
        rec->copies = copies;
        rec->endCut = 1;
        rec.setCommand(target::Sequence, cmd::motion::MediaJam);
        ASSERT_TRUE(motion(rec.block()));
    }
    int32_t layout(platform::DeviceHandle& kbd)
    {
        int32_t l = -1;
        EXPECT_TRUE(kbd.ioControl(ud::IOCTL_KBD_GET_LAYOUT, nullptr, 0, &l, 4));
        return l;
    }
};

TEST_F(State, CountersAndLayoutSurviveARestart)
{
    start();
    EXPECT_FALSE(devices.state->warning().isEmpty()) << "first start: no file yet";
    cut(3);
    auto kbd = platform::openDevice("KBD1:");
    ASSERT_TRUE(kbd.valid());
    EXPECT_EQ(layout(kbd), 1);
    const int32_t four = 4;
    ASSERT_TRUE(kbd.ioControl(ud::IOCTL_KBD_SET_LAYOUT, &four, 4, nullptr, 0));
    const double ratio = devices.state->real(sim::stateKey::PlatenEncoderRatio);
    kbd.close();

    restart();
    EXPECT_TRUE(devices.state->warning().isEmpty());
    EXPECT_EQ(usage().cutsMade, 3u);
    EXPECT_EQ(usage().inchesPrinted, 0u);
    EXPECT_DOUBLE_EQ(devices.state->real(sim::stateKey::PlatenEncoderRatio), ratio) << "the unit keeps its encoder";
    kbd = platform::openDevice("KBD1:");
    EXPECT_EQ(layout(kbd), 4);
}

TEST_F(State, CorruptOrTamperedFileStartsFromFactoryWithATraceWarning)
{
    start();
    cut(2);
    stop();
    QByteArray text = readFile(stateFile());
    ASSERT_TRUE(text.contains("Usage.CutsMade=2"));
    text.replace("Usage.CutsMade=2", "Usage.CutsMade=9");
    {
        QFile f(stateFile());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
    const QString tracePath = root.filePath("trace.txt");
    platform::trace::setFile(tracePath);
    start();
    EXPECT_EQ(usage().cutsMade, 0u) << "a tampered file is not trusted";
    platform::trace::setFile(QString());
    EXPECT_TRUE(readFile(tracePath).contains("warning: printer state file corrupt"));

    // Garbage, and an empty file.
    for (const QByteArray& junk : {QByteArray("\x00\xff garbage", 10), QByteArray()}) {
        stop();
        QFile f(stateFile());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(junk);
        f.close();
        start();
        EXPECT_FALSE(devices.state->warning().isEmpty());
        EXPECT_EQ(usage().cutsMade, 0u);
        cut(1);
        EXPECT_EQ(usage().cutsMade, 1u) << "and carries on from there";
    }
}

TEST(StateStore, HandEditedCountersSaturateInsteadOfOverflowing)
{
    // A valid file (right checksum) whose counters an engineer set by hand.
    QTemporaryDir dir;
    const QString path = dir.filePath("printer-state.ini");
    const QByteArray body = "[PrinterState]\nVersion=1\nUsage.CutsMade=9223372036854775807\n"
                            "Usage.InchesFed=1e300\nUsage.InchesPrinted=-1e300\nXYCutter.Cuts=nan\n";
    uint32_t h = 2166136261u;
    for (char c : body)
        h = (h ^ uint8_t(c)) * 16777619u;
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(body + "Checksum=" + QByteArray::number(h, 16).rightJustified(8, '0') + '\n');
    f.close();

    sim::StateStore store(path, 1);
    ASSERT_TRUE(store.load()) << store.warning().toStdString();
    const int64_t max = std::numeric_limits<int64_t>::max(), min = std::numeric_limits<int64_t>::min();
    EXPECT_EQ(store.integer(sim::stateKey::InchesFed), max);
    EXPECT_EQ(store.integer(sim::stateKey::InchesPrinted), min);
    EXPECT_EQ(store.integer(sim::stateKey::XYCuts), 0);
    store.add(sim::stateKey::CutsMade, 1); // one more cut
    EXPECT_EQ(store.integer(sim::stateKey::CutsMade), max);
    store.add(sim::stateKey::InchesPrinted, -1);
    EXPECT_EQ(store.integer(sim::stateKey::InchesPrinted), min);
}

TEST_F(State, UserFamilyRequestsAndTheirSizes)
{
    start();
    uint8_t tape = 0, ribbon = 0;
    EXPECT_TRUE(prn.ioControl(ud::IOCTL_PRN_GET_TAPE_TAGCHIP_VERSION, nullptr, 0, &tape, 1));
    EXPECT_TRUE(prn.ioControl(ud::IOCTL_PRN_GET_RIBBON_TAGCHIP_VERSION, nullptr, 0, &ribbon, 1));
    EXPECT_EQ(tape, 3);
    EXPECT_EQ(ribbon, 2);
    uint8_t big[12];
    std::memset(big, 0x5A, sizeof big);
    const uint8_t wrongSel = 'x';
    const uint8_t sel = ud::kUsageSelector;
    EXPECT_FALSE(prn.ioControl(ud::IOCTL_PRN_GET_USAGE, &wrongSel, 1, big, 12));
    EXPECT_FALSE(prn.ioControl(ud::IOCTL_PRN_GET_USAGE, &sel, 1, big, 8));
    EXPECT_FALSE(prn.ioControl(ud::IOCTL_PRN_GET_USAGE, nullptr, 0, big, 12));
    EXPECT_FALSE(prn.ioControl(ud::IOCTL_PRN_GET_TAPE_TAGCHIP_VERSION, nullptr, 0, big, 4));
    EXPECT_FALSE(prn.ioControl(0x186000, nullptr, 0, big, 4));
    for (uint8_t b : big)
        EXPECT_EQ(b, 0x5A);
    EXPECT_EQ(usage().word2, 0u);
}

TEST_F(State, KeyboardRefusesBadLayoutsAndSizes)
{
    start();
    auto kbd = platform::openDevice("KBD1:");
    int32_t v = 6;
    EXPECT_FALSE(kbd.ioControl(ud::IOCTL_KBD_SET_LAYOUT, &v, 4, nullptr, 0));
    v = 0;
    EXPECT_FALSE(kbd.ioControl(ud::IOCTL_KBD_SET_LAYOUT, &v, 4, nullptr, 0));
    v = 2;
    EXPECT_FALSE(kbd.ioControl(ud::IOCTL_KBD_SET_LAYOUT, &v, 2, nullptr, 0));
    int32_t out = 77;
    EXPECT_FALSE(kbd.ioControl(ud::IOCTL_KBD_GET_LAYOUT, nullptr, 0, &out, 2));
    EXPECT_FALSE(kbd.ioControl(ud::IOCTL_KBD_GET_LAYOUT + 4, nullptr, 0, &out, 4));
    EXPECT_EQ(out, 77);
    EXPECT_EQ(layout(kbd), 1);

    // Keyboard faults use the same rules.
    kbd.close();
    sim::SimConfig c = config();
    c.faults[ud::IOCTL_KBD_GET_LAYOUT] = sim::FaultRule::everyNth(2);
    restart(c);
    kbd = platform::openDevice("KBD1:");
    EXPECT_TRUE(kbd.ioControl(ud::IOCTL_KBD_GET_LAYOUT, nullptr, 0, &out, 4));
    EXPECT_FALSE(kbd.ioControl(ud::IOCTL_KBD_GET_LAYOUT, nullptr, 0, &out, 4));
}

} // namespace
} // namespace simtest
