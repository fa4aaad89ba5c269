#pragma once

#include "cli/Arguments.h"
#include "model/Document.h"

#include <iosfwd>
#include <memory>
#include <string>
#include <variant>
#include <vector>

namespace pathwicks::cli {

// What a subcommand works on: its arguments and the document its first file names.
struct CommandInput {
    Arguments arguments;
    std::unique_ptr<Document> document;
};

// Parses args as syntax says, then loads the first file as a document. When either fails, the
// reason is on err and the result is the exit status: 2 for bad usage, `unreadable` for a
// document that cannot be loaded ("pathwicks COMMAND: " and the load's message, which names the
// file as the user gave it).
std::variant<CommandInput, int> parseAndLoad(const Syntax& syntax,
                                             const std::vector<std::string>& args, int unreadable,
                                             std::ostream& err);

} // namespace pathwicks::cli
