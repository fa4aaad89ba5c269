#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace pathwicks::cli {

// Runs the subcommand that args[0] names ("format", ...), with the arguments after it, and
// returns its exit status; nothing when args[0] names no subcommand.
std::optional<int> runCommand(const std::vector<std::string>& args, std::ostream& out,
                              std::ostream& err);

} // namespace pathwicks::cli
