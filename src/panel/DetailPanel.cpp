#include "panel/DetailPanel.h"

#include "model/CommentStyles.h"
#include "model/MarkerLine.h"
#include "model/TextMeasurer.h"
#include "model/UndoManager.h"

#include <cctype>
#include <filesystem>
#include <fstream>

namespace pathwicks {

namespace {

constexpr const char* markerStyleKey = "markerStyle";

// The line as the panel shows it: as it is copied, without its line feed.
std::string shownLine(const Reference& reference, const MarkerStyle& style) {
    std::string line = markerLine(reference, style);
    line.pop_back();
    return line;
}

std::string lowered(std::string_view text) {
    std::string low(text);
    for (char& c : low)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return low;
}

// The kind of file a path is, as the remembered styles are keyed: its language in the table
// of model/CommentStyles, else its extension, else its name.
std::string fileKind(std::string_view path) {
    const std::string name = std::filesystem::path(path).filename().string();
    for (const LanguageStyle& language : languageStyles()) {
        for (std::string_view pattern : language.names) {
            const bool covered = pattern.starts_with("*.")
                                     ? lowered(name).ends_with(lowered(pattern.substr(1))) &&
                                           name.size() > pattern.size() - 1
                                     : pattern == name;
            if (covered)
                return std::string(language.language);
        }
    }
    const std::string extension = std::filesystem::path(name).extension().string();
    return extension.empty() ? name : "*" + lowered(extension);
}

// The first line of a file, for its "#!"; empty when it cannot be read.
std::string firstLineOf(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::string line;
    if (file && file.peek() == '#')
        std::getline(file, line);
    return line.substr(0, 256);
}

} // namespace

std::optional<DetailPanel::FileStyle> DetailPanel::fileStyleOf(const Reference& reference) const {
    const auto* places = states_ ? states_->placesOf(reference) : nullptr;
    if (!places || places->empty())
        return std::nullopt;
    const std::string& path = places->front().path;
    const auto own = commentStyleFor(path, firstLineOf(states_->folder + "/" + path));
    return FileStyle{std::string(markerStyleKey) + "." + fileKind(path),
                     own ? &markerStyleOf(own->opener) : nullptr};
}

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
    if (auto editing = editingNote_.lock(); editing && editing != single)
        noteEditEnded();
    shown_ = single;

    if (!single) {
        controls_.setMarkerText("");
        controls_.showEditor(false);
        controls_.showName(false);
        controls_.showNote(false);
        controls_.showCopyButton(false);
        controls_.showMarkerStyle(false, "");
        return;
    }
    controls_.setMarkerText(single->isWebAddress() ? single->markerText()
                                                   : shownLine(*single, markerStyle()));
    controls_.showEditor(true);
    controls_.selectEditor(single->editor);
    controls_.markEditorInstalled(single->editor, editors_.isEditorAvailable(single->editor));
    controls_.showName(true);
    controls_.setNameText(single->title);
    controls_.showNote(true);
    controls_.setNoteText(single->note);
    controls_.showCopyButton(!single->isWebAddress());
    controls_.showMarkerStyle(!single->isWebAddress(), std::string(markerStyle().opener));
}

const MarkerStyle& DetailPanel::markerStyle() const {
    UserDefaults* defaults = canvas_.host().userDefaults();
    const auto shown = shown_.lock();
    if (const auto file = shown ? fileStyleOf(*shown) : std::nullopt) {
        if (defaults)
            if (auto opener = defaults->stringValue(file->key))
                return markerStyleOf(*opener);
        if (file->own)
            return *file->own;
    }
    if (defaults)
        if (auto opener = defaults->stringValue(markerStyleKey))
            return markerStyleOf(*opener);
    return markerStyles().front();
}

void DetailPanel::markerStyleChosen(const std::string& opener) {
    if (UserDefaults* defaults = canvas_.host().userDefaults()) {
        const std::string chosen(markerStyleOf(opener).opener);
        defaults->setString(markerStyleKey, chosen);
        const auto shown = shown_.lock();
        if (const auto file = shown ? fileStyleOf(*shown) : std::nullopt)
            defaults->setString(file->key, chosen);
    }
    updateDetailPanel();
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

void DetailPanel::noteEdited(const std::string& text) {
    auto reference = editingNote_.lock();
    if (!reference) {
        reference = shown_.lock();
        if (!reference || reference->note == text)
            return;
        editingNote_ = reference;
        savedNote_ = reference->note;
    }
    reference->note = text;
    // The note mark comes and goes with the text.
    canvas_.redisplay();
}

void DetailPanel::noteEditEnded() {
    auto reference = editingNote_.lock();
    editingNote_.reset();
    if (reference && reference->note != savedNote_)
        canvas_.setReferenceNote(reference, savedNote_, reference->note);
}

void DetailPanel::endEdits() {
    nameEditEnded();
    noteEditEnded();
}

void DetailPanel::editorChosen(const std::string& name) {
    // A web link is no editor for the boxes to come: the editor chosen before it stays theirs.
    UserDefaults* defaults = canvas_.host().userDefaults();
    if (defaults && name != webLinkEditorName)
        defaults->setString("lastSetEditor", name);
    if (auto reference = shown_.lock())
        canvas_.setReferenceEditor(reference, name);
}

DetailPanel::SelectionEditor DetailPanel::selectionEditor() const {
    SelectionEditor selection;
    bool mixed = false;
    for (const auto& reference : canvas_.model().content()) {
        if (!reference->selected)
            continue;
        mixed = mixed || (selection.any && reference->editor != selection.common);
        selection.common = reference->editor;
        selection.any = true;
    }
    if (mixed)
        selection.common.reset();
    return selection;
}

void DetailPanel::editorChosenForSelection(const std::string& name) {
    std::vector<ReferencePtr> selected;
    for (const auto& reference : canvas_.model().content())
        if (reference->selected && reference->editor != name)
            selected.push_back(reference);
    if (selected.empty())
        return;
    UserDefaults* defaults = canvas_.host().userDefaults();
    if (defaults && name != webLinkEditorName)
        defaults->setString("lastSetEditor", name);
    UndoManager* undo = canvas_.host().undoManager();
    if (undo)
        undo->beginGroup();
    for (const auto& reference : selected)
        canvas_.setReferenceEditor(reference, name);
    if (undo)
        undo->endGroup();
}

void DetailPanel::copyMarker(Pasteboard& pasteboard, bool attach) {
    auto reference = shown_.lock();
    if (!reference)
        return;
    if (attach) {
        const auto text = pasteboard.text();
        const auto marker = text ? parseMarkerLine(*text) : std::nullopt;
        if (!marker) {
            controls_.tell("The clipboard holds no marker line to attach to.\n\nA marker line is a "
                           "comment holding a reference's id, in any comment style:\n\n"
                           "    // pathwick-… Title\n    # pathwick-… Title\n\n"
                           "or the id alone on a line.");
            return;
        }
        for (const auto& other : canvas_.model().content()) {
            if (other == reference || other->id != marker->id)
                continue;
            if (!controls_.confirm("The box “" + other->displayTitle() + "” already has the id " +
                                       marker->id + ". Give it to this box as well, so that "
                                       "both go to the same line of code?",
                                   "Share the Id"))
                return;
            break;
        }
        canvas_.setReferenceIdAndTitle(reference, marker->id,
                                       marker->hasTitle ? marker->title : reference->title);
    }
    pasteboard.setText(markerLine(*reference, markerStyle()));
}

} // namespace pathwicks
