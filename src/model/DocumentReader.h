#pragma once

#include "model/Geometry.h"

#include <nlohmann/json_fwd.hpp>

#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace pathwicks {

class StepsModel;

// The one reader of the document format: what a document's references, arrows, labels and
// window frame are, what a save would leave out, and every tolerance for odd input. It reads
// a file's bytes in one pass, without a tree of the whole document, or a document already
// parsed (a recovery copy, the clipboard); both give the same.
namespace DocumentReader {

struct Read {
    std::optional<Rect> windowFrame; // when "window" is a string
    // What a save will leave out or write differently from the file, one phrase for each kind:
    // keys the program does not keep, entries skipped, rectangles that do not parse, arrows
    // dropped, values of the wrong type. Empty when a save keeps everything.
    std::vector<std::string> unkeptParts;
};

// Appends what the bytes describe to the model, or says why they are no document, in the
// words of DocumentFile::parse (and then leaves the model as it was).
std::variant<Read, std::string> read(std::string_view bytes, StepsModel& model);

// The same for a parsed document; a top level that is no object describes nothing.
// Elements that are not objects, and arrows that name no reference, are skipped.
Read readParsed(const nlohmann::json& document, StepsModel& model);

} // namespace DocumentReader

} // namespace pathwicks
