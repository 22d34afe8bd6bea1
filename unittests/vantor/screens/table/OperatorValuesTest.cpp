// What the operator typed reaches the driver: a run is refused only for a
// value the program itself cannot carry (a buffer sized per pulse, a count
// beyond 32 bits, a file); anything else is sent, and the simulated printer
// answers for it.
#include <algorithm>
#include <QFile>
#include <functional>

#include "platform/DevicePath.h"
#include "unittests/vantor/testing/ScreenFixture.h"
#include "vantor/screens/fiducial/FiducialRun.h"
#include "vantor/screens/motion/EjectorRun.h"
#include "vantor/screens/motion/EndCutterRun.h"
#include "vantor/screens/motion/PlatenTests.h"
#include "vantor/screens/motion/PrintHeadLiftRun.h"
#include "vantor/screens/motion/RibbonTests.h"
#include "vantor/screens/motion/XYCutterRun.h"
#include "vantor/screens/sensor/MediaJamRun.h"
#include "vantor/screens/sensor/RibbonColorRun.h"
#include "vantor/settings/TestSettingsStore.h"

namespace {

using vantor::PreparedRun;

// A ramp-up profile of three pulses: longer than a move of one.
const QString kLongRamp = QStringLiteral("\\Hard Disk\\Profiles\\ThreePulses.txt");

class OperatorValues : public vantor::testing::ScreenFixture {
protected:
    void SetUp() override
    {
        ScreenFixture::SetUp();
        QFile f(platform::hostPath(kLongRamp));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("100\n200\n300\n");
        f.close();
        startSimulator();
    }

    // As RUN and `vantor --run` do: the definition's checks, then its run.
    template <class S>
    static PreparedRun prepare(const vantor::TestDefinition<S>& test, const S& values)
    {
        QString why = test.checksTotalCycle ? vantor::checkTotalCycle(values.cycle) : QString();
        if (test.validate)
            why += test.validate(values);
        if (!why.isEmpty())
            return PreparedRun::refuse(why);
        return test.prepare(values, vantor::openDriver());
    }
    template <class S>
    static S starter()
    {
        return *FetchTestSettings<S>();
    }
    static void rampUp(SpeedSettings& speed)
    {
        speed.initialSpeedType = 1;
        speed.rampUpProfile = kLongRamp;
        speed.useRampDown = 0;
    }
    // The lines of a run's cycles: after the start lines, before the end.
    QStringList cycleLines(PreparedRun prepared, int cycles = 1)
    {
        const qsizetype header = prepared ? runStartLines(*prepared.run).size() : 0;
        QStringList lines = runHeadless(std::move(prepared), cycles);
        lines = lines.mid(header);
        if (lines.size() >= 2 && lines.last() == QStringLiteral(" ") && lines[lines.size() - 2] == "== End ==")
            lines.resize(lines.size() - 2);
        return lines;
    }
};

struct SentCase {
    const char* what;
    std::function<PreparedRun()> prepare;
    QStringList lines; // the cycle's lines, as the simulated printer answers
};

} // namespace

