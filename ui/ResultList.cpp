#include "ResultList.h"

#include "HandlerGuard.h"
#include "ResultListAccessible.h"

#include "platform/CodePage.h"

#include <QAccessible>
#include <QAction>
#include <QContextMenuEvent>
#include <QMenu>
#include <QSaveFile>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTimer>
#include <cstring>
#include <vector>
#ifdef __linux__
#include <fcntl.h>
#endif

namespace ui {

int ResultModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_announced;
}

QVariant ResultModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole || role == Qt::ToolTipRole)
        return m_lines.line(index.row()).toString();
    return {};
}

void ResultModel::appendQuietly(QStringView line)
{
    m_lines.append(line);
}

bool ResultModel::announce()
{
    // A view counts rows in int; past that the list stops growing in view.
    const int stored = int(std::min<qsizetype>(m_lines.size(), m_rowLimit));
    if (stored <= m_announced)
        return false;
    beginInsertRows({}, m_announced, stored - 1);
    m_announced = stored;
    endInsertRows();
    return true;
}

void ResultModel::append(const QStringList& lines, qsizetype from, qsizetype to)
{
    for (qsizetype i = from; i < to; ++i)
        m_lines.append(lines[i]);
    announce();
}

void ResultModel::setRowLimit(int rows)
{
    m_rowLimit = std::max(rows, 1);
    if (m_announced > m_rowLimit) {
        beginResetModel();
        m_announced = m_rowLimit;
        endResetModel();
    }
}

void ResultModel::clear()
{
    beginResetModel();
    m_lines.clear();
    m_announced = 0;
    endResetModel();
}

ResultList::ResultList(QWidget* parent) : QAbstractItemView(parent), m_model(new ResultModel(this))
{
    setModel(m_model);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    updateRowHeight();
    m_plotAction = new QAction(tr("Plot"), this);
    m_plotAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    m_plotAction->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(m_plotAction, &QAction::triggered, this, [this] { guarded([this] { plot(); }); });
    addAction(m_plotAction);
    ResultListAccessible::install();
    ResultListAccessible::replaceEarlierInterface(this);
}

void ResultList::updateRowHeight()
{
    m_rowHeight = std::max(1, fontMetrics().height() + 2);
    // Every row's top and bottom must fit in int pixels.
    m_model->setRowLimit(std::numeric_limits<int>::max() / m_rowHeight - 1);
}

void ResultList::changeEvent(QEvent* e)
{
    if (e->type() == QEvent::FontChange || e->type() == QEvent::StyleChange) {
        updateRowHeight();
        updateGeometries();
    }
    QAbstractItemView::changeEvent(e);
}

void ResultList::selectionChanged(const QItemSelection& selected, const QItemSelection& deselected)
{
    if (ResultListAccessible::listening()) {
        // One line in or out is named; anything larger is announced as a
        // change within the list, never expanded line by line.
        auto single = [](const QItemSelection& s) {
            return s.size() == 1 && s.front().top() == s.front().bottom() ? s.front().top() : -1;
        };
        const int in = single(selected), out = single(deselected);
        if (out >= 0) {
            QAccessibleEvent e(this, QAccessible::SelectionRemove);
            e.setChild(out);
            ResultListAccessible::announce(e);
        }
        if (in >= 0) {
            QAccessibleEvent e(this, QAccessible::SelectionAdd);
            e.setChild(in);
            ResultListAccessible::announce(e);
        }
        if ((in < 0 && !selected.isEmpty()) || (out < 0 && !deselected.isEmpty())) {
            QAccessibleEvent e(this, QAccessible::SelectionWithin);
            ResultListAccessible::announce(e);
        }
    }
    QAbstractItemView::selectionChanged(selected, deselected);
}

void ResultList::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    if (current.isValid() && hasFocus() && ResultListAccessible::listening()) {
        QAccessibleEvent e(this, QAccessible::Focus);
        e.setChild(current.row());
        ResultListAccessible::announce(e);
    }
    QAbstractItemView::currentChanged(current, previous);
}

