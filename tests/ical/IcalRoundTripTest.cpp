// Events and to-dos through export and import: every field comes back; what another program
// changed in the standard properties wins over the stale X-DAYVAULT values.

#include "core/Guid.h"
#include "core/RepetitionRule.h"
#include "document/TextBackup.h"
#include "ical/IcalTestSupport.h"
#include "ical/NameGuid.h"
#include "ical/UidStore.h"
#include "support/Random.h"

#include <regex>

namespace dv::test {
namespace {

using ical::EntryOutcome;

std::string RandomText(Random& random) {
    static const char* const kPieces[] = {"Meeting",
                                          "a,b;c",
                                          "line\nbreak",
                                          "back\\slash",
                                          "Grüße €",
                                          "tab\tcarriage\rreturn\x0bvt",
                                          "  spaces  ",
                                          "x:y",
                                          "",
                                          "long text that libical has to fold over several lines "
                                          "because it is longer than seventy-five octets"};
    return std::string(random.Pick(kPieces)) + random.Pick(kPieces);
}

CDateEntry RandomEvent(Random& random) {
    const CDateTime start = random.DateTime(CDateTime(2020, 1, 1), CDateTime(2030, 12, 31));
    CDateEntry event(start);
    DateData d = event.GetData();
    d.StorageType = random.Int(0, 1);
    d.Category = RandomText(random);
    d.Description = RandomText(random);
    d.Notes = RandomText(random);
    d.Display = random.Int(0, 3);
    d.DisplayColor = static_cast<uint32_t>(random.Int(0, 0xFFFFFF));
    d.FontColor = static_cast<uint32_t>(random.Int(0, 0xFFFFFF));
    d.StartDate = start;
    d.EndDate = start + CDateTimeSpan(random.Between(0, 5 * 86400));
    d.ShowStartTime = random.Int(0, 1);
    d.ShowEnd = random.Int(0, 1);
    d.Repeat = random.Int(0, 2);
    d.RepeatRate = random.Int(1, 5);
    d.RepeatUnit = random.Int(1, 5);
    d.RepeatWeekdayCount = random.Int(0, 5);
    d.RepeatWeekday = random.Int(0, 6);
    d.RepeatEnd = random.Int(0, 2);
    d.RepeatEndCount = random.Int(1, 30);
    d.RepeatEndDate = start + CDateTimeSpan(random.Between(0, 400 * 86400));
    d.CondWeekdays = random.Chance(50) ? 0x7F : random.Int(1, 0x7F);
    d.CondMonth = random.Chance(50) ? 0xFFF : random.Int(1, 0xFFF);
    d.Forewarn = random.Int(0, 1);
    d.ForewarnSpan = random.Int(0, 90);
    d.ForewarnUnit = random.Int(0, 3);
    d.ForewarnSilent = random.Int(0, 1);
    d.SnoozeSpan = random.Int(1, 60);
    d.SnoozeUnit = random.Int(0, 3);
    d.SnoozeType = random.Int(0, 1);
    d.OverdueAction = random.Int(0, 3);
    d.Action = random.Int(0, 2);
    d.Sound = random.Int(0, 1);
    d.SoundFile = RandomText(random);
    d.CmdLine = RandomText(random);
    d.Parameter = RandomText(random);
    d.AckExecute = random.Int(0, 1);
    event.AssignData(d);
    // Reminder state: some occurrences dropped, done and snoozed.
    for (const CDateTime& x : ModelStarts(event, start + CDateTimeSpan(int64_t{90} * 86400), 6)) {
        switch (random.Int(0, 3)) {
        case 0:
            event.DropOccurrence(x);
            break;
        case 1:
            event.SetDone(x, true);
            break;
        case 2:
            event.Snooze(x, x + CDateTimeSpan(600));
            break;
        default:
            break;
        }
    }
    return event;
}

CTodoEntry RandomTodo(Random& random) {
    CTodoEntry todo(random.DateTime(CDateTime(2020, 1, 1), CDateTime(2030, 12, 31)));
    TodoData d = todo.GetData();
    d.StorageType = random.Int(0, 1);
    d.Group = RandomText(random);
    d.Description = RandomText(random);
    d.Notes = RandomText(random);
    d.ShowDeadline = random.Int(0, 1);
    d.ShowDeadlineTime = random.Int(0, 1);
    d.Forewarn = random.Int(0, 1);
    d.ForewarnSpan = random.Int(0, 30);
    d.ForewarnUnit = random.Int(0, 3);
    d.Priority = random.Int(1, 10);
    d.AssociateDocumentFile = random.Int(0, 1);
    d.DocumentFile = RandomText(random);
    todo.SetData(d);
    todo.SetDone(random.Chance(30));
    return todo;
}

class IcalRoundTrip : public IcalTest {};

TEST_F(IcalRoundTrip, RandomEventsAndTodosComeBackWithEveryField) {
    Random random(2707);
    for (int round = 0; round < 150; ++round) {
        DocumentContents original;
        original.events.push_back(std::make_unique<CDateEntry>(RandomEvent(random)));
        original.todos.push_back(std::make_unique<CTodoEntry>(RandomTodo(random)));
        DocumentContents back;
        const auto report = Import(Export(original), back);
        ASSERT_EQ(report.Count(EntryOutcome::Kind::added), 2) << "round " << round;
        ASSERT_EQ(back.events.size(), 1u);
        // The text backup names every field that differs.
        ASSERT_EQ(WriteTextBackupBytes(original), WriteTextBackupBytes(back)) << "round " << round;
        const CDateEntry& a = *original.events[0];
        const CDateEntry& b = *back.events[0];
        EXPECT_EQ(a.GetData(), b.GetData()) << "round " << round;
        EXPECT_EQ(a.GetDroppedOccurrences(), b.GetDroppedOccurrences());
        EXPECT_EQ(a.GetDueOccurrences(), b.GetDueOccurrences());
        EXPECT_EQ(a.GetAcknowledgedOccurrences(), b.GetAcknowledgedOccurrences());
        EXPECT_EQ(a.GetSnoozedOccurrences(), b.GetSnoozedOccurrences());
        EXPECT_EQ(a.GetSnoozeTimes(), b.GetSnoozeTimes());
        EXPECT_EQ(original.todos[0]->GetData(), back.todos[0]->GetData());
        EXPECT_EQ(original.todos[0]->IsDone(), back.todos[0]->IsDone());
        // A second import of the same calendar finds everything unchanged.
        const auto again = Import(Export(original), back);
        EXPECT_EQ(again.Count(EntryOutcome::Kind::unchanged), 2) << "round " << round;
    }
}

TEST_F(IcalRoundTrip, StandardPropertiesChangedElsewhereWinOverStaleValues) {
    DocumentContents original;
    CDateEntry event(kNow);
    DateData d = event.GetData();
    d.Description = "Old";
    d.StartDate = CDateTime(2024, 5, 6, 10, 0, 0);
    d.EndDate = CDateTime(2024, 5, 6, 11, 0, 0);
    d.Repeat = kRepeatInterval;
    d.RepeatRate = 1;
    d.RepeatUnit = kRepeatWeeks;
    d.Sound = 1;
    d.SoundFile = "/sounds/bell.wav";
    event.AssignData(d);
    event.SetDone(d.StartDate, true);
    original.events.push_back(std::make_unique<CDateEntry>(event));
    std::string text = Export(original);
    text = std::regex_replace(text, std::regex("SUMMARY:Old"), "SUMMARY:New");
    text =
        std::regex_replace(text, std::regex("DTSTART:20240506T100000"), "DTSTART:20240507T090000");
    text = std::regex_replace(text, std::regex("DTEND:20240506T110000"), "DTEND:20240507T093000");
    DocumentContents back;
    Import(text, back);
    const DateData& got = back.events.at(0)->GetData();
    EXPECT_EQ(got.Description, "New");
    EXPECT_EQ(got.StartDate, CDateTime(2024, 5, 7, 9, 0, 0));
    EXPECT_EQ(got.EndDate, CDateTime(2024, 5, 7, 9, 30, 0));
    EXPECT_EQ(got.RepeatUnit, kRepeatWeeks);
    EXPECT_EQ(got.SoundFile, "/sounds/bell.wav"); // not a standard property: still travels
    EXPECT_TRUE(back.events[0]->GetAcknowledgedOccurrences().empty()); // times moved: state reset
}

TEST_F(IcalRoundTrip, IdentityKeepsGuidsAndGivesForeignUidsBack) {
    EXPECT_EQ(ical::GuidForUid("{0A1B2C3D-0000-4000-8000-00000000000F}"),
              "{0A1B2C3D-0000-4000-8000-00000000000F}");
    EXPECT_EQ(ical::GuidForUid("0a1b2c3d-0000-4000-8000-00000000000f"),
              "{0A1B2C3D-0000-4000-8000-00000000000F}");
    const std::string guid = ical::GuidForUid("abc@example.com");
    EXPECT_TRUE(IsGuidString(guid));
    EXPECT_EQ(guid[15], '5'); // version 5
    EXPECT_EQ(guid, ical::NameGuid("abc@example.com"));
    EXPECT_NE(guid, ical::NameGuid("abd@example.com"));
    const auto digest = ical::Sha1("abc"); // FIPS 180 example
    EXPECT_EQ(digest[0], 0xA9);
    EXPECT_EQ(digest[19], 0x9D);

    DocumentContents contents;
    ical::UidStore uids;
    const std::string text = Calendar(
        "BEGIN:VEVENT\nUID:abc@example.com\nDTSTART:20240510T100000\nSUMMARY:Lunch\nEND:VEVENT");
    ical::ImportCalendar(text, contents, uids, kNow);
    EXPECT_EQ(contents.events.at(0)->GetGUID(), guid);
    ical::ExportReport report;
    const std::string out = ical::ExportCalendar(contents, uids, kNow, report);
    EXPECT_NE(out.find("UID:abc@example.com"), std::string::npos);
    const auto second = ical::ImportCalendar(out, contents, uids, kNow);
    EXPECT_EQ(second.Count(EntryOutcome::Kind::unchanged), 1);
    EXPECT_EQ(contents.events.size(), 1u);
    EXPECT_EQ(ical::UidStore::FromText(uids.ToText()), uids);
    // Without UID the entry is known again by its DTSTART and SUMMARY.
    const std::string noUid =
        Calendar("BEGIN:VEVENT\nDTSTART:20240511T100000\nSUMMARY:Tea\nEND:VEVENT");
    EXPECT_EQ(ical::ImportCalendar(noUid, contents, uids, kNow).Count(EntryOutcome::Kind::added),
              1);
    EXPECT_EQ(
        ical::ImportCalendar(noUid, contents, uids, kNow).Count(EntryOutcome::Kind::unchanged), 1);
    EXPECT_THROW(ical::UidStore::FromText("DAYVAULT-UIDS 1\nno tab\n"), std::invalid_argument);
}

} // namespace
} // namespace dv::test
