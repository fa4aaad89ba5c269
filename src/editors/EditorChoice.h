#pragma once

#include "editors/EditorAvailability.h"

#include <string>
#include <string_view>

namespace pathwicks {

// Which editor a box opens in for the person reading the document, who may not have the editor
// its author chose. The document never changes by it.
enum class OpenBoxesIn {
    boxEditorWhenInstalled, // the editor each box names when installed, else the reader's own
    mine,                   // always the reader's own
};

struct EditorPreferences {
    OpenBoxesIn openIn = OpenBoxesIn::boxEditorWhenInstalled;
    std::string myEditor; // empty: the default, defaultEditor()
};

// The reader's editor when none is chosen: the first installed of the usual Linux editors (as
// for a new box), with the terminal editor of $VISUAL or $EDITOR before System Default.
std::string defaultEditor(const EditorAvailability& editors);
// The reader's editor: the chosen one, else the default.
std::string myEditor(const EditorPreferences& preferences, const EditorAvailability& editors);

struct EditorToOpen {
    std::string name;
    // The reader's editor stands in for the box's, which is not installed here.
    bool standsIn = false;
};

// The editor a box that names boxEditor opens in. A web link always opens in the browser; a
// name that is no editor of the catalogue's or the user's opens as it did.
EditorToOpen editorToOpen(std::string_view boxEditor, const EditorPreferences& preferences,
                          const EditorAvailability& editors);

// What the reader is told when their editor stood in for the box's.
std::string standInNotice(std::string_view boxEditor, std::string_view opened);

} // namespace pathwicks
