#include <gtest/gtest.h>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include "SettingsTestUtil.h"
#include "vantor/settings/TestSettingsStore.h"
#include "vantor/settings/tools/SampleSettings.h"

using namespace settings_test;

namespace {

// Notes the keys in the order a record reads and writes them.
class RecordingFile : public CSettingsFile {
public:
    QString GetString(const QString& key, const QString& defaultValue) override
    {
        reads << key;
        return CSettingsFile::GetString(key, defaultValue);
    }
    using CSettingsFile::GetString;
    void SetString(const QString& key, const QString& value) override
    {
        writes << key;
        CSettingsFile::SetString(key, value);
    }
    QStringList reads, writes;
};

QStringList keys(const char* list)
{
    return QString::fromLatin1(list).split(QLatin1Char(' '));
}

struct KeyOrder {
    int index;
    const char* reads;
    const char* writes; // nullptr: as read
};

} // namespace

TEST(TestSettingsStore, IndexTableGivesOneRecordPerUsedIndex)
{
    CSettingsFile file;
    const QString path;
    TestSettingsStore store(file, path);
    const char* sections[kTestSettingsSlots] = {
        "ejector", "End Cutter", "Print Head Lift", "Platen", "Platen Life", "Print Head", "Ribbon Drive",
        "Ribbon To Platen", "Ribbon Advance", "Ribbon Tension", "Ribbon Color", "Platen Sensor", "Tape Rewind",
        "Tape Roll Tightness", "Tape Overshoot", "XY Cutter", "XY Cutter Life", "Fiducial", nullptr, nullptr, "Print",
        nullptr, "PrintToCut", "MEdiaJam"};
    int used = 0;
    for (int i = 0; i < kTestSettingsSlots; ++i) {
        CTestSettings* r = store.Get(i);
        if (!sections[i]) {
            EXPECT_EQ(r, nullptr) << i;
            continue;
        }
        ++used;
        ASSERT_NE(r, nullptr) << i;
        EXPECT_EQ(r->SectionName(), QString::fromLatin1(sections[i]));
        EXPECT_EQ(r->Index(), i);
        EXPECT_EQ(store.Get(i), r);
        EXPECT_EQ(store.Fetch(i), r);
    }
    EXPECT_EQ(used, kTestSettingsRecords);
    EXPECT_EQ(store.Get(-1), nullptr);
    EXPECT_EQ(store.Get(kTestSettingsSlots), nullptr);
    EXPECT_EQ(store.Fetch(19), nullptr);
    EXPECT_FALSE(store.Store(21));
}

