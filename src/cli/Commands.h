#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace dv::cli {

/// Runs dayvault-cli with the arguments after the program name; writes the result to `out` and
/// errors to `err`. Returns the exit code: 0 success, 1 the operation failed, 2 usage error.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace dv::cli
