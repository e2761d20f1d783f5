// Small calendars in the style of the exports of other programs.

#include "ical/IcalTestSupport.h"
#include "core/RepetitionRule.h"
#include "core/TimeUnits.h"
#include "support/Files.h"

#include <cstdlib>

namespace dv::test {
namespace {

class IcalSamples : public IcalTest {
protected:
    static std::string Sample(const char* name) {
        return ReadFile(std::filesystem::path(std::getenv("DAYVAULT_TEST_DATA")) / "ical" / name);
    }
};

TEST_F(IcalSamples, GoogleSeriesWithZoneExceptionAndOverride) {
    DocumentContents contents;
    const auto report = Import(Sample("google.ics"), contents);
    EXPECT_EQ(report.Count(ical::EntryOutcome::Kind::added), 3);
    ASSERT_EQ(contents.events.size(), 4u); // the series, its moved occurrence, holiday, dentist
    const CDateEntry& choir = *contents.events[0];
    EXPECT_EQ(choir.GetData().Description, "Choir rehearsal");
    EXPECT_EQ(choir.GetData().Notes, "Bring the sheet music, the stand and the pencil.");
    EXPECT_EQ(choir.GetData().ForewarnSpan, 30);
    EXPECT_EQ(ModelStarts(choir, CDateTime(2024, 2, 12, 23, 0, 0)),
              (std::vector{CDateTime(2024, 1, 8, 18, 30, 0), CDateTime(2024, 1, 15, 18, 30, 0),
                           CDateTime(2024, 2, 5, 18, 30, 0), CDateTime(2024, 2, 12, 18, 30, 0)}));
    EXPECT_EQ(contents.events[1]->GetData().StartDate, CDateTime(2024, 1, 29, 19, 0, 0));
    const DateData& holiday = contents.events[2]->GetData();
    EXPECT_EQ(holiday.ShowStartTime, 0);
    EXPECT_EQ(holiday.EndDate.GetDate(), CDateTime(2024, 8, 16)); // DTEND is exclusive
    EXPECT_EQ(contents.events[3]->GetData().StartDate, CDateTime(2024, 3, 15, 14, 0, 0)); // UTC+1
}

TEST_F(IcalSamples, OutlookWindowsZoneNamesAndQuarterlyRule) {
    DocumentContents contents;
    const auto report = Import(Sample("outlook.ics"), contents);
    EXPECT_TRUE(Reasons(report).empty()) << Reasons(report).front();
    ASSERT_EQ(contents.events.size(), 2u);
    const DateData& review = contents.events[0]->GetData();
    EXPECT_EQ(review.Repeat, kRepeatNthWeekday);
    EXPECT_EQ(review.CondMonth, 0x249); // January, April, July, October
    EXPECT_EQ(review.StartDate, CDateTime(2024, 1, 2, 10, 0, 0));
    EXPECT_EQ(review.RepeatEndDate, CDateTime(2024, 12, 31, 10, 0, 0));
    EXPECT_EQ(review.ForewarnSpan, 15);
    EXPECT_EQ(contents.events[1]->GetData().ShowEnd, 0); // one whole day
}

TEST_F(IcalSamples, AppleBirthdayColourAndTodo) {
    DocumentContents contents;
    Import(Sample("apple.ics"), contents);
    ASSERT_EQ(contents.events.size(), 1u);
    const DateData& birthday = contents.events[0]->GetData();
    EXPECT_EQ(birthday.RepeatUnit, kRepeatYears);
    EXPECT_EQ(birthday.Display, 2);
    EXPECT_EQ(birthday.DisplayColor, 0x4763FFu);
    EXPECT_EQ(birthday.ForewarnUnit, kUnitDays);
    ASSERT_EQ(contents.todos.size(), 1u);
    const TodoData& passport = contents.todos[0]->GetData();
    EXPECT_EQ(passport.Priority, 1);
    EXPECT_EQ(passport.ShowDeadlineTime, 0);
    EXPECT_EQ(passport.ForewarnSpan, 1);
    EXPECT_EQ(passport.ForewarnUnit, kUnitWeeks);
}

TEST_F(IcalSamples, ThunderbirdTodosAndLastThursday) {
    DocumentContents contents;
    Import(Sample("thunderbird.ics"), contents);
    ASSERT_EQ(contents.todos.size(), 2u);
    EXPECT_TRUE(contents.todos[0]->IsDone());
    EXPECT_EQ(contents.todos[0]->GetData().Group, "Paperwork");
    EXPECT_EQ(contents.todos[0]->GetData().Priority, 9);
    EXPECT_EQ(contents.todos[1]->GetData().Priority, 10);
    EXPECT_EQ(contents.todos[1]->GetData().ShowDeadline, 0);
    EXPECT_FALSE(contents.todos[1]->IsDone());
    ASSERT_EQ(contents.events.size(), 1u);
    EXPECT_EQ(ModelStarts(*contents.events[0], CDateTime(2025, 1, 1)).size(), 6u);
    EXPECT_EQ(contents.events[0]->GetData().Category, "Friends");
}

TEST_F(IcalSamples, BadInputGivesAnErrorOrAReportNeverACrash) {
    DocumentContents contents;
    EXPECT_THROW(Import("hello", contents), ical::IcalError);
    std::string google = Sample("google.ics");
    EXPECT_THROW(Import(google.substr(0, google.size() / 2), contents), ical::IcalError);
    EXPECT_TRUE(contents.IsEmpty());
    const std::string broken =
        Calendar("BEGIN:VEVENT\nUID:b\nDTSTART:2024XX01T1000\nRRULE:FREQ=SOMETIMES;BYDAY="
                 "QQ\nSUMMARY:\xFF\xFE"
                 "\nEND:VEVENT\nBEGIN:VEVENT\nUID:c\nDTSTART:20240101T100000\nSUMMARY:" +
                 std::string(100000, 'x') + "\nEND:VEVENT");
    const auto report = Import(broken, contents);
    EXPECT_EQ(report.entries.size(), 2u);
}

} // namespace
} // namespace dv::test
