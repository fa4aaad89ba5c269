#pragma once

#include "model/Geometry.h"
#include "model/Label.h"
#include "model/Reference.h"

#include <memory>
#include <optional>
#include <utility>
#include <variant>
#include <vector>

namespace pathwicks {

// Rectangles of references at one moment. A move is recorded against the boxes themselves,
// so that nothing done to the content's order in the meantime can move the wrong box.
using PositionList = std::vector<std::pair<ReferencePtr, Rect>>;
using LabelPositionList = std::vector<std::pair<LabelPtr, Rect>>;

// Where a set of references and labels lie at one moment.
struct Placement {
    PositionList references;
    LabelPositionList labels;
};

// What a press started, each gesture with the state it needs; its drags and its release act
// on it. The comments name the steps a gesture goes through.
namespace gesture {

// none: no press in progress.
struct None {};

// A plain press on a reference: referenceBegan when it was not selected, referenceSelectBegan
// when it was, then referenceBeganMove from the first drag on, when the pressed reference and
// the other selected items follow the pointer. A plain press on a selected label among other
// selected items moves them all the same way.
struct MoveSelection {
    std::weak_ptr<Reference> pressed;
    std::weak_ptr<Label> pressedLabel; // when the press was on a label
    Point dragOffset;                  // the press location minus the pressed item's origin
    Placement before;                  // every selected item with its rectangle at the press
    bool wasSelected = false;
    bool moved = false;
};

// labelMoveBegan: a plain press on a label, which is then the one selected item and follows
// the pointer.
struct MoveLabel {
    std::weak_ptr<Label> label;
    Point start;
    Point dragOffset;
};

// canvasBegan: a plain press on empty canvas; drags span the rubber band. After a shift press
// on empty canvas (selectBegan until the first drag) the band toggles against the selection
// the press left, and shows only once dragged.
struct RubberBand {
    Point anchor;
    std::optional<Rect> band;
    std::vector<ReferencePtr> toggleAgainst;
    std::vector<LabelPtr> labelsToggleAgainst;
};

// selectBegan on a reference: the shift press toggled it; drags do nothing.
struct ShiftToggle {};

// controlReferenceBegan: a right or control press on a reference draws an arrow from it.
struct DrawArrow {
    std::weak_ptr<Reference> from;
    std::weak_ptr<Reference> target; // the reference under the pointer, if any
    Point pointer;
};

// controlCanvasBegan: a right or control press on empty canvas pans the view.
struct Pan {};

// addBegan: a plain press on the add button. The first drag makes a reference
// (addBeganAdded), which follows the pointer until the release records its addition.
struct AddReference {
    bool made = false;
    std::weak_ptr<Reference> added;
};

// addLabelBegan: an option press on the add button. The first drag makes a label
// (labelMoveNewBegan), which follows the pointer until the release records its addition.
struct AddLabel {
    bool made = false;
    std::weak_ptr<Label> added;
};

// A run of nudges with one key: the selection moves at each press, and the run, ended by any
// other key, press or command, becomes one undo step.
struct Nudge {
    Point direction; // one step, in document units
    Placement before;
};

// A press on a handle of a selected box: the box is resized by it, and the other selected
// boxes along with it, until the release records the whole resize.
struct Resize {
    std::weak_ptr<Reference> dragged;
    unsigned edges = 0; // resizing::Edge flags
    Rect start;         // the dragged box at the press
    PositionList before;
};

} // namespace gesture

using Gesture =
    std::variant<gesture::None, gesture::MoveSelection, gesture::MoveLabel, gesture::RubberBand,
                 gesture::ShiftToggle, gesture::DrawArrow, gesture::Pan, gesture::AddReference,
                 gesture::AddLabel, gesture::Nudge, gesture::Resize>;

} // namespace pathwicks
