// Temporary folders for fault tests, and real faults made with mounts: a small tmpfs that fills
// up, a read-only bind mount. Mounting needs the superuser and a system that allows it; when it
// is refused, the test says why and is skipped.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace pathwicks::testing {

class TemporaryFolder {
public:
    TemporaryFolder();
    ~TemporaryFolder();
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

// A mount that is undone when this goes away. `refusal` says why mounting failed, if it did.
class Mount {
public:
    // A tmpfs of the given size at the folder.
    static Mount tmpfs(const std::filesystem::path& at, size_t bytes);
    // The folder `from` seen again, read-only, at `at`.
    static Mount readOnlyBind(const std::filesystem::path& from, const std::filesystem::path& at);

    Mount(Mount&& other) noexcept;
    Mount& operator=(Mount&&) = delete;
    ~Mount();

    std::optional<std::string> refusal;

private:
    Mount() = default;
    std::filesystem::path at_;
};

void writeText(const std::filesystem::path& path, const std::string& text);
// The file's bytes, or "<unreadable: reason>".
std::string readText(const std::filesystem::path& path);
// The names in a folder, sorted, to see that a failed save left no temporary file behind.
std::string listing(const std::filesystem::path& folder);
// Fills the file system holding the folder, to its last byte, with a file of that name.
void fillUp(const std::filesystem::path& file);

} // namespace pathwicks::testing
