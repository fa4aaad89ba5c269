#include "FaultFolders.h"

#include "model/FileIO.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <stdexcept>
#include <sys/mount.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace pathwicks::testing {

TemporaryFolder::TemporaryFolder() {
    std::string pattern = (fs::temp_directory_path() / "pathwicks-fault-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp: " + std::string(std::strerror(errno)));
    path_ = pattern;
}

TemporaryFolder::~TemporaryFolder() {
    std::error_code ignored;
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(path_, ignored);
}

Mount Mount::tmpfs(const fs::path& at, size_t bytes) {
    Mount mount;
    const std::string options = "size=" + std::to_string(bytes) + ",mode=0755";
    if (::mount("tmpfs", at.c_str(), "tmpfs", 0, options.c_str()) != 0)
        mount.refusal = "cannot mount a tmpfs: " + std::string(std::strerror(errno));
    else
        mount.at_ = at;
    return mount;
}

Mount Mount::readOnlyBind(const fs::path& from, const fs::path& at) {
    Mount mount;
    if (::mount(from.c_str(), at.c_str(), nullptr, MS_BIND, nullptr) != 0) {
        mount.refusal = "cannot bind-mount: " + std::string(std::strerror(errno));
        return mount;
    }
    mount.at_ = at;
    // A bind mount is made read-only by remounting it.
    if (::mount(nullptr, at.c_str(), nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY, nullptr) != 0)
        mount.refusal = "cannot make a bind mount read-only: " + std::string(std::strerror(errno));
    return mount;
}

Mount::Mount(Mount&& other) noexcept
    : refusal(std::move(other.refusal)), at_(std::move(other.at_)) {
    other.at_.clear();
}

Mount::~Mount() {
    if (!at_.empty())
        ::umount2(at_.c_str(), MNT_DETACH);
}

void writeText(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

std::string readText(const fs::path& path) {
    auto bytes = readFileBytes(path.string());
    if (auto* error = std::get_if<FileError>(&bytes))
        return "<unreadable: " + error->message + ">";
    return std::get<std::string>(bytes);
}

std::string listing(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    std::string text;
    for (const auto& name : names)
        text += name + "\n";
    return text;
}

void fillUp(const fs::path& file) {
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        return;
    const std::string block(4096, 'x');
    // Whole blocks first, then single bytes for what is left of the last one.
    while (::write(fd, block.data(), block.size()) > 0) {
    }
    while (::write(fd, "x", 1) > 0) {
    }
    ::close(fd);
}

} // namespace pathwicks::testing
