#include "export/ExportFilters.h"

#include "core/EventBuilder.h"
#include "document/CDayvaultDoc.h"
#include "export/CsvExport.h"
#include "settings/CSettings.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace dv {
namespace {

using test::EventBuilder;

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// The exports take the document's filter state as the pages do: the category selection and the
// content words hold only while the switch is on, and a change after the filter was made reaches
// the next export.
TEST(ExportFilters, CalendarExportFollowsTheDocumentsEventFilterAndSwitch) {
    std::vector<std::unique_ptr<CDateEntry>> events;
    const auto add = [&events](EventBuilder builder, const std::string& category) {
        builder.MutableData().Category = category;
        events.push_back(std::make_unique<CDateEntry>(builder.Build()));
    };
    add(EventBuilder().Start(2007, 3, 5, 9, 0).Description("Budget meeting"), "Work");
    add(EventBuilder().Start(2007, 3, 6, 18, 0).Description("Piano lesson"), "Home");
    const CSettings settings;
    CDayvaultDoc doc;
    CsvExportSource source;
    source.events = &events;
    source.eventFilter = DocumentEventFilter(doc, settings.GetFormatSettings());
    const auto exported = [&] {
        return BuildCsvExport(&source, {kCsvKindCalendar, CDateTime(2007, 3, 1), 14}, settings);
    };
    FilterState work;
    work.selectionOn = true;
    work.selection.insert("work"); // names match without regard to case
    doc.SetEventFilter(work);
    doc.SetFilterSwitch(true);
    EXPECT_TRUE(Contains(exported(), "Budget meeting"));
    EXPECT_FALSE(Contains(exported(), "Piano lesson")) << "another category, switch on";
    doc.SetFilterSwitch(false);
    EXPECT_TRUE(Contains(exported(), "Piano lesson")) << "switch off: everything passes";

    FilterState words;
    words.textSearchOn = true;
    words.searchText = "PIANO";
    doc.SetEventFilter(words);
    doc.SetFilterSwitch(true);
    EXPECT_FALSE(Contains(exported(), "Budget meeting")) << "content filter set after the source";
    EXPECT_TRUE(Contains(exported(), "Piano lesson"));
}

TEST(ExportFilters, TodoExportFollowsTheDocumentsTodoFilterAndAlwaysTheHideRules) {
    std::vector<std::unique_ptr<CTodoEntry>> todos;
    const auto add = [&todos](const std::string& description, const std::string& group, bool done) {
        TodoData d;
        d.Description = description;
        d.Group = group;
        d.ShowDeadline = 0;
        auto todo = std::make_unique<CTodoEntry>(CDateTime(2007, 3, 1));
        todo->SetData(d);
        todo->SetDone(done);
        todos.push_back(std::move(todo));
    };
    add("File taxes", "Office", false);
    add("Paint fence", "Garden", false);
    add("Old chore", "Garden", true);
    const FormatSettings formats = CSettings().GetFormatSettings();
    CDayvaultDoc doc;
    TodoHideRules hide;
    hide.hideDone = true;
    const TodoFilter filter = DocumentTodoFilter(doc, hide, formats);
    const auto listed = [&] {
        std::vector<std::string> names;
        for (CTodoEntry* todo :
             CollectExportTodos(todos, CDateTime(2007, 1, 1), CDateTime(2007, 12, 31), filter)) {
            names.push_back(todo->GetData().Description);
        }
        return names;
    };

    FilterState garden;
    garden.selectionOn = true;
    garden.selection.insert("Garden");
    doc.SetTodoFilter(garden);
    doc.SetFilterSwitch(true);
    EXPECT_EQ(listed(), std::vector<std::string>{"Paint fence"}) << "group filter and hide rule";
    doc.SetFilterSwitch(false);
    EXPECT_EQ(listed(), (std::vector<std::string>{"File taxes", "Paint fence"}))
        << "switch off: the hide rule still holds";
}

} // namespace
} // namespace dv
