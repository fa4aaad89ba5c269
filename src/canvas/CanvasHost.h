#pragma once

#include "model/Label.h"
#include "model/Reference.h"

#include <optional>
#include <string>
#include <string_view>

namespace pathwicks {

class TextMeasurer;
class UndoManager;

// The user's remembered choices, kept between runs.
class UserDefaults {
public:
    virtual ~UserDefaults() = default;
    // The value under key when it is a string; nothing when it is absent or of another type.
    virtual std::optional<std::string> stringValue(std::string_view key) const = 0;
    virtual void setString(std::string_view key, const std::string& value) = 0;
};

// What the canvas logic asks of the window it lives in. Every service has a harmless default,
// so a canvas without a window (a test, a tool) still edits its model.
class CanvasHost {
public:
    virtual ~CanvasHost() = default;

    // Draw the whole canvas again.
    virtual void redisplay() {}
    // Bring the detail panel in line with the selection.
    virtual void updateDetailPanel() {}
    // Grow the canvas so that its content can be scrolled to.
    virtual void fitCanvasToContent() {}
    // The content follows the pointer, which moved by `movement` screen points: the visible
    // part moves the opposite way, never above or left of the canvas's origin.
    virtual void panBy(Point movement) { (void)movement; }
    // The user asked to open the reference in its editor.
    virtual void gotoReference(const ReferencePtr& reference) { (void)reference; }

    // The inline editor of titles, over a label or a box.
    virtual void openLabelEditor(const LabelPtr& label) { (void)label; }
    virtual void openTitleEditor(const ReferencePtr& reference) { (void)reference; }
    virtual bool isLabelEditorOpen() const { return false; }
    // Ends the edit now; the field goes, with labels left without a title, after this event.
    virtual void closeLabelEditorLater() {}
    // Ends the edit and removes the field and titleless labels at once.
    virtual void closeLabelEditorNow() {}

    // The window's undo history; without one, edits take place but cannot be undone.
    virtual UndoManager* undoManager() { return nullptr; }
    virtual UserDefaults* userDefaults() { return nullptr; }
    // The editor of a new reference, chosen by a window that knows the installed editors;
    // without one, the editor last chosen in the panel.
    virtual std::optional<std::string> newReferenceEditor() { return std::nullopt; }
    // Measures new labels; without one their size is estimated.
    virtual const TextMeasurer* textMeasurer() const { return nullptr; }
};

} // namespace pathwicks
