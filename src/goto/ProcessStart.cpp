#include "goto/ProcessStart.h"

#include <cerrno>
#include <chrono>
#include <csignal>
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

// Spawns the program with /dev/null for its standard streams; the error number of posix_spawn.
// Its standard output goes to outputFd instead when that is not -1.
int spawn(const std::string& program, const std::vector<std::string>& arguments, bool ownSession,
          pid_t& pid, int outputFd = -1) {
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
    if (outputFd >= 0)
        posix_spawn_file_actions_adddup2(&actions, outputFd, STDOUT_FILENO);
    else
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
#ifdef POSIX_SPAWN_SETSID
    if (ownSession)
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
#else
    (void)ownSession;
#endif
    const int error =
        ::posix_spawn(&pid, program.c_str(), &actions, &attributes, pointers.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    return error;
}

} // namespace

std::optional<std::string> startProgram(const std::string& program,
                                        const std::vector<std::string>& arguments) {
    pid_t pid = 0;
    if (const int error = spawn(program, arguments, true, pid); error != 0)
        return program + ": " + std::strerror(error);
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
    const int error = spawn(program, arguments, false, pid, fds[1]);
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