// Ramps longer than the move: the negative constant phase is sent as
// computed, and the printer's refusal is the cycle's FAIL line.
TEST_F(OperatorValues, RampsLongerThanTheMoveAreSentAndTheDriverFails)
{
    const SentCase cases[] = {
        {"platen",
         [] {
             auto v = starter<CPlatenSettings>();
             rampUp(v.speed);
             v.totalPulses = 1;
             return prepare(vantor::platen::kPlatenTest, v);
         },
         {"1. Run Platen - FAIL"}},
        {"ejector",
         [] {
             auto v = starter<CEjectorSettings>();
             rampUp(v.speed);
             v.totalPulses = 1;
             return prepare(vantor::motion::kEjectorTest, v);
         },
         {"1. Run 1 rev (actual run 0 rev) - FAIL"}},
        {"XY cutter, cross web",
         [] {
             auto v = starter<CXYCutterSettings>();
             v.axis = 0;
             rampUp(v.crossweb.speed);
             v.crossweb.totalPulses = 1;
             return prepare(vantor::motion::kXYCutterTest, v);
         },
         {"1. Run Cross Web motor - FAIL"}},
        {"XY cutter, down web",
         [] {
             auto v = starter<CXYCutterSettings>();
             v.axis = 1;
             rampUp(v.downweb.speed);
             v.downweb.totalPulses = 1;
             return prepare(vantor::motion::kXYCutterTest, v);
         },
         {"1. Run Down Web motor - FAIL"}},
        {"ribbon drive",
         [] {
             auto v = starter<CRibbonDriveSettings>();
             v.advance.enabled = 1;
             rampUp(v.advance.speed);
             v.advance.totalPulses = 1;
             v.reverse.enabled = 0;
             return prepare(vantor::ribbon::kRibbonDriveTest, v);
         },
         {"1,Ribbon Advance ,FAIL,-"}},
        {"fiducial",
         [] {
             auto v = starter<CFiducialSettings>();
             rampUp(v.crossweb);
             v.totalPulses = 1;
             return prepare(vantor::fiducial::kFiducialTest, v);
         },
         {"1. Run fiducial test - FAIL "}},
        {"ribbon colour",
         [] {
             auto v = starter<CRibbonColorSettings>();
             rampUp(v.speed);
             v.totalPulses = 1;
             return prepare(vantor::sensor::kRibbonColorTest, v);
         },
         {"1. Run Ribbon Color - FAIL"}},
    };
    for (const SentCase& c : cases) {
        SCOPED_TRACE(c.what);
        PreparedRun prepared = c.prepare();
        ASSERT_TRUE(prepared) << prepared.refusal.toStdString();
        EXPECT_EQ(cycleLines(std::move(prepared)), c.lines);
    }
}

// Values the descriptions leave unchecked go out as read; the records hold
// them as typed.
TEST_F(OperatorValues, UncheckedValuesAreSentAsRead)
{
    {
        auto v = starter<CMediaJamSettings>();
        v.length = -1;
        v.copies = 20000;
        PreparedRun prepared = prepare(vantor::sensor::kMediaJamTest, v);
        ASSERT_TRUE(prepared) << prepared.refusal.toStdString();
        const auto& run = dynamic_cast<const vantor::sensor::MediaJamRun&>(*prepared.run);
        EXPECT_EQ(run.record()->length, -1);
        EXPECT_EQ(run.record()->copies, 20000);
    }
    {
        auto v = starter<CRibbonColorSettings>();
        v.samplingDelay = -1;
        v.sensingPerSample = QStringLiteral("3");
        PreparedRun prepared = prepare(vantor::sensor::kRibbonColorTest, v);
        ASSERT_TRUE(prepared) << prepared.refusal.toStdString();
        const auto& run = dynamic_cast<const vantor::sensor::RibbonColorRun&>(*prepared.run);
        EXPECT_EQ(run.record()->samplingDelay, -1);
        EXPECT_EQ(run.record()->sensingPerSample, 3);
    }
    const SentCase cases[] = {
        {"fiducial home and mark distances",
         [] {
             auto v = starter<CFiducialSettings>();
             v.homeDistance = -7;
             v.downwebMarkDistance = 2000000;
             return prepare(vantor::fiducial::kFiducialTest, v);
         },
         {"1. Run fiducial test - FAIL "}},
        {"XY life forward steps",
         [] {
             auto v = starter<CXYCutterLifeSettings>();
             v.testType = 0;
             v.forwardBlocked = -1;
             v.forwardUnblocked = 2000000;
             return prepare(vantor::motion::kXYCutterLifeTest, v);
         },
         {"1. Run Homing Test - FAIL"}},
        {"XY cutter down-web pulses past the cross-web bound",
         [] {
             auto v = starter<CXYCutterSettings>();
             v.axis = 1;
             v.downweb.speed.initialSpeedType = 0;
             v.downweb.totalPulses = 200000;
             return prepare(vantor::motion::kXYCutterTest, v);
         },
         {"1. Run Down Web motor - FAIL"}},
    };
    for (const SentCase& c : cases) {
        SCOPED_TRACE(c.what);
        PreparedRun prepared = c.prepare();
        ASSERT_TRUE(prepared) << prepared.refusal.toStdString();
        EXPECT_EQ(cycleLines(std::move(prepared)), c.lines);
    }
}

