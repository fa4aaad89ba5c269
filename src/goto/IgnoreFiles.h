#pragma once

#include "goto/IgnoreRules.h"

#include <memory>
#include <string>
#include <vector>

namespace pathwicks {

// The ignore files a walk reads from disk.

// The rules that apply to a folder from above it: when it lies inside a git work tree, the
// repository's info/exclude and the ".gitignore" and ".ignore" files of the folders from the
// work tree's top down to the folder's parent. Paths in the rules run from the work tree's top
// (or from the folder itself outside a work tree); prefix receives the folder's path from there
// ("" for the top itself). Nothing when no rule applies.
std::shared_ptr<const IgnoreRules> ignoreRulesAbove(const std::string& folder, std::string& prefix);

// The ".gitignore" and then the ".ignore" file of an open folder, their patterns relative to
// base; files that are absent, unreadable, links or larger than a megabyte give nothing.
std::vector<IgnoreFile> ignoreFilesIn(int folder, const std::string& base);

} // namespace pathwicks
