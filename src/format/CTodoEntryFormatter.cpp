#include "format/CTodoEntryFormatter.h"

#include "core/CDateTime.h"
#include "format/PlaceholderEngine.h"

#include <optional>

namespace dv {

namespace {

// One expansion's view of the to-do.
class TodoRecord final : public IPlaceholderRecord {
public:
    TodoRecord(const CTodoEntry& entry, const TodoData& data, const FormatSettings& settings)
        : m_entry(entry), m_data(data), m_settings(settings) {}

    bool IsEvent() const override { return false; }
    bool IsTimeOfDayShown() const override { return m_data.ShowDeadlineTime != 0; }

    std::optional<std::string> FieldValue(std::string_view word) override {
        if (word == "DOCUMENT") {
            // Shown whether or not the document is in use.
            return m_data.DocumentFile;
        }
        if (word == "GROUP") {
            return m_data.Group;
        }
        if (word == "PRIORITY") {
            return std::to_string(m_data.Priority);
        }
        if (word == "STATE") {
            return StateText();
        }
        return std::nullopt;
    }

    std::optional<DatePick> PickDate(std::string_view word) override {
        if (word == "NOW") {
            // One reading of the clock per call, so every NOW of one text agrees.
            if (!m_now) {
                m_now = CDateTime::Now();
            }
            return DatePick{*m_now, *m_now, true};
        }
        const bool hasDeadline = m_data.ShowDeadline != 0;
        if (word == "DEADLINE") {
            const CDateTime deadline = EffectiveDeadline();
            return DatePick{deadline, deadline, hasDeadline};
        }
        if (word == "FOREWARN") {
            const CDateTime forewarn = EffectiveDeadline() - m_entry.GetForewarnSpan();
            return DatePick{forewarn, forewarn, hasDeadline};
        }
        return std::nullopt;
    }

    // A to-do has no COUNT type; the grammar never asks.
    int CountOccurrences(const CDateTime&) override { return 0; }

    const std::string& GetDescription() const override { return m_data.Description; }
    const std::string& GetNotes() const override { return m_data.Notes; }

private:
    // The deadline as stored when its time counts, else its date at 00:00:00.
    CDateTime EffectiveDeadline() const {
        return m_data.ShowDeadlineTime != 0 ? m_data.Deadline : m_data.Deadline.GetDate();
    }

    const std::string& StateText() const {
        if (m_entry.IsDone()) {
            return m_settings.StateValueDone;
        }
        if (m_entry.IsOverdue()) {
            return m_settings.StateValueOverdue;
        }
        if (m_entry.IsUrgent()) {
            return m_settings.StateValueUrgent;
        }
        return m_settings.StateValueUndone;
    }

    const CTodoEntry& m_entry;
    const TodoData& m_data;
    const FormatSettings& m_settings;
    std::optional<CDateTime> m_now;
};

} // namespace

CTodoEntryFormatter::CTodoEntryFormatter(CTodoEntry& entry, const FormatSettings& settings)
    : m_entry(&entry), m_data(entry.GetData()), m_settings(&settings) {}

void CTodoEntryFormatter::SetEntry(CTodoEntry& entry) {
    m_entry = &entry;
    m_data = entry.GetData();
}

std::string CTodoEntryFormatter::Expand(std::string_view format) {
    TodoRecord record(*m_entry, m_data, *m_settings);
    return ExpandPlaceholders(format, record, *m_settings);
}

} // namespace dv
