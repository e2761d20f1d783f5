// The event and to-do expanders: the placeholder grammar, date types, ranges and spans, the
// format string chosen per day, and the to-do's own selectors.

#include "core/CTodoEntry.h"
#include "core/Clock.h"
#include "core/EventBuilder.h"
#include "format/CDateEntryFormatter.h"
#include "format/CTodoEntryFormatter.h"
#include "format/FormatTestSupport.h"
#include "format/PlaceholderEngine.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <tuple>
#include <type_traits>
#include <vector>

namespace dv {
namespace {

using test::EventBuilder;
using test::TestSettings;

using Row = std::tuple<const char*, std::string, std::string>; // name, format, expected

// The formatters keep a reference to their settings: built over a temporary (a settings object's
// GetFormatSettings()) they would read freed memory at the first Expand, so that must not compile.
static_assert(std::is_constructible_v<CDateEntryFormatter, CDateEntry&, const FormatSettings&>);
static_assert(!std::is_constructible_v<CDateEntryFormatter, CDateEntry&, FormatSettings>);
static_assert(!std::is_constructible_v<CDateEntryFormatter, CDateEntry&, FormatSettings, int>);
static_assert(!std::is_constructible_v<CTodoEntryFormatter, CTodoEntry&, FormatSettings>);

// A timed event on Wednesday 10 January 2007 from 10:00 to 12:00.
EventBuilder TimedEvent() {
    EventBuilder builder;
    builder.Start(2007, 1, 10, 10, 0).End(2007, 1, 10, 12, 0).Description("Desc");
    builder.MutableData().Category = "Cat";
    return builder;
}

std::string ExpandAtStart(CDateEntry& entry, const std::string& format) {
    CDateEntryFormatter formatter(entry, TestSettings());
    const CDateTime start = entry.GetFirstStart();
    return formatter.Expand(format, start, start);
}

void CheckRows(CDateEntry& entry, const std::vector<Row>& rows) {
    for (const auto& [name, format, expected] : rows) {
        EXPECT_EQ(ExpandAtStart(entry, format), expected)
            << name << ": format \"" << format << "\"";
    }
}

TEST(DateEntryFormatter, TokensDirectivesAndInvalidDates) {
    CDateEntry entry = TimedEvent().Description("$THIS_DATE$").Build();
    CheckRows(entry,
              {
                  {"reused dollar opens the next token", "$X$THIS_DATE$", "$X2007-01-10"},
                  {"span without unit", "$SPAN$", "$SPAN$"},
                  {"date format", "$DATEFORMAT%Y$$THIS_DATE$", "2007"},
                  {"time format", "$TIMEFORMAT%H.%M$$THIS_TIME$", "10.00"},
                  {"directive does not reach the nested description",
                   "$DATEFORMAT%Y$$DESCRIPTION$ $THIS_DATE$", "2007-01-10 2007"},
                  {"NEXT of a single event is not valid", "$NEXT_DATE$", "-"},
                  {"invalid auto time", "$NEXT_AUTOTIME$", "-"},
                  {"to with an unknown second selector", "$THIS_TO_LATER$", "$THIS_TO_LATER$"},
              });
}

TEST(DateEntryFormatter, SelfReferenceGuards) {
    const std::tuple<const char*, std::string, std::string, std::string, std::string> rows[] = {
        {"description naming itself", "d $DESCRIPTION$ $THIS_DATE$", "n", "$DESCRIPTION$",
         "d $DESCRIPTION$ $THIS_DATE$"},
        {"notes naming themselves", "d", "n $NOTES$ $THIS_DATE$", "$NOTES$",
         "n $NOTES$ $THIS_DATE$"},
        {"cross reference, description", "see $NOTES$", "see $DESCRIPTION$", "$DESCRIPTION$",
         "see $NOTES$"},
        {"one-way reference is expanded", "see $NOTES$", "n $THIS_DATE$", "$DESCRIPTION$",
         "see n 2007-01-10"},
        // A form of the token that the guard does not catch nests until the depth bound; the
        // text at depth 9 goes in as typed, each level adds its "x" and its suffix space.
        {"affixed self reference stops at depth 8", "x$DESCRIPTION_S$", "", "$DESCRIPTION$",
         "xxxxxxxxx$DESCRIPTION_S$        "},
        {"mutual reference through affixes", "d$NOTES_S$", "n$DESCRIPTION_S$", "$DESCRIPTION$",
         "dndndndnd$NOTES_S$        "},
    };
    for (const auto& [name, description, notes, format, expected] : rows) {
        EventBuilder builder = TimedEvent().Description(description);
        builder.MutableData().Notes = notes;
        CDateEntry entry = builder.Build();
        EXPECT_EQ(ExpandAtStart(entry, format), expected) << name;
    }
}

TEST(DateEntryFormatter, BranchingSelfReferenceStaysBounded) {
    // Twenty affixed self references per level would give 20^8 copies; a nested text that grows
    // past the length bound is inserted as typed, and with it every level above it alternates
    // between the typed text and twenty copies of it.
    std::string description;
    for (int i = 0; i < 20; ++i) {
        description += "$DESCRIPTION_a$";
    }
    CDateEntry entry = TimedEvent().Description(description).Build();
    const std::string text = ExpandAtStart(entry, "$DESCRIPTION$|$DESCRIPTION$");
    EXPECT_EQ(text, description + "|" + description);
    static_assert(20u * 20u * 15u * 20u > kMaxNestedLength, "the example must pass the bound");
}

TEST(DateEntryFormatter, RangeTypes) {
    const EventBuilder sameDay = TimedEvent();
    const EventBuilder instant = TimedEvent().NoEnd();
    const EventBuilder overnight = TimedEvent().Start(2007, 1, 10, 22, 0).End(2007, 1, 11, 2, 0);
    const EventBuilder oneDay = TimedEvent().AllDay().NoEnd();
    const EventBuilder twoDays = TimedEvent().AllDay().End(2007, 1, 11);
    const std::tuple<const char*, EventBuilder, std::string, std::string> rows[] = {
        {"date", sameDay, "$THIS_STARTTOEND_DATE$", "2007-01-10 - 2007-01-10"},
        {"time", sameDay, "$THIS_STARTTOEND_TIME$", "10:00 - 12:00"},
        {"auto, same day, different times", sameDay, "$THIS_STARTTOEND_AUTO$",
         "2007-01-10 10:00 - 12:00"},
        {"auto, equal start and end", instant, "$THIS_STARTTOEND_AUTO$", "2007-01-10 10:00"},
        {"auto over two dates", overnight, "$THIS_STARTTOEND_AUTO$",
         "2007-01-10 22:00 - 2007-01-11 02:00"},
        {"auto time over two dates", overnight, "$THIS_STARTTOEND_AUTOTIME$", "22:00 - 02:00"},
        {"all-day auto, two days", twoDays, "$THIS_STARTTOEND_AUTO$", "2007-01-10 - 2007-01-11"},
        {"all-day auto time, two days", twoDays, "[$THIS_STARTTOEND_AUTOTIME_S$]", "[]"},
        {"unknown range type", sameDay, "$THIS_STARTTOEND_WHEN$", "$THIS_STARTTOEND_WHEN$"},
    };
    for (const auto& [name, event, format, expected] : rows) {
        CDateEntry entry = event.Build();
        EXPECT_EQ(ExpandAtStart(entry, format), expected) << name;
    }
}

// Name, D1 (through NOW), D2 (through THIS of an event without end), format, expected.
using SpanRow = std::tuple<const char*, CDateTime, CDateTime, std::string, std::string>;

void CheckSpans(const std::vector<SpanRow>& rows) {
    for (const auto& [name, first, second, format, expected] : rows) {
        const CScopedClock clock(std::make_shared<CFixedClock>(first));
        CDateEntry entry = TimedEvent().NoEnd().Build();
        CDateEntryFormatter formatter(entry, TestSettings());
        EXPECT_EQ(formatter.Expand("$NOW_TO_THIS$" + format, second, second), expected)
            << name << ": " << format;
    }
}

TEST(DateEntryFormatter, SpansInSecondUnits) {
    const CDateTime base(2007, 1, 1, 0, 0, 0);
    const CDateTime later(2007, 1, 3, 5, 6, 7);
    CheckSpans({
        {"breakdown", base, later, "$SPAN_DAYS$d $SPAN_HOURS$h $SPAN_MINUTES$m $SPAN_SECONDS$s",
         "2d 5h 6m 7s"},
        {"weeks then days", base, CDateTime(2007, 1, 18, 3, 0, 0),
         "$SPAN_WEEKS$w $SPAN_DAYS$d $SPAN_HOURS$h", "2w 3d 3h"},
        {"negative pair is ordered for the next span", later, base, "$SPAN_DAYS$/$SPAN_HOURS$",
         "-2/5"},
        {"positive prefix and suffix", base, CDateTime(2007, 1, 4),
         "$SPAN_in _-_DAYS_ days_ days ago$", "in 3 days"},
        {"negative prefix and suffix", CDateTime(2007, 1, 3), base,
         "$SPAN_in _-_DAYS_ days_ days ago$", "-2 days ago"},
        {"third text before the unit is ignored", base, CDateTime(2007, 1, 4),
         "$SPAN_a_b_c_DAYS_d_e$", "a3d"},
        {"negative slots", CDateTime(2007, 1, 4), base, "$SPAN_a_b_c_DAYS_d_e$", "b3e"},
        {"third text after the unit is ignored", CDateTime(2007, 1, 4), base, "$SPAN_DAYS_d_e_f$",
         "-3e"},
        {"default negative prefix", CDateTime(2007, 1, 4), base, "$SPAN_DAYS_ days$", "-3"},
        // DAYS leaves the counted two days as the working span; HOURS counts those again.
        {"second unit in one token replaces the value", base, later, "$SPAN_DAYS_HOURS$", "48"},
        {"text after a second unit fills the suffix again", base, later, "$SPAN_DAYS_x_HOURS_y$",
         "48y"},
        {"affixes around a span", base, later, "$S_SPAN_DAYS_R$", " 2\r\n"},
    });
}

TEST(DateEntryFormatter, SpansInCalendarUnits) {
    CheckSpans({
        {"years, months, days, hours", CDateTime(2000, 3, 15, 10, 0, 0),
         CDateTime(2005, 7, 20, 12, 0, 0), "$SPAN_YEARS$y $SPAN_MONTH$m $SPAN_DAYS$d $SPAN_HOURS$h",
         // The year and month steps put D1's day on D2, so the five extra days are not counted.
         "5y 4m 0d 2h"},
        {"anniversary not reached by an hour", CDateTime(2000, 3, 15, 10, 0, 0),
         CDateTime(2005, 3, 15, 9, 0, 0), "$SPAN_YEARS$y $SPAN_MONTH$m $SPAN_DAYS$d $SPAN_HOURS$h",
         "4y 11m 30d 23h"},
        {"anniversary exactly", CDateTime(2000, 3, 15, 10, 0, 0), CDateTime(2005, 3, 15, 10, 0, 0),
         "$SPAN_YEARS$ $SPAN_SECONDS$", "5 0"},
        {"month day limited to a short month", CDateTime(2007, 1, 31), CDateTime(2007, 3, 1),
         "$SPAN_MONTH$m $SPAN_DAYS$d", "1m 28d"},
        {"leap day to the next 28 February", CDateTime(2004, 2, 29), CDateTime(2005, 2, 28),
         "$SPAN_YEARS$y $SPAN_DAYS$d", "1y 0d"},
        // The year step puts D1's day on D2: 27 February becomes the 28th, a whole year of months.
        {"leap day to 27 February", CDateTime(2004, 2, 29), CDateTime(2005, 2, 27),
         "$SPAN_YEARS$y $SPAN_MONTH$m $SPAN_DAYS$d", "0y 12m 0d"},
        // The month step, too, puts D1's day on D2: the 10th becomes the 20th of December.
        {"month across a year end", CDateTime(2006, 11, 20), CDateTime(2007, 2, 10),
         "$SPAN_MONTH$m $SPAN_DAYS$d", "2m 30d"},
        {"same month leaves only the time of day", CDateTime(2007, 1, 1, 8, 0, 0),
         CDateTime(2007, 1, 20, 10, 0, 0), "$SPAN_MONTH$ $SPAN_DAYS$ $SPAN_HOURS$", "0 0 2"},
        {"leap day to 2100, which has no 29 February", CDateTime(2096, 2, 29),
         CDateTime(2100, 2, 28), "$SPAN_YEARS$y $SPAN_DAYS$d", "4y 0d"},
    });
}

TEST(DateEntryFormatter, SpansWithoutAValidPair) {
    const CScopedClock clock(std::make_shared<CFixedClock>(CDateTime(2007, 1, 1)));
    CDateEntry entry = TimedEvent().Build();
    CheckRows(entry, {
                         {"no pair at all", "$SPAN_DAYS$", "-"},
                         {"texts around a missing value", "$SPAN_in _DAYS_ days$", "in - days"},
                         {"second date invalid", "$NOW_TO_NEXT$$SPAN_DAYS$", "-"},
                         {"a date placeholder between clears the pair",
                          "[$NOW_TO_THIS$][$THIS_DATE$][$SPAN_DAYS$]", "[][2007-01-10][-]"},
                         {"pair survives other tokens", "$NOW_TO_THIS$$DESCRIPTION$ $SPAN_DAYS$",
                          "Desc 9"},
                         {"to with end word", "$NOW_TO_THIS_END$$SPAN_HOURS$", "228"},
                     });
}

CDateTime Jan(int day, int hour = 0, int minute = 0) {
    return CDateTime(2007, 1, day, hour, minute, 0);
}

EventBuilder Event(const CDateTime& start) {
    EventBuilder builder;
    builder.StartAt(start).Description("Desc");
    return builder;
}

TEST(FormatForDay, ChoosesTheVariantOfTheDay) {
    const EventBuilder timed = Event(Jan(10, 10)).End(2007, 1, 10, 11, 30);
    const EventBuilder threeDays = Event(Jan(10)).AllDay().End(2007, 1, 12);
    const EventBuilder toMidnight = Event(Jan(10, 22)).End(2007, 1, 11, 0, 0);
    // The calendar set of the test settings names its variant.
    const std::tuple<const char*, EventBuilder, CDateTime, std::string> rows[] = {
        {"timed within the day", timed, Jan(10), "2N"},
        {"all-day without end", Event(Jan(10)).AllDay().NoEnd(), Jan(10), "2S"},
        {"first of three days", threeDays, Jan(10), "2F"},
        {"middle of three days", threeDays, Jan(11), "2M"},
        {"last of three days", threeDays, Jan(12), "2L"},
        {"ending at midnight belongs to the next day", toMidnight, Jan(11), "2L"},
        {"a day outside the occurrence gets the middle string", threeDays, Jan(20), "2M"},
    };
    for (const auto& [name, event, day, expected] : rows) {
        CDateEntry entry = event.Build();
        CDateEntryFormatter formatter(entry, TestSettings());
        EXPECT_EQ(formatter.FormatForDay(entry.GetFirstStart(), day), expected) << name;
    }
}

// The text fields come from the snapshot taken when the event was set, until it is set again.
TEST(FormatForDay, TextsComeFromTheEventAsItWasSet) {
    CDateEntry entry = Event(Jan(10, 10)).Description("first").Build();
    CDateEntryFormatter formatter(entry, TestSettings());
    DateData changed = entry.GetData();
    changed.Description = "edited";
    entry.AssignData(changed);
    EXPECT_EQ(formatter.Expand("$DESCRIPTION$", Jan(10, 10), Jan(10)), "first");
    formatter.SetEntry(entry);
    EXPECT_EQ(formatter.Expand("$DESCRIPTION$", Jan(10, 10), Jan(10)), "edited");
}

// A to-do due on Friday 12 January 2007 at 15:30 (the time counts only with ShowDeadlineTime),
// with a forewarning of three days.
TodoData BaseData() {
    TodoData data;
    data.Description = "Desc";
    data.Notes = "x";
    data.Group = "Home";
    data.Priority = 7;
    data.DocumentFile = "C:\\plan.txt";
    data.AssociateDocumentFile = 0;
    data.Deadline = CDateTime(2007, 1, 12, 15, 30, 0);
    data.ShowDeadline = 1;
    data.ShowDeadlineTime = 0;
    data.Forewarn = 1;
    data.ForewarnSpan = 3;
    data.ForewarnUnit = 2;
    return data;
}

CTodoEntry MakeTodo(const TodoData& data) {
    CTodoEntry todo(CDateTime(2007, 1, 1));
    todo.SetData(data);
    return todo;
}

void CheckRows(CTodoEntry& todo, const std::vector<Row>& rows) {
    CTodoEntryFormatter formatter(todo, TestSettings());
    for (const auto& [name, format, expected] : rows) {
        EXPECT_EQ(formatter.Expand(format), expected) << name << ": " << format;
    }
}

TEST(TodoEntryFormatter, StateFollowsTheTodo) {
    const std::tuple<const char*, bool, int, CDateTime, std::string> rows[] = {
        {"undone before the forewarning", false, 1, CDateTime(2007, 1, 8), "undone"},
        {"urgent from three days before", false, 1, CDateTime(2007, 1, 9), "urgent"},
        {"overdue from the deadline's date", false, 1, CDateTime(2007, 1, 12), "overdue"},
        {"done wins over overdue", true, 1, CDateTime(2007, 1, 20), "done"},
        {"no deadline is never overdue", false, 0, CDateTime(2007, 1, 20), "undone"},
    };
    for (const auto& [name, done, showDeadline, currentTime, expected] : rows) {
        TodoData data = BaseData();
        data.ShowDeadline = showDeadline;
        CTodoEntry todo = MakeTodo(data);
        todo.SetDone(done);
        todo.SetCurrentTime(currentTime);
        CTodoEntryFormatter formatter(todo, TestSettings());
        EXPECT_EQ(formatter.Expand("$STATE$"), expected) << name;
    }
}

TEST(TodoEntryFormatter, FieldWordsAndDateSelectors) {
    const CScopedClock clock(std::make_shared<CFixedClock>(CDateTime(2007, 1, 9, 8, 15, 0)));
    CTodoEntry todo = MakeTodo(BaseData());
    CheckRows(todo, {
                        {"line break is LF alone", "$R_NOTES_R$ $PRIORITY$", "\nx\n 7"},
                        {"event field word is unknown", "$CATEGORY$", "$CATEGORY$"},
                        {"event selector is unknown", "$THIS_DATE$", "$THIS_DATE$"},
                        {"deadline date", "$DEADLINE_DATE$", "2007-01-12"},
                        {"deadline without its time", "$DEADLINE_DATETIME$", "2007-01-12 00:00"},
                        {"auto without time of day", "$DEADLINE_AUTO$", "2007-01-12"},
                        {"forewarn three days before", "$FOREWARN_DATE$", "2007-01-09"},
                        {"now", "$NOW_DATETIME$", "2007-01-09 08:15"},
                        {"no START word", "$DEADLINE_START_DATE$", "$DEADLINE_START_DATE$"},
                        {"no ranges", "$DEADLINE_STARTTOEND_DATE$", "$DEADLINE_STARTTOEND_DATE$"},
                        {"no COUNT", "$DEADLINE_COUNT$", "$DEADLINE_COUNT$"},
                        {"to", "[$NOW_TO_DEADLINE$]", "[]"},
                    });

    TodoData timed = BaseData();
    timed.ShowDeadlineTime = 1;
    timed.ForewarnSpan = 90;
    timed.ForewarnUnit = 0;
    CTodoEntry timedTodo = MakeTodo(timed);
    CheckRows(timedTodo, {
                             {"deadline with its time", "$DEADLINE_DATETIME$", "2007-01-12 15:30"},
                             {"auto with time of day", "$DEADLINE_AUTO$", "2007-01-12 15:30"},
                             {"forewarn in minutes", "$FOREWARN_TIME$", "14:00"},
                         });

    TodoData quiet = BaseData();
    quiet.Forewarn = 0;
    CTodoEntry quietTodo = MakeTodo(quiet);
    CheckRows(quietTodo,
              {{"no forewarning: the deadline itself", "$FOREWARN_DATE$", "2007-01-12"}});

    TodoData open = BaseData();
    open.ShowDeadline = 0;
    CTodoEntry openTodo = MakeTodo(open);
    CheckRows(openTodo, {
                            {"no deadline", "$DEADLINE_DATE$", "-"},
                            {"no forewarning either", "$FOREWARN_DATETIME$", "-"},
                            {"now is always valid", "$NOW_DATE$", "2007-01-09"},
                        });
}

TEST(TodoEntryFormatter, SnapshotAndSetEntry) {
    CTodoEntry first = MakeTodo(BaseData());
    CTodoEntryFormatter formatter(first, TestSettings());
    TodoData changed = BaseData();
    changed.Description = "edited";
    first.SetData(changed);
    first.SetDone(true);
    EXPECT_EQ(formatter.Expand("$DESCRIPTION$ $STATE$"), "Desc done")
        << "text from the snapshot, done read through the reference";
    formatter.SetEntry(first);
    EXPECT_EQ(formatter.Expand("$DESCRIPTION$"), "edited");
}

} // namespace
} // namespace dv
