#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace pathwicks {

// The goto tool that opens references of the named editor: the bundle's
// Contents/Resources/<key>-goto. The name comes from a document, so nothing is answered unless
// that program lies directly inside the Resources folder: a key holding "/", a NUL or ".." is
// refused, and so is an empty key.
std::optional<std::string> gotoToolPath(std::string_view editorName, const std::string& bundle);

// The same, in the bundle of the running program.
std::optional<std::string> gotoToolPath(std::string_view editorName);

} // namespace pathwicks
