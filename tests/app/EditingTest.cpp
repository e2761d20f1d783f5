// The editors and the edit commands driven as a user drives them: the event editor's pages,
// categories and refusals, the to-do editor, delete and mark done from the menus, undo and redo,
// the clipboard, and the file commands that bring entries in.
#include "DesktopRig.h"
#include "EditorHarness.h"
#include "app/CCalendarPage.h"
#include "app/CDateEditSheet.h"
#include "app/CDayList.h"
#include "app/CDayvaultApp.h"
#include "app/CEditCommands.h"
#include "app/CMainFrame.h"
#include "app/CTodoEditDlg.h"
#include "app/CommandTable.h"
#include "core/CDateEntry.h"
#include "core/CTodoEntry.h"
#include "core/Prompt.h"
#include "document/CDayvaultDoc.h"
#include "format/StringIds.h"
#include "format/StringTable.h"
#include "platform/ISoundPlayer.h"
#include "settings/CIniStore.h"
#include "settings/CSettings.h"
#include "support/TempHomeMain.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QColorDialog>
#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFile>
#include <QElapsedTimer>
#include <QInputDialog>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimeEdit>
#include <QToolButton>
#include <deque>
#include <filesystem>
#include <fstream>

namespace dv {

namespace fs = std::filesystem;
using namespace test;

namespace {

class RecordingSound final : public ISoundPlayer {
public:
    std::vector<std::string> played;
    void Play(const std::string& file) override { played.push_back(file); }
};

std::unique_ptr<CDateEntry> Template(const std::string& category, const std::string& description,
                                     int hour) {
    auto entry = std::make_unique<CDateEntry>(CDateTime(2020, 1, 1, hour, 30, 0));
    DateData data = entry->GetData();
    data.Category = category;
    data.Description = description;
    data.EndDate = CDateTime(2020, 1, 1, hour + 1, 0, 0);
    entry->AssignData(data);
    return entry;
}

std::vector<std::unique_ptr<CDateEntry>> ThreeTemplates() {
    std::vector<std::unique_ptr<CDateEntry>> list;
    list.push_back(Template("Event", "", 8));
    list.push_back(Template("birthday", "Birthday of", 0));
    list.push_back(Template("Work", "standup", 9));
    return list;
}

// Shows `sheet` on `data` with the three templates, as the commands open it.
void ShowSheet(CDateEditSheet& sheet, const DateData& data) {
    sheet.SetData(data);
    sheet.SetTemplates(ThreeTemplates());
    sheet.show();
}

QStringList BoxEntries(const QComboBox* box) {
    QStringList entries;
    for (int i = 0; i < box->count(); ++i) {
        entries << box->itemText(i);
    }
    return entries;
}

void Choose(QComboBox* box, const QString& text) {
    // The keyboard moves the selection of a closed drop-down list and tells about it.
    box->setFocus();
    const int target = box->findText(text);
    while (box->currentIndex() < target) {
        QTest::keyClick(box, Qt::Key_Down);
    }
    while (box->currentIndex() > target) {
        QTest::keyClick(box, Qt::Key_Up);
    }
}

// Adds an event of `minutes` to `doc`, weekly when `weekly`.
CDateEntry* AddEvent(CDayvaultDoc& doc, const CDateTime& start, const std::string& description,
                     bool weekly = false, int minutes = 60) {
    auto entry = std::make_unique<CDateEntry>(start);
    DateData data = entry->GetData();
    data.Description = description;
    data.EndDate = start + CDateTimeSpan(0, 0, minutes, 0);
    if (weekly) {
        data.Repeat = 1;
        data.RepeatRate = 1;
        data.RepeatUnit = 3;
    }
    entry->AssignData(data);
    CDateEntry* added = entry.get();
    doc.AddDateEntry(std::move(entry), kEditInteractive);
    return added;
}

CTodoEntry* AddTodo(CDayvaultDoc& doc, const std::string& group, const std::string& description) {
    auto todo = std::make_unique<CTodoEntry>();
    TodoData data = todo->GetData();
    data.Group = group;
    data.Description = description;
    todo->SetData(data);
    CTodoEntry* added = todo.get();
    doc.AddTodoEntry(std::move(todo), kEditInteractive);
    return added;
}

} // namespace

class EditingTest : public QObject, protected EditorHarness {
    Q_OBJECT

    std::unique_ptr<CDayvaultApp> Start() {
        const fs::path root(m_folder->path().toStdString());
        auto app =
            std::make_unique<CDayvaultApp>(TestEnvironment(root, "edit"), &m_prompt, &m_dialogs);
        if (!app->Start()) {
            return nullptr;
        }
        app->Settings().WarnOnDelete = true;
        app->Settings().WarnOnCompleteDelete = true;
        // Saving an untitled document would ask; these tests work on a named file.
        app->Document().SaveAs(root / "events.dat");
        app->Frame()->SetPage(CMainFrame::WeekPage);
        return app;
    }

    std::string LastMessage() const {
        return m_prompt.GetShown().empty() ? std::string() : m_prompt.GetShown().back().text;
    }

private slots:
    void init() {
        m_folder = std::make_unique<QTemporaryDir>();
        ClearNativeStore();
        m_prompt.ClearShown();
        m_names.clear();
        m_settings = CSettings();
    }

    void cleanup() { QCOMPARE(m_prompt.GetPendingAnswerCount(), std::size_t{0}); }

