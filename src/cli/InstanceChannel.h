#pragma once

// The channel to the running instance of the program: a local socket in a folder only the user
// may enter. The window listens on it (app/SingleInstance); `pathwicks FILE...` and
// `pathwicks mark --to` ask over it. Each request is one line of JSON and gets one line back:
//   {"open": [absolute paths]}       -> {"ok": true}
//   {"mark": {document, id, title, editor[, after][, dryRun]}}
//                                    -> {"open": false} when no window has the document,
//                                       {"open": true} when added (or, dry, when it could be),
//                                       {"open": true, "error": why} when it cannot be.

#include <optional>
#include <string>
#include <sys/un.h>

namespace pathwicks::cli {

// The folder of the socket: $XDG_RUNTIME_DIR/pathwicks, else /tmp/pathwicks-UID, made with mode
// 0700 when missing. Nothing, and the reason in why, when it is not a folder of the user's own
// that only the user may enter.
std::optional<std::string> instanceFolder(std::string& why);
// The socket's full path in that folder; nothing when the folder is refused.
std::optional<std::string> instanceSocketPath();

// The address of the socket at path, which instanceSocketPath() keeps short enough.
sockaddr_un instanceAddress(const std::string& path);

// Sends one request line and waits for the reply line. Nothing when no instance listens, or
// when it does not answer within the time.
std::optional<std::string> askInstance(const std::string& request, int timeoutMs = 10000);

} // namespace pathwicks::cli
