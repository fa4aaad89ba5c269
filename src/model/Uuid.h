#pragma once

#include <string>

namespace pathwicks {

// A fresh random (version 4) UUID in canonical upper-case text form, 36 characters.
std::string makeUuidText();

} // namespace pathwicks