    void categoriesFollowTheirRulesPerMode() {
        // Entering a new event: another category fills everything from its template but the
        // days the user chose.
        {
            CDateEditSheet sheet(CDateEditSheet::NewEvent, Services());
            DateData data = ThreeTemplates()[0]->GetData();
            data.StartDate = CDateTime(2026, 3, 10, 8, 30, 0);
            data.EndDate = CDateTime(2026, 3, 11, 9, 0, 0);
            ShowSheet(sheet, data);
            QComboBox* box = sheet.Page1()->categoryBox;
            QCOMPARE(BoxEntries(box), QStringList({"birthday", "Event", "Work"}));
            QVERIFY(!sheet.Page1()->newCategory->isVisible());
            Type(sheet.Page1()->description, "typed");
            Choose(box, "Work");
            QCOMPARE(sheet.SelectedTemplate(), 2);
            QCOMPARE(sheet.Page1()->description->text(), QStringLiteral("standup"));
            QCOMPARE(sheet.Page1()->startDate->date(), QDate(2026, 3, 10));
            QCOMPARE(sheet.Page1()->startTime->time(), QTime(9, 30));
            QCOMPARE(sheet.Page1()->endDate->date(), QDate(2026, 3, 11));
            QCOMPARE(sheet.Page2()->endDate->date(), QDate(2026, 3, 10));
        }
        // Editing: only the category changes; a category that is gone is still shown.
        {
            CDateEditSheet sheet(CDateEditSheet::EditEvent, Services());
            DateData data = ThreeTemplates()[1]->GetData();
            data.Category = "Gone";
            data.Description = "mine";
            ShowSheet(sheet, data);
            QCOMPARE(sheet.Page1()->categoryBox->currentText(), QStringLiteral("Gone"));
            QCOMPARE(sheet.SelectedTemplate(), -1);
            Choose(sheet.Page1()->categoryBox, "Work");
            QCOMPARE(sheet.Page1()->description->text(), QStringLiteral("mine"));
            Press(&sheet, QDialogButtonBox::Ok);
            QCOMPARE(sheet.result(), int(QDialog::Accepted));
            QCOMPARE(sheet.GetData().Category, std::string("Work"));
            QCOMPARE(sheet.Templates().size(), std::size_t{3});
        }
        // A new event of an unknown category adds a template to the sheet's list.
        {
            CDateEditSheet sheet(CDateEditSheet::NewEvent, Services());
            DateData data = ThreeTemplates()[0]->GetData();
            data.Category = "hobby";
            ShowSheet(sheet, data);
            QCOMPARE(sheet.Templates().size(), std::size_t{4});
            QCOMPARE(sheet.SelectedTemplate(), 3);
        }
        // The category editor: delete, new and rename with their refusals.
        CDateEditSheet sheet(CDateEditSheet::EditCategories, Services());
        ShowSheet(sheet, ThreeTemplates()[0]->GetData());
        CDateEditPage1* page = sheet.Page1();
        QVERIFY(page->newCategory->isVisible());
        QVERIFY(!page->startDate->isEnabled());
        QTest::mouseClick(page->deleteCategory, Qt::LeftButton);
        QCOMPARE(LastMessage(), std::string("You may not delete the default category!"));
        QCOMPARE(m_prompt.GetShown().back().icon, PromptIcon::Stop);
        QCOMPARE(sheet.Templates().size(), std::size_t{3});
        // An edit of the default category stays with it when another is chosen.
        Type(page->description, "default text");
        Choose(page->categoryBox, "Work");
        QCOMPARE(sheet.Templates()[0]->GetData().Description, std::string("default text"));
        QTest::mouseClick(page->deleteCategory, Qt::LeftButton);
        QCOMPARE(BoxEntries(page->categoryBox), QStringList({"birthday", "Event"}));
        QCOMPARE(page->categoryBox->currentText(), QStringLiteral("Event"));
        QCOMPARE(page->description->text(), QStringLiteral("default text"));
        m_prompt.ClearShown();
        m_names = {std::string("EVENT"), std::string(""), std::string("Travel")};
        QTest::mouseClick(page->newCategory, Qt::LeftButton);
        QCOMPARE(LastMessage(), std::string("There is already a category with the name "
                                            "'EVENT'.\nPlease choose a different name."));
        QTest::mouseClick(page->newCategory, Qt::LeftButton); // empty: nothing at all
        QCOMPARE(m_prompt.GetShown().size(), std::size_t{1});
        QTest::mouseClick(page->newCategory, Qt::LeftButton);
        QCOMPARE(BoxEntries(page->categoryBox), QStringList({"birthday", "Event", "Travel"}));
        QCOMPARE(page->categoryBox->currentText(), QStringLiteral("Travel"));
        QCOMPARE(page->description->text(), QStringLiteral("default text"));
        m_names = {std::string("Travel"), std::string("Trips")};
        QTest::mouseClick(page->renameCategory, Qt::LeftButton);
        QCOMPARE(LastMessage(), std::string("There is already a category with the name "
                                            "'Travel'.\nPlease choose a different name."));
        QTest::mouseClick(page->renameCategory, Qt::LeftButton);
        QCOMPARE(BoxEntries(page->categoryBox), QStringList({"birthday", "Event", "Trips"}));
        Press(&sheet, QDialogButtonBox::Ok);
        QCOMPARE(sheet.result(), int(QDialog::Accepted));
        QCOMPARE(sheet.GetData().Category, std::string("Trips"));
    }

