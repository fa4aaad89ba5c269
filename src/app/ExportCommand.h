#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace pathwicks {

// pathwicks export [--scale N] FILE OUT: the document's canvas as the picture OUT's extension
// names (.svg or .png), with nothing selected and no add button. N (1 to 8) scales PNG pixels.
// 0 on success; 1 when FILE is no document, OUT cannot be written or the PNG would be too
// large; 2 for bad usage or an unknown extension. Runs without a display.
int runExport(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace pathwicks
