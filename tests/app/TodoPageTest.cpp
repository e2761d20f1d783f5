// The to-do page driven with the mouse against a real document: sorting by the header, the
// check box, the columns' menu, the ticks that move and hide to-dos, and the commands it runs.
#include "app/CTodoPage.h"
#include "app/CommandTable.h"
#include "document/CDayvaultDoc.h"
#include "settings/CSettings.h"
#include "settings/CWindowSettings.h"

#include <QApplication>
#include <QHeaderView>
#include <QHelpEvent>
#include <QMenu>
#include <QTest>
#include <QToolTip>
#include <memory>

namespace dv {

namespace {

CDateTime At(int y, int m, int d, int h = 0, int min = 0, int s = 0) {
    return CDateTime(y, m, d, h, min, s);
}

struct TodoShape {
    std::string text;
    CDateTime deadline;
    bool hasDeadline = true;
    bool withTime = true;
    int priority = 1;
    std::string group = "Home";
    int forewarnHours = 0;
};

} // namespace

class TodoPageTest : public QObject {
    Q_OBJECT

    std::unique_ptr<CDayvaultDoc> m_doc;
    CSettings m_settings;
    CWindowSettings m_layout;
    int32_t m_storedKey = 7;
    std::vector<uint32_t> m_commands;
    std::vector<CTodoEntry*> m_selections;
    bool m_tabMark = false;
    int m_saves = 0;

    TodoPageHost Host() {
        TodoPageHost host;
        host.doc = m_doc.get();
        host.settings = &m_settings;
        host.layout = &m_layout;
        host.loadSortKey = [this] { return m_storedKey; };
        host.storeSortKey = [this](int32_t key) { m_storedKey = key; };
        host.runCommand = [this](uint32_t id) {
            m_commands.push_back(id);
            return true;
        };
        host.selectTodo = [this](CTodoEntry* todo) { m_selections.push_back(todo); };
        host.setTabMark = [this](bool due) { m_tabMark = due; };
        return host;
    }

    CTodoEntry* Add(const TodoShape& shape) {
        auto todo = std::make_unique<CTodoEntry>(At(2007, 1, 1));
        TodoData data = todo->GetData();
        data.Description = shape.text;
        data.Deadline = shape.deadline;
        data.ShowDeadline = shape.hasDeadline ? 1 : 0;
        data.ShowDeadlineTime = shape.withTime ? 1 : 0;
        data.Priority = shape.priority;
        data.Group = shape.group;
        data.Forewarn = shape.forewarnHours > 0 ? 1 : 0;
        data.ForewarnSpan = shape.forewarnHours;
        data.ForewarnUnit = 1;
        todo->SetData(data);
        CTodoEntry* raw = todo.get();
        m_doc->AddTodoEntry(std::move(todo), kEditInteractive);
        return raw;
    }

    static std::vector<std::string> Order(const CTodoPage& page) {
        std::vector<std::string> texts;
        for (int row = 0; row < page.RowCount(); ++row) {
            texts.push_back(page.TodoAt(row)->GetData().Description);
        }
        return texts;
    }

    static QString Cell(const CTodoPage& page, const CTodoEntry* todo, int column) {
        return page.model()->index(page.RowOf(todo), column).data().toString();
    }

    static QPoint RowPoint(CTodoPage& page, int row, int column) {
        return page.visualRect(page.model()->index(row, column)).center();
    }

private slots:
    void init() {
        m_doc = std::make_unique<CDayvaultDoc>();
        m_doc->SetSaveRequestHook([this] { ++m_saves; });
        m_settings = CSettings();
        m_layout = CWindowSettings();
        m_storedKey = 7;
        m_commands.clear();
        m_selections.clear();
        m_tabMark = false;
        m_saves = 0;
        m_doc->CheckDates(At(2007, 3, 15, 12), false, 0);
    }

