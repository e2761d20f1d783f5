#pragma once

#include "document/EntryFilter.h"
#include "export/DayListing.h"
#include "format/FormatSettings.h"

namespace dv {

class CDayvaultDoc;

/// The occurrence filter that makes an export list what the calendar pages show: the document's
/// event filter under its filter switch, read at every call, so a later change of either reaches
/// the next export. `doc` and `formats` must outlive the filter.
OccurrenceFilter DocumentEventFilter(const CDayvaultDoc& doc, const FormatSettings& formats);

/// The to-do filter of the to-do page: the hide rules `hide` always, the document's to-do filter
/// while its filter switch is on, each to-do judged at the document's current time (GetNow).
/// `doc` and `formats` must outlive the filter.
TodoFilter DocumentTodoFilter(const CDayvaultDoc& doc, const TodoHideRules& hide,
                              const FormatSettings& formats);

} // namespace dv
