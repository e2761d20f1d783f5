#include "export/ExportFilters.h"

#include "document/CDayvaultDoc.h"

namespace dv {

OccurrenceFilter DocumentEventFilter(const CDayvaultDoc& doc, const FormatSettings& formats) {
    return [&doc, &formats](CDateEntry& event, const CDateTime& start) {
        return PassesEventFilter(doc, event, start, formats);
    };
}

TodoFilter DocumentTodoFilter(const CDayvaultDoc& doc, const TodoHideRules& hide,
                              const FormatSettings& formats) {
    return [&doc, hide, &formats](CTodoEntry& todo) {
        return PassesTodoFilter(doc, hide, todo, formats);
    };
}

} // namespace dv
