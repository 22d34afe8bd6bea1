// `vantor --run` as a production line calls it: a process, its output, its
// exit status and its JSON record.
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct Cli {
    int exitCode = -1;
    QString out, err;
};

class HeadlessCli : public ::testing::Test {
protected:
    QTemporaryDir dir;

    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        const QString sample = QStringLiteral(VANTOR_SAMPLE_DIR);
        QDirIterator it(sample + QStringLiteral("/device"), QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString src = it.next();
            const QString dst = dir.filePath(QStringLiteral("device")) + src.mid(sample.size() + 7);
            QDir().mkpath(QFileInfo(dst).path());
            QFile::copy(src, dst);
        }
        ASSERT_TRUE(QFile::copy(sample + QStringLiteral("/Vantor.ini"), dir.filePath(QStringLiteral("Vantor.ini"))));
    }

    Cli run(QStringList args)
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DIAG_DEVICE_ROOT"), dir.filePath(QStringLiteral("device")));
        env.insert(QStringLiteral("DIAG_SIM_TIME_SCALE"), QStringLiteral("0"));
        env.remove(QStringLiteral("DISPLAY")); // no window may be needed
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("none-such"));
        p.setProcessEnvironment(env);
        args << QStringLiteral("--ini") << dir.filePath(QStringLiteral("Vantor.ini"));
        p.start(QStringLiteral(VANTOR_BINARY), args);
        EXPECT_TRUE(p.waitForFinished(60000));
        return {p.exitCode(), QString::fromLocal8Bit(p.readAllStandardOutput()),
                QString::fromLocal8Bit(p.readAllStandardError())};
    }
};

} // namespace

TEST_F(HeadlessCli, PlatenTestRunsPrintsItsLinesAndWritesTheRecord)
{
    const QString json = dir.filePath(QStringLiteral("out.json"));
    const Cli r = run({QStringLiteral("--run"), QStringLiteral("platen test"), QStringLiteral("--cycles"),
                       QStringLiteral("3"), QStringLiteral("--pause"), QStringLiteral("0"), QStringLiteral("--json"),
                       json});
    ASSERT_EQ(r.exitCode, 0) << qPrintable(r.err);
    const QStringList lines = r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_GE(lines.size(), 6);
    EXPECT_EQ(lines.first(), QStringLiteral("== Start =="));
    for (int n = 1; n <= 3; ++n)
        EXPECT_TRUE(lines[n + 1].startsWith(QStringLiteral("%1. Total encode = ").arg(n))) << qPrintable(lines[n + 1]);
    EXPECT_EQ(lines[5], QStringLiteral("== End =="));

    QFile f(json);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QJsonObject rec = QJsonDocument::fromJson(f.readAll()).object();
    EXPECT_EQ(rec[QStringLiteral("test")].toString(), QStringLiteral("Platen Test"));
    EXPECT_EQ(rec[QStringLiteral("cyclesDone")].toInt(), 3);
    EXPECT_EQ(rec[QStringLiteral("failLines")].toInt(), 0);
    EXPECT_EQ(rec[QStringLiteral("parameters")].toObject()[QStringLiteral("totalCycles")].toInt(), 3);
    const QJsonArray printed = rec[QStringLiteral("lines")].toArray();
    ASSERT_EQ(printed.size(), 7); // the last line holds one space
    EXPECT_EQ(printed[2].toString() + QLatin1Char('\n'), lines[2] + QLatin1Char('\n'));
}

TEST_F(HeadlessCli, RefusalsAndUnknownTestsExitTwoAndFailuresOne)
{
    Cli r = run({QStringLiteral("--run"), QStringLiteral("Platen"), QStringLiteral("--cycles"), QStringLiteral("0")});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.err, QStringLiteral("\"Total Cycle\" must greater than 0.\n"));
    EXPECT_TRUE(r.out.isEmpty());

    r = run({QStringLiteral("--run"), QStringLiteral("No Such Test")});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.contains(QStringLiteral("No Such Test")));

    r = run({QStringLiteral("--list")});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.out.contains(QStringLiteral("Platen Test\t[Platen]")));

    // The driver absent: every cycle FAILs, the run completes, status 1.
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DIAG_DEVICE_ROOT"), dir.filePath(QStringLiteral("device")));
    env.insert(QStringLiteral("DIAG_SIM_PRINTER"), QStringLiteral("absent"));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(VANTOR_BINARY), {QStringLiteral("--run"), QStringLiteral("Tape Rewind Test"),
                                             QStringLiteral("--cycles"), QStringLiteral("2"), QStringLiteral("--pause"),
                                             QStringLiteral("0"), QStringLiteral("--ini"),
                                             dir.filePath(QStringLiteral("Vantor.ini"))});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 1);
    EXPECT_TRUE(QString::fromLocal8Bit(p.readAllStandardOutput()).contains(QStringLiteral("2. Tape Rewind - FAIL")));
}
