#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>

namespace pathwicks {

// While one lives, looking for programs on PATH on this thread reads each folder's names once
// instead of asking for every program in every folder: finding which editors are installed
// looks for some hundred programs in each folder of PATH. Folders are read when first asked
// about, so the listings are as fresh as the search that made them.
class FolderListings {
public:
    FolderListings();
    ~FolderListings();
    FolderListings(const FolderListings&) = delete;
    FolderListings& operator=(const FolderListings&) = delete;

    // False only when the folder was read and holds no such name; a folder that cannot be
    // read may hold anything.
    static bool mayHold(const std::string& folder, std::string_view name);

private:
    FolderListings* outer_;
    std::map<std::string, std::optional<std::set<std::string, std::less<>>>, std::less<>> folders_;
};

} // namespace pathwicks
