#pragma once

// For the document tests: random documents and their comparison, a view that writes down every
// hint the document sends, and entries made the way the editors make them.

#include "core/CDateEntry.h"
#include "core/CDateTime.h"
#include "core/CTodoEntry.h"
#include "document/CDayvaultDoc.h"
#include "document/DocumentContents.h"
#include "document/DocumentObserver.h"
#include "support/ArchiveBytes.h"
#include "support/Files.h"
#include "support/Random.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <gtest/gtest.h>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>
#include <vector>

namespace dv::test {

/// Random texts: ASCII, Windows-1252 letters, characters outside it, escapes, "=" and "[]". For
/// the text backup (`trimmed`) without white space at the ends, which a backup line loses.
inline std::string RandomText(Random& rng, bool trimmed, int maxPieces = 6) {
    static const std::vector<std::string_view> kPieces = {
        "Meeting",          " ", "x", "42", "\\", "\n", "\r", "\t", "=", "[", "]", "\\n", "%d",
        "\xC3\xA9",         // é
        "\xE2\x82\xAC",     // € (Windows-1252 0x80)
        "\xCE\xA9",         // Ω, not in Windows-1252
        "\xF0\x9F\x93\x85", // a calendar emoji, outside the BMP
    };
    std::string text;
    for (int count = rng.Int(0, maxPieces); count > 0; --count) {
        text += rng.Pick(kPieces);
    }
    while (trimmed && !text.empty() &&
           std::string_view(" \t\r\n").find(text.back()) != std::string_view::npos) {
        text.pop_back();
    }
    if (trimmed && !text.empty() && text.front() == ' ') {
        text.insert(text.begin(), 'a'); // keeps the key's "=" directly before the value
    }
    return text;
}

inline CDateTime RandomDateTime(Random& rng) {
    return rng.DateTime(CDateTime(1990, 1, 1), CDateTime(2040, 12, 31, 23, 59, 59));
}

/// A random event with every field drawn, codes mostly in range, sometimes not; with a reminder
/// state built through the record's own operations when `withState` is set.
inline std::unique_ptr<CDateEntry> RandomEvent(Random& rng, bool trimmed, bool withState) {
    auto event = std::make_unique<CDateEntry>(RandomDateTime(rng));
    DateData d;
    d.GUID = event->GetGUID();
    d.Category = RandomText(rng, trimmed, 2);
    d.Description = RandomText(rng, trimmed);
    d.Notes = RandomText(rng, trimmed, 10);
    for (std::string DateData::*text : {&DateData::SoundFile, &DateData::DocumentFile,
                                        &DateData::CmdLine, &DateData::Parameter}) {
        d.*text = RandomText(rng, trimmed, 3);
    }
    d.DisplayColor = static_cast<uint32_t>(rng.Int(0, 0xFFFFFF));
    d.FontColor = static_cast<uint32_t>(rng.Int(0, 0xFFFFFF));
    d.StartDate = RandomDateTime(rng);
    d.EndDate = d.StartDate + CDateTimeSpan(rng.Int(0, 5 * 86400));
    d.RepeatEndDate = RandomDateTime(rng);
    const auto draw = [&](std::initializer_list<int32_t DateData::*> fields, int32_t low,
                          int32_t high) {
        for (int32_t DateData::*field : fields) {
            d.*field = rng.Int(low, high);
        }
    };
    draw({&DateData::StorageType, &DateData::ShowStartTime, &DateData::ShowEnd, &DateData::Forewarn,
          &DateData::ForewarnSilent, &DateData::SnoozeType, &DateData::Sound,
          &DateData::SoundRepeatEndless, &DateData::AckOpen, &DateData::AckExecute},
         0, 1);
    draw({&DateData::Repeat, &DateData::RepeatEnd, &DateData::Action}, 0, 2);
    draw({&DateData::Display, &DateData::ForewarnUnit, &DateData::SnoozeUnit,
          &DateData::OverdueAction, &DateData::ExecuteUnit},
         0, 3);
    draw({&DateData::ForewarnSpan, &DateData::SnoozeSpan}, 0, 90);
    d.RepeatRate = rng.Int(0, 12);
    d.RepeatUnit = rng.Int(1, 5);
    d.RepeatWeekdayCount = rng.Int(0, 5);
    d.RepeatWeekday = rng.Int(0, 6);
    d.RepeatEndCount = rng.Int(-3, 100);
    d.CondWeekdays = rng.Int(0, 0x7F);
    d.CondMonth = rng.Int(0, 0xFFF);
    d.ExecuteSpan = rng.Int(INT32_MIN, INT32_MAX);
    d.SoundRepeatCount = rng.Int(0, 10);
    if (!withState) {
        event->AssignData(d);
        return event;
    }
    // Evaluated before its start and a few days later: those days' occurrences become due.
    event->UpdateReminders(d.StartDate - CDateTimeSpan(86400));
    event->AssignData(d);
    event->UpdateReminders(d.StartDate + CDateTimeSpan(rng.Int(0, 3 * 86400)));
    for (int count = rng.Int(0, 4); count > 0; --count) {
        const CDateTime occurrence = RandomDateTime(rng);
        if (rng.Int(0, 1) == 0) {
            event->DropOccurrence(occurrence);
        } else {
            event->Snooze(occurrence, occurrence + CDateTimeSpan(600));
        }
    }
    return event;
}

inline std::unique_ptr<CTodoEntry> RandomTodo(Random& rng, bool trimmed) {
    auto todo = std::make_unique<CTodoEntry>(RandomDateTime(rng));
    TodoData d = todo->GetData();
    d.StorageType = rng.Int(0, 1);
    d.Group = RandomText(rng, trimmed, 2);
    d.Description = RandomText(rng, trimmed);
    d.Notes = RandomText(rng, trimmed, 10);
    d.Deadline = RandomDateTime(rng);
    d.ShowDeadline = rng.Int(0, 1);
    d.ShowDeadlineTime = rng.Int(0, 1);
    d.Forewarn = rng.Int(0, 1);
    d.ForewarnSpan = rng.Int(0, 30);
    d.ForewarnUnit = rng.Int(0, 3);
    d.Priority = rng.Int(1, 10);
    d.AssociateDocumentFile = rng.Int(0, 1);
    d.DocumentFile = RandomText(rng, trimmed, 3);
    todo->SetData(d);
    todo->SetDone(rng.Int(0, 1) == 1);
    todo->SetCurrentTime(RandomDateTime(rng));
    return todo;
}

/// A document with up to the given numbers of entries (each count drawn from 0 up to it).
inline DocumentContents RandomDocument(Random& rng, int maxTemplates, int maxEvents, int maxTodos,
                                       bool trimmed = false) {
    DocumentContents contents;
    for (int count = rng.Int(0, maxTemplates); count > 0; --count) {
        contents.templates.push_back(RandomEvent(rng, trimmed, false));
    }
    for (int count = rng.Int(0, maxEvents); count > 0; --count) {
        contents.events.push_back(RandomEvent(rng, trimmed, true));
    }
    for (int count = rng.Int(0, maxTodos); count > 0; --count) {
        contents.todos.push_back(RandomTodo(rng, trimmed));
    }
    return contents;
}

/// A deep copy, through the records' copy constructors.
inline DocumentContents CopyContents(const DocumentContents& source) {
    DocumentContents copy;
    for (const auto& entry : source.templates) {
        copy.templates.push_back(std::make_unique<CDateEntry>(*entry));
    }
    for (const auto& entry : source.events) {
        copy.events.push_back(std::make_unique<CDateEntry>(*entry));
    }
    for (const auto& entry : source.todos) {
        copy.todos.push_back(std::make_unique<CTodoEntry>(*entry));
    }
    copy.changeList = source.changeList;
    return copy;
}

/// Every record stored byte for byte the same, in the same order, and the same change list.
inline void ExpectSameContents(const DocumentContents& actual, const DocumentContents& expected) {
    const auto compareList = [](const auto& a, const auto& b, const char* what) {
        ASSERT_EQ(a.size(), b.size()) << what;
        for (size_t i = 0; i < a.size(); ++i) {
            EXPECT_EQ(ByteDifference(StoreObject(*a[i]), StoreObject(*b[i])), "") << what << i;
        }
    };
    compareList(actual.templates, expected.templates, "template ");
    compareList(actual.events, expected.events, "event ");
    compareList(actual.todos, expected.todos, "to-do ");
    EXPECT_EQ(actual.changeList, expected.changeList);
}

class RecordingObserver final : public IDocumentObserver {
public:
    explicit RecordingObserver(CDayvaultDoc& doc) : m_doc(doc) { m_doc.AddObserver(*this); }
    ~RecordingObserver() override { m_doc.RemoveObserver(*this); }

