// The week, fortnight and month pages and their day lists, driven with the mouse, the keys and
// the wheel, and fed by a real document.
#include "app/CCalendarPage.h"
#include "app/CDayList.h"
#include "app/CYearPage.h"
#include "app/CommandTable.h"
#include "app/Tooltips.h"
#include "core/TimeUnits.h"
#include "document/CDayvaultDoc.h"
#include "holidays/CHolidayModuleSet.h"
#include "holidays/CHolidaySettings.h"
#include "holidays/HolidaySource.h"
#include "settings/CSettings.h"

#include <QTemporaryDir>
#include <QTest>
#include <QToolTip>
#include <memory>
#include <random>

namespace dv {

namespace {

CDateTime At(int y, int m, int d, int h = 0, int min = 0) {
    return CDateTime(y, m, d, h, min, 0);
}

// A timed event from `start` lasting `minutes`.
std::unique_ptr<CDateEntry> Event(const std::string& text, const CDateTime& start, int minutes,
                                  int display = 0) {
    auto event = std::make_unique<CDateEntry>(At(2000, 1, 1));
    DateData data = event->GetData();
    data.Description = text;
    data.StartDate = start;
    data.EndDate = start + CDateTimeSpan(int64_t{minutes} * 60);
    data.Display = display;
    event->AssignData(data);
    return event;
}

std::vector<std::string> Texts(const CDayList* cell) {
    std::vector<std::string> texts;
    for (const DayEntry& entry : cell->Entries()) {
        texts.push_back(entry.event->GetData().Description);
    }
    return texts;
}

} // namespace

class CalendarPageTest : public QObject {
    Q_OBJECT

    std::unique_ptr<CDayvaultDoc> m_doc;
    CSettings m_settings;
    CHolidayModuleSet m_holidays;
    CHolidaySettings m_holidaySettings;
    QTemporaryDir m_folder;
    bool m_showHidden = false;
    std::vector<uint32_t> m_commands;
    std::vector<CDateTime> m_picked;
    CDateEntry* m_selectedEvent = nullptr;

    CalendarHost Host() {
        CalendarHost host;
        host.doc = m_doc.get();
        host.settings = &m_settings;
        host.holidays = &m_holidays;
        host.holidaySettings = &m_holidaySettings;
        host.showHidden = [this] { return m_showHidden; };
        host.runCommand = [this](uint32_t id) {
            m_commands.push_back(id);
            return true;
        };
        host.selectDate = [this](const CDateTime& date) {
            m_picked.push_back(date);
            m_doc->SetSelectedDate(date, true);
        };
        host.selectEntry = [this](CDateEntry* event, const CDateTime&) { m_selectedEvent = event; };
        return host;
    }

    CDateEntry* Add(std::unique_ptr<CDateEntry> event) {
        CDateEntry* raw = event.get();
        m_doc->AddDateEntry(std::move(event), kEditSendHint);
        return raw;
    }

private slots:
    void init() {
        m_doc = std::make_unique<CDayvaultDoc>();
        m_settings = CSettings();
        m_holidays.UnloadAll();
        m_holidaySettings = CHolidaySettings();
        m_showHidden = false;
        m_commands.clear();
        m_picked.clear();
        m_selectedEvent = nullptr;
        m_doc->SetSelectedDate(At(2007, 3, 15), false);
    }

