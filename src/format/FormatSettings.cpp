#include "format/FormatSettings.h"

#include "format/StringIds.h"
#include "format/StringTable.h"

namespace dv {

namespace {

// The five variant ids of each format set, in FormatVariant order.
constexpr uint32_t kSetIds[kFormatSetCount][5] = {
    {kIdsClipboardDateNormal, kIdsClipboardDateSingleday, kIdsClipboardDateMultidayFirst,
     kIdsClipboardDateMultidayMid, kIdsClipboardDateMultidayLast},
    {kIdsTooltipDateNormal, kIdsTooltipDateSingleday, kIdsTooltipDateMultidayFirst,
     kIdsTooltipDateMultidayMid, kIdsTooltipDateMultidayLast},
    {kIdsCalendarDateNormal, kIdsCalendarDateSingleday, kIdsCalendarDateMultidayFirst,
     kIdsCalendarDateMultidayMid, kIdsCalendarDateMultidayLast},
    {kIdsHtmlCalendarTimeNormal, kIdsHtmlCalendarTimeSingleday, kIdsHtmlCalendarTimeMultidayFirst,
     kIdsHtmlCalendarTimeMultidayMid, kIdsHtmlCalendarTimeMultidayLast},
    {kIdsHtmlCalendarDescNormal, kIdsHtmlCalendarDescSingleday, kIdsHtmlCalendarDescMultidayFirst,
     kIdsHtmlCalendarDescMultidayMid, kIdsHtmlCalendarDescMultidayLast},
    {kIdsCsvCalendarTimeNormal, kIdsCsvCalendarTimeSingleday, kIdsCsvCalendarTimeMultidayFirst,
     kIdsCsvCalendarTimeMultidayMid, kIdsCsvCalendarTimeMultidayLast},
};

} // namespace

FormatSettings FormatSettings::Defaults() {
    FormatSettings settings;
    settings.DateFormat = LoadString(kIdsDateFormat);
    settings.TimeFormat = LoadString(kIdsTimeFormat);
    settings.DateTimeFormat = LoadString(kIdsDateTimeFormat);
    for (int set = 0; set < kFormatSetCount; ++set) {
        for (int variant = 0; variant < 5; ++variant) {
            settings.EventSets[set][variant] = LoadString(kSetIds[set][variant]);
        }
    }
    settings.StateValueDone = LoadString(kIdsStateValueDone);
    settings.StateValueOverdue = LoadString(kIdsStateValueOverdue);
    settings.StateValueUndone = LoadString(kIdsStateValueUndone);
    settings.StateValueUrgent = LoadString(kIdsStateValueUrgent);
    return settings;
}

} // namespace dv
