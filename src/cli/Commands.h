#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace pathwicks::cli {

// The program's usage: how it opens documents, and its subcommands.
extern const char* const programUsage;

// Runs the subcommand that args[0] names ("format", ...), with the arguments after it, and
// returns its exit status. Also what needs no window: --help and -h print the usage (0); an
// unknown option, or a first argument that looks like a subcommand but is none and names no
// file, prints it on err (2). Nothing when the arguments are documents for windows, or name
// "export", which main runs itself.
std::optional<int> runCommand(const std::vector<std::string>& args, std::ostream& out,
                              std::ostream& err);

} // namespace pathwicks::cli
