#include "cli/CliArgs.h"

#include <charconv>

namespace dv::cli {

namespace {

const std::set<std::string> kCommonValueOptions = {"--now", "--settings", "--program-folder"};

// Reads exactly `width` digits at `pos`.
bool ReadDigits(const std::string& text, size_t pos, size_t width, int& value) {
    if (pos + width > text.size()) {
        return false;
    }
    value = 0;
    for (size_t i = pos; i < pos + width; ++i) {
        if (text[i] < '0' || text[i] > '9') {
            return false;
        }
        value = value * 10 + (text[i] - '0');
    }
    return true;
}

} // namespace

CliArgs::CliArgs(const std::vector<std::string>& args, const std::set<std::string>& valueOptions,
                 const std::set<std::string>& flags) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            m_help = true;
            continue;
        }
        if (arg.size() > 2 && arg.compare(0, 2, "--") == 0) {
            std::string name = arg;
            std::optional<std::string> inlineValue;
            if (const size_t eq = arg.find('='); eq != std::string::npos) {
                name = arg.substr(0, eq);
                inlineValue = arg.substr(eq + 1);
            }
            if (kCommonValueOptions.count(name) != 0 || valueOptions.count(name) != 0) {
                if (!inlineValue) {
                    if (i + 1 >= args.size()) {
                        throw UsageError("option " + name + " needs a value");
                    }
                    inlineValue = args[++i];
                }
                if (!m_values.emplace(name, *inlineValue).second) {
                    throw UsageError("option " + name + " given twice");
                }
            } else if (flags.count(name) != 0 && !inlineValue) {
                m_flags.insert(name);
            } else {
                throw UsageError("unknown option " + arg);
            }
            continue;
        }
        m_positional.push_back(arg);
    }
}

void CliArgs::RequirePositional(size_t count, const std::string& names) const {
    if (m_positional.size() < count) {
        throw UsageError("missing argument: expected " + names);
    }
    if (m_positional.size() > count) {
        throw UsageError("unexpected argument '" + m_positional[count] + "'");
    }
}

bool CliArgs::Has(const std::string& option) const {
    return m_flags.count(option) != 0 || m_values.count(option) != 0;
}

std::optional<std::string> CliArgs::Value(const std::string& option) const {
    const auto it = m_values.find(option);
    if (it == m_values.end()) {
        return std::nullopt;
    }
    return it->second;
}

std::string CliArgs::Required(const std::string& option) const {
    const auto value = Value(option);
    if (!value) {
        throw UsageError("option " + option + " is required");
    }
    return *value;
}

CDateTime CliArgs::ParseDateTime(const std::string& option, const std::string& text) {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
    bool ok = (text.size() == 10 || text.size() == 19) && ReadDigits(text, 0, 4, year) &&
              text[4] == '-' && ReadDigits(text, 5, 2, month) && text[7] == '-' &&
              ReadDigits(text, 8, 2, day);
    if (ok && text.size() == 19) {
        ok = text[10] == ' ' && ReadDigits(text, 11, 2, hour) && text[13] == ':' &&
             ReadDigits(text, 14, 2, minute) && text[16] == ':' && ReadDigits(text, 17, 2, second);
    }
    CDateTime value;
    if (!ok || year < 1 || !value.Set(year, month, day, hour, minute, second)) {
        throw UsageError("invalid date-time for " + option + ": '" + text +
                         "' (expected YYYY-MM-DD or YYYY-MM-DD HH:MM:SS)");
    }
    return value;
}

int CliArgs::ParseInt(const std::string& option, const std::string& text, int min, int max) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < min || value > max) {
        throw UsageError("invalid value for " + option + ": '" + text + "' (a whole number from " +
                         std::to_string(min) + " to " + std::to_string(max) + ")");
    }
    return value;
}

} // namespace dv::cli
