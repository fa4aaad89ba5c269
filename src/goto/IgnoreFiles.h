#pragma once

#include "goto/IgnoreRules.h"

#include <memory>
#include <string>
#include <vector>

namespace pathwicks {

// The ignore files a walk reads from disk.

// The rules that apply to a folder from above it: when it lies inside a git work tree, the
// repository's info/exclude and the ".gitignore" and ".ignore" files of the folders from the
// work tree's top down to the folder's parent.
struct RulesAbove {
    // Nothing when no rule applies. Paths in the rules run from the work tree's top (or from
    // the folder itself outside a work tree).
    std::shared_ptr<const IgnoreRules> rules;
    // The folder's path from there ("" for the top itself).
    std::string prefix;
    // Whether git ignores the folder itself, or one on the way to it: then, as for git,
    // everything in it is ignored, whatever the ignore files below say.
    bool folderIgnored = false;
};
RulesAbove ignoreRulesAbove(const std::string& folder);

// The ".gitignore" and then the ".ignore" file of an open folder, their patterns relative to
// base, read whole whatever their size; files that are absent, unreadable or links give
// nothing.
std::vector<IgnoreFile> ignoreFilesIn(int folder, const std::string& base);

} // namespace pathwicks
