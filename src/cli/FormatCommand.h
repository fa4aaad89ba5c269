#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace pathwicks::cli {

// pathwicks format [-i] FILE: the bytes that saving the document would write, on standard
// output, or with -i written over FILE in place. 0 on success, 1 when FILE cannot be read or
// written or is no document, 2 for bad usage.
int runFormat(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace pathwicks::cli
