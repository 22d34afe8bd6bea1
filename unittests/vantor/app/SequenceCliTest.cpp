// `vantor --sequence` and `vantor --run --limit` as a production line calls
// them: the built program against the simulated printer, its exit status,
// its standard error and its record.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>

#include "SchemaCheck.h"

namespace {

struct Cli {
    int exitCode = -1;
    QString out, err;
};

class SequenceCli : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    QString sample = QStringLiteral(VANTOR_SAMPLE_DIR "/sequences/final-test.json");

    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        const QString root = QStringLiteral(VANTOR_SAMPLE_DIR);
        QDirIterator it(root + QStringLiteral("/device"), QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString src = it.next();
            const QString dst = dir.filePath(QStringLiteral("device")) + src.mid(root.size() + 7);
            QDir().mkpath(QFileInfo(dst).path());
            QFile::copy(src, dst);
        }
        ASSERT_TRUE(QFile::copy(root + QStringLiteral("/Vantor.ini"), ini()));
        env.insert(QStringLiteral("DIAG_DEVICE_ROOT"), dir.filePath(QStringLiteral("device")));
        env.insert(QStringLiteral("DIAG_SIM_TIME_SCALE"), QStringLiteral("0"));
        env.remove(QStringLiteral("DISPLAY"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("none-such"));
    }
    QString ini() const { return dir.filePath(QStringLiteral("Vantor.ini")); }
    QString path(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }

