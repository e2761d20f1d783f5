// The document's editing operations, option bits, hints, derived sets, view state and change list.

#include "core/CDateTime.h"
#include "core/Clock.h"
#include "document/CDayvaultDoc.h"
#include "document/DocumentFixtures.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <variant>
#include <vector>

namespace dv {
namespace {

using test::MakeEvent;
using test::MakeTodo;
using test::RecordingObserver;
using test::WithData;

std::vector<std::string> Names(const NameSet& set) {
    return {set.begin(), set.end()};
}

// Each bit alone, none, and all four: every effect must follow its own bit and no other.
const uint32_t kOptionRows[] = {
    0, kEditRecordUndo, kEditListChange, kEditSendHint, kEditRebuildSet, kEditInteractive};

bool Has(uint32_t options, uint32_t bit) {
    return (options & bit) != 0;
}

// Events and to-dos run the same checks, each through its own operations, hints and name set.
struct EventOps {
    static constexpr UpdateHint kAdded = UpdateHint::EventAdded;
    static constexpr UpdateHint kChanged = UpdateHint::EventChanged;
    static constexpr UpdateHint kDeleted = UpdateHint::EventDeleted;
    static constexpr UpdateHint kNamesChanged = UpdateHint::CategoriesChanged;
    static CDateEntry* Add(CDayvaultDoc& doc, const char* name, int storage, uint32_t options) {
        auto entry = MakeEvent(name, "Shared", storage);
        CDateEntry* raw = entry.get();
        EXPECT_EQ(doc.AddDateEntry(std::move(entry), options), 0);
        return raw;
    }
    static void Rename(CDayvaultDoc& doc, CDateEntry* entry, uint32_t options) {
        doc.ChangeDateEntry(entry,
                            WithData(*entry,
                                     [](DateData& d) {
                                         d.Category = "Renamed";
                                         d.StorageType = 1;
                                     }),
                            options);
        EXPECT_EQ(entry->GetData().Category, "Renamed");
    }
    static void Delete(CDayvaultDoc& doc, CDateEntry* entry, uint32_t options) {
        doc.DeleteDateEntry(entry, options);
        EXPECT_EQ(doc.GetDateEntryCount(), 0);
    }
    static int Steps(const CDayvaultDoc& doc) { return doc.GetEventHistory().GetCount(); }
    static const NameSet& Names(const CDayvaultDoc& doc) { return doc.GetCategories(); }
};

struct TodoOps {
    static constexpr UpdateHint kAdded = UpdateHint::TodoAdded;
    static constexpr UpdateHint kChanged = UpdateHint::TodoChanged;
    static constexpr UpdateHint kDeleted = UpdateHint::TodoDeleted;
    static constexpr UpdateHint kNamesChanged = UpdateHint::GroupsChanged;
    static CTodoEntry* Add(CDayvaultDoc& doc, const char* name, int storage, uint32_t options) {
        auto entry = MakeTodo(name, "Shared", storage);
        CTodoEntry* raw = entry.get();
        EXPECT_EQ(doc.AddTodoEntry(std::move(entry), options), 0);
        return raw;
    }
    static void Rename(CDayvaultDoc& doc, CTodoEntry* entry, uint32_t options) {
        doc.ChangeTodoEntry(entry,
                            WithData(*entry,
                                     [](TodoData& d) {
                                         d.Group = "Renamed";
                                         d.StorageType = 1;
                                     }),
                            options);
        EXPECT_EQ(entry->GetData().Group, "Renamed");
    }
    static void Delete(CDayvaultDoc& doc, CTodoEntry* entry, uint32_t options) {
        doc.DeleteTodoEntry(entry, options);
        EXPECT_EQ(doc.GetTodoCount(), 0);
    }
    static int Steps(const CDayvaultDoc& doc) { return doc.GetTodoHistory().GetCount(); }
    static const NameSet& Names(const CDayvaultDoc& doc) { return doc.GetGroups(); }
};

template <class Ops>
class DocumentOptionsTest : public ::testing::Test {};
using EntryKinds = ::testing::Types<EventOps, TodoOps>;
TYPED_TEST_SUITE(DocumentOptionsTest, EntryKinds);

TYPED_TEST(DocumentOptionsTest, AddChangeAndDeleteFollowEachBit) {
    using Ops = TypeParam;
    for (const uint32_t o : kOptionRows) {
        SCOPED_TRACE(o);
        const int hint = Has(o, kEditSendHint) ? 1 : 0;
        const int steps = Has(o, kEditRecordUndo) ? 1 : 0;
        const size_t listed = Has(o, kEditListChange) ? 1U : 0U;
        {
            CDayvaultDoc doc;
            RecordingObserver views(doc);
            auto* entry = Ops::Add(doc, "Work", 1, o);
            EXPECT_EQ(Ops::Steps(doc), steps);
            EXPECT_EQ(doc.GetChangeList(), listed != 0 ? std::vector<std::string>{entry->GetGUID()}
                                                       : std::vector<std::string>{});
            EXPECT_EQ(views.Count(Ops::kAdded), hint);
            if (hint != 0) {
                EXPECT_EQ(std::get<decltype(entry)>(views.FirstObject(Ops::kAdded)), entry);
            }
            EXPECT_EQ(Ops::Names(doc).size(), Has(o, kEditRebuildSet) ? 1U : 0U);
            EXPECT_EQ(views.Count(Ops::kNamesChanged), Has(o, kEditRebuildSet) ? 1 : 0);
        }
        {
            CDayvaultDoc doc;
            auto* entry = Ops::Add(doc, "Work", 0, kEditRebuildSet);
            RecordingObserver views(doc);
            Ops::Rename(doc, entry, o);
            EXPECT_EQ(Ops::Steps(doc), steps);
            EXPECT_EQ(doc.GetChangeList().size(), listed);
            EXPECT_EQ(views.Count(Ops::kChanged), hint);
            EXPECT_EQ(Names(Ops::Names(doc)),
                      std::vector<std::string>{Has(o, kEditRebuildSet) ? "Renamed" : "Work"});
        }
        {
            CDayvaultDoc doc;
            auto* entry = Ops::Add(doc, "Work", 1, kEditRebuildSet);
            const EntryIdentity identity = EntryIdentity::Of(entry);
            RecordingObserver views(doc);
            Ops::Delete(doc, entry, o);
            EXPECT_EQ(Ops::Steps(doc), steps);
            EXPECT_EQ(doc.GetChangeList().size(), listed);
            EXPECT_EQ(views.Count(Ops::kDeleted), hint);
            if (hint != 0) {
                EXPECT_EQ(std::get<EntryIdentity>(views.FirstObject(Ops::kDeleted)), identity);
            }
            EXPECT_EQ(Ops::Names(doc).empty(), Has(o, kEditRebuildSet));
        }
    }
}

TEST(DocumentTest, CategoryRenameChangesTheSetButACaseOnlyRenameDoesNot) {
    CDayvaultDoc doc;
    doc.AddDateEntry(MakeEvent("Work"), kEditInteractive);
    doc.AddDateEntry(MakeEvent("Home"), kEditInteractive);
    CDateEntry* work = doc.GetDateEntry(0);
    RecordingObserver views(doc);

    doc.ChangeDateEntry(work, WithData(*work, [](DateData& d) { d.Category = "WORK"; }),
                        kEditInteractive);
    EXPECT_EQ(views.Count(UpdateHint::CategoriesChanged), 0);
    EXPECT_EQ(Names(doc.GetCategories()), (std::vector<std::string>{"Home", "Work"}));

    doc.ChangeDateEntry(work, WithData(*work, [](DateData& d) { d.Category = "Sport"; }),
                        kEditInteractive);
    EXPECT_EQ(views.Hints(), (std::vector<int>{6, 6, 9}));
    EXPECT_EQ(Names(doc.GetCategories()), (std::vector<std::string>{"Home", "Sport"}));

    // A second event of an existing category in other letters adds nothing: the first spelling
    // stays.
    views.Clear();
    doc.AddDateEntry(MakeEvent("home"), kEditInteractive);
    EXPECT_EQ(views.Count(UpdateHint::CategoriesChanged), 0);
    EXPECT_EQ(Names(doc.GetCategories()), (std::vector<std::string>{"Home", "Sport"}));
}

TEST(DocumentTest, GroupSetIsSortedWithoutRegardToCase) {
    CDayvaultDoc doc;
    for (const char* group :
         {"garden", "Office", "apple", "GARDEN", "\xC3\xA4rzte", "office", "\xC3\x84RZTE"}) {
        doc.AddTodoEntry(MakeTodo(group), kEditInteractive);
    }
    EXPECT_EQ(Names(doc.GetGroups()),
              (std::vector<std::string>{"apple", "garden", "Office", "\xC3\xA4rzte"}));
}

TEST(DocumentTest, ChangeListTakesSharedEntriesOnceInOrderOfFirstChange) {
    CDayvaultDoc doc;
    doc.AddDateEntry(MakeEvent("A", "local"), kEditInteractive);
    doc.AddDateEntry(MakeEvent("A", "shared", 1), kEditInteractive);
    doc.AddTodoEntry(MakeTodo("G", "local todo"), kEditInteractive);
    CDateEntry* local = doc.GetDateEntry(0);
    CDateEntry* shared = doc.GetDateEntry(1);
    CTodoEntry* localTodo = doc.GetTodoEntry(0);
    const std::string sharedGuid = shared->GetGUID();
    EXPECT_EQ(doc.GetChangeList(), std::vector<std::string>{sharedGuid}) << "shared addition";

    // A local entry changed in place stays off the list.
    doc.ChangeDateEntry(local, WithData(*local, [](DateData& d) { d.Notes = "x"; }),
                        kEditInteractive);
    EXPECT_EQ(doc.GetChangeList(), std::vector<std::string>{sharedGuid});

    // The shared one changed twice more: still listed once.
    doc.ChangeDateEntry(shared, WithData(*shared, [](DateData& d) { d.Notes = "1"; }),
                        kEditInteractive);
    doc.ChangeDateEntry(shared, WithData(*shared, [](DateData& d) { d.Notes = "2"; }),
                        kEditInteractive);
    EXPECT_EQ(doc.GetChangeList(), std::vector<std::string>{sharedGuid});

    // Local to shared with no other change joins the list.
    doc.ChangeDateEntry(local, WithData(*local, [](DateData& d) { d.StorageType = 1; }),
                        kEditInteractive);
    EXPECT_EQ(doc.GetChangeList(), (std::vector<std::string>{sharedGuid, local->GetGUID()}));
    // Shared to local leaves a trace too: the other users must learn that it left.
    doc.ChangeTodoEntry(localTodo, WithData(*localTodo, [](TodoData& d) { d.StorageType = 1; }),
                        kEditInteractive);
    const std::string todoGuid = localTodo->GetGUID();
    doc.ClearChangeList();
    doc.ChangeTodoEntry(localTodo, WithData(*localTodo, [](TodoData& d) { d.StorageType = 0; }),
                        kEditInteractive);
    EXPECT_EQ(doc.GetChangeList(), std::vector<std::string>{todoGuid});

    doc.ClearChangeList();
    doc.DeleteDateEntry(shared, kEditInteractive);
    EXPECT_EQ(doc.GetChangeList(), std::vector<std::string>{sharedGuid}) << "shared deletion";
    doc.DeleteDateEntry(doc.GetDateEntry(0), kEditInteractive);
    EXPECT_EQ(doc.GetChangeList().size(), 2U) << "the event made shared above";
}

TEST(DocumentTest, FindByGuidIsExactAndTheFirstMatchWins) {
    CDayvaultDoc doc;
    doc.AddDateEntry(MakeEvent("A", "first"), 0);
    auto twin = MakeEvent("A", "second");
    twin->SetGUID(doc.GetDateEntry(0)->GetGUID());
    doc.AddDateEntry(std::move(twin), 0);
    doc.AddTodoEntry(MakeTodo("G"), 0);
    const std::string guid = doc.GetDateEntry(0)->GetGUID();

    EXPECT_EQ(doc.FindDateEntry(guid), doc.GetDateEntry(0));
    std::string lower = guid;
    for (char& c : lower) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    EXPECT_EQ(doc.FindDateEntry(lower), nullptr) << "case-sensitive";
    EXPECT_EQ(doc.FindDateEntry(""), nullptr);
    EXPECT_EQ(doc.FindDateEntry(doc.GetTodoEntry(0)->GetGUID()), nullptr) << "events only";
    EXPECT_EQ(doc.FindTodoEntry(doc.GetTodoEntry(0)->GetGUID()), doc.GetTodoEntry(0));
    EXPECT_EQ(doc.FindTodoEntry(guid), nullptr);
    EXPECT_EQ(doc.GetDateEntry(2), nullptr);
    EXPECT_EQ(doc.GetDateEntry(-1), nullptr);
    EXPECT_EQ(doc.GetTodoEntry(1), nullptr);
}

TEST(DocumentTest, OperationsOnEntriesOutsideTheDocumentDoNothing) {
    CDayvaultDoc doc;
    doc.AddDateEntry(MakeEvent("A", "mine", 1), kEditRebuildSet);
    doc.AddTodoEntry(MakeTodo("G", "mine", 1), kEditRebuildSet);
    int saveRequests = 0;
    doc.SetSaveRequestHook([&] { ++saveRequests; });
    RecordingObserver views(doc);
    auto strayEvent = MakeEvent("Stray", "not in the document", 1);
    auto strayTodo = MakeTodo("Stray", "not in the document", 1);

    doc.ChangeDateEntry(strayEvent.get(), *strayEvent, kEditInteractive);
    doc.ChangeDateEntry(strayEvent.get(), strayEvent->GetData(), kEditInteractive);
    doc.DropDateOccurrence(strayEvent.get(), CDateTime(2007, 3, 5, 10, 0, 0), kEditInteractive);
    doc.RestoreDateOccurrence(strayEvent.get(), CDateTime(2007, 3, 5, 10, 0, 0), kEditInteractive);
    doc.DeleteDateEntry(strayEvent.get(), kEditInteractive);
    doc.DeleteDateEntry(nullptr, kEditInteractive);
    doc.ChangeTodoEntry(strayTodo.get(), *strayTodo, kEditInteractive);
    doc.DeleteTodoEntry(strayTodo.get(), kEditInteractive);
    doc.SetTodoDone(strayTodo.get(), true);
    EXPECT_EQ(doc.AddDateEntry(nullptr, kEditInteractive), -1);
    EXPECT_EQ(doc.AddTodoEntry(nullptr, kEditInteractive), -1);

    EXPECT_TRUE(views.All().empty());
    EXPECT_EQ(saveRequests, 0);
    EXPECT_FALSE(doc.CanUndoDateEntry());
    EXPECT_FALSE(doc.CanUndoTodoEntry());
    EXPECT_TRUE(doc.GetChangeList().empty());
    EXPECT_EQ(doc.GetDateEntryCount(), 1);
    EXPECT_EQ(doc.GetTodoCount(), 1);
    EXPECT_FALSE(strayTodo->IsDone());
}

TEST(DocumentTest, DroppingAnOccurrenceIsARecordedChangeWithoutSetRebuild) {
    const CDateTime occurrence(2007, 3, 5, 10, 0, 0);
    CDayvaultDoc doc;
    // Added without a rebuild, so a rebuild would show up as the category appearing.
    doc.AddDateEntry(MakeEvent("Unlisted"), 0);
    CDateEntry* entry = doc.GetDateEntry(0);
    RecordingObserver views(doc);

    doc.DropDateOccurrence(entry, occurrence, kEditInteractive);
    EXPECT_TRUE(entry->IsDropped(occurrence));
    EXPECT_EQ(views.Hints(), std::vector<int>{6});
    EXPECT_TRUE(doc.GetCategories().empty());
    ASSERT_EQ(doc.GetEventHistory().GetCount(), 1);
    EXPECT_EQ(doc.GetEventHistory().GetStep(0).action, UndoAction::Changed);
    EXPECT_FALSE(doc.GetEventHistory().GetStep(0).snapshot->IsDropped(occurrence));

    doc.RestoreDateOccurrence(entry, occurrence, kEditInteractive);
    EXPECT_FALSE(entry->IsDropped(occurrence));
    EXPECT_EQ(doc.GetEventHistory().GetCount(), 2);

    // Undoing both steps walks back through dropped to the original state.
    ASSERT_TRUE(doc.UndoDateEntry());
    EXPECT_TRUE(entry->IsDropped(occurrence));
    ASSERT_TRUE(doc.UndoDateEntry());
    EXPECT_FALSE(entry->IsDropped(occurrence));
}

TEST(DocumentTest, ChangingFromEditorDataKeepsTheReminderStateAndTheWorkMark) {
    const CDateTime created(2007, 3, 5, 8, 0, 0);
    CScopedClock clock(std::make_shared<CFixedClock>(created));
    CDayvaultDoc doc;
    doc.AddDateEntry(MakeEvent("A"), kEditInteractive);
    CDateEntry* entry = doc.GetDateEntry(0);
    entry->DropOccurrence(CDateTime(2007, 3, 5, 10, 0, 0));
    entry->SetSuspended(true);
    DateData data = entry->GetData();
    data.Description = "Edited";
    doc.ChangeDateEntry(entry, data, kEditInteractive);
    EXPECT_EQ(entry->GetData().Description, "Edited");
    EXPECT_EQ(entry->GetDroppedCount(), 1);
    EXPECT_TRUE(entry->IsSuspended()) << "the mark belongs to whoever set it on the live event";

    // A whole new value brings its own state but not its own mark.
    CDateEntry other(created);
    other.SetSuspended(false);
    doc.ChangeDateEntry(entry, other, kEditInteractive);
    EXPECT_EQ(entry->GetDroppedCount(), 0);
    EXPECT_TRUE(entry->IsSuspended());
}

TEST(DocumentTest, SetTodoDoneRecomputesTheDueFlagAndAsksForASave) {
    CDayvaultDoc doc;
    doc.AddTodoEntry(MakeTodo("G"), kEditInteractive);
    CTodoEntry* todo = doc.GetTodoEntry(0);
    doc.CheckDates(CDateTime(2007, 3, 9, 12, 0, 0), false, 0); // within the 3 days' forewarning
    ASSERT_TRUE(todo->IsUrgent());
    EXPECT_TRUE(doc.HasDueTodo());
    int saveRequests = 0;
    doc.SetSaveRequestHook([&] { ++saveRequests; });
    RecordingObserver views(doc);
    const int historyBefore = doc.GetTodoHistory().GetCount();

    doc.SetTodoDone(todo, true);
    EXPECT_TRUE(todo->IsDone());
    EXPECT_FALSE(doc.HasDueTodo());
    EXPECT_EQ(views.Hints(), std::vector<int>{12});
    EXPECT_EQ(std::get<CTodoEntry*>(views.FirstObject(UpdateHint::TodoChanged)), todo);
    EXPECT_EQ(saveRequests, 1);
    EXPECT_EQ(doc.GetTodoHistory().GetCount(), historyBefore) << "no undo step";

    doc.SetTodoDone(todo, false);
    EXPECT_TRUE(doc.HasDueTodo());
    EXPECT_TRUE(doc.GetChangeList().empty()) << "a local to-do is nobody else's business";

    // A shared to-do's tick is shared: it joins the change list, but only when it changes.
    auto shared = MakeTodo("G");
    TodoData data = shared->GetData();
    data.StorageType = 1;
    shared->SetData(data);
    CTodoEntry* sharedTodo = shared.get();
    doc.AddTodoEntry(std::move(shared), kEditRecordUndo);
    ASSERT_TRUE(doc.GetChangeList().empty());
    doc.SetTodoDone(sharedTodo, false);
    EXPECT_TRUE(doc.GetChangeList().empty());
    doc.SetTodoDone(sharedTodo, true);
    EXPECT_EQ(doc.GetChangeList(), std::vector<std::string>{sharedTodo->GetGUID()});
}

TEST(DocumentTest, DueFlagFollowsAddChangeAndDeleteOfTodos) {
    CDayvaultDoc doc;
    auto urgent = MakeTodo("G");
    urgent->SetCurrentTime(CDateTime(2007, 3, 9, 0, 0, 0));
    ASSERT_TRUE(urgent->IsUrgent());
    doc.AddTodoEntry(MakeTodo("G"), kEditInteractive); // no reference time yet: not urgent
    EXPECT_FALSE(doc.HasDueTodo());
    doc.AddTodoEntry(std::move(urgent), kEditInteractive);
    EXPECT_TRUE(doc.HasDueTodo());
    CTodoEntry* todo = doc.GetTodoEntry(1);
    doc.ChangeTodoEntry(todo, WithData(*todo, [](TodoData& d) { d.ShowDeadline = 0; }),
                        kEditInteractive);
    EXPECT_FALSE(doc.HasDueTodo());
    ASSERT_TRUE(doc.UndoTodoEntry());
    EXPECT_TRUE(doc.HasDueTodo());
    doc.DeleteTodoEntry(todo, kEditInteractive);
    EXPECT_FALSE(doc.HasDueTodo());
}

TEST(DocumentTest, SelectedDateKeepsTheDateAndNotifiesOnRequest) {
    CScopedClock clock(std::make_shared<CFixedClock>(CDateTime(2007, 3, 5, 14, 30, 0)));
    CDayvaultDoc doc;
    RecordingObserver views(doc);
    doc.SetSelectedDate(CDateTime(2007, 4, 1, 17, 45, 12), false);
    EXPECT_EQ(doc.GetSelectedDate(), CDateTime(2007, 4, 1));
    EXPECT_TRUE(views.All().empty());
    doc.SetSelectedDate(CDateTime(2007, 4, 2, 9, 0, 0), true);
    EXPECT_EQ(doc.GetSelectedDate(), CDateTime(2007, 4, 2));
    EXPECT_EQ(views.Hints(), std::vector<int>{1});
    EXPECT_EQ(std::get<CDateTime>(views.FirstObject(UpdateHint::SelectedDateChanged)),
              CDateTime(2007, 4, 1));
}

TEST(DocumentTest, FiltersNotifyOnlyWhenTheyChange) {
    CDayvaultDoc doc;
    RecordingObserver views(doc);
    FilterState filter = doc.GetEventFilter();
    doc.SetEventFilter(filter);
    doc.SetTodoFilter(doc.GetTodoFilter());
    doc.SetFilterSwitch(true);
    EXPECT_TRUE(views.All().empty()) << "nothing differs";

    filter.searchText = "dentist";
    doc.SetEventFilter(filter);
    EXPECT_EQ(views.Hints(), std::vector<int>{8});
    EXPECT_EQ(doc.GetEventFilter().searchText, "dentist");
    doc.SetEventFilter(filter);
    EXPECT_EQ(views.Hints(), std::vector<int>{8});

    views.Clear();
    FilterState todoFilter;
    todoFilter.selection.insert("Office");
    doc.SetTodoFilter(todoFilter);
    EXPECT_EQ(views.Hints(), std::vector<int>{13});
    // A selected name that only changes its letters is a different state.
    todoFilter.selection = NameSet{"OFFICE"};
    doc.SetTodoFilter(todoFilter);
    EXPECT_EQ(views.Hints(), (std::vector<int>{13, 13}));

    views.Clear();
    doc.SetFilterSwitch(false);
    EXPECT_FALSE(doc.GetFilterSwitch());
    EXPECT_EQ(views.Hints(), (std::vector<int>{8, 13}));
    doc.SetFilterSwitch(false);
    EXPECT_EQ(views.Hints(), (std::vector<int>{8, 13}));
}

TEST(DocumentTest, DefaultTemplateAndTemplateReplacement) {
    CDayvaultDoc doc;
    EXPECT_TRUE(doc.EnsureDefaultTemplate());
    ASSERT_EQ(doc.GetTemplateCount(), 1);
    EXPECT_EQ(doc.GetTemplate(0)->GetData().Category, "Event");
    EXPECT_EQ(doc.GetTemplate(0)->GetData().Description, "");
    EXPECT_FALSE(doc.EnsureDefaultTemplate());
    EXPECT_EQ(doc.GetTemplateCount(), 1);

    int saveRequests = 0;
    doc.SetSaveRequestHook([&] { ++saveRequests; });
    RecordingObserver views(doc);
    std::vector<std::unique_ptr<CDateEntry>> replacement;
    replacement.push_back(MakeEvent("Birthday"));
    replacement.push_back(nullptr);
    replacement.push_back(MakeEvent("Appointment"));
    doc.ReplaceTemplates(std::move(replacement));
    ASSERT_EQ(doc.GetTemplateCount(), 2);
    EXPECT_EQ(doc.GetTemplate(0)->GetData().Category, "Birthday");
    EXPECT_EQ(doc.GetTemplate(1)->GetData().Category, "Appointment");
    EXPECT_EQ(doc.GetTemplate(2), nullptr);
    EXPECT_EQ(views.Hints(), std::vector<int>{8});
    EXPECT_EQ(saveRequests, 1);
}

TEST(DocumentTest, ObserversMayLeaveWhileBeingNotified) {
    CDayvaultDoc doc;
    auto first = std::make_unique<RecordingObserver>(doc);
    RecordingObserver second(doc);
    RecordingObserver* firstRaw = first.get();
    // The first view closes itself on its first hint; the second still hears every hint.
    firstRaw->SetOnUpdate([&](UpdateHint, const HintObject&) { doc.RemoveObserver(*firstRaw); });
    doc.AddDateEntry(MakeEvent("A"), kEditInteractive);
    EXPECT_EQ(firstRaw->Hints(), std::vector<int>{4});
    EXPECT_EQ(second.Hints(), (std::vector<int>{4, 9}));
    first.reset();
    doc.AddDateEntry(MakeEvent("B"), kEditInteractive);
    EXPECT_EQ(second.Hints(), (std::vector<int>{4, 9, 4, 9}));
}

TEST(DocumentTest, EveryEditingOperationAsksForASave) {
    CDayvaultDoc doc;
    int saveRequests = 0;
    doc.SetSaveRequestHook([&] { ++saveRequests; });
    doc.AddDateEntry(MakeEvent("A"), kEditInteractive);
    doc.AddTodoEntry(MakeTodo("G"), kEditInteractive);
    CDateEntry* entry = doc.GetDateEntry(0);
    CTodoEntry* todo = doc.GetTodoEntry(0);
    doc.ChangeDateEntry(entry, *entry, kEditInteractive);
    doc.ChangeTodoEntry(todo, *todo, kEditInteractive);
    doc.DropDateOccurrence(entry, CDateTime(2007, 3, 5, 10, 0, 0), kEditInteractive);
    doc.RestoreDateOccurrence(entry, CDateTime(2007, 3, 5, 10, 0, 0), kEditInteractive);
    doc.UndoDateEntry();
    doc.RedoDateEntry();
    doc.DeleteDateEntry(entry, kEditInteractive);
    doc.DeleteTodoEntry(todo, kEditInteractive);
    EXPECT_EQ(saveRequests, 10);
    EXPECT_TRUE(doc.IsModified());

    // View state is not part of the event file.
    saveRequests = 0;
    doc.SetSelectedDate(CDateTime(2008, 1, 1), true);
    FilterState filter;
    filter.textSearchOn = true;
    doc.SetEventFilter(filter);
    doc.SetFilterSwitch(false);
    doc.CheckDates(CDateTime(2008, 1, 2, 0, 0, 0), true, 0);
    EXPECT_EQ(saveRequests, 0);
}

} // namespace
} // namespace dv
