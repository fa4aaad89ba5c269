#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pathwicks {

// How an editor's launcher is told the file and the line to open.
enum class LineForm {
    gotoOption, // --goto FILE:LINE
    fileColon,  // FILE:LINE
    lineOption, // --line LINE FILE
    dashL,      // -l LINE FILE
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
    std::vector<std::string_view> linuxLocations;
    std::vector<std::string_view> macLocations;
};

// The nine editors, in the order in which they are tested everywhere.
const std::vector<Editor>& editorCatalogue();

const Editor* findEditor(std::string_view name);
const Editor* findEditorByKey(std::string_view key);

// The name lower-cased, with every space removed: "Sublime 2" gives "sublime2". Names outside
// the catalogue get a key by the same rule.
std::string editorKey(std::string_view name);

// The first executable launcher of the editor: each launcher name in each folder of pathList
// (colon-separated, as in PATH), then the install locations of this platform. Nothing when the
// editor seems not to be installed.
std::optional<std::string> findLauncher(const Editor& editor, std::string_view pathList,
                                        std::string_view homeFolder);

// An executable named `program` in a folder of pathList.
std::optional<std::string> findOnPath(std::string_view program, std::string_view pathList);

// The arguments after the launcher that open file at line (counted from 1).
std::vector<std::string> editorArguments(const Editor& editor, const std::string& file,
                                         unsigned long long line);

} // namespace pathwicks
