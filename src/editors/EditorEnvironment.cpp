#include "editors/EditorEnvironment.h"

#include "editors/EditorCatalogue.h"
#include "editors/ShellWords.h"

#include <cstdlib>

namespace pathwicks {

EditorEnvironment EditorEnvironment::ofThisProcess() {
    EditorEnvironment environment;
    const char* path = std::getenv("PATH");
    environment.path = path ? path : "/usr/local/bin:/usr/bin:/bin";
    if (const char* home = std::getenv("HOME"))
        environment.home = home;
    for (const char* name : {"TERMINAL", "VISUAL", "EDITOR", "XDG_CONFIG_HOME"})
        if (const char* value = std::getenv(name))
            environment.variables[name] = value;
    return environment;
}

std::optional<std::string> findProgram(std::string_view program,
                                       const EditorEnvironment& environment) {
    if (program.starts_with('/')) {
        std::string path(program);
        if (isExecutableFile(path))
            return path;
        return std::nullopt;
    }
    return findOnPath(program, environment.path);
}

std::optional<std::vector<std::string>> usersTerminal(const EditorEnvironment& environment) {
    if (auto chosen = shellWords(environment.variable("TERMINAL")); chosen && !chosen->empty()) {
        if (auto program = findProgram(chosen->front(), environment)) {
            chosen->front() = *program;
            chosen->push_back("-e");
            return chosen;
        }
    }
    struct Known {
        std::string_view program;
        std::string_view option; // before the command's words; empty: none
    };
    static constexpr Known known[] = {{"xdg-terminal-exec", ""},
                                      {"x-terminal-emulator", "-e"},
                                      {"gnome-terminal", "--"},
                                      {"konsole", "-e"},
                                      {"xterm", "-e"}};
    for (const Known& terminal : known) {
        if (auto program = findProgram(terminal.program, environment)) {
            std::vector<std::string> words{*program};
            if (!terminal.option.empty())
                words.emplace_back(terminal.option);
            return words;
        }
    }
    return std::nullopt;
}

std::variant<std::vector<std::string>, std::string>
usersTerminalEditor(const EditorEnvironment& environment) {
    std::string variable = "VISUAL";
    std::string value = environment.variable(variable);
    if (value.find_first_not_of(" \t\n") == std::string::npos) {
        variable = "EDITOR";
        value = environment.variable(variable);
    }
    if (value.find_first_not_of(" \t\n") == std::string::npos) {
        if (auto program = findProgram("editor", environment))
            return std::vector<std::string>{*program};
        return std::string("no terminal editor is set: set VISUAL or EDITOR, or install one as "
                           "`editor`");
    }
    auto words = shellWords(value);
    if (!words)
        return "$" + variable + " cannot be split into words: a quote is left open";
    if (words->empty())
        return "$" + variable + " names no program";
    auto program = findProgram(words->front(), environment);
    if (!program)
        return "$" + variable + " names “" + words->front() + "”, which is not installed";
    words->front() = *program;
    return std::move(*words);
}

} // namespace pathwicks