    void sortsByTimeLeftAndByHeaderClicks() {
        const CDateTime now = m_doc->GetNow();
        Add({"no deadline", now, false});
        CTodoEntry* done = Add({"done soon", now + CDateTimeSpan(0, 1, 0, 0)});
        m_doc->SetTodoDone(done, true);
        CTodoEntry* far = Add({"far", now + CDateTimeSpan(14, 3, 0, 0), true, true, 4});
        CTodoEntry* mid = Add({"mid", now + CDateTimeSpan(3, 2, 0, 0), true, true, 4});
        CTodoEntry* near = Add({"near", now + CDateTimeSpan(0, 0, 0, 40), true, true, 9});
        CTodoPage page(Host());
        page.resize(900, 300);
        QCOMPARE(Order(page),
                 (std::vector<std::string>{"near", "mid", "far", "no deadline", "done soon"}));
        QCOMPARE(Cell(page, far, kTodoColTimeLeft), QStringLiteral("2 Weeks, 0 Days"));
        QCOMPARE(Cell(page, mid, kTodoColTimeLeft), QStringLiteral("3 Days, 2 Hours"));
        QCOMPARE(Cell(page, near, kTodoColTimeLeft), QStringLiteral("1 Minute"));
        QCOMPARE(Cell(page, done, kTodoColTimeLeft), QStringLiteral("-"));

        // Priority twice: 10 down to 1, the ties by time left reversed too.
        QHeaderView* header = page.header();
        const auto clickHeader = [&](int column) {
            const int x = header->sectionViewportPosition(column) + header->sectionSize(column) / 2;
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, 5));
        };
        clickHeader(kTodoColPriority);
        QCOMPARE(m_storedKey, 5);
        QCOMPARE(Order(page).front(), std::string("no deadline"));
        clickHeader(kTodoColPriority);
        QCOMPARE(m_storedKey, -5);
        QCOMPARE(header->sortIndicatorSection(), int(kTodoColPriority));
        QCOMPARE(header->sortIndicatorOrder(), Qt::DescendingOrder);
        QCOMPARE(Order(page),
                 (std::vector<std::string>{"near", "far", "mid", "done soon", "no deadline"}));
        // A new page starts with the stored key.
        CTodoPage again(Host());
        QCOMPARE(again.SortKey(), -5);
        QCOMPARE(Order(again), Order(page));
    }

    void deadlineThatPassesMovesAtTheNextTick() {
        const CDateTime now = m_doc->GetNow();
        Add({"later", now + CDateTimeSpan(0, 5, 0, 0), true, true, 1, "Home", 6});
        CTodoEntry* soon = Add({"soon", now + CDateTimeSpan(0, 0, 30, 0)});
        Add({"undated", now, false});
        m_doc->CheckDates(now, false, 0);
        m_storedKey = 1; // by state: overdue, urgent, undone, done
        CTodoPage page(Host());
        QCOMPARE(Order(page), (std::vector<std::string>{"later", "soon", "undated"}));
        const auto image = [&](const CTodoEntry* todo) {
            return page.model()
                ->index(page.RowOf(todo), kTodoColState)
                .data(Qt::DecorationRole)
                .value<QIcon>()
                .cacheKey();
        };
        QCOMPARE(image(soon), CTodoListModel::Image(int(TodoImage::Undone)).cacheKey());
        QVERIFY(m_tabMark); // "later" is urgent
        m_settings.ShowDueTodoTab = false;
        m_doc->UpdateAllViews(UpdateHint::OptionsChanged);
        QVERIFY(!m_tabMark);
        m_settings.ShowDueTodoTab = true;
        m_doc->CheckDates(now + CDateTimeSpan(0, 0, 45, 0), false, 0);
        QCOMPARE(image(soon), CTodoListModel::Image(int(TodoImage::Overdue)).cacheKey());
        QCOMPARE(Cell(page, soon, kTodoColTimeLeft), QStringLiteral("15 Minutes ago"));
        QCOMPARE(Order(page), (std::vector<std::string>{"soon", "later", "undated"}));
        QVERIFY(m_tabMark);
    }

    void filterHidesAndShowsAgain() {
        const CDateTime now = m_doc->GetNow();
        CTodoEntry* done = Add({"filed", now + CDateTimeSpan(0, 2, 0, 0), true, true, 1, "Work"});
        m_doc->SetTodoDone(done, true);
        Add({"open", now + CDateTimeSpan(2, 0, 0, 0)});
        m_settings.HideDoneTodo = true;
        m_settings.DaysBeforeHideTodo = 1;
        CTodoPage page(Host());
        QCOMPARE(page.RowCount(), 2);
        // A day past its deadline the done to-do goes, at the tick and not before.
        m_doc->CheckDates(now + CDateTimeSpan(1, 3, 0, 0), false, 0);
        QCOMPARE(Order(page), std::vector<std::string>{"open"});
        m_settings.HideDoneTodo = false;
        // Only the Work group passes, then the filter switch lets all through again.
        FilterState filter = m_doc->GetTodoFilter();
        filter.selectionOn = true;
        filter.selection = {"Work"};
        m_doc->SetTodoFilter(filter);
        QCOMPARE(Order(page), std::vector<std::string>{"filed"});
        m_doc->SetFilterSwitch(false);
        QCOMPARE(page.RowCount(), 2);
    }

    void checkBoxAndMouseRunTheDocumentAndCommands() {
        const CDateTime now = m_doc->GetNow();
        CTodoEntry* todo = Add({"tick me", now + CDateTimeSpan(1, 0, 0, 0)});
        m_doc->SetTodoDone(todo, true);
        CTodoPage page(Host());
        page.resize(800, 300);
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        m_saves = 0;
        const QRect box = page.CheckBoxRect(0);
        QVERIFY(!box.isEmpty());
        QTest::mouseClick(page.viewport(), Qt::LeftButton, {}, box.center());
        QVERIFY(!todo->IsDone());
        QVERIFY(m_saves > 0);
        QCOMPARE(page.model()->index(0, 0).data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
        QVERIFY(!page.model()->index(0, kTodoColGroup).data(Qt::FontRole).value<QFont>().strikeOut());
        QVERIFY(m_doc->UndoTodoEntry());
        QVERIFY(todo->IsDone());
        QCOMPARE(page.model()->index(0, 0).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
        // Done reads as done: struck through, as done events are.
        QVERIFY(page.model()->index(0, kTodoColGroup).data(Qt::FontRole).value<QFont>().strikeOut());

        // The tooltip is the to-do's tooltip format, and none when tooltips are off.
        m_settings.ShowTodoTooltips = true;
        m_settings.TooltipTodo = "Due: $DESCRIPTION$";
        m_doc->UpdateAllViews(UpdateHint::TodosReset);
        QCOMPARE(page.model()->index(0, kTodoColGroup).data(Qt::ToolTipRole).toString(),
                 QStringLiteral("Due: tick me"));
        // Over the row a long tooltip is held to 400 pixels.
        m_settings.TooltipTodo = std::string(30, 'x') + " $DESCRIPTION$ " + std::string(60, 'y');
        m_doc->UpdateAllViews(UpdateHint::TodosReset);
        const QPoint over = RowPoint(page, 0, kTodoColGroup);
        QHelpEvent help(QEvent::ToolTip, over, page.viewport()->mapToGlobal(over));
        QApplication::sendEvent(page.viewport(), &help);
        QVERIFY(QToolTip::isVisible());
        QVERIFY(QToolTip::text().startsWith(QStringLiteral("<table width=\"400\">")));
        QVERIFY(QToolTip::text().contains(QStringLiteral("tick me")));
        m_settings.ShowTodoTooltips = false;
        m_doc->UpdateAllViews(UpdateHint::OptionsChanged);
        QVERIFY(page.model()->index(0, kTodoColGroup).data(Qt::ToolTipRole).isNull());

        // A click selects and tells the frame; a double-click beside the box edits, below the
        // rows makes a new to-do.
        QTest::mouseClick(page.viewport(), Qt::LeftButton, {}, RowPoint(page, 0, kTodoColGroup));
        QCOMPARE(m_selections.back(), todo);
        QTest::mouseDClick(page.viewport(), Qt::LeftButton, {}, RowPoint(page, 0, kTodoColGroup));
        QTest::mouseDClick(page.viewport(), Qt::LeftButton, {},
                           QPoint(50, page.viewport()->height() - 5));
        QCOMPARE(m_commands, (std::vector<uint32_t>{cmd::kEditEntry, cmd::kNewEntry}));
        // Its deletion takes the selection with it.
        m_doc->DeleteTodoEntry(todo, kEditInteractive);
        QCOMPARE(page.RowCount(), 0);
        QCOMPARE(m_selections.back(), nullptr);
    }

    void columnsHideShowAndKeepTheirWidths() {
        Add({"one", m_doc->GetNow(), true});
        CTodoPage page(Host());
        page.resize(900, 200);
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        QHeaderView* header = page.header();
        // Untouched default widths grow to a column's widest text, never shrink, and stay unstored.
        const QString deadline = page.model()->index(0, kTodoColDeadline).data().toString();
        QVERIFY(header->sectionSize(kTodoColDeadline) >
                page.fontMetrics().horizontalAdvance(deadline));
        QVERIFY(header->sectionSize(kTodoColDeadline) > 110);
        QVERIFY(header->sectionSize(kTodoColGroup) >= 100);
        QCOMPARE(m_layout.TodoListColumnWidths, CWindowSettings().TodoListColumnWidths);
        // The description takes what the others leave.
        int others = 0;
        for (int column = 0; column < kTodoColumnCount; ++column) {
            others += column == kTodoColDescription ? 0 : header->sectionSize(column);
        }
        QCOMPARE(header->sectionSize(kTodoColDescription),
                 std::max(100, page.viewport()->width() - others));

        header->resizeSection(kTodoColGroup, 140);
        QCOMPARE(m_layout.TodoListColumnWidths[kTodoColGroup], 140);
        std::unique_ptr<QMenu> menu(page.MakeColumnMenu(nullptr));
        QCOMPARE(menu->actions().size(), int(kTodoColumnCount));
        menu->actions()[kTodoColDescription]->trigger();
        menu->actions()[kTodoColGroup]->trigger();
        QVERIFY(header->isSectionHidden(kTodoColDescription));
        QCOMPARE(m_layout.TodoListColumns[kTodoColDescription], false);
        page.ToggleColumn(kTodoColGroup);
        page.ToggleColumn(kTodoColDescription);
        QVERIFY(!header->isSectionHidden(kTodoColDescription));
        QCOMPARE(header->sectionSize(kTodoColGroup), 140);
        // Back between Group and Priority.
        QVERIFY(header->sectionPosition(kTodoColGroup) <
                header->sectionPosition(kTodoColDescription));
        QVERIFY(header->sectionPosition(kTodoColDescription) <
                header->sectionPosition(kTodoColPriority));
        QCOMPARE(std::vector<bool>(m_layout.TodoListColumns), std::vector<bool>(8, true));
    }
};

} // namespace dv

QTEST_MAIN(dv::TodoPageTest)
#include "TodoPageTest.moc"
