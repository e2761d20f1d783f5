// The document's entries: the event and to-do operations with their option bits, the two undo
// histories, the derived sets, the view state, the hints, and the periodic update.

#include "document/CDayvaultDoc.h"

#include "core/CDateTimeSpan.h"

#include <algorithm>
#include <type_traits>
#include <utility>

namespace dv {

namespace {

// ---- Kinds of entries ---------------------------------------------------------------------------

template <class Entry>
constexpr bool kIsTodo = std::is_same_v<Entry, CTodoEntry>;

template <class Entry>
struct Hints {
    static constexpr UpdateHint added = UpdateHint::EventAdded;
    static constexpr UpdateHint deleted = UpdateHint::EventDeleted;
    static constexpr UpdateHint changed = UpdateHint::EventChanged;
};

template <>
struct Hints<CTodoEntry> {
    static constexpr UpdateHint added = UpdateHint::TodoAdded;
    static constexpr UpdateHint deleted = UpdateHint::TodoDeleted;
    static constexpr UpdateHint changed = UpdateHint::TodoChanged;
};

constexpr int32_t kShared = 1;

/// Counts the notifications in progress, also when an observer throws.
class NotifyScope {
public:
    explicit NotifyScope(int& depth) : m_depth(depth) { ++m_depth; }
    ~NotifyScope() { --m_depth; }
    NotifyScope(const NotifyScope&) = delete;
    NotifyScope& operator=(const NotifyScope&) = delete;

private:
    int& m_depth;
};

/// A to-do that the periodic update removes: local, done, with a deadline, not open in the
/// editor, and with its deadline (at 00:00:00 when the time is not shown) before `limit`.
bool IsExpiredDoneTodo(const CTodoEntry& todo, const CDateTime& limit) {
    return todo.GetStorageType() == 0 && todo.IsDone() && todo.GetData().ShowDeadline != 0 &&
           !todo.IsInEditor() && todo.GetEffectiveDeadline() < limit;
}

} // namespace

// ---- Construction and wiring --------------------------------------------------------------------

CDayvaultDoc::CDayvaultDoc() : m_now(CDateTime::Now()), m_selectedDate(m_now.GetDate()) {}

CDayvaultDoc::~CDayvaultDoc() = default;

void CDayvaultDoc::AddObserver(IDocumentObserver& observer) {
    if (std::find(m_observers.begin(), m_observers.end(), &observer) == m_observers.end()) {
        m_observers.push_back(&observer);
    }
}

void CDayvaultDoc::RemoveObserver(IDocumentObserver& observer) {
    const auto found = std::find(m_observers.begin(), m_observers.end(), &observer);
    if (found == m_observers.end()) {
        return;
    }
    // During a notification the list is being walked: leave a gap and close it afterwards.
    if (m_notifyDepth > 0) {
        *found = nullptr;
    } else {
        m_observers.erase(found);
    }
}

void CDayvaultDoc::UpdateAllViews(UpdateHint hint, const HintObject& object) {
    {
        NotifyScope scope(m_notifyDepth);
        for (std::size_t i = 0; i < m_observers.size(); ++i) {
            if (IDocumentObserver* observer = m_observers[i]) {
                observer->OnUpdate(hint, object);
            }
        }
    }
    if (m_notifyDepth == 0) {
        std::erase(m_observers, nullptr);
    }
}

void CDayvaultDoc::NotifyInitialUpdate() {
    {
        NotifyScope scope(m_notifyDepth);
        for (std::size_t i = 0; i < m_observers.size(); ++i) {
            if (IDocumentObserver* observer = m_observers[i]) {
                observer->OnInitialUpdate();
            }
        }
    }
    if (m_notifyDepth == 0) {
        std::erase(m_observers, nullptr);
    }
}

void CDayvaultDoc::RequestSave() {
    m_modified = true;
    if (m_saveRequestHook) {
        m_saveRequestHook();
    }
}

// ---- Shared event and to-do operations ----------------------------------------------------------

template <class Entry>
std::vector<std::unique_ptr<Entry>>& CDayvaultDoc::List() {
    if constexpr (kIsTodo<Entry>) {
        return m_contents.todos;
    } else {
        return m_contents.events;
    }
}

template <class Entry>
const std::vector<std::unique_ptr<Entry>>& CDayvaultDoc::List() const {
    if constexpr (kIsTodo<Entry>) {
        return m_contents.todos;
    } else {
        return m_contents.events;
    }
}

template <class Entry>
UndoHistory<Entry>& CDayvaultDoc::History() {
    if constexpr (kIsTodo<Entry>) {
        return m_todoHistory;
    } else {
        return m_eventHistory;
    }
}

template <class Entry>
int CDayvaultDoc::IndexOf(const Entry* entry) const {
    if (entry == nullptr) {
        return -1;
    }
    const auto& list = List<Entry>();
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (list[i].get() == entry) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

template <class Entry>
void CDayvaultDoc::AfterEntriesChanged() {
    if constexpr (kIsTodo<Entry>) {
        RecomputeDueTodo();
    }
}

template <class Entry>
void CDayvaultDoc::RebuildSet() {
    if constexpr (kIsTodo<Entry>) {
        RebuildGroups();
    } else {
        RebuildCategories();
    }
}

template <class Entry>
void CDayvaultDoc::ApplyChangeListRule(const Entry& entry, bool storageTypeChanged,
                                       uint32_t options) {
    if ((options & kEditListChange) != 0 &&
        (storageTypeChanged || entry.GetStorageType() == kShared)) {
        AddToChangeList(entry.GetGUID());
    }
}

template <class Entry>
int CDayvaultDoc::AddEntry(std::unique_ptr<Entry> entry, uint32_t options) {
    if (!entry) {
        return -1;
    }
    Entry& added = *entry;
    auto& list = List<Entry>();
    list.push_back(std::move(entry));
    const int index = static_cast<int>(list.size()) - 1;
    if ((options & kEditRecordUndo) != 0) {
        History<Entry>().Record(added, added, UndoAction::Added);
    }
    ApplyChangeListRule(added, false, options);
    AfterEntriesChanged<Entry>();
    if ((options & kEditSendHint) != 0) {
        UpdateAllViews(Hints<Entry>::added, &added);
    }
    if ((options & kEditRebuildSet) != 0) {
        RebuildSet<Entry>();
    }
    return index;
}

template <class Entry>
void CDayvaultDoc::ChangeEntry(Entry* entry, const Entry& newValue, uint32_t options) {
    if (IndexOf(entry) < 0) {
        return;
    }
    if ((options & kEditRecordUndo) != 0) {
        History<Entry>().Record(*entry, *entry, UndoAction::Changed);
    }
    const bool storageTypeChanged = entry->GetStorageType() != newValue.GetStorageType();
    const bool mark = GetWorkMark(*entry);
    *entry = newValue;
    SetWorkMark(*entry, mark);
    ApplyChangeListRule(*entry, storageTypeChanged, options);
    AfterEntriesChanged<Entry>();
    if ((options & kEditSendHint) != 0) {
        UpdateAllViews(Hints<Entry>::changed, entry);
    }
    if ((options & kEditRebuildSet) != 0) {
        RebuildSet<Entry>();
    }
}

template <class Entry>
void CDayvaultDoc::DeleteEntry(Entry* entry, uint32_t options) {
    const int index = IndexOf(entry);
    if (index < 0) {
        return;
    }
    if ((options & kEditRecordUndo) != 0) {
        History<Entry>().Record(*entry, *entry, UndoAction::Deleted);
    }
    ApplyChangeListRule(*entry, false, options);
    auto& list = List<Entry>();
    std::unique_ptr<Entry> removed = std::move(list[static_cast<std::size_t>(index)]);
    list.erase(list.begin() + index);
    History<Entry>().Forget(*removed);
    const EntryIdentity identity = EntryIdentity::Of(removed.get());
    removed.reset();
    AfterEntriesChanged<Entry>();
    if ((options & kEditSendHint) != 0) {
        UpdateAllViews(Hints<Entry>::deleted, identity);
    }
    if ((options & kEditRebuildSet) != 0) {
        RebuildSet<Entry>();
    }
}

template <class Entry>
void CDayvaultDoc::ExchangeWithSnapshot(typename UndoHistory<Entry>::Step& step) {
    Entry* live = History<Entry>().FindLive(step.identity);
    if (IndexOf(live) < 0) {
        return;
    }
    Entry& snapshot = *step.snapshot;
    ApplyChangeListRule(*live, live->GetStorageType() != snapshot.GetStorageType(),
                        kEditListChange);
    // The work mark stays with the live record; the snapshot never carries one.
    const bool mark = GetWorkMark(*live);
    Entry previous(*live);
    *live = snapshot;
    snapshot = previous;
    SetWorkMark(*live, mark);
    SetWorkMark(snapshot, false);
    AfterEntriesChanged<Entry>();
    UpdateAllViews(Hints<Entry>::changed, live);
    RebuildSet<Entry>();
}

template <class Entry>
bool CDayvaultDoc::UndoEntry() {
    UndoHistory<Entry>& history = History<Entry>();
    if (!history.CanUndo()) {
        return false;
    }
    bool joined = true;
    while (joined && history.CanUndo()) {
        const int position = history.GetPosition();
        auto& step = history.GetStep(position);
        joined = step.joinsPrevious;
        switch (step.action) {
        case UndoAction::Added:
            DeleteEntry(history.FindLive(step.identity), kEditUndoRedo);
            break;
        case UndoAction::Deleted: {
            // The deleted record comes back as a new one; the earlier steps about it follow it.
            auto recreated = std::make_unique<Entry>(*step.snapshot);
            const auto oldIdentity = step.identity;
            history.RepointDown(position, oldIdentity, history.IdentityOf(*recreated));
            AddEntry(std::move(recreated), kEditUndoRedo);
            break;
        }
        case UndoAction::Changed:
            ExchangeWithSnapshot<Entry>(step);
            break;
        }
        history.StepBack();
    }
    RequestSave();
    return true;
}

template <class Entry>
bool CDayvaultDoc::RedoEntry() {
    UndoHistory<Entry>& history = History<Entry>();
    if (!history.CanRedo()) {
        return false;
    }
    do {
        history.StepForward();
        const int position = history.GetPosition();
        auto& step = history.GetStep(position);
        switch (step.action) {
        case UndoAction::Added: {
            // The added record comes back as a new one; the later steps about it follow it.
            auto recreated = std::make_unique<Entry>(*step.snapshot);
            const auto oldIdentity = step.identity;
            history.RepointUp(position, oldIdentity, history.IdentityOf(*recreated));
            AddEntry(std::move(recreated), kEditUndoRedo);
            break;
        }
        case UndoAction::Deleted:
            DeleteEntry(history.FindLive(step.identity), kEditUndoRedo);
            break;
        case UndoAction::Changed:
            ExchangeWithSnapshot<Entry>(step);
            break;
        }
    } while (history.CanRedo() && history.GetStep(history.GetPosition() + 1).joinsPrevious);
    RequestSave();
    return true;
}

void CDayvaultDoc::BeginUndoGroup() {
    m_eventHistory.BeginGroup();
    m_todoHistory.BeginGroup();
}

void CDayvaultDoc::EndUndoGroup() {
    m_eventHistory.EndGroup();
    m_todoHistory.EndGroup();
}

void CDayvaultDoc::AddToChangeList(const std::string& guid) {
    std::erase(m_pushedChanges, guid); // changed again: the pushed value is out of date
    auto& list = m_contents.changeList;
    if (std::find(list.begin(), list.end(), guid) == list.end()) {
        list.push_back(guid);
    }
}

// ---- Events -------------------------------------------------------------------------------------

CDateEntry* CDayvaultDoc::GetDateEntry(int index) const {
    if (index < 0 || index >= GetDateEntryCount()) {
        return nullptr;
    }
    return m_contents.events[static_cast<std::size_t>(index)].get();
}

CDateEntry* CDayvaultDoc::FindDateEntry(const std::string& guid) const {
    for (const auto& entry : m_contents.events) {
        if (entry->GetGUID() == guid) {
            return entry.get();
        }
    }
    return nullptr;
}

int CDayvaultDoc::IndexOfDateEntry(const CDateEntry* entry) const {
    return IndexOf(entry);
}

int CDayvaultDoc::AddDateEntry(std::unique_ptr<CDateEntry> entry, uint32_t options) {
    const int index = AddEntry(std::move(entry), options);
    if (index >= 0) {
        RequestSave();
    }
    return index;
}

void CDayvaultDoc::ChangeDateEntry(CDateEntry* entry, const CDateEntry& newValue,
                                   uint32_t options) {
    if (IndexOf(entry) < 0) {
        return;
    }
    ChangeEntry(entry, newValue, options);
    RequestSave();
}

void CDayvaultDoc::ChangeDateEntry(CDateEntry* entry, const DateData& newData, uint32_t options) {
    if (IndexOf(entry) < 0) {
        return;
    }
    CDateEntry newValue(*entry);
    newValue.SetData(newData, m_now);
    ChangeEntry(entry, newValue, options);
    RequestSave();
}

void CDayvaultDoc::DropDateOccurrence(CDateEntry* entry, const CDateTime& occurrence,
                                      uint32_t options) {
    if (IndexOf(entry) < 0) {
        return;
    }
    CDateEntry newValue(*entry);
    newValue.DropOccurrence(occurrence);
    ChangeEntry(entry, newValue, options & ~static_cast<uint32_t>(kEditRebuildSet));
    RequestSave();
}

void CDayvaultDoc::RestoreDateOccurrence(CDateEntry* entry, const CDateTime& occurrence,
                                         uint32_t options) {
    if (IndexOf(entry) < 0) {
        return;
    }
    CDateEntry newValue(*entry);
    newValue.RestoreOccurrence(occurrence);
    ChangeEntry(entry, newValue, options & ~static_cast<uint32_t>(kEditRebuildSet));
    RequestSave();
}

void CDayvaultDoc::DeleteDateEntry(CDateEntry* entry, uint32_t options) {
    if (IndexOf(entry) < 0) {
        return;
    }
    DeleteEntry(entry, options);
    RequestSave();
}

bool CDayvaultDoc::UndoDateEntry() {
    return UndoEntry<CDateEntry>();
}

bool CDayvaultDoc::RedoDateEntry() {
    return RedoEntry<CDateEntry>();
}

// ---- To-dos -------------------------------------------------------------------------------------

CTodoEntry* CDayvaultDoc::GetTodoEntry(int index) const {
    if (index < 0 || index >= GetTodoCount()) {
        return nullptr;
    }
    return m_contents.todos[static_cast<std::size_t>(index)].get();
}

CTodoEntry* CDayvaultDoc::FindTodoEntry(const std::string& guid) const {
    for (const auto& todo : m_contents.todos) {
        if (todo->GetGUID() == guid) {
            return todo.get();
        }
    }
    return nullptr;
}

int CDayvaultDoc::IndexOfTodoEntry(const CTodoEntry* todo) const {
    return IndexOf(todo);
}

int CDayvaultDoc::AddTodoEntry(std::unique_ptr<CTodoEntry> todo, uint32_t options) {
    const int index = AddEntry(std::move(todo), options);
    if (index >= 0) {
        RequestSave();
    }
    return index;
}

void CDayvaultDoc::ChangeTodoEntry(CTodoEntry* todo, const CTodoEntry& newValue, uint32_t options) {
    if (IndexOf(todo) < 0) {
        return;
    }
    ChangeEntry(todo, newValue, options);
    RequestSave();
}

void CDayvaultDoc::ChangeTodoEntry(CTodoEntry* todo, const TodoData& newData, uint32_t options) {
    if (IndexOf(todo) < 0) {
        return;
    }
    CTodoEntry newValue(*todo);
    newValue.SetData(newData);
    ChangeEntry(todo, newValue, options);
    RequestSave();
}

void CDayvaultDoc::DeleteTodoEntry(CTodoEntry* todo, uint32_t options) {
    if (IndexOf(todo) < 0) {
        return;
    }
    DeleteEntry(todo, options);
    RequestSave();
}

void CDayvaultDoc::SetTodoDone(CTodoEntry* todo, bool done) {
    if (IndexOf(todo) < 0) {
        return;
    }
    if (todo->IsDone() != done) {
        // A tick is an edit like any other: Undo takes it back.
        History<CTodoEntry>().Record(*todo, *todo, UndoAction::Changed);
        if (todo->GetStorageType() == 1) {
            AddToChangeList(todo->GetGUID());
        }
    }
    todo->SetDone(done);
    RecomputeDueTodo();
    UpdateAllViews(UpdateHint::TodoChanged, todo);
    RequestSave();
}

bool CDayvaultDoc::UndoTodoEntry() {
    return UndoEntry<CTodoEntry>();
}

bool CDayvaultDoc::RedoTodoEntry() {
    return RedoEntry<CTodoEntry>();
}

// ---- Derived and view state ---------------------------------------------------------------------

void CDayvaultDoc::RebuildCategories() {
    NameSet rebuilt;
    for (const auto& entry : m_contents.events) {
        rebuilt.insert(entry->GetData().Category);
    }
    // A set that differs only in letter case is the same set: the first spelling stays.
    if (!SameNames(rebuilt, m_categories)) {
        m_categories = std::move(rebuilt);
        UpdateAllViews(UpdateHint::CategoriesChanged);
    }
}

void CDayvaultDoc::RebuildGroups() {
    NameSet rebuilt;
    for (const auto& todo : m_contents.todos) {
        rebuilt.insert(todo->GetData().Group);
    }
    if (!SameNames(rebuilt, m_groups)) {
        m_groups = std::move(rebuilt);
        UpdateAllViews(UpdateHint::GroupsChanged);
    }
}

void CDayvaultDoc::RecomputeDueTodo() {
    m_dueTodo = std::any_of(m_contents.todos.begin(), m_contents.todos.end(),
                            [](const auto& todo) { return todo->IsUrgent(); });
}

void CDayvaultDoc::ResetFilters() {
    m_eventFilter = FilterState::PassAll(m_categories);
    m_todoFilter = FilterState::PassAll(m_groups);
}

void CDayvaultDoc::SetEventFilter(const FilterState& filter) {
    if (filter == m_eventFilter) {
        return;
    }
    m_eventFilter = filter;
    UpdateAllViews(UpdateHint::EventsReset);
}

void CDayvaultDoc::SetTodoFilter(const FilterState& filter) {
    if (filter == m_todoFilter) {
        return;
    }
    m_todoFilter = filter;
    UpdateAllViews(UpdateHint::TodosReset);
}

void CDayvaultDoc::SetFilterSwitch(bool on) {
    if (on == m_filterSwitch) {
        return;
    }
    m_filterSwitch = on;
    UpdateAllViews(UpdateHint::EventsReset);
    UpdateAllViews(UpdateHint::TodosReset);
}

void CDayvaultDoc::SetSelectedDate(const CDateTime& date, bool notify) {
    const CDateTime previous = m_selectedDate;
    m_selectedDate = date.GetDate();
    if (notify) {
        UpdateAllViews(UpdateHint::SelectedDateChanged, previous);
    }
}

// ---- Periodic update ----------------------------------------------------------------------------

void CDayvaultDoc::CheckDates(const CDateTime& now, bool deleteDoneTodo, int daysBeforeDeleteTodo) {
    const CDateTime previous = m_now;
    m_now = now;
    if (now.GetDayNumber() != previous.GetDayNumber()) {
        UpdateAllViews(UpdateHint::DayChanged, previous);
    }

    m_pendingCount = 0;
    m_pendingSilentCount = 0;
    // The views hear of the changes once, after the evaluation: one changed event by name, more
    // as one batch (a view rebuilds once rather than once per event).
    CDateEntry* changed = nullptr;
    std::size_t changedCount = 0;
    for (std::size_t i = 0; i < m_contents.events.size(); ++i) {
        CDateEntry& entry = *m_contents.events[i];
        if (entry.IsSuspended()) {
            continue;
        }
        if (entry.UpdateReminders(now)) {
            changed = &entry;
            ++changedCount;
        }
        const DateData& data = entry.GetData();
        if (data.Forewarn != 0) {
            (data.ForewarnSilent != 0 ? m_pendingSilentCount : m_pendingCount) +=
                entry.GetDueCount();
        }
    }
    if (changedCount == 1) {
        UpdateAllViews(UpdateHint::EventChanged, changed);
    } else if (changedCount > 1) {
        UpdateAllViews(UpdateHint::EventsChanged);
    }

    if (deleteDoneTodo) {
        const CDateTime limit = now - CDateTimeSpan(daysBeforeDeleteTodo, 0, 0, 0);
        // Take them all out first, so that the list is whole while the views hear of each one.
        std::vector<std::unique_ptr<CTodoEntry>> expired;
        auto& todos = m_contents.todos;
        std::size_t kept = 0;
        for (std::size_t i = 0; i < todos.size(); ++i) {
            if (IsExpiredDoneTodo(*todos[i], limit)) {
                expired.push_back(std::move(todos[i]));
            } else {
                todos[kept++] = std::move(todos[i]);
            }
        }
        todos.resize(kept);
        if (!expired.empty()) {
            RecomputeDueTodo();
            for (auto& todo : expired) {
                m_todoHistory.Forget(*todo);
                const EntryIdentity identity = EntryIdentity::Of(todo.get());
                todo.reset();
                UpdateAllViews(UpdateHint::TodoDeleted, identity);
            }
            RebuildGroups();
        }
    }

    for (std::size_t i = 0; i < m_contents.todos.size(); ++i) {
        CTodoEntry& todo = *m_contents.todos[i];
        if (todo.SetCurrentTime(now)) {
            if (todo.IsUrgent()) {
                m_dueTodo = true;
            }
            UpdateAllViews(UpdateHint::TodoChanged, &todo);
        }
    }

    UpdateAllViews(UpdateHint::TimeUpdated, m_now);
}

} // namespace dv
