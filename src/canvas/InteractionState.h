#pragma once

namespace pathwicks {

// What the press in progress started; the drag and release handlers act on it.
enum class InteractionState {
    none = 0,
    canvasBegan = 1,           // plain press on empty canvas: drags draw the rubber band
    controlCanvasBegan = 2,    // control or right press on empty canvas: drags pan the view
    referenceBegan = 3,        // plain press on a reference that was not selected
    referenceSelectBegan = 4,  // plain press on a reference that was already selected
    referenceBeganMove = 5,    // the pressed and the other selected references follow the pointer
    controlReferenceBegan = 6, // control or right press on a reference: an arrow is drawn from it
    selectBegan = 7,           // shift press
    addBegan = 8,              // plain press inside the add area
    addBeganAdded = 9,         // the reference made by the first drag after addBegan follows
    addLabelBegan = 10,        // option press inside the add area
    labelMoveNewBegan = 11,    // the label made by the first drag after addLabelBegan follows
    labelMoveBegan = 12,       // plain press on a label
};

} // namespace pathwicks
