#pragma once

#include "model/FileDescriptor.h"

#include <QObject>

#include <nlohmann/json_fwd.hpp>

#include <functional>
#include <string>
#include <vector>

namespace pathwicks {

// The one instance of the program per user: it listens on the channel of cli/InstanceChannel,
// and a second start hands it its files instead of opening windows of its own. Each request
// line is answered with the line `answer` gives. A plain socket watched by the event loop, so
// the window needs no network library.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    using Answer = std::function<nlohmann::json(const nlohmann::json&)>;

    explicit SingleInstance(Answer answer, QObject* parent = nullptr);
    ~SingleInstance() override;

    // Starts listening, taking over the socket a crashed instance left; false when another
    // instance answers there, or the folder is refused.
    bool listen();

private:
    void accept();

    Answer answer_;
    FileDescriptor listener_;
    std::string path_;
};

// Hands the files (made absolute) to the running instance: true when it took them.
bool handOverFiles(const std::vector<std::string>& paths);

} // namespace pathwicks
