#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace pathwicks {

inline constexpr std::chrono::milliseconds earlyExitWatch{500};
// How much of a failed program's standard error its message gives.
inline constexpr size_t errorLineLimit = 3;
inline constexpr size_t errorTextLimit = 4096;

// Starts a program directly (no shell), with the arguments after its own name, and does not
// wait for it: many launchers become the editor and run until it quits. The program runs in a
// session of its own, so it outlives the caller, with /dev/null for its standard input and
// output, so that it never writes into a pipe nobody reads any more; its standard error goes to
// a file without a name. It is given the activation token this process was given
// (XDG_ACTIVATION_TOKEN, DESKTOP_STARTUP_ID), so that its window may come to the front. A message when it could not be started, or when it ended with an
// error within earlyExitWatch (an editor's client that finds no server): its status and the
// first lines of its standard error.
std::optional<std::string> startProgram(const std::string& program,
                                        const std::vector<std::string>& arguments);

// Runs a program directly, its input and output on /dev/null, without the activation token,
// and waits for it at most
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
