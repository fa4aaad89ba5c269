#include "panel/DetailPanel.h"

#include "model/TextMeasurer.h"
#include "panel/MarkerLine.h"

namespace pathwicks {

void DetailPanel::updateDetailPanel() {
    ReferencePtr single;
    int count = 0;
    for (const auto& reference : canvas_.model().content()) {
        if (reference->selected) {
            single = reference;
            ++count;
        }
    }
    if (count != 1)
        single = nullptr;
    // A name edit belongs to the box it began on: end it before the panel shows another.
    if (auto editing = editing_.lock(); editing && editing != single)
        nameEditEnded();
    shown_ = single;

    if (!single) {
        controls_.setMarkerText("");
        controls_.showEditor(false);
        controls_.showName(false);
        controls_.showCopyButton(false);
        return;
    }
    controls_.setMarkerText(single->markerText());
    controls_.showEditor(true);
    controls_.selectEditor(single->editor);
    controls_.markEditorInstalled(single->editor, editors_.isEditorAvailable(single->editor));
    controls_.showName(true);
    controls_.setNameText(single->title);
    controls_.showCopyButton(!single->isWebAddress());
}

void DetailPanel::nameEdited(const std::string& text) {
    auto reference = editing_.lock();
    if (!reference) {
        reference = shown_.lock();
        if (!reference)
            return;
        editing_ = reference;
        savedTitle_ = reference->title;
    }
    reference->title = text;
    reference->fitToTitle(canvas_.measurer());
    canvas_.redisplay();
}

void DetailPanel::nameEditEnded() {
    auto reference = editing_.lock();
    editing_.reset();
    // An edit that changed nothing leaves nothing to undo.
    if (reference && reference->title != savedTitle_)
        canvas_.setReferenceTitle(reference, savedTitle_, reference->title);
}

void DetailPanel::editorChosen(const std::string& name) {
    // A web link is no editor for the boxes to come: the editor chosen before it stays theirs.
    UserDefaults* defaults = canvas_.host().userDefaults();
    if (defaults && name != webLinkEditorName)
        defaults->setString("lastSetEditor", name);
    if (auto reference = shown_.lock())
        canvas_.setReferenceEditor(reference, name);
}

void DetailPanel::copyMarker(Pasteboard& pasteboard, bool attach) {
    auto reference = shown_.lock();
    if (!reference)
        return;
    if (attach) {
        if (auto text = pasteboard.text()) {
            if (auto marker = parseMarkerLine(*text))
                canvas_.setReferenceIdAndTitle(reference, marker->id, marker->title);
        }
    }
    pasteboard.setText(markerLine(*reference));
}

} // namespace pathwicks