    void monthPageMovesAndColoursItsDays() {
        m_settings.DisableExtraDays = true;
        m_doc->CheckDates(At(2007, 3, 20, 12), false, 0);
        CMonthPage page(Host());
        page.resize(700, 560);
        QCOMPARE(page.Cell(0)->GetCaption().date, At(2007, 2, 26));
        QCOMPARE(page.Labels().front(), QStringLiteral("Monday"));
        QVERIFY(!page.Cell(0)->isEnabled());
        QVERIFY(page.CellOf(At(2007, 3, 1))->isEnabled());
        QVERIFY(page.CellOf(At(2007, 3, 1))->GetCaption().font.bold());
        QVERIFY(!page.CellOf(At(2007, 3, 2))->GetCaption().font.bold());

        const auto colourOf = [&](const CDateTime& day) {
            return page.CellOf(day)->GetCaption().color;
        };
        QCOMPARE(colourOf(At(2007, 3, 15)), FromColorRef(m_settings.SelectedColor));
        QCOMPARE(colourOf(At(2007, 3, 20)), FromColorRef(m_settings.TodayColor));
        QCOMPARE(colourOf(At(2007, 3, 17)), FromColorRef(m_settings.SaturdayColor));
        // Within the month only the two captions change colour.
        m_doc->SetSelectedDate(At(2007, 3, 16), true);
        QCOMPARE(colourOf(At(2007, 3, 15)), FromColorRef(m_settings.NormalColor));
        QCOMPARE(colourOf(At(2007, 3, 16)), FromColorRef(m_settings.SelectedColor));
        // Today keeps its colour when it is selected, and when a new day begins it passes on.
        m_doc->SetSelectedDate(At(2007, 3, 20), true);
        QCOMPARE(colourOf(At(2007, 3, 20)), FromColorRef(m_settings.TodayColor));
        m_doc->CheckDates(At(2007, 3, 21, 0, 1), false, 0);
        QCOMPARE(colourOf(At(2007, 3, 20)), FromColorRef(m_settings.SelectedColor));
        QCOMPARE(colourOf(At(2007, 3, 21)), FromColorRef(m_settings.TodayColor));

        // A leading day of the grid belongs to the month before when extra days are off.
        m_doc->SetSelectedDate(At(2007, 2, 27), true);
        QCOMPARE(page.Range().first, At(2007, 1, 29));
        QCOMPARE(page.CellOf(At(2007, 2, 27))->GetCaption().color,
                 FromColorRef(m_settings.SelectedColor));
        // With weeks from Sunday the labels start with Sunday (applied with the options).
        m_settings.WeekStart = 0;
        m_doc->UpdateAllViews(UpdateHint::OptionsChanged);
        QCOMPARE(page.Labels().front(), QStringLiteral("Sunday"));
        m_doc->UpdateAllViews(UpdateHint::Merged);
        QCOMPARE(page.Range().first, At(2007, 1, 28));

        // The fortnight page shows the same fourteen days for every day of its fortnight.
        m_settings.WeekStart = 1;
        m_doc->SetSelectedDate(At(2007, 1, 1), false);
        CTwoWeekPage fortnight(Host());
        m_doc->SetSelectedDate(At(2007, 1, 14), true);
        QCOMPARE(fortnight.Range().first, At(2007, 1, 1));
        m_doc->SetSelectedDate(At(2007, 1, 15), true);
        QCOMPARE(fortnight.Range().first, At(2007, 1, 15));
    }

    void entriesFollowEveryChangeInEntryOrder() {
        CWeekPage page(Host());
        // Two events at 09:00: the longer one first; a three-day event in three cells.
        Add(Event("short", At(2007, 3, 13, 9), 60));
        Add(Event("long", At(2007, 3, 13, 9), 120));
        CDateEntry* trip = Add(Event("trip", At(2007, 3, 14, 18), 2 * 24 * 60));
        QCOMPARE(Texts(page.CellOf(At(2007, 3, 13))), (std::vector<std::string>{"long", "short"}));
        for (int day : {14, 15, 16}) {
            QCOMPARE(Texts(page.CellOf(At(2007, 3, day))), std::vector<std::string>{"trip"});
        }
        QVERIFY(page.CellOf(At(2007, 3, 14))->EntryText(0) !=
                page.CellOf(At(2007, 3, 15))->EntryText(0));
        QVERIFY(page.CellOf(At(2007, 3, 17))->Entries().empty());

        // Random adds, changes and deletes, each applied by its hint alone, leave the page as a
        // page built afresh would show it.
        std::mt19937 random(11);
        std::vector<CDateEntry*> events{trip};
        for (int step = 0; step < 60; ++step) {
            const int kind = static_cast<int>(random() % 3);
            const CDateTime start =
                At(2007, 3, 11 + static_cast<int>(random() % 8), static_cast<int>(random() % 24));
            const int minutes = static_cast<int>(random() % 3000);
            if (kind == 0 || events.size() < 3) {
                events.push_back(Add(Event("e" + std::to_string(random() % 5), start, minutes)));
            } else if (kind == 1) {
                CDateEntry* event = events[random() % events.size()];
                DateData data = event->GetData();
                data.StartDate = start;
                data.EndDate = start + CDateTimeSpan(int64_t{minutes} * 60);
                data.Description = "c" + std::to_string(random() % 5);
                m_doc->ChangeDateEntry(event, data, kEditSendHint);
            } else {
                const size_t index = random() % events.size();
                m_doc->DeleteDateEntry(events[index], kEditSendHint);
                events.erase(events.begin() + static_cast<long>(index));
            }
        }
        CWeekPage fresh(Host());
        for (int i = 0; i < 7; ++i) {
            const auto& kept = page.Cell(i)->Entries();
            const auto& built = fresh.Cell(i)->Entries();
            QCOMPARE(kept.size(), built.size());
            for (size_t j = 0; j < kept.size(); ++j) {
                QCOMPARE(kept[j].event, built[j].event);
                // Texts formatted when shown equal those the listing formats at once.
                QCOMPARE(page.Cell(i)->EntryText(j), fresh.Cell(i)->EntryText(j));
            }
        }
    }

