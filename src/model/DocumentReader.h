#pragma once

#include "model/Geometry.h"

#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace pathwicks {

class StepsModel;

// Reads a document's bytes straight into a model, in one pass over the JSON and without a
// tree of the whole document: what StepsModel::decode and DocumentFile::windowFrame make of
// the parsed document, and what a save would leave out, for a fraction of the time and memory.
namespace DocumentReader {

struct Read {
    std::optional<Rect> windowFrame; // when "window" is a string
    // What a save will leave out or write differently from the file, one phrase for each kind:
    // keys the program does not keep, entries skipped, rectangles that do not parse, arrows
    // dropped, values of the wrong type. Empty when a save keeps everything.
    std::vector<std::string> unkeptParts;
};

// Fills the empty model from the bytes, or says why they are no document, in the words of
// DocumentFile::parse.
std::variant<Read, std::string> read(std::string_view bytes, StepsModel& model);

} // namespace DocumentReader

} // namespace pathwicks
