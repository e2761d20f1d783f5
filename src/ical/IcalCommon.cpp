#include "ical/IcalInternal.h"
#include "ical/IcalMapping.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>

namespace dv::ical {

void ComponentFree::operator()(icalcomponent* component) const {
    icalcomponent_free(component);
}

std::string ComponentText(icalcomponent* component) {
    char* text = icalcomponent_as_ical_string_r(component);
    std::string result = text != nullptr ? text : "";
    std::free(text);
    return result;
}

CDateTime UtcOf(const CDateTime& local) {
    const time_t instant = detail::LocalInstant(local);
    std::tm utc{};
    if (gmtime_r(&instant, &utc) == nullptr) {
        return local;
    }
    return CDateTime(utc.tm_year + 1900, utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min,
                     std::min(utc.tm_sec, 59));
}

ComponentPtr NewCalendar() {
    ComponentPtr calendar(icalcomponent_new_vcalendar());
    icalcomponent_add_property(calendar.get(), icalproperty_new_version("2.0"));
    icalcomponent_add_property(calendar.get(),
                               icalproperty_new_prodid("-//Dayvault//Dayvault//EN"));
    return calendar;
}

namespace detail {

namespace {

// One FNV-1a hash, printed in hexadecimal; a fingerprint, not a protection.
std::string HashText(std::string_view text) {
    uint64_t hash = 0xcbf29ce484222325ULL;
    for (const unsigned char c : text) {
        hash = (hash ^ c) * 0x100000001b3ULL;
    }
    char buffer[17];
    std::snprintf(buffer, sizeof buffer, "%016llx", static_cast<unsigned long long>(hash));
    return buffer;
}

void AppendProperty(std::string& out, icalproperty* property) {
    char* text = icalproperty_as_ical_string_r(property);
    if (text != nullptr) {
        out += text;
        std::free(text);
    }
}

} // namespace

void AddLoss(std::vector<std::string>& losses, std::string reason) {
    if (std::find(losses.begin(), losses.end(), reason) == losses.end()) {
        losses.push_back(std::move(reason));
    }
}

std::string Text(const char* value) {
    return value != nullptr ? value : "";
}

std::string Writable(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            if (c >= 0x20 || c == '\n' || c == '\t') {
                out += static_cast<char>(c);
            }
            ++i;
            continue;
        }
        // A UTF-8 sequence is kept whole; a broken one becomes U+FFFD, since libical's line
        // folding may cut between its bytes.
        const size_t length = c >= 0xF0 && c <= 0xF4  ? 4
                              : c >= 0xE0             ? 3
                              : c >= 0xC2 && c < 0xE0 ? 2
                                                      : 0;
        bool valid = length > 0 && i + length <= text.size() && c < 0xF5;
        for (size_t k = 1; valid && k < length; ++k) {
            valid = (static_cast<unsigned char>(text[i + k]) & 0xC0) == 0x80;
        }
        if (valid) {
            out.append(text.substr(i, length));
            i += length;
        } else {
            out += "\xEF\xBF\xBD";
            ++i;
        }
    }
    return out;
}

CDateTime WallTime(const icaltimetype& t) {
    if (t.is_date) {
        return CDateTime(t.year, t.month, t.day);
    }
    return CDateTime(t.year, t.month, t.day, t.hour, t.minute, std::min(t.second, 59));
}

CDateTime ToLocal(const icaltimetype& t) {
    const bool utc = icaltime_is_utc(t);
    if (t.is_date || (!utc && t.zone == nullptr)) {
        return WallTime(t);
    }
    const time_t instant = icaltime_as_timet_with_zone(t, t.zone);
    std::tm local{};
    if (localtime_r(&instant, &local) == nullptr) {
        return WallTime(t);
    }
    return CDateTime(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                     local.tm_min, std::min(local.tm_sec, 59));
}

icaltimetype Floating(const CDateTime& value, bool isDate) {
    icaltimetype t = icaltime_null_time();
    t.year = value.GetYear();
    t.month = value.GetMonth();
    t.day = value.GetDay();
    t.is_date = isDate ? 1 : 0;
    if (!isDate) {
        t.hour = value.GetHour();
        t.minute = value.GetMinute();
        t.second = value.GetSecond();
    }
    return t;
}

