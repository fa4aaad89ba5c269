#pragma once

#include "model/Geometry.h"

#include <nlohmann/json.hpp>

#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace pathwicks {

class StepsModel;

// The document file: one JSON object with "window" (the window's frame as rectangle text),
// "content" (the references) and "labels".
namespace DocumentFile {

// Why bytes could not be taken as a document, in words for the user.
struct ReadError {
    std::string reason;
};

// Parses a document's bytes (JSON; a plain string or number parses too, but is refused as no
// object). When a path is given it is stored under "path", replacing any such entry.
std::variant<nlohmann::json, ReadError> parse(std::string_view bytes,
                                              const std::optional<std::string>& path = {});

struct LoadError {
    std::string message; // names the file and the reason, on one line
    std::string sentence; // the reason as a sentence for a dialog that names the file already
};

// Reads and parses the document file at path, with "path" added.
std::variant<nlohmann::json, LoadError> load(const std::string& path);

// The window frame a document's content asks for, when its "window" entry is a string.
std::optional<Rect> windowFrame(const nlohmann::json& content);

// The bytes a save writes: "window" first, then the model's content and labels, pretty-printed
// UTF-8 ending in a line feed. Nothing when the model cannot be serialised; then nothing must
// be written at all.
std::optional<std::string> bytes(StepsModel& model, const Rect& windowFrame);

} // namespace DocumentFile

} // namespace pathwicks
