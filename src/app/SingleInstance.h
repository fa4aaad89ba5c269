#pragma once

#include <QObject>
#include <QString>

#include <nlohmann/json_fwd.hpp>

#include <functional>
#include <string>
#include <vector>

class QLocalServer;

namespace pathwicks {

// The one instance of the program per user: it listens on the channel of cli/InstanceChannel,
// and a second start hands it its files instead of opening windows of its own. Each request
// line is answered with the line `answer` gives.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(std::function<nlohmann::json(const nlohmann::json&)> answer,
                            QObject* parent = nullptr);
    ~SingleInstance() override;

    // Starts listening, taking over the socket a crashed instance left; false when another
    // instance answers there, or the folder is refused.
    bool listen();
    QString socketPath() const;

private:
    void serve();

    std::function<nlohmann::json(const nlohmann::json&)> answer_;
    QLocalServer* server_ = nullptr;
};

// Hands the files (made absolute) to the running instance: true when it took them.
bool handOverFiles(const std::vector<std::string>& paths);

} // namespace pathwicks
