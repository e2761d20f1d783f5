// The to-do expander: field words, its three selectors, the words it does not have, its line
// break, spans against the deadline and nested texts.

#include "core/CTodoEntry.h"
#include "format/CTodoEntryFormatter.h"
#include "format/FormatTestSupport.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace dv {
namespace {

using test::FixedNow;
using test::TestSettings;

struct Row {
    const char* name;
    std::string format;
    std::string expected;
};

// A to-do due on Friday 12 January 2007 at 15:30 (the time counts only with ShowDeadlineTime),
// with a forewarning of three days.
TodoData BaseData() {
    TodoData data;
    data.Description = "Desc";
    data.Group = "Home";
    data.Priority = 7;
    data.DocumentFile = "C:\\plan.txt";
    data.AssociateDocumentFile = 0;
    data.Deadline = CDateTime(2007, 1, 12, 15, 30, 0);
    data.ShowDeadline = 1;
    data.ShowDeadlineTime = 0;
    data.Forewarn = 1;
    data.ForewarnSpan = 3;
    data.ForewarnUnit = 2;
    return data;
}

CTodoEntry MakeTodo(const TodoData& data) {
    CTodoEntry todo(CDateTime(2007, 1, 1));
    todo.SetData(data);
    return todo;
}

void CheckRows(CTodoEntry& todo, const std::vector<Row>& rows) {
    CTodoEntryFormatter formatter(todo, TestSettings());
    for (const Row& row : rows) {
        EXPECT_EQ(formatter.Expand(row.format), row.expected) << row.name << ": " << row.format;
    }
}

TEST(TodoEntryFormatter, FieldWords) {
    TodoData data = BaseData();
    data.Notes = "x";
    CTodoEntry todo = MakeTodo(data);
    CheckRows(todo, {
                        {"line break is LF alone", "$R_NOTES_R$ $PRIORITY$", "\nx\n 7"},
                        {"event field word is unknown", "$CATEGORY$", "$CATEGORY$"},
                        {"event selector is unknown", "$THIS_DATE$", "$THIS_DATE$"},
                    });
}

TEST(TodoEntryFormatter, StateFollowsTheTodo) {
    struct StateRow {
        const char* name;
        bool done;
        int showDeadline;
        CDateTime currentTime;
        std::string expected;
    };
    const std::vector<StateRow> rows = {
        {"undone before the forewarning", false, 1, CDateTime(2007, 1, 8), "undone"},
        {"urgent from three days before", false, 1, CDateTime(2007, 1, 9), "urgent"},
        {"overdue from the deadline's date", false, 1, CDateTime(2007, 1, 12), "overdue"},
        {"done wins over overdue", true, 1, CDateTime(2007, 1, 20), "done"},
        {"no deadline is never overdue", false, 0, CDateTime(2007, 1, 20), "undone"},
    };
    for (const StateRow& row : rows) {
        TodoData data = BaseData();
        data.ShowDeadline = row.showDeadline;
        CTodoEntry todo = MakeTodo(data);
        todo.SetDone(row.done);
        todo.SetCurrentTime(row.currentTime);
        CTodoEntryFormatter formatter(todo, TestSettings());
        EXPECT_EQ(formatter.Expand("$STATE$"), row.expected) << row.name;
    }
}

TEST(TodoEntryFormatter, DateSelectors) {
    const FixedNow now(CDateTime(2007, 1, 9, 8, 15, 0));
    CTodoEntry todo = MakeTodo(BaseData());
    CheckRows(todo, {
                        {"deadline date", "$DEADLINE_DATE$", "2007-01-12"},
                        {"deadline without its time", "$DEADLINE_DATETIME$", "2007-01-12 00:00"},
                        {"auto without time of day", "$DEADLINE_AUTO$", "2007-01-12"},
                        {"forewarn three days before", "$FOREWARN_DATE$", "2007-01-09"},
                        {"now", "$NOW_DATETIME$", "2007-01-09 08:15"},
                        {"no START word", "$DEADLINE_START_DATE$", "$DEADLINE_START_DATE$"},
                        {"no ranges", "$DEADLINE_STARTTOEND_DATE$", "$DEADLINE_STARTTOEND_DATE$"},
                        {"no COUNT", "$DEADLINE_COUNT$", "$DEADLINE_COUNT$"},
                        {"to", "[$NOW_TO_DEADLINE$]", "[]"},
                    });

    TodoData timed = BaseData();
    timed.ShowDeadlineTime = 1;
    timed.ForewarnSpan = 90;
    timed.ForewarnUnit = 0;
    CTodoEntry timedTodo = MakeTodo(timed);
    CheckRows(timedTodo, {
                             {"deadline with its time", "$DEADLINE_DATETIME$", "2007-01-12 15:30"},
                             {"auto with time of day", "$DEADLINE_AUTO$", "2007-01-12 15:30"},
                             {"forewarn in minutes", "$FOREWARN_TIME$", "14:00"},
                         });

    TodoData quiet = BaseData();
    quiet.Forewarn = 0;
    CTodoEntry quietTodo = MakeTodo(quiet);
    CheckRows(quietTodo,
              {{"no forewarning: the deadline itself", "$FOREWARN_DATE$", "2007-01-12"}});

    TodoData open = BaseData();
    open.ShowDeadline = 0;
    CTodoEntry openTodo = MakeTodo(open);
    CheckRows(openTodo, {
                            {"no deadline", "$DEADLINE_DATE$", "-"},
                            {"no forewarning either", "$FOREWARN_DATETIME$", "-"},
                            {"now is always valid", "$NOW_DATE$", "2007-01-09"},
                        });
}

TEST(TodoEntryFormatter, SnapshotAndSetEntry) {
    CTodoEntry first = MakeTodo(BaseData());
    CTodoEntryFormatter formatter(first, TestSettings());
    TodoData changed = BaseData();
    changed.Description = "edited";
    first.SetData(changed);
    first.SetDone(true);
    EXPECT_EQ(formatter.Expand("$DESCRIPTION$ $STATE$"), "Desc done")
        << "text from the snapshot, done read through the reference";
    formatter.SetEntry(first);
    EXPECT_EQ(formatter.Expand("$DESCRIPTION$"), "edited");
}

} // namespace
} // namespace dv
