#include "ical/IcalCalendar.h"

#include "ical/IcalMapping.h"

#include <libical/ical.h>

#include <algorithm>
#include <map>

namespace dv::ical {

namespace {

// The fields that decide when occurrences and reminders fall: the reminder state stays only
// while they are as they were.
bool SameTimes(const DateData& a, const DateData& b) {
    return a.StartDate == b.StartDate && a.EndDate == b.EndDate &&
           a.ShowStartTime == b.ShowStartTime && a.ShowEnd == b.ShowEnd && a.Repeat == b.Repeat &&
           a.RepeatRate == b.RepeatRate && a.RepeatUnit == b.RepeatUnit &&
           a.RepeatWeekdayCount == b.RepeatWeekdayCount && a.RepeatWeekday == b.RepeatWeekday &&
           a.RepeatEnd == b.RepeatEnd && a.RepeatEndCount == b.RepeatEndCount &&
           a.RepeatEndDate == b.RepeatEndDate && a.CondWeekdays == b.CondWeekdays &&
           a.CondMonth == b.CondMonth && a.Forewarn == b.Forewarn &&
           a.ForewarnSpan == b.ForewarnSpan && a.ForewarnUnit == b.ForewarnUnit;
}

bool SameAction(const DateData& a, const DateData& b) {
    return a.Action == b.Action && a.DocumentFile == b.DocumentFile && a.CmdLine == b.CmdLine &&
           a.Parameter == b.Parameter;
}

// Makes the dropped occurrences of `event` exactly `dropped`.
void SetDropped(CDateEntry& event, const std::vector<CDateTime>& dropped) {
    const std::vector<CDateTime> old = event.GetDroppedOccurrences();
    for (const CDateTime& x : old) {
        if (std::find(dropped.begin(), dropped.end(), x) == dropped.end()) {
            event.RestoreOccurrence(x);
        }
    }
    for (const CDateTime& x : dropped) {
        if (!event.IsDropped(x)) {
            event.DropOccurrence(x);
        }
    }
}

void NoteChange(DocumentContents& contents, int32_t storageType, const std::string& guid) {
    if (storageType == 1 && std::find(contents.changeList.begin(), contents.changeList.end(),
                                      guid) == contents.changeList.end()) {
        contents.changeList.push_back(guid);
    }
}

} // namespace

int ImportReport::Count(EntryOutcome::Kind kind) const {
    return static_cast<int>(std::count_if(entries.begin(), entries.end(),
                                          [&](const EntryOutcome& e) { return e.kind == kind; }));
}

bool ImportReport::Changed() const {
    return Count(EntryOutcome::Kind::added) + Count(EntryOutcome::Kind::updated) > 0;
}

ImportReport ImportCalendar(std::string_view text, DocumentContents& contents, UidStore& uids,
                            const CDateTime& now) {
    const ComponentPtr calendar = ParseCalendar(text);
    ImportReport report;

    std::map<std::string, size_t> eventIndex;
    std::map<std::string, size_t> todoIndex;
    for (size_t i = 0; i < contents.events.size(); ++i) {
        eventIndex.emplace(contents.events[i]->GetGUID(), i);
    }
    for (size_t i = 0; i < contents.todos.size(); ++i) {
        todoIndex.emplace(contents.todos[i]->GetGUID(), i);
    }
    const EventLookup findEvent = [&](const std::string& guid) -> const CDateEntry* {
        const auto it = eventIndex.find(guid);
        return it != eventIndex.end() ? contents.events[it->second].get() : nullptr;
    };
    const TodoLookup findTodo = [&](const std::string& guid) -> const CTodoEntry* {
        const auto it = todoIndex.find(guid);
        return it != todoIndex.end() ? contents.todos[it->second].get() : nullptr;
    };

    for (const EntryComponents& entry : GroupEntries(calendar.get())) {
        MappedEntry mapped = MapEntry(entry, findEvent, findTodo, now);
        EntryOutcome outcome;
        outcome.uid = mapped.uid;
        outcome.summary = mapped.summary;
        if (mapped.skipped) {
            outcome.kind = EntryOutcome::Kind::skipped;
            outcome.reasons.push_back(*mapped.skipped);
            report.entries.push_back(std::move(outcome));
            continue;
        }
        bool added = false;
        bool updated = false;
        for (MappedEvent& event : mapped.events) {
            const std::string guid = event.data.GUID;
            const CDateEntry* existing = findEvent(guid);
            std::unique_ptr<CDateEntry> record;
            if (existing != nullptr && SameTimes(existing->GetData(), event.data)) {
                record = std::make_unique<CDateEntry>(*existing);
                record->AssignData(event.data);
            } else if (event.exact) {
                record = std::move(event.exact);
            } else {
                record = existing ? std::make_unique<CDateEntry>(*existing)
                                  : std::make_unique<CDateEntry>(now);
                record->SetData(event.data, now);
            }
            SetDropped(*record, event.dropped);
            if (existing != nullptr && existing->GetData() == record->GetData() &&
                existing->GetDroppedOccurrences() == record->GetDroppedOccurrences()) {
                continue;
            }
            if (record->GetData().Action != 0 &&
                (existing == nullptr || !SameAction(existing->GetData(), record->GetData()))) {
                report.receivedActions.push_back(guid);
            }
            NoteChange(contents, record->GetStorageType(), guid);
            outcome.guids.push_back(guid);
            if (existing != nullptr) {
                contents.events[eventIndex[guid]] = std::move(record);
                updated = true;
            } else {
                eventIndex[guid] = contents.events.size();
                contents.events.push_back(std::move(record));
                added = true;
            }
        }
        for (MappedTodo& todo : mapped.todos) {
            const std::string guid = todo.data.GUID;
            const CTodoEntry* existing = findTodo(guid);
            std::unique_ptr<CTodoEntry> record;
            if (todo.exact && existing == nullptr) {
                record = std::move(todo.exact);
            } else {
                record = existing ? std::make_unique<CTodoEntry>(*existing)
                                  : std::make_unique<CTodoEntry>(now);
                record->SetData(todo.data);
                record->SetDone(todo.done);
            }
            if (existing != nullptr && existing->GetData() == record->GetData() &&
                existing->IsDone() == record->IsDone()) {
                continue;
            }
            NoteChange(contents, record->GetStorageType(), guid);
            outcome.guids.push_back(guid);
            if (existing != nullptr) {
                contents.todos[todoIndex[guid]] = std::move(record);
                updated = true;
            } else {
                todoIndex[guid] = contents.todos.size();
                contents.todos.push_back(std::move(record));
                added = true;
            }
        }
        if (!mapped.uid.empty()) {
            uids.Set(mapped.guid, mapped.uid);
        }
        outcome.kind = added     ? EntryOutcome::Kind::added
                       : updated ? EntryOutcome::Kind::updated
                                 : EntryOutcome::Kind::unchanged;
        if (added || updated) {
            outcome.reasons = std::move(mapped.losses);
        }
        report.entries.push_back(std::move(outcome));
    }
    return report;
}

std::string ExportCalendar(const DocumentContents& contents, const UidStore& uids,
                           const CDateTime& stampUtc, ExportReport& report,
                           const std::function<bool(const std::string& guid)>& selected) {
    // Each component is written and freed at once, between the calendar's own first and last
    // lines: the same text as one tree would give, without holding the whole tree.
    const std::string shell = ComponentText(NewCalendar().get());
    const size_t end = shell.rfind("END:VCALENDAR");
    std::string text = shell.substr(0, end);
    const auto add = [&](const WrittenComponent& written, const std::string& guid,
                         const std::string& summary) {
        for (const std::string& reason : written.losses) {
            report.approximated.push_back({guid, summary, reason});
        }
        text += ComponentText(written.component.get());
        ++report.exported;
    };
    for (const auto& event : contents.events) {
        if (!selected || selected(event->GetGUID())) {
            add(EventToComponent(*event, uids.UidFor(event->GetGUID()), stampUtc),
                event->GetGUID(), event->GetData().Description);
        }
    }
    for (const auto& todo : contents.todos) {
        if (!selected || selected(todo->GetGUID())) {
            add(TodoToComponent(*todo, uids.UidFor(todo->GetGUID()), stampUtc), todo->GetGUID(),
                todo->GetData().Description);
        }
    }
    return text + shell.substr(end);
}

} // namespace dv::ical
