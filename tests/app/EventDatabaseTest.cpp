// The event database window on a real document: the table's texts and order, the occurrence
// lists and their commands on working copies, and OK and Cancel.
#include "app/CEventDatabaseDlg.h"
#include "document/CDayvaultDoc.h"
#include "settings/CSettings.h"

#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <memory>

namespace dv {

namespace {

CDateTime At(int y, int m, int d, int h = 0, int min = 0) {
    return CDateTime(y, m, d, h, min, 0);
}

// Records the hints the document sends.
class HintRecorder final : public IDocumentObserver {
public:
    void OnUpdate(UpdateHint hint, const HintObject&) override { hints.push_back(hint); }
    std::vector<UpdateHint> hints;
};

} // namespace

class EventDatabaseTest : public QObject {
    Q_OBJECT

    std::unique_ptr<CDayvaultDoc> m_doc;
    CSettings m_settings;
    std::vector<bool> m_editorCalls; // isNew of each call
    std::string m_editorText = "Edited";

    EventDatabaseHost Host(bool withEditor = true) {
        EventDatabaseHost host;
        host.doc = m_doc.get();
        host.settings = &m_settings;
        if (withEditor) {
            host.editEvent = [this](DateData& data, bool isNew) {
                m_editorCalls.push_back(isNew);
                data.Description = m_editorText;
                return !m_editorText.empty();
            };
        }
        return host;
    }

    CDateEntry* Add(const std::string& text, const CDateTime& start, int repeat = 0, int rate = 0,
                    int unit = 0) {
        auto event = std::make_unique<CDateEntry>(At(2007, 1, 1));
        DateData data = event->GetData();
        data.Description = text;
        data.Category = "Work";
        data.StartDate = start;
        data.EndDate = start + CDateTimeSpan(0, 1, 0, 0);
        data.Repeat = repeat;
        data.RepeatRate = rate;
        data.RepeatUnit = unit;
        event->AssignData(data);
        CDateEntry* raw = event.get();
        m_doc->AddDateEntry(std::move(event), kEditRebuildSet);
        return raw;
    }

    // The text in `column` of the row of the working copy of `event`.
    static QString Cell(CEventDatabaseDlg& dialog, const CDateEntry* event, int column) {
        for (int row = 0; row < dialog.EventCount(); ++row) {
            if (dialog.EventAt(row)->GetGUID() == event->GetGUID()) {
                return dialog.Table()->topLevelItem(row)->text(column);
            }
        }
        return QStringLiteral("no row");
    }

private slots:
    void init() {
        m_doc = std::make_unique<CDayvaultDoc>();
        m_settings = CSettings();
        m_editorCalls.clear();
        m_editorText = "Edited";
        m_doc->CheckDates(At(2007, 3, 15, 12), false, 0);
    }

    void repetitionInWordsAndNextOccurrenceOrder() {
        const CDateEntry* weeks = Add("fortnightly", At(2007, 3, 1, 9), 1, 2, 3);
        const CDateEntry* month = Add("monthly", At(2007, 1, 10, 9), 1, 1, 4);
        const CDateEntry* months = Add("quarterly", At(2007, 1, 20, 9), 1, 3, 4);
        CDateEntry* tuesday = Add("second Tuesday", At(2007, 1, 9, 9), 2, 1);
        DateData data = tuesday->GetData();
        data.RepeatWeekdayCount = 1;
        data.RepeatWeekday = 1;
        tuesday->AssignData(data);
        // A one-off event tomorrow, acknowledged already: nothing is left to come.
        CDateEntry* acknowledged = Add("acknowledged", At(2007, 3, 16, 9));
        acknowledged->SetDone(At(2007, 3, 16, 9), true);

        CEventDatabaseDlg dialog(Host());
        QCOMPARE(Cell(dialog, weeks, 4), QStringLiteral("2 Weeks"));
        QCOMPARE(Cell(dialog, month, 4), QStringLiteral("1 Month"));
        QCOMPARE(Cell(dialog, months, 4), QStringLiteral("3 Months"));
        QCOMPARE(Cell(dialog, tuesday, 4), QStringLiteral("Every 2nd Tue. of the Month"));
        QCOMPARE(Cell(dialog, acknowledged, 4), QString());
        QCOMPARE(Cell(dialog, acknowledged, 3), QString());
        // By next occurrence: 15 Mar (fortnightly), 20 Mar (quarterly is April: no), ...
        QCOMPARE(dialog.SortKey(), 4);
        QCOMPARE(dialog.EventAt(dialog.EventCount() - 1)->GetData().Description,
                 std::string("acknowledged"));
        QCOMPARE(dialog.EventAt(0)->GetData().Description, std::string("fortnightly"));
        // Descending on a second click; by repetition the hour-free periods order them.
        dialog.ClickColumn(3);
        QCOMPARE(dialog.SortKey(), -4);
        QCOMPARE(dialog.EventAt(0)->GetData().Description, std::string("acknowledged"));
        dialog.ClickColumn(4);
        QCOMPARE(dialog.EventAt(0)->GetData().Description, std::string("fortnightly"));
        QCOMPARE(dialog.EventAt(3)->GetData().Description, std::string("quarterly"));
    }

