// The fiducial test's record as the driver receives it, its checks, result
// lines, and the emitter and detector steps, against a recording PRN1:.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "platform/Clock.h"
#include "unittests/vantor/screens/fiducial/FiducialTestDevice.h"
#include "unittests/vantor/testing/ScreenFixture.h"
#include "vantor/screens/fiducial/FiducialRun.h"
#include "vantor/screens/fiducial/FiducialSteps.h"
#include "vantor/settings/CSettingsFile.h"

using namespace vantor;
using namespace vantor::fiducial;
using fiducial_test::FiducialDevice;
using fiducial_test::wordAt;

namespace {

class FiducialRunTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        device = std::make_shared<FiducialDevice>();
        platform::registerDevice(QStringLiteral("PRN1:"), device);
        driver = openDriver();
        v.colorType = 1;
        v.crosswebOffset = {10, -12, 8};
        v.downwebOffset = {-5, 4, -6};
        v.crossweb.initialSpeedType = 0;
        v.crossweb.constantSpeed = 1500;
        v.stepMode = 2;
        v.totalPulses = 1000;
        v.homeDistance = 200;
        v.downweb.initialSpeedType = 0;
        v.downweb.constantSpeed = 1200;
        v.downwebStepMode = 3;
        v.downwebRunType = 1;
        v.downwebTotalPulses = 500;
        v.downwebMarkDistance = 77;
        v.cutFile = QStringLiteral("\\Hard Disk\\CutFiles\\Ä.cut");
    }
    void TearDown() override { platform::unregisterDevice(QStringLiteral("PRN1:")); }

    QString profile(const char* name, const QByteArray& text)
    {
        const QString path = dir.filePath(QString::fromLatin1(name));
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
        return path;
    }
    // One cycle of a run prepared for `dac`; the request as the driver got it.
    fiducial_test::Request runOnce(const ColorBytes& dac, QString* line = nullptr)
    {
        // Kept: its tables and buffers live as long as the run.
        prepared = PrepareFiducialRun(v, dac, driver);
        EXPECT_TRUE(prepared) << qPrintable(prepared.refusal);
        if (!prepared)
            return {};
        vantor::testing::RecordingSink sink;
        prepared.run->cycle(1, 1, sink);
        if (line)
            *line = sink.lines().value(0);
        EXPECT_EQ(device->count(), 1u);
        return device->requests().back();
    }

    platform::ManualClock clock;
    platform::ScopedClock scopedClock{clock};
    QTemporaryDir dir;
    CSettingsFile file;
    CFiducialSettings v{file};
    std::shared_ptr<FiducialDevice> device;
    DriverRef driver;
    PreparedRun prepared;
};

struct WordAt {
    size_t offset;
    int32_t value;
};

} // namespace

