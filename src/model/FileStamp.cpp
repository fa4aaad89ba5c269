#include "model/FileStamp.h"

#include <sys/stat.h>

namespace pathwicks {

std::optional<FileStamp> FileStamp::of(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return std::nullopt;
    FileStamp stamp;
    stamp.size = info.st_size;
#ifdef __APPLE__
    stamp.modifiedNs = int64_t(info.st_mtimespec.tv_sec) * 1'000'000'000 + info.st_mtimespec.tv_nsec;
#else
    stamp.modifiedNs = int64_t(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec;
#endif
    stamp.inode = info.st_ino;
    return stamp;
}

} // namespace pathwicks
