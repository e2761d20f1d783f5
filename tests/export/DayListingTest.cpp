#include "export/DayListing.h"

#include "core/EventBuilder.h"
#include "core/TextCompare.h"
#include "export/HtmlExport.h"
#include "format/CDateEntryFormatter.h"
#include "support/Occurrences.h"
#include "support/Random.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <iterator>
#include <memory>
#include <string>
#include <tuple>
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

// The listing's integer rule and the pages' floating-point one must agree on every colour;
// the rows pin the threshold itself, which both could get wrong together.
TEST(DayListing, ContrastRuleAtItsThresholdAndOnEveryColour) {
    struct Row {
        const char* name;
        uint32_t background;
        uint32_t text;
    };
    const Row rows[] = {
        {"grey 127 just below", 0x7F7F7F, 0xFFFFFF},
        {"grey 128 exactly at the threshold", 0x808080, 0x000000},
        {"green 178 just below", 0x00B200, 0xFFFFFF},
        {"green 179 just above", 0x00B300, 0x000000},
        {"blue weighs least", 0xFF0000, 0xFFFFFF},
        {"yellow is light", 0x00FFFF, 0x000000},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(ContrastTextColor(row.background), row.text) << row.name;
    }
    for (uint32_t color = 0; color <= 0xFFFFFF; ++color) {
        ASSERT_EQ(ContrastTextColor(color), HtmlExport::ContrastColor(color)) << std::hex << color;
    }
}

TEST(DayListing, DisplayColoursDoneAndSnoozedMarking) {
    FormatSettings formats = FormatSettings::Defaults();
    const CDateTime start(2007, 3, 5, 9, 0, 0);
    enum class State { Pending, Done, Snoozed };
    struct Row {
        const char* name;
        int32_t display;
        State state;
        int32_t marking;
        uint32_t text;
        uint32_t background;
        int32_t style;
    };
    const uint32_t field = 0x302010; // dark: white text by the contrast rule
    const uint32_t font = 0x0000C0;
    const Row rows[] = {
        {"normal", 0, State::Pending, 3, kColorWindowText, kColorWindow, 0},
        {"coloured field", 2, State::Pending, 3, 0xFFFFFF, field, 0},
        {"coloured text", 3, State::Pending, 3, font, kColorWindow, 0},
        {"unknown display", 7, State::Pending, 3, kColorWindowText, kColorWindow, 0},
        {"done, marking 3: grey and struck out", 0, State::Done, 3, kColorGrayText, kColorWindow,
         kStyleStrikeOut},
        {"done field, marking 3: button face behind", 2, State::Done, 3, kColorGrayText,
         kColorButtonFace, kStyleStrikeOut},
        {"done field, marking 4: inverted window colours", 2, State::Done, 4, kColorWindow,
         kColorWindowText, 0},
        {"done field, marking 6: grey on window text", 2, State::Done, 6, kColorGrayText,
         kColorWindowText, 0},
        {"done text colour, marking 2 keeps the window", 3, State::Done, 2, kColorGrayText,
         kColorWindow, 0},
        {"done, marking 7", 0, State::Done, 7, kColorGrayText, kColorWindowText, kStyleStrikeOut},
        {"done, marking 1 keeps the colours", 3, State::Done, 1, font, kColorWindow,
         kStyleStrikeOut},
        {"done, marking 0 changes nothing", 2, State::Done, 0, 0xFFFFFF, field, 0},
        {"snoozed is italic", 0, State::Snoozed, 3, kColorWindowText, kColorWindow, kStyleItalic},
        {"snoozed field keeps its colours", 2, State::Snoozed, 7, 0xFFFFFF, field, kStyleItalic},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EventBuilder builder = EventBuilder().StartAt(start).Description("x");
        builder.MutableData().Display = row.display;
        builder.MutableData().DisplayColor = field;
        builder.MutableData().FontColor = font;
        auto events = Events({builder});
        if (row.state == State::Done) {
            events[0]->SetDone(start, true);
        } else if (row.state == State::Snoozed) {
            events[0]->Snooze(start, CDateTime(2007, 3, 5, 9, 30, 0));
        }
        ASSERT_EQ(events[0]->IsDone(start), row.state == State::Done);
        ASSERT_EQ(events[0]->IsSnoozed(start), row.state == State::Snoozed);
        DayListingOptions options;
        options.showHidden = true;
        options.doneEventsMarking = row.marking;
        const auto days = BuildDayListing(events, start, 1, formats, options);
        ASSERT_EQ(days[0].size(), 1u);
        const DayEntry& entry = days[0][0];
        EXPECT_EQ(entry.textColor, row.text);
        EXPECT_EQ(entry.backgroundColor, row.background);
        EXPECT_EQ(entry.style, row.style);
    }
}

