#pragma once

#include <optional>
#include <string>

#include <sys/types.h>

namespace pathwicks {

// The whole of a regular file no larger than `largest` bytes, opened relative to the open
// folder `folder` (AT_FDCWD for the working folder) without following a link and without
// blocking on a FIFO or a device. Nothing when it cannot be opened, is not a regular file or
// is too large.
std::optional<std::string> readSmallFile(int folder, const char* name, off_t largest);

} // namespace pathwicks
