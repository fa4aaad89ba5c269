#include "goto/IgnoreFiles.h"

#include "goto/SmallFile.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <limits>
#include <optional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pathwicks {

namespace {

// git reads ignore files of any size.
std::optional<std::string> readGitFile(int folder, const char* name) {
    return readSmallFile(folder, name, std::numeric_limits<off_t>::max());
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

RulesAbove ignoreRulesAbove(const std::string& folder) {
    RulesAbove above;
    char resolved[PATH_MAX];
    if (!::realpath(folder.c_str(), resolved))
        return above;
    const std::string real = resolved;
    // The nearest folder at or above holding ".git" is the work tree's top.
    std::string top = real;
    for (;;) {
        struct stat info;
        if (::stat((top == "/" ? std::string("/.git") : top + "/.git").c_str(), &info) == 0)
            break;
        if (top == "/")
            return above;
        const auto slash = top.rfind('/');
        top = slash == 0 ? "/" : top.substr(0, slash);
    }
    const std::string topSlash = top == "/" ? "/" : top + "/";
    const std::string prefix = real == top ? "" : real.substr(topSlash.size());
    above.prefix = prefix;

    std::shared_ptr<const IgnoreRules>& rules = above.rules;
    if (auto common = commonGitFolder(top == "/" ? "" : top)) {
        if (auto text = readGitFile(*common + "/info/exclude")) {
            IgnoreFile exclude(*text, "");
            if (!exclude.empty())
                rules = std::make_shared<IgnoreRules>(nullptr, std::vector{std::move(exclude)});
        }
    }
    // The folders from the top down to the folder's parent; as git does, a folder on the way
    // that its parents' rules ignore leaves everything below it ignored.
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
        const std::string next = prefix.substr(0, slash);
        if (rules && rules->ignored(next, true)) {
            above.folderIgnored = true;
            return above;
        }
        if (slash == std::string::npos)
            break;
        base = next;
        start = slash + 1;
    }
    return above;
}

} // namespace pathwicks
