#include "goto/IgnoreFiles.h"

#include "goto/SmallFile.h"

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

std::optional<std::string> readGitFile(int folder, const char* name) {
    return readSmallFile(folder, name, largestIgnoreFile);
}

std::optional<std::string> readGitFile(const std::string& path) {
    return readGitFile(AT_FDCWD, path.c_str());
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
    auto text = readGitFile(dotGit);
    if (!text || !text->starts_with("gitdir: "))
        return std::nullopt;
    std::string gitFolder = text->substr(8);
    while (!gitFolder.empty() && (gitFolder.back() == '\n' || gitFolder.back() == '\r'))
        gitFolder.pop_back();
    if (gitFolder.empty())
        return std::nullopt;
    if (gitFolder.front() != '/')
        gitFolder = top + "/" + gitFolder;
    if (auto common = readGitFile(gitFolder + "/commondir")) {
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
        if (auto text = readGitFile(folder, name)) {
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
        if (auto text = readGitFile(*common + "/info/exclude")) {
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
