#include "document/Merge.h"

#include "document/DocumentTestSupport.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace dv {
namespace {

// The rules written as plainly as possible: each entry against every entry already in the list.
MergeResult ReferenceMerge(DocumentContents& target, DocumentContents&& other) {
    MergeResult result;
    const auto listShared = [&](const std::string& guid) {
        if (std::find(target.changeList.begin(), target.changeList.end(), guid) ==
            target.changeList.end()) {
            target.changeList.push_back(guid);
        }
    };
    for (auto& entry : other.templates) {
        bool known = false;
        for (const auto& existing : target.templates) {
            known = known || existing->GetData().Category == entry->GetData().Category;
        }
        if (!known) {
            target.templates.push_back(std::move(entry));
            ++result.templatesAdded;
        }
    }
    // Events and to-dos: known by GUID, or by description and start (deadline).
    const auto mergeList = [&](auto& into, auto& from, auto when, int& added) {
        for (auto& entry : from) {
            bool known = false;
            for (const auto& existing : into) {
                known = known || existing->GetGUID() == entry->GetGUID() ||
                        (existing->GetData().Description == entry->GetData().Description &&
                         when(*existing) == when(*entry));
            }
            if (!known) {
                if (entry->GetStorageType() == 1) {
                    listShared(entry->GetGUID());
                }
                into.push_back(std::move(entry));
                ++added;
            }
        }
    };
    const auto start = [](const CDateEntry& e) { return e.GetData().StartDate; };
    const auto deadline = [](const CTodoEntry& t) { return t.GetData().Deadline; };
    mergeList(target.events, other.events, start, result.eventsAdded);
    const size_t oldTodos = target.todos.size();
    mergeList(target.todos, other.todos, deadline, result.todosAdded);
    for (size_t i = oldTodos; i < target.todos.size(); ++i) {
        result.urgentTodoAdded = result.urgentTodoAdded || target.todos[i]->IsUrgent();
    }
    return result;
}

TEST(MergeTest, AgreesWithAPlainReferenceOnRandomDocuments) {
    test::Random rng(4242);
    // Few distinct values, so that GUIDs, descriptions and dates collide often.
    const std::vector<std::string> guids = {"{G1}", "{G2}", "{G3}", "{G4}", "{G5}", "{G6}"};
    const std::vector<std::string> texts = {"a", "b", "c", "A"};
    const std::vector<CDateTime> dates = {CDateTime(2024, 1, 1), CDateTime(2024, 1, 1, 0, 0, 1),
                                          CDateTime(2024, 1, 2)};
    const auto pick = [&](const auto& values) { return rng.Pick(values); };
    const auto makeDocument = [&] {
        DocumentContents contents;
        const int size = rng.Int(0, 8);
        for (int i = 0; i < size; ++i) {
            contents.templates.push_back(test::MakeEvent(pick(texts)));
            auto event = test::MakeEvent("", pick(texts), rng.Int(0, 1));
            *event =
                test::WithData(*event, [&](DateData& d) { d.StartDate = d.EndDate = pick(dates); });
            event->SetGUID(pick(guids));
            contents.events.push_back(std::move(event));
            auto todo = test::MakeTodo("", pick(texts), rng.Int(0, 1));
            *todo = test::WithData(*todo, [&](TodoData& d) { d.Deadline = pick(dates); });
            todo->SetGUID(pick(guids));
            todo->SetCurrentTime(pick(dates) - CDateTimeSpan(3 * 86400));
            contents.todos.push_back(std::move(todo));
        }
        if (rng.Int(0, 1) == 1) {
            contents.changeList.push_back(pick(guids));
        }
        return contents;
    };
    for (int round = 0; round < 2000; ++round) {
        SCOPED_TRACE(round);
        DocumentContents target = makeDocument();
        DocumentContents other = makeDocument();
        DocumentContents expected = test::CopyContents(target);
        const MergeResult expectedResult = ReferenceMerge(expected, test::CopyContents(other));
        const MergeResult result = MergeContents(target, std::move(other));
        test::ExpectSameContents(target, expected);
        ASSERT_EQ(result.templatesAdded, expectedResult.templatesAdded);
        ASSERT_EQ(result.eventsAdded, expectedResult.eventsAdded);
        ASSERT_EQ(result.todosAdded, expectedResult.todosAdded);
        ASSERT_EQ(result.urgentTodoAdded, expectedResult.urgentTodoAdded);
    }
}

} // namespace
} // namespace dv
