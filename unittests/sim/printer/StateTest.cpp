// The state file across restarts, a corrupt or missing file, the user
// program's usage and version requests, and the keyboard.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <limits>
#include <QProcess>
#include <thread>

#include "SimTestSupport.h"
#include "protocol/UserRequests.h"
#include "protocol/MediaJamRecord.h"

namespace simtest {
namespace {

namespace ud = protocol;

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

TEST_F(State, HandEditsLoadAndBadEntriesAreIgnoredOneByOne)
{
    start();
    cut(2);
    stop();
    QByteArray text = readFile(stateFile());
    ASSERT_TRUE(text.contains("Usage.CutsMade=2"));
    // A hand edit of one value, one entry that does not parse, one unknown key.
    text.replace("Usage.CutsMade=2", "Usage.CutsMade=9");
    text.replace("Usage.InchesFed=2", "Usage.InchesFed=two");
    text += "Future.Key=kept as it is\nno equals sign here\n";
    {
        QFile f(stateFile());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
    const QString tracePath = root.filePath("trace.txt");
    platform::trace::setFile(tracePath);
    start();
    EXPECT_EQ(usage().cutsMade, 9u) << "a hand edit loads";
    EXPECT_EQ(devices.state->integer(sim::stateKey::InchesFed), 0) << "the bad entry keeps its factory value";
    EXPECT_FALSE(QFile::exists(stateFile() + ".bad")) << "no whole-file reset for one line";
    platform::trace::setFile(QString());
    const QByteArray trace = readFile(tracePath);
    EXPECT_TRUE(trace.contains("Usage.InchesFed=two does not parse"));
    EXPECT_TRUE(trace.contains("\"no equals sign here\" does not parse"));
    cut(1);
    stop();
    const QByteArray after = readFile(stateFile());
    EXPECT_TRUE(after.contains("Usage.CutsMade=10"));
    EXPECT_TRUE(after.contains("Future.Key=kept as it is"));
}

TEST_F(State, CorruptFileIsKeptAsBadAndFactoryValuesWritten)
{
    for (const QByteArray& junk : {QByteArray("\x00\xff garbage", 10), QByteArray(), QByteArray("Usage.CutsMade=5\n")}) {
        start();
        cut(1);
        stop();
        QFile::remove(stateFile() + ".bad");
        {
            QFile f(stateFile());
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(junk);
        }
        start();
        EXPECT_TRUE(devices.state->warning().contains("corrupt, kept as")) << junk.toHex().constData();
        EXPECT_EQ(readFile(stateFile() + ".bad"), junk) << "the bad file is kept for a look";
        EXPECT_TRUE(readFile(stateFile()).startsWith("[PrinterState]")) << "factory values are written at once";
        EXPECT_EQ(usage().cutsMade, 0u);
        cut(1);
        EXPECT_EQ(usage().cutsMade, 1u) << "and carries on from there";
        stop();
        QFile::remove(stateFile());
    }
}

TEST_F(State, TwoProgramsOnOneDeviceRootLoseNoUpdate)
{
    start();
    cut(1);
    // Two other processes and this one cut at the same time.
    constexpr int kEach = 150;
    std::vector<std::unique_ptr<QProcess>> others;
    for (int i = 0; i < 2; ++i) {
        others.push_back(std::make_unique<QProcess>());
        others.back()->start(SIM_STATE_HAMMER, {root.path(), QString::number(kEach)});
        ASSERT_TRUE(others.back()->waitForStarted());
    }
    for (int i = 0; i < kEach; ++i)
        cut(1);
    for (auto& p : others) {
        ASSERT_TRUE(p->waitForFinished(60000));
        EXPECT_EQ(p->exitCode(), 0) << p->readAllStandardError().constData();
    }
    // This program sees the others' cuts at its next request.
    EXPECT_EQ(usage().cutsMade, uint32_t(1 + 3 * kEach));
    stop();
    EXPECT_TRUE(readFile(stateFile()).contains(QByteArray("Usage.CutsMade=") + QByteArray::number(1 + 3 * kEach) + "\n"));
}

TEST_F(State, AFailedRequestKeepsNoneOfItsChanges)
{
    sim::StateStore store(root.filePath("store.ini"), 3);
    store.load();
    store.beginRequest();
    store.add(sim::stateKey::CutsMade, 5);
    store.setInteger(sim::stateKey::KeyboardLayout, 4);
    EXPECT_EQ(store.integer(sim::stateKey::CutsMade), 5) << "seen inside the request";
    // The keyboard's change from another thread meanwhile is not the request's.
    std::thread([&] { store.setInteger(sim::stateKey::RibbonTagChipVersion, 7); }).join();
    store.endRequest(false);
    EXPECT_EQ(store.integer(sim::stateKey::CutsMade), 0);
    EXPECT_EQ(store.integer(sim::stateKey::RibbonTagChipVersion), 7);
    EXPECT_EQ(store.integer(sim::stateKey::KeyboardLayout), 1);
    store.beginRequest();
    store.add(sim::stateKey::CutsMade, 2);
    store.endRequest(true);
    ASSERT_TRUE(store.flush());
    sim::StateStore again(root.filePath("store.ini"), 3);
    again.load();
    EXPECT_EQ(again.integer(sim::stateKey::CutsMade), 2);
    EXPECT_EQ(again.integer(sim::stateKey::KeyboardLayout), 1);
    EXPECT_EQ(again.integer(sim::stateKey::RibbonTagChipVersion), 7);
}

TEST(StateStore, HandEditedCountersSaturateInsteadOfOverflowing)
{
    // Counters an engineer set by hand at the edge of the range.
    QTemporaryDir dir;
    const QString path = dir.filePath("printer-state.ini");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[PrinterState]\nUsage.CutsMade=9223372036854775807\nUsage.InchesPrinted=-9223372036854775808\n");
    f.close();

    sim::StateStore store(path, 1);
    ASSERT_TRUE(store.load()) << store.warning().toStdString();
    const int64_t max = std::numeric_limits<int64_t>::max(), min = std::numeric_limits<int64_t>::min();
    store.add(sim::stateKey::CutsMade, 1); // one more cut
    EXPECT_EQ(store.integer(sim::stateKey::CutsMade), max);
    store.add(sim::stateKey::InchesPrinted, -1);
    EXPECT_EQ(store.integer(sim::stateKey::InchesPrinted), min);
}

TEST(StateStore, FileLayoutsAnEditorLeavesLoadAndProblemsNameTheirLine)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("printer-state.ini");
    auto write = [&](const QByteArray& text) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text);
    };
    // Windows line ends, blank lines and an indented header, comments, a
    // value holding '=', no newline at the end.
    write("\r\n  \r\n  [PrinterState]  \r\n; a note\r\n# another\r\n Usage.CutsMade = 12 \r\n"
          "Future.Key=a=b\r\n=orphan\r\nFuture.Note=Gr\xc3\xbc\xc3\x9f\x65 \xe2\x82\xac\r\nUsage.InchesFed=41");
    sim::StateStore store(path, 3);
    EXPECT_FALSE(store.load()) << "one line does not parse";
    EXPECT_EQ(store.integer(sim::stateKey::CutsMade), 12);
    EXPECT_EQ(store.integer(sim::stateKey::InchesFed), 41) << "the last line without its newline";
    EXPECT_EQ(store.text("Future.Key"), "a=b");
    EXPECT_TRUE(store.warning().contains("line 8 \"=orphan\" does not parse")) << store.warning().toStdString();
    EXPECT_FALSE(QFile::exists(path + ".bad"));
    // Written back whole, every value in UTF-8 as it came.
    store.add(sim::stateKey::CutsMade, 1);
    ASSERT_TRUE(store.flush());
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray back = f.readAll();
        EXPECT_TRUE(back.startsWith("[PrinterState]\n")) << back.left(40).constData();
        EXPECT_TRUE(back.endsWith('\n'));
        EXPECT_TRUE(back.contains("\nFuture.Note=Gr\xc3\xbc\xc3\x9f\x65 \xe2\x82\xac\n"));
        EXPECT_TRUE(back.contains("\nUsage.CutsMade=13\n"));
        EXPECT_TRUE(back.contains("\nFuture.Key=a=b\n"));
        EXPECT_FALSE(back.contains('\r'));
    }

    for (const QByteArray& notState : {QByteArray("\n\n   \n"), QByteArray("Usage.CutsMade=5\n[PrinterState]\n")}) {
        write(notState);
        sim::StateStore other(path, 3);
        EXPECT_FALSE(other.load());
        EXPECT_TRUE(other.warning().contains("corrupt")) << notState.constData();
        EXPECT_EQ(other.integer(sim::stateKey::CutsMade), 0);
    }
}

