#pragma once

#include <iosfwd>
#include <map>
#include <string>
#include <vector>

namespace pathwicks {

struct MarkerSearchResult;

// What the goto tool takes from its surroundings.
struct GotoEnvironment {
    std::string path;          // the PATH list of folders
    std::string home;          // the home folder
    std::string workingFolder; // to make a relative FOLDER absolute
    std::string cacheHome;     // $XDG_CACHE_HOME, where the places found are remembered
    // TERMINAL, VISUAL, EDITOR and XDG_CONFIG_HOME, when set.
    std::map<std::string, std::string, std::less<>> variables = {};
};

// <key>-goto [--print] [--no-ignore] FOLDER ID: finds the line carrying the marker of ID (see
// model/MarkerRule) in the text files under FOLDER, skipping what git would ignore unless
// --no-ignore, and opens the editor that the program's own name stands for at that file and
// line, or with --print writes FILE:LINE. The file it was found in is remembered (GotoCache) and
// read first next time. Exit status: 0 found (and started or printed), 1 no marker, 2 bad usage
// or FOLDER not a readable folder, 3 found but nothing could be started (the editor is not
// installed, or failed to start). custom-goto [--print] [--no-ignore] FOLDER ID NAME does the
// same with the editor of that name in the user's editors file. An editor that cannot take a
// line (System Default) is started, and FILE:LINE written to the standard error.
int runGoto(const std::string& programName, const std::vector<std::string>& args, std::ostream& out,
            std::ostream& err, const GotoEnvironment& environment);

// Names on err, after "prefix: ", the first few entries the search could not read (their paths
// under folder) and counts the rest, so that a marker lying there is not silently missing.
void reportUnreadable(const MarkerSearchResult& result, const std::string& folder,
                      const std::string& prefix, std::ostream& err);

// FOLDER as an absolute path, links left unresolved: "." components and repeated or trailing
// slashes dropped, ".." kept as it is.
std::string absoluteFolder(const std::string& folder, const std::string& workingFolder);

} // namespace pathwicks