TEST(DayListing, IconsByStorageType) {
    EventBuilder shared = EventBuilder().Start(2007, 3, 5, 9, 0).Description("shared");
    shared.MutableData().StorageType = 1;
    auto events = Events({shared, EventBuilder().Start(2007, 3, 5, 10, 0).Description("local")});
    for (const bool network : {false, true}) {
        for (const bool local : {false, true}) {
            DayListingOptions options;
            options.showNetworkIcon = network;
            options.showLocalIcon = local;
            const auto days = BuildDayListing(events, CDateTime(2007, 3, 5), 1,
                                              FormatSettings::Defaults(), options);
            ASSERT_EQ(days[0].size(), 2u);
            EXPECT_EQ(days[0][0].icon, network ? EntryIcon::Shared : EntryIcon::None);
            EXPECT_EQ(days[0][1].icon, local ? EntryIcon::Local : EntryIcon::None);
        }
    }
    EXPECT_FALSE(IsSystemColor(0xFFFFFF));
    EXPECT_TRUE(IsSystemColor(kColorGrayText));
}

// The listing against a plain one built the obvious way: every entry's text from a formatter made
// for that entry alone, each day sorted stably with the text comparison itself. Random events
// share starts, durations and descriptions that differ only in letter case, so the ordering's
// tie-breaks are exercised; formats mix texts that depend on the occurrence with ones that do not.
std::vector<std::vector<DayEntry>>
ReferenceListing(const std::vector<std::unique_ptr<CDateEntry>>& events, const CDateTime& firstDay,
                 int dayCount, const FormatSettings& formats) {
    std::vector<std::vector<DayEntry>> days(static_cast<size_t>(dayCount));
    const CDateTime first = firstDay.GetDate();
    const CDateTime last = first + CDateTimeSpan(dayCount - 1, 23, 59, 59);
    for (const auto& owned : events) {
        CDateEntry& event = *owned;
        if (event.GetData().Display == 1) {
            continue;
        }
        test::ForEachOccurrence(
            event, first, last, [&](const CDateTime& start, const CDateTime& end) {
                const int32_t from = std::max(start.GetDayNumber(), first.GetDayNumber());
                const int32_t to = std::min(end.GetDayNumber(), last.GetDayNumber());
                for (int32_t day = from; day <= to; ++day) {
                    CDateEntryFormatter formatter(event, formats, kFormatSetCalendar);
                    DayEntry entry;
                    entry.event = &event;
                    entry.occurrenceStart = start;
                    entry.duration = event.GetDuration();
                    entry.text = formatter.FormatForDay(start, CDateTime::FromDayNumber(day));
                    days[static_cast<size_t>(day - first.GetDayNumber())].push_back(entry);
                }
            });
    }
    for (auto& entries : days) {
        std::stable_sort(entries.begin(), entries.end(), [](const DayEntry& a, const DayEntry& b) {
            if (a.occurrenceStart != b.occurrenceStart) {
                return a.occurrenceStart < b.occurrenceStart;
            }
            if (a.duration != b.duration) {
                return a.duration > b.duration;
            }
            return CompareNoCase(a.event->GetData().Description, b.event->GetData().Description) <
                   0;
        });
    }
    return days;
}

std::vector<std::unique_ptr<CDateEntry>> RandomCalendar(test::Random& random, int count) {
    static const char* const kDescriptions[] = {"alpha",
                                                "Alpha",
                                                "ALPHA",
                                                "beta",
                                                "\xC3\x84rger",
                                                "\xC3\xA4rger",
                                                "Zeta",
                                                "",
                                                "Meet $CATEGORY$",
                                                "Due $THIS_START_DATE$",
                                                "$NOTES$ again",
                                                "$$odd$",
                                                "$NEXT_DATE$"};
    static const char* const kNotes[] = {"", "room 4", "from $THIS_START_TIME$"};
    const auto pick = [&random](int low, int high) { return random.Int(low, high); };
    const CDateTime origin(2007, 3, 1);
    std::vector<std::unique_ptr<CDateEntry>> events;
    for (int i = 0; i < count; ++i) {
        DateData d;
        d.Description = kDescriptions[pick(0, std::size(kDescriptions) - 1)];
        d.Notes = kNotes[pick(0, std::size(kNotes) - 1)];
        d.Category = pick(0, 1) == 0 ? "Work" : "home";
        d.StartDate = origin + CDateTimeSpan(pick(-20, 40), pick(8, 10), pick(0, 1) * 30, 0);
        d.ShowStartTime = pick(0, 3) == 0 ? 0 : 1;
        d.ShowEnd = pick(0, 4) == 0 ? 0 : 1;
        d.EndDate = d.StartDate + CDateTimeSpan(pick(0, 5) == 0 ? pick(1, 3) : 0, pick(0, 1), 0, 0);
        d.Display = pick(0, 9) == 0 ? 1 : 0;
        const int repeat = pick(0, 9);
        if (repeat >= 6) {
            d.Repeat = kRepeatInterval;
            d.RepeatRate = pick(1, 2);
            d.RepeatUnit = repeat == 6 ? kRepeatDays : (repeat == 7 ? kRepeatWeeks : kRepeatMonths);
            if (pick(0, 2) == 0) {
                d.RepeatEnd = kRepeatEndAfterCount;
                d.RepeatEndCount = pick(1, 12);
            }
        }
        auto event = std::make_unique<CDateEntry>(origin);
        event->AssignData(d);
        events.push_back(std::move(event));
    }
    return events;
}

