#pragma once

#include <optional>
#include <string>

namespace pathwicks {

// The detail panel's widgets as the panel logic drives them.
class PanelControls {
public:
    virtual ~PanelControls() = default;
    virtual void setMarkerText(const std::string& text) = 0;
    virtual void showName(bool shown) = 0;
    virtual void setNameText(const std::string& text) = 0;
    virtual void showNote(bool shown) = 0;
    virtual void setNoteText(const std::string& text) = 0;
    virtual void showEditor(bool shown) = 0;
    // Selects the item with that name; none when no item has it.
    virtual void selectEditor(const std::string& name) = 0;
    // Marks the item as installed or not; either way it can be chosen, for documents meant for
    // others.
    virtual void markEditorInstalled(const std::string& name, bool installed) = 0;
    virtual void showCopyButton(bool shown) = 0;
    // The chooser of the comment style marker lines are copied in, showing that style's opener.
    virtual void showMarkerStyle(bool shown, const std::string& opener) = 0;
    // Tells the user why an action did nothing.
    virtual void tell(const std::string& message) = 0;
    // Asks before an action; true to go ahead. `action` names the button that does.
    virtual bool confirm(const std::string& question, const std::string& action) = 0;
};

// The system's clipboard, as plain text.
class Pasteboard {
public:
    virtual ~Pasteboard() = default;
    virtual std::optional<std::string> text() const = 0;
    virtual void setText(const std::string& text) = 0;
};

} // namespace pathwicks
