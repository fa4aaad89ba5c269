#pragma once

#include <iosfwd>
#include <map>
#include <string>
#include <vector>

namespace pathwicks {

// What the goto tool takes from its surroundings.
struct GotoEnvironment {
    std::string path;          // the PATH list of folders
    std::string home;          // the home folder
    std::string workingFolder; // to make a relative FOLDER absolute
    // TERMINAL, VISUAL, EDITOR and XDG_CONFIG_HOME, when set.
    std::map<std::string, std::string, std::less<>> variables = {};
};

// <key>-goto [--print] FOLDER ID: finds the line marked "// ID" in the text files under FOLDER
// and opens the editor that the program's own name stands for at that file and line, or with
// --print writes FILE:LINE. Exit status: 0 found (and started or printed), 1 no marker,
// 2 bad usage or FOLDER not a readable folder, 3 found but nothing could be started (the editor
// is not installed, or failed to start). custom-goto [--print] FOLDER ID NAME does the same with
// the editor of that name in the user's editors file. An editor that cannot take a line (System
// Default) is started, and FILE:LINE written to the standard error.
int runGoto(const std::string& programName, const std::vector<std::string>& args, std::ostream& out,
            std::ostream& err, const GotoEnvironment& environment);

// FOLDER as an absolute path, links left unresolved: "." components and repeated or trailing
// slashes dropped, ".." kept as it is.
std::string absoluteFolder(const std::string& folder, const std::string& workingFolder);

} // namespace pathwicks
