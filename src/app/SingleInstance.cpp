#include "app/SingleInstance.h"

#include "cli/InstanceChannel.h"

#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>

#include <nlohmann/json.hpp>

#include <filesystem>

namespace pathwicks {

namespace {

// A request line longer than this is no request of ours.
constexpr qint64 longestRequest = 1 << 20;

} // namespace

SingleInstance::SingleInstance(std::function<nlohmann::json(const nlohmann::json&)> answer,
                               QObject* parent)
    : QObject(parent), answer_(std::move(answer)), server_(new QLocalServer(this)) {
    connect(server_, &QLocalServer::newConnection, this, &SingleInstance::serve);
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::socketPath() const {
    return server_->fullServerName();
}

bool SingleInstance::listen() {
    const auto path = cli::instanceSocketPath();
    if (!path)
        return false;
    const QString name = QFile::decodeName(QByteArray::fromStdString(*path));
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (server_->listen(name))
        return true;
    if (server_->serverError() != QAbstractSocket::AddressInUseError)
        return false;
    // Someone answers there, or a crash left the socket behind.
    QLocalSocket probe;
    probe.connectToServer(name);
    if (probe.waitForConnected(1000))
        return false;
    QLocalServer::removeServer(name);
    return server_->listen(name);
}

void SingleInstance::serve() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            while (socket->canReadLine()) {
                const QByteArray line = socket->readLine();
                const auto request = nlohmann::json::parse(line.toStdString(), nullptr, false);
                const nlohmann::json reply =
                    request.is_object() ? answer_(request) : nlohmann::json{{"error", "not JSON"}};
                socket->write(QByteArray::fromStdString(
                    reply.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + "\n"));
                socket->flush();
            }
            if (socket->bytesAvailable() > longestRequest)
                socket->abort();
        });
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