    void okRefusesWithPageAndFocus() {
        CDateEditSheet sheet(CDateEditSheet::NewEvent, Services());
        DateData data = ThreeTemplates()[0]->GetData();
        data.StartDate = CDateTime(2026, 3, 10, 8, 0, 0);
        data.EndDate = CDateTime(2026, 3, 10, 9, 0, 0);
        ShowSheet(sheet, data);
        CDateEditPage1* page1 = sheet.Page1();
        CDateEditPage2* page2 = sheet.Page2();
        // All-day without description.
        QTest::mouseClick(page1->startTimeOn, Qt::LeftButton);
        QVERIFY(!page1->startTime->isEnabled());
        QVERIFY(!page1->endTime->isEnabled());
        sheet.Pages()->setCurrentIndex(2);
        Press(&sheet, QDialogButtonBox::Ok);
        QVERIFY(sheet.isVisible());
        QCOMPARE(LastMessage(), LoadString(kIdsNeedDescriptionOrStart));
        QCOMPARE(m_prompt.GetShown().back().icon, PromptIcon::Exclamation);
        QCOMPARE(sheet.Pages()->currentIndex(), 0);
        QCOMPARE(sheet.focusWidget(), page1->description);
        // A rule that never occurs: an interval with every condition cleared.
        Type(page1->description, "gym");
        sheet.Pages()->setCurrentIndex(1);
        QVERIFY(!page2->setAll->isEnabled());
        QTest::mouseClick(page2->repeat->button(1), Qt::LeftButton);
        QVERIFY(page2->rate->isEnabled() && !page2->ordinal->isEnabled());
        QTest::mouseClick(page2->clearAll, Qt::LeftButton);
        sheet.Pages()->setCurrentIndex(0);
        Press(&sheet, QDialogButtonBox::Ok);
        QCOMPARE(LastMessage(), LoadString(kIdsEdNeverOccurs));
        QCOMPARE(sheet.Pages()->currentIndex(), 1);
        QCOMPARE(sheet.focusWidget(), page2->weekdays.front());
        // An end date before the first occurrence.
        QTest::mouseClick(page2->setAll, Qt::LeftButton);
        QTest::mouseClick(page2->end->button(2), Qt::LeftButton);
        QVERIFY(page2->endDate->isEnabled() && !page2->endCount->isEnabled());
        page2->endDate->setDate(QDate(2026, 3, 9));
        sheet.Pages()->setCurrentIndex(0);
        Press(&sheet, QDialogButtonBox::Ok);
        QCOMPARE(LastMessage(), LoadString(kIdsEdEndBeforeFirst));
        QCOMPARE(sheet.Pages()->currentIndex(), 1);
        QCOMPARE(sheet.focusWidget(), page2->endDate);
        QVERIFY(sheet.isVisible());
        // Numbers typed into the boxes: absolute values, text that is no number gives 0.
        page2->endDate->setDate(QDate(2026, 4, 9));
        page2->rate->setEditText(QStringLiteral("-3"));
        QTest::mouseClick(page1->reminder, Qt::LeftButton);
        page1->reminderSpan->setEditText(QStringLiteral("ten"));
        sheet.Page3()->snoozeSpan->setEditText(QStringLiteral("-99999999999"));
        Press(&sheet, QDialogButtonBox::Ok);
        QCOMPARE(sheet.result(), int(QDialog::Accepted));
        QCOMPARE(sheet.GetData().RepeatRate, 3);
        QCOMPARE(sheet.GetData().ForewarnSpan, 0);
        QCOMPARE(sheet.GetData().SnoozeSpan, INT32_MAX);
        QCOMPARE(sheet.GetData().ShowStartTime, 0);
        QCOMPARE(sheet.GetData().CondWeekdays, 0x7F);
        QCOMPARE(sheet.GetData().RepeatEnd, 2);
    }

    void actionSoundAndColourControls() {
        RecordingSound sound;
        CIniStore store(fs::path(m_folder->path().toStdString()) / "Dayvault.ini");
        EditorServices services = Services();
        services.sound = &sound;
        services.store = &store;
        CDateEditSheet sheet(CDateEditSheet::NewEvent, services);
        DateData data = ThreeTemplates()[0]->GetData();
        data.Description = "party";
        data.SoundFile = "/sounds/old.wav";
        data.Parameter = "--open ";
        ShowSheet(sheet, data);
        CDateEditPage1* page1 = sheet.Page1();
        // Sound needs the reminder; the file comes from an open dialog that starts at the old one.
        QVERIFY(!page1->sound->isEnabled());
        QTest::mouseClick(page1->reminder, Qt::LeftButton);
        QVERIFY(page1->sound->isEnabled() && !page1->soundFile->isEnabled());
        QTest::mouseClick(page1->sound, Qt::LeftButton);
        m_dialogs.next = fs::path("/sounds/new.wav");
        QTest::mouseClick(page1->soundBrowse, Qt::LeftButton);
        QCOMPARE(m_dialogs.start, std::string("/sounds/old.wav"));
        QCOMPARE(m_dialogs.filter, LoadString(kIdsEdSoundFilter));
        QTest::mouseClick(page1->play, Qt::LeftButton);
        QCOMPARE(sound.played, std::vector<std::string>{"/sounds/new.wav"});
        // The field colour button picks the colour and the coloured field; the custom colours
        // are kept in the store.
        OnModal<QColorDialog>([](QColorDialog* dialog) {
            QColorDialog::setCustomColor(0, QColor(0x01, 0x02, 0x03));
            dialog->setCurrentColor(QColor(0x11, 0x22, 0x33));
            dialog->accept();
        });
        QTest::mouseClick(page1->fieldColor, Qt::LeftButton);
        QVERIFY(page1->display->button(2)->isChecked());
        QVERIFY(QString::fromStdString(store.ReadText("Settings", "CustomColors", ""))
                    .startsWith(QStringLiteral("10203,")));
        // The action page: the command's parameter gets a file inserted at the caret.
        sheet.Pages()->setCurrentIndex(2);
        CDateEditPage3* page3 = sheet.Page3();
        QVERIFY(!page3->command->isEnabled());
        QTest::mouseClick(page3->action->button(2), Qt::LeftButton);
        QVERIFY(page3->command->isEnabled() && !page3->document->isEnabled());
        page3->parameter->setCursorPosition(7);
        m_dialogs.next = fs::path("/tmp/list.txt");
        QTest::mouseClick(page3->parameterBrowse, Qt::LeftButton);
        QCOMPARE(page3->parameter->text(), QStringLiteral("--open /tmp/list.txt"));
        QTest::mouseClick(page3->overdue->button(1), Qt::LeftButton);
        QVERIFY(page3->executeSpan->isEnabled());
        Press(&sheet, QDialogButtonBox::Ok);
        QCOMPARE(sheet.result(), int(QDialog::Accepted));
        const DateData& result = sheet.GetData();
        QCOMPARE(result.Display, 2);
        QCOMPARE(result.DisplayColor, 0x332211u);
        QCOMPARE(result.SoundFile, std::string("/sounds/new.wav"));
        QCOMPARE(result.Action, 2);
        QCOMPARE(result.OverdueAction, 1);
    }