TEST(StateStore, StoresOfOneUnitShareNothingTheyChange)
{
    // The factory values are made once per unit and shared: a change in one
    // store must reach neither the next store made nor one already made.
    QTemporaryDir dir;
    sim::StateStore first(dir.filePath("a.ini"), 5);
    sim::StateStore second(dir.filePath("b.ini"), 5);
    first.load();
    second.load();
    const QString ratio = first.text(sim::stateKey::PlatenEncoderRatio);
    first.add(sim::stateKey::CutsMade, 4);
    first.setReal(sim::stateKey::PlatenEncoderRatio, 2.5);
    ASSERT_TRUE(first.flush());
    first.add(sim::stateKey::CutsMade, 1); // pending, not yet written
    sim::StateStore third(dir.filePath("c.ini"), 5);
    third.load();
    for (const sim::StateStore* s : {&second, &third}) {
        EXPECT_EQ(s->integer(sim::stateKey::CutsMade), 0);
        EXPECT_EQ(s->text(sim::stateKey::PlatenEncoderRatio), ratio);
    }
    EXPECT_EQ(first.integer(sim::stateKey::CutsMade), 5);
    sim::StateStore reread(dir.filePath("a.ini"), 5);
    reread.load();
    EXPECT_EQ(reread.integer(sim::stateKey::CutsMade), 4) << "what was flushed, not what is pending";
    EXPECT_DOUBLE_EQ(reread.real(sim::stateKey::PlatenEncoderRatio), 2.5);
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