int ResultList::rowAt(int y) const
{
    return (y + verticalOffset()) / m_rowHeight;
}

QRect ResultList::visualRect(const QModelIndex& index) const
{
    if (!index.isValid() || index.model() != m_model)
        return {};
    return QRect(0, index.row() * m_rowHeight - verticalOffset(), viewport()->width(), m_rowHeight);
}

void ResultList::scrollTo(const QModelIndex& index, ScrollHint hint)
{
    if (!index.isValid())
        return;
    if (m_deferScroll) { // appends scroll once per turn of the event loop
        scheduleScroll();
        return;
    }
    const int top = index.row() * m_rowHeight;
    const int height = viewport()->height();
    const int offset = verticalOffset();
    int value = offset;
    switch (hint) {
    case PositionAtTop: value = top; break;
    case PositionAtBottom: value = top + m_rowHeight - height; break;
    case PositionAtCenter: value = top + m_rowHeight / 2 - height / 2; break;
    case EnsureVisible:
        if (top < offset)
            value = top;
        else if (top + m_rowHeight > offset + height)
            value = top + m_rowHeight - height;
        break;
    }
    verticalScrollBar()->setValue(value);
}

QModelIndex ResultList::indexAt(const QPoint& point) const
{
    const int row = rowAt(point.y());
    if (point.y() < 0 || row < 0 || row >= m_model->rowCount() || point.x() < 0 || point.x() >= viewport()->width())
        return {};
    return m_model->index(row);
}

QModelIndex ResultList::moveCursor(CursorAction action, Qt::KeyboardModifiers)
{
    const int rows = m_model->rowCount();
    if (rows == 0)
        return {};
    const int page = std::max(1, viewport()->height() / m_rowHeight);
    int row = currentIndex().isValid() ? currentIndex().row() : 0;
    switch (action) {
    case MoveUp: case MovePrevious: --row; break;
    case MoveDown: case MoveNext: ++row; break;
    case MovePageUp: row -= page; break;
    case MovePageDown: row += page; break;
    case MoveHome: row = 0; break;
    case MoveEnd: row = rows - 1; break;
    default: break;
    }
    return m_model->index(std::clamp(row, 0, rows - 1));
}

int ResultList::horizontalOffset() const
{
    return 0;
}

int ResultList::verticalOffset() const
{
    return verticalScrollBar()->value();
}

bool ResultList::isIndexHidden(const QModelIndex&) const
{
    return false;
}

void ResultList::setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags flags)
{
    const int rows = m_model->rowCount();
    if (rows == 0)
        return;
    const QRect r = rect.normalized();
    const int first = std::clamp(rowAt(r.top()), 0, rows - 1);
    const int last = std::clamp(rowAt(r.bottom()), 0, rows - 1);
    selectionModel()->select(QItemSelection(m_model->index(first), m_model->index(last)), flags);
}

QRegion ResultList::visualRegionForSelection(const QItemSelection& selection) const
{
    QRegion region;
    const QRect view = viewport()->rect();
    for (const QItemSelectionRange& range : selection) {
        const QRect r(0, range.top() * m_rowHeight - verticalOffset(), viewport()->width(),
                      (range.bottom() - range.top() + 1) * m_rowHeight);
        region += r.intersected(view);
    }
    return region;
}

void ResultList::paintEvent(QPaintEvent* e)
{
    guarded([&] { paintRows(e->rect()); }, Report::Later);
}

void ResultList::paintRows(const QRect& rect)
{
    QPainter painter(viewport());
    const int rows = m_model->rowCount();
    const int first = std::max(0, rowAt(rect.top()));
    const int last = std::min(rows - 1, rowAt(rect.bottom()));
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    const QModelIndex current = currentIndex();
    for (int row = first; row <= last; ++row) {
        const QModelIndex index = m_model->index(row);
        QStyleOptionViewItem o = option;
        o.rect = visualRect(index);
        if (selectionModel()->isSelected(index))
            o.state |= QStyle::State_Selected;
        if (index == current && hasFocus())
            o.state |= QStyle::State_HasFocus;
        itemDelegate()->paint(&painter, o, index);
    }
}