TEST_F(FiducialRunTest, RecordAsSentWithRampsSamplesAndCutFile)
{
    v.crossweb.initialSpeedType = 1;
    v.crossweb.rampUpProfile = profile("up.txt", "200\n400\n800\n");
    v.crossweb.useRampDown = 1;
    v.crossweb.rampDownProfile = profile("down.txt", "600\r\n300\r\n");
    const fiducial_test::Request r = runOnce({10, 20, 30});

    EXPECT_EQ(r.code, protocol::IOCTL_PRN_TEST_RUN);
    EXPECT_EQ(r.block.Target, 35u);
    EXPECT_EQ(r.block.Command, 24u);
    ASSERT_EQ(r.param.size(), 296u);
    const std::vector<uint8_t>& b = r.param;
    const WordAt words[] = {
        {0, 2},
        // cross-web move: direction 0, step mode, pulses 1000 - 3 - 2, the last ramp-up entry, ramps
        {4, 0}, {8, 2}, {12, 995}, {16, 800}, {24, 3}, {32, 2}, {36, 0}, {40, 3000},
        {48, 0}, {52, 0}, {56, 0}, {60, 2},
        {64, 0}, {68, 3}, {72, 100}, {76, 0}, {80, 0}, {84, 255}, {88, 0}, {92, 0}, {96, 0}, {100, 0}, {104, 0},
        {108, 0}, {112, 2},
        // down-web move at its constant speed
        {116, 0}, {120, 3}, {124, 500}, {128, 1200}, {132, 0}, {136, 0}, {140, 0}, {144, 0}, {148, 0}, {152, 3000},
        {160, 0},
        // the tape rewind block: reset values but step mode 1, word 8 = 0, speed 1000
        {164, 0}, {168, 1}, {172, 0}, {176, 0}, {180, 1000}, {184, 0}, {188, 0}, {192, 0}, {196, 0}, {200, 0},
        {204, 0}, {208, 0}, {212, 0}, {216, 0},
        // green: bit 2, its offsets
        {224, 2}, {228, -12}, {232, 4},
        // down-web samples ("Step"), cross-web samples
        {240, 1}, {244, 1}, {248, 2}, {252, 500}, {260, 1}, {264, 1}, {268, 2}, {272, 1000},
        {280, 200}, {284, 0}, {288, 77},
    };
    for (const WordAt& w : words)
        EXPECT_EQ(wordAt(b, w.offset), w.value) << "word at " << w.offset;
    EXPECT_EQ(b[44], 255) << "cross-web Vref";
    EXPECT_EQ(b[156], 255) << "down-web Vref";
    EXPECT_EQ(b[220], 255) << "tape rewind Vref";
    EXPECT_EQ(b[236], 20) << "the green DAC value";

    auto& memory = platform::CallerMemory::instance();
    // Ramp tables, file order, one word per entry.
    const uint8_t* up = memory.resolve(uint32_t(wordAt(b, 20)), 12);
    ASSERT_NE(up, nullptr);
    EXPECT_EQ(wordAt(std::vector<uint8_t>(up, up + 12), 8), 800);
    const uint8_t* down = memory.resolve(uint32_t(wordAt(b, 28)), 8);
    ASSERT_NE(down, nullptr);
    EXPECT_EQ(wordAt(std::vector<uint8_t>(down, down + 8), 0), 600);
    // The sample buffers hold exactly one word per pulse.
    EXPECT_NE(memory.resolve(uint32_t(wordAt(b, 256)), 500 * 4), nullptr);
    EXPECT_EQ(memory.resolve(uint32_t(wordAt(b, 256)), 501 * 4), nullptr);
    EXPECT_NE(memory.resolve(uint32_t(wordAt(b, 276)), 1000 * 4), nullptr);
    EXPECT_EQ(memory.resolve(uint32_t(wordAt(b, 276)), 1001 * 4), nullptr);
    // The cut file path: UTF-16LE, 0-terminated.
    const std::u16string path = v.cutFile.toStdU16String();
    const size_t bytes = (path.size() + 1) * 2;
    const uint8_t* text = memory.resolve(uint32_t(wordAt(b, 292)), bytes);
    ASSERT_NE(text, nullptr);
    std::u16string got;
    for (size_t i = 0; i + 1 < bytes; i += 2)
        got.push_back(char16_t(text[i] | (text[i + 1] << 8)));
    EXPECT_EQ(got, path + u'\0');
}

TEST_F(FiducialRunTest, ColourAndRunTypeChooseTheirWords)
{
    struct Case {
        int color;
        int runType;
        int32_t bit, crossOffset, downOffset;
        uint8_t dac;
        int32_t downSampleWord4, byEncoder;
    };
    const Case cases[] = {
        {0, 0, 1, 10, -5, 11, 0, 1},
        {1, 1, 2, -12, 4, 22, 1, 0},
        {2, 0, 4, 8, -6, 33, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.color);
        v.colorType = c.color;
        v.downwebRunType = c.runType;
        device = std::make_shared<FiducialDevice>();
        platform::registerDevice(QStringLiteral("PRN1:"), device);
        driver = openDriver();
        const std::vector<uint8_t> b = runOnce({11, 22, 33}).param;
        ASSERT_EQ(b.size(), 296u);
        EXPECT_EQ(wordAt(b, 224), c.bit);
        EXPECT_EQ(wordAt(b, 228), c.crossOffset);
        EXPECT_EQ(wordAt(b, 232), c.downOffset);
        EXPECT_EQ(b[236], c.dac);
        EXPECT_EQ(wordAt(b, 244), c.downSampleWord4);
        EXPECT_EQ(wordAt(b, 248), c.bit);
        EXPECT_EQ(wordAt(b, 268), c.bit);
        EXPECT_EQ(wordAt(b, 284), c.byEncoder);
    }
}

