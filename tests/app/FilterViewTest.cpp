// The search and filter sidebar driven through its controls against a real document, beside
// the to-do page it serves.
#include "app/CFilterView.h"
#include "app/CTodoPage.h"
#include "document/CDayvaultDoc.h"
#include "settings/CSettings.h"
#include "settings/CWindowSettings.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTreeWidget>
#include <memory>

namespace dv {

class FilterViewTest : public QObject {
    Q_OBJECT

    std::unique_ptr<CDayvaultDoc> m_doc;
    CSettings m_settings;
    CWindowSettings m_layout;
    std::vector<CDateTime> m_dates;
    std::vector<CTodoEntry*> m_shown;

    FilterViewHost Host() {
        FilterViewHost host;
        host.doc = m_doc.get();
        host.settings = &m_settings;
        host.layout = &m_layout;
        host.selectDate = [this](const CDateTime& date) { m_dates.push_back(date); };
        host.showTodo = [this](CTodoEntry* todo) { m_shown.push_back(todo); };
        return host;
    }

    CDateEntry* AddEvent(const std::string& text, const CDateTime& start,
                         const std::string& category = "Work", bool daily = false) {
        auto event = std::make_unique<CDateEntry>(CDateTime(2007, 1, 1, 0, 0, 0));
        DateData data = event->GetData();
        data.Description = text;
        data.Category = category;
        data.StartDate = start;
        data.EndDate = start + CDateTimeSpan(0, 1, 0, 0);
        if (daily) {
            data.Repeat = 1;
            data.RepeatRate = 1;
            data.RepeatUnit = 2;
        }
        event->AssignData(data);
        CDateEntry* raw = event.get();
        m_doc->AddDateEntry(std::move(event), kEditSendHint | kEditRebuildSet);
        return raw;
    }

    CTodoEntry* AddTodo(const std::string& text, const std::string& group) {
        auto todo = std::make_unique<CTodoEntry>(CDateTime(2007, 1, 1, 0, 0, 0));
        TodoData data = todo->GetData();
        data.Description = text;
        data.Group = group;
        data.Deadline = CDateTime(2007, 3, 20, 0, 0, 0);
        todo->SetData(data);
        CTodoEntry* raw = todo.get();
        m_doc->AddTodoEntry(std::move(todo), kEditSendHint | kEditRebuildSet);
        return raw;
    }

    template <class T>
    static T* Find(QWidget& parent, const char* name) {
        T* widget = parent.findChild<T*>(QString::fromLatin1(name));
        if (widget == nullptr) {
            qFatal("no widget %s", name);
        }
        return widget;
    }

    static QPushButton* Button(QWidget& parent, const QString& text) {
        for (QPushButton* button : parent.findChildren<QPushButton*>()) {
            if (button->text() == text) {
                return button;
            }
        }
        qFatal("no button");
    }

    static QRadioButton* Radio(QWidget& parent, const QString& text) {
        for (QRadioButton* button : parent.findChildren<QRadioButton*>()) {
            if (button->text() == text) {
                return button;
            }
        }
        qFatal("no radio button");
    }

    // Checks a checkable group box by clicking its title's check box.
    static void Check(QGroupBox* box) {
        if (!box->isChecked()) {
            box->setChecked(true); // the box's own check, as a click on its title sets it
        }
    }

private slots:
    void init() {
        m_doc = std::make_unique<CDayvaultDoc>();
        m_settings = CSettings();
        m_layout = CWindowSettings();
        m_dates.clear();
        m_shown.clear();
        m_doc->CheckDates(CDateTime(2007, 3, 15, 12, 0, 0), false, 0);
    }

    void controlsEditTheFilterOfThePageShown() {
        AddEvent("Call the dentist", CDateTime(2007, 3, 16, 9, 0, 0));
        AddEvent("Gym", CDateTime(2007, 3, 17, 9, 0, 0), "Home");
        AddTodo("Tax return", "Office");
        AddTodo("Paint fence", "Garden");
        CFilterView view(Host());
        view.show();

        // Words typed with AND in the description and notes.
        Check(Find<QGroupBox>(view, "ContentFilter"));
        QTest::keyClicks(Find<QLineEdit>(view, "FilterText"), "Dentist call");
        FilterState filter = m_doc->GetEventFilter();
        QVERIFY(filter.textSearchOn);
        QCOMPARE(filter.searchText, std::string("Dentist call"));
        QCOMPARE(filter.matchMode, int32_t(kMatchAllWords));
        QTest::mouseClick(Radio(view, "Exact"), Qt::LeftButton);
        QCOMPARE(m_doc->GetEventFilter().matchMode, int32_t(kMatchExact));

        // Categories: None, then one ticked.
        Check(Find<QGroupBox>(view, "CategoryFilter"));
        QListWidget* names = Find<QListWidget>(view, "FilterNames");
        QCOMPARE(names->count(), 2);
        QTest::mouseClick(Button(view, "None"), Qt::LeftButton);
        QVERIFY(m_doc->GetEventFilter().selection.empty());
        names->item(1)->setCheckState(Qt::Checked); // as a click on its box does
        QCOMPARE(m_doc->GetEventFilter().selection, (NameSet{"Work"}));
        QVERIFY(m_doc->GetEventFilter().selectionOn);

        // The filter switch of the sidebar is the document's.
        QTest::mouseClick(Find<QCheckBox>(view, "FilterSwitch"), Qt::LeftButton, {}, QPoint(6, 6));
        QVERIFY(!m_doc->GetFilterSwitch());
        m_doc->SetFilterSwitch(true);
        QVERIFY(Find<QCheckBox>(view, "FilterSwitch")->isChecked());

        // The to-do page: the groups and the to-do filter, the event filter left as it was.
        const FilterState events = m_doc->GetEventFilter();
        view.SetTodoMode(true);
        QCOMPARE(Find<QGroupBox>(view, "CategoryFilter")->title(), QStringLiteral("Group Filter"));
        QCOMPARE(names->item(0)->text(), QStringLiteral("Garden"));
        QVERIFY(!Find<QGroupBox>(view, "ContentFilter")->isChecked());
        CTodoPage page([this] {
            TodoPageHost host;
            host.doc = m_doc.get();
            host.settings = &m_settings;
            host.layout = &m_layout;
            return host;
        }());
        QCOMPARE(page.RowCount(), 2);
        Check(Find<QGroupBox>(view, "CategoryFilter"));
        QTest::mouseClick(Button(view, "None"), Qt::LeftButton);
        QCOMPARE(page.RowCount(), 2); // with no group chosen the rule hides nothing
        names->item(0)->setCheckState(Qt::Checked);
        QCOMPARE(page.RowCount(), 1);
        QTest::mouseClick(Button(view, "All"), Qt::LeftButton);
        QCOMPARE(page.RowCount(), 2);
        QCOMPARE(m_doc->GetEventFilter(), events);
    }

