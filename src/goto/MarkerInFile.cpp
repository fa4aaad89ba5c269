#include "goto/MarkerInFile.h"

#include "goto/IgnoreFiles.h"
#include "goto/MarkerMatcher.h"
#include "goto/SourceTreeWalker.h"
#include "model/FileDescriptor.h"

#include <cerrno>
#include <cstring>
#include <memory>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pathwicks {

namespace {

std::vector<std::string> partsOf(const std::string& path) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        const size_t slash = path.find('/', start);
        parts.push_back(path.substr(start, slash - start));
        if (slash == std::string::npos)
            return parts;
        start = slash + 1;
    }
}

// Opens the file at the parts below folder, one part at a time without following links;
// nothing open when the search would not read it (a version-control folder on the way, or a
// part ignored when honouring ignore files).
FileDescriptor openAsTheSearchWould(const std::string& folder,
                                    const std::vector<std::string>& parts, bool honourIgnoreFiles) {
    RulesAbove above;
    if (honourIgnoreFiles)
        above = ignoreRulesAbove(folder);
    if (above.folderIgnored)
        return FileDescriptor();
    const std::string& prefix = above.prefix;
    std::shared_ptr<const IgnoreRules> rules = std::move(above.rules);
    const auto rulePath = [&](const std::string& relative) {
        return prefix.empty() ? relative : prefix + "/" + relative;
    };

    FileDescriptor current(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    std::string relative;
    for (size_t i = 0; i < parts.size() && current.isOpen(); ++i) {
        const bool last = i + 1 == parts.size();
        if (honourIgnoreFiles) {
            auto files = ignoreFilesIn(current.get(), rulePath(relative));
            if (!files.empty())
                rules = std::make_shared<const IgnoreRules>(rules, std::move(files));
        }
        relative += (relative.empty() ? "" : "/") + parts[i];
        if (!last && (parts[i] == ".git" || parts[i] == ".hg" || parts[i] == ".svn"))
            return FileDescriptor();
        if (rules && rules->ignored(rulePath(relative), !last))
            return FileDescriptor();
        const int flags = last ? O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY
                               : O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
        current = FileDescriptor(::openat(current.get(), parts[i].c_str(), flags));
    }
    return current;
}

// The whole content of an open regular file as the search reads it; nothing when it is no
// regular file, empty, too large or binary.
std::optional<std::string> textOf(int fd) {
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size <= 0 ||
        static_cast<uint64_t>(info.st_size) > SourceTreeWalker::largestFile)
        return std::nullopt;
    std::string bytes(static_cast<size_t>(info.st_size), '\0');
    size_t length = 0;
    while (length < bytes.size()) {
        const ssize_t got = ::read(fd, bytes.data() + length, bytes.size() - length);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        length += static_cast<size_t>(got);
    }
    bytes.resize(length);
    if (bytes.empty() ||
        std::memchr(bytes.data(), '\0', std::min(bytes.size(), SourceTreeWalker::binaryProbe)))
        return std::nullopt;
    return bytes;
}

} // namespace

bool isPlainRelativePath(const std::string& path) {
    if (path.empty() || path.find('\0') != std::string::npos)
        return false;
    for (const auto& part : partsOf(path))
        if (part.empty() || part == "." || part == "..")
            return false;
    return true;
}

std::optional<uint64_t> findMarkerInFile(const std::string& folder, const std::string& path,
                                         const std::string& id, bool honourIgnoreFiles) {
    if (!isPlainRelativePath(path))
        return std::nullopt;
    const FileDescriptor file = openAsTheSearchWould(folder, partsOf(path), honourIgnoreFiles);
    if (!file.isOpen())
        return std::nullopt;
    const auto bytes = textOf(file.get());
    if (!bytes)
        return std::nullopt;
    std::optional<uint64_t> found;
    MarkerMatcher({id}).match(*bytes, true, [&](size_t, uint64_t line) { found = line; });
    return found;
}

} // namespace pathwicks
