#include "editors/EditorLaunch.h"

#include <filesystem>

namespace pathwicks {

namespace {

void fail(EditorLaunch& launch, LaunchProblem problem, std::string why) {
    launch.problem = problem;
    launch.why = std::move(why);
}

void notInstalled(EditorLaunch& launch) {
    fail(launch, LaunchProblem::notInstalled, launch.editor.name + " is not installed");
}

void noTerminal(EditorLaunch& launch) {
    fail(launch, LaunchProblem::noTerminal,
         "no terminal was found to run " + launch.editor.name +
             " in: set TERMINAL, or install a terminal such as xterm");
}

// Runs the launch in the user's terminal, or says that there is none.
void inTerminal(EditorLaunch& launch, const EditorEnvironment& environment) {
    auto terminal = usersTerminal(environment);
    if (!terminal)
        return noTerminal(launch);
    launch.terminal = std::move(*terminal);
}

void userCommand(EditorLaunch& launch, const UserEditor& own, const OpenPlace& place,
                 const EditorEnvironment& environment) {
    auto words = fillPlaceholders(own.command, place.file, place.line, place.folder);
    auto program = findProgram(words.front(), environment);
    if (!program)
        return fail(launch, LaunchProblem::notInstalled,
                    own.name + " is not installed: “" + words.front() + "” was not found");
    launch.program = *program;
    launch.arguments.assign(words.begin() + 1, words.end());
    if (own.terminal)
        inTerminal(launch, environment);
}

void terminalEditorCommand(EditorLaunch& launch, const EditorEnvironment& environment) {
    auto words = usersTerminalEditor(environment);
    if (auto* problem = std::get_if<std::string>(&words))
        return fail(launch, LaunchProblem::noTerminalEditor, *problem);
    auto& editor = std::get<std::vector<std::string>>(words);
    launch.program = editor.front();
    launch.arguments.insert(launch.arguments.begin(), editor.begin() + 1, editor.end());
    inTerminal(launch, environment);
}

void emacsCommand(EditorLaunch& launch, const Editor& editor,
                  const EditorEnvironment& environment) {
    const auto emacs = findLauncher(editor, environment.path, environment.home, environment.root);
    if (!emacs)
        return notInstalled(launch);
    launch.program = *emacs;
    auto client = findProgram("emacsclient", environment);
    // A distribution's emacs lies beside its emacsclient.
    if (!client && emacs->ends_with("/emacs") && isExecutableFile(*emacs + "client"))
        client = *emacs + "client";
    if (client) {
        launch.server = {*client, "-n"};
        launch.server.insert(launch.server.end(), launch.arguments.begin(),
                             launch.arguments.end());
    }
    // Debian's emacs-nox has no windows of its own: without a server it needs a terminal.
    std::error_code ignored;
    if (!std::filesystem::canonical(*emacs, ignored).filename().string().ends_with("-nox"))
        return;
    if (auto terminal = usersTerminal(environment))
        launch.terminal = std::move(*terminal);
    else if (!client)
        noTerminal(launch);
}

void catalogueCommand(EditorLaunch& launch, const Editor& editor, const OpenPlace& place,
                      const EditorEnvironment& environment) {
    launch.arguments = editorArguments(editor, place.file, place.line);
    launch.atLine = editor.lineForm != LineForm::fileOnly;
    switch (editor.kind) {
    case EditorKind::webLink:
        return fail(launch, LaunchProblem::webLink,
                    launch.editor.name + " opens web addresses, not files");
    case EditorKind::environment:
        return terminalEditorCommand(launch, environment);
    case EditorKind::emacs:
        return emacsCommand(launch, editor, environment);
    case EditorKind::launcher:
        break;
    }
    auto launcher = findLauncher(editor, environment.path, environment.home, environment.root);
    if (!launcher)
        return notInstalled(launch);
    launch.program = *launcher;
    if (editor.terminal)
        inTerminal(launch, environment);
}

} // namespace

std::string EditorChoice::gotoTool() const {
    if (opensThroughCustomTool())
        return std::string(customGotoTool);
    return editorKey(name) + std::string(gotoToolSuffix);
}

EditorChoice chooseUserEditor(std::string_view name, const UserEditors& userEditors) {
    EditorChoice choice;
    choice.name = name;
    if (const UserEditor* own = userEditors.find(name))
        choice.own = *own;
    choice.userEditorsProblem = userEditors.problem;
    return choice;
}

EditorChoice chooseEditor(std::string_view name, const UserEditors& userEditors) {
    EditorChoice choice = chooseUserEditor(name, userEditors);
    choice.catalogue = findEditor(name);
    return choice;
}

std::vector<std::string> EditorLaunch::words() const {
    std::vector<std::string> words = terminal;
    words.push_back(program);
    words.insert(words.end(), arguments.begin(), arguments.end());
    return words;
}

EditorLaunch resolveEditor(const EditorChoice& editor, const OpenPlace& place,
                           const EditorEnvironment& environment) {
    EditorLaunch launch;
    launch.editor = editor;
    if (editor.own)
        userCommand(launch, *editor.own, place, environment);
    else if (editor.catalogue)
        catalogueCommand(launch, *editor.catalogue, place, environment);
    else if (!editor.userEditorsProblem.empty())
        fail(launch, LaunchProblem::userEditorsBroken, editor.userEditorsProblem);
    else
        fail(launch, LaunchProblem::unknownEditor,
             "no editor named “" + editor.name + "” in " + userEditorsFile(environment));
    return launch;
}

EditorLaunch resolveEditor(std::string_view name, const OpenPlace& place,
                           const EditorEnvironment& environment, const UserEditors& userEditors) {
    return resolveEditor(chooseEditor(name, userEditors), place, environment);
}

} // namespace pathwicks
