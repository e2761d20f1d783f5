// The document's editing operations, option bits, hints, derived sets, view state and change list.

#include "core/CDateTime.h"
#include "core/Clock.h"
#include "document/CDayvaultDoc.h"
#include "document/DocumentTestSupport.h"

#include <algorithm>
#include <cctype>
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
using Strings = std::vector<std::string>;

Strings Names(const NameSet& set) {
    return {set.begin(), set.end()};
}

// Events and to-dos run the same checks, each through its own operations, hints and name set.
struct EventOps {
    static constexpr UpdateHint kAdded = UpdateHint::EventAdded;
    static constexpr UpdateHint kChanged = UpdateHint::EventChanged;
    static constexpr UpdateHint kDeleted = UpdateHint::EventDeleted;
    static constexpr UpdateHint kNamesChanged = UpdateHint::CategoriesChanged;
    static CDateEntry* Add(CDayvaultDoc& doc, int storage, uint32_t options) {
        auto entry = MakeEvent("Work", "Shared", storage);
        CDateEntry* raw = entry.get();
        EXPECT_EQ(doc.AddDateEntry(std::move(entry), options), 0);
        return raw;
    }
    static void Rename(CDayvaultDoc& doc, CDateEntry* entry, uint32_t options) {
        const auto edit = [](DateData& d) {
            d.Category = "Renamed";
            d.StorageType = 1;
        };
        doc.ChangeDateEntry(entry, WithData(*entry, edit), options);
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
    static CTodoEntry* Add(CDayvaultDoc& doc, int storage, uint32_t options) {
        auto entry = MakeTodo("Work", "Shared", storage);
        CTodoEntry* raw = entry.get();
        EXPECT_EQ(doc.AddTodoEntry(std::move(entry), options), 0);
        return raw;
    }
    static void Rename(CDayvaultDoc& doc, CTodoEntry* entry, uint32_t options) {
        const auto edit = [](TodoData& d) {
            d.Group = "Renamed";
            d.StorageType = 1;
        };
        doc.ChangeTodoEntry(entry, WithData(*entry, edit), options);
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

// Each bit alone, none, and all four: every effect must follow its own bit and no other.
TYPED_TEST(DocumentOptionsTest, AddChangeAndDeleteFollowEachBit) {
    using Ops = TypeParam;
    for (const uint32_t o : {0U, 1U, 2U, 4U, 8U, uint32_t{kEditInteractive}}) {
        SCOPED_TRACE(o);
        const int hint = (o & kEditSendHint) != 0 ? 1 : 0;
        const int steps = (o & kEditRecordUndo) != 0 ? 1 : 0;
        const size_t listed = (o & kEditListChange) != 0 ? 1U : 0U;
        const bool rebuild = (o & kEditRebuildSet) != 0;
        {
            CDayvaultDoc doc;
            int saves = 0;
            doc.SetSaveRequestHook([&] { ++saves; });
            RecordingObserver views(doc);
            auto* entry = Ops::Add(doc, 1, o);
            EXPECT_EQ(saves, 1) << "whatever the bits, every change asks for a save";
            EXPECT_EQ(Ops::Steps(doc), steps);
            EXPECT_EQ(doc.GetChangeList(), listed != 0 ? Strings{entry->GetGUID()} : Strings{});
            EXPECT_EQ(views.Count(Ops::kAdded), hint);
            if (hint != 0) {
                EXPECT_EQ(std::get<decltype(entry)>(views.FirstObject(Ops::kAdded)), entry);
            }
            EXPECT_EQ(Ops::Names(doc).size(), rebuild ? 1U : 0U);
            EXPECT_EQ(views.Count(Ops::kNamesChanged), rebuild ? 1 : 0);
        }
        {
            CDayvaultDoc doc;
            auto* entry = Ops::Add(doc, 0, kEditRebuildSet);
            RecordingObserver views(doc);
            int saves = 0;
            doc.SetSaveRequestHook([&] { ++saves; });
            Ops::Rename(doc, entry, o);
            EXPECT_EQ(saves, 1);
            EXPECT_EQ(Ops::Steps(doc), steps);
            EXPECT_EQ(doc.GetChangeList().size(), listed);
            EXPECT_EQ(views.Count(Ops::kChanged), hint);
            EXPECT_EQ(Names(Ops::Names(doc)), Strings{rebuild ? "Renamed" : "Work"});
        }
        {
            CDayvaultDoc doc;
            auto* entry = Ops::Add(doc, 1, kEditRebuildSet);
            const EntryIdentity identity = EntryIdentity::Of(entry);
            RecordingObserver views(doc);
            int saves = 0;
            doc.SetSaveRequestHook([&] { ++saves; });
            Ops::Delete(doc, entry, o);
            EXPECT_EQ(saves, 1);
            EXPECT_EQ(Ops::Steps(doc), steps);
            EXPECT_EQ(doc.GetChangeList().size(), listed);
            EXPECT_EQ(views.Count(Ops::kDeleted), hint);
            if (hint != 0) {
                EXPECT_EQ(std::get<EntryIdentity>(views.FirstObject(Ops::kDeleted)), identity);
            }
            EXPECT_EQ(Ops::Names(doc).empty(), rebuild);
        }
    }
}

TEST(DocumentTest, NameSetsIgnoreCaseAndKeepTheFirstSpelling) {
    CDayvaultDoc doc;
    doc.AddDateEntry(MakeEvent("Work"), kEditInteractive);
    doc.AddDateEntry(MakeEvent("Home"), kEditInteractive);
    CDateEntry* work = doc.GetDateEntry(0);
    RecordingObserver views(doc);
    doc.ChangeDateEntry(work, WithData(*work, [](DateData& d) { d.Category = "WORK"; }),
                        kEditInteractive);
    doc.AddDateEntry(MakeEvent("home"), kEditInteractive);
    EXPECT_EQ(views.Count(UpdateHint::CategoriesChanged), 0);
    EXPECT_EQ(Names(doc.GetCategories()), (Strings{"Home", "Work"}));
    doc.ChangeDateEntry(work, WithData(*work, [](DateData& d) { d.Category = "Sport"; }),
                        kEditInteractive);
    EXPECT_EQ(views.Hints(), (std::vector<int>{6, 4, 6, 9}));
    EXPECT_EQ(Names(doc.GetCategories()), (Strings{"Home", "Sport"}));

    for (const char* group :
         {"garden", "Office", "apple", "GARDEN", "\xC3\xA4rzte", "\xC3\x84RZTE"}) {
        doc.AddTodoEntry(MakeTodo(group), kEditInteractive);
    }
    EXPECT_EQ(Names(doc.GetGroups()), (Strings{"apple", "garden", "Office", "\xC3\xA4rzte"}));
}

TEST(DocumentTest, ChangeListTakesSharedEntriesOnceInOrderOfFirstChange) {
    CDayvaultDoc doc;
    doc.AddDateEntry(MakeEvent("A", "local"), kEditInteractive);
    doc.AddDateEntry(MakeEvent("A", "shared", 1), kEditInteractive);
    doc.AddTodoEntry(MakeTodo("G", "local todo"), kEditInteractive);
    CDateEntry* local = doc.GetDateEntry(0);
    CDateEntry* shared = doc.GetDateEntry(1);
    CTodoEntry* todo = doc.GetTodoEntry(0);
    const std::string sharedGuid = shared->GetGUID();
    // A local entry changed stays off the list; a shared one changed again is listed once.
    doc.ChangeDateEntry(local, WithData(*local, [](DateData& d) { d.Notes = "x"; }),
                        kEditInteractive);
    doc.ChangeDateEntry(shared, WithData(*shared, [](DateData& d) { d.Notes = "1"; }),
                        kEditInteractive);
    EXPECT_EQ(doc.GetChangeList(), Strings{sharedGuid});
    // Local to shared joins the list; shared to local too: the others must learn that it left.
    doc.ChangeDateEntry(local, WithData(*local, [](DateData& d) { d.StorageType = 1; }),
                        kEditInteractive);
    EXPECT_EQ(doc.GetChangeList(), (Strings{sharedGuid, local->GetGUID()}));
    doc.ChangeTodoEntry(todo, WithData(*todo, [](TodoData& d) { d.StorageType = 1; }), 0);
    doc.ChangeTodoEntry(todo, WithData(*todo, [](TodoData& d) { d.StorageType = 0; }),
                        kEditInteractive);
    EXPECT_EQ(doc.GetChangeList().back(), todo->GetGUID());
    doc.ClearChangeList();
    doc.DeleteDateEntry(shared, kEditInteractive);
    EXPECT_EQ(doc.GetChangeList(), Strings{sharedGuid}) << "shared deletion";
}

TEST(DocumentTest, FindByGuidIsExactAndTheFirstMatchWins) {
    CDayvaultDoc doc;
    doc.AddDateEntry(MakeEvent("A", "first"), 0);
    auto twin = MakeEvent("A", "second");
    const std::string guid = doc.GetDateEntry(0)->GetGUID();
    twin->SetGUID(guid);
    doc.AddDateEntry(std::move(twin), 0);
    doc.AddTodoEntry(MakeTodo("G"), 0);
    const std::string todoGuid = doc.GetTodoEntry(0)->GetGUID();
    EXPECT_EQ(doc.FindDateEntry(guid), doc.GetDateEntry(0));
    std::string lower = guid;
    std::transform(lower.begin(), lower.end(), lower.begin(), [](char c) {
        return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    });
    EXPECT_EQ(doc.FindDateEntry(lower), nullptr) << "case-sensitive";
    EXPECT_EQ(doc.FindDateEntry(todoGuid), nullptr) << "events only";
    EXPECT_EQ(doc.FindTodoEntry(todoGuid), doc.GetTodoEntry(0));
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
    auto event = MakeEvent("Stray", "not in the document", 1);
    auto todo = MakeTodo("Stray", "not in the document", 1);
    const CDateTime at(2007, 3, 5, 10, 0, 0);
    doc.ChangeDateEntry(event.get(), *event, kEditInteractive);
    doc.ChangeDateEntry(event.get(), event->GetData(), kEditInteractive);
    doc.DropDateOccurrence(event.get(), at, kEditInteractive);
    doc.RestoreDateOccurrence(event.get(), at, kEditInteractive);
    doc.DeleteDateEntry(event.get(), kEditInteractive);
    doc.DeleteDateEntry(nullptr, kEditInteractive);
    doc.ChangeTodoEntry(todo.get(), *todo, kEditInteractive);
    doc.DeleteTodoEntry(todo.get(), kEditInteractive);
    doc.SetTodoDone(todo.get(), true);
    EXPECT_EQ(doc.AddDateEntry(nullptr, kEditInteractive), -1);
    EXPECT_EQ(doc.AddTodoEntry(nullptr, kEditInteractive), -1);
    EXPECT_TRUE(views.Hints().empty());
    EXPECT_EQ(saveRequests, 0);
    EXPECT_FALSE(doc.CanUndoDateEntry() || doc.CanUndoTodoEntry());
    EXPECT_TRUE(doc.GetChangeList().empty());
    EXPECT_EQ(doc.GetDateEntryCount() + doc.GetTodoCount(), 2);
    EXPECT_FALSE(todo->IsDone());
}

TEST(DocumentTest, OccurrencesAndEditorDataKeepTheReminderStateAndTheWorkMark) {
    const CDateTime occurrence(2007, 3, 5, 10, 0, 0);
    CScopedClock clock(std::make_shared<CFixedClock>(CDateTime(2007, 3, 5, 8, 0, 0)));
    CDayvaultDoc doc;
    // Added without a rebuild, so a rebuild would show up as the category appearing.
    doc.AddDateEntry(MakeEvent("Unlisted"), 0);
    CDateEntry* entry = doc.GetDateEntry(0);
    RecordingObserver views(doc);
    int saves = 0;
    doc.SetSaveRequestHook([&] { ++saves; });
    doc.DropDateOccurrence(entry, occurrence, kEditInteractive);
    EXPECT_TRUE(entry->IsDropped(occurrence));
    EXPECT_EQ(views.Hints(), std::vector<int>{6});
    EXPECT_TRUE(doc.GetCategories().empty());
    ASSERT_EQ(doc.GetEventHistory().GetCount(), 1);
    EXPECT_FALSE(doc.GetEventHistory().GetStep(0).snapshot->IsDropped(occurrence));
    doc.RestoreDateOccurrence(entry, occurrence, kEditInteractive);
    EXPECT_FALSE(entry->IsDropped(occurrence));
    ASSERT_TRUE(doc.UndoDateEntry());
    EXPECT_TRUE(entry->IsDropped(occurrence));
    ASSERT_TRUE(doc.RedoDateEntry());
    EXPECT_EQ(saves, 4);
    ASSERT_TRUE(doc.UndoDateEntry());

    // Editor data keeps the dropped occurrence and the mark of whoever works on the event.
    entry->SetSuspended(true);
    DateData data = entry->GetData();
    data.Description = "Edited";
    doc.ChangeDateEntry(entry, data, kEditInteractive);
    EXPECT_EQ(entry->GetDroppedCount(), 1);
    EXPECT_TRUE(entry->IsSuspended());
    // A whole new value brings its own state but not its own mark.
    doc.ChangeDateEntry(entry, CDateEntry(occurrence), kEditInteractive);
    EXPECT_EQ(entry->GetDroppedCount(), 0);
    EXPECT_TRUE(entry->IsSuspended());
}

TEST(DocumentTest, TodoDoneStateAndTheDueFlag) {
    CDayvaultDoc doc;
    doc.AddTodoEntry(MakeTodo("G"), kEditInteractive); // no reference time yet: not urgent
    EXPECT_FALSE(doc.HasDueTodo());
    auto urgent = MakeTodo("G");
    urgent->SetCurrentTime(CDateTime(2007, 3, 9, 0, 0, 0)); // within the 3 days' forewarning
    CTodoEntry* todo = urgent.get();
    doc.AddTodoEntry(std::move(urgent), kEditInteractive);
    EXPECT_TRUE(doc.HasDueTodo());
    doc.ChangeTodoEntry(todo, WithData(*todo, [](TodoData& d) { d.ShowDeadline = 0; }),
                        kEditInteractive);
    EXPECT_FALSE(doc.HasDueTodo());
    ASSERT_TRUE(doc.UndoTodoEntry());
    EXPECT_TRUE(doc.HasDueTodo());

    int saveRequests = 0;
    doc.SetSaveRequestHook([&] { ++saveRequests; });
    RecordingObserver views(doc);
    const int steps = doc.GetTodoHistory().GetCount();
    doc.SetTodoDone(todo, true);
    EXPECT_FALSE(doc.HasDueTodo());
    EXPECT_EQ(views.Hints(), std::vector<int>{12});
    EXPECT_EQ(std::get<CTodoEntry*>(views.FirstObject(UpdateHint::TodoChanged)), todo);
    EXPECT_EQ(saveRequests, 1);
    EXPECT_EQ(doc.GetTodoHistory().GetCount(), steps) << "no undo step";
    doc.SetTodoDone(todo, false);
    EXPECT_TRUE(doc.HasDueTodo());
    EXPECT_TRUE(doc.GetChangeList().empty()) << "a local to-do is nobody else's business";
    // A shared to-do's tick is shared: it joins the change list, but only when it changes.
    doc.ChangeTodoEntry(todo, WithData(*todo, [](TodoData& d) { d.StorageType = 1; }), 0);
    doc.SetTodoDone(todo, false);
    EXPECT_TRUE(doc.GetChangeList().empty());
    doc.SetTodoDone(todo, true);
    EXPECT_EQ(doc.GetChangeList(), Strings{todo->GetGUID()});
    doc.DeleteTodoEntry(doc.GetTodoEntry(0), kEditInteractive);
    doc.SetTodoDone(todo, false);
    ASSERT_TRUE(doc.HasDueTodo());
    doc.DeleteTodoEntry(todo, kEditInteractive);
    EXPECT_FALSE(doc.HasDueTodo());
}

TEST(DocumentTest, ViewStateNotifiesOnlyWhenItChangesAndAsksForNoSave) {
    CScopedClock clock(std::make_shared<CFixedClock>(CDateTime(2007, 3, 5, 14, 30, 0)));
    CDayvaultDoc doc;
    int saveRequests = 0;
    doc.SetSaveRequestHook([&] { ++saveRequests; });
    RecordingObserver views(doc);
    doc.SetSelectedDate(CDateTime(2007, 4, 1, 17, 45, 12), false);
    EXPECT_EQ(doc.GetSelectedDate(), CDateTime(2007, 4, 1));
    doc.SetSelectedDate(CDateTime(2007, 4, 2, 9, 0, 0), true);
    EXPECT_EQ(std::get<CDateTime>(views.FirstObject(UpdateHint::SelectedDateChanged)),
              CDateTime(2007, 4, 1));
    doc.SetEventFilter(doc.GetEventFilter());
    doc.SetTodoFilter(doc.GetTodoFilter());
    doc.SetFilterSwitch(true);
    EXPECT_EQ(views.Hints(), std::vector<int>{1}) << "nothing else differs";

    FilterState filter;
    filter.searchText = "dentist";
    doc.SetEventFilter(filter);
    doc.SetEventFilter(filter);
    EXPECT_EQ(doc.GetEventFilter().searchText, "dentist");
    filter.selection.insert("Office");
    doc.SetTodoFilter(filter);
    // A selected name that only changes its letters is a different state.
    filter.selection = NameSet{"OFFICE"};
    doc.SetTodoFilter(filter);
    doc.SetFilterSwitch(false);
    doc.SetFilterSwitch(false);
    EXPECT_FALSE(doc.GetFilterSwitch());
    EXPECT_EQ(views.Hints(), (std::vector<int>{1, 8, 13, 13, 8, 13}));
    doc.CheckDates(CDateTime(2008, 1, 2, 0, 0, 0), true, 0);
    EXPECT_EQ(saveRequests, 0);
}

TEST(DocumentTest, DefaultTemplateAndTemplateReplacement) {
    CDayvaultDoc doc;
    EXPECT_TRUE(doc.EnsureDefaultTemplate());
    EXPECT_FALSE(doc.EnsureDefaultTemplate());
    ASSERT_EQ(doc.GetTemplateCount(), 1);
    EXPECT_EQ(doc.GetTemplate(0)->GetData().Category, "Event");
    int saveRequests = 0;
    doc.SetSaveRequestHook([&] { ++saveRequests; });
    RecordingObserver views(doc);
    std::vector<std::unique_ptr<CDateEntry>> replacement;
    replacement.push_back(MakeEvent("Birthday"));
    replacement.push_back(nullptr);
    replacement.push_back(MakeEvent("Appointment"));
    doc.ReplaceTemplates(std::move(replacement));
    ASSERT_EQ(doc.GetTemplateCount(), 2);
    EXPECT_EQ(doc.GetTemplate(1)->GetData().Category, "Appointment");
    EXPECT_EQ(doc.GetTemplate(2), nullptr);
    EXPECT_EQ(views.Hints(), std::vector<int>{8});
    EXPECT_EQ(saveRequests, 1);
}

TEST(DocumentTest, ObserversMayLeaveWhileBeingNotified) {
    CDayvaultDoc doc;
    auto first = std::make_unique<RecordingObserver>(doc);
    RecordingObserver second(doc);
    // The first view closes itself on its first hint; the second still hears every hint.
    first->onUpdate = [&] { doc.RemoveObserver(*first); };
    doc.AddDateEntry(MakeEvent("A"), kEditInteractive);
    EXPECT_EQ(first->Hints(), std::vector<int>{4});
    EXPECT_EQ(second.Hints(), (std::vector<int>{4, 9}));
}

} // namespace
} // namespace dv