    void startAndEndKeepTheDuration() {
        CDateEditSheet sheet(CDateEditSheet::NewEvent, Services());
        DateData data = ThreeTemplates()[0]->GetData();
        data.StartDate = CDateTime(2026, 3, 10, 10, 0, 0);
        data.EndDate = CDateTime(2026, 3, 10, 11, 30, 0);
        ShowSheet(sheet, data);
        CDateEditPage1* page = sheet.Page1();
        page->startTime->setTime(QTime(23, 0));
        QCOMPARE(page->endDate->date(), QDate(2026, 3, 11));
        QCOMPARE(page->endTime->time(), QTime(0, 30));
        // An end before the start pulls the start along; the kept duration is then zero...
        page->endDate->setDate(QDate(2026, 3, 9));
        QCOMPARE(page->startDate->date(), QDate(2026, 3, 9));
        QCOMPARE(page->startTime->time(), QTime(0, 30));
        page->startDate->setDate(QDate(2026, 3, 12));
        QCOMPARE(page->endDate->date(), QDate(2026, 3, 12));
        QCOMPARE(page->endTime->time(), QTime(0, 30));
        // ... and a later end makes a new one, also while the end time is disabled.
        QTest::mouseClick(page->startTimeOn, Qt::LeftButton);
        page->endDate->setDate(QDate(2026, 3, 14));
        page->startDate->setDate(QDate(2026, 3, 13));
        QCOMPARE(page->endDate->date(), QDate(2026, 3, 15));
    }