TEST(TestSettingsStore, RecordsReadAndWriteTheirKeysInOrder)
{
    const KeyOrder orders[] = {
        {kTestPlaten,
         "InitialSpeedType ConstantSpeed RampUpProfile UseRampDown RampDownProfile Direction TotalPulses Vref StepMode "
         "PreHold PostHold Clutch EncoderInDeail TapeRewindInitialSpeedType TapeRewindConstantSpeed "
         "TapeRewindRampUpProfile TapeRewindUseRampDown TapeRewindRampDownProfile TapeRewindStepMode pause cycle "
         "CumulativeCycle",
         nullptr},
        {kTestEndCutter,
         "Frequency DutyCycle CurrentLevel ConstantSpeed TotalPulses EjectTotalPulses pause cycle CumulativeCycle",
         "Frequency CurrentLevel DutyCycle ConstantSpeed TotalPulses EjectTotalPulses pause cycle CumulativeCycle"},
        {kTestPrintHeadLift, "Frequency DutyCycle CurrentLevel Delay TestType TotalPulses pause cycle CumulativeCycle",
         "Frequency CurrentLevel DutyCycle Delay TestType TotalPulses pause cycle CumulativeCycle"},
        {kTestEjector,
         "InitialSpeedType ConstantSpeed RampUpProfile UseRampDown RampDownProfile TotalPulses Vref StepMode PostHold "
         "Rev ForwardUnblocked ForwardBlocked pause cycle CumulativeCycle",
         nullptr},
        {kTestTapeRewind,
         "InitialSpeedType ConstantSpeed RampUpProfile UseRampDown RampDownProfile Vref TotalPulses StepMode PostHold "
         "pause cycle CumulativeCycle",
         nullptr},
        {kTestTapeRollTightness,
         "InitialSpeedType ConstantSpeed RampUpProfile UseRampDown RampDownProfile TotalPulses CaptureEncoderFrom "
         "StepMode PostHold pause cycle CumulativeCycle",
         nullptr},
        {kTestTapeOvershoot,
         "InitialSpeedType ConstantSpeed RampUpProfile UseRampDown RampDownProfile WaitToRead StepMode PostHold pause "
         "cycle CumulativeCycle",
         nullptr},
        {kTestXYCutterLife,
         "InitialSpeedType ConstantSpeed RampUpProfile UseRampDown RampDownProfile StepMode ForwardBlocked "
         "ForwardUnblocked CrosswebVref DownwebInitialSpeedType DownwebConstantSpeed DownwebRampUpProfile "
         "DownwebUseRampDown DownwebRampDownProfile DownwebStepMode DownwebRunBy DownwebVref CutFile "
         "TapeRewindInitialSpeedType TapeRewindConstantSpeed TapeRewindRampUpProfile TapeRewindUseRampDown "
         "TapeRewindRampDownProfile TapeRewindStepMode PeriodInUS CurrentLevel DutyCycle PinchAfterTriggered "
         "DePinchAfterTriggered Force pause cycle CumulativeCycle",
         "InitialSpeedType ConstantSpeed RampUpProfile UseRampDown RampDownProfile StepMode CrosswebVref "
         "ForwardBlocked ForwardUnblocked DownwebInitialSpeedType DownwebConstantSpeed DownwebRampUpProfile "
         "DownwebUseRampDown DownwebRampDownProfile DownwebStepMode DownwebRunBy DownwebVref CutFile "
         "TapeRewindInitialSpeedType TapeRewindConstantSpeed TapeRewindRampUpProfile TapeRewindUseRampDown "
         "TapeRewindRampDownProfile TapeRewindStepMode PeriodInUS CurrentLevel DutyCycle PinchAfterTriggered "
         "DePinchAfterTriggered Force pause cycle CumulativeCycle"},
        {kTestPlatenLife,
         "InitialSpeedType ConstantSpeed RampUpProfile UseRampDown RampDownProfile TotalPulses StepMode PreHold "
         "PostHold Clutch UseReversePlaten ReverseInitialSpeedType ReverseConstantSpeed ReverseRampUpProfile "
         "ReverseUseRampDown ReverseRampDownProfile ReverseTotalPulses ReverseStepMode ReversePreHold "
         "ReversePostHold ReverseClutch TapeRewindInitialSpeedType TapeRewindConstantSpeed TapeRewindRampUpProfile "
         "TapeRewindUseRampDown TapeRewindRampDownProfile TapeRewindReverseTotalPulses TapeRewindStepMode MultiPass "
         "pause cycle CumulativeCycle",
         nullptr},
        {kTestPrintHead,
         "InitialSpeedType ConstantSpeed RampUpProfile PauseAfterLoading UnloadInitialSpeedType UnloadConstantSpeed "
         "UnloadRampUpProfile Vref StepMode pause cycle CumulativeCycle",
         nullptr},
        {kTestRibbonColor,
         "InitialSpeedType ConstantSpeed RampUpProfile TotalPulses StepMode Frequency DutyCycle CurrentLevel "
         "SensingPerSample SamplingDelay filePrefix Color PanelLength LotNumber Unit Run pause cycle CumulativeCycle",
         nullptr},
        {kTestFiducial,
         "ColorType CrosswebRedOffset CrosswebGreenOffset CrosswebBlueOffset DownwebRedOffset DownwebGreenOffset "
         "DownwebBlueOffset InitialSpeedType ConstantSpeed RampUpProfile UseRampDown RampDownProfile StepMode "
         "TotalPulses HomeDistance DownwebInitialSpeedType DownwebConstantSpeed DownwebRampUpProfile "
         "DownwebUseRampDown DownwebRampDownProfile DownwebStepMode DownwebRunType DownwebTotalPulses "
         "DownwebMarkDistance CutFile pause cycle CumulativeCycle",
         nullptr},
        {kTestPrint,
         "pass size pattern offset filePrefix imageFile burnSetting delayStart printCompliance endCut pause cycle "
         "CumulativeCycle",
         nullptr},
        {kTestPrintToCut,
         "printSpeed vref crosswebOffset downwebOffser totalBoxes boxLength filePrefix pause cycle CumulativeCycle",
         nullptr},
        {kTestMediaJam, "length copies endCut pause cycle CumulativeCycle", nullptr},
    };
    for (const KeyOrder& o : orders) {
        RecordingFile file;
        const QString path;
        TestSettingsStore store(file, path);
        CTestSettings* r = store.Fetch(o.index);
        ASSERT_NE(r, nullptr);
        EXPECT_EQ(file.SectionName(), r->SectionName());
        EXPECT_EQ(file.reads, keys(o.reads)) << o.index;
        r->Save();
        EXPECT_EQ(file.writes, keys(o.writes ? o.writes : o.reads)) << o.index;
    }
    for (int index : {kTestRibbonDrive, kTestRibbonToPlaten, kTestRibbonAdvance, kTestRibbonTension, kTestPlatenSensor,
                      kTestXYCutter}) {
        RecordingFile file;
        const QString path;
        TestSettingsStore store(file, path);
        store.Fetch(index)->Save();
        EXPECT_EQ(file.reads, keys("CumulativeCycle")) << index;
        EXPECT_EQ(file.writes, keys("CumulativeCycle")) << index;
    }
}

