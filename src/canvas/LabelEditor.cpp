#include "canvas/LabelEditor.h"

#include "canvas/Canvas.h"
#include "model/UndoManager.h"

namespace pathwicks {

void LabelEditor::open(const LabelPtr& label, const std::optional<std::string>& typed) {
    if (!label)
        return;
    if (fieldShown_)
        closeNow();
    label_ = label;
    reference_.reset();
    start(label->title(), label->rect, TextStyle::label, typed);
}

void LabelEditor::open(const ReferencePtr& reference, const std::optional<std::string>& typed) {
    if (!reference)
        return;
    if (fieldShown_)
        closeNow();
    reference_ = reference;
    label_.reset();
    start(reference->title, reference->rect, TextStyle::reference, typed);
}

void LabelEditor::start(const std::string& title, const Rect& rect, TextStyle style,
                        const std::optional<std::string>& typed) {
    savedTitle_ = title;
    savedRect_ = rect;
    editing_ = true;
    fieldShown_ = true;
    if (typed)
        retitle(*typed);
    field_.show(itemRect().value_or(rect), typed.value_or(title), style, !typed);
}

std::optional<Rect> LabelEditor::itemRect() const {
    if (auto label = label_.lock())
        return label->rect;
    if (auto reference = reference_.lock())
        return reference->rect;
    return std::nullopt;
}

void LabelEditor::retitle(const std::string& text) {
    if (auto label = label_.lock()) {
        label->setTitle(text, canvas_.measurer());
        label->fitToTitle(canvas_.measurer());
    } else if (auto reference = reference_.lock()) {
        reference->title = text;
        reference->fitToTitle(canvas_.measurer());
    }
}

void LabelEditor::textChanged(const std::string& text) {
    if (!editing_ || !itemRect())
        return;
    retitle(text);
    field_.moveTo(*itemRect());
    canvas_.redisplay();
}

void LabelEditor::commit() {
    if (!editing_)
        return;
    editing_ = false;
    if (auto reference = reference_.lock()) {
        // Typed back to where it began: the box is as it was, and nothing is recorded.
        if (reference->title == savedTitle_)
            reference->rect = savedRect_;
        else if (canvas_.contains(reference)) {
            // Recorded from the rectangle the box had, so that undo puts it back.
            const std::string typed = reference->title;
            reference->title = savedTitle_;
            reference->rect = savedRect_;
            canvas_.setReferenceTitle(reference, savedTitle_, typed);
        }
        return;
    }
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
    } else if (auto reference = reference_.lock()) {
        reference->title = savedTitle_;
        reference->rect = savedRect_;
    }
    canvas_.redisplay();
}

void LabelEditor::finishClosing() {
    // A new edit opened in the meantime keeps its field.
    if (editing_ || !fieldShown_)
        return;
    fieldShown_ = false;
    label_.reset();
    reference_.reset();
    field_.remove();
    canvas_.removeEmptyLabels();
}

void LabelEditor::closeNow() {
    commit();
    finishClosing();
}

} // namespace pathwicks
