// A PEB save is a run record of its own, with each value before and after:
// a refused save leaves the driver's values as they were, and says why.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QTemporaryDir>

#include "pellam/driver/DebugOutput.h"
#include "pellam/peb/CCalibratePEB.h"
#include "pellam/peb/PebCheck.h"
#include "pellam/res/PellamResources.h"
#include "platform/DevicePath.h"
#include "records/ProgramRecorder.h"
#include "records/Store.h"
#include "support/FakePrinter.h"
#include "support/TestApp.h"
#include "ui/testing/DialogHarness.h"
#include "ui/testing/PromptRecorder.h"

using namespace pellam;
namespace ud = protocol;

namespace {

// name -> {before, after} of a record's one step.
std::map<QString, std::pair<double, double>> valuesOf(const QJsonObject& run)
{
    std::map<QString, std::pair<double, double>> out;
    const QJsonObject step = run.value(QLatin1String("steps")).toArray().at(0).toObject();
    for (const QJsonValue& v : step.value(QLatin1String("measurements")).toArray()) {
        const QJsonObject m = v.toObject();
        out[m.value(QLatin1String("name")).toString()] = {m.value(QLatin1String("before")).toDouble(),
                                                           m.value(QLatin1String("value")).toDouble()};
    }
    return out;
}

TEST(PebRecordTest, EachSaveIsRecordedWithTheValuesBeforeAndAfter)
{
    pellamtest::app();
    QTemporaryDir root;
    platform::setDeviceRoot(root.path());
    driver::setDebugSink([](const QString&) {});
    QDir(root.path()).mkpath(QStringLiteral("boot"));
    {
        QFile f(root.filePath(QStringLiteral("boot/Pellam.ini")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[General]\n");
        for (const peb::PebField& f2 : peb::kPebFields)
            f.write(QByteArray(f2.defaultKey) + "=500\n" + f2.toleranceKey + "=100\n");
    }
    pellamtest::ScopedFakePrinter printer;
    ui::testing::ScopedPromptRecorder prompts;
    ud::PebRecord r{};
    r.downstreamGapToPrintline = 500;
    r.downstreamCenterNotchToPrintline = 501;
    printer->answers[ud::IOCTL_PRN_GET_PEB] = pellamtest::FakePrinter::bytesOf(r);
    const float mc[2] = {1.25f, -0.5f};
    printer->commandAnswers[{ud::IOCTL_PRN_CUT_FORCE, 111, 49}] = QByteArray(reinterpret_cast<const char*>(mc), sizeof mc);

    const QString db = root.filePath(QStringLiteral("Records.db"));
    std::vector<QString> notices;
    records::Recorder::Options options;
    options.local = records::sqliteAt(db);
    records::startProgramRecorder(options, [&](const QString& m) { notices.push_back(m); });
    {
        CCalibratePEB dlg;
        ui::testing::DialogHarness h(dlg);
        ASSERT_TRUE(h.open());
        // Every value in range but the ones the defaults leave at 0: set them all.
        for (const peb::PebField& f : peb::kPebFields) {
            if (h.text(f.control) == QLatin1String("0")) {
                ASSERT_TRUE(h.setText(f.control, QStringLiteral("500")));
            }
        }
        ASSERT_TRUE(h.setText(IDC_PEB_DGN, QStringLiteral("400")));
        ASSERT_TRUE(h.setText(IDC_PEB_M, QStringLiteral("2.5")));
        ASSERT_TRUE(h.click(IDC_PEB_SAVE));
        ASSERT_EQ(prompts.texts(), QStringList({"PEB Values Are Saved."}));
        // Refused: the ten stay as the first save left them.
        ASSERT_TRUE(h.setText(IDC_PEB_DGN, QStringLiteral("450")));
        ASSERT_TRUE(h.setText(IDC_PEB_DCN, QStringLiteral("399")));
        ASSERT_TRUE(h.click(IDC_PEB_SAVE));
    }
    records::closeProgramRecorder(platform::Millis(60000));
    platform::setDeviceRoot(QString());
    driver::setDebugSink({});
    EXPECT_TRUE(notices.empty());

    auto store = records::Store::open(records::sqliteAt(db), nullptr);
    ASSERT_TRUE(store);
    records::HistoryFilter passed, failed;
    passed.verdict = QStringLiteral("PASS");
    failed.verdict = QStringLiteral("FAIL");
    const auto ok = store->history(passed);
    const auto refused = store->history(failed);
    ASSERT_TRUE(ok && refused);
    ASSERT_EQ(ok->size(), 1);
    ASSERT_EQ(refused->size(), 1);
    EXPECT_EQ(ok->front().value(QLatin1String("kind")).toString(), QStringLiteral("calibration"));
    EXPECT_EQ(ok->front().value(QLatin1String("name")).toString(), QStringLiteral("PEB Calibration"));

    const auto first = valuesOf(*store->record(ok->front().value(QLatin1String("uuid")).toString()));
    EXPECT_EQ(first.at(QStringLiteral("DGN2PL")), std::make_pair(500.0, 400.0));
    EXPECT_EQ(first.at(QStringLiteral("M")), std::make_pair(1.25, 2.5));
    EXPECT_EQ(first.at(QStringLiteral("C")), std::make_pair(-0.5, -0.5));

    const QJsonObject second = *store->record(refused->front().value(QLatin1String("uuid")).toString());
    EXPECT_TRUE(second.value(QLatin1String("reason")).toString().contains(QLatin1String("Downstream Center Sensor out of range")));
    const auto values = valuesOf(second);
    EXPECT_EQ(values.at(QStringLiteral("DGN2PL")), std::make_pair(400.0, 400.0));
    EXPECT_EQ(values.at(QStringLiteral("DCN2PL")), std::make_pair(501.0, 501.0));
    EXPECT_EQ(values.at(QStringLiteral("M")), std::make_pair(2.5, 2.5));
}

} // namespace
