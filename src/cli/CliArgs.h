#pragma once

#include "core/CDateTime.h"

#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace dv::cli {

/// A usage error: unknown subcommand or option, a missing or bad value. Exit code 2.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// An operation that failed on its files. Exit code 1.
class OperationError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// The command line split into positional arguments, options with values and flags. The
/// options every subcommand takes (--now, --settings, --program-folder) are recognised anywhere.
class CliArgs {
public:
    /// `valueOptions` and `flags` are the options the subcommand takes besides the common ones
    /// (names with their leading "--"). Throws UsageError for anything else.
    CliArgs(const std::vector<std::string>& args, const std::set<std::string>& valueOptions,
            const std::set<std::string>& flags);

    const std::vector<std::string>& Positional() const { return m_positional; }
    /// Exactly `count` positional arguments, or a UsageError naming what is missing or extra.
    void RequirePositional(size_t count, const std::string& names) const;

    bool Has(const std::string& option) const;
    std::optional<std::string> Value(const std::string& option) const;
    /// The value of a required option.
    std::string Required(const std::string& option) const;
    bool HelpRequested() const { return m_help; }

    /// "YYYY-MM-DD HH:MM:SS" or "YYYY-MM-DD" (00:00:00); anything else is a usage error.
    static CDateTime ParseDateTime(const std::string& option, const std::string& text);
    /// A decimal integer within [min, max], both inclusive.
    static int ParseInt(const std::string& option, const std::string& text, int min, int max);

private:
    std::vector<std::string> m_positional;
    std::map<std::string, std::string> m_values;
    std::set<std::string> m_flags;
    bool m_help = false;
};

} // namespace dv::cli