TEST_F(FiducialRunTest, NoPulsesNoBufferAndAnEmptyCutFile)
{
    v.totalPulses = 0;
    v.downwebTotalPulses = 0;
    v.cutFile.clear();
    const std::vector<uint8_t> b = runOnce({1, 2, 3}).param;
    ASSERT_EQ(b.size(), 296u);
    EXPECT_EQ(wordAt(b, 252), 0);
    EXPECT_EQ(wordAt(b, 256), 0);
    EXPECT_EQ(wordAt(b, 272), 0);
    EXPECT_EQ(wordAt(b, 276), 0);
    const uint8_t* text = platform::CallerMemory::instance().resolve(uint32_t(wordAt(b, 292)), 2);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text[0] | text[1], 0) << "an empty path is one 0 character";
}

TEST_F(FiducialRunTest, ResultLines)
{
    QString line;
    runOnce({}, &line);
    EXPECT_EQ(line, "1. Run fiducial test - OK ");
    device->failAll();
    prepared = PrepareFiducialRun(v, {}, driver);
    ASSERT_TRUE(prepared);
    vantor::testing::RecordingSink sink;
    prepared.run->cycle(7, 9, sink);
    EXPECT_EQ(sink.lines(), QStringList{"7. Run fiducial test - FAIL "});
}

TEST_F(FiducialRunTest, ChecksNameTheField)
{
    const QString empty = profile("empty.txt", "\n\n");
    struct Case {
        const char* what;
        std::function<void(CFiducialSettings&)> change;
        const char* message;
    };
    const Case cases[] = {
        {"start values", [](CFiducialSettings&) {}, ""},
        {"cross pulses below 0", [](CFiducialSettings& s) { s.totalPulses = -1; },
         "\"Total No. of Pulses\" of Crossweb must be between 0 and 1000000.\n"},
        {"down pulses too many", [](CFiducialSettings& s) { s.downwebTotalPulses = 1000001; },
         "\"Total No. of Pulses\" of Downweb must be between 0 and 1000000.\n"},
        // The distances go as typed.
        {"home distance", [](CFiducialSettings& s) { s.homeDistance = -3; }, ""},
        {"mark distance", [](CFiducialSettings& s) { s.downwebMarkDistance = INT32_MIN; }, ""},
        {"ramp-up without a file",
         [](CFiducialSettings& s) {
             s.crossweb.initialSpeedType = 1;
             s.crossweb.rampUpProfile.clear();
         },
         "\"Ramp Up Profile\" of Crossweb can not be empty\n"},
        {"ramp-up file missing",
         [this](CFiducialSettings& s) {
             s.downweb.initialSpeedType = 1;
             s.downweb.rampUpProfile = dir.filePath(QStringLiteral("gone.txt"));
         },
         "File in \"Ramp Up Profile\" of Downweb not exist\n"},
        {"ramp-up file empty",
         [&](CFiducialSettings& s) {
             s.crossweb.initialSpeedType = 1;
             s.crossweb.rampUpProfile = empty;
         },
         "File in \"Ramp Up Profile\" of Crossweb has no value\n"},
        {"a ramp-down file missing is an empty ramp",
         [this](CFiducialSettings& s) {
             s.crossweb.useRampDown = 1;
             s.crossweb.rampDownProfile = dir.filePath(QStringLiteral("gone.txt"));
         },
         ""},
        {"colour", [](CFiducialSettings& s) { s.colorType = 3; }, "\"Emitter\" must be Red, Green or Blue.\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CFiducialSettings s{file};
        s = v;
        c.change(s);
        EXPECT_EQ(kFiducialTest.validate(s), QString::fromUtf8(c.message));
    }
    // Every failed check, in order.
    CFiducialSettings both{file};
    both = v;
    both.totalPulses = -1;
    both.downwebTotalPulses = -1;
    EXPECT_EQ(kFiducialTest.validate(both), "\"Total No. of Pulses\" of Crossweb must be between 0 and 1000000.\n"
                                            "\"Total No. of Pulses\" of Downweb must be between 0 and 1000000.\n");
    EXPECT_FALSE(kFiducialTest.checksTotalCycle) << "the test runs one cycle for a total below 1";
}

TEST_F(FiducialRunTest, RampsLongerThanTheMoveAreSentAsComputed)
{
    v.downweb.initialSpeedType = 1;
    v.downweb.rampUpProfile = profile("up.txt", "100\n200\n300\n");
    v.downwebTotalPulses = 2;
    v.homeDistance = -3;
    FiducialRecords records;
    ASSERT_EQ(BuildFiducialRecords(v, {}, records), QString());
    EXPECT_EQ(records.params->downWeb.pulseCount, -1);
    EXPECT_EQ(records.params->downWebSampling.count, 2);
    EXPECT_EQ(records.params->homeDistance, -3);
    EXPECT_EQ(device->count(), 0u);
}

TEST_F(FiducialRunTest, HeadlessRunSendsTheEmitterValueReadBack)
{
    v.colorType = 2;
    device->dacAnswer = {5, 6, 77};
    prepared = kFiducialTest.prepare(v, driver);
    ASSERT_TRUE(prepared);
    vantor::testing::RecordingSink sink;
    prepared.run->cycle(1, 1, sink);
    const auto requests = device->requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].code, protocol::IOCTL_PRN_REGISTER);
    EXPECT_EQ(requests[0].block.Target, 96u);
    EXPECT_EQ(requests[0].block.Command, 37u);
    ASSERT_EQ(requests[1].param.size(), 296u);
    EXPECT_EQ(requests[1].param[236], 77);
}

