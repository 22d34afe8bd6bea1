// The result list at its limits: a save that fails half way, and more lines
// than a view can place.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFont>
#include <QScrollBar>
#include <QTemporaryDir>
#include <climits>
#include <csignal>
#include <sys/resource.h>

#include "ui/ResultList.h"
#include "ui/testing/TestApp.h"

using namespace ui;

namespace {

// Files may not grow past `bytes` while it lives (a full disk, a quota).
class ScopedFileSizeLimit {
public:
    explicit ScopedFileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{bytes, m_old.rlim_max};
        m_set = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~ScopedFileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    bool set() const { return m_set; }

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
    bool m_set = false;
};

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(ResultListLimits, AFailedSaveLeavesTheChosenFileAsItWasAndSaysSo)
{
    ui::testing::testApp();
    ResultList list;
    for (int i = 0; i < 20000; ++i)
        list.appendLine(QStringLiteral("%1. Total encode = %2 ").arg(i + 1).arg(i * 7));
    QTemporaryDir dir;
    const QString path = dir.filePath("result.txt");
    const QByteArray earlier("results of an earlier run\r\n");
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(earlier);
    }
    {
        ScopedFileSizeLimit limit(64 * 1024);
        ASSERT_TRUE(limit.set());
        EXPECT_FALSE(list.saveToFile(path)) << "the operator must learn that the save failed";
    }
    EXPECT_EQ(readAll(path), earlier);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"result.txt"}) << "nothing left beside it";

    // Without the limit the same save replaces the file whole.
    ASSERT_TRUE(list.saveToFile(path));
    EXPECT_TRUE(readAll(path).startsWith("1. Total encode = 0 \r\n2. Total encode = 7 \r\n"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"result.txt"});
}

TEST(ResultListLimits, RowsSaturateWhereTheViewRunsOutOfPixels)
{
    // With rows this tall a few hundred thousand lines reach the end of the
    // view's int pixel range; the list keeps every line (count, saving) but
    // shows no more rows than it can place.
    ui::testing::testApp();
    ResultList list;
    QFont big = list.font();
    big.setPixelSize(16000);
    list.setFont(big);
    list.resize(300, 200);
    const int height = list.rowHeight();
    ASSERT_GT(height, 10000) << "the font size did not take";
    const qsizetype lines = qsizetype(INT_MAX / height) + 5000;
    QStringList batch;
    for (qsizetype i = 0; i < lines; ++i)
        batch << QString();
    list.appendBatch(batch);
    EXPECT_EQ(list.count(), lines);
    const int rows = list.model()->rowCount();
    EXPECT_LT(rows, lines);
    EXPECT_LE(qint64(rows) * height, qint64(INT_MAX)) << "every row's top fits the view's pixels";

    // The last row shown can be scrolled to: its place is exact and the
    // bottom line of the view shows it.
    const QModelIndex last = list.model()->index(rows - 1, 0);
    list.scrollTo(last, QAbstractItemView::PositionAtBottom);
    const QRect r = list.visualRect(last);
    EXPECT_EQ(qint64(r.top()) + list.verticalScrollBar()->value(), qint64(rows - 1) * height);
    EXPECT_EQ(list.indexAt(QPoint(1, list.viewport()->height() - 1)), last);
}

} // namespace
