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

namespace {

// The position of the first "%<letter>" or "%#<letter>" code at or after `from`, its length in
// *size; npos when there is none. "%%" is skipped as the literal it is.
size_t FindCode(std::string_view format, char letter, size_t from, size_t* size) {
    for (size_t i = from; i + 1 < format.size(); ++i) {
        if (format[i] != '%') {
            continue;
        }
        size_t at = i + 1;
        if (format[at] == '%') {
            ++i;
            continue;
        }
        if (format[at] == '#' && at + 1 < format.size()) {
            ++at;
        }
        if (format[at] == letter) {
            *size = at + 1 - i;
            return i;
        }
    }
    return std::string_view::npos;
}

} // namespace

std::string FormatForClock(std::string_view format, bool twentyFourHour) {
    std::string result(format);
    size_t size = 0;
    if (twentyFourHour) {
        for (size_t at = FindCode(result, 'I', 0, &size); at != std::string::npos;
             at = FindCode(result, 'I', at + size, &size)) {
            result[at + size - 1] = 'H';
        }
        for (size_t at = FindCode(result, 'p', 0, &size); at != std::string::npos;
             at = FindCode(result, 'p', at, &size)) {
            if (at > 0 && result[at - 1] == ' ') {
                result.erase(at - 1, size + 1);
                at -= 1;
            } else if (at + size < result.size() && result[at + size] == ' ') {
                result.erase(at, size + 1);
            } else {
                result.erase(at, size);
            }
        }
        return result;
    }
    if (FindCode(result, 'p', 0, &size) != std::string::npos) {
        return result; // already 12-hour
    }
    for (size_t at = FindCode(result, 'H', 0, &size); at != std::string::npos;
         at = FindCode(result, 'H', at, &size)) {
        result[at + size - 1] = 'I';
        // The marker goes after the minutes and seconds that follow the hour.
        size_t end = at + size;
        size_t part = 0;
        while (end < result.size() && result[end] == ':' &&
               (FindCode(result, 'M', end + 1, &part) == end + 1 ||
                FindCode(result, 'S', end + 1, &part) == end + 1)) {
            end += 1 + part;
        }
        result.insert(end, " %p");
        at = end + 3;
    }
    return result;
}

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
