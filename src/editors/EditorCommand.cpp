#include "editors/EditorCommand.h"

#include "editors/ShellWords.h"

#include <filesystem>

namespace pathwicks {

namespace {

std::string notInstalled(std::string_view name) {
    return std::string(name) + " is not installed";
}

std::string noTerminal(std::string_view name) {
    return "no terminal was found to run " + std::string(name) +
           " in: set TERMINAL, or install a terminal such as xterm";
}

// The words of $VISUAL, else $EDITOR, else Debian's `editor`, the program found.
std::variant<std::vector<std::string>, std::string>
terminalEditorWords(const EditorEnvironment& environment) {
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

OpenCommand single(std::vector<std::string> words, bool terminal, std::string_view name,
                   const EditorEnvironment& environment) {
    if (terminal) {
        auto wrapped = inUsersTerminal(words, environment);
        if (!wrapped)
            return noTerminal(name);
        words = std::move(*wrapped);
    }
    return std::vector<CommandLine>{{std::move(words), false}};
}

std::vector<std::string> joined(std::string program, const std::vector<std::string>& arguments) {
    std::vector<std::string> words{std::move(program)};
    words.insert(words.end(), arguments.begin(), arguments.end());
    return words;
}

} // namespace

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

std::optional<std::vector<std::string>> inUsersTerminal(const std::vector<std::string>& words,
                                                        const EditorEnvironment& environment) {
    std::vector<std::string> terminal;
    if (auto chosen = shellWords(environment.variable("TERMINAL")); chosen && !chosen->empty()) {
        if (auto program = findProgram(chosen->front(), environment)) {
            terminal = std::move(*chosen);
            terminal.front() = *program;
            terminal.push_back("-e");
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
    for (size_t i = 0; terminal.empty() && i < std::size(known); ++i) {
        if (auto program = findProgram(known[i].program, environment)) {
            terminal.push_back(*program);
            if (!known[i].option.empty())
                terminal.emplace_back(known[i].option);
        }
    }
    if (terminal.empty())
        return std::nullopt;
    terminal.insert(terminal.end(), words.begin(), words.end());
    return terminal;
}

OpenCommand openCommand(const Editor& editor, const OpenPlace& place,
                        const EditorEnvironment& environment, const UserEditors& userEditors) {
    if (const UserEditor* own = userEditors.find(editor.name))
        return openCommand(*own, place, environment);
    const auto arguments = editorArguments(editor, place.file, place.line);
    switch (editor.kind) {
    case EditorKind::webLink:
        return std::string(editor.name) + " opens web addresses, not files";
    case EditorKind::environment: {
        auto words = terminalEditorWords(environment);
        if (auto* problem = std::get_if<std::string>(&words))
            return *problem;
        auto command = std::get<std::vector<std::string>>(std::move(words));
        command.insert(command.end(), arguments.begin(), arguments.end());
        return single(std::move(command), true, editor.name, environment);
    }
    case EditorKind::emacs: {
        const auto emacs =
            findLauncher(editor, environment.path, environment.home, environment.root);
        if (!emacs)
            return notInstalled(editor.name);
        std::vector<CommandLine> lines;
        auto client = findProgram("emacsclient", environment);
        // A distribution's emacs lies beside its emacsclient.
        if (!client && emacs->ends_with("/emacs") && isExecutableFile(*emacs + "client"))
            client = *emacs + "client";
        if (client) {
            std::vector<std::string> words{*client, "-n"};
            words.insert(words.end(), arguments.begin(), arguments.end());
            lines.push_back({std::move(words), true});
        }
        // Debian's emacs-nox has no windows of its own: without a server it needs a terminal.
        std::vector<std::string> own = joined(*emacs, arguments);
        std::error_code ignored;
        if (std::filesystem::canonical(*emacs, ignored).filename().string().ends_with("-nox")) {
            auto wrapped = inUsersTerminal(own, environment);
            if (!wrapped && !client)
                return noTerminal(editor.name);
            if (wrapped)
                own = std::move(*wrapped);
        }
        lines.push_back({std::move(own), false});
        return lines;
    }
    case EditorKind::launcher:
        break;
    }
    auto launcher = findLauncher(editor, environment.path, environment.home, environment.root);
    if (!launcher)
        return notInstalled(editor.name);
    return single(joined(*launcher, arguments), editor.terminal, editor.name, environment);
}

OpenCommand openCommand(const UserEditor& editor, const OpenPlace& place,
                        const EditorEnvironment& environment) {
    auto words = fillPlaceholders(editor.command, place.file, place.line, place.folder);
    auto program = findProgram(words.front(), environment);
    if (!program)
        return editor.name + " is not installed: “" + words.front() + "” was not found";
    words.front() = *program;
    return single(std::move(words), editor.terminal, editor.name, environment);
}

} // namespace pathwicks
