#pragma once

#include "document/EntryFilter.h"
#include "export/DayListing.h"
#include "format/FormatSettings.h"

namespace dv {

class CDayvaultDoc;

/// The occurrence filter that makes an export list what the calendar pages show: the document's
/// event filter under its filter switch, read at every call, so a later change of either reaches
/// the next export. The filter keeps its own copy of `formats`, so a temporary (such as
/// CSettings::GetFormatSettings()) is safe to pass; `doc` must outlive the filter, and a
/// temporary document does not compile.
OccurrenceFilter DocumentEventFilter(const CDayvaultDoc& doc, FormatSettings formats);
OccurrenceFilter DocumentEventFilter(const CDayvaultDoc&& doc, FormatSettings formats) = delete;

/// The to-do filter of the to-do page: the hide rules `hide` always, the document's to-do filter
/// while its filter switch is on, each to-do judged at the document's current time (GetNow).
/// Owns its copy of `formats`; `doc` must outlive the filter.
TodoFilter DocumentTodoFilter(const CDayvaultDoc& doc, const TodoHideRules& hide,
                              FormatSettings formats);
TodoFilter DocumentTodoFilter(const CDayvaultDoc&& doc, const TodoHideRules& hide,
                              FormatSettings formats) = delete;

} // namespace dv
