#pragma once

#include "model/MarkerLine.h"

#include <optional>
#include <string_view>
#include <vector>

namespace pathwicks {

// One kind of source file and the comment its marker lines are written in.
struct LanguageStyle {
    std::string_view language;
    // The file names it covers: "*.ext" (extensions compare without case) or a whole name.
    std::vector<std::string_view> names;
    MarkerStyle style;
};

// Every kind of file whose comment style is known, in the order they are listed to the user.
const std::vector<LanguageStyle>& languageStyles();

// The comment style of a file: by its name, else by the interpreter its "#!" first line names
// (python, sh, bash, zsh, perl, ruby, node ...). Nothing when neither tells.
std::optional<MarkerStyle> commentStyleFor(std::string_view path, std::string_view firstLine = {});

} // namespace pathwicks
