#pragma once

#include <optional>
#include <string>
#include <vector>

namespace pathwicks {

// Starts a program directly (no shell), with the arguments after its own name, and does not
// wait for it. The program's standard input is /dev/null and it runs in a session of its own,
// so it outlives the caller. A message when it could not be started.
std::optional<std::string> startProgram(const std::string& program,
                                        const std::vector<std::string>& arguments);

} // namespace pathwicks
