#include "goto/GotoCache.h"

#include "goto/SmallFile.h"

#include "goto/MarkerInFile.h"

#include <nlohmann/json.hpp>

#include <cerrno>
#include <cstdlib>
#include <set>
#include <utility>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pathwicks {

namespace {

constexpr off_t largestCacheFile = 64 * 1024 * 1024;

struct Entry {
    std::string folder;
    std::string id;
    std::string path;
};

std::string readAll(const std::string& file) {
    return readSmallFile(AT_FDCWD, file.c_str(), largestCacheFile).value_or("");
}

// The entries that are well formed; anything else in the file is dropped.
std::vector<Entry> readEntries(const std::string& file) {
    std::vector<Entry> entries;
    const auto json = nlohmann::json::parse(readAll(file), nullptr, false);
    if (!json.is_array())
        return entries;
    for (const auto& item : json) {
        if (!item.is_array() || item.size() != 3 || !item[0].is_string() || !item[1].is_string() ||
            !item[2].is_string())
            continue;
        Entry entry{item[0].get<std::string>(), item[1].get<std::string>(),
                    item[2].get<std::string>()};
        if (!entry.folder.starts_with('/') || !isPlainRelativePath(entry.path))
            continue;
        entries.push_back(std::move(entry));
    }
    return entries;
}

bool writeAll(int fd, const std::string& text) {
    size_t written = 0;
    while (written < text.size()) {
        const ssize_t put = ::write(fd, text.data() + written, text.size() - written);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            return false;
        written += static_cast<size_t>(put);
    }
    return true;
}

std::string folderOf(const std::string& file) {
    return file.substr(0, file.rfind('/'));
}

} // namespace

std::string GotoCache::userFile() {
    const char* cacheHome = std::getenv("XDG_CACHE_HOME");
    const char* home = std::getenv("HOME");
    return fileFor(cacheHome ? cacheHome : "", home ? home : "");
}

std::string GotoCache::fileFor(const std::string& cacheHome, const std::string& home) {
    if (!cacheHome.empty() && cacheHome.front() == '/')
        return cacheHome + "/pathwicks/goto-places.json";
    if (!home.empty() && home.front() == '/')
        return home + "/.cache/pathwicks/goto-places.json";
    return {};
}

std::optional<std::string> GotoCache::recall(const std::string& folder,
                                             const std::string& id) const {
    if (file_.empty())
        return std::nullopt;
    const auto entries = readEntries(file_);
    for (auto it = entries.rbegin(); it != entries.rend(); ++it)
        if (it->folder == folder && it->id == id)
            return it->path;
    return std::nullopt;
}

void GotoCache::remember(const std::string& folder, const std::vector<Place>& places) const {
    if (file_.empty() || places.empty() || folder.empty() || folder.front() != '/')
        return;
    // The cache folder and the one above it, made for the user alone.
    const std::string cacheFolder = folderOf(file_);
    ::mkdir(folderOf(cacheFolder).c_str(), 0700);
    ::mkdir(cacheFolder.c_str(), 0700);
    const std::string lockFile = file_ + ".lock";
    const int lock = ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (lock < 0)
        return;
    while (::flock(lock, LOCK_EX) != 0 && errno == EINTR) {
    }

    auto entries = readEntries(file_);
    std::set<std::string> replaced;
    for (const auto& place : places)
        replaced.insert(place.id);
    std::erase_if(entries, [&](const Entry& entry) {
        return entry.folder == folder && replaced.contains(entry.id);
    });
    for (const auto& place : places)
        if (isPlainRelativePath(place.path))
            entries.push_back({folder, place.id, place.path});
    if (entries.size() > mostEntries)
        entries.erase(entries.begin(), entries.end() - mostEntries);

    auto json = nlohmann::json::array();
    for (const auto& entry : entries)
        json.push_back({entry.folder, entry.id, entry.path});
    // Invalid UTF-8 in a path or id is replaced rather than refused.
    const std::string text = json.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";

    std::string temporary = file_ + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd >= 0) {
        const bool written = writeAll(fd, text);
        if (::close(fd) == 0 && written && ::rename(temporary.c_str(), file_.c_str()) == 0)
            temporary.clear();
        if (!temporary.empty())
            ::unlink(temporary.c_str());
    }
    ::close(lock);
}

} // namespace pathwicks
