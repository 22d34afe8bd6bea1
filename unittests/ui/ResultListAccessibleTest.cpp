// The result list as assistive clients read it, through Qt's accessibility
// API: lines as list items, the count, the selection and the announcements.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QAccessibleTableInterface>
#include <algorithm>

#include "ui/ResultList.h"
#include "ui/ResultListAccessible.h"
#include "ui/testing/TestApp.h"

using namespace ui;

namespace {

QStringList numbered(int n, const QString& prefix = QStringLiteral("line "))
{
    QStringList out;
    out.reserve(n);
    for (int i = 0; i < n; ++i)
        out << prefix + QString::number(i);
    return out;
}

ResultListAccessible* accessibleOf(ResultList& list)
{
    return dynamic_cast<ResultListAccessible*>(QAccessible::queryAccessibleInterface(&list));
}

// What the list tells a listening client.
struct Told {
    QAccessible::Event type;
    int child;
    bool operator==(const Told&) const = default;
};

class Listening {
public:
    Listening()
    {
        ResultListAccessible::setTap([this](const QAccessibleEvent& e) { told.push_back({e.type(), e.child()}); });
    }
    ~Listening() { ResultListAccessible::setTap(nullptr); }
    std::vector<Told> told;
};

TEST(ResultListAccessible, ReadsLinesAsListItemsWithTheCountAndTheSelectedLine)
{
    ui::testing::testApp();
    ResultList list;
    list.setAccessibleName(QStringLiteral("Result"));
    list.resize(300, 100);
    list.show();
    list.appendBatch({QStringLiteral("== Start =="), QStringLiteral("1. Total encode = 12 "), QStringLiteral(" ")});

    ResultListAccessible* a = accessibleOf(list);
    ASSERT_NE(a, nullptr) << "the list has its own interface, not a filler";
    EXPECT_EQ(a->role(), QAccessible::List);
    EXPECT_EQ(a->text(QAccessible::Name), "Result");
    EXPECT_TRUE(a->state().multiSelectable);
    EXPECT_EQ(a->childCount(), 3);
    ASSERT_NE(a->tableInterface(), nullptr);
    EXPECT_EQ(a->tableInterface()->rowCount(), 3);
    EXPECT_EQ(a->tableInterface()->columnCount(), 1);

    const QStringList expected = list.lines();
    for (int row = 0; row < 3; ++row) {
        QAccessibleInterface* item = a->child(row);
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->role(), QAccessible::ListItem);
        EXPECT_EQ(item->text(QAccessible::Name), expected[row]);
        EXPECT_EQ(item->parent(), a);
        EXPECT_EQ(a->indexOfChild(item), row);
        EXPECT_EQ(item->tableCellInterface()->rowIndex(), row);
        EXPECT_EQ(a->child(row), item) << "the same item while it is cached";
        EXPECT_EQ(a->tableInterface()->cellAt(row, 0), item);
    }
    EXPECT_EQ(a->child(3), nullptr);
    EXPECT_EQ(a->child(-1), nullptr);
    EXPECT_EQ(a->tableInterface()->cellAt(0, 1), nullptr);

    // Appends select the last line.
    EXPECT_EQ(a->tableInterface()->selectedRows(), QList<int>{2});
    EXPECT_EQ(a->tableInterface()->selectedCellCount(), 1);
    EXPECT_TRUE(a->child(2)->state().selected);
    EXPECT_FALSE(a->child(1)->state().selected);
    ASSERT_EQ(a->tableInterface()->selectedCells().size(), 1);
    EXPECT_EQ(a->tableInterface()->selectedCells().front()->text(QAccessible::Name), " ");

    // A client selects and unselects lines as a user would.
    EXPECT_TRUE(a->tableInterface()->selectRow(0));
    EXPECT_EQ(a->tableInterface()->selectedRows(), (QList<int>{0, 2}));
    EXPECT_TRUE(list.selectionModel()->isSelected(list.model()->index(0, 0)));
    EXPECT_TRUE(a->tableInterface()->unselectRow(2));
    EXPECT_EQ(a->tableInterface()->selectedRows(), QList<int>{0});
    EXPECT_FALSE(a->tableInterface()->selectRow(3));

    // Where the items are on screen, and which item is at a point.
    const QRect r1 = a->child(1)->rect();
    EXPECT_EQ(r1.height(), list.rowHeight());
    EXPECT_EQ(a->childAt(r1.center().x(), r1.center().y()), a->child(1));
    EXPECT_FALSE(a->child(0)->state().offscreen);

    // The focused item is the current line.
    list.setFocus();
    list.setCurrentIndex(list.model()->index(1, 0));
    if (list.hasFocus()) { // focus needs an active window, which the platform may refuse
        EXPECT_EQ(a->focusChild(), a->child(1));
        EXPECT_TRUE(a->child(1)->state().focused);
    }
}

