#pragma once

#include <string>
#include <string_view>

namespace pathwicks {

// Text for one field of a line of terminal output that cannot be misread: backslashes, control
// characters, the bidirectional controls, the line and paragraph separators and bytes that are
// not UTF-8 are written as escapes (\\, \n, \t, \r, \x1b, \u202e), so that the text stays on
// its line and sends the terminal nothing. With spaces escaped too (\x20), a field that holds
// them still reads as one.
std::string printableText(std::string_view text, bool escapeSpaces = false);

} // namespace pathwicks
