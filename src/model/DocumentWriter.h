#pragma once

#include <nlohmann/json_fwd.hpp>

#include <optional>
#include <string>

namespace pathwicks {

class StepsModel;

// The one writer of the document format.
namespace DocumentWriter {

// The document's text: the top level's own entries in their order (it is an object, or null
// for none), with "content" and "labels" written from the model in their places, or after
// them. Pretty-printed as nlohmann/json's dump(2) writes it, with no final line feed. Numbers
// each box's `index` with its position. Nothing when a text is not UTF-8, which JSON cannot hold.
std::optional<std::string> write(StepsModel& model, const nlohmann::ordered_json& topLevel);

} // namespace DocumentWriter

} // namespace pathwicks