time_t LocalInstant(const CDateTime& value) {
    std::tm local{};
    local.tm_year = value.GetYear() - 1900;
    local.tm_mon = value.GetMonth() - 1;
    local.tm_mday = value.GetDay();
    local.tm_hour = value.GetHour();
    local.tm_min = value.GetMinute();
    local.tm_sec = value.GetSecond();
    local.tm_isdst = -1;
    return std::mktime(&local);
}

std::string Fingerprint(icalcomponent* component, std::initializer_list<icalproperty_kind> kinds,
                        bool alarms) {
    std::string text;
    for (const icalproperty_kind kind : kinds) {
        for (icalproperty* p = icalcomponent_get_first_property(component, kind); p != nullptr;
             p = icalcomponent_get_next_property(component, kind)) {
            AppendProperty(text, p);
        }
    }
    if (alarms) {
        for (icalcomponent* alarm =
                 icalcomponent_get_first_component(component, ICAL_VALARM_COMPONENT);
             alarm != nullptr;
             alarm = icalcomponent_get_next_component(component, ICAL_VALARM_COMPONENT)) {
            // Only the trigger: the alarm's texts do not change when it rings.
            for (icalproperty* p = icalcomponent_get_first_property(alarm, ICAL_TRIGGER_PROPERTY);
                 p != nullptr; p = icalcomponent_get_next_property(alarm, ICAL_TRIGGER_PROPERTY)) {
                AppendProperty(text, p);
            }
        }
    }
    return HashText(text);
}

std::optional<std::string> XValue(icalcomponent* component, std::string_view name) {
    for (icalproperty* p = icalcomponent_get_first_property(component, ICAL_X_PROPERTY);
         p != nullptr; p = icalcomponent_get_next_property(component, ICAL_X_PROPERTY)) {
        const char* pname = icalproperty_get_x_name(p);
        if (pname != nullptr && name == pname) {
            const char* value = icalproperty_get_x(p);
            return std::string(value != nullptr ? value : "");
        }
    }
    return std::nullopt;
}

void AddX(icalcomponent* component, const char* name, const std::string& value) {
    icalproperty* p = icalproperty_new_x(value.c_str());
    icalproperty_set_x_name(p, name);
    icalcomponent_add_property(component, p);
}

namespace {
constexpr char kBase64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
}

