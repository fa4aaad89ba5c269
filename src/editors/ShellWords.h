#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pathwicks {

// The words of text as a POSIX shell splits them, without running a shell: blanks separate
// words; single quotes keep everything up to the next single quote; double quotes keep
// everything but a backslash before $, `, ", \ or a newline; a backslash outside quotes keeps the
// next character. Nothing is expanded. Nothing when a quote is left open.
std::optional<std::vector<std::string>> shellWords(std::string_view text);

} // namespace pathwicks
