#pragma once
// The result list of the test screens: a list view over compactly stored
// lines (see LineStore) with uniform item sizes, multiple selection and a
// vertical scroll bar. Appends keep the last line in view.
//
// The view is an item view of its own rather than a QListView: QListView
// lays out every row again after each insertion, which a list growing to
// millions of lines cannot afford. With one row height for all items,
// geometry here is arithmetic and an append costs the same at any length.
// Assistive clients read it through ResultListAccessible.
#include "LineStore.h"

#include <QAbstractListModel>
#include <QAbstractItemView>
#include <QStringList>
#include <functional>
#include <limits>

namespace ui {

class ResultModel : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;
    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    // Stores a line; the view learns of it at the next announce().
    void appendQuietly(QStringView line);
    // Appends lines [from, to) of `lines` as one insertion.
    void append(const QStringList& lines, qsizetype from, qsizetype to);
    // Tells the view of every line stored since the last announcement, as
    // one insertion, up to the row limit. False when there was none.
    bool announce();
    void clear();
    const LineStore& store() const { return m_lines; }
    // The most rows the view is told of (lines past it are kept, counted and
    // saved, but not shown): the view places rows in int pixels.
    void setRowLimit(int rows);
    int rowLimit() const { return m_rowLimit; }

private:
    LineStore m_lines;
    int m_announced = 0; // rows the view knows of
    int m_rowLimit = std::numeric_limits<int>::max();
};

class ResultList : public QAbstractItemView {
    Q_OBJECT
public:
    explicit ResultList(QWidget* parent = nullptr);

    // QAbstractItemView
    QRect visualRect(const QModelIndex& index) const override;
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
    QModelIndex indexAt(const QPoint& point) const override;
    int rowHeight() const { return m_rowHeight; }

    // Appends one line and selects it. Lines appended one by one in the same
    // turn of the event loop reach the view together, as one insertion with
    // one selection change; every reader below sees them at once.
    void appendLine(QStringView line);
    // Shows lines appended one by one so far and selects the last (done by
    // itself when the event loop turns).
    void flush();
    // Appends the lines in order, selecting the last item after the first
    // line, after every 2500th line and after the last (the batch form of
    // the add-line message).
    void appendBatch(const QStringList& lines);
    static constexpr qsizetype kBatchSelectEvery = 2500;
    // Appends the lines in order as one insertion and leaves the selection
    // and the scroll position alone (a file listed for reading from the top).
    void appendLines(const QStringList& lines);

    void selectLast();
    void clear();
    qsizetype count() const { return m_model->store().size(); }
    QString line(qsizetype index) const { return m_model->store().line(index).toString(); }
    QStringList lines() const;
    void forEachLine(const std::function<void(QStringView)>& f) const;
    const LineStore& store() const { return m_model->store(); }

    // Writes every line and CR LF in the ANSI code page, no byte order mark,
    // into a temporary file beside `path` that then replaces it. False when
    // that cannot be done; the file at `path` is then as it was.
    bool saveToFile(const QString& path) const;

    // "Plot" in the context menu and Ctrl+P hand the list to a handler: its
    // own, else the one set for every list. Without either, neither is offered.
    using PlotHandler = std::function<void(const ResultList&)>;
    void setPlotHandler(PlotHandler handler);
    static void setDefaultPlotHandler(PlotHandler handler);
    bool canPlot() const;
    bool plot(); // false when there is no handler

protected:
    void contextMenuEvent(QContextMenuEvent* e) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    int horizontalOffset() const override;
    int verticalOffset() const override;
    bool isIndexHidden(const QModelIndex& index) const override;
    void setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags flags) override;
    QRegion visualRegionForSelection(const QItemSelection& selection) const override;
    void paintEvent(QPaintEvent* e) override;
    void updateGeometries() override;
    void rowsInserted(const QModelIndex& parent, int start, int end) override;
    void reset() override;
    void changeEvent(QEvent* e) override;
    // Tell assistive clients (only when one listens) which line was
    // selected and which became current.
    void selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

private:
    void scheduleScroll();
    void scheduleFlush();
    void updateRowHeight();
    void paintRows(const QRect& rect);
    int rowAt(int y) const;
    ResultModel* m_model;
    int m_rowHeight = 16;
    bool m_deferScroll = false;
    bool m_scrollPending = false;
    bool m_flushPending = false;
    PlotHandler m_plotHandler;
    QAction* m_plotAction = nullptr;
};

// The same file format for any source of lines.
bool saveLines(const LineStore& lines, const QString& path);

} // namespace ui