// A current level that is not an item and a test type that is not a
// choice reach the driver, which fails the cycle.
TEST_F(OperatorValues, LevelsAndTestTypesOutsideTheirListsAreSentAndFail)
{
    const SentCase cases[] = {
        {"end cutter level",
         [] {
             auto v = starter<CEndCutterSettings>();
             v.currentLevel = QStringLiteral("55");
             return prepare(vantor::motion::kEndCutterTest, v);
         },
         {"1. Run motor - OK "}},
        {"head lift level",
         [] {
             auto v = starter<CPrintHeadLiftSettings>();
             v.currentLevel = QStringLiteral("abc");
             return prepare(vantor::motion::kPrintHeadLiftTest, v);
         },
         // Code 0 goes to the driver, which lifts at its own default.
         {"1. Run motor - OK"}},
        {"head lift test type",
         [] {
             auto v = starter<CPrintHeadLiftSettings>();
             v.testType = 7;
             return prepare(vantor::motion::kPrintHeadLiftTest, v);
         },
         {"1. Run motor - FAIL"}},
    };
    for (const SentCase& c : cases) {
        SCOPED_TRACE(c.what);
        PreparedRun prepared = c.prepare();
        ASSERT_TRUE(prepared) << prepared.refusal.toStdString();
        const QStringList lines = cycleLines(std::move(prepared));
        EXPECT_TRUE(std::any_of(lines.begin(), lines.end(),
                                [&](const QString& l) { return l.startsWith(c.lines.first()); }))
            << lines.join('|').toStdString();
    }
}

// "Run:" as the program reads a number: text or a negative count is 0,
// one run; a total of 0 cycles in the XY life test still runs one.
TEST_F(OperatorValues, RunCountsAndTotalsReadAsTheProgramReadsThem)
{
    for (const char* run : {"abc", "-1", ""}) {
        SCOPED_TRACE(run);
        auto v = starter<CRibbonColorSettings>();
        v.run = QString::fromLatin1(run);
        PreparedRun prepared = prepare(vantor::sensor::kRibbonColorTest, v);
        ASSERT_TRUE(prepared) << prepared.refusal.toStdString();
        EXPECT_EQ(cycleLines(std::move(prepared), 2),
                  (QStringList{"1. Run Ribbon Color - OK ", "1. log file is save.", "2. Run Ribbon Color - OK ",
                               "2. log file is save."}));
    }
    auto v = starter<CXYCutterLifeSettings>();
    v.testType = 2;
    v.cycle = 0;
    PreparedRun prepared = prepare(vantor::motion::kXYCutterLifeTest, v);
    ASSERT_TRUE(prepared) << prepared.refusal.toStdString();
    EXPECT_EQ(cycleLines(std::move(prepared), 0), QStringList{"1. Run Pinch Test - OK "});
}

// The bounds that protect the program stay: a buffer sized per pulse and a
// run count beyond what a worker counts.
TEST_F(OperatorValues, BoundsThatProtectTheProgramStay)
{
    struct Kept {
        const char* what;
        std::function<PreparedRun()> prepare;
    };
    const Kept cases[] = {
        {"XY cross-web samples",
         [] {
             auto v = starter<CXYCutterSettings>();
             v.axis = 0;
             v.crossweb.totalPulses = 100001;
             return prepare(vantor::motion::kXYCutterTest, v);
         }},
        {"fiducial samples",
         [] {
             auto v = starter<CFiducialSettings>();
             v.downwebTotalPulses = 1000001;
             return prepare(vantor::fiducial::kFiducialTest, v);
         }},
        {"platen encoder detail",
         [] {
             auto v = starter<CPlatenSettings>();
             v.encoderInDetail = 1;
             v.totalPulses = 1000001;
             return prepare(vantor::platen::kPlatenTest, v);
         }},
        {"ribbon colour runs times cycles",
         [] {
             auto v = starter<CRibbonColorSettings>();
             v.run = QStringLiteral("99999");
             v.cycle = 100000;
             return prepare(vantor::sensor::kRibbonColorTest, v);
         }},
    };
    for (const Kept& c : cases) {
        SCOPED_TRACE(c.what);
        const PreparedRun prepared = c.prepare();
        EXPECT_FALSE(prepared);
        EXPECT_FALSE(prepared.refusal.isEmpty());
    }
}
