#include "canvas/AddGesture.h"

#include "canvas/Canvas.h"
#include "canvas/FreeSpace.h"
#include "canvas/Grid.h"
#include "canvas/SelectionGesture.h"
#include "model/TextMeasurer.h"

#include <nlohmann/json.hpp>

#include <algorithm>

namespace pathwicks::adding {

namespace {

Point centredOrigin(Point p, Size size) {
    return keepOnCanvas(snapToGrid(Point{p.x - size.width / 2, p.y - size.height / 2}));
}

ReferencePtr makeReference(Canvas& canvas, Point centre) {
    auto reference = Reference::fromDictionary(nlohmann::json::object());
    const Point origin = centredOrigin(centre, newReferenceSize);
    reference->rect = {origin.x, origin.y, newReferenceSize.width, newReferenceSize.height};
    // The window's choice, else the editor last chosen in the detail panel; an empty name names
    // no editor, and a web link is never what a new box is meant to be.
    if (auto editor = canvas.host().newReferenceEditor()) {
        reference->editor = *editor;
    } else if (UserDefaults* defaults = canvas.host().userDefaults()) {
        if (auto editor = defaults->stringValue("lastSetEditor");
            editor && !editor->empty() && *editor != webLinkEditorName)
            reference->editor = *editor;
    }
    return reference;
}

LabelPtr makeLabel(Canvas& canvas, Point centre) {
    const TextMeasurer& measurer = canvas.measurer();
    auto label = Label::fromDictionary(nlohmann::json::object());
    label->setTitle(newLabelTitle, measurer);
    label->rect.width = measurer.measureText(newLabelTitle, labelTextAttributes()).width + 20;
    const Point origin = centredOrigin(centre, {label->rect.width, label->rect.height});
    label->rect.x = origin.x;
    label->rect.y = origin.y;
    return label;
}

// The first drag: nothing stays selected.
void startAdding(Canvas& canvas) {
    canvas.deselectAll();
    canvas.updateDetailPanel();
}

} // namespace

void dragReference(Canvas& canvas, gesture::AddReference& add, Point p) {
    if (add.made) {
        selection::referencesFollow(canvas, add.added.lock(), Point{}, p);
        return;
    }
    add.made = true;
    startAdding(canvas);
    auto reference = makeReference(canvas, p);
    auto content = canvas.model().content();
    content.push_back(reference);
    canvas.model().setContent(std::move(content));
    reference->selected = true;
    add.added = reference;
    canvas.setPressedReference(reference);
}

void dragLabel(Canvas& canvas, gesture::AddLabel& add, Point p) {
    if (add.made) {
        selection::labelFollows(canvas, add.added.lock(), Point{}, p);
        return;
    }
    add.made = true;
    startAdding(canvas);
    auto label = makeLabel(canvas, p);
    canvas.model().labels.push_back(label);
    add.added = label;
    canvas.redisplay();
}

void release(Canvas& canvas, const gesture::AddReference& add) {
    auto added = add.added.lock();
    // Already gone again: recording its addition would only wipe out what could be redone.
    if (!added || !canvas.contains(added))
        return;
    auto withIt = canvas.model().content();
    auto without = withIt;
    std::erase(without, added);
    canvas.model().setContent(std::move(without));
    canvas.setContentAndArrows(std::move(withIt), canvas.model().arrows);
}

void release(Canvas& canvas, const gesture::AddLabel& add) {
    auto added = add.added.lock();
    if (!added || !canvas.containsLabel(added))
        return;
    canvas.setLabelPresence(added, true);
}

void insertReference(Canvas& canvas, Point p) {
    canvas.finishGesture();
    auto reference = makeReference(canvas, p);
    reference->rect = freePlaceBelow(canvas.model(), reference->rect);
    canvas.deselectAll();
    reference->selected = true;
    auto content = canvas.model().content();
    content.push_back(reference);
    canvas.setContentAndArrows(std::move(content), canvas.model().arrows);
    // It counts as pressed: a double click opens it, an arrow press deselects it.
    canvas.setPressedReference(reference);
    canvas.updateDetailPanel();
    canvas.host().openTitleEditor(reference);
}

void insertLabel(Canvas& canvas, Point p) {
    canvas.finishGesture();
    auto label = makeLabel(canvas, p);
    label->rect = freePlaceBelow(canvas.model(), label->rect);
    canvas.deselectAll();
    canvas.updateDetailPanel();
    label->selected = true;
    canvas.setLabelPresence(label, true);
    canvas.host().openLabelEditor(label);
}

} // namespace pathwicks::adding