    void todoEditorChecksGroupThenDescription() {
        TodoData data = CTodoEntry(CDateTime(2026, 3, 10, 9, 0, 0)).GetData();
        CTodoEditDlg dialog(data, {"Home", "work"}, Services());
        dialog.show();
        QVERIFY(!dialog.time->isEnabled());
        QVERIFY(dialog.span->isEnabled());
        QVERIFY(!dialog.share->isEnabled()); // no network function
        QVERIFY(!dialog.documentFile->isEnabled());
        QTest::mouseClick(dialog.deadline, Qt::LeftButton);
        QVERIFY(!dialog.forewarn->isEnabled() && !dialog.span->isEnabled());
        QTest::mouseClick(dialog.deadline, Qt::LeftButton);
        Press(&dialog, QDialogButtonBox::Ok);
        QCOMPARE(LastMessage(), LoadString(kIdsNeedTodoGroup));
        QCOMPARE(dialog.focusWidget(), dialog.group);
        dialog.group->setCurrentIndex(1);
        Press(&dialog, QDialogButtonBox::Ok);
        QCOMPARE(LastMessage(), LoadString(kIdsNeedDescriptionOrStart));
        QCOMPARE(dialog.focusWidget(), dialog.description);
        QVERIFY(dialog.isVisible());
        Type(dialog.description, "taxes");
        QTest::mouseClick(dialog.priority->button(6), Qt::LeftButton);
        dialog.span->setEditText(QStringLiteral("x"));
        QTest::mouseClick(dialog.associate, Qt::LeftButton);
        m_dialogs.next = fs::path("/tmp/form.pdf");
        QTest::mouseClick(dialog.browse, Qt::LeftButton);
        Press(&dialog, QDialogButtonBox::Ok);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.GetData().Group, std::string("work"));
        QCOMPARE(dialog.GetData().Priority, 7);
        QCOMPARE(dialog.GetData().ForewarnSpan, 0);
        QCOMPARE(dialog.GetData().DocumentFile, std::string("/tmp/form.pdf"));
        QCOMPARE(dialog.GetData().AssociateDocumentFile, 1);
    }
    void commandsEnterEditAndDeleteEvents() {
        auto app = Start();
        QVERIFY(app);
        CMainFrame* frame = app->Frame();
        CDayvaultDoc& doc = app->Document();
        CEditCommands& edit = frame->EditCommands();
        doc.SetSelectedDate(CDateTime(2026, 3, 10), false);
        QVERIFY(!frame->IsCommandEnabled(cmd::kEditEntry));
        QVERIFY(!frame->IsCommandEnabled(cmd::kDeleteEntry));
        OnModal<CDateEditSheet>([](CDateEditSheet* sheet) {
            QCOMPARE(sheet->windowTitle(), QStringLiteral("Enter New Event"));
            QCOMPARE(sheet->Page1()->startDate->date(), QDate(2026, 3, 10));
            Type(sheet->Page1()->description, "dentist");
            Press(sheet, QDialogButtonBox::Ok);
        });
        QVERIFY(frame->RunCommand(cmd::kNewEntry));
        QCOMPARE(doc.GetDateEntryCount(), 1);
        CDateEntry* event = doc.GetDateEntry(0);
        QCOMPARE(event->GetData().Description, std::string("dentist"));
        QCOMPARE(event->GetData().StartDate.GetDate(), CDateTime(2026, 3, 10));
        // The new event reaches the file without a Save command.
        QTRY_VERIFY(!doc.IsModified());
        QFile saved(QString::fromStdString(doc.GetPathName().string()));
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QVERIFY(saved.readAll().contains("dentist"));

        // Edit: the event is suspended while the editor is open; cancel changes nothing.
        edit.SelectEntry(event, event->GetFirstStart());
        QVERIFY(frame->IsCommandEnabled(cmd::kEditEntry));
        bool suspended = false;
        OnModal<CDateEditSheet>([&](CDateEditSheet* sheet) {
            suspended = event->IsSuspended();
            QCOMPARE(sheet->windowTitle(), QStringLiteral("Edit Event"));
            Type(sheet->Page1()->description, "dentist at nine");
            sheet->Pages()->setCurrentIndex(1);
            QTest::mouseClick(sheet->Page2()->repeat->button(1), Qt::LeftButton);
            sheet->Page2()->rate->setEditText(QStringLiteral("1"));
            sheet->Page2()->unit->setCurrentIndex(2); // weeks
            Press(sheet, QDialogButtonBox::Ok);
        });
        QVERIFY(frame->RunCommand(cmd::kEditEntry));
        QVERIFY(suspended);
        QVERIFY(!event->IsSuspended());
        QCOMPARE(event->GetData().Description, std::string("dentist at nine"));
        QCOMPARE(event->GetData().Repeat, 1);

        // One occurrence of the weekly event: asked, dropped; deleting it again restores it.
        const CDateTime second = event->GetFirstStart() + CDateTimeSpan(7, 0, 0, 0);
        edit.SelectEntry(event, second);
        m_prompt.QueueAnswer(true);
        QVERIFY(frame->RunCommand(cmd::kDeleteEntry));
        QCOMPARE(m_prompt.GetShown().back().icon, PromptIcon::Question);
        QVERIFY(QString::fromStdString(LastMessage())
                    .startsWith(QStringLiteral("Do you want to delete this entry?\n")));
        QVERIFY(event->IsDropped(second));
        QVERIFY(!frame->IsCommandEnabled(cmd::kEditEntry));
        QVERIFY(!frame->IsCommandEnabled(cmd::kMarkDone));
        const std::size_t asked = m_prompt.GetQuestionCount();
        edit.SelectEntry(event, second);
        QVERIFY(frame->RunCommand(cmd::kDeleteEntry));
        QVERIFY(!event->IsDropped(second));
        QCOMPARE(m_prompt.GetQuestionCount(), asked);
        // Without the warning the occurrence goes silently; an event held by an editor or the
        // reminder window stays.
        app->Settings().WarnOnDelete = false;
        QVERIFY(frame->RunCommand(cmd::kDeleteEntry));
        QVERIFY(event->IsDropped(second));
        QCOMPARE(m_prompt.GetQuestionCount(), asked);
        event->SetSuspended(true);
        QVERIFY(frame->RunCommand(cmd::kDeleteSequence));
        QCOMPARE(doc.GetDateEntryCount(), 1);
        event->SetSuspended(false);
        // The whole sequence: asked with the exclamation icon even without WarnOnDelete.
        m_prompt.QueueAnswer(false);
        QVERIFY(frame->RunCommand(cmd::kDeleteSequence));
        QCOMPARE(doc.GetDateEntryCount(), 1);
        QCOMPARE(m_prompt.GetShown().back().icon, PromptIcon::Exclamation);
        QVERIFY(!event->IsSuspended());
        m_prompt.QueueAnswer(true);
        QVERIFY(frame->RunCommand(cmd::kDeleteSequence));
        QCOMPARE(doc.GetDateEntryCount(), 0);
        QVERIFY(!frame->IsCommandEnabled(cmd::kDeleteEntry));

        // A one-off event: one question, then the event goes.
        app->Settings().WarnOnDelete = true;
        CDateEntry* one = AddEvent(doc, CDateTime(2026, 3, 12, 8, 0, 0), "one-off");
        edit.SelectEntry(one, one->GetFirstStart());
        m_prompt.QueueAnswer(true);
        const std::size_t before = m_prompt.GetQuestionCount();
        QVERIFY(frame->RunCommand(cmd::kDeleteEntry));
        QCOMPARE(m_prompt.GetQuestionCount(), before + 1);
        QCOMPARE(doc.GetDateEntryCount(), 0);

        // Undo brings back the chain step by step, redo takes it again.
        QVERIFY(frame->RunCommand(cmd::kUndo));
        QCOMPARE(doc.GetDateEntryCount(), 1);
        QVERIFY(frame->RunCommand(cmd::kUndo)); // the one-off event's addition
        QVERIFY(frame->RunCommand(cmd::kUndo)); // the weekly event's deletion
        QCOMPARE(doc.GetDateEntryCount(), 1);
        QCOMPARE(doc.GetDateEntry(0)->GetData().Description, std::string("dentist at nine"));
        QVERIFY(frame->RunCommand(cmd::kRedo));
        QCOMPARE(doc.GetDateEntryCount(), 0);
        while (frame->IsCommandEnabled(cmd::kUndo)) {
            QVERIFY(frame->RunCommand(cmd::kUndo));
        }
        QCOMPARE(doc.GetDateEntryCount(), 0);
        QVERIFY(frame->RunCommand(cmd::kRedo));
        QCOMPARE(doc.GetDateEntry(0)->GetData().Description, std::string("dentist"));
        QTRY_VERIFY(!doc.IsModified());
    }

