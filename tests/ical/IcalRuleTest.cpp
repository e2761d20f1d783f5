// Repetition rules against libical's own RRULE iterator: the shapes the model holds exactly give
// the same occurrences both ways; the others are imported with a reason naming the loss.

#include "core/RepetitionRule.h"
#include "ical/IcalTestSupport.h"
#include "support/Random.h"

namespace dv::test {
namespace {

class IcalRules : public IcalTest {};

const CDateTime kUntil(2027, 12, 31, 23, 59, 59);

struct ExactRow {
    const char* start; // DTSTART line
    const char* rule;  // RRULE value, with extra lines after a newline
};

// Rows named by the shape they probe.
const ExactRow kExact[] = {
    {"DTSTART:20240105T093000", "FREQ=DAILY;INTERVAL=3"},
    {"DTSTART:20240105T093000", "FREQ=DAILY;BYDAY=MO,WE,FR"},
    {"DTSTART:20240105T093000", "FREQ=DAILY;BYMONTH=6,7,8"},
    {"DTSTART:20240105T093000", "FREQ=HOURLY;INTERVAL=7;BYDAY=SA,SU;COUNT=40"},
    {"DTSTART:20240101T080000", "FREQ=WEEKLY;BYDAY=TU,TH"},
    {"DTSTART:20240101T080000", "FREQ=WEEKLY;INTERVAL=2"},
    {"DTSTART:20240101T080000", "FREQ=WEEKLY;INTERVAL=3;BYDAY=FR"},
    {"DTSTART;VALUE=DATE:20240115", "FREQ=MONTHLY;BYMONTHDAY=15"},
    {"DTSTART;VALUE=DATE:20240101", "FREQ=MONTHLY;BYDAY=2TU"},
    {"DTSTART:20240101T180000", "FREQ=MONTHLY;BYDAY=-1FR;COUNT=12"},
    {"DTSTART:20240101T180000", "FREQ=MONTHLY;INTERVAL=3;BYDAY=1MO"},
    {"DTSTART:20240101T180000", "FREQ=MONTHLY;BYDAY=FR;BYSETPOS=-1"},
    {"DTSTART:20240101T180000", "FREQ=MONTHLY;BYDAY=MO,WE"},
    {"DTSTART;VALUE=DATE:20240131", "FREQ=MONTHLY;BYMONTHDAY=-1"},
    {"DTSTART;VALUE=DATE:20240130", "FREQ=MONTHLY;BYMONTHDAY=28,29,30;BYSETPOS=-1"},
    {"DTSTART;VALUE=DATE:20231123", "FREQ=YEARLY;BYMONTH=11;BYDAY=4TH"},
    {"DTSTART;VALUE=DATE:20240317", "FREQ=YEARLY"},
    {"DTSTART:20240105T093000", "FREQ=DAILY;COUNT=10\nEXDATE:20240107T093000,20240109T093000"},
    {"DTSTART:20240105T093000", "FREQ=WEEKLY;UNTIL=20240401T093000"},
};

TEST_F(IcalRules, ExactShapesImportWithoutLossAndMatchLibical) {
    for (const ExactRow& row : kExact) {
        std::string rule = row.rule;
        std::string extra;
        if (const size_t nl = rule.find('\n'); nl != std::string::npos) {
            extra = "\n" + rule.substr(nl + 1);
            rule.resize(nl);
        }
        const std::string text = Calendar("BEGIN:VEVENT\nUID:x\n" + std::string(row.start) +
                                          "\nRRULE:" + rule + extra + "\nEND:VEVENT");
        DocumentContents contents;
        const auto report = Import(text, contents);
        EXPECT_TRUE(Reasons(report).empty()) << rule << ": " << Reasons(report).front();
        EXPECT_EQ(ModelStarts(*contents.events.at(0), kUntil), LibicalStarts(text, kUntil)) << rule;
    }
}

// Random events of every shape the model holds: whatever export writes without reporting a loss
// must repeat exactly as the model does, by libical's own iterator.
TEST_F(IcalRules, ExportedRulesRepeatAsTheModelDoes) {
    Random random(5545);
    int exact = 0;
    for (int round = 0; round < 400; ++round) {
        CDateEntry event(kNow);
        DateData d = event.GetData();
        d.StartDate = random.DateTime(CDateTime(2024, 1, 1), CDateTime(2025, 12, 31));
        d.StartDate.SetTime(random.Int(0, 23), random.Pick(std::array{0, 15, 30}), 0);
        d.ShowStartTime = random.Int(0, 1);
        d.Repeat = random.Chance(25) ? kRepeatNthWeekday : kRepeatInterval;
        d.RepeatRate = random.Int(1, 4);
        d.RepeatUnit = random.Int(kRepeatHours, kRepeatYears);
        d.RepeatWeekdayCount = random.Int(0, 5);
        d.RepeatWeekday = random.Int(0, 6);
        d.CondWeekdays = random.Chance(50) ? 0x7F : random.Int(1, 0x7F);
        d.CondMonth = random.Chance(50) ? 0xFFF : random.Int(1, 0xFFF);
        d.RepeatEnd = random.Int(0, 2);
        d.RepeatEndCount = random.Int(1, 20);
        d.RepeatEndDate = d.StartDate + CDateTimeSpan(random.Between(0, 600) * 86400);
        event.AssignData(d);
        const auto first = ModelStarts(event, kUntil, 3);
        if (!first.empty() && random.Chance(50)) {
            event.DropOccurrence(first.back());
        }
        DocumentContents contents;
        contents.events.push_back(std::make_unique<CDateEntry>(event));
        ical::ExportReport report;
        const std::string text = Export(contents, &report);
        if (!report.approximated.empty() || text.find("RRULE") == std::string::npos) {
            continue;
        }
        ++exact;
        EXPECT_EQ(ModelStarts(event, kUntil, 200), LibicalStarts(text, kUntil, 200))
            << "round " << round << "\n"
            << text;
    }
    EXPECT_GT(exact, 250);
}

struct ApproximatedRow {
    const char* body;   // VEVENT lines between BEGIN and END
    const char* reason; // what the report must say
};

const ApproximatedRow kApproximated[] = {
    {"DTSTART:20240131T100000\nRRULE:FREQ=MONTHLY", "monthly on day 31: months without that day"},
    {"DTSTART;VALUE=DATE:20240229\nRRULE:FREQ=YEARLY", "yearly from 29 February"},
    {"DTSTART:20240101T100000\nRRULE:FREQ=WEEKLY;INTERVAL=2;BYDAY=MO,WE",
     "INTERVAL=2: imported as every week on those weekdays"},
    {"DTSTART:20240101T100000\nRRULE:FREQ=MONTHLY;BYDAY=MO,TU;BYSETPOS=2",
     "BYSETPOS=2: imported as monthly on day"},
    {"DTSTART:20240101T100000\nRRULE:FREQ=MONTHLY;BYMONTHDAY=1,15",
     "BYMONTHDAY=1,15: imported as monthly on day 1"},
    {"DTSTART:20240101T100000\nRRULE:FREQ=MONTHLY;BYDAY=1MO,3MO", "BYDAY=1MO,3MO: imported as"},
    {"DTSTART:20240101T100000\nRRULE:FREQ=MONTHLY;INTERVAL=5;BYDAY=2TU",
     "INTERVAL=5: imported as the same weekday of every month"},
    {"DTSTART:20240101T100000\nRRULE:FREQ=YEARLY;BYYEARDAY=100", "BYYEARDAY=100: ignored"},
    {"DTSTART:20240101T100000\nRRULE:FREQ=YEARLY;BYWEEKNO=20;BYDAY=MO", "BYWEEKNO=20: ignored"},
    {"DTSTART:20240101T100000\nRRULE:FREQ=DAILY\nRRULE:FREQ=WEEKLY", "RRULE: ignored"},
    {"DTSTART:20240101T100000\nRRULE:FREQ=DAILY\nEXRULE:FREQ=WEEKLY", "EXRULE: ignored"},
    {"DTSTART:20240101T100000\nRRULE:FREQ=DAILY;BYHOUR=9,17", "BYHOUR=9,17: ignored"},
    {"DTSTART:20240101T100000\nRRULE:FREQ=DAILY\nRDATE:20240301T150000",
     "RDATE 20240301T150000: the extra occurrence became an entry of its own"},
    {"DTSTART;TZID=America/New_York:20240101T100000\nRRULE:FREQ=WEEKLY",
     "TZID=America/New_York: its clock changes on other days"},
    {"DTSTART:20240101T100000\nBEGIN:VALARM\nACTION:DISPLAY\nTRIGGER:-PT10M\nEND:VALARM\n"
     "BEGIN:VALARM\nACTION:DISPLAY\nTRIGGER:-PT5M\nEND:VALARM",
     "2 alarms: only the first was kept"},
    {"DTSTART:20240101T100000\nBEGIN:VALARM\nACTION:DISPLAY\nTRIGGER:PT15M\nEND:VALARM",
     "an alarm after the start"},
    {"DTSTART;TZID=Nowhere/Atlantis:20240101T100000", "TZID=Nowhere/Atlantis: unknown time zone"},
};

TEST_F(IcalRules, ApproximatedShapesNameWhatWasLost) {
    for (const ApproximatedRow& row : kApproximated) {
        DocumentContents contents;
        const auto report = Import(
            Calendar("BEGIN:VEVENT\nUID:y\n" + std::string(row.body) + "\nEND:VEVENT"), contents);
        const auto reasons = Reasons(report);
        const bool named = std::any_of(reasons.begin(), reasons.end(), [&](const std::string& r) {
            return r.find(row.reason) != std::string::npos;
        });
        EXPECT_TRUE(named) << row.body << "\n got: " << (reasons.empty() ? "nothing" : reasons[0]);
        EXPECT_EQ(report.Count(ical::EntryOutcome::Kind::added), 1) << row.body;
    }
}

TEST_F(IcalRules, OverridesCountsAndSkips) {
    DocumentContents contents;
    const auto report = Import(
        Calendar("BEGIN:VEVENT\nUID:s\nDTSTART:20240101T100000\nRRULE:FREQ=DAILY;COUNT=5\n"
                 "EXDATE:20240102T100000\nEND:VEVENT\n"
                 "BEGIN:VEVENT\nUID:s\nRECURRENCE-ID:20240103T100000\nDTSTART:20240103T120000\n"
                 "SUMMARY:moved\nEND:VEVENT\n"
                 "BEGIN:VEVENT\nUID:s\nRECURRENCE-ID:20240104T100000\nSTATUS:CANCELLED\n"
                 "DTSTART:20240104T100000\nEND:VEVENT\n"
                 "BEGIN:VEVENT\nUID:nostart\nSUMMARY:no start\nEND:VEVENT\n"
                 "BEGIN:VJOURNAL\nUID:j\nEND:VJOURNAL"),
        contents);
    ASSERT_EQ(report.entries.size(), 2u); // the journal is not counted
    EXPECT_EQ(report.Count(ical::EntryOutcome::Kind::skipped), 1);
    EXPECT_EQ(report.entries[1].reasons.at(0), "no DTSTART");
    ASSERT_EQ(contents.events.size(), 2u); // the series and the moved occurrence
    // RFC 5545 counts 5 with the excluded, moved and cancelled ones: 2 remain in the model.
    EXPECT_EQ(ModelStarts(*contents.events[0], kUntil),
              (std::vector{CDateTime(2024, 1, 1, 10, 0, 0), CDateTime(2024, 1, 5, 10, 0, 0)}));
    EXPECT_EQ(contents.events[1]->GetData().StartDate, CDateTime(2024, 1, 3, 12, 0, 0));
    EXPECT_NE(report.entries[0].reasons.at(0).find("RECURRENCE-ID 20240103T100000"),
              std::string::npos);
}

} // namespace
} // namespace dv::test
