#pragma once

// Helpers shared by the two directions of the mapping; not part of the library's interface.

#include "core/CDateTime.h"
#include "core/DateData.h"

#include <cstdint>
#include <ctime>
#include <initializer_list>
#include <libical/ical.h>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dv::ical::detail {

/// Appends `reason` unless the list has it already.
void AddLoss(std::vector<std::string>& losses, std::string reason);
/// A C text of libical, empty for none.
std::string Text(const char* value);

/// `text` as a text property can carry it: without carriage returns and the other control
/// characters but line feed and tab (libical would write them as they are and read them back as
/// line breaks), and with every byte that is not part of a UTF-8 sequence replaced by U+FFFD.
std::string Writable(std::string_view text);

/// Sets the repetition fields of `data` for `rule`, whose first occurrence is `first` (local
/// time), and lists what the model cannot hold in `losses`. The end (COUNT, UNTIL) is left to
/// the caller.
void MapRule(const icalrecurrencetype& rule, const CDateTime& first, DateData& data,
             std::vector<std::string>& losses);

/// The wall-clock fields of `t` as they stand (no zone conversion); a DATE at 00:00:00. A leap
/// second is taken as :59.
CDateTime WallTime(const icaltimetype& t);

/// `t` in the process's local time: UTC and zoned times converted through the system's zone
/// rules, floating times and dates as they stand.
CDateTime ToLocal(const icaltimetype& t);

/// A floating DATE-TIME, or a DATE, with the fields of `value`.
icaltimetype Floating(const CDateTime& value, bool isDate);

/// The instant of a local time (the earlier one where the clock goes back).
time_t LocalInstant(const CDateTime& value);

/// A fingerprint of the properties of `kinds` on `component`, and of its VALARMs when `alarms`:
/// what libical writes for them, so that a calendar another program rewrote differently no
/// longer matches the values this program wrote.
std::string Fingerprint(icalcomponent* component, std::initializer_list<icalproperty_kind> kinds,
                        bool alarms = false);

/// The value of the first X-property named `name`, if any.
std::optional<std::string> XValue(icalcomponent* component, std::string_view name);
void AddX(icalcomponent* component, const char* name, const std::string& value);

std::string Base64Encode(const std::string& bytes);
/// nullopt when `text` is not base64.
std::optional<std::string> Base64Decode(std::string_view text);

/// "P1W", "PT15M": a duration in the largest whole unit; negative with a leading "-".
std::string DurationText(int64_t seconds);

// Names of the X-properties and the keys of the fingerprint property.
inline constexpr const char* kXRecord = "X-DAYVAULT-RECORD";
inline constexpr const char* kXCheck = "X-DAYVAULT-CHECK";

/// The fingerprint groups: what each group of record fields is stated by.
std::string TimingCheck(icalcomponent* component);
std::string AlarmCheck(icalcomponent* component);
std::string ColorCheck(icalcomponent* component);
/// "timing=...;alarm=...;color=..." for X-DAYVAULT-CHECK.
std::string CheckValue(icalcomponent* component);
/// One group's value out of an X-DAYVAULT-CHECK text; empty when missing.
std::string CheckPart(std::string_view checkValue, std::string_view group);

/// 0x00BBGGRR from "#RRGGBB" or a CSS colour name libical passes on; nullopt when unknown.
std::optional<uint32_t> ParseColor(std::string_view text);
std::string ColorText(uint32_t bgr);

} // namespace dv::ical::detail