TEST(TestSettingsStore, AbsentKeysGiveTheirLoadDefaults)
{
    ScopedSettingsContext context;
    auto* ejector = FetchTestSettings<CEjectorSettings>();
    EXPECT_EQ(ejector->cycle, 1);
    EXPECT_EQ(ejector->vref, 1);
    EXPECT_EQ(ejector->rev, 1);
    EXPECT_EQ(ejector->pause, 0);
    auto* cutter = FetchTestSettings<CEndCutterSettings>();
    EXPECT_EQ(cutter->currentLevel, QStringLiteral("100"));
    EXPECT_EQ(cutter->dutyCycle, 100);
    EXPECT_EQ(cutter->cycle, 1);
    auto* lift = FetchTestSettings<CPrintHeadLiftSettings>();
    EXPECT_EQ(lift->currentLevel, QStringLiteral("100"));
    EXPECT_EQ(lift->dutyCycle, 100);
    EXPECT_EQ(lift->cycle, 1);
    EXPECT_EQ(FetchTestSettings<CPrintSettings>()->burnSetting, 100);
    EXPECT_EQ(FetchTestSettings<CPrintToCutSettings>()->vref, 255);
    auto* colour = FetchTestSettings<CRibbonColorSettings>();
    EXPECT_EQ(colour->currentLevel, QStringLiteral("100"));
    EXPECT_EQ(colour->sensingPerSample, QStringLiteral("2"));
    // A fresh file: the platen record is all zeros and empty paths, so RUN
    // would report "Total Cycle" among its messages.
    auto* platen = FetchTestSettings<CPlatenSettings>();
    EXPECT_EQ(platen->cycle, 0);
    EXPECT_EQ(platen->totalPulses, 0);
    EXPECT_EQ(platen->speed, SpeedSettings{});
    EXPECT_EQ(platen->tapeRewind, SpeedSettings{});
}

TEST(TestSettingsStore, LoadReplacesStoredValuesAndTextReadsAsZero)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Vantor.ini"));
    ASSERT_TRUE(writeFile(path, utf16(u"\r\n[platen]\r\ntotalpulses = abc\r\nvref = 12x\r\nrampupprofile = "
                                      u"\\Hard Disk\\Profiles\\Up.txt\r\ncycle = 3\r\n"_qs)));
    ScopedSettingsContext context;
    ASSERT_TRUE(LoadSettingsFile(path));
    EXPECT_EQ(SettingsPath(), path);
    auto* platen = GetTestSettings<CPlatenSettings>();
    platen->totalPulses = 77;
    platen->direction = 1;
    FetchTestSettings(kTestPlaten);
    EXPECT_EQ(platen->totalPulses, 0);
    EXPECT_EQ(platen->vref, 12);
    EXPECT_EQ(platen->cycle, 3);
    EXPECT_EQ(platen->direction, 0); // absent: its default, not the old value
    EXPECT_EQ(platen->speed.rampUpProfile, u"\\Hard Disk\\Profiles\\Up.txt"_qs);
}