TEST(ResultListAccessible, AMillionLinesCostNoItemsUntilReadAndFewAfter)
{
    ui::testing::testApp();
    ResultList list;
    list.resize(300, 100);
    list.appendBatch(numbered(1000000));
    ResultListAccessible* a = accessibleOf(list);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->childCount(), 1000000);
    EXPECT_EQ(a->cachedItems(), 0u);
    EXPECT_EQ(a->child(999999)->text(QAccessible::Name), "line 999999");
    EXPECT_TRUE(a->child(999999)->state().selected);
    list.show();
    QCoreApplication::processEvents(); // the view scrolls when the loop turns
    EXPECT_TRUE(a->child(0)->state().offscreen) << "scrolled to the end";
    EXPECT_EQ(a->cachedItems(), 2u);

    // Selecting everything is counted from ranges, not built item by item.
    list.selectAll();
    EXPECT_EQ(a->tableInterface()->selectedCellCount(), 1000000);
    EXPECT_EQ(a->tableInterface()->selectedRows().size(), 1000000);
    EXPECT_TRUE(a->tableInterface()->isRowSelected(500000));
    EXPECT_EQ(a->cachedItems(), 2u);

    // A client walking many lines leaves a bounded cache once it is done.
    for (int row = 0; row < 5000; ++row)
        ASSERT_EQ(a->child(row)->text(QAccessible::Name), QStringLiteral("line %1").arg(row));
    QCoreApplication::processEvents();
    EXPECT_LE(a->cachedItems(), 2 * ResultListAccessible::kMaxCachedItems);
    EXPECT_EQ(a->child(4999)->text(QAccessible::Name), "line 4999") << "recent items stay usable";
}

TEST(ResultListAccessible, AnnouncesTheLineSelectedAsLinesArrive)
{
    ui::testing::testApp();
    ResultList list;
    list.resize(300, 100);
    list.show();
    list.activateWindow();
    list.setFocus();
    ResultListAccessible* a = accessibleOf(list);
    ASSERT_NE(a, nullptr);
    list.appendLine(u"quiet");
    QCoreApplication::processEvents();
    // The current line is also the focus while the list has it.
    const bool focused = list.hasFocus();
    auto selectedThenCurrent = [&](int out, int in) {
        std::vector<Told> t{{QAccessible::SelectionRemove, out}, {QAccessible::SelectionAdd, in}};
        if (focused)
            t.push_back({QAccessible::Focus, in});
        return t;
    };
    Listening l;

    list.appendLine(u"== Start ==");
    list.appendLine(u"02/01/2026 03:04:05");
    QCoreApplication::processEvents(); // single lines reach the view together
    EXPECT_EQ(l.told, selectedThenCurrent(0, 2));

    // Each step of a batch: the line left and the line selected.
    l.told.clear();
    list.appendBatch(numbered(5001));
    std::vector<Told> steps;
    for (auto [out, in] : {std::pair{2, 3}, {3, 2503}, {2503, 5003}})
        for (const Told& t : selectedThenCurrent(out, in))
            steps.push_back(t);
    EXPECT_EQ(l.told, steps);

    // A large selection is one change within the list, not a line each.
    l.told.clear();
    list.selectAll();
    EXPECT_EQ(l.told, (std::vector<Told>{{QAccessible::SelectionWithin, -1}}));
    l.told.clear();
    list.selectLast();
    EXPECT_EQ(l.told, (std::vector<Told>{{QAccessible::SelectionWithin, -1}}))
        << "the last line stays selected, the rest leave";
}

TEST(ResultListAccessible, ItemsFollowTheRowsQtAnnounces)
{
    // Qt's view announces inserted rows and resets to the interface itself
    // while a client listens; here the interface is told directly.
    ui::testing::testApp();
    ResultList list;
    list.appendBatch(numbered(10));
    ResultListAccessible* a = accessibleOf(list);
    ASSERT_NE(a, nullptr);
    QAccessibleInterface* early = a->child(2);
    QAccessibleInterface* late = a->child(8);
    const QAccessible::Id earlyId = QAccessible::uniqueId(early), lateId = QAccessible::uniqueId(late);

    QAccessibleTableModelChangeEvent appended(&list, QAccessibleTableModelChangeEvent::RowsInserted);
    appended.setFirstRow(10);
    appended.setLastRow(19);
    a->modelChange(&appended);
    EXPECT_EQ(a->cachedItems(), 2u) << "lines appended after them leave items alone";

    QAccessibleTableModelChangeEvent inserted(&list, QAccessibleTableModelChangeEvent::RowsInserted);
    inserted.setFirstRow(5);
    inserted.setLastRow(5);
    a->modelChange(&inserted);
    EXPECT_EQ(QAccessible::accessibleInterface(earlyId), early);
    EXPECT_EQ(QAccessible::accessibleInterface(lateId), nullptr) << "an item past an insertion would name another line";

    // A clear empties the list and ends every item.
    list.clear();
    QAccessibleTableModelChangeEvent reset(&list, QAccessibleTableModelChangeEvent::ModelReset);
    a->modelChange(&reset);
    EXPECT_EQ(QAccessible::accessibleInterface(earlyId), nullptr);
    EXPECT_EQ(a->cachedItems(), 0u);
    EXPECT_EQ(a->childCount(), 0);
    EXPECT_EQ(a->child(0), nullptr);
}

} // namespace
