#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

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

    // A folder's names, sorted, in one block of text.
    struct Names {
        std::string text;
        std::vector<std::string_view> sorted;
    };

private:
    FolderListings* outer_;
    // Each folder by the name it was asked by (none where it could not be read), and each
    // folder read by its device and inode: /bin is often /usr/bin by another name.
    std::map<std::string, std::shared_ptr<const Names>, std::less<>> folders_;
    std::map<std::pair<unsigned long, unsigned long>, std::shared_ptr<const Names>> read_;
};

} // namespace pathwicks
