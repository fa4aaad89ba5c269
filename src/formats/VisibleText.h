#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace pathwicks {

// A run of text as a page shows it: characters that would reorder or hide text (the
// bidirectional controls U+202A–U+202E, U+2066–U+2069, U+200E, U+200F, U+061C, and control
// characters but tab and line ends) stand alone as "U+202E", the rest as it is, with bytes that
// are not UTF-8 as U+FFFD.
struct TextPiece {
    std::string text;
    bool control = false;
};
std::vector<TextPiece> visiblePieces(std::string_view text);

// The text as HTML character data or an attribute value: every markup character escaped, and
// each control shown as a marked "<U+202E>".
std::string htmlText(std::string_view text);

// The same as plain text: each control written "<U+202E>".
std::string plainVisibleText(std::string_view text);

} // namespace pathwicks