    void start(QProcess& p, QStringList args)
    {
        p.setProcessEnvironment(env);
        args << QStringLiteral("--ini") << ini();
        p.start(QStringLiteral(VANTOR_BINARY), args);
    }
    Cli run(QStringList args)
    {
        QProcess p;
        start(p, std::move(args));
        EXPECT_TRUE(p.waitForFinished(120000));
        return {p.exitCode(), QString::fromLocal8Bit(p.readAllStandardOutput()),
                QString::fromLocal8Bit(p.readAllStandardError())};
    }
    QString write(const char* name, const QByteArray& text)
    {
        QFile f(path(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
        return f.fileName();
    }
    static QJsonObject readJson(const QString& file)
    {
        QFile f(file);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << qPrintable(file);
        return QJsonDocument::fromJson(f.readAll()).object();
    }
    static QStringList violations(const QJsonObject& record)
    {
        return vantor::testing::schemaViolations(vantor::testing::recordSchema(), record);
    }
    static QStringList verdicts(const QJsonObject& record)
    {
        QStringList out;
        for (const QJsonValue& s : record[QStringLiteral("steps")].toArray())
            out << s.toObject()[QStringLiteral("verdict")].toString();
        return out;
    }
};

TEST_F(SequenceCli, TheSampleSequencePassesAndItsRecordMatchesTheSchema)
{
    const QByteArray iniBefore = [&] {
        QFile f(ini());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    const QString json = path("record.json");
    const Cli r = run({QStringLiteral("--sequence"), sample, QStringLiteral("--serial"), QStringLiteral("SN42"),
                       QStringLiteral("--operator"), QStringLiteral("ada"), QStringLiteral("--json"), json});
    ASSERT_EQ(r.exitCode, 0) << qPrintable(r.err);
    const QJsonObject rec = readJson(json);
    EXPECT_EQ(violations(rec), QStringList());
    EXPECT_EQ(rec[QStringLiteral("kind")].toString(), QStringLiteral("sequence"));
    EXPECT_EQ(rec[QStringLiteral("name")].toString(), QStringLiteral("Final test"));
    EXPECT_EQ(rec[QStringLiteral("serial")].toString(), QStringLiteral("SN42"));
    EXPECT_EQ(rec[QStringLiteral("operator")].toString(), QStringLiteral("ada"));
    EXPECT_EQ(rec[QStringLiteral("verdict")].toString(), QStringLiteral("PASS"));
    EXPECT_EQ(verdicts(rec), (QStringList{QStringLiteral("PASS"), QStringLiteral("PASS"), QStringLiteral("PASS")}));
    const QJsonObject platen = rec[QStringLiteral("steps")].toArray()[0].toObject();
    EXPECT_EQ(platen[QStringLiteral("cycles")].toObject()[QStringLiteral("done")].toInt(), 3);
    EXPECT_EQ(platen[QStringLiteral("series")].toArray().size(), 3);
    EXPECT_EQ(platen[QStringLiteral("settings")].toObject()[QStringLiteral("TotalPulses")].toString(),
              QStringLiteral("3000"));
    // 9000 samples in all: they stay in the record.
    EXPECT_TRUE(platen[QStringLiteral("series")].toArray()[0].toObject().contains(QStringLiteral("values")));
    // A sequence works on copies: Vantor.ini is as it was.
    QFile f(ini());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), iniBefore);
}

TEST_F(SequenceCli, ALimitOutsideTheValuesFailsAndNamesTheMeasurement)
{
    const QString json = path("run.json");
    Cli r = run({QStringLiteral("--run"), QStringLiteral("Platen Test"), QStringLiteral("--cycles"),
                 QStringLiteral("2"), QStringLiteral("--pause"), QStringLiteral("0"), QStringLiteral("--limit"),
                 QStringLiteral("Total encode=0..1"), QStringLiteral("--limit"), QStringLiteral("Run Platen=OK"),
                 QStringLiteral("--json"), json});
    EXPECT_EQ(r.exitCode, 1) << qPrintable(r.err);
    EXPECT_TRUE(r.err.contains(QStringLiteral("Total encode (cycle 1)"))) << qPrintable(r.err);
    const QJsonObject rec = readJson(json);
    EXPECT_EQ(violations(rec), QStringList());
    EXPECT_EQ(rec[QStringLiteral("verdict")].toString(), QStringLiteral("FAIL"));
    EXPECT_TRUE(rec[QStringLiteral("reason")].toString().contains(QStringLiteral("Total encode"))) << qPrintable(r.err);
    // The keys the run's record always had stay.
    EXPECT_EQ(rec[QStringLiteral("cyclesDone")].toInt(), 2);
    EXPECT_EQ(rec[QStringLiteral("failLines")].toInt(), 0);
    int failing = 0;
    for (const QJsonValue& m : rec[QStringLiteral("steps")].toArray()[0].toObject()[QStringLiteral("measurements")].toArray())
        failing += m.toObject()[QStringLiteral("verdict")].toString() == QLatin1String("FAIL");
    EXPECT_EQ(failing, 2); // both cycles' totals; the pass/fail lines passed

    // Within the limits: 0.
    r = run({QStringLiteral("--run"), QStringLiteral("Platen Test"), QStringLiteral("--cycles"), QStringLiteral("1"),
             QStringLiteral("--limit"), QStringLiteral("Total encode>=1"), QStringLiteral("--pause"),
             QStringLiteral("0")});
    EXPECT_EQ(r.exitCode, 0) << qPrintable(r.err);
}

TEST_F(SequenceCli, AFaultInOneStepFailsItAndStopOnFailSkipsTheRest)
{
    // Command 7 is the ejector's move alone.
    env.insert(QStringLiteral("DIAG_SIM_FAULTS"), QStringLiteral("7=always"));
    const QString json = path("record.json");
    const Cli r = run({QStringLiteral("--sequence"), sample, QStringLiteral("--serial"), QStringLiteral("SN1"),
                       QStringLiteral("--json"), json});
    EXPECT_EQ(r.exitCode, 1) << qPrintable(r.err);
    const QJsonObject rec = readJson(json);
    EXPECT_EQ(violations(rec), QStringList());
    EXPECT_EQ(rec[QStringLiteral("verdict")].toString(), QStringLiteral("FAIL"));
    EXPECT_EQ(verdicts(rec), (QStringList{QStringLiteral("PASS"), QStringLiteral("FAIL"), QStringLiteral("SKIPPED")}));
    const QJsonObject skipped = rec[QStringLiteral("steps")].toArray()[2].toObject();
    EXPECT_EQ(skipped[QStringLiteral("cycles")].toObject()[QStringLiteral("done")].toInt(), 0);
    EXPECT_TRUE(skipped[QStringLiteral("lines")].toArray().isEmpty());
    EXPECT_FALSE(r.out.contains(QStringLiteral("Run motor"))) << "the end cutter must not run";
    EXPECT_TRUE(r.err.contains(QStringLiteral("Run (cycle 1) = FAIL"))) << qPrintable(r.err);
}

TEST_F(SequenceCli, SigintDuringAStepAbortsWithACompleteRecord)
{
    // Each platen move takes 300 ms: the signal arrives inside the run.
    env.insert(QStringLiteral("DIAG_SIM_LATENCY"), QStringLiteral("3=300"));
    const QString seq = write("slow.json", R"({ "name": "Slow", "steps": [
        { "test": "Platen Test", "cycles": 50, "pause": 0 },
        { "test": "Ejector Test", "cycles": 1 } ] })");
    const QString json = path("record.json");
    QProcess p;
    start(p, {QStringLiteral("--sequence"), seq, QStringLiteral("--json"), json});
    ASSERT_TRUE(p.waitForStarted());
    QByteArray out;
    while (!out.contains("1. Total encode") && p.state() == QProcess::Running)
        if (p.waitForReadyRead(30000))
            out += p.readAllStandardOutput();
    ASSERT_TRUE(out.contains("1. Total encode")) << out.constData();
    ::kill(pid_t(p.processId()), SIGINT);
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), 3) << p.readAllStandardError().constData();
    out += p.readAllStandardOutput();
    EXPECT_FALSE(out.contains("== End ==")) << "a stopped run writes no end line";
    const QJsonObject rec = readJson(json);
    EXPECT_EQ(violations(rec), QStringList());
    EXPECT_EQ(rec[QStringLiteral("verdict")].toString(), QStringLiteral("ABORTED"));
    EXPECT_EQ(verdicts(rec), (QStringList{QStringLiteral("ABORTED"), QStringLiteral("SKIPPED")}));
    const QJsonObject step = rec[QStringLiteral("steps")].toArray()[0].toObject();
    const int done = step[QStringLiteral("cycles")].toObject()[QStringLiteral("done")].toInt();
    EXPECT_GE(done, 1);
    EXPECT_LT(done, 50);
    // Every cycle done has its line in the record.
    int totals = 0;
    for (const QJsonValue& l : step[QStringLiteral("lines")].toArray())
        totals += l.toString().contains(QLatin1String("Total encode"));
    EXPECT_EQ(totals, done);
    EXPECT_FALSE(QFileInfo::exists(json + QStringLiteral(".tmp")));
}

