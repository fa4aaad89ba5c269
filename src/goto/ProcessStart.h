#pragma once

#include <optional>
#include <string>
#include <vector>

namespace pathwicks {

// Starts a program directly (no shell), with the arguments after its own name, and does not
// wait for it: many launchers become the editor and run until it quits. The program runs in a
// session of its own, so it outlives the caller, with /dev/null for its standard input and
// output, so that it never writes into a pipe nobody reads any more. A message when it could not
// be started.
std::optional<std::string> startProgram(const std::string& program,
                                        const std::vector<std::string>& arguments);

// Runs a program directly, its input and output on /dev/null, and waits for it at most
// timeoutSeconds, after which it is killed. Its exit status; nothing when it could not be started,
// was killed or took too long.
std::optional<int> runProgram(const std::string& program, const std::vector<std::string>& arguments,
                              int timeoutSeconds);

// The same, with what the program writes on its standard output kept: its exit status and that
// output; nothing when it could not be started, was killed or took too long.
struct ProgramOutput {
    int status = 0;
    std::string output;
};
std::optional<ProgramOutput> runProgramOutput(const std::string& program,
                                              const std::vector<std::string>& arguments,
                                              int timeoutSeconds);

} // namespace pathwicks
