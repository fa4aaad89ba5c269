#include "canvas/LabelEditor.h"

#include "canvas/Canvas.h"
#include "model/UndoManager.h"

namespace pathwicks {

void LabelEditor::open(const LabelPtr& label) {
    if (!label)
        return;
    if (fieldShown_)
        closeNow();
    label_ = label;
    savedTitle_ = label->title();
    savedRect_ = label->rect;
    editing_ = true;
    fieldShown_ = true;
    field_.show(label->rect, label->title());
}

void LabelEditor::textChanged(const std::string& text) {
    auto label = label_.lock();
    if (!editing_ || !label)
        return;
    label->setTitle(text, canvas_.measurer());
    label->fitToTitle(canvas_.measurer());
    field_.moveTo(label->rect);
    canvas_.redisplay();
}

void LabelEditor::commit() {
    if (!editing_)
        return;
    editing_ = false;
    auto label = label_.lock();
    // An edit that changed nothing leaves nothing to undo.
    if (!label || label->title() == savedTitle_)
        return;
    UndoManager* undo = canvas_.host().undoManager();
    if (undo)
        undo->beginGroup();
    canvas_.setLabelTitle(label, savedTitle_, label->title());
    // A label typed empty goes with the same step, so that undo brings it back with its text.
    // Labels that were empty before go for good, first, so that undo does not restore them.
    if (label->title().empty() && canvas_.containsLabel(label)) {
        canvas_.removeEmptyLabels();
        canvas_.setLabelPresence(label, false);
    }
    if (undo)
        undo->endGroup();
}

void LabelEditor::cancel() {
    if (!editing_)
        return;
    editing_ = false;
    if (auto label = label_.lock()) {
        label->setTitle(savedTitle_, canvas_.measurer());
        label->rect = savedRect_;
        canvas_.redisplay();
    }
}

void LabelEditor::finishClosing() {
    // A new edit opened in the meantime keeps its field.
    if (editing_ || !fieldShown_)
        return;
    fieldShown_ = false;
    label_.reset();
    field_.remove();
    canvas_.removeEmptyLabels();
}

void LabelEditor::closeNow() {
    commit();
    finishClosing();
}

} // namespace pathwicks
