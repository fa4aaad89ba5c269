#include "goto/IgnoreFiles.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <optional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pathwicks {

namespace {

constexpr off_t largestIgnoreFile = 1024 * 1024;

std::optional<std::string> readSmallFile(int folder, const char* name) {
    const int fd = ::openat(folder, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return std::nullopt;
    struct stat info;
    std::optional<std::string> text;
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size <= largestIgnoreFile) {
        text.emplace();
        char buffer[16384];
        for (;;) {
            const ssize_t got = ::read(fd, buffer, sizeof buffer);
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                break;
            text->append(buffer, static_cast<size_t>(got));
        }
    }
    ::close(fd);
    return text;
}

std::optional<std::string> readSmallFile(const std::string& path) {
    return readSmallFile(AT_FDCWD, path.c_str());
}

// The folder holding the repository's shared files (info/exclude) for a ".git" entry in top:
// the folder itself, or for a linked work tree the one its "gitdir:" line and commondir name.
std::optional<std::string> commonGitFolder(const std::string& top) {
    const std::string dotGit = top + "/.git";
    struct stat info;
    if (::stat(dotGit.c_str(), &info) != 0)
        return std::nullopt;
    if (S_ISDIR(info.st_mode))
        return dotGit;
    auto text = readSmallFile(dotGit);
    if (!text || !text->starts_with("gitdir: "))
        return std::nullopt;
    std::string gitFolder = text->substr(8);
    while (!gitFolder.empty() && (gitFolder.back() == '\n' || gitFolder.back() == '\r'))
        gitFolder.pop_back();
    if (gitFolder.empty())
        return std::nullopt;
    if (gitFolder.front() != '/')
        gitFolder = top + "/" + gitFolder;
    if (auto common = readSmallFile(gitFolder + "/commondir")) {
        while (!common->empty() && (common->back() == '\n' || common->back() == '\r'))
            common->pop_back();
        if (!common->empty())
            return common->front() == '/' ? *common : gitFolder + "/" + *common;
    }
    return gitFolder;
}

} // namespace

std::vector<IgnoreFile> ignoreFilesIn(int folder, const std::string& base) {
    std::vector<IgnoreFile> files;
    for (const char* name : {".gitignore", ".ignore"}) {
        if (auto text = readSmallFile(folder, name)) {
            IgnoreFile file(*text, base);
            if (!file.empty())
                files.push_back(std::move(file));
        }
    }
    return files;
}

std::shared_ptr<const IgnoreRules> ignoreRulesAbove(const std::string& folder, std::string& prefix) {
    prefix.clear();
    char resolved[PATH_MAX];
    if (!::realpath(folder.c_str(), resolved))
        return nullptr;
    const std::string real = resolved;
    // The nearest folder at or above holding ".git" is the work tree's top.
    std::string top = real;
    for (;;) {
        struct stat info;
        if (::stat((top == "/" ? std::string("/.git") : top + "/.git").c_str(), &info) == 0)
            break;
        if (top == "/")
            return nullptr;
        const auto slash = top.rfind('/');
        top = slash == 0 ? "/" : top.substr(0, slash);
    }
    const std::string topSlash = top == "/" ? "/" : top + "/";
    prefix = real == top ? "" : real.substr(topSlash.size());

    std::shared_ptr<const IgnoreRules> rules;
    if (auto common = commonGitFolder(top == "/" ? "" : top)) {
        if (auto text = readSmallFile(*common + "/info/exclude")) {
            IgnoreFile exclude(*text, "");
            if (!exclude.empty())
                rules = std::make_shared<IgnoreRules>(nullptr, std::vector{std::move(exclude)});
        }
    }
    // The folders from the top down to the folder's parent.
    std::string base;
    size_t start = 0;
    while (!prefix.empty()) {
        const std::string path = base.empty() ? top : topSlash + base;
        const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd >= 0) {
            auto files = ignoreFilesIn(fd, base);
            ::close(fd);
            if (!files.empty())
                rules = std::make_shared<IgnoreRules>(rules, std::move(files));
        }
        const size_t slash = prefix.find('/', start);
        if (slash == std::string::npos)
            break;
        base = prefix.substr(0, slash);
        start = slash + 1;
    }
    return rules;
}

} // namespace pathwicks
