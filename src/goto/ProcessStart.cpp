#include "goto/ProcessStart.h"

#include "model/FileDescriptor.h"
#include "model/PrintableText.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace pathwicks {

namespace {

// What lets a started window come to the front (the xdg-activation token on Wayland, the
// startup id on X11). It is good for one window: the editor's.
bool isActivation(const char* entry) {
    return std::strncmp(entry, "XDG_ACTIVATION_TOKEN=", 21) == 0 ||
           std::strncmp(entry, "DESKTOP_STARTUP_ID=", 19) == 0;
}

// Spawns the program with /dev/null for its standard streams, or errorFile for its standard
// error when given (and outputFile for its standard output), with this process's environment less the activation token unless the
// program is the editor (started in a session of its own); the error number of posix_spawn.
int spawn(const std::string& program, const std::vector<std::string>& arguments, bool editor,
          pid_t& pid, int errorFile = -1, int outputFile = -1) {
    std::vector<char*> environment;
    for (char** entry = environ; *entry; ++entry) {
        if (editor || !isActivation(*entry))
            environment.push_back(*entry);
    }
    environment.push_back(nullptr);
    std::vector<std::string> argv;
    argv.push_back(program);
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    std::vector<char*> pointers;
    for (auto& argument : argv)
        pointers.push_back(argument.data());
    pointers.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    if (outputFile >= 0)
        posix_spawn_file_actions_adddup2(&actions, outputFile, STDOUT_FILENO);
    else
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    if (errorFile >= 0)
        posix_spawn_file_actions_adddup2(&actions, errorFile, STDERR_FILENO);
    else
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
#ifdef POSIX_SPAWN_SETSID
    if (editor) // in a session of its own
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
#endif
    const int error = ::posix_spawn(&pid, program.c_str(), &actions, &attributes, pointers.data(),
                                    environment.data());
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    return error;
}

// A file without a name for a program's standard error: it can write there for as long as it
// runs, and nothing is left behind. Closed on exec.
FileDescriptor errorFile() {
    const char* folder = std::getenv("TMPDIR");
    const std::string tmp = folder && *folder == '/' ? folder : "/tmp";
    FileDescriptor file(::open(tmp.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600));
    if (file.isOpen())
        return file;
    std::string pattern = tmp + "/.pathwicks-stderr-XXXXXX";
    file = FileDescriptor(::mkostemp(pattern.data(), O_CLOEXEC));
    if (file.isOpen())
        ::unlink(pattern.c_str());
    return file;
}

// The first lines the program wrote to its standard error, on one line, as a terminal may
// print them.
std::string firstErrorLines(int file) {
    std::string text(errorTextLimit, '\0');
    const ssize_t got = ::pread(file, text.data(), text.size(), 0);
    text.resize(size_t(std::max<ssize_t>(got, 0)));
    std::string said;
    size_t lines = 0;
    for (size_t start = 0; start < text.size() && lines < errorLineLimit;) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string_view line = std::string_view(text).substr(start, end - start);
        while (!line.empty() && (line.back() == '\r' || line.back() == ' '))
            line.remove_suffix(1);
        if (!line.empty()) {
            said += (said.empty() ? "" : " ") + printableText(line);
            ++lines;
        }
        start = end + 1;
    }
    return said;
}

// Why the program, which ended within the watch, failed; nothing when it succeeded.
std::optional<std::string> exitProblem(const std::string& program, int status, int file) {
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0)
        return std::nullopt;
    const std::string how = WIFEXITED(status)
                                ? "exited with status " + std::to_string(WEXITSTATUS(status))
                                : "was stopped by signal " + std::to_string(WTERMSIG(status));
    const std::string said = firstErrorLines(file);
    return printableText(program) + " " + how + (said.empty() ? "" : ": " + said);
}

} // namespace

std::optional<std::string> startProgram(const std::string& program,
                                        const std::vector<std::string>& arguments) {
    const FileDescriptor errors = errorFile();
    pid_t pid = 0;
    if (const int error = spawn(program, arguments, true, pid, errors.isOpen() ? errors.get() : -1);
        error != 0)
        return program + ": " + std::strerror(error);
    // A program that fails at once (a client that finds no server) says why; one still running
    // at the end of the watch is left to run.
    const auto deadline = std::chrono::steady_clock::now() + earlyExitWatch;
    int status = 0;
    while (std::chrono::steady_clock::now() < deadline) {
        const pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid)
            return exitProblem(program, status, errors.isOpen() ? errors.get() : -1);
        if (done < 0)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return std::nullopt;
}

namespace {

// Waits for the program until the deadline, then kills it: its exit status, or nothing.
std::optional<int> waitFor(pid_t pid, std::chrono::steady_clock::time_point deadline) {
    int status = 0;
    for (;;) {
        const pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid)
            break;
        if (done < 0)
            return std::nullopt;
        if (std::chrono::steady_clock::now() >= deadline) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            return std::nullopt;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (!WIFEXITED(status))
        return std::nullopt;
    return WEXITSTATUS(status);
}

} // namespace

std::optional<int> runProgram(const std::string& program, const std::vector<std::string>& arguments,
                              int timeoutSeconds) {
    pid_t pid = 0;
    if (spawn(program, arguments, false, pid) != 0)
        return std::nullopt;
    return waitFor(pid, std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds));
}

std::optional<ProgramOutput> runProgramOutput(const std::string& program,
                                              const std::vector<std::string>& arguments,
                                              int timeoutSeconds) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        return std::nullopt;
    pid_t pid = 0;
    const int error = spawn(program, arguments, false, pid, -1, fds[1]);
    ::close(fds[1]);
    if (error != 0) {
        ::close(fds[0]);
        return std::nullopt;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
    ProgramOutput result;
    char buffer[4096];
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd readable{fds[0], POLLIN, 0};
        if (left.count() <= 0 || ::poll(&readable, 1, int(left.count())) == 0)
            break; // too long: waitFor kills it
        const ssize_t count = ::read(fds[0], buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            break;
        result.output.append(buffer, size_t(count));
    }
    ::close(fds[0]);
    const auto status = waitFor(pid, deadline);
    if (!status)
        return std::nullopt;
    result.status = *status;
    return result;
}

} // namespace pathwicks
