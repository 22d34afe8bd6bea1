#pragma once
// What screen readers and GUI automation see of a ResultList: a list whose
// items are its lines, with the count and the selected lines.
//
// Item interfaces are made only for the lines a client asks for and are kept
// in a small cache, so a list of a million lines costs nothing until read.
#include <QAccessibleWidget>
#include <QPointer>
#include <functional>
#include <unordered_map>

namespace ui {

class ResultList;

class ResultListAccessible final : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    explicit ResultListAccessible(ResultList* list);
    ~ResultListAccessible() override;

    // Makes Qt build this interface for every ResultList (once per process).
    static void install();
    // While a listening client made the view announce itself during its
    // construction, Qt made a plain item view's interface for it, which it
    // would keep; the list calls this once built so clients get this one.
    static void replaceEarlierInterface(ResultList* list);

    // The list's own announcements (selection, current line) are built only
    // while someone listens: an assistive client, or a test's tap (Qt has no
    // public switch that makes an offscreen program listen).
    static bool listening();
    static void announce(QAccessibleEvent& event);
    using Tap = std::function<void(const QAccessibleEvent&)>;
    static void setTap(Tap tap);

    // QAccessibleInterface
    QAccessible::Role role() const override;
    QAccessible::State state() const override;
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;
    void* interface_cast(QAccessible::InterfaceType t) override;

    // QAccessibleTableInterface: one column, one row per line.
    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override;
    int selectedCellCount() const override { return selectedRowCount(); }
    // One interface per selected line: the API hands out objects.
    QList<QAccessibleInterface*> selectedCells() const override;
    QString columnDescription(int) const override { return {}; }
    QString rowDescription(int) const override { return {}; }
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override;
    int columnCount() const override { return 1; }
    int rowCount() const override;
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override;
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int row) const override;
    bool selectRow(int row) override;
    bool selectColumn(int) override { return false; }
    bool unselectRow(int row) override;
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent* event) override;

    // Item interfaces alive now (for tests of the cache's bound).
    size_t cachedItems() const { return m_items.size(); }
    static constexpr size_t kMaxCachedItems = 256;

private:
    ResultList* list() const;
    void dropItems();
    void trimItems();
    struct Item {
        QAccessible::Id id;
        quint64 made; // order of creation, for trimming
    };
    mutable std::unordered_map<int, Item> m_items; // row -> interface
    mutable quint64 m_made = 0;
};

// One line of the list.
class ResultLineAccessible final : public QAccessibleInterface, public QAccessibleTableCellInterface {
public:
    ResultLineAccessible(ResultList* list, int row) : m_list(list), m_row(row) {}

    bool isValid() const override;
    QObject* object() const override { return nullptr; }
    QWindow* window() const override;
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override;
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QAccessible::State state() const override;
    void* interface_cast(QAccessible::InterfaceType t) override;

    // QAccessibleTableCellInterface
    bool isSelected() const override;
    QList<QAccessibleInterface*> columnHeaderCells() const override { return {}; }
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return 0; }
    int rowIndex() const override { return m_row; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override { return parent(); }

private:
    friend class ResultListAccessible;
    QPointer<ResultList> m_list;
    int m_row;
};

} // namespace ui
