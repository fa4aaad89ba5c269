#pragma once

#include <string>
#include <string_view>

namespace pathwicks {

// Appends the text as a JSON string, quoted and escaped byte for byte as nlohmann/json's dump
// writes it (UTF-8 kept as it is; \b \t \n \f \r \" \\ and other controls as \u00xx). False,
// with nothing appended, when the text is not UTF-8, which JSON cannot hold.
bool appendJsonString(std::string& out, std::string_view text);

} // namespace pathwicks
