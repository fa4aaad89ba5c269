#include "editors/FolderListings.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <sys/stat.h>

namespace pathwicks {

namespace {

thread_local FolderListings* current = nullptr;

std::shared_ptr<const FolderListings::Names> namesIn(DIR* listing) {
    // The names end to end, then views of them sorted: a folder of programs holds a few
    // thousand names, read once and then looked up a few hundred times.
    auto names = std::make_shared<FolderListings::Names>();
    std::vector<std::pair<size_t, size_t>> spans;
    while (const dirent* entry = ::readdir(listing)) {
        const std::string_view name(entry->d_name);
        spans.emplace_back(names->text.size(), name.size());
        names->text += name;
    }
    names->sorted.reserve(spans.size());
    for (const auto& [start, length] : spans)
        names->sorted.emplace_back(names->text.data() + start, length);
    std::sort(names->sorted.begin(), names->sorted.end());
    return names;
}

} // namespace

FolderListings::FolderListings() : outer_(current) {
    current = this;
}

FolderListings::~FolderListings() {
    current = outer_;
}

bool FolderListings::mayHold(const std::string& folder, std::string_view name) {
    if (!current)
        return true;
    auto found = current->folders_.find(folder);
    if (found == current->folders_.end()) {
        std::shared_ptr<const Names> names;
        DIR* listing = ::opendir(folder.c_str());
        struct stat info;
        if (listing && ::fstat(::dirfd(listing), &info) == 0) {
            auto& same = current->read_[{info.st_dev, info.st_ino}];
            if (!same)
                same = namesIn(listing);
            names = same;
        } else if (!listing && (errno == ENOENT || errno == ENOTDIR)) {
            // A folder that is not there holds nothing; one that may not be read, anything.
            names = std::make_shared<const Names>();
        }
        if (listing)
            ::closedir(listing);
        found = current->folders_.emplace(folder, std::move(names)).first;
    }
    const auto& names = found->second;
    return !names || std::binary_search(names->sorted.begin(), names->sorted.end(), name);
}

} // namespace pathwicks