    void hiddenEventsAndTooltips() {
        CWeekPage page(Host());
        m_doc->CheckDates(At(2007, 3, 14, 12), false, 0);
        Add(Event("secret", At(2007, 3, 15, 8), 30, 1));
        auto warned = Event("open", At(2007, 3, 15, 10), 30);
        DateData data = warned->GetData();
        data.Forewarn = 1;
        data.ForewarnSpan = 2;
        data.ForewarnUnit = kUnitHours;
        warned->AssignData(data);
        Add(std::move(warned));
        CDayList* cell = page.CellOf(At(2007, 3, 15));
        QCOMPARE(Texts(cell), std::vector<std::string>{"open"});
        m_showHidden = true;
        m_doc->UpdateAllViews(UpdateHint::Merged);
        QCOMPARE(Texts(cell), (std::vector<std::string>{"secret", "open"}));

        const QString tips = cell->tooltipText(false);
        QCOMPARE(tips.count(QStringLiteral("\n\n")), 1);
        QVERIFY(tips.indexOf(QStringLiteral("secret")) < tips.indexOf(QStringLiteral("open")));
        // The reminder still to come, two hours before the start.
        QVERIFY(tips.endsWith(
            QStringLiteral("\nNext Reminder: ") +
            QString::fromStdString(At(2007, 3, 15, 8).Format(m_settings.DateTimeFormat))));
        QCOMPARE(cell->tooltipText(true),
                 QString::fromStdString(At(2007, 3, 15).Format(m_settings.DateFormat)));
        m_settings.ShowEventTooltips = false;
        m_settings.ShowHeaderTooltips = false;
        QVERIFY(cell->tooltipText(false).isEmpty());
        QVERIFY(cell->tooltipText(true).isEmpty());
    }

    void busyDayTooltipsStopAtAScreenful() {
        // 400 entries on one day, one of them with 300 lines of notes.
        for (int i = 0; i < 400; ++i) {
            auto event = Event("busy " + std::to_string(i), At(2007, 3, 15, 8), 30);
            if (i == 0) {
                DateData data = event->GetData();
                data.Notes = std::string(300, '\n');
                event->AssignData(data);
            }
            Add(std::move(event));
        }
        m_doc->SetSelectedDate(At(2007, 3, 15), false);
        CMonthPage month(Host());
        CYearPage year(Host());
        const int budget = ScreenTipLines();
        const QString more = QStringLiteral("… and ");
        for (const QString& tip : {month.CellOf(At(2007, 3, 15))->tooltipText(false),
                                   year.Panel()->tooltipText(At(2007, 3, 15)),
                                   year.DayList()->tooltipText(false)}) {
            QVERIFY(tip.count(QLatin1Char('\n')) + 1 <= budget);
            // Every entry is shown or counted.
            const qsizetype at = tip.lastIndexOf(more);
            QVERIFY(at > 0);
            const int counted = tip.mid(at + more.size()).section(QLatin1Char(' '), 0, 0).toInt();
            QCOMPARE(tip.count(QStringLiteral("busy ")) + counted, 400);
        }
        // A quiet day keeps its whole tip.
        Add(Event("alone", At(2007, 3, 16, 8), 30));
        QVERIFY(!year.Panel()->tooltipText(At(2007, 3, 16)).contains(more));
    }

