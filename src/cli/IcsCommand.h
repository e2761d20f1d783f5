#pragma once

#include "cli/CliArgs.h"

#include <iosfwd>

namespace dv::cli {

/// `ics import FILE IN.ics` and `ics export FILE --out OUT.ics`: prints the JSON report to
/// `out`; throws UsageError or OperationError (FILE and OUT.ics then unchanged).
void RunIcs(const CliArgs& args, std::ostream& out);

} // namespace dv::cli