void ResultList::updateGeometries()
{
    const int height = viewport()->height();
    const qint64 content = qint64(m_model->rowCount()) * m_rowHeight;
    verticalScrollBar()->setSingleStep(m_rowHeight);
    verticalScrollBar()->setPageStep(std::max(1, height));
    verticalScrollBar()->setRange(0, int(std::clamp<qint64>(content - height, 0, std::numeric_limits<int>::max())));
    QAbstractItemView::updateGeometries();
}

void ResultList::rowsInserted(const QModelIndex& parent, int start, int end)
{
    QAbstractItemView::rowsInserted(parent, start, end);
    updateGeometries();
    const int top = start * m_rowHeight - verticalOffset();
    if (top < viewport()->height())
        viewport()->update(QRect(0, std::max(0, top), viewport()->width(), viewport()->height()));
}

void ResultList::reset()
{
    QAbstractItemView::reset();
    updateGeometries();
    viewport()->update();
}

void ResultList::appendLine(QStringView line)
{
    m_model->appendQuietly(line);
    scheduleFlush();
}

void ResultList::scheduleFlush()
{
    if (m_flushPending)
        return;
    m_flushPending = true;
    QTimer::singleShot(0, this, [this] { guarded([this] { flush(); }); });
}

void ResultList::flush()
{
    m_flushPending = false;
    if (m_model->announce())
        selectLast();
}

