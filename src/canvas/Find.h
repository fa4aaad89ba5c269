#pragma once

#include "model/Label.h"
#include "model/Reference.h"

#include <optional>
#include <string_view>
#include <vector>

namespace pathwicks {

class Canvas;
class StepsModel;
struct MarkerStates;

// A box or a label the find field went to.
struct FoundItem {
    ReferencePtr reference;
    LabelPtr label;
    bool operator==(const FoundItem&) const = default;
};

// The box or label whose title contains `text`, ignoring case, that comes after `current` in
// reading order (model/ReadingOrder), or before it when `backwards`; the order
// wraps around. Without a current match: the first (or, backwards, the last). Nothing when no
// title contains the text, or the text is empty.
std::optional<FoundItem> findItem(const StepsModel& model, std::string_view text,
                                  const std::optional<FoundItem>& current, bool backwards);

// Where a find step went: the item, its place among the matches (from 1) and their count.
struct FindStep {
    std::optional<FoundItem> item;
    size_t position = 0;
    size_t count = 0;
};

// The same step, with where it lies among the matches. With the states of a marker check, a
// box also matches when the path of one of its marker's places holds the text.
FindStep findStep(const StepsModel& model, std::string_view text,
                  const std::optional<FoundItem>& current, bool backwards,
                  const MarkerStates* states = nullptr);

// Makes the item the only one selected, as a click on it would.
void selectFound(Canvas& canvas, const FoundItem& item);

} // namespace pathwicks
