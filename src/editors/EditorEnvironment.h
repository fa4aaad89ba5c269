#pragma once

#include <map>
#include <string>
#include <string_view>

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

} // namespace pathwicks