// --- emitter writes and reads -----------------------------------------------

TEST_F(FiducialRunTest, EmitterWritesRedGreenBlueInOrderAndReportAnyFailure)
{
    EXPECT_TRUE(WriteEmitterDacs(*driver, {11, 22, 33}));
    device->failTarget(80);
    EXPECT_FALSE(WriteEmitterDacs(*driver, {44, 55, 66}));
    const auto r = device->requests();
    ASSERT_EQ(r.size(), 6u) << "a failed write does not stop the others";
    const uint32_t targets[] = {81, 80, 82, 81, 80, 82};
    const uint8_t values[] = {11, 22, 33, 44, 55, 66};
    for (size_t i = 0; i < r.size(); ++i) {
        EXPECT_EQ(r[i].code, protocol::IOCTL_PRN_REGISTER);
        EXPECT_EQ(r[i].block.Target, targets[i]);
        EXPECT_EQ(r[i].block.Command, 32u);
        ASSERT_EQ(r[i].param.size(), 1u);
        EXPECT_EQ(r[i].param[0], values[i]);
    }
    EXPECT_EQ(WriteResultLine(true), "Write To EEPROM - SUCCESS ");
    EXPECT_EQ(WriteResultLine(false), "Write To EEPROM - FAIL ");
}

TEST_F(FiducialRunTest, FailedReadsShowZeros)
{
    ColorBytes dac{9, 9, 9}, det{9, 9, 9};
    EXPECT_TRUE(ReadEmitterDacs(*driver, dac));
    EXPECT_TRUE(ReadDetector(*driver, det));
    EXPECT_EQ(dac, (ColorBytes{110, 120, 130}));
    EXPECT_EQ(det, (ColorBytes{200, 190, 180}));
    device->failAll();
    EXPECT_FALSE(ReadEmitterDacs(*driver, dac));
    EXPECT_FALSE(ReadDetector(*driver, det));
    EXPECT_EQ(dac, ColorBytes{});
    EXPECT_EQ(det, ColorBytes{});
}

// --- pending steps ------------------------------------------------------------

namespace {
struct StepLog {
    std::mutex lock;
    QStringList posted, sent;
    int valuesRead = 0, busyEnded = 0;
    FiducialSteps::Reports reports()
    {
        FiducialSteps::Reports r;
        r.post = [this](QString l) { std::lock_guard g(lock); posted << l; };
        r.send = [this](QString l) { std::lock_guard g(lock); posted << l; sent << l; };
        r.valuesRead = [this] { ++valuesRead; };
        r.busyEnded = [this] { ++busyEnded; };
        return r;
    }
};
} // namespace

