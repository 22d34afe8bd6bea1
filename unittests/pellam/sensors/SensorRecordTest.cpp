// Each sensor calibration wizard that ends its last step is a run record
// of its own; a value that could not be read makes it FAIL, not PASS.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QTemporaryDir>
#include <map>

#include "pellam/res/PellamResources.h"
#include "pellam/sensors/CSensorCalibrate.h"
#include "pellam/sensors/SensorSteps.h"
#include "platform/DevicePath.h"
#include "records/ProgramRecorder.h"
#include "records/Store.h"
#include "support/FakePrinter.h"
#include "support/TestApp.h"
#include "ui/testing/DialogHarness.h"

using namespace pellam;
using pellamtest::FakePrinter;
using ui::testing::DialogHarness;
namespace ud = protocol;

namespace {

constexpr uint32_t kColorSensor = 13, kRead = 16, kCalibrate = 17;

// name -> value of a record's one step.
std::map<QString, QJsonValue> valuesOf(const QJsonObject& run)
{
    std::map<QString, QJsonValue> out;
    const QJsonObject step = run.value(QLatin1String("steps")).toArray().at(0).toObject();
    for (const QJsonValue& v : step.value(QLatin1String("measurements")).toArray())
        out[v.toObject().value(QLatin1String("name")).toString()] = v.toObject().value(QLatin1String("value"));
    return out;
}

class SensorRecords : public ::testing::Test {
protected:
    void SetUp() override
    {
        pellamtest::app();
        platform::setDeviceRoot(m_root.path());
        records::Recorder::Options options;
        options.local = records::sqliteAt(db());
        records::startProgramRecorder(options, [this](const QString& m) { m_notices.push_back(m); });
    }
    void TearDown() override
    {
        records::closeProgramRecorder(platform::Millis(60000));
        platform::setDeviceRoot(QString());
    }

    QString db() const { return m_root.filePath(QStringLiteral("Records.db")); }
    // Ends the writer and reads back the runs by verdict (two runs may
    // start in the same millisecond, so their order says nothing).
    std::multimap<QString, QJsonObject> runs()
    {
        records::closeProgramRecorder(platform::Millis(60000));
        EXPECT_TRUE(m_notices.empty());
        std::multimap<QString, QJsonObject> out;
        auto store = records::Store::open(records::sqliteAt(db()), nullptr);
        if (!store)
            return out;
        const auto history = store->history({});
        if (!history)
            return out;
        for (const QJsonObject& o : *history)
            out.emplace(o.value(QLatin1String("verdict")).toString(),
                        *store->record(o.value(QLatin1String("uuid")).toString()));
        return out;
    }
    // The two runs a test made: one PASS, one FAIL.
    ::testing::AssertionResult onePassedOneFailed(QJsonObject& passed, QJsonObject& failed)
    {
        const auto all = runs();
        if (all.size() != 2 || all.count("PASS") != 1 || all.count("FAIL") != 1)
            return ::testing::AssertionFailure() << all.size() << " runs, " << all.count("PASS") << " passed";
        passed = all.find("PASS")->second;
        failed = all.find("FAIL")->second;
        return ::testing::AssertionSuccess();
    }
    void answerTriple(uint32_t code, uint32_t target, uint32_t command, ud::ColorTriple t)
    {
        printer->commandAnswers[{code, target, command}] = FakePrinter::bytesOf(t);
    }

    QTemporaryDir m_root;
    std::vector<QString> m_notices;
    pellamtest::ScopedFakePrinter printer;
};

TEST_F(SensorRecords, TheGapWizardRecordsItsDacOnlyWhenItsLastStepRan)
{
    printer->answers[ud::IOCTL_PRN_GET_GAP_SENSOR_DAC] = QByteArray("\x00\x00\x00\x5A", 4);
    {
        CGapSensorCalibrate dlg;
        DialogHarness h(dlg);
        ASSERT_TRUE(h.open());
        ASSERT_TRUE(h.click(IDC_WIZ_NEXT));
        ASSERT_TRUE(h.click(IDC_WIZ_NEXT2));
    }
    {
        // Left after the first step: nothing was calibrated, nothing kept.
        CGapSensorCalibrate dlg;
        DialogHarness h(dlg);
        ASSERT_TRUE(h.open());
        ASSERT_TRUE(h.click(IDC_WIZ_NEXT));
    }
    printer->failing.push_back(ud::IOCTL_PRN_GET_GAP_SENSOR_DAC);
    {
        CGapSensorCalibrate dlg;
        DialogHarness h(dlg);
        ASSERT_TRUE(h.open());
        ASSERT_TRUE(h.click(IDC_WIZ_NEXT));
        ASSERT_TRUE(h.click(IDC_WIZ_NEXT2));
        EXPECT_EQ(h.text(IDC_WIZ_GAP_RESULT), "Calibrated DAC Value: 0"); // the screen as before
    }
    QJsonObject passed, failed;
    ASSERT_TRUE(onePassedOneFailed(passed, failed));
    EXPECT_EQ(passed.value(QLatin1String("name")).toString(), "Gap Sensor Calibration");
    EXPECT_EQ(passed.value(QLatin1String("kind")).toString(), "calibration");
    EXPECT_EQ(valuesOf(passed).at("DAC").toInt(), 90);
    EXPECT_TRUE(failed.value(QLatin1String("reason")).toString().contains("DAC")) << qPrintable(failed.value(QLatin1String("reason")).toString());
}

TEST_F(SensorRecords, TheColourWizardRecordsItsDacsAndTheColourItRead)
{
    answerTriple(ud::IOCTL_PRN_SENSOR_READ, kColorSensor, kCalibrate, {1, 1, 1});
    answerTriple(ud::IOCTL_PRN_REGISTER, 97, 37, {10, 20, 30});
    answerTriple(ud::IOCTL_PRN_SENSOR_READ, kColorSensor, kRead, {250, 128, 0});
    auto runWizard = [] {
        CColorSensorCalibrate dlg;
        DialogHarness h(dlg);
        ASSERT_TRUE(h.open());
        ASSERT_TRUE(h.click(IDC_WIZ_NEXT));
        ASSERT_TRUE(h.click(IDC_CLOSE));
    };
    runWizard();
    printer->failingCommands.push_back({ud::IOCTL_PRN_SENSOR_READ, kColorSensor, kRead});
    runWizard();
    QJsonObject passed, failed;
    ASSERT_TRUE(onePassedOneFailed(passed, failed));
    EXPECT_EQ(passed.value(QLatin1String("name")).toString(), "Color Sensor Calibration");
    const auto v = valuesOf(passed);
    EXPECT_EQ(v.at("DAC red").toInt(), 10);
    EXPECT_EQ(v.at("DAC blue").toInt(), 30);
    EXPECT_EQ(v.at("RGB red").toInt(), 250);
    EXPECT_EQ(v.at("RGB green").toInt(), 128);
    // The colour unread: FAIL, and no colour made up from zeros.
    const auto w = valuesOf(failed);
    EXPECT_EQ(w.at("DAC green").toInt(), 20);
    EXPECT_EQ(w.count("RGB red"), 0u);
}

} // namespace