TEST(TestSettingsStore, StoreWritesTheFileOnlyWhenItExists)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Vantor.ini"));
    ScopedSettingsContext context(path);
    EXPECT_FALSE(LoadSettingsFile(path));

    // Opening and closing the ribbon drive test without a file: the count is
    // kept in memory for the next opening, and no file appears.
    auto* drive = FetchTestSettings<CRibbonDriveSettings>();
    drive->cumulativeCycle = 12;
    EXPECT_FALSE(StoreTestSettings(kTestRibbonDrive));
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_EQ(FetchTestSettings<CRibbonDriveSettings>()->cumulativeCycle, 12);

    // A file that appears later did not load: it is not written over (it
    // may be the engineer's copy), until it is loaded.
    ASSERT_TRUE(writeFile(path, utf16(u"\r\n[platen]\r\ncycle = 4\r\n"_qs)));
    EXPECT_FALSE(StoreTestSettings(kTestRibbonDrive));
    EXPECT_EQ(readFile(path), utf16(u"\r\n[platen]\r\ncycle = 4\r\n"_qs));
    ASSERT_TRUE(LoadSettingsFile(path));
    FetchTestSettings<CRibbonDriveSettings>()->cumulativeCycle = 12;
    ASSERT_TRUE(StoreTestSettings(kTestRibbonDrive));
    EXPECT_EQ(readFile(path), utf16(u"\r\n[platen]\r\ncycle = 4\r\n[ribbon drive]\r\ncumulativecycle = 12\r\n"_qs));
}

TEST(TestSettingsStore, AFailedSaveIsReportedOnceWithItsPath)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Vantor.ini"));
    ScopedSettingsContext context(path);
    ASSERT_TRUE(writeFile(path, utf16(u"\r\n"_qs)));
    ASSERT_TRUE(LoadSettingsFile(path));
    QStringList reported;
    SetSettingsSaveFailureHandler([&reported](const QString& p) { reported << p; });

    ASSERT_TRUE(StoreTestSettings(kTestPlaten));
    EXPECT_TRUE(reported.isEmpty());

    // The file turns read-only: the first failure is reported, naming the
    // path; the next closings do not repeat it.
    QFile::setPermissions(path, QFile::ReadOwner);
    EXPECT_FALSE(StoreTestSettings(kTestPlaten));
    EXPECT_FALSE(StoreTestSettings(kTestEjector));
    EXPECT_EQ(reported, QStringList{path});

    // After a save that works, a new failure is news again.
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    ASSERT_TRUE(StoreTestSettings(kTestPlaten));
    QFile::remove(path);
    EXPECT_FALSE(StoreTestSettings(kTestPlaten));
    EXPECT_EQ(reported, (QStringList{path, path}));
}

TEST(TestSettingsStore, AFileThatDidNotLoadIsNotReportedAgainOnSave)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Vantor.ini"));
    ScopedSettingsContext context(path);
    ASSERT_TRUE(writeFile(path, QByteArray("[platen]\r\ncycle = 4\xFF\r\n")));
    EXPECT_FALSE(LoadSettingsFile(path)); // the program warned at start-up
    int reports = 0;
    SetSettingsSaveFailureHandler([&reports](const QString&) { ++reports; });
    EXPECT_FALSE(StoreTestSettings(kTestPlaten));
    EXPECT_EQ(reports, 0);
    EXPECT_EQ(readFile(path), QByteArray("[platen]\r\ncycle = 4\xFF\r\n"));
}

TEST(TestSettingsStore, ProgramRunValuesStayOutOfTheFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Vantor.ini"));
    ASSERT_TRUE(writeFile(path, QByteArray()));
    ScopedSettingsContext context(path);

    auto* rewind = GetTestSettings<CTapeRewindSettings>(kTestTapeRewind);
    EXPECT_EQ(rewind->vref, 255); // before the first load
    FetchTestSettings(kTestTapeRewind);
    EXPECT_EQ(rewind->vref, 0); // the file has no Vref
    rewind->tension = 1;
    ASSERT_TRUE(StoreTestSettings(kTestTapeRewind));
    FetchTestSettings(kTestTapeRewind);
    EXPECT_EQ(rewind->tension, 1);

    auto* tightness = FetchTestSettings<CTapeRewindSettings>(CTapeRewindSettings::IndexOfMode(1));
    EXPECT_EQ(tightness->Mode(), 1);
    tightness->vref = 99;
    tightness->captureEncoderFrom = 40;
    ASSERT_TRUE(StoreTestSettings(kTestTapeRollTightness));

    auto* xy = FetchTestSettings<CXYCutterSettings>();
    EXPECT_EQ(xy->crossweb.vref, 100);
    EXPECT_EQ(xy->downweb.vref, 100);
    EXPECT_EQ(xy->dutyCycle, 100);
    EXPECT_EQ(xy->force, 100);
    xy->crossweb.totalPulses = 300;
    xy->cumulativeCycle = 4;
    ASSERT_TRUE(StoreTestSettings(kTestXYCutter));

    auto* life = FetchTestSettings<CXYCutterLifeSettings>();
    EXPECT_EQ(life->tapeRewindVref, 100);
    life->tapeRewindVref = 37;
    ASSERT_TRUE(StoreTestSettings(kTestXYCutterLife));

    auto* colour = FetchTestSettings<CRibbonColorSettings>();
    colour->emitterNumber = QStringLiteral("E-17");
    colour->detectorNumber = QStringLiteral("D-4");
    ASSERT_TRUE(StoreTestSettings(kTestRibbonColor));

    const QString text = fromUtf16(readFile(path));
    EXPECT_FALSE(text.contains(QLatin1String("tension")));
    EXPECT_FALSE(text.contains(QLatin1String("E-17")));
    EXPECT_FALSE(text.contains(QLatin1String("D-4")));
    EXPECT_FALSE(text.contains(QLatin1String("37")));
    EXPECT_FALSE(text.contains(QLatin1String("300")));
    EXPECT_TRUE(text.contains(QLatin1String("[tape roll tightness]")));
    EXPECT_TRUE(text.contains(QLatin1String("captureencoderfrom = 40")));
    EXPECT_FALSE(text.contains(QLatin1String("vref = 99")));
    EXPECT_TRUE(text.contains(QLatin1String("[xy cutter]\r\ncumulativecycle = 4\r\n[")) ||
                text.endsWith(QLatin1String("[xy cutter]\r\ncumulativecycle = 4\r\n")));

    // A second opening in the same run shows them again.
    EXPECT_EQ(FetchTestSettings<CXYCutterSettings>()->crossweb.totalPulses, 300);
    EXPECT_EQ(FetchTestSettings<CXYCutterLifeSettings>()->tapeRewindVref, 37);
    EXPECT_EQ(FetchTestSettings<CRibbonColorSettings>()->emitterNumber, QStringLiteral("E-17"));
}