    void yearPageCountsABatchOfChangesOnce() {
        std::vector<CDateEntry*> events;
        for (int i = 0; i < 60; ++i) {
            events.push_back(Add(Event("moved " + std::to_string(i), At(2007, 3, 10, 8), 30)));
        }
        m_doc->SetSelectedDate(At(2007, 3, 10), false);
        CYearPage page(Host());
        page.resize(900, 600);
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        QApplication::processEvents();
        const int before = page.Rebuilds();
        // One turn of the event loop: each event moves a day on, and one is deleted.
        for (CDateEntry* event : events) {
            DateData data = event->GetData();
            data.StartDate += CDateTimeSpan(1, 0, 0, 0);
            data.EndDate += CDateTimeSpan(1, 0, 0, 0);
            m_doc->ChangeDateEntry(event, data, kEditSendHint);
        }
        m_doc->DeleteDateEntry(events.back(), kEditSendHint);
        for (const DayEntry& entry : page.DayList()->Entries()) {
            QVERIFY(entry.event != events.back()); // nothing freed stays listed meanwhile
        }
        QApplication::processEvents();
        QCOMPARE(page.Rebuilds() - before, 2);
        QCOMPARE(page.Panel()->CellCounts()[2][9], 0);
        QCOMPARE(page.Panel()->CellCounts()[2][10], 59);
    }

    void holidaysNameAndColourTheirDays() {
        const std::filesystem::path base = m_folder.path().toStdString();
        std::filesystem::create_directories(base / "holidays");
        CompileHolidaySource("language 0x0407\n"
                             "holiday A \"First\" = 15 March\n"
                             "holiday B \"Second\" = 15 March\n"
                             "holiday C \"Third\" = 15 March\n"
                             "holiday OFF \"Switched off\" = 14 March\n",
                             "Test.txt")
            .WriteModuleFile(base / "holidays/Test.hol");
        m_holidays.SetBaseFolder(base);
        m_holidays.LoadModule("Test");
        m_holidaySettings.SetActive("Test", "OFF", false);
        m_settings.HolidayShowLanguage = true;
        m_doc->SetSelectedDate(At(2007, 3, 12), false);
        CWeekPage page(Host());
        page.resize(600, 500);
        CDayList* holiday = page.CellOf(At(2007, 3, 15));
        QCOMPARE(holiday->GetCaption().holidays,
                 (QStringList{"First (DEU)", "Second (DEU)", "Third (DEU)"}));
        QCOMPARE(holiday->GetCaption().color, FromColorRef(m_settings.HolidayColor));
        QVERIFY(page.CellOf(At(2007, 3, 14))->GetCaption().holidays.isEmpty());
        QCOMPARE(page.CellOf(At(2007, 3, 14))->GetCaption().color,
                 FromColorRef(m_settings.NormalColor));
        // Below the date the band grows by the three holiday lines.
        const int beside = holiday->CaptionHeight();
        m_settings.HolidayDisplayBelowDate = true;
        m_doc->UpdateAllViews(UpdateHint::OptionsChanged);
        const int line = QFontMetrics(holiday->GetCaption().holidayFont).height();
        QCOMPARE(holiday->CaptionHeight(),
                 QFontMetrics(holiday->GetCaption().font).height() + 3 * line + 4);
        QVERIFY(holiday->CaptionHeight() > beside);
    }

