#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace pathwicks {

// pathwicks export (cli/ExportCommand.h), its pictures drawn with Qt's fonts and painter on
// the offscreen platform. Runs without a display.
int runExport(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace pathwicks
