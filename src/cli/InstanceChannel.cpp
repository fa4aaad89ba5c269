#include "cli/InstanceChannel.h"

#include "model/FileDescriptor.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace pathwicks::cli {

namespace {

constexpr mode_t privateMode = 0700;

std::nullopt_t refuse(std::string& why, std::string reason) {
    why = std::move(reason);
    return std::nullopt;
}

// The folder at path as one only the user may enter, made when missing.
std::optional<std::string> privateFolder(const std::string& path, std::string& why) {
    if (::mkdir(path.c_str(), privateMode) != 0 && errno != EEXIST)
        return refuse(why, path + ": cannot be made (" + std::strerror(errno) + ")");
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0)
        return refuse(why, path + ": cannot be looked at (" + std::strerror(errno) + ")");
    if (!S_ISDIR(info.st_mode) || info.st_uid != ::getuid())
        return refuse(why, path + ": is not a folder of this user");
    if ((info.st_mode & 0777) != privateMode)
        return refuse(why, path + ": others may enter it");
    return path;
}

bool waitFor(int fd, short events, std::chrono::steady_clock::time_point deadline) {
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return false;
        pollfd wanted{fd, events, 0};
        const int ready = ::poll(&wanted, 1, int(left.count()));
        if (ready > 0)
            return true;
        if (ready < 0 && errno != EINTR)
            return false;
    }
}

} // namespace

std::optional<std::string> instanceFolder(std::string& why) {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && *runtime == '/')
        return privateFolder(std::string(runtime) + "/pathwicks", why);
    return privateFolder("/tmp/pathwicks-" + std::to_string(::getuid()), why);
}

std::optional<std::string> instanceSocketPath() {
    std::string why;
    const auto folder = instanceFolder(why);
    if (!folder)
        return std::nullopt;
    const std::string path = *folder + "/instance";
    if (path.size() >= sizeof(sockaddr_un::sun_path))
        return std::nullopt;
    return path;
}

sockaddr_un instanceAddress(const std::string& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.c_str(), std::min(path.size() + 1, sizeof address.sun_path));
    return address;
}

std::optional<std::string> askInstance(const std::string& request, int timeoutMs) {
    const auto path = instanceSocketPath();
    if (!path)
        return std::nullopt;
    FileDescriptor socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (socket.get() < 0)
        return std::nullopt;
    const sockaddr_un address = instanceAddress(*path);
    if (::connect(socket.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
        return std::nullopt;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    const std::string line = request + "\n";
    for (size_t sent = 0; sent < line.size();) {
        if (!waitFor(socket.get(), POLLOUT, deadline))
            return std::nullopt;
        const ssize_t n = ::send(socket.get(), line.data() + sent, line.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno != EINTR)
            return std::nullopt;
        sent += n > 0 ? size_t(n) : 0;
    }
    std::string reply;
    char buffer[4096];
    while (reply.find('\n') == std::string::npos) {
        if (!waitFor(socket.get(), POLLIN, deadline))
            return std::nullopt;
        const ssize_t n = ::recv(socket.get(), buffer, sizeof buffer, 0);
        if (n == 0 || (n < 0 && errno != EINTR))
            return std::nullopt;
        reply.append(buffer, n > 0 ? size_t(n) : 0);
    }
    return reply.substr(0, reply.find('\n'));
}

} // namespace pathwicks::cli
