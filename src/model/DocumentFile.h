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
// "content" (the references) and "labels". DocumentReader reads it and DocumentWriter writes it.
namespace DocumentFile {

// Why bytes could not be taken as a document, in words for the user.
struct ReadError {
    std::string reason;
};

// The reasons for bytes that are no JSON, from the parser's message, and for JSON that is no
// object.
std::string invalidJsonReason(const std::string& parserMessage);
inline constexpr const char* notObjectReason = "its top level is not a JSON object";

// Parses a document's bytes (JSON; a plain string or number parses too, but is refused as no
// object), for DocumentReader to read the tree.
std::variant<nlohmann::json, ReadError> parse(std::string_view bytes);

struct LoadError {
    std::string message; // names the file and the reason, on one line
    std::string sentence; // the reason as a sentence for a dialog that names the file already
};

// The bytes a save writes: "window" first, then the model's content and labels, pretty-printed
// UTF-8 ending in a line feed. Nothing when the model cannot be serialised; then nothing must
// be written at all.
std::optional<std::string> bytes(StepsModel& model, const Rect& windowFrame);

} // namespace DocumentFile

} // namespace pathwicks
