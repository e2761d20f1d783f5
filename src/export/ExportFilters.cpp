#include "export/ExportFilters.h"

#include "document/CDayvaultDoc.h"

#include <memory>
#include <utility>

namespace dv {

// The formats are shared, not copied with every copy of the std::function that holds them.
OccurrenceFilter DocumentEventFilter(const CDayvaultDoc& doc, FormatSettings formats) {
    auto owned = std::make_shared<const FormatSettings>(std::move(formats));
    return [&doc, owned](CDateEntry& event, const CDateTime& start) {
        return PassesEventFilter(doc, event, start, *owned);
    };
}

TodoFilter DocumentTodoFilter(const CDayvaultDoc& doc, const TodoHideRules& hide,
                              FormatSettings formats) {
    auto owned = std::make_shared<const FormatSettings>(std::move(formats));
    return [&doc, hide, owned](CTodoEntry& todo) {
        return PassesTodoFilter(doc, hide, todo, *owned);
    };
}

} // namespace dv
