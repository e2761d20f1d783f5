#pragma once

#include "core/CTodoEntry.h"
#include "core/TodoData.h"
#include "format/FormatSettings.h"

#include <string>
#include <string_view>

namespace dv {

/// Turns a to-do into text through the placeholder language (to-do list tooltips, the clipboard,
/// the exports).
///
/// Holds a snapshot of the to-do's data and a reference to the to-do, through which it reads
/// whether it is done and asks whether it is overdue or urgent and for its forewarn span. The
/// to-do and the settings must outlive the formatter.
class CTodoEntryFormatter {
public:
    /// Takes a snapshot of `entry`.
    CTodoEntryFormatter(CTodoEntry& entry, const FormatSettings& settings);
    /// The formatter keeps a reference to the settings: a temporary would be gone before Expand.
    CTodoEntryFormatter(CTodoEntry& entry, const FormatSettings&& settings) = delete;

    /// A new snapshot and reference.
    void SetEntry(CTodoEntry& entry);

    /// Expands `format` for the to-do. Never fails: tokens that are not placeholders pass through
    /// as text, and a deadline that is not shown gives "-".
    std::string Expand(std::string_view format);

private:
    CTodoEntry* m_entry;
    TodoData m_data;
    const FormatSettings* m_settings;
};

} // namespace dv
