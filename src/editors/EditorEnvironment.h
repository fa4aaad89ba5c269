#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace pathwicks {

// What finding and starting editors takes from the surroundings: the goto tools fill it from
// their environment, the window from its own, tests with folders of their own.
struct EditorEnvironment {
    std::string path; // the PATH list of folders
    std::string home; // the home folder
    // TERMINAL, VISUAL, EDITOR and XDG_CONFIG_HOME, when set.
    std::map<std::string, std::string, std::less<>> variables;
    // Put before every absolute install place; empty in real use.
    std::string root;

    // The variable's value; empty when it is not set.
    std::string variable(std::string_view name) const {
        auto it = variables.find(name);
        return it == variables.end() ? std::string() : it->second;
    }

    // This process's own PATH, HOME and the variables above.
    static EditorEnvironment ofThisProcess();
};

// The program as given when it is an absolute path to an executable, otherwise the first
// executable of that name on PATH.
std::optional<std::string> findProgram(std::string_view program,
                                       const EditorEnvironment& environment);

// The user's terminal, the words a command's own words follow: `$TERMINAL -e`, else
// `xdg-terminal-exec`, else `x-terminal-emulator -e`, `gnome-terminal --`, `konsole -e` or
// `xterm -e`, the first found, its program as found. Nothing when no terminal is found.
std::optional<std::vector<std::string>> usersTerminal(const EditorEnvironment& environment);

// The words of $VISUAL, else $EDITOR, split as a shell would, else Debian's `editor`, the
// program as found; otherwise, in words for the user, why there is no terminal editor.
std::variant<std::vector<std::string>, std::string>
usersTerminalEditor(const EditorEnvironment& environment);

} // namespace pathwicks