    void oneSelectionPerPage() {
        CMonthPage page(Host());
        page.resize(900, 700);
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        Add(Event("first", At(2007, 3, 16, 9), 60));
        CDateEntry* second = Add(Event("second", At(2007, 3, 20, 9), 60));
        CDayList* a = page.CellOf(At(2007, 3, 16));
        CDayList* b = page.CellOf(At(2007, 3, 20));
        const QPoint firstLine(20, a->CaptionHeight() + a->LineHeight() / 2);
        QTest::mouseClick(a, Qt::LeftButton, {}, firstLine);
        QCOMPARE(a->SelectedIndex(), 0);
        // Another day's entry takes the highlight; cut, it leaves none behind.
        QTest::mouseClick(b, Qt::LeftButton, {}, firstLine);
        QCOMPARE(a->SelectedIndex(), -1);
        QCOMPARE(b->SelectedIndex(), 0);
        m_doc->DeleteDateEntry(second, kEditInteractive);
        for (int i = 0; i < page.CellCountShown(); ++i) {
            QCOMPARE(page.Cell(i)->SelectedIndex(), -1);
        }
        // A click on a day's caption takes it too.
        QTest::mouseClick(a, Qt::LeftButton, {}, firstLine);
        QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(20, 2));
        QCOMPARE(a->SelectedIndex(), -1);
    }

    void mouseKeysAndWheelReachTheCommands() {
        CMonthPage page(Host());
        page.resize(900, 700);
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        CDateEntry* meeting = Add(Event("meeting", At(2007, 3, 16, 9), 60));
        Add(Event("lunch", At(2007, 3, 16, 12), 60));
        CDayList* cell = page.CellOf(At(2007, 3, 16));
        const int top = cell->CaptionHeight();
        const int line = cell->LineHeight();

        // A click on an entry picks the day and the entry; one below the entries picks none.
        QTest::mouseClick(cell, Qt::LeftButton, {}, QPoint(20, top + line / 2));
        QCOMPARE(m_picked.back(), At(2007, 3, 16));
        QCOMPARE(m_selectedEvent, meeting);
        QCOMPARE(cell->SelectedIndex(), 0);
        // Screen readers hear the day and the chosen entry.
        QVERIFY(cell->accessibleName().startsWith(cell->GetCaption().text));
        QVERIFY(cell->accessibleName().endsWith(QString::fromStdString(cell->EntryText(0))));
        QTest::mouseDClick(cell, Qt::LeftButton, {}, QPoint(20, top + line / 2));
        QCOMPARE(m_commands.back(), cmd::kEditEntry);
        QTest::mouseClick(cell, Qt::LeftButton, {}, QPoint(20, top + 2 * line + 2));
        QCOMPARE(m_selectedEvent, nullptr);
        QCOMPARE(cell->SelectedIndex(), -1);
        QTest::mouseDClick(cell, Qt::LeftButton, {}, QPoint(20, top + 2 * line + 2));
        QCOMPARE(m_commands.back(), cmd::kNewEntry);
        QTest::mouseDClick(cell, Qt::LeftButton, {}, QPoint(20, top / 2));
        QCOMPARE(m_commands.back(), cmd::kNewEntry);

        // Keys: Down and Up walk the entries, Enter edits, Ctrl+arrows and paging go to the frame.
        cell->setFocus();
        QTest::keyClick(cell, Qt::Key_Down);
        QTest::keyClick(cell, Qt::Key_Down);
        QCOMPARE(cell->SelectedIndex(), 1);
        QTest::keyClick(cell, Qt::Key_Up);
        QCOMPARE(m_selectedEvent, meeting);
        m_commands.clear();
        QTest::keyClick(cell, Qt::Key_Return);
        QTest::keyClick(cell, Qt::Key_Right, Qt::ControlModifier);
        QTest::keyClick(cell, Qt::Key_Up, Qt::ControlModifier);
        QTest::keyClick(cell, Qt::Key_PageDown);
        QTest::keyClick(cell, Qt::Key_Home);
        m_settings.NavigationPgUpPgDown = false;
        QTest::keyClick(cell, Qt::Key_PageUp);
        QCOMPARE(m_commands,
                 (std::vector<uint32_t>{cmd::kEditEntry, cmd::kNextDay, cmd::kPreviousWeek,
                                        cmd::kNextPage, cmd::kCurrentDate}));

        // The wheel pages after a whole notch; without paging it scrolls a long list.
        m_commands.clear();
        const QPoint inside(20, top + 4);
        const auto wheel = [&](int delta) {
            QWheelEvent event(inside, cell->mapToGlobal(inside), {}, QPoint(0, delta), Qt::NoButton,
                              {}, Qt::NoScrollPhase, false);
            QApplication::sendEvent(cell, &event);
        };
        wheel(60);
        QVERIFY(m_commands.empty());
        wheel(60);
        wheel(-120);
        QCOMPARE(m_commands, (std::vector<uint32_t>{cmd::kPreviousPage, cmd::kNextPage}));
        m_settings.NavigationMousewheel = false;
        m_doc->UpdateAllViews(UpdateHint::OptionsChanged);
        for (int i = 0; i < 30; ++i) {
            Add(Event("more " + std::to_string(i), At(2007, 3, 16, 13), i));
        }
        QCOMPARE(cell->FirstVisibleLine(), 0);
        wheel(-120);
        QCOMPARE(cell->FirstVisibleLine(), QApplication::wheelScrollLines());
        QCOMPARE(m_commands.size(), size_t{2});
    }

