// The placeholder grammar through the event expander: scanning, directives, words, affixes,
// field words, nested expansion, date types, ranges and spans.

#include "core/EventBuilder.h"
#include "format/CDateEntryFormatter.h"
#include "format/FormatTestSupport.h"
#include "format/PlaceholderEngine.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace dv {
namespace {

using test::EventBuilder;
using test::FixedNow;
using test::TestSettings;

struct Row {
    const char* name;
    std::string format;
    std::string expected;
};

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
    for (const Row& row : rows) {
        EXPECT_EQ(ExpandAtStart(entry, row.format), row.expected)
            << row.name << ": format \"" << row.format << "\"";
    }
}

TEST(DateEntryFormatter, ScanningPassesUnknownTokensThrough) {
    CDateEntry entry = TimedEvent().Build();
    CheckRows(entry, {
                         {"reused dollar opens the next token", "$X$THIS_DATE$", "$X2007-01-10"},
                         {"span without unit", "$SPAN$", "$SPAN$"},
                     });
}

TEST(DateEntryFormatter, DirectivesHoldToTheEndOfTheExpansion) {
    CDateEntry entry = TimedEvent().Description("$THIS_DATE$").Build();
    CheckRows(entry, {
                         {"date format", "$DATEFORMAT%Y$$THIS_DATE$", "2007"},
                         {"time format", "$TIMEFORMAT%H.%M$$THIS_TIME$", "10.00"},
                         {"does not reach the nested description",
                          "$DATEFORMAT%Y$$DESCRIPTION$ $THIS_DATE$", "2007-01-10 2007"},
                     });
}

TEST(DateEntryFormatter, SelfReferenceGuards) {
    struct GuardRow {
        const char* name;
        std::string description;
        std::string notes;
        std::string format;
        std::string expected;
    };
    const std::vector<GuardRow> rows = {
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
    for (const GuardRow& row : rows) {
        EventBuilder builder = TimedEvent().Description(row.description);
        builder.MutableData().Notes = row.notes;
        CDateEntry entry = builder.Build();
        EXPECT_EQ(ExpandAtStart(entry, row.format), row.expected) << row.name;
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

TEST(DateEntryFormatter, InvalidDatesAndUnknownSelectors) {
    CDateEntry timed = TimedEvent().Build();
    CheckRows(timed,
              {
                  {"NEXT of a single event is not valid", "$NEXT_DATE$", "-"},
                  {"invalid auto time", "$NEXT_AUTOTIME$", "-"},
                  {"to with an unknown second selector", "$THIS_TO_LATER$", "$THIS_TO_LATER$"},
              });
}

TEST(DateEntryFormatter, RangeTypes) {
    struct RangeRow {
        const char* name;
        EventBuilder event;
        std::string format;
        std::string expected;
    };
    const EventBuilder sameDay = TimedEvent();
    const EventBuilder instant = TimedEvent().NoEnd();
    const EventBuilder overnight = TimedEvent().Start(2007, 1, 10, 22, 0).End(2007, 1, 11, 2, 0);
    const EventBuilder oneDay = TimedEvent().AllDay().NoEnd();
    const EventBuilder twoDays = TimedEvent().AllDay().End(2007, 1, 11);
    const std::vector<RangeRow> rows = {
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
    for (const RangeRow& row : rows) {
        CDateEntry entry = row.event.Build();
        EXPECT_EQ(ExpandAtStart(entry, row.format), row.expected) << row.name;
    }
}

// ---- Spans -------------------------------------------------------------------------------------

struct SpanRow {
    const char* name;
    CDateTime first;  // D1, through NOW
    CDateTime second; // D2, through THIS of an event without end
    std::string format;
    std::string expected;
};

void CheckSpans(const std::vector<SpanRow>& rows) {
    for (const SpanRow& row : rows) {
        const FixedNow now(row.first);
        CDateEntry entry = TimedEvent().NoEnd().Build();
        CDateEntryFormatter formatter(entry, TestSettings());
        EXPECT_EQ(formatter.Expand("$NOW_TO_THIS$" + row.format, row.second, row.second),
                  row.expected)
            << row.name << ": " << row.format;
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
    const FixedNow now(CDateTime(2007, 1, 1));
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

} // namespace
} // namespace dv
