#include "ResultListAccessible.h"

#include "ResultList.h"

#include <QScrollBar>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <vector>

namespace ui {

namespace {

QAccessibleInterface* makeInterface(const QString& className, QObject* object)
{
    if (className == QLatin1String(ResultList::staticMetaObject.className()))
        if (auto* list = qobject_cast<ResultList*>(object))
            return new ResultListAccessible(list);
    return nullptr;
}

// The selected rows as sorted, disjoint [top, bottom] spans. A selection
// model may hand out overlapping ranges, and a million selected lines are a
// single range here, never a million indexes.
std::vector<std::pair<int, int>> selectedSpans(const ResultList& list)
{
    std::vector<std::pair<int, int>> spans;
    if (!list.selectionModel())
        return spans;
    for (const QItemSelectionRange& r : list.selectionModel()->selection())
        if (r.isValid())
            spans.emplace_back(r.top(), r.bottom());
    std::sort(spans.begin(), spans.end());
    std::vector<std::pair<int, int>> merged;
    for (const auto& s : spans) {
        if (!merged.empty() && s.first <= merged.back().second + 1)
            merged.back().second = std::max(merged.back().second, s.second);
        else
            merged.push_back(s);
    }
    return merged;
}

} // namespace

namespace {
ResultListAccessible::Tap& tap()
{
    static ResultListAccessible::Tap t;
    return t;
}
} // namespace

bool ResultListAccessible::listening()
{
    return QAccessible::isActive() || tap();
}

void ResultListAccessible::announce(QAccessibleEvent& event)
{
    if (tap())
        tap()(event);
    if (QAccessible::isActive())
        QAccessible::updateAccessibility(&event);
}

void ResultListAccessible::setTap(Tap t)
{
    tap() = std::move(t);
}

void ResultListAccessible::install()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    QAccessible::installFactory(makeInterface);
}

void ResultListAccessible::replaceEarlierInterface(ResultList* list)
{
    QAccessibleInterface* made = QAccessible::queryAccessibleInterface(list);
    if (made && !dynamic_cast<ResultListAccessible*>(made))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
}

ResultListAccessible::ResultListAccessible(ResultList* list) : QAccessibleWidget(list, QAccessible::List) {}

ResultListAccessible::~ResultListAccessible()
{
    dropItems();
}

ResultList* ResultListAccessible::list() const
{
    return static_cast<ResultList*>(object());
}

QAccessible::Role ResultListAccessible::role() const
{
    return QAccessible::List;
}

QAccessible::State ResultListAccessible::state() const
{
    QAccessible::State s = QAccessibleWidget::state();
    s.multiSelectable = true;
    s.extSelectable = true;
    return s;
}

int ResultListAccessible::rowCount() const
{
    // The rows the view shows: lines stored in this turn of the event loop
    // join them (and are announced) when it turns.
    return isValid() ? list()->model()->rowCount() : 0;
}

int ResultListAccessible::childCount() const
{
    return rowCount();
}

QAccessibleInterface* ResultListAccessible::child(int index) const
{
    if (index < 0 || index >= rowCount())
        return nullptr;
    auto it = m_items.find(index);
    if (it != m_items.end()) {
        if (QAccessibleInterface* existing = QAccessible::accessibleInterface(it->second.id))
            return existing;
        m_items.erase(it);
    }
    auto* item = new ResultLineAccessible(list(), index);
    m_items[index] = Item{QAccessible::registerAccessibleInterface(item), ++m_made};
    if (m_items.size() == 2 * kMaxCachedItems + 1) {
        // Trimmed once the caller is done with what it was handed.
        const QAccessible::Id self = QAccessible::uniqueId(const_cast<ResultListAccessible*>(this));
        QTimer::singleShot(0, list(), [self] {
            if (auto* me = dynamic_cast<ResultListAccessible*>(QAccessible::accessibleInterface(self)))
                me->trimItems();
        });
    }
    return item;
}

int ResultListAccessible::indexOfChild(const QAccessibleInterface* child) const
{
    const auto* line = dynamic_cast<const ResultLineAccessible*>(child);
    if (!line || line->m_list != list() || !line->isValid())
        return -1;
    return line->m_row;
}

QAccessibleInterface* ResultListAccessible::childAt(int x, int y) const
{
    if (!isValid())
        return nullptr;
    const QWidget* viewport = list()->viewport();
    const QModelIndex index = list()->indexAt(viewport->mapFromGlobal(QPoint(x, y)));
    return index.isValid() ? child(index.row()) : nullptr;
}

QAccessibleInterface* ResultListAccessible::focusChild() const
{
    if (!isValid() || !list()->hasFocus())
        return nullptr;
    const QModelIndex current = list()->currentIndex();
    return current.isValid() ? child(current.row()) : nullptr;
}

void* ResultListAccessible::interface_cast(QAccessible::InterfaceType t)
{
    if (t == QAccessible::TableInterface)
        return static_cast<QAccessibleTableInterface*>(this);
    return QAccessibleWidget::interface_cast(t);
}

QAccessibleInterface* ResultListAccessible::cellAt(int row, int column) const
{
    return column == 0 ? child(row) : nullptr;
}

