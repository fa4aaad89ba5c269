#pragma once

#include "model/StepsModel.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pathwicks {

// What every file `export` writes keeps to: no line in it is a marker of the document's ids
// (model/MarkerRule), or `check` and the goto tools would take the export for the code.

// The ids a document's markers carry: those that can be searched for.
std::vector<std::string> markerIds(const StepsModel& model);

// How a format writes one character by its code point so that its readers see the character
// and a search for the id does not: "\u0070" in JSON, "&#112;" in XML and Markdown.
using CharacterEscape = std::function<std::string(char32_t)>;
std::string jsonCharacter(char32_t c);
std::string xmlCharacter(char32_t c);
std::string mermaidCharacter(char32_t c);

// The text with every marker of the ids in it broken up: one character of the id written as
// escape gives.
std::string withoutMarkers(std::string text, const std::vector<std::string>& ids,
                           const CharacterEscape& escape);

// The first id that text holds a marker of, if any.
std::optional<std::string> markerIn(std::string_view text, const std::vector<std::string>& ids);

// Where in the id one character is escaped (an ASCII letter or digit when there is one, else
// its first character) and how many bytes that character takes.
std::pair<size_t, size_t> escapedCharacterOf(std::string_view id);

} // namespace pathwicks
