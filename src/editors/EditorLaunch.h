#pragma once

#include "editors/EditorCatalogue.h"
#include "editors/EditorEnvironment.h"
#include "editors/UserEditors.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pathwicks {

// The goto tools: "<key>-goto" for each editor of the catalogue, custom-goto for the user's own.
inline constexpr std::string_view gotoToolSuffix = "-goto";
inline constexpr std::string_view customGotoTool = "custom-goto";
// A goto tool's exit status when it found the marker but could not start the editor.
inline constexpr int cannotStartStatus = 3;

// Where an editor is to open.
struct OpenPlace {
    std::string file;            // absolute
    unsigned long long line = 1; // counted from 1
    std::string folder;          // the folder the marker was looked for in
};

// Which editor a name stands for, looked up once: the user's own editor of that name, which
// replaces the catalogue's, else the catalogue's.
struct EditorChoice {
    std::string name;
    const Editor* catalogue = nullptr; // the catalogue's editor of that name
    std::optional<UserEditor> own;     // the user's editor of that name
    // What was wrong with the user's editors file, when it could not be read.
    std::string userEditorsProblem;

    // Whether the window opens its boxes through custom-goto, given the name: the user's own
    // editors outside the catalogue.
    bool opensThroughCustomTool() const { return own && !catalogue; }
    // The goto tool's file name: custom-goto, else "<key>-goto", names outside both lists too.
    std::string gotoTool() const;
};

// The editor a box's name stands for, among the catalogue's and the user's editors.
EditorChoice chooseEditor(std::string_view name, const UserEditors& userEditors);

// The same among the user's editors only, as custom-goto looks.
EditorChoice chooseUserEditor(std::string_view name, const UserEditors& userEditors);

// Why an editor cannot be started.
enum class LaunchProblem {
    none,
    unknownEditor,     // the name is neither in the catalogue nor among the user's editors
    userEditorsBroken, // the same, and the user's editors file could not be used
    webLink,           // the web-link editor opens addresses, not files
    notInstalled,      // no launcher found, or the user's program not found
    noTerminal,        // it runs in a terminal, and no terminal was found
    noTerminalEditor,  // Terminal Editor: $VISUAL and $EDITOR name no installed program
};

// An editor opening a place, resolved once: what to run, or why nothing can be.
struct EditorLaunch {
    EditorChoice editor;
    // The terminal the program runs in (usersTerminal); empty: none.
    std::vector<std::string> terminal;
    std::string program; // absolute
    std::vector<std::string> arguments;
    // A command run first and waited for (emacsclient asking a running Emacs); the program is
    // started only when it does not exit with 0. Empty: none.
    std::vector<std::string> server;
    // False when the file opens at its start: the line cannot be passed (System Default).
    bool atLine = true;
    LaunchProblem problem = LaunchProblem::none;
    std::string why; // in words for the user, when there is a problem

    bool runs() const { return problem == LaunchProblem::none; }
    // The terminal's words, then the program and its arguments.
    std::vector<std::string> words() const;
};

// How the chosen editor opens the place.
EditorLaunch resolveEditor(const EditorChoice& editor, const OpenPlace& place,
                           const EditorEnvironment& environment);

// The same for the editor chooseEditor finds by name.
EditorLaunch resolveEditor(std::string_view name, const OpenPlace& place,
                           const EditorEnvironment& environment, const UserEditors& userEditors);

} // namespace pathwicks
