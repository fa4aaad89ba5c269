#include "goto/ProcessStart.h"

#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
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

// Spawns the program with /dev/null for its standard streams, with this process's environment,
// less the activation token unless the program is the editor; the error number of posix_spawn.
int spawn(const std::string& program, const std::vector<std::string>& arguments, bool editor,
          pid_t& pid) {
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
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
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

} // namespace

std::optional<std::string> startProgram(const std::string& program,
                                        const std::vector<std::string>& arguments) {
    pid_t pid = 0;
    if (const int error = spawn(program, arguments, true, pid); error != 0)
        return program + ": " + std::strerror(error);
    return std::nullopt;
}

std::optional<int> runProgram(const std::string& program, const std::vector<std::string>& arguments,
                              int timeoutSeconds) {
    pid_t pid = 0;
    if (spawn(program, arguments, false, pid) != 0)
        return std::nullopt;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
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

} // namespace pathwicks