TEST_F(SequenceCli, SigtermStopsASingleRunToo)
{
    env.insert(QStringLiteral("DIAG_SIM_LATENCY"), QStringLiteral("3=300"));
    const QString json = path("run.json");
    QProcess p;
    start(p, {QStringLiteral("--run"), QStringLiteral("Platen Test"), QStringLiteral("--cycles"), QStringLiteral("50"),
              QStringLiteral("--pause"), QStringLiteral("0"), QStringLiteral("--json"), json});
    ASSERT_TRUE(p.waitForStarted());
    QByteArray out;
    while (!out.contains("1. Total encode") && p.state() == QProcess::Running)
        if (p.waitForReadyRead(30000))
            out += p.readAllStandardOutput();
    ::kill(pid_t(p.processId()), SIGTERM);
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    const QJsonObject rec = readJson(json);
    EXPECT_TRUE(rec[QStringLiteral("interrupted")].toBool());
    EXPECT_EQ(rec[QStringLiteral("verdict")].toString(), QStringLiteral("ABORTED"));
}

struct BadInput {
    const char* name;
    QByteArray sequence; // empty: the sample
    QStringList extra;
    const char* message;
};

TEST_F(SequenceCli, BadInputExitsTwoWithItsMessageBeforeAnyRequest)
{
    // Any request would fail the run: with the driver absent, nothing may reach it.
    env.insert(QStringLiteral("DIAG_SIM_PRINTER"), QStringLiteral("absent"));
    const std::vector<BadInput> cases = {
        {"malformed", "{ \"name\": \"x\",\n  \"steps\": [ { \"test\": \"Platen Test\" }\n}", {}, "bad.json:3:1:"},
        {"unknown test", R"({ "name": "x", "steps": [ { "test": "Platen Tets" } ] })", {},
         "did you mean Platen Test"},
        {"unknown key", R"({ "name": "x", "steps": [ { "test": "Platen Test", "settings": { "Pulses": 1 } } ] })",
         {}, "no settings key \"Pulses\" in [Platen]; its keys: "},
        {"unknown measurement", R"({ "name": "x", "steps": [ { "test": "Ejector Test", "limits": { "Runs": "OK" } } ] })",
         {}, "limit \"Runs=OK\": ejector has no such measurement; its names: Run=OK, actual run"},
        {"limit that does not parse", R"({ "name": "x", "steps": [ { "test": "Ejector Test", "limits": { "Run": "maybe" } } ] })",
         {}, "limit \"Run=maybe\" does not parse"},
        {"missing serial", "", {}, "asks for the unit's serial"},
        {"cycles out of range", R"({ "name": "x", "steps": [ { "test": "Ejector Test", "cycles": 0 } ] })", {},
         "\"Total Cycle\" must greater than 0."},
    };
    for (const BadInput& c : cases) {
        const QString file = c.sequence.isEmpty() ? sample : write("bad.json", c.sequence);
        const QString json = path("never.json");
        const Cli r = run(QStringList{QStringLiteral("--sequence"), file, QStringLiteral("--json"), json} + c.extra);
        EXPECT_EQ(r.exitCode, 2) << c.name << ": " << qPrintable(r.err);
        EXPECT_TRUE(r.err.contains(QString::fromUtf8(c.message))) << c.name << ": " << qPrintable(r.err);
        EXPECT_TRUE(r.out.isEmpty()) << c.name;
        EXPECT_FALSE(QFileInfo::exists(json)) << c.name;
    }
    // The single run's own bad input.
    Cli r = run({QStringLiteral("--run"), QStringLiteral("Platen Test"), QStringLiteral("--limit"),
                 QStringLiteral("Total encode=lots")});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.contains(QStringLiteral("limit \"Total encode=lots\" does not parse"))) << qPrintable(r.err);
    r = run({QStringLiteral("--run"), QStringLiteral("Platen Test"), QStringLiteral("--limit"),
             QStringLiteral("Nothing=1")});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.contains(QStringLiteral("its names: in detail.min|max|mean|count, Total encode,")))
        << qPrintable(r.err);
}

