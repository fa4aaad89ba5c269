#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pathwicks {

// How an editor's launcher is told the file and the line to open.
enum class LineForm {
    gotoOption,   // --goto FILE:LINE:1
    fileColon,    // FILE:LINE:1
    lineOption,   // --line LINE FILE
    dashL,        // -l LINE FILE
    plusLine,     // +LINE FILE
    clientOption, // -client FILE:LINE:1
    fileOnly,     // FILE: the line cannot be passed
};

// How the command that opens an editor is made.
enum class EditorKind {
    launcher,    // the first launcher found, with the file and line in its line form
    emacs,       // emacsclient when an Emacs server answers, otherwise emacs itself
    environment, // the words of $VISUAL, $EDITOR or Debian's `editor`, in the user's terminal
    webLink,     // no program: the reference holds a web address
};

// One editor a reference can name. Only this list says which editors exist, how to start them
// and where they are usually installed, for the goto tools and for the window alike.
struct Editor {
    std::string_view name; // as stored in a reference's `editor`
    std::string_view key;  // editorKey(name); the goto tool is key + "-goto"
    bool hasGotoTool = true;
    // Tested on macOS to tell whether the editor is installed; empty: always available.
    std::string_view macInstalledPath;
    LineForm lineForm = LineForm::fileColon;
    // Program names looked for on PATH, in order of preference.
    std::vector<std::string_view> launchers;
    // Absolute launcher locations tried after PATH; a leading "~/" stands for the home folder.
    std::vector<std::string> linuxLocations;
    std::vector<std::string_view> macLocations;
    EditorKind kind = EditorKind::launcher;
    // Runs inside the user's terminal.
    bool terminal = false;
    // Made for macOS alone: elsewhere it is offered only when found installed.
    bool macOnly = false;
};

// Every editor, in the order of the panel's pop-up and the Editor menu.
const std::vector<Editor>& editorCatalogue();

const Editor* findEditor(std::string_view name);
const Editor* findEditorByKey(std::string_view key);

// The name lower-cased, with every space removed: "Sublime 2" gives "sublime2". Names outside
// the catalogue get a key by the same rule.
std::string editorKey(std::string_view name);

// The keys of every editor that has a goto tool, in catalogue order: the build makes one tool for
// each, from the keys it reads in this catalogue's source.
std::vector<std::string> gotoToolKeys();

// The first executable launcher of the editor: each launcher name in each folder of pathList
// (colon-separated, as in PATH), then the install locations of this platform, each under root
// (empty: the real root; tests give a folder of their own). Nothing when the editor seems not to
// be installed.
std::optional<std::string> findLauncher(const Editor& editor, std::string_view pathList,
                                        std::string_view homeFolder, std::string_view root = {});

// An executable named `program` in a folder of pathList.
std::optional<std::string> findOnPath(std::string_view program, std::string_view pathList);

// A regular file that may be executed.
bool isExecutableFile(const std::string& path);

// The arguments after the launcher that open file at line (counted from 1).
std::vector<std::string> editorArguments(const Editor& editor, const std::string& file,
                                         unsigned long long line);

} // namespace pathwicks
