#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace pathwicks {

// The first line carrying the marker of id in one file below folder, read as the full search
// would read it: path must be a plain relative path ("a/b.c"; no "..", ".", empty or absolute
// parts), every part is opened without following links and below the folder, and a file the
// search would skip (in a version-control folder, ignored when honouring ignore files, not a
// regular file, too large, binary) gives nothing, as does a file without the marker.
std::optional<uint64_t> findMarkerInFile(const std::string& folder, const std::string& path,
                                         const std::string& id, bool honourIgnoreFiles);

// Whether path is a plain relative path as findMarkerInFile takes it.
bool isPlainRelativePath(const std::string& path);

} // namespace pathwicks