    void markDoneAndTodoCommands() {
        auto app = Start();
        QVERIFY(app);
        CMainFrame* frame = app->Frame();
        CDayvaultDoc& doc = app->Document();
        CEditCommands& edit = frame->EditCommands();
        CDateEntry* event = AddEvent(doc, CDateTime(2026, 3, 2, 8, 0, 0), "gym", true);
        const CDateTime occurrence(2026, 3, 9, 8, 0, 0);
        edit.SelectEntry(event, occurrence);
        QVERIFY(frame->IsCommandEnabled(cmd::kMarkDone));
        QVERIFY(!frame->IsCommandEnabled(cmd::kMarkUndone));
        QVERIFY(frame->RunCommand(cmd::kMarkDone));
        QVERIFY(event->IsDone(occurrence));
        QVERIFY(!frame->IsCommandEnabled(cmd::kMarkDone));
        QVERIFY(frame->RunCommand(cmd::kMarkUndone));
        QVERIFY(!event->IsDone(occurrence));

        // The to-do page: its own selection, editor and questions.
        frame->SetPage(CMainFrame::TodoPage);
        QVERIFY(!frame->IsCommandEnabled(cmd::kMarkDone)); // the event's selection is not asked
        OnModal<CTodoEditDlg>([](CTodoEditDlg* dialog) {
            dialog->group->setEditText(QStringLiteral("Home"));
            Type(dialog->description, "paint the fence");
            Press(dialog, QDialogButtonBox::Ok);
        });
        QVERIFY(frame->RunCommand(cmd::kNewEntry));
        QCOMPARE(doc.GetTodoCount(), 1);
        CTodoEntry* todo = doc.GetTodoEntry(0);
        edit.SelectTodo(todo);
        QVERIFY(frame->RunCommand(cmd::kMarkDone));
        QVERIFY(todo->IsDone());
        QVERIFY(!frame->IsCommandEnabled(cmd::kMarkDone));
        QVERIFY(frame->RunCommand(cmd::kMarkUndone));
        bool inEditor = false;
        OnModal<CTodoEditDlg>([&](CTodoEditDlg* dialog) {
            inEditor = todo->IsInEditor();
            QCOMPARE(dialog->group->currentText(), QStringLiteral("Home"));
            Type(dialog->description, "paint the gate");
            Press(dialog, QDialogButtonBox::Ok);
        });
        QVERIFY(frame->RunCommand(cmd::kEditEntry));
        QVERIFY(inEditor);
        QVERIFY(!todo->IsInEditor());
        QCOMPARE(todo->GetData().Description, std::string("paint the gate"));
        m_prompt.QueueAnswer(false);
        QVERIFY(frame->RunCommand(cmd::kDeleteEntry));
        QCOMPARE(doc.GetTodoCount(), 1);
        m_prompt.QueueAnswer(true);
        QVERIFY(frame->RunCommand(cmd::kDeleteEntry));
        QCOMPARE(doc.GetTodoCount(), 0);
        QVERIFY(!frame->IsCommandEnabled(cmd::kEditEntry));
        QVERIFY(frame->RunCommand(cmd::kUndo));
        QCOMPARE(doc.GetTodoCount(), 1);
        QCOMPARE(doc.GetTodoEntry(0)->GetData().Description, std::string("paint the gate"));
    }

    void clipboardCopiesCutsAndPastesOnTheMatchingPage() {
        auto app = Start();
        QVERIFY(app);
        CMainFrame* frame = app->Frame();
        CDayvaultDoc& doc = app->Document();
        CEditCommands& edit = frame->EditCommands();
        CDateEntry* event = AddEvent(doc, CDateTime(2026, 3, 2, 8, 0, 0), "choir", true, 90);
        QVERIFY(!frame->IsCommandEnabled(cmd::kCopy));
        edit.SelectEntry(event, CDateTime(2026, 3, 9, 8, 0, 0));
        QVERIFY(frame->RunCommand(cmd::kCopy));
        const QMimeData* mime = QApplication::clipboard()->mimeData();
        QVERIFY(mime->hasFormat(EventMimeType()));
        QVERIFY(mime->text().contains(QStringLiteral("choir")));
        doc.SetSelectedDate(CDateTime(2026, 4, 1), false);
        QVERIFY(frame->RunCommand(cmd::kPaste));
        QVERIFY(frame->RunCommand(cmd::kPaste));
        QCOMPARE(doc.GetDateEntryCount(), 3);
        for (int i = 1; i <= 2; ++i) {
            const DateData& pasted = doc.GetDateEntry(i)->GetData();
            QCOMPARE(pasted.Repeat, 0);
            QCOMPARE(pasted.StartDate, CDateTime(2026, 4, 1, 8, 0, 0));
            QCOMPARE(pasted.EndDate, CDateTime(2026, 4, 1, 9, 30, 0));
            QVERIFY(pasted.GUID != event->GetGUID());
        }
        QVERIFY(doc.GetDateEntry(1)->GetGUID() != doc.GetDateEntry(2)->GetGUID());
        // An event does not paste on the to-do page, nor a to-do on a calendar page.
        frame->SetPage(CMainFrame::TodoPage);
        QVERIFY(!frame->IsCommandEnabled(cmd::kPaste));
        QVERIFY(!edit.Paste());
        CTodoEntry* fence = AddTodo(doc, "Home", "fence");
        edit.SelectTodo(fence);
        QVERIFY(frame->RunCommand(cmd::kCut));
        QCOMPARE(doc.GetTodoCount(), 0);
        QVERIFY(QApplication::clipboard()->mimeData()->hasFormat(TodoMimeType()));
        frame->SetPage(CMainFrame::WeekPage);
        QVERIFY(!frame->IsCommandEnabled(cmd::kPaste));
        frame->SetPage(CMainFrame::TodoPage);
        QVERIFY(frame->RunCommand(cmd::kPaste));
        QCOMPARE(doc.GetTodoCount(), 1);
        QCOMPARE(doc.GetTodoEntry(0)->GetData().Description, std::string("fence"));
        // Cut of one occurrence of a repeating event drops just that one.
        frame->SetPage(CMainFrame::WeekPage);
        edit.SelectEntry(event, CDateTime(2026, 3, 16, 8, 0, 0));
        QVERIFY(frame->RunCommand(cmd::kCut));
        QVERIFY(event->IsDropped(CDateTime(2026, 3, 16, 8, 0, 0)));
        QCOMPARE(doc.GetDateEntryCount(), 3);
        // A block that is not an event is reported and adds nothing.
        auto* broken = new QMimeData;
        broken->setData(EventMimeType(), QByteArray("\\x01\\x02garbage"));
        QApplication::clipboard()->setMimeData(broken);
        QVERIFY(!frame->RunCommand(cmd::kPaste) || doc.GetDateEntryCount() == 3);
        QCOMPARE(doc.GetDateEntryCount(), 3);
        QCOMPARE(m_prompt.GetShown().back().icon, PromptIcon::Stop);
    }

