#pragma once

#include <optional>
#include <string>
#include <vector>

namespace pathwicks {

// Where the goto tools last found each marker, per user: a hint of which file to read first,
// never more. The file holds a JSON array of [folder, id, path] entries, oldest first, at most
// `mostEntries`. What cannot be read as such (missing, corrupt, of other types) counts as
// empty and is rewritten; writes go through a lock and a renamed temporary file, so tools
// running at once never leave it half written. Failing to write is silent: the hint is lost.
class GotoCache {
public:
    static constexpr size_t mostEntries = 10000;

    // The cache file: $XDG_CACHE_HOME/pathwicks/goto-places.json, or under ~/.cache when that
    // is unset or not absolute; "" when neither is known.
    static std::string fileFor(const std::string& cacheHome, const std::string& home);
    // The cache file of this process's user, from XDG_CACHE_HOME and HOME.
    static std::string userFile();

    explicit GotoCache(std::string file) : file_(std::move(file)) {}

    // The path (relative to folder, plain: see isPlainRelativePath) last remembered for id.
    std::optional<std::string> recall(const std::string& folder, const std::string& id) const;

    struct Place {
        std::string id;
        std::string path; // relative to the folder
    };
    // Remembers the places of ids under one folder, replacing what was remembered for them.
    void remember(const std::string& folder, const std::vector<Place>& places) const;

private:
    std::string file_;
};

} // namespace pathwicks
