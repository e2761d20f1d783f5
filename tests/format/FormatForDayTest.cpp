// Choosing the format string per day, loading format sets, snapshots, and the built-in default
// formats as calendar cells, tooltips and the clipboard show them.

#include "core/EventBuilder.h"
#include "format/CDateEntryFormatter.h"
#include "format/FormatTestSupport.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace dv {
namespace {

using test::EventBuilder;
using test::TestSettings;

CDateTime Jan(int day, int hour = 0, int minute = 0) {
    return CDateTime(2007, 1, day, hour, minute, 0);
}

EventBuilder Event(const CDateTime& start) {
    EventBuilder builder;
    builder.StartAt(start).Description("Desc");
    return builder;
}

TEST(FormatForDay, ChoosesTheVariantOfTheDay) {
    struct DayRow {
        const char* name;
        EventBuilder event;
        CDateTime day;
        std::string expected; // the calendar set of the test settings names its variant
    };
    const EventBuilder timed = Event(Jan(10, 10)).End(2007, 1, 10, 11, 30);
    const EventBuilder threeDays = Event(Jan(10)).AllDay().End(2007, 1, 12);
    const EventBuilder toMidnight = Event(Jan(10, 22)).End(2007, 1, 11, 0, 0);
    const std::vector<DayRow> rows = {
        {"timed within the day", timed, Jan(10), "2N"},
        {"all-day without end", Event(Jan(10)).AllDay().NoEnd(), Jan(10), "2S"},
        {"first of three days", threeDays, Jan(10), "2F"},
        {"middle of three days", threeDays, Jan(11), "2M"},
        {"last of three days", threeDays, Jan(12), "2L"},
        {"ending at midnight belongs to the next day", toMidnight, Jan(11), "2L"},
        {"a day outside the occurrence gets the middle string", threeDays, Jan(20), "2M"},
    };
    for (const DayRow& row : rows) {
        CDateEntry entry = row.event.Build();
        CDateEntryFormatter formatter(entry, TestSettings());
        EXPECT_EQ(formatter.FormatForDay(entry.GetFirstStart(), row.day), row.expected) << row.name;
    }
}

TEST(FormatForDay, FormatSetsAndEntriesAreCopiedWhenChosen) {
    FormatSettings settings = TestSettings();
    CDateEntry first = Event(Jan(10, 10)).Description("first").Build();
    CDateEntryFormatter formatter(first, settings);
    EXPECT_EQ(formatter.GetFormats(), settings.EventSets[kFormatSetCalendar]) << "by default";
    for (const int set : {int{kFormatSetCsvTime}, -1, 6}) {
        formatter.SetFormatSet(set);
        EXPECT_EQ(formatter.GetFormats(), settings.EventSets[kFormatSetCsvTime])
            << "set " << set << ": an unknown set keeps the strings";
    }
    EXPECT_EQ(CDateEntryFormatter(first, settings, 9).GetFormats(), FormatSet{})
        << "an unknown set at construction loads nothing";
    // A change of the settings reaches the formatter only when a set is chosen again.
    settings.EventSets[kFormatSetTooltip][kVariantNormal] = "changed";
    formatter.SetFormatSet(kFormatSetTooltip);
    settings.EventSets[kFormatSetTooltip][kVariantNormal] = "changed again";
    EXPECT_EQ(formatter.FormatForDay(Jan(10, 10), Jan(10)), "changed");

    // The text fields come from the snapshot taken when the event was set.
    DateData changed = first.GetData();
    changed.Description = "edited";
    first.AssignData(changed);
    EXPECT_EQ(formatter.Expand("$DESCRIPTION$", Jan(10, 10), Jan(10)), "first");
    CDateEntry second = Event(Jan(12)).AllDay().Description("second").Build();
    formatter.SetEntry(second);
    EXPECT_EQ(formatter.Expand("$DESCRIPTION$ $THIS_AUTO$", Jan(12), Jan(12)), "second 2007-01-12");
    EXPECT_EQ(formatter.FormatForDay(Jan(12), Jan(12)), "1S") << "strings kept";
    formatter.SetEntry(first);
    EXPECT_EQ(formatter.Expand("$DESCRIPTION$", Jan(10, 10), Jan(10)), "edited");
}

} // namespace
} // namespace dv
