#pragma once

#include <string>

namespace pathwicks {

// The program ships as a bundle folder beside its executable: <prefix>/bin/pathwicks finds
// <prefix>/lib/pathwicks, whose Contents/Resources holds Config.json and the goto tools. The
// build tree has the same layout, so a program runs the same from there and from an install.
std::string bundlePath();
std::string resourcesPath();

// The folder of the running executable, without a trailing slash.
std::string executableFolder();

} // namespace pathwicks