    void longLinesEndInAnEllipsis() {
        // The cut from the font's advances against the text engine's measure: never wider than
        // the room, whole when it fits, otherwise a prefix and an ellipsis; other text goes
        // through the engine.
        std::mt19937 random(5);
        const QFont font;
        const QFontMetrics metrics(font);
        for (int i = 0; i < 300; ++i) {
            std::string text;
            const int length = static_cast<int>(random() % 60);
            for (int c = 0; c < length; ++c) {
                text += static_cast<char>(32 + random() % 95);
            }
            if (i % 10 == 0) {
                text += "\xc3\xa4 Mari\xc3\xa4";
            }
            const int width = 20 + static_cast<int>(random() % 300);
            const QString line = CDayList::ElidedLine(font, text, width);
            const QString whole = QString::fromStdString(text);
            QVERIFY2(metrics.horizontalAdvance(line) <= width + 1, qPrintable(line));
            if (line != whole) {
                QVERIFY(line.endsWith(QChar(0x2026)));
                QVERIFY(whole.startsWith(line.chopped(1)));
                QVERIFY(metrics.horizontalAdvance(whole) > width - 4);
            }
        }
    }

    void yearGridColoursCountsAndRedraws() {
        m_settings.YearViewSundays = true;
        m_settings.YearViewSaturdays = true;
        m_settings.YearViewHolidays = true;
        m_settings.SundayColor = 0x000001;
        m_settings.SaturdayColor = 0x000002;
        m_settings.HolidayColor = 0x000003;
        m_settings.TodayColor = 0x000004;
        const std::filesystem::path base = m_folder.path().toStdString();
        std::filesystem::create_directories(base / "holidays");
        CompileHolidaySource("language 0x0407\n"
                             "holiday ON \"On\" = 21 January\n"
                             "holiday OFF \"Off\" = 28 January\n",
                             "Year.txt")
            .WriteModuleFile(base / "holidays/Year.hol");
        m_holidays.SetBaseFolder(base);
        m_holidays.LoadModule("Year");
        m_holidaySettings.SetActive("Year", "OFF", false);
        m_doc->CheckDates(At(2007, 1, 14, 9), false, 0);
        m_doc->SetSelectedDate(At(2007, 1, 10), false);
        // Two daily series give two dots' worth a day; a trip over the new year marks its days
        // in both years; a hidden event marks nothing until hidden events are shown.
        for (int hour : {8, 17}) {
            auto daily = Event("daily", At(2007, 1, 1, hour), 30);
            DateData data = daily->GetData();
            data.Repeat = 1;
            data.RepeatRate = 1;
            data.RepeatUnit = 2;
            daily->AssignData(data);
            Add(std::move(daily));
        }
        Add(Event("trip", At(2006, 12, 30, 10), 2 * 24 * 60));
        Add(Event("secret", At(2007, 3, 3, 10), 60, 1));

        CYearPage page(Host());
        page.resize(900, 600);
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        CYearPanel* panel = page.Panel();
        const auto colour = [&](int m, int d) { return panel->CellColors()[m - 1][d - 1]; };
        const auto count = [&](int m, int d) { return panel->CellCounts()[m - 1][d - 1]; };
        QCOMPARE(colour(1, 6), 0x000002u);
        QCOMPARE(colour(1, 7), 0x000001u);
        QCOMPARE(colour(1, 14), 0x000004u); // today, a Sunday
        QCOMPARE(colour(1, 21), 0x000003u); // a holiday on a Sunday
        QCOMPARE(colour(1, 28), 0x000001u); // its only holiday is switched off
        QCOMPARE(colour(1, 10), static_cast<uint32_t>(kColorWindow));
        QCOMPARE(colour(2, 29), static_cast<uint32_t>(kColorButtonFace));
        QCOMPARE(colour(4, 31), static_cast<uint32_t>(kColorButtonFace));
        QCOMPARE(count(1, 1), 3);
        QCOMPARE(count(1, 2), 2);
        QCOMPARE(count(3, 3), 2);
        m_showHidden = true;
        m_doc->UpdateAllViews(UpdateHint::Merged);
        QCOMPARE(count(3, 3), 3);
        QVERIFY(panel->tooltipText(At(2007, 3, 3)).contains(QStringLiteral("secret")));
        QCOMPARE(panel->tooltipText(At(2007, 3, 3)).count(QStringLiteral("\n\n")), 2);
        // Shown over its cell; a long line is wrapped at 400 pixels.
        Add(Event(std::string(120, 'w'), At(2007, 3, 3, 7), 30));
        const QPoint over = panel->CellRect(At(2007, 3, 3)).center();
        QHelpEvent help(QEvent::ToolTip, over, panel->mapToGlobal(over));
        QApplication::sendEvent(panel, &help);
        QVERIFY(QToolTip::text().startsWith(QStringLiteral("<table width=\"400\">")));
        QVERIFY(QToolTip::text().contains(QStringLiteral("secret")));
        QToolTip::hideText();

        // Another day of the year redraws only its cell, the old one and their labels.
        QApplication::processEvents();
        QVERIFY(panel->PendingRedraw().isEmpty());
        QTest::mouseClick(panel, Qt::LeftButton, {}, panel->CellRect(At(2007, 5, 20)).center());
        QCOMPARE(m_doc->GetSelectedDate(), At(2007, 5, 20));
        const QRegion redrawn = panel->PendingRedraw();
        QVERIFY(redrawn.contains(panel->CellRect(At(2007, 5, 20)).center()));
        QVERIFY(redrawn.contains(panel->CellRect(At(2007, 1, 10)).center()));
        QVERIFY(!redrawn.contains(panel->CellRect(At(2007, 8, 5)).center()));
        QCOMPARE(page.DayList()->GetCaption().date, At(2007, 5, 20));
        QCOMPARE(page.DayList()->Entries().size(), size_t{2});
        // A cell past the month's end selects nothing; a double-click on a day asks for a new
        // event, one past the month's end does not.
        const QRect april30 = panel->CellRect(At(2007, 4, 30));
        QTest::mouseClick(panel, Qt::LeftButton, {}, april30.center() + QPoint(april30.width(), 0));
        QCOMPARE(m_doc->GetSelectedDate(), At(2007, 5, 20));
        m_commands.clear();
        QTest::mouseDClick(panel, Qt::LeftButton, {}, panel->CellRect(At(2007, 5, 20)).center());
        QCOMPARE(m_commands, std::vector<uint32_t>{cmd::kNewEntry});
        // Another year rebuilds everything.
        m_doc->SetSelectedDate(At(2006, 12, 31), true);
        QCOMPARE(count(12, 31), 1);
        QCOMPARE(count(1, 1), 0);
        QCOMPARE(colour(1, 14), 0x000002u); // a Saturday in 2006, and not today
    }
};

} // namespace dv

QTEST_MAIN(dv::CalendarPageTest)
#include "CalendarPageTest.moc"