TEST_F(FiducialRunTest, StepsAnnounceThemselvesAndKeepTheValues)
{
    StepLog log;
    FiducialSteps steps(driver, log.reports());
    EXPECT_FALSE(steps.takeStep()) << "nothing queued";
    steps.queue({kStepReadDacs, kStepReadDetector});
    EXPECT_TRUE(steps.busy());
    EXPECT_TRUE(steps.takeStep());
    EXPECT_EQ(log.valuesRead, 1);
    EXPECT_EQ(steps.dacValues(), (ColorBytes{110, 120, 130}));
    EXPECT_TRUE(steps.busy());
    EXPECT_TRUE(steps.takeStep());
    EXPECT_EQ(log.busyEnded, 1);
    EXPECT_FALSE(steps.busy());
    EXPECT_EQ(steps.detector(), (ColorBytes{200, 190, 180}));
    const QString time = platform::formatTimeStamp(clock.localTime());
    EXPECT_EQ(log.posted, (QStringList{time, "Retrieving DAC value...", "Retrieving Detector value...", ""}));
    EXPECT_EQ(log.sent, QStringList{"Retrieving Detector value..."});

    // Step 1 writes what the dialog set, and reports a failure once.
    log.posted.clear();
    steps.setDacValues({1, 2, 3});
    steps.queue({kStepWriteDacs});
    device->failTarget(82);
    EXPECT_TRUE(steps.takeStep());
    EXPECT_EQ(log.posted, (QStringList{time, "Update DAC value...", "Write To EEPROM - FAIL ", ""}));
    const auto r = device->requests();
    ASSERT_GE(r.size(), 3u);
    EXPECT_EQ(r[r.size() - 3].param, std::vector<uint8_t>{1});
    EXPECT_EQ(r[r.size() - 1].param, std::vector<uint8_t>{3});
}

TEST_F(FiducialRunTest, StepsWithoutAPrinterReadZeros)
{
    platform::unregisterDevice(QStringLiteral("PRN1:"));
    StepLog log;
    FiducialSteps steps(openDriver(), log.reports());
    steps.setDacValues({7, 7, 7});
    steps.queue({kStepWriteDacs, kStepReadDacs, kStepReadDetector});
    while (steps.takeStep()) {
    }
    EXPECT_TRUE(log.posted.contains("Write To EEPROM - FAIL "));
    EXPECT_EQ(steps.dacValues(), ColorBytes{});
    EXPECT_EQ(steps.detector(), ColorBytes{});
    EXPECT_EQ(log.busyEnded, 1);
}

TEST_F(FiducialRunTest, CalibrationReadLightsOnlyTheChosenColour)
{
    int ended = 0;
    CalibrationSteps steps(driver, {1, 2, 3}, [&] { ++ended; });
    steps.read(1, 150);
    EXPECT_TRUE(steps.takeStep());
    EXPECT_EQ(ended, 0);
    EXPECT_TRUE(steps.takeStep());
    EXPECT_EQ(ended, 1);
    EXPECT_FALSE(steps.takeStep());
    const auto r = device->requests();
    ASSERT_EQ(r.size(), 4u);
    const uint32_t targets[] = {81, 80, 82};
    const uint8_t values[] = {0, 150, 0};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(r[i].block.Target, targets[i]);
        EXPECT_EQ(r[i].param, std::vector<uint8_t>{values[i]});
    }
    EXPECT_EQ(r[3].code, protocol::IOCTL_PRN_SENSOR_READ);
    EXPECT_EQ(r[3].block.Target, 12u);
    EXPECT_EQ(r[3].block.Command, 16u);
    EXPECT_EQ(steps.detector(), (ColorBytes{1, 190, 3})) << "only green's reading changes";

    // A failed read keeps the reading.
    device->failTarget(12);
    steps.read(2, 9);
    while (steps.takeStep()) {
    }
    EXPECT_EQ(steps.detector(), (ColorBytes{1, 190, 3}));
    EXPECT_EQ(ended, 2);
}