    void OnUpdate(UpdateHint hint, const HintObject& object) override {
        m_hints.push_back(static_cast<int>(hint));
        m_objects.push_back(object);
        if (onUpdate) {
            onUpdate();
        }
    }
    void OnInitialUpdate() override { ++initialUpdates; }

    /// The hint numbers in the order they came.
    const std::vector<int>& Hints() const { return m_hints; }
    int Count(UpdateHint hint) const {
        return static_cast<int>(std::count(m_hints.begin(), m_hints.end(), static_cast<int>(hint)));
    }
    /// The object of the first `hint` received; monostate when there was none.
    HintObject FirstObject(UpdateHint hint) const {
        const auto at = std::find(m_hints.begin(), m_hints.end(), static_cast<int>(hint));
        return at == m_hints.end() ? HintObject{} : m_objects[at - m_hints.begin()];
    }

    int initialUpdates = 0;
    std::function<void()> onUpdate; ///< runs after every hint

private:
    CDayvaultDoc& m_doc;
    std::vector<int> m_hints;
    std::vector<HintObject> m_objects;
};

/// An event of `category` created on 5 March 2007 at 10:00 (and starting then).
inline std::unique_ptr<CDateEntry> MakeEvent(const std::string& category,
                                             const std::string& description = "Meeting",
                                             int32_t storageType = 0) {
    auto entry = std::make_unique<CDateEntry>(CDateTime(2007, 3, 5, 10, 0, 0));
    DateData data = entry->GetData();
    data.Category = category;
    data.Description = description;
    data.StorageType = storageType;
    entry->AssignData(data);
    return entry;
}

/// A to-do of `group` with its deadline on 10 March 2007 (no time), forewarned 3 days ahead.
inline std::unique_ptr<CTodoEntry> MakeTodo(const std::string& group,
                                            const std::string& description = "Report",
                                            int32_t storageType = 0) {
    auto todo = std::make_unique<CTodoEntry>(CDateTime(2007, 3, 1, 9, 0, 0));
    TodoData data = todo->GetData();
    data.Group = group;
    data.Description = description;
    data.StorageType = storageType;
    data.Deadline = CDateTime(2007, 3, 10, 0, 0, 0);
    todo->SetData(data);
    return todo;
}

/// A copy of `entry` with different user data.
template <class Entry, class Edit>
Entry WithData(const Entry& entry, const Edit& edit) {
    Entry copy(entry);
    auto data = copy.GetData();
    edit(data);
    if constexpr (std::is_same_v<Entry, CDateEntry>) {
        copy.AssignData(data);
    } else {
        copy.SetData(data);
    }
    return copy;
}

} // namespace dv::test
