#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "SettingsTestUtil.h"
#include "vantor/driver/RampProfile.h"
#include "vantor/settings/TestSettingsStore.h"
#include "vantor/settings/tools/SampleSettings.h"

using namespace settings_test;

namespace {

const QString kSample = QStringLiteral(DIAG_SOURCE_DIR "/sample");

QString sampleHostPath(const QString& devicePath)
{
    QString relative = devicePath;
    relative.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return kSample + QStringLiteral("/device") + relative;
}

// The ramp profile's entries as the program's reader takes them.
std::vector<int> readProfile(const QString& devicePath)
{
    const QByteArray text = readFile(sampleHostPath(devicePath));
    std::vector<uint32_t> values;
    vantor::driver::parseRampProfile(text.constData(), size_t(text.size()), values);
    return std::vector<int>(values.begin(), values.end());
}

} // namespace

TEST(SampleSettings, CommittedFilesMatchTheGenerator)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Vantor.ini"));
    ASSERT_TRUE(writeFile(path, QByteArray()));
    CSettingsFile file;
    TestSettingsStore store(file, path);
    FillSampleSettings(store);
    EXPECT_EQ(readFile(kSample + QStringLiteral("/Vantor.ini")), file.Serialize())
        << "regenerate with: build/bin/vantor_sample_gen sample";
    for (const SampleDeviceFile& f : SampleDeviceFiles())
        EXPECT_EQ(readFile(sampleHostPath(f.devicePath)), f.bytes) << f.devicePath.toStdString();
}

TEST(SampleSettings, EverySectionIsReadyToRun)
{
    ScopedSettingsContext context;
    ASSERT_TRUE(LoadSettingsFile(kSample + QStringLiteral("/Vantor.ini")));
    for (int i = 0; i < kTestSettingsSlots; ++i) {
        if (const char* section = TestSettingsSection(i)) {
            EXPECT_TRUE(TheSettingsFile().HasSection(QString::fromLatin1(section))) << section;
        }
    }

    // Each chosen ramp file exists and its ramps fit in the move.
    auto checkMove = [](const SpeedSettings& s, int totalPulses, const char* what) {
        int ramps = 0;
        if (s.initialSpeedType == 1) {
            const std::vector<int> up = readProfile(s.rampUpProfile);
            ASSERT_FALSE(up.empty()) << what;
            for (int v : up)
                EXPECT_TRUE(v >= 1 && v <= 65535) << what;
            ramps += int(up.size());
        } else {
            EXPECT_GE(s.constantSpeed, 1) << what;
        }
        if (s.useRampDown) {
            const std::vector<int> down = readProfile(s.rampDownProfile);
            ASSERT_FALSE(down.empty()) << what;
            ramps += int(down.size());
        }
        if (totalPulses >= 0) {
            EXPECT_GE(totalPulses, ramps + 1) << what;
        }
    };
    auto* platen = FetchTestSettings<CPlatenSettings>();
    checkMove(platen->speed, platen->totalPulses, "platen");
    checkMove(platen->tapeRewind, -1, "platen tape rewind");
    EXPECT_GE(platen->cycle, 1);
    EXPECT_TRUE(platen->vref >= 1 && platen->vref <= 255);
    auto* life = FetchTestSettings<CPlatenLifeSettings>();
    checkMove(life->forward.speed, life->forward.totalPulses, "platen life forward");
    checkMove(life->reverse.speed, life->reverse.totalPulses, "platen life reverse");
    auto* ejector = FetchTestSettings<CEjectorSettings>();
    checkMove(ejector->speed, ejector->totalPulses, "ejector");
    for (int mode = 0; mode < 3; ++mode) {
        auto* rewind = FetchTestSettings<CTapeRewindSettings>(CTapeRewindSettings::IndexOfMode(mode));
        checkMove(rewind->speed, mode == 2 ? -1 : rewind->totalPulses, "tape rewind");
        EXPECT_GE(rewind->cycle, 1);
    }
    auto* xy = FetchTestSettings<CXYCutterLifeSettings>();
    checkMove(xy->crossweb, -1, "xy crossweb");
    checkMove(xy->downweb, -1, "xy downweb");
    EXPECT_TRUE(QFileInfo::exists(sampleHostPath(xy->cutFile)));
    auto* fiducial = FetchTestSettings<CFiducialSettings>();
    checkMove(fiducial->crossweb, fiducial->totalPulses, "fiducial crossweb");
    checkMove(fiducial->downweb, fiducial->downwebTotalPulses, "fiducial downweb");
    auto* colour = FetchTestSettings<CRibbonColorSettings>();
    checkMove(colour->speed, colour->totalPulses, "ribbon color");
    auto* print = FetchTestSettings<CPrintSettings>();
    const QByteArray bmp = readFile(sampleHostPath(print->imageFile));
    ASSERT_GE(bmp.size(), 62);
    EXPECT_TRUE(bmp.startsWith("BM"));
    EXPECT_EQ(uchar(bmp[22]) | (uchar(bmp[23]) << 8), 1248); // the print head's height
    EXPECT_EQ(uchar(bmp[28]), 1);                           // one bit per pixel
    for (const QString& prefix : {print->filePrefix, FetchTestSettings<CPrintToCutSettings>()->filePrefix,
                                  FetchTestSettings<CRibbonColorSettings>()->filePrefix})
        EXPECT_TRUE(QFileInfo(sampleHostPath(prefix)).dir().exists()) << prefix.toStdString();
}

TEST(SampleSettings, RampsClimbSmoothlyBetweenTheirEnds)
{
    const std::vector<int> up = RampRates(200, 2000, 100);
    ASSERT_EQ(up.size(), 100u);
    EXPECT_EQ(up.front(), 200);
    EXPECT_EQ(up.back(), 2000);
    for (size_t i = 1; i < up.size(); ++i)
        EXPECT_GT(up[i], up[i - 1]);
    const std::vector<int> down = RampRates(2000, 200, 5);
    EXPECT_EQ(down.front(), 2000);
    EXPECT_EQ(down.back(), 200);
    EXPECT_TRUE(RampRates(1, 2, 0).empty());
}
