#pragma once

#include "core/CDateEntry.h"
#include "core/CDateTime.h"
#include "core/CTodoEntry.h"

#include <nlohmann/json.hpp>
#include <vector>

namespace dv::cli {

using Json = nlohmann::ordered_json;

/// "YYYY-MM-DD HH:MM:SS", the form of date-times on the command line and in JSON.
std::string DateTimeText(const CDateTime& value);
Json DateTimeList(const std::vector<CDateTime>& values);

/// The 42 user-data fields under their record names, then "state" with the reminder state.
Json EventJson(const CDateEntry& event);
/// The 14 user-data fields under their record names, then Done and CurrentTime.
Json TodoJson(const CTodoEntry& todo);

} // namespace dv::cli
