#pragma once

#include "model/Geometry.h"

#include <optional>
#include <string>

namespace pathwicks {

class Canvas;
class StepsModel;

// The type under which the clipboard carries items between windows and documents.
inline constexpr const char* itemsMimeType = "application/x-pathwicks-items";

// Selected items as the clipboard carries them: as a document's JSON (references with their
// ids and the arrows among them, labels), and as plain text, their titles one per line.
struct ClipboardItems {
    std::string json;
    std::string text;
};

// The selected references and labels, with the arrows whose both ends are selected; nothing
// when nothing is selected.
std::optional<ClipboardItems> copySelection(const StepsModel& model);

// Adds the items of `json` to the canvas as one edit (the caller groups it into one undo step)
// and makes them the selection. They land a grid step right of and below where they were
// copied, or, when that lies wholly outside `visible`, in its middle. References keep their
// ids, standing for the same code, unless the document holds their id already (a duplicate, a
// second paste): those get new ids, their markers not yet placed. False, and nothing changes, when the text holds no items.
bool pasteItems(Canvas& canvas, const std::string& json, const Rect& visible);

} // namespace pathwicks