    void rangeOfOneMonthEndsAtTheMonthsEnd() {
        QCOMPARE(database::RangeEnd(2, At(2007, 1, 31, 14, 30)), At(2007, 2, 28, 14, 30));
        QCOMPARE(database::RangeEnd(2, At(2008, 1, 31, 14, 30)), At(2008, 2, 29, 14, 30));
        QCOMPARE(database::RangeEnd(5, At(2008, 2, 29, 8)), At(2009, 2, 28, 8));
        QCOMPARE(database::RangeEnd(1, At(2007, 12, 25, 8)), At(2008, 1, 8, 8));
    }

    void occurrencesDroppedAndRestoredOnCopiesOnly() {
        CDateEntry* weekly = Add("weekly", At(2007, 3, 1, 9), 1, 1, 3);
        {
            CEventDatabaseDlg dialog(Host());
            dialog.SelectRow(0);
            // 1 month from 15 Mar 12:00: 22 Mar .. 12 Apr.
            QCOMPARE(dialog.Occurrences()->topLevelItemCount(), 4);
            dialog.SetRangeChoice(0);
            QCOMPARE(dialog.Occurrences()->topLevelItemCount(), 1);
            dialog.Occurrences()->setCurrentItem(dialog.Occurrences()->topLevelItem(0));
            dialog.DeleteOccurrence();
            QCOMPARE(dialog.Dropped()->topLevelItemCount(), 1);
            QCOMPARE(dialog.EventAt(0)->IsDropped(At(2007, 3, 22, 9)), true);
            dialog.reject();
        }
        QVERIFY(!weekly->IsDropped(At(2007, 3, 22, 9)));

        CEventDatabaseDlg dialog(Host());
        dialog.SelectRow(0);
        dialog.Occurrences()->setCurrentItem(dialog.Occurrences()->topLevelItem(1));
        dialog.DeleteOccurrence();
        // The selection moves to the neighbour; the dropped one can come back.
        QCOMPARE(dialog.Occurrences()->currentItem(), dialog.Occurrences()->topLevelItem(1));
        dialog.Dropped()->setCurrentItem(dialog.Dropped()->topLevelItem(0));
        dialog.RestoreOccurrence();
        QCOMPARE(dialog.Dropped()->topLevelItemCount(), 0);
        dialog.Occurrences()->setCurrentItem(dialog.Occurrences()->topLevelItem(0));
        dialog.DeleteOccurrence();
        HintRecorder hints;
        m_doc->AddObserver(hints);
        dialog.accept();
        m_doc->RemoveObserver(hints);
        QCOMPARE(m_doc->GetDateEntryCount(), 1);
        QVERIFY(m_doc->GetDateEntry(0)->IsDropped(At(2007, 3, 22, 9)));
        QVERIFY(std::find(hints.hints.begin(), hints.hints.end(), UpdateHint::EventsReset) !=
                hints.hints.end());
    }

    void newEditAndDeleteReplaceTheDocumentsEvents() {
        Add("first", At(2007, 3, 20, 9));
        const std::string guid = Add("second", At(2007, 3, 21, 9))->GetGUID();
        {
            // Without an editor New and Edit stay disabled.
            CEventDatabaseDlg without(Host(false));
            without.SelectRow(0);
            for (QPushButton* button : without.findChildren<QPushButton*>()) {
                if (button->text() == QStringLiteral("&New") ||
                    button->text() == QStringLiteral("&Edit")) {
                    QVERIFY(!button->isEnabled());
                }
            }
        }
        CEventDatabaseDlg dialog(Host());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        dialog.NewEvent();
        QCOMPARE(dialog.EventCount(), 3);
        QCOMPARE(m_doc->GetTemplateCount(), 1); // the default template was made for it
        const CDateEntry* added =
            dialog.EventAt(dialog.Table()->indexOfTopLevelItem(dialog.Table()->currentItem()));
        QCOMPARE(added->GetData().Description, std::string("Edited"));
        QCOMPARE(added->GetData().StartDate.GetDate(), At(2007, 3, 15));
        QVERIFY(added->GetGUID() != m_doc->GetTemplate(0)->GetGUID());
        // Editing "first", then cancelling an edit of it, then deleting it.
        int row = 0;
        while (dialog.EventAt(row)->GetData().Description != "first") {
            ++row;
        }
        dialog.SelectRow(row);
        m_editorText = "renamed";
        QTreeWidget* table = dialog.Table();
        const QPoint at(20, table->visualItemRect(table->topLevelItem(row)).center().y());
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, at);
        m_editorText.clear();
        dialog.EditEvent();
        QCOMPARE(dialog.EventAt(row)->GetData().Description, std::string("renamed"));
        dialog.DeleteEvent();
        QCOMPARE(dialog.EventCount(), 2);
        QCOMPARE(m_editorCalls, (std::vector<bool>{true, false, false}));
        QCOMPARE(m_doc->GetDateEntryCount(), 2); // nothing reaches the document before OK
        dialog.accept();
        QCOMPARE(m_doc->GetDateEntryCount(), 2);
        QCOMPARE(m_doc->GetDateEntry(0)->GetGUID(), guid);
        QCOMPARE(m_doc->GetDateEntry(1)->GetData().Description, std::string("Edited"));
    }
};

} // namespace dv

QTEST_MAIN(dv::EventDatabaseTest)
#include "EventDatabaseTest.moc"
