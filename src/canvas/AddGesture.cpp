#include "canvas/AddGesture.h"

#include "canvas/Canvas.h"
#include "canvas/Grid.h"
#include "model/TextMeasurer.h"

#include <nlohmann/json.hpp>

#include <algorithm>

namespace pathwicks::adding {

namespace {

// Used only when the window gives no measurer: close enough to place a new label.
class EstimatingMeasurer : public TextMeasurer {
public:
    Size measureText(std::string_view text, const TextAttributes& attributes) const override {
        return {0.6 * attributes.fontSize * double(text.size()), 1.25 * attributes.fontSize};
    }
};

Point centredOrigin(Point p, Size size) {
    return keepOnCanvas(snapToGrid(Point{p.x - size.width / 2, p.y - size.height / 2}));
}

ReferencePtr makeReference(Canvas& canvas, Point centre) {
    auto reference = Reference::fromDictionary(nlohmann::json::object());
    const Point origin = centredOrigin(centre, newReferenceSize);
    reference->rect = {origin.x, origin.y, newReferenceSize.width, newReferenceSize.height};
    // The editor last chosen in the detail panel; an empty name names no editor.
    if (UserDefaults* defaults = canvas.host().userDefaults()) {
        if (auto editor = defaults->stringValue("lastSetEditor"); editor && !editor->empty())
            reference->editor = *editor;
    }
    return reference;
}

LabelPtr makeLabel(Canvas& canvas, Point centre) {
    static const EstimatingMeasurer estimate;
    const TextMeasurer* measurer = canvas.host().textMeasurer();
    if (!measurer)
        measurer = &estimate;
    auto label = Label::fromDictionary(nlohmann::json::object());
    label->setTitle(newLabelTitle, *measurer);
    label->rect.width = measurer->measureText(newLabelTitle, labelTextAttributes()).width + 20;
    const Point origin = centredOrigin(centre, {label->rect.width, label->rect.height});
    label->rect.x = origin.x;
    label->rect.y = origin.y;
    return label;
}

void startAdding(Canvas& canvas, InteractionState state) {
    canvas.drawState.interactionState = state;
    canvas.deselectAllReferences();
    canvas.updateDetailPanel();
    canvas.dragOffset = Point{};
}

} // namespace

void addReferenceAt(Canvas& canvas, Point p) {
    startAdding(canvas, InteractionState::addBeganAdded);
    auto reference = makeReference(canvas, p);
    auto content = canvas.model().content();
    content.push_back(reference);
    canvas.model().setContent(std::move(content));
    reference->selected = true;
    canvas.drawState.mouseDownRef = reference;
}

void addLabelAt(Canvas& canvas, Point p) {
    startAdding(canvas, InteractionState::labelMoveNewBegan);
    auto label = makeLabel(canvas, p);
    canvas.model().labels.push_back(label);
    canvas.mouseDownLbl = label;
    canvas.redisplay();
}

void commitAddedReference(Canvas& canvas) {
    auto added = canvas.drawState.mouseDownRef.lock();
    // Already gone again: recording its addition would only wipe out what could be redone.
    if (!added || !canvas.contains(added))
        return;
    auto withIt = canvas.model().content();
    auto without = withIt;
    std::erase(without, added);
    canvas.model().setContent(std::move(without));
    canvas.setContentAndArrows(std::move(withIt), canvas.model().arrows);
}

void commitAddedLabel(Canvas& canvas) {
    auto added = canvas.mouseDownLbl.lock();
    const auto& labels = canvas.model().labels;
    if (!added || std::find(labels.begin(), labels.end(), added) == labels.end())
        return;
    canvas.setLabelPresence(added, true);
}

void insertReference(Canvas& canvas, Point p) {
    canvas.finishGesture();
    auto reference = makeReference(canvas, p);
    canvas.deselectAllReferences();
    reference->selected = true;
    auto content = canvas.model().content();
    content.push_back(reference);
    canvas.setContentAndArrows(std::move(content), canvas.model().arrows);
    // The pressed reference is the one the detail panel renames.
    canvas.drawState.mouseDownRef = reference;
    canvas.updateDetailPanel();
}

void insertLabel(Canvas& canvas, Point p) {
    canvas.finishGesture();
    auto label = makeLabel(canvas, p);
    canvas.setLabelPresence(label, true);
    canvas.mouseDownLbl = label;
    canvas.host().openLabelEditor(label);
}

} // namespace pathwicks::adding