    void searchListsSortsAndGivesWayToNewInput() {
        // Enough events for several slices of the search.
        CDateEntry* dentist = AddEvent("Dentist", CDateTime(2007, 3, 20, 9, 0, 0));
        for (int i = 0; i < 5000; ++i) {
            AddEvent(i % 2 == 0 ? "Walk" : "Swim", CDateTime(2007, 3, 16, 7, 0, 0), "Work", true);
        }
        CFilterView view(Host());
        view.show();
        QGroupBox* search = Find<QGroupBox>(view, "Search");
        search->setChecked(true);
        QVERIFY(view.Searching());
        QTRY_VERIFY(!view.Searching());
        QCOMPARE(Find<QLabel>(view, "SearchCount")->text(),
                 QStringLiteral("More than 1000 results, search terminated"));

        // Typing while the search runs drops it; the rows are those of the last words.
        Check(Find<QGroupBox>(view, "ContentFilter"));
        QLineEdit* text = Find<QLineEdit>(view, "FilterText");
        QTest::keyClicks(text, "swi");
        QCoreApplication::processEvents(); // one slice of the search for "swi"
        QVERIFY(view.Searching());
        text->setText(QStringLiteral("dentist"));
        QTRY_VERIFY(!view.Searching());
        QCOMPARE(view.Rows().size(), size_t(1));
        QCOMPARE(view.Rows().front().event, dentist);
        QCOMPARE(Find<QLabel>(view, "SearchCount")->text(),
                 QStringLiteral("Search returned 1 result"));

        // OR with two words; sorted by description, then reversed by a second click.
        QTest::mouseClick(Radio(view, "OR"), Qt::LeftButton);
        text->setText(QStringLiteral("dentist swim"));
        QTRY_VERIFY(!view.Searching());
        QCOMPARE(view.Rows().size(), size_t(1000));
        view.ClickResultColumn(1);
        view.ClickResultColumn(1);
        QCOMPARE(view.ResultSortKey(), -2);
        QCOMPARE(view.Rows().front().text, std::string("Swim"));
        QCOMPARE(view.Rows().back().text, std::string("Dentist"));

        // A double-click selects the row's date.
        QTreeWidget* results = Find<QTreeWidget>(view, "SearchResults");
        QTreeWidgetItem* last = results->topLevelItem(results->topLevelItemCount() - 1);
        results->scrollToItem(last);
        const QRect rect = results->visualItemRect(last);
        QTest::mouseClick(results->viewport(), Qt::LeftButton, {}, rect.center());
        QTest::mouseDClick(results->viewport(), Qt::LeftButton, {}, rect.center());
        QCOMPARE(m_dates, std::vector<CDateTime>{CDateTime(2007, 3, 20, 9, 0, 0)});
        QCOMPARE(m_layout.SearchResultColumnWidths.size(), size_t(2));

        // Deleting an event takes its row away at once.
        m_doc->DeleteDateEntry(dentist, kEditSendHint);
        QVERIFY(view.Rows().empty());
        QTRY_VERIFY(!view.Searching());
        QCOMPARE(view.Rows().size(), size_t(1000));
    }

    void todoSearchShowsTheTodo() {
        CTodoEntry* tax = AddTodo("Tax return", "Office");
        CFilterView view(Host());
        view.SetTodoMode(true);
        Find<QGroupBox>(view, "Search")->setChecked(true);
        QTRY_VERIFY(!view.Searching());
        QCOMPARE(view.Rows().size(), size_t(1));
        QTreeWidget* results = Find<QTreeWidget>(view, "SearchResults");
        view.SetSelectedTodo(tax);
        QCOMPARE(results->currentItem(), results->topLevelItem(0));
        emit results->itemActivated(results->topLevelItem(0), 0);
        QCOMPARE(m_shown, std::vector<CTodoEntry*>{tax});
    }
};

} // namespace dv

QTEST_MAIN(dv::FilterViewTest)
#include "FilterViewTest.moc"
