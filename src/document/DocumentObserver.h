#pragma once

#include "core/CDateTime.h"

#include <variant>

namespace dv {

class CDateEntry;
class CTodoEntry;

/// What changed in the document, as told to every view. The numbers are fixed: views and the
/// frame switch on them.
enum class UpdateHint : int {
    Merged = 0,              ///< everything may have changed (after a merge)
    SelectedDateChanged = 1, ///< object: the previous selected date
    DayChanged = 2,          ///< the periodic update crossed into a new day; object: the old time
    TimeUpdated = 3,         ///< the periodic update finished; object: the new time
    EventAdded = 4,          ///< object: the event
    EventDeleted = 5,        ///< object: the identity of the removed event
    EventChanged = 6,        ///< object: the event
    PageMoved = 7,           ///< a navigation command moved the selected date (sent by the frame)
    EventsReset = 8, ///< event filter or filter switch changed, events removed, templates replaced
    CategoriesChanged = 9, ///< the category set changed
    TodoAdded = 10,        ///< object: the to-do
    TodoDeleted = 11,      ///< object: the identity of the removed to-do
    TodoChanged = 12,      ///< object: the to-do (also when its done state was set)
    TodosReset = 13,       ///< to-dos removed, to-do filter or filter switch changed
    GroupsChanged = 14,    ///< the group set changed
    OptionsChanged = 15,   ///< the options changed (sent by the frame)
    CellsRebuilt = 16,     ///< the calendar pages rebuild their cells for the range they show
    EventsChanged = 17,    ///< several events changed at once (one periodic update); no object
};

/// The address a record had while it was in the document. It only names the record: after a
/// deletion the record is gone, so an identity is compared, never followed.
struct EntryIdentity {
    const void* address = nullptr;

    static EntryIdentity Of(const void* entry) { return EntryIdentity{entry}; }
    friend bool operator==(const EntryIdentity&, const EntryIdentity&) = default;
};

/// The object that goes with a hint: nothing, a live event or to-do, the identity of a removed
/// one, or a date-time (hints 1, 2 and 3).
using HintObject = std::variant<std::monostate, CDateEntry*, CTodoEntry*, EntryIdentity, CDateTime>;

/// A view of the document. The document calls every registered observer, in the order of
/// registration, for each change.
class IDocumentObserver {
public:
    virtual ~IDocumentObserver() = default;

    /// One change; see UpdateHint for the object of each hint.
    virtual void OnUpdate(UpdateHint hint, const HintObject& object) = 0;

    /// The document was replaced as a whole (new, open, restore): read everything afresh.
    virtual void OnInitialUpdate() {}

protected:
    IDocumentObserver() = default;
    IDocumentObserver(const IDocumentObserver&) = default;
    IDocumentObserver& operator=(const IDocumentObserver&) = default;
};

} // namespace dv