TEST(TestSettingsStore, PrintAndAgingPrintShareOneSection)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Vantor.ini"));
    ASSERT_TRUE(writeFile(path, QByteArray()));
    {
        ScopedSettingsContext aging(path);
        auto* print = FetchTestSettings<CPrintSettings>(kTestPrint);
        print->cycle = 8;
        print->pause = 250;
        print->cumulativeCycle = 31;
        ASSERT_TRUE(StoreTestSettings(kTestPrint));
    }
    ScopedSettingsContext next(path);
    ASSERT_TRUE(LoadSettingsFile(path));
    auto* print = FetchTestSettings<CPrintSettings>(kTestPrint);
    EXPECT_EQ(print->cycle, 8);
    EXPECT_EQ(print->pause, 250);
    EXPECT_EQ(print->cumulativeCycle, 31);
}

TEST(TestSettingsStore, SnapshotsCopyValuesButNotIdentity)
{
    CSettingsFile file;
    const QString path;
    TestSettingsStore store(file, path);
    auto* rewind = dynamic_cast<CTapeRewindSettings*>(store.Get(kTestTapeRewind));
    auto* overshoot = dynamic_cast<CTapeRewindSettings*>(store.Get(kTestTapeOvershoot));
    CTapeRewindSettings edit = *rewind;
    edit.waitToRead = 300;
    edit.cycle = 6;
    edit.speed.rampUpProfile = QStringLiteral("up.txt");
    *overshoot = edit;
    EXPECT_EQ(overshoot->Mode(), 2);
    EXPECT_EQ(overshoot->SectionName(), QStringLiteral("Tape Overshoot"));
    EXPECT_EQ(overshoot->waitToRead, 300);
    EXPECT_EQ(overshoot->cycle, 6);
    EXPECT_EQ(overshoot->speed.rampUpProfile, QStringLiteral("up.txt"));
}

TEST(TestSettingsStore, EveryRecordReadsBackWhatItWrote)
{
    // The starter values set most persisted fields to something other than
    // their defaults: loading them into fresh records and writing those again,
    // in the same order, must give the same file.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Vantor.ini"));
    ASSERT_TRUE(writeFile(path, QByteArray()));
    QByteArray written;
    {
        CSettingsFile file;
        TestSettingsStore store(file, path);
        FillSampleSettings(store);
        ASSERT_TRUE(file.Save(path));
        written = readFile(path);
    }
    CSettingsFile file;
    ASSERT_TRUE(file.Load(path));
    TestSettingsStore store(file, path);
    for (int i = 0; i < kTestSettingsSlots; ++i)
        store.Fetch(i);
    file.Clear();
    for (int i = 0; i < kTestSettingsSlots; ++i)
        if (CTestSettings* r = store.Get(i))
            r->Save();
    EXPECT_EQ(file.Serialize(), written);
}