QList<QAccessibleInterface*> ResultListAccessible::selectedCells() const
{
    QList<QAccessibleInterface*> out;
    if (!isValid())
        return out;
    for (const auto& [top, bottom] : selectedSpans(*list()))
        for (int row = top; row <= bottom; ++row)
            if (QAccessibleInterface* c = child(row))
                out << c;
    return out;
}

int ResultListAccessible::selectedRowCount() const
{
    if (!isValid())
        return 0;
    qsizetype n = 0;
    for (const auto& [top, bottom] : selectedSpans(*list()))
        n += bottom - top + 1;
    return int(n);
}

QList<int> ResultListAccessible::selectedRows() const
{
    QList<int> out;
    if (!isValid())
        return out;
    for (const auto& [top, bottom] : selectedSpans(*list()))
        for (int row = top; row <= bottom; ++row)
            out << row;
    return out;
}

bool ResultListAccessible::isRowSelected(int row) const
{
    if (row < 0 || row >= rowCount())
        return false;
    return list()->selectionModel()->isSelected(list()->model()->index(row, 0));
}

bool ResultListAccessible::selectRow(int row)
{
    if (row < 0 || row >= rowCount())
        return false;
    list()->selectionModel()->select(list()->model()->index(row, 0), QItemSelectionModel::Select);
    return true;
}

bool ResultListAccessible::unselectRow(int row)
{
    if (row < 0 || row >= rowCount())
        return false;
    list()->selectionModel()->select(list()->model()->index(row, 0), QItemSelectionModel::Deselect);
    return true;
}

void ResultListAccessible::modelChange(QAccessibleTableModelChangeEvent* event)
{
    switch (event->modelChangeType()) {
    case QAccessibleTableModelChangeEvent::ModelReset:
        dropItems();
        break;
    case QAccessibleTableModelChangeEvent::RowsInserted:
    case QAccessibleTableModelChangeEvent::RowsRemoved: {
        // Lines are only appended today; items past an insertion or removal
        // would name other lines, so they go.
        const int first = event->firstRow();
        for (auto it = m_items.begin(); it != m_items.end();) {
            if (it->first >= first) {
                QAccessible::deleteAccessibleInterface(it->second.id);
                it = m_items.erase(it);
            } else {
                ++it;
            }
        }
        break;
    }
    default:
        break;
    }
}

void ResultListAccessible::dropItems()
{
    for (const auto& [row, item] : m_items)
        QAccessible::deleteAccessibleInterface(item.id);
    m_items.clear();
}

void ResultListAccessible::trimItems()
{
    if (m_items.size() <= kMaxCachedItems)
        return;
    std::vector<quint64> made;
    made.reserve(m_items.size());
    for (const auto& [row, item] : m_items)
        made.push_back(item.made);
    // keep the newest
    std::nth_element(made.begin(), made.end() - kMaxCachedItems, made.end());
    const quint64 oldestKept = *(made.end() - kMaxCachedItems);
    for (auto it = m_items.begin(); it != m_items.end();) {
        if (it->second.made < oldestKept) {
            QAccessible::deleteAccessibleInterface(it->second.id);
            it = m_items.erase(it);
        } else {
            ++it;
        }
    }
}

// ---------------------------------------------------------------------------

bool ResultLineAccessible::isValid() const
{
    return m_list && m_row >= 0 && m_row < m_list->model()->rowCount();
}

QWindow* ResultLineAccessible::window() const
{
    return m_list ? m_list->window()->windowHandle() : nullptr;
}

QAccessibleInterface* ResultLineAccessible::parent() const
{
    return m_list ? QAccessible::queryAccessibleInterface(m_list.data()) : nullptr;
}

QString ResultLineAccessible::text(QAccessible::Text t) const
{
    if (t != QAccessible::Name || !isValid())
        return {};
    return m_list->line(m_row);
}

QRect ResultLineAccessible::rect() const
{
    if (!isValid())
        return {};
    const QRect r = m_list->visualRect(m_list->model()->index(m_row, 0));
    return QRect(m_list->viewport()->mapToGlobal(r.topLeft()), r.size());
}

QAccessible::State ResultLineAccessible::state() const
{
    QAccessible::State s;
    if (!isValid()) {
        s.invalid = true;
        return s;
    }
    const QModelIndex index = m_list->model()->index(m_row, 0);
    s.selectable = true;
    s.focusable = true;
    s.selected = m_list->selectionModel()->isSelected(index);
    s.focused = m_list->hasFocus() && m_list->currentIndex() == index;
    s.disabled = !m_list->isEnabled();
    if (!m_list->visualRect(index).intersects(m_list->viewport()->rect())) {
        s.invisible = true;
        s.offscreen = true;
    }
    return s;
}

void* ResultLineAccessible::interface_cast(QAccessible::InterfaceType t)
{
    if (t == QAccessible::TableCellInterface)
        return static_cast<QAccessibleTableCellInterface*>(this);
    return nullptr;
}

bool ResultLineAccessible::isSelected() const
{
    return isValid() && m_list->selectionModel()->isSelected(m_list->model()->index(m_row, 0));
}

} // namespace ui
