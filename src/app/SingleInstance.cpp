#include "app/SingleInstance.h"

#include "cli/InstanceChannel.h"

#include <QSocketNotifier>

#include <nlohmann/json.hpp>

#include <cerrno>
#include <filesystem>
#include <sys/socket.h>
#include <sys/stat.h>

namespace pathwicks {

namespace {

// A request line longer than this is no request of ours.
constexpr size_t longestRequest = 1 << 20;

FileDescriptor newSocket() {
    return FileDescriptor(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
}

// A socket listening at path, readable and writable by the user alone; none when the path is
// taken (errno tells why).
FileDescriptor listenAt(const std::string& path) {
    FileDescriptor socket = newSocket();
    const sockaddr_un address = cli::instanceAddress(path);
    if (!socket.isOpen() ||
        ::bind(socket.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
        return FileDescriptor();
    if (::chmod(path.c_str(), 0600) != 0 || ::listen(socket.get(), SOMAXCONN) != 0) {
        const int error = errno;
        ::unlink(path.c_str());
        errno = error;
        return FileDescriptor();
    }
    return socket;
}

// Whether something listens at path: a socket a crash left behind refuses the connection.
bool someoneListens(const std::string& path) {
    const FileDescriptor probe = newSocket();
    const sockaddr_un address = cli::instanceAddress(path);
    return probe.isOpen() &&
           (::connect(probe.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 ||
            errno == EAGAIN || errno == EINPROGRESS);
}

std::string replyTo(const std::string& line, const SingleInstance::Answer& answer) {
    const auto request = nlohmann::json::parse(line, nullptr, false);
    const nlohmann::json reply = request.is_object() ? answer(request) : nlohmann::json{{"error", "not JSON"}};
    return reply.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

// One client: its request lines are answered in turn, until it hangs up or sends a line too
// long to be a request.
class Connection : public QObject {
public:
    Connection(FileDescriptor socket, const SingleInstance::Answer& answer, QObject* parent)
        : QObject(parent), socket_(std::move(socket)), answer_(answer),
          reader_(socket_.get(), QSocketNotifier::Read, this),
          writer_(socket_.get(), QSocketNotifier::Write, this) {
        writer_.setEnabled(false);
        connect(&reader_, &QSocketNotifier::activated, this, &Connection::read);
        connect(&writer_, &QSocketNotifier::activated, this, &Connection::write);
    }

private:
    void read() {
        const bool open = receive();
        // An answer may open a dialog and so the event loop: this client waits its turn.
        reader_.setEnabled(false);
        for (size_t end; !ended_ && (end = received_.find('\n')) != std::string::npos;) {
            const std::string line = received_.substr(0, end);
            received_.erase(0, end + 1);
            sending_ += replyTo(line, answer_);
            write();
        }
        if (!open || received_.size() > longestRequest)
            hangUp();
        else if (!ended_)
            reader_.setEnabled(true);
    }

    // Takes in what has arrived; false when the client has gone.
    bool receive() {
        char buffer[4096];
        for (;;) {
            const ssize_t n = ::recv(socket_.get(), buffer, sizeof buffer, 0);
            if (n > 0)
                received_.append(buffer, size_t(n));
            else if (n < 0 && errno == EINTR)
                continue;
            else
                return n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
            if (received_.size() > longestRequest)
                return true;
        }
    }

    void write() {
        while (!ended_ && !sending_.empty()) {
            const ssize_t n = ::send(socket_.get(), sending_.data(), sending_.size(), MSG_NOSIGNAL);
            if (n > 0)
                sending_.erase(0, size_t(n));
            else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
                break;
            else if (n < 0 && errno != EINTR)
                hangUp();
        }
        if (!ended_)
            writer_.setEnabled(!sending_.empty());
    }

    void hangUp() {
        ended_ = true;
        reader_.setEnabled(false);
        writer_.setEnabled(false);
        deleteLater();
    }

    FileDescriptor socket_;
    const SingleInstance::Answer& answer_;
    QSocketNotifier reader_;
    QSocketNotifier writer_;
    std::string received_;
    std::string sending_;
    bool ended_ = false;
};

} // namespace

SingleInstance::SingleInstance(Answer answer, QObject* parent)
    : QObject(parent), answer_(std::move(answer)) {}

SingleInstance::~SingleInstance() {
    if (listener_.isOpen())
        ::unlink(path_.c_str());
}

bool SingleInstance::listen() {
    const auto path = cli::instanceSocketPath();
    if (!path || listener_.isOpen())
        return false;
    listener_ = listenAt(*path);
    if (!listener_.isOpen()) {
        // Someone answers there, or a crash left the socket behind.
        if (errno != EADDRINUSE || someoneListens(*path))
            return false;
        ::unlink(path->c_str());
        listener_ = listenAt(*path);
        if (!listener_.isOpen())
            return false;
    }
    path_ = *path;
    auto* notifier = new QSocketNotifier(listener_.get(), QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &SingleInstance::accept);
    return true;
}

void SingleInstance::accept() {
    for (;;) {
        FileDescriptor client(::accept4(listener_.get(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC));
        if (!client.isOpen() && errno == EINTR)
            continue;
        if (!client.isOpen())
            return;
        new Connection(std::move(client), answer_, this);
    }
}

bool handOverFiles(const std::vector<std::string>& paths) {
    nlohmann::json files = nlohmann::json::array();
    for (const std::string& path : paths) {
        std::error_code error;
        const auto absolute = std::filesystem::absolute(path, error);
        files.push_back(error ? path : absolute.string());
    }
    const auto reply = cli::askInstance(
        nlohmann::json{{"open", files}}.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace));
    if (!reply)
        return false;
    const auto parsed = nlohmann::json::parse(*reply, nullptr, false);
    return parsed.is_object() && parsed.value("ok", false);
}

} // namespace pathwicks
