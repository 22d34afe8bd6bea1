#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QTemporaryDir>
#include <functional>

#include "platform/CodePage.h"
#include "ui/testing/TestApp.h"
#include "ui/LineStore.h"
#include "ui/ResultList.h"

using namespace ui;
using namespace Qt::StringLiterals;

namespace {

// Rows that became current, in order.
std::vector<int> trackCurrent(ResultList& list, std::vector<int>& rows)
{
    QObject::connect(list.selectionModel(), &QItemSelectionModel::currentChanged,
                     [&rows](const QModelIndex& now) { rows.push_back(now.row()); });
    return rows;
}

QStringList numbered(int n, const QString& prefix = QStringLiteral("line "))
{
    QStringList out;
    for (int i = 0; i < n; ++i)
        out << prefix + QString::number(i);
    return out;
}

TEST(ResultList, BatchSelectsAfterTheFirstEvery2500thAndTheLastLine)
{
    ui::testing::testApp();
    ResultList list;
    std::vector<int> rows;
    trackCurrent(list, rows);

    list.appendBatch(numbered(5001));
    EXPECT_EQ(rows, (std::vector<int>{0, 2500, 5000}));
    EXPECT_EQ(list.count(), 5001);
    EXPECT_EQ(list.line(2500), "line 2500");

    rows.clear();
    list.appendBatch(numbered(2502, "b"));
    // indices 0, 2500 and the last (2501) of this batch, counted from 5001
    EXPECT_EQ(rows, (std::vector<int>{5001, 7501, 7502}));

    // Single lines of one turn of the event loop reach the view together.
    rows.clear();
    list.appendLine(u"single 1");
    list.appendLine(u"single 2");
    EXPECT_EQ(list.count(), 7505) << "stored at once";
    EXPECT_EQ(list.model()->rowCount(), 7503) << "shown when the loop turns";
    QCoreApplication::processEvents();
    EXPECT_EQ(list.model()->rowCount(), 7505);
    EXPECT_EQ(rows, (std::vector<int>{7504}));
    EXPECT_EQ(list.selectionModel()->selectedRows().size(), 1) << "only the last line stays selected";

    // A batch after pending single lines keeps their order.
    list.appendLine(u"before batch");
    list.appendBatch({u"batch"_qs});
    EXPECT_EQ(list.line(7505), "before batch");
    EXPECT_EQ(list.currentIndex().row(), 7506);

    list.appendBatch({});
    EXPECT_EQ(list.count(), 7507);
    list.clear();
    EXPECT_EQ(list.count(), 0);
    list.selectLast(); // nothing to select: no harm
}

TEST(ResultList, SavesAnsiLinesWithCrLfAndNoByteOrderMark)
{
    ui::testing::testApp();
    ResultList list;
    list.appendLine(u"== Start ==");
    list.appendLine(QString::fromUtf8("caf\xC3\xA9 \xE2\x82\xAC"));
    list.appendLine(u"");
    list.appendLine(u" ");
    QTemporaryDir dir;
    const QString path = dir.filePath("result.txt");
    ASSERT_TRUE(list.saveToFile(path));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("== Start ==\r\ncaf\xE9 \x80\r\n\r\n \r\n"));

    ResultList empty;
    ASSERT_TRUE(empty.saveToFile(path));
    EXPECT_EQ(QFileInfo(path).size(), 0) << "an existing file is truncated";

    EXPECT_FALSE(list.saveToFile(dir.filePath("no/such/folder/x.txt")));
    EXPECT_FALSE(list.saveToFile(dir.path())) << "a folder is no file";
}

TEST(LineStore, KeepsLinesAcrossChunksExactly)
{
    LineStore s;
    const QString huge(3 * 1024 * 1024, u'x'); // longer than a chunk
    s.append(u"first");
    s.append(u"");
    s.append(huge);
    s.append(u"after");
    for (int i = 0; i < 100000; ++i)
        s.append(QString::number(i));
    ASSERT_EQ(s.size(), 100004);
    EXPECT_EQ(s.line(0), u"first");
    EXPECT_TRUE(s.line(1).isEmpty());
    EXPECT_EQ(s.line(2).size(), huge.size());
    EXPECT_EQ(s.line(3), u"after");
    EXPECT_EQ(s.line(100003), u"99999");
    EXPECT_TRUE(s.line(-1).isEmpty());
    EXPECT_TRUE(s.line(100004).isEmpty());
    EXPECT_EQ(s.characters(), 5 + huge.size() + 5 + 488890);
    s.clear();
    EXPECT_EQ(s.size(), 0);
    EXPECT_EQ(s.bytesReserved(), 0u);
}

TEST(ResultList, SavesAMillionCharacterLineStore)
{
    // Lines longer than the conversion block still come out whole.
    LineStore s;
    s.append(QString(300000, u'a'));
    s.append(u"b");
    QTemporaryDir dir;
    ASSERT_TRUE(saveLines(s, dir.filePath("x.txt")));
    QFile f(dir.filePath("x.txt"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    EXPECT_EQ(bytes.size(), 300000 + 2 + 1 + 2);
    EXPECT_TRUE(bytes.endsWith("a\r\nb\r\n"));
}

TEST(ResultList, SavesExactlyWhatTheCodePageMakesOfEveryLine)
{
    // Lines are narrowed in runs and laid out in blocks: around every edge of
    // that the bytes must be those of the code page, line by line.
    const QString euro = QString::fromUtf8("\xE2\x82\xAC"), pair = QString::fromUtf8("\xF0\x9F\x98\x80");
    struct Case {
        const char* what;
        std::function<void(LineStore&)> fill;
    };
    const Case cases[] = {
        {"short lines across the store's chunks",
         [](LineStore& s) {
             for (int i = 0; i < 100000; ++i)
                 s.append(QStringLiteral("%1. in detail %2 [%3]").arg(i / 100).arg(i).arg(i * 7 % 1000));
         }},
        {"characters the code page maps by its table, or not at all",
         [&](LineStore& s) {
             for (int i = 0; i < 5000; ++i) {
                 s.append(QStringLiteral("plain %1").arg(i));
                 if (i % 997 == 0)
                     s.append(QStringLiteral("caf%1 %2 %3 %4").arg(QChar(0xE9)).arg(euro, pair, QString(QChar(0x85))));
                 if (i % 1500 == 0)
                     s.append(QString(QChar(0x9D)) + QChar(0x3A9)); // unassigned in the code page, and Greek
             }
         }},
        {"empty lines and lines at the run and block sizes",
         [&](LineStore& s) {
             for (qsizetype n : {0, 1, 31, 32, 33, 16 * 1024 - 1, 16 * 1024, 16 * 1024 + 1, 0, 256 * 1024 - 3,
                                 256 * 1024 - 2, 256 * 1024 - 1, 256 * 1024, 3})
                 s.append(QString(n, u'x'));
             s.append(QString(100000, u'y') + euro);
             s.append(QString(300000, u'z') + pair);
             for (int i = 0; i < 3000; ++i)
                 s.append(QString());
             s.append(u"last");
         }},
    };
    QTemporaryDir dir;
    for (const Case& c : cases) {
        LineStore store;
        c.fill(store);
        QByteArray expected;
        for (qsizetype i = 0; i < store.size(); ++i)
            expected += platform::toAnsi(store.line(i).toString()) + "\r\n";
        const QString path = dir.filePath(QStringLiteral("save.txt"));
        ASSERT_TRUE(saveLines(store, path)) << c.what;
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        ASSERT_EQ(bytes.size(), expected.size()) << c.what;
        EXPECT_TRUE(bytes == expected) << c.what;
    }
}

} // namespace
