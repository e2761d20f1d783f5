#include "export/DayListing.h"

#include "core/EventBuilder.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace dv {
namespace {

using test::EventBuilder;

std::vector<std::unique_ptr<CDateEntry>> Events(std::initializer_list<EventBuilder> builders) {
    std::vector<std::unique_ptr<CDateEntry>> events;
    for (const EventBuilder& builder : builders) {
        events.push_back(std::make_unique<CDateEntry>(builder.Build()));
    }
    return events;
}

std::vector<std::string> Texts(const std::vector<DayEntry>& entries) {
    std::vector<std::string> texts;
    for (const DayEntry& entry : entries) {
        texts.push_back(entry.text);
    }
    return texts;
}

TEST(DayListing, MultiDayOccurrenceIsListedOnEachDayWithItsVariant) {
    FormatSettings formats = FormatSettings::Defaults();
    auto events = Events(
        {EventBuilder().Start(2007, 3, 5).End(2007, 3, 7).AllDay().Description("Conference")});
    const auto days = BuildDayListing(events, CDateTime(2007, 3, 4), 5, formats);
    ASSERT_EQ(days.size(), 5u);
    EXPECT_TRUE(days[0].empty()) << "the day before";
    EXPECT_EQ(Texts(days[1]), std::vector<std::string>{"Conference >>"});
    EXPECT_EQ(Texts(days[2]), std::vector<std::string>{">> Conference >>"});
    EXPECT_EQ(Texts(days[3]), std::vector<std::string>{">> Conference"});
    EXPECT_TRUE(days[4].empty()) << "the day after";
}

TEST(DayListing, EntryOrderIsStartThenLongerFirstThenDescriptionIgnoringCase) {
    FormatSettings formats = FormatSettings::Defaults();
    formats.EventSets[kFormatSetCalendar].fill("$DESCRIPTION$");
    auto events = Events({
        EventBuilder().Start(2007, 3, 5, 9, 0).End(2007, 3, 5, 10, 0).Description("one hour"),
        EventBuilder().Start(2007, 3, 5, 9, 0).End(2007, 3, 5, 11, 0).Description("two hours"),
        EventBuilder().Start(2007, 3, 5, 8, 0).Description("early"),
        EventBuilder().Start(2007, 3, 5, 12, 0).Description("beta"),
        EventBuilder().Start(2007, 3, 5, 12, 0).Description("Alpha"),
        EventBuilder().Start(2007, 3, 5, 12, 0).Description("alpha"),
    });
    const auto days = BuildDayListing(events, CDateTime(2007, 3, 5), 1, formats);
    ASSERT_EQ(days.size(), 1u);
    EXPECT_EQ(Texts(days[0]), (std::vector<std::string>{"early", "two hours", "one hour", "Alpha",
                                                        "alpha", "beta"}));
}

TEST(DayListing, HiddenEventsAndFilteredOccurrencesAreLeftOut) {
    FormatSettings formats = FormatSettings::Defaults();
    formats.EventSets[kFormatSetCalendar].fill("$DESCRIPTION$");
    EventBuilder hidden = EventBuilder().Start(2007, 3, 5, 9, 0).Description("hidden");
    hidden.MutableData().Display = 1;
    auto events = Events(
        {hidden,
         EventBuilder().Start(2007, 3, 5, 10, 0).Every(1, kRepeatDays).Description("daily")});
    auto days = BuildDayListing(events, CDateTime(2007, 3, 5), 3, formats);
    EXPECT_EQ(Texts(days[0]), std::vector<std::string>{"daily"});

    DayListingOptions options;
    options.showHidden = true;
    options.filter = [](const CDateEntry&, const CDateTime& start) { return start.GetDay() != 6; };
    days = BuildDayListing(events, CDateTime(2007, 3, 5), 3, formats, options);
    EXPECT_EQ(Texts(days[0]), (std::vector<std::string>{"hidden", "daily"}));
    EXPECT_TRUE(days[1].empty()) << "the filter refused the 6th";
    EXPECT_EQ(Texts(days[2]), std::vector<std::string>{"daily"});
}

TEST(DayListing, CaptionAddsTheWeekOnMondaysOnly) {
    EXPECT_EQ(DayCaption(CDateTime(2007, 3, 5), "%a, %b %d", true, "(Week %W)"),
              "Mon, Mar 05 (Week 10)");
    EXPECT_EQ(DayCaption(CDateTime(2007, 3, 6), "%a, %b %d", true, "(Week %W)"), "Tue, Mar 06");
    EXPECT_EQ(DayCaption(CDateTime(2007, 3, 5), "%a, %b %d", false, "(Week %W)"), "Mon, Mar 05");
}

} // namespace
} // namespace dv
