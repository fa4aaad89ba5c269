#pragma once

#include "formats/TourStops.h"
#include "model/StepsModel.h"

#include <string>

namespace pathwicks {

// The document as JSON Canvas 1.0: a text node per label (the label as a Markdown heading),
// then one per box (its title, and the marker's PATH:LINE on a second line when found), and an
// edge per arrow. Boxes keep their ids as node ids; repeated ids get "-2", "-3" …; every node
// and edge id is unique.
std::string jsonCanvas(const StepsModel& model, const TourStops& stops);

} // namespace pathwicks