    void clipboardBetweenTwoProcesses() {
        if (QGuiApplication::platformName() != QStringLiteral("xcb")) {
            QSKIP("the clipboard of two processes needs an X server (run under with-xvfb.sh)");
        }
        const QString done = m_folder->filePath(QStringLiteral("done"));
        // The other instance copies an event and keeps the clipboard until told to stop.
        QProcess other;
        other.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QByteArray said;
        other.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--clipboard-child"), QStringLiteral("copy"), done});
        QVERIFY(other.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT((said += other.readAllStandardOutput()).contains("copied"), 20000);
        auto app = Start();
        QVERIFY(app);
        CMainFrame* frame = app->Frame();
        CDayvaultDoc& doc = app->Document();
        doc.SetSelectedDate(CDateTime(2026, 6, 1), false);
        QTRY_VERIFY_WITH_TIMEOUT(frame->IsCommandEnabled(cmd::kPaste), 10000);
        QVERIFY(frame->RunCommand(cmd::kPaste));
        QCOMPARE(doc.GetDateEntryCount(), 1);
        QCOMPARE(doc.GetDateEntry(0)->GetData().Description, std::string("from the other one"));
        QCOMPARE(doc.GetDateEntry(0)->GetData().StartDate, CDateTime(2026, 6, 1, 7, 15, 0));
        QFile(done).open(QIODevice::WriteOnly);
        QTRY_COMPARE_WITH_TIMEOUT(other.state(), QProcess::NotRunning, 20000);
        // And back: a to-do copied here is pasted there.
        frame->SetPage(CMainFrame::TodoPage);
        CTodoEntry* fence = AddTodo(doc, "Home", "fence");
        frame->EditCommands().SelectTodo(fence);
        QVERIFY(frame->RunCommand(cmd::kCopy));
        QProcess paster;
        paster.start(QCoreApplication::applicationFilePath(),
                     {QStringLiteral("--clipboard-child"), QStringLiteral("paste"), done});
        QTRY_COMPARE_WITH_TIMEOUT(paster.state(), QProcess::NotRunning, 20000);
        QCOMPARE(paster.readAllStandardOutput().trimmed(), QByteArray("pasted fence"));
    }

    void pagesAndTheReminderWindowOpenTheEditors() {
        auto app = Start();
        QVERIFY(app);
        CMainFrame* frame = app->Frame();
        CDayvaultDoc& doc = app->Document();
        CDateEntry* event = AddEvent(doc, CDateTime(2026, 3, 16, 9, 0, 0), "meeting");
        doc.SetSelectedDate(CDateTime(2026, 3, 16), false);
        frame->SetPage(CMainFrame::MonthPage);
        frame->resize(1000, 800);
        frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(frame));
        auto* page = qobject_cast<CCalendarPage*>(frame->PageSheet()->currentWidget());
        QVERIFY(page);
        CDayList* cell = page->CellOf(CDateTime(2026, 3, 16));
        const QPoint onEntry(20, cell->CaptionHeight() + cell->LineHeight() / 2);
        QString title;
        OnModal<CDateEditSheet>([&](CDateEditSheet* sheet) {
            title = sheet->windowTitle() + sheet->Page1()->description->text();
            sheet->reject();
        });
        // A double-click starts with a click, which picks the entry.
        QTest::mouseClick(cell, Qt::LeftButton, {}, onEntry);
        QTest::mouseDClick(cell, Qt::LeftButton, {}, onEntry);
        QCOMPARE(title, QStringLiteral("Edit Eventmeeting"));
        QCOMPARE(frame->EditCommands().SelectedEvent(), event);
        // Below the entries: a new event on that day.
        QDate shownDate;
        OnModal<CDateEditSheet>([&](CDateEditSheet* sheet) {
            title = sheet->windowTitle();
            shownDate = sheet->Page1()->startDate->date();
            Type(sheet->Page1()->description, "review");
            Press(sheet, QDialogButtonBox::Ok);
        });
        CDayList* other = page->CellOf(CDateTime(2026, 3, 18));
        QTest::mouseClick(other, Qt::LeftButton, {}, QPoint(20, other->height() - 4));
        QTest::mouseDClick(other, Qt::LeftButton, {}, QPoint(20, other->height() - 4));
        QCOMPARE(title, QStringLiteral("Enter New Event"));
        QCOMPARE(shownDate, QDate(2026, 3, 18));
        QCOMPARE(doc.GetDateEntryCount(), 2);
        // The reminder window's Edit asks the frame, which opens the same editor.
        bool suspended = false;
        OnModal<CDateEditSheet>([&](CDateEditSheet* sheet) {
            title = sheet->Page1()->description->text();
            suspended = event->IsSuspended();
            sheet->reject();
        });
        frame->EditEvent(event);
        QTRY_COMPARE(title, QStringLiteral("meeting"));
        QVERIFY(suspended);
        QVERIFY(!event->IsSuspended());
    }

