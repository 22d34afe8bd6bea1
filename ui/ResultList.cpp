#include "ResultList.h"

#include "platform/CodePage.h"

#include <QFile>
#include <QScrollBar>
#include <QTimer>

namespace ui {

int ResultModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid())
        return 0;
    // A view counts rows in int; past that the list stops growing in view.
    return int(std::min<qsizetype>(m_lines.size(), std::numeric_limits<int>::max()));
}

QVariant ResultModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole || role == Qt::ToolTipRole)
        return m_lines.line(index.row()).toString();
    return {};
}

void ResultModel::append(QStringView line)
{
    const int row = rowCount();
    beginInsertRows({}, row, row);
    m_lines.append(line);
    endInsertRows();
}

void ResultModel::append(const QStringList& lines, qsizetype from, qsizetype to)
{
    if (to <= from)
        return;
    const int row = rowCount();
    beginInsertRows({}, row, row + int(to - from) - 1);
    for (qsizetype i = from; i < to; ++i)
        m_lines.append(lines[i]);
    endInsertRows();
}

void ResultModel::clear()
{
    beginResetModel();
    m_lines.clear();
    endResetModel();
}

ResultList::ResultList(QWidget* parent) : QListView(parent), m_model(new ResultModel(this))
{
    setModel(m_model);
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Scrolling to each new line right away would lay the whole list out per
    // line; the scroll is done once per turn of the event loop instead.
    setAutoScroll(false);
}

void ResultList::appendLine(QStringView line)
{
    m_model->append(line);
    selectLast();
}

void ResultList::appendBatch(const QStringList& lines)
{
    const qsizetype n = lines.size();
    qsizetype done = 0;
    while (done < n) {
        // the next line after which the selection moves: index 0, 2500, 5000, ... and the last
        qsizetype next = done == 0 ? 0 : ((done - 1) / kBatchSelectEvery + 1) * kBatchSelectEvery;
        next = std::min(next, n - 1);
        m_model->append(lines, done, next + 1);
        done = next + 1;
        selectLast();
    }
}

void ResultList::selectLast()
{
    const int rows = m_model->rowCount();
    if (rows == 0)
        return;
    const QModelIndex last = m_model->index(rows - 1);
    selectionModel()->setCurrentIndex(last, QItemSelectionModel::ClearAndSelect);
    scheduleScroll();
}

void ResultList::scheduleScroll()
{
    if (m_scrollPending)
        return;
    m_scrollPending = true;
    QTimer::singleShot(0, this, [this] {
        m_scrollPending = false;
        if (currentIndex().isValid())
            scrollTo(currentIndex());
    });
}

void ResultList::clear()
{
    m_model->clear();
}

QStringList ResultList::lines() const
{
    QStringList out;
    out.reserve(count());
    forEachLine([&](QStringView l) { out << l.toString(); });
    return out;
}

void ResultList::forEachLine(const std::function<void(QStringView)>& f) const
{
    const LineStore& s = m_model->store();
    for (qsizetype i = 0; i < s.size(); ++i)
        f(s.line(i));
}

bool ResultList::saveToFile(const QString& path) const
{
    return saveLines(m_model->store(), path);
}

bool saveLines(const LineStore& lines, const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    // Converted and written in blocks of about 256 KiB of text.
    constexpr qsizetype kBlock = 128 * 1024;
    QString block;
    block.reserve(kBlock + 1024);
    bool ok = true;
    auto flush = [&] {
        const QByteArray bytes = platform::toAnsi(block);
        ok = ok && f.write(bytes) == bytes.size();
        block.resize(0);
    };
    for (qsizetype i = 0; i < lines.size() && ok; ++i) {
        block += lines.line(i);
        block += QLatin1String("\r\n");
        if (block.size() >= kBlock)
            flush();
    }
    if (!block.isEmpty())
        flush();
    return ok && f.flush();
}

} // namespace ui