std::string Base64Encode(const std::string& bytes) {
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        const uint32_t v = uint32_t(uint8_t(bytes[i])) << 16 |
                           uint32_t(uint8_t(bytes[i + 1])) << 8 | uint8_t(bytes[i + 2]);
        out += kBase64[v >> 18];
        out += kBase64[(v >> 12) & 63];
        out += kBase64[(v >> 6) & 63];
        out += kBase64[v & 63];
    }
    if (i < bytes.size()) {
        uint32_t v = uint32_t(uint8_t(bytes[i])) << 16;
        if (i + 1 < bytes.size()) {
            v |= uint32_t(uint8_t(bytes[i + 1])) << 8;
        }
        out += kBase64[v >> 18];
        out += kBase64[(v >> 12) & 63];
        out += i + 1 < bytes.size() ? kBase64[(v >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}

std::optional<std::string> Base64Decode(std::string_view text) {
    std::array<int, 256> value{};
    value.fill(-1);
    for (int i = 0; i < 64; ++i) {
        value[static_cast<unsigned char>(kBase64[i])] = i;
    }
    std::string out;
    uint32_t buffer = 0;
    int bits = 0;
    size_t padding = 0;
    for (const unsigned char c : text) {
        if (c == '=') {
            ++padding;
            continue;
        }
        if (padding > 0 || value[c] < 0) {
            return std::nullopt;
        }
        buffer = (buffer << 6) | static_cast<uint32_t>(value[c]);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out += static_cast<char>((buffer >> bits) & 0xFF);
        }
    }
    if (padding > 2) {
        return std::nullopt;
    }
    return out;
}

std::string DurationText(int64_t seconds) {
    std::string sign = seconds < 0 ? "-" : "";
    uint64_t s = seconds < 0 ? uint64_t(-(seconds + 1)) + 1 : uint64_t(seconds);
    if (s == 0) {
        return "PT0S";
    }
    if (s % 604800 == 0) {
        return sign + "P" + std::to_string(s / 604800) + "W";
    }
    if (s % 86400 == 0) {
        return sign + "P" + std::to_string(s / 86400) + "D";
    }
    if (s % 3600 == 0) {
        return sign + "PT" + std::to_string(s / 3600) + "H";
    }
    if (s % 60 == 0) {
        return sign + "PT" + std::to_string(s / 60) + "M";
    }
    return sign + "PT" + std::to_string(s) + "S";
}

std::string TimingCheck(icalcomponent* c) {
    return Fingerprint(c, {ICAL_DTSTART_PROPERTY, ICAL_DTEND_PROPERTY, ICAL_DURATION_PROPERTY,
                           ICAL_DUE_PROPERTY, ICAL_RRULE_PROPERTY, ICAL_RDATE_PROPERTY,
                           ICAL_EXDATE_PROPERTY, ICAL_EXRULE_PROPERTY, ICAL_STATUS_PROPERTY,
                           ICAL_PERCENTCOMPLETE_PROPERTY, ICAL_COMPLETED_PROPERTY});
}

std::string AlarmCheck(icalcomponent* c) {
    return Fingerprint(c, {}, true);
}

std::string ColorCheck(icalcomponent* c) {
    return Fingerprint(c, {ICAL_COLOR_PROPERTY});
}

std::string CheckValue(icalcomponent* c) {
    return "timing=" + TimingCheck(c) + " alarm=" + AlarmCheck(c) + " color=" + ColorCheck(c);
}

std::string CheckPart(std::string_view checkValue, std::string_view group) {
    const std::string key = std::string(group) + "=";
    size_t at = 0;
    while ((at = checkValue.find(key, at)) != std::string_view::npos) {
        if (at == 0 || checkValue[at - 1] == ' ') {
            const size_t begin = at + key.size();
            const size_t end = checkValue.find(' ', begin);
            return std::string(checkValue.substr(
                begin, end == std::string_view::npos ? std::string_view::npos : end - begin));
        }
        at += key.size();
    }
    return {};
}

std::optional<uint32_t> ParseColor(std::string_view text) {
    // The CSS names calendar programs actually write; anything else keeps the field's colour.
    static const std::map<std::string, uint32_t> kNames = {
        {"black", 0x000000},   {"white", 0xFFFFFF},   {"red", 0xFF0000},    {"lime", 0x00FF00},
        {"blue", 0x0000FF},    {"yellow", 0xFFFF00},  {"cyan", 0x00FFFF},   {"aqua", 0x00FFFF},
        {"magenta", 0xFF00FF}, {"fuchsia", 0xFF00FF}, {"silver", 0xC0C0C0}, {"gray", 0x808080},
        {"grey", 0x808080},    {"maroon", 0x800000},  {"olive", 0x808000},  {"green", 0x008000},
        {"purple", 0x800080},  {"teal", 0x008080},    {"navy", 0x000080},   {"orange", 0xFFA500},
        {"pink", 0xFFC0CB},    {"brown", 0xA52A2A},   {"gold", 0xFFD700},   {"turquoise", 0x40E0D0},
        {"violet", 0xEE82EE},  {"indigo", 0x4B0082},  {"coral", 0xFF7F50},  {"salmon", 0xFA8072},
        {"tomato", 0xFF6347},
    };
    uint32_t rgb = 0;
    if (text.size() == 7 && text[0] == '#' &&
        std::all_of(text.begin() + 1, text.end(),
                    [](unsigned char c) { return std::isxdigit(c) != 0; })) {
        rgb = static_cast<uint32_t>(std::strtoul(std::string(text.substr(1)).c_str(), nullptr, 16));
    } else {
        std::string lower(text);
        std::transform(lower.begin(), lower.end(), lower.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        const auto it = kNames.find(lower);
        if (it == kNames.end()) {
            return std::nullopt;
        }
        rgb = it->second;
    }
    return ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF);
}

std::string ColorText(uint32_t bgr) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "#%02X%02X%02X", bgr & 0xFF, (bgr >> 8) & 0xFF,
                  (bgr >> 16) & 0xFF);
    return buffer;
}

} // namespace detail

} // namespace dv::ical