void ResultList::appendBatch(const QStringList& lines)
{
    flush(); // single lines before the batch come first
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

void ResultList::appendLines(const QStringList& lines)
{
    m_model->append(lines, 0, lines.size());
}

void ResultList::selectLast()
{
    m_model->announce();
    const int rows = m_model->rowCount();
    if (rows == 0)
        return;
    const QModelIndex last = m_model->index(rows - 1);
    m_deferScroll = true;
    selectionModel()->setCurrentIndex(last, QItemSelectionModel::ClearAndSelect);
    m_deferScroll = false;
    scheduleScroll();
}

void ResultList::scheduleScroll()
{
    if (m_scrollPending)
        return;
    m_scrollPending = true;
    QTimer::singleShot(0, this, [this] {
        m_scrollPending = false;
        guarded([this] {
            if (currentIndex().isValid())
                scrollTo(currentIndex());
        });
    });
}

void ResultList::clear()
{
    m_flushPending = false;
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

namespace {

ResultList::PlotHandler& defaultPlotHandler()
{
    static ResultList::PlotHandler handler; // set once by the program, on its UI thread
    return handler;
}

} // namespace

void ResultList::setPlotHandler(PlotHandler handler)
{
    m_plotHandler = std::move(handler);
}

void ResultList::setDefaultPlotHandler(PlotHandler handler)
{
    defaultPlotHandler() = std::move(handler);
}

bool ResultList::canPlot() const
{
    return m_plotHandler || defaultPlotHandler();
}

bool ResultList::plot()
{
    flush(); // lines appended this turn belong to the plot too
    const PlotHandler handler = m_plotHandler ? m_plotHandler : defaultPlotHandler();
    if (!handler)
        return false;
    handler(*this);
    return true;
}

void ResultList::contextMenuEvent(QContextMenuEvent* e)
{
    if (!canPlot()) {
        e->ignore();
        return;
    }
    QMenu menu(this);
    menu.addAction(m_plotAction);
    menu.exec(e->globalPos());
}

namespace {

// Where the processor has them, wider vectors for the narrowing loop: the
// save is bound by it and by the write.
// Not in sanitizer builds: the clones' resolver runs while the program is
// still being loaded, before a sanitizer's runtime is ready for it.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(DIAG_SANITIZED)
#define UI_WIDE_VECTORS __attribute__((target_clones("avx2", "default")))
#else
#define UI_WIDE_VECTORS
#endif

// Narrows `n` characters byte for byte into `out`; false when one of them is
// outside Latin-1 or in 0x80..0x9F, which only the code page's table maps.
// Result lines pass; the loop is one the compiler vectorises.
UI_WIDE_VECTORS bool narrowLatin1(const char16_t* p, qsizetype n, char* out)
{
    unsigned other = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = p[i];
        out[i] = char(c);
        other |= unsigned(c > 0xFF) | unsigned((c & 0xFFE0) == 0x80);
    }
    return other == 0;
}

// Any line, through the code page; `out` has room for line.size() bytes.
qsizetype toAnsiInto(QStringView line, char* out)
{
    if (narrowLatin1(line.utf16(), line.size(), out))
        return line.size();
    const QByteArray bytes = platform::toAnsi(line.toString());
    std::memcpy(out, bytes.constData(), size_t(bytes.size())); // never longer than the line
    return bytes.size();
}

} // namespace

bool saveLines(const LineStore& lines, const QString& path)
{
    // Written beside the chosen file and renamed over it at the end, so a
    // write that fails leaves the old file as it was.
    QSaveFile f(path);
    f.setDirectWriteFallback(false);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    // Lines go into one 256 KiB block, written when full. Lines whose
    // characters lie side by side in the store (consecutive lines do) are
    // narrowed together, a few thousand at a time, and then laid out with
    // their CR LF by fixed-size copies that may run past a short line's end
    // (the next line or the block's slack takes the excess).
    constexpr qsizetype kBlock = 256 * 1024, kRunChars = 16 * 1024, kRunLines = 2048, kCopy = 32;
    std::vector<char> block(kBlock + kCopy), narrowed(kBlock + kCopy);
    std::vector<qsizetype> lengths(kRunLines);
    char* const out = block.data();
    qsizetype used = 0;
    bool ok = true;
    // The commit syncs the file to disk before it replaces the old one. The
    // disk is set writing every few megabytes as the save goes on, so that
    // sync waits for the last stretch only, not for the whole file.
    constexpr qint64 kWriteBehind = 2 * 1024 * 1024;
    qint64 written = 0, handed = 0;
    auto wrote = [&](qint64 n) {
        written += n;
#ifdef __linux__
        if (written - handed >= kWriteBehind) {
            (void)::sync_file_range(f.handle(), handed, written - handed, SYNC_FILE_RANGE_WRITE); // a hint only
            handed = written;
        }
#endif
    };
    auto flush = [&] {
        ok = ok && f.write(out, used) == used;
        if (ok)
            wrote(used);
        used = 0;
    };
    const qsizetype n = lines.size();
    for (qsizetype i = 0; i < n && ok;) {
        const QStringView first = lines.line(i);
        if (first.size() + 2 > kBlock) { // a block of its own
            flush();
            const QByteArray bytes = platform::toAnsi(first.toString()) + "\r\n";
            ok = ok && f.write(bytes) == bytes.size();
            if (ok)
                wrote(bytes.size());
            ++i;
            continue;
        }
        const char16_t* const begin = first.utf16();
        qsizetype chars = first.size(), count = 1;
        lengths[0] = first.size();
        while (i + count < n && count < kRunLines) {
            const QStringView next = lines.line(i + count);
            if (next.utf16() != begin + chars || chars + next.size() > kRunChars)
                break;
            lengths[size_t(count++)] = next.size();
            chars += next.size();
        }
        if (chars + 2 * count > kBlock - used)
            flush();
        if (narrowLatin1(begin, chars, narrowed.data())) {
            const char* from = narrowed.data();
            for (qsizetype k = 0; k < count; ++k) {
                const qsizetype length = lengths[size_t(k)];
                std::memcpy(out + used, from, size_t(length <= kCopy ? kCopy : length));
                from += length;
                used += length;
                out[used++] = '\r';
                out[used++] = '\n';
            }
        } else {
            for (qsizetype k = 0; k < count; ++k) {
                used += toAnsiInto(lines.line(i + k), out + used);
                out[used++] = '\r';
                out[used++] = '\n';
            }
        }
        i += count;
    }
    if (used > 0)
        flush();
    if (!ok) {
        f.cancelWriting();
        return false;
    }
    return f.commit();
}

} // namespace ui
