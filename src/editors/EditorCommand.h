#pragma once

#include "editors/EditorCatalogue.h"
#include "editors/EditorEnvironment.h"
#include "editors/UserEditors.h"

#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace pathwicks {

// One program to start: its path first, then its arguments, never given to a shell.
struct CommandLine {
    std::vector<std::string> words;
    // Run and waited for: the next command line is used only when this one does not exit with 0.
    bool tryFirst = false;
};

// Where an editor is to open.
struct OpenPlace {
    std::string file;            // absolute
    unsigned long long line = 1; // counted from 1
    std::string folder;          // the folder the marker was looked for in
};

// The command lines to start in turn, or, in words for the user, why the editor cannot be
// started.
using OpenCommand = std::variant<std::vector<CommandLine>, std::string>;

// The program as given when it is an absolute path to an executable, otherwise the first
// executable of that name on PATH.
std::optional<std::string> findProgram(std::string_view program,
                                       const EditorEnvironment& environment);

// The user's terminal running words: `$TERMINAL -e WORDS`, else `xdg-terminal-exec WORDS`, else
// `x-terminal-emulator -e WORDS`, `gnome-terminal -- WORDS`, `konsole -e WORDS` or `xterm -e
// WORDS`, the first found. Nothing when no terminal is found.
std::optional<std::vector<std::string>> inUsersTerminal(const std::vector<std::string>& words,
                                                        const EditorEnvironment& environment);

// How the catalogue editor opens the place; a user's editor of the same name replaces it.
OpenCommand openCommand(const Editor& editor, const OpenPlace& place,
                        const EditorEnvironment& environment, const UserEditors& userEditors);

// How an editor of the user's own opens the place.
OpenCommand openCommand(const UserEditor& editor, const OpenPlace& place,
                        const EditorEnvironment& environment);

} // namespace pathwicks
