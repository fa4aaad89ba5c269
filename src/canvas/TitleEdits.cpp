// The edits of titles, editors and markers, and the keyboard's commands on the selection.
#include "canvas/Canvas.h"

#include "model/TextMeasurer.h"

namespace pathwicks {

namespace {

// Only for a canvas without a window: close enough to size a box or place a new label.
class EstimatingMeasurer : public TextMeasurer {
public:
    Size measureText(std::string_view text, const TextAttributes& attributes) const override {
        return {0.6 * attributes.fontSize * double(text.size()), 1.25 * attributes.fontSize};
    }
};

} // namespace

const TextMeasurer& Canvas::measurer() const {
    static const EstimatingMeasurer estimate;
    const TextMeasurer* measurer = host_->textMeasurer();
    return measurer ? *measurer : estimate;
}

void Canvas::setReferenceTitle(const ReferencePtr& reference, const std::string& previousTitle,
                               const std::string& newTitle) {
    recordUndo([reference, previousTitle, newTitle](Canvas& canvas) {
        canvas.setReferenceTitle(reference, newTitle, previousTitle);
    });
    reference->title = newTitle;
    reference->fitToTitle(measurer());
    redisplay();
    updateDetailPanel();
}

void Canvas::setLabelTitle(const LabelPtr& label, const std::string& previousTitle,
                           const std::string& newTitle) {
    recordUndo([label, previousTitle, newTitle](Canvas& canvas) {
        canvas.setLabelTitle(label, newTitle, previousTitle);
    });
    label->setTitle(newTitle, measurer());
    label->fitToTitle(measurer());
    redisplay();
}

void Canvas::setReferenceEditor(const ReferencePtr& reference, const std::string& editor) {
    recordUndo([reference, old = reference->editor](Canvas& canvas) {
        canvas.setReferenceEditor(reference, old);
    });
    reference->editor = editor;
    redisplay();
    updateDetailPanel();
}

void Canvas::setReferenceNote(const ReferencePtr& reference, const std::string& previousNote,
                              const std::string& newNote) {
    recordUndo([reference, previousNote, newNote](Canvas& canvas) {
        canvas.setReferenceNote(reference, newNote, previousNote);
    });
    reference->note = newNote;
    redisplay();
    updateDetailPanel();
}

void Canvas::setReferenceIdAndTitle(const ReferencePtr& reference, const std::string& id,
                                    const std::string& title) {
    recordUndo([reference, oldId = reference->id, oldTitle = reference->title](Canvas& canvas) {
        canvas.setReferenceIdAndTitle(reference, oldId, oldTitle);
    });
    reference->id = id;
    reference->title = title;
    updateDetailPanel();
    redisplay();
}

void Canvas::removeEmptyLabels() {
    if (std::erase_if(model_.labels, [](const LabelPtr& label) { return label->title().empty(); }))
        redisplay();
}

void Canvas::deleteSelection() {
    std::vector<Arrow> arrows;
    for (const auto& arrow : model_.arrows) {
        if (!arrow.first->selected && !arrow.second->selected)
            arrows.push_back(arrow);
    }
    std::vector<ReferencePtr> content;
    for (const auto& reference : model_.content()) {
        if (!reference->selected)
            content.push_back(reference);
    }
    std::vector<LabelPtr> labels;
    for (const auto& label : model_.labels) {
        if (!label->selected)
            labels.push_back(label);
    }
    setContentAndArrows(std::move(content), std::move(arrows));
    if (labels.size() != model_.labels.size())
        setLabels(std::move(labels));
    // The panel must not go on showing, and editing, a box that is gone.
    updateDetailPanel();
}

void Canvas::selectAll() {
    for (const auto& reference : model_.content())
        reference->selected = true;
    for (const auto& label : model_.labels)
        label->selected = true;
    redisplay();
    // With more than one box selected the panel has nothing to show.
    updateDetailPanel();
}

} // namespace pathwicks
