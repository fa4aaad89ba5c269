#pragma once

#include "editors/EditorEnvironment.h"

#include <string>
#include <vector>

namespace pathwicks {

// An editor of the user's own, from their editors file.
struct UserEditor {
    std::string name;
    // The program, then its arguments, which may hold {file}, {line} and {folder}.
    std::vector<std::string> command;
    bool terminal = false; // runs in the user's terminal
};

// What the editors file holds; a broken file gives no editors and says why.
struct UserEditors {
    std::vector<UserEditor> editors;
    std::string problem; // names the file and what is wrong with it; empty when it is sound

    const UserEditor* find(std::string_view name) const;
};

// $XDG_CONFIG_HOME/pathwicks/editors.json, or ~/.config/pathwicks/editors.json.
std::string userEditorsFile(const EditorEnvironment& environment);

// Reads the user's editors file: {"editors": [{"name": …, "command": […], "terminal": …}]}.
// No file gives no editors and no problem.
UserEditors readUserEditors(const EditorEnvironment& environment);

// The same, from the file's text; file names the file in the problem.
UserEditors parseUserEditors(const std::string& text, const std::string& file);

// The command's words with {file}, {line} and {folder} replaced wherever they stand.
std::vector<std::string> fillPlaceholders(const std::vector<std::string>& command,
                                          const std::string& file, unsigned long long line,
                                          const std::string& folder);

} // namespace pathwicks
