#pragma once

#include "document/DocumentContents.h"

namespace dv {

/// Gives every record of `contents` an identity of its own: going through the templates, the
/// events and the to-dos in list order, a record whose GUID is empty or was already met gets a
/// new one (the earlier record keeps it). A shared record that got a new GUID joins the change
/// list, so that the next synchronisation hands it on. Returns the number of records changed.
int RepairDuplicateGuids(DocumentContents& contents);

} // namespace dv
