#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace pathwicks::cli {

// pathwicks check FILE: searches the document's folder once for the markers of all its
// references (web references have none) and prints, in the order of the references, one line
// per reference whose marker is missing or found more than once: "missing ID TITLE", or
// "duplicate ID TITLE" followed by "  PATH:LINE" for every place. 0 when every marker is found
// exactly once, 1 when any is missing or duplicated, 2 for bad usage or a document (or folder)
// that cannot be read.
int runCheck(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace pathwicks::cli
