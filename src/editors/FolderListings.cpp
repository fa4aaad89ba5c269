#include "editors/FolderListings.h"

#include <cerrno>
#include <dirent.h>

namespace pathwicks {

namespace {

thread_local FolderListings* current = nullptr;

std::optional<std::set<std::string, std::less<>>> namesIn(const std::string& folder) {
    DIR* listing = ::opendir(folder.c_str());
    // A folder that is not there holds nothing; one that may not be read, anything.
    if (!listing && (errno == ENOENT || errno == ENOTDIR))
        return std::set<std::string, std::less<>>();
    if (!listing)
        return std::nullopt;
    std::set<std::string, std::less<>> names;
    while (const dirent* entry = ::readdir(listing))
        names.emplace(entry->d_name);
    ::closedir(listing);
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
    if (found == current->folders_.end())
        found = current->folders_.emplace(folder, namesIn(folder)).first;
    return !found->second || found->second->contains(name);
}

} // namespace pathwicks