    void categoryCommandReplacesTheTemplatesOnOk() {
        auto app = Start();
        QVERIFY(app);
        CMainFrame* frame = app->Frame();
        CDayvaultDoc& doc = app->Document();
        // Cancel: nothing changes, not even the default template's text.
        OnModal<CDateEditSheet>([](CDateEditSheet* sheet) {
            Type(sheet->Page1()->description, "changed");
            sheet->reject();
        });
        QVERIFY(frame->RunCommand(cmd::kCategories));
        QCOMPARE(doc.GetTemplateCount(), 1);
        QCOMPARE(doc.GetTemplate(0)->GetData().Description, std::string());
        // OK: a new category named in the input dialog, with its own description.
        QString title;
        OnModal<CDateEditSheet>([&](CDateEditSheet* sheet) {
            title = sheet->windowTitle();
            OnModal<QInputDialog>([](QInputDialog* input) {
                input->setTextValue(QStringLiteral("Sports"));
                input->accept();
            });
            QTest::mouseClick(sheet->Page1()->newCategory, Qt::LeftButton);
            Type(sheet->Page1()->description, "training");
            Press(sheet, QDialogButtonBox::Ok);
        });
        QVERIFY(frame->RunCommand(cmd::kCategories));
        QCOMPARE(title, QStringLiteral("Edit Category"));
        QCOMPARE(doc.GetTemplateCount(), 2);
        QCOMPARE(doc.GetTemplate(1)->GetData().Category, std::string("Sports"));
        QCOMPARE(doc.GetTemplate(1)->GetData().Description, std::string("training"));
    }

    void mergeAndRecentFilesFromTheMenu() {
        auto app = Start();
        QVERIFY(app);
        CMainFrame* frame = app->Frame();
        CDayvaultDoc& doc = app->Document();
        const fs::path root(m_folder->path().toStdString());
        doc.AddDateEntry(std::make_unique<CDateEntry>(CDateTime(2026, 3, 2, 8, 0, 0)),
                         kEditInteractive);
        // Merge: a second file's new event comes in, the known one does not come twice.
        {
            CDayvaultDoc other;
            other.AddDateEntry(std::make_unique<CDateEntry>(*doc.GetDateEntry(0)),
                               kEditInteractive);
            other.AddDateEntry(std::make_unique<CDateEntry>(CDateTime(2026, 5, 1, 8, 0, 0)),
                               kEditInteractive);
            QVERIFY(other.SaveAs(root / "other.dat"));
        }
        m_dialogs.next = root / "other.dat";
        QVERIFY(frame->RunCommand(cmd::kMerge));
        QCOMPARE(doc.GetDateEntryCount(), 2);
        // A damaged file is named in the message and changes nothing.
        std::ofstream(root / "broken.dat") << "not an event file";
        m_dialogs.next = root / "broken.dat";
        QVERIFY(frame->RunCommand(cmd::kMerge));
        QCOMPARE(doc.GetDateEntryCount(), 2);
        QVERIFY(QString::fromStdString(LastMessage()).contains(QStringLiteral("broken.dat")));
        // Save As puts the file first in the recent list, whose entry opens it again.
        m_dialogs.next = root / "saved.dat";
        QVERIFY(frame->RunCommand(cmd::kFileSaveAs));
        QVERIFY(frame->RunCommand(cmd::kFileNew));
        QCOMPARE(doc.GetDateEntryCount(), 0);
        QAction* recent = nullptr;
        for (QAction* action : frame->findChildren<QAction*>()) {
            if (action->isVisible() && action->text() == QStringLiteral("&1 saved.dat")) {
                recent = action;
            }
        }
        QVERIFY(recent);
        recent->trigger();
        QCOMPARE(doc.GetDateEntryCount(), 2);
        QCOMPARE(doc.GetPathName(), root / "saved.dat");
    }
};

} // namespace dv

#define main TempHomeMain
DAYVAULT_QTEST_MAIN_IN_TEMP_HOME(dv::EditingTest)
#undef main

namespace {

// The other instance of the clipboard test: "copy" puts an event on the clipboard and serves it
// until the file `done` exists; "paste" pastes on the to-do page and prints what came.
int ClipboardChild(const QString& mode, const QString& done) {
    QTemporaryDir folder;
    dv::CQueuedPrompt prompt(true);
    dv::test::QueuedFileDialogs dialogs;
    dv::CDayvaultApp app(dv::test::TestEnvironment(folder.path().toStdString(), "clipboard"),
                         &prompt, &dialogs);
    if (!app.Start()) {
        return 3;
    }
    dv::CMainFrame* frame = app.Frame();
    dv::CDayvaultDoc& doc = app.Document();
    QTextStream out(stdout);
    if (mode == QStringLiteral("copy")) {
        frame->SetPage(dv::CMainFrame::WeekPage);
        dv::CDateEntry* copied =
            dv::AddEvent(doc, dv::CDateTime(2026, 3, 2, 7, 15, 0), "from the other one");
        frame->EditCommands().SelectEntry(copied, copied->GetFirstStart());
        if (!frame->RunCommand(dv::cmd::kCopy)) {
            return 4;
        }
        out << "copied" << Qt::endl;
        QElapsedTimer waited;
        waited.start();
        while (!QFile::exists(done) && waited.elapsed() < 30000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        }
        return 0;
    }
    frame->SetPage(dv::CMainFrame::TodoPage);
    QElapsedTimer waited;
    waited.start();
    while (!frame->IsCommandEnabled(dv::cmd::kPaste) && waited.elapsed() < 10000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    frame->RunCommand(dv::cmd::kPaste);
    out << "pasted "
        << (doc.GetTodoCount() == 1
                ? QString::fromStdString(doc.GetTodoEntry(0)->GetData().Description)
                : QStringLiteral("nothing"))
        << Qt::endl;
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc == 4 && QByteArray(argv[1]) == "--clipboard-child") {
        QTemporaryDir home;
        qputenv("HOME", home.path().toUtf8());
        qputenv("XDG_CONFIG_HOME", home.path().toUtf8() + "/config");
        qputenv("XDG_RUNTIME_DIR", home.path().toUtf8() + "/runtime");
        QDir().mkpath(home.path() + "/runtime");
        QFile::setPermissions(home.path() + "/runtime",
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QApplication application(argc, argv);
        QApplication::setQuitOnLastWindowClosed(false);
        return ClipboardChild(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    }
    return TempHomeMain(argc, argv);
}
#include "EditingTest.moc"
