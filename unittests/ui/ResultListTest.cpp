#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QTemporaryDir>

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

} // namespace