TEST_F(SequenceCli, MeasurementsListsNamesWithUnits)
{
    const Cli r = run({QStringLiteral("--measurements"), QStringLiteral("Platen Test")});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.out.contains(QStringLiteral("Total encode\tcounts\tnumeric\n"))) << qPrintable(r.out);
    EXPECT_TRUE(r.out.contains(QStringLiteral("in detail\tcounts\tseries\n"))) << qPrintable(r.out);
    EXPECT_TRUE(r.out.contains(QStringLiteral("Run Platen\t\tpass/fail\n"))) << qPrintable(r.out);
    EXPECT_EQ(run({QStringLiteral("--measurements"), QStringLiteral("Nope")}).exitCode, 2);
}

} // namespace

namespace {

bool isPng(const QString& file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) && f.size() > 1000 && f.read(8) == QByteArray("\x89PNG\r\n\x1a\n", 8);
}

TEST_F(SequenceCli, AStepsPlotIsDrawnBesideTheRecordAndAPlotThatFailsLosesNothing)
{
    env.remove(QStringLiteral("QT_QPA_PLATFORM")); // a plot takes the offscreen platform
    QDir().mkpath(path("unit"));
    const QString seq = write("plots.json", R"({ "name": "Plots", "steps": [
  { "test": "Platen Test", "cycles": 2, "pause": 0, "settings": { "TotalPulses": 500, "EncoderInDeail": 1 },
    "plot": "platen.png" },
  { "test": "Ejector Test", "cycles": 1, "pause": 0 } ] })");
    const QString json = path("unit/record.json");
    Cli r = run({QStringLiteral("--sequence"), seq, QStringLiteral("--json"), json});
    ASSERT_EQ(r.exitCode, 0) << qPrintable(r.err);
    EXPECT_TRUE(isPng(path("unit/platen.png")));
    EXPECT_FALSE(QFileInfo::exists(path("platen.png"))) << "relative to the record, not the working folder";

    // A folder that does not exist: exit 2, named, and the record is still there.
    QFile::remove(json);
    const QString bad = write("bad-plot.json", R"({ "name": "Plots", "steps": [
  { "test": "Ejector Test", "cycles": 1, "pause": 0, "plot": "no/such/folder/e.png" } ] })");
    r = run({QStringLiteral("--sequence"), bad, QStringLiteral("--json"), json});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.contains(QStringLiteral("Could not draw the plot of step 1"))) << qPrintable(r.err);
    EXPECT_EQ(readJson(json)[QStringLiteral("verdict")].toString(), QStringLiteral("PASS"));

    // --plot belongs to a single run.
    r = run({QStringLiteral("--sequence"), seq, QStringLiteral("--plot"), path("x.png")});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.contains(QStringLiteral("--plot goes with --run"))) << qPrintable(r.err);
}

} // namespace