// What the reference fills in of each entry, day by day.
std::vector<std::vector<std::tuple<const CDateEntry*, CDateTime, CDateTimeSpan, std::string>>>
Fields(const std::vector<std::vector<DayEntry>>& days) {
    std::vector<std::vector<std::tuple<const CDateEntry*, CDateTime, CDateTimeSpan, std::string>>>
        fields(days.size());
    for (size_t day = 0; day < days.size(); ++day) {
        for (const DayEntry& e : days[day]) {
            fields[day].emplace_back(e.event, e.occurrenceStart, e.duration, e.text);
        }
    }
    return fields;
}

TEST(DayListing, MatchesAPlainListingOnRandomCalendars) {
    FormatSettings custom = FormatSettings::Defaults();
    custom.EventSets[kFormatSetCalendar] = {
        "[$CATEGORY$] $DESCRIPTION$", "$THISSELECTED_STARTTOEND_AUTO$ $DESCRIPTION$",
        "$THIS_COUNT$. $DESCRIPTION$ $R_NOTES$", "$SPAN_DAYS$ middle",
        "$DESCRIPTION$ ends $THIS_END_AUTOTIME$"};
    const FormatSettings settings[] = {FormatSettings::Defaults(), custom};
    test::Random random(424242);
    for (int round = 0; round < 40; ++round) {
        const auto events = RandomCalendar(random, 60);
        const FormatSettings& formats = settings[round % 2];
        const CDateTime firstDay(2007, 3, 1 + round % 20);
        const int dayCount = 1 + round % 25;
        const auto expected = ReferenceListing(events, firstDay, dayCount, formats);
        // Twice: the scan state the first listing leaves behind must not change the second.
        // The second pass shares the events among threads, which must not change the order.
        for (int pass = 0; pass < 2; ++pass) {
            DayListingOptions options;
            options.threads = pass == 0 ? 1 : 2 + round % 3;
            const auto actual = BuildDayListing(events, firstDay, dayCount, formats, options);
            ASSERT_EQ(Fields(actual), Fields(expected)) << "round " << round << " pass " << pass;
        }
    }
}

} // namespace
} // namespace dv

namespace dv {
namespace {

TEST(DayListing, ShortFormatsDropOnlyTheEndTimeOfTheirSet) {
    FormatSettings formats = FormatSettings::Defaults();
    formats.EventSets[kFormatSetCalendar][kVariantSingleDay] =
        "STARTTOEND_ $THIS_STARTTOEND_AUTO$ $NEXT_STARTTOEND_DATE$";
    const FormatSettings reduced = WithoutEndTimes(formats, kFormatSetCalendar);
    EXPECT_EQ(reduced.EventSets[kFormatSetCalendar][kVariantNormal],
              "$THIS_AUTOTIME_S$$DESCRIPTION$");
    // Literal text outside the placeholders stays.
    EXPECT_EQ(reduced.EventSets[kFormatSetCalendar][kVariantSingleDay],
              "STARTTOEND_ $THIS_AUTO$ $NEXT_DATE$");
    EXPECT_EQ(reduced.EventSets[kFormatSetTooltip], formats.EventSets[kFormatSetTooltip]);
    EXPECT_EQ(reduced.TimeFormat, "%#I:%M %p");

    // 10:00 to 12:00: the start and the description, without " - 12:00".
    formats.TimeFormat = "%H:%M";
    auto event = std::make_unique<CDateEntry>(
        test::EventBuilder().Start(2026, 12, 10, 10, 0).End(2026, 12, 10, 12, 0).Description("Dentist")
            .Build());
    DayEntry entry;
    entry.event = event.get();
    entry.occurrenceStart = event->GetData().StartDate;
    entry.duration = CDateTimeSpan(0, 2, 0, 0);
    const CDateTime day(2026, 12, 10);
    EXPECT_EQ(FormatDayEntry(entry, day, formats, kFormatSetCalendar), "10:00 - 12:00 Dentist");
    EXPECT_EQ(FormatDayEntry(entry, day, WithoutEndTimes(formats, kFormatSetCalendar),
                             kFormatSetCalendar),
              "10:00 Dentist");
}

} // namespace
} // namespace dv
