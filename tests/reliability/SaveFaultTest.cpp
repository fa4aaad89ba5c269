// A save that fails at any step, or on a real fault of the disk, leaves what was there before
// byte for byte, leaves no temporary file behind, and says which file and why.
#include "FailingSteps.h"
#include "FaultFolders.h"

#include "cli/FormatCommand.h"
#include "model/FileIO.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace pathwicks;
using namespace pathwicks::testing;
namespace fs = std::filesystem;

namespace {

const std::string bytesBefore = "{\"window\": \"{{0, 0}, {10, 10}}\", \"content\": []}";
const std::string bytesAfter = std::string(100'000, ' ') + "{}";

TEST(SaveFaults, AFailureAtAnyStepLeavesTheFileAsItWasAndNamesIt) {
    const Step steps[] = {Step::create,    Step::permissions, Step::write, Step::partialWrite,
                          Step::zeroWrite, Step::sync,        Step::close, Step::rename};
    const int errors[] = {ENOSPC, EACCES, EIO, EROFS, EDQUOT};
    for (Step step : steps) {
        for (int error : errors) {
            SCOPED_TRACE(std::string(name(step)) + " fails with " + std::strerror(error));
            TemporaryFolder folder;
            const fs::path file = folder.path() / "tour.pathwicks";
            writeText(file, bytesBefore);
            fs::permissions(file, fs::perms(0640));

            FailingSteps failing(step, error);
            auto failure = writeFileAtomically(file.string(), bytesAfter, failing);

            ASSERT_TRUE(failure);
            EXPECT_NE(failure->message.find(file.string()), std::string::npos) << failure->message;
            if (step != Step::zeroWrite) {
                EXPECT_NE(failure->message.find(std::strerror(error)), std::string::npos)
                    << failure->message;
            }
            EXPECT_EQ(readText(file), bytesBefore);
            EXPECT_EQ(fs::status(file).permissions(), fs::perms(0640));
            EXPECT_EQ(listing(folder.path()), "tour.pathwicks\n");
        }
    }
}

TEST(SaveFaults, AFailedFirstSaveCreatesNothing) {
    for (Step step : {Step::create, Step::write, Step::sync, Step::close, Step::rename}) {
        SCOPED_TRACE(name(step));
        TemporaryFolder folder;
        FailingSteps failing(step, ENOSPC);
        EXPECT_TRUE(
            writeFileAtomically((folder.path() / "new.pathwicks").string(), bytesAfter, failing));
        EXPECT_EQ(listing(folder.path()), "");
    }
}

TEST(SaveFaults, APathThatBecameAFolderIsLeftAlone) {
    TemporaryFolder folder;
    const fs::path path = folder.path() / "tour.pathwicks";
    fs::create_directory(path);
    writeText(path / "inside", "kept");

    auto failure = writeFileAtomically(path.string(), bytesAfter);
    ASSERT_TRUE(failure);
    EXPECT_NE(failure->message.find(path.string()), std::string::npos);
    EXPECT_EQ(readText(path / "inside"), "kept");
    EXPECT_EQ(listing(folder.path()), "tour.pathwicks\n");
}

TEST(SaveFaults, AFolderWithoutWritePermissionIsRefused) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "the superuser may write into any folder; the read-only mount test "
                        "covers a folder that refuses writes";
    TemporaryFolder folder;
    const fs::path file = folder.path() / "tour.pathwicks";
    writeText(file, bytesBefore);
    fs::permissions(folder.path(), fs::perms(0555));
    auto failure = writeFileAtomically(file.string(), bytesAfter);
    fs::permissions(folder.path(), fs::perms(0755));
    ASSERT_TRUE(failure);
    EXPECT_EQ(readText(file), bytesBefore);
    EXPECT_EQ(listing(folder.path()), "tour.pathwicks\n");
}

TEST(SaveFaults, AFullDiskLeavesTheFileAsItWas) {
    TemporaryFolder folder;
    Mount disk = Mount::tmpfs(folder.path(), 256 * 1024);
    if (disk.refusal)
        GTEST_SKIP() << *disk.refusal;
    const fs::path file = folder.path() / "tour.pathwicks";
    writeText(file, bytesBefore);
    fillUp(folder.path() / "filler");

    auto failure = writeFileAtomically(file.string(), bytesAfter);
    ASSERT_TRUE(failure);
    EXPECT_NE(failure->message.find(std::strerror(ENOSPC)), std::string::npos) << failure->message;
    EXPECT_EQ(readText(file), bytesBefore);
    EXPECT_EQ(listing(folder.path()), "filler\ntour.pathwicks\n");

    // The same through `pathwicks format -i`: exit 1, a message, the file as it was.
    std::ostringstream out, err;
    EXPECT_EQ(cli::runFormat({"-i", file.string()}, out, err), 1);
    EXPECT_NE(err.str().find(file.string()), std::string::npos) << err.str();
    EXPECT_EQ(readText(file), bytesBefore);
    EXPECT_EQ(listing(folder.path()), "filler\ntour.pathwicks\n");
}

TEST(SaveFaults, AReadOnlyFolderLeavesTheFileAsItWas) {
    TemporaryFolder writable;
    TemporaryFolder seen;
    const fs::path original = writable.path() / "tour.pathwicks";
    writeText(original, bytesBefore);
    Mount readOnly = Mount::readOnlyBind(writable.path(), seen.path());
    if (readOnly.refusal)
        GTEST_SKIP() << *readOnly.refusal;
    const fs::path file = seen.path() / "tour.pathwicks";

    auto failure = writeFileAtomically(file.string(), bytesAfter);
    ASSERT_TRUE(failure);
    EXPECT_NE(failure->message.find(std::strerror(EROFS)), std::string::npos) << failure->message;
    EXPECT_EQ(readText(file), bytesBefore);
    EXPECT_EQ(listing(writable.path()), "tour.pathwicks\n");

    std::ostringstream out, err;
    EXPECT_EQ(cli::runFormat({"-i", file.string()}, out, err), 1);
    EXPECT_EQ(readText(file), bytesBefore);
}

// Steps that kill the saving process once half the bytes are written.
class DyingSteps : public SaveSteps {
public:
    ssize_t write(int fd, const void* data, size_t size) override {
        SaveSteps::write(fd, data, size / 2);
        ::raise(SIGKILL);
        return -1;
    }
};

// Saves killed midway leave at most one hidden leftover beside the document, which a file
// dialog does not take for a document, and the next save that succeeds removes it.
TEST(SaveFaults, KilledSavesLeaveAtMostOneLeftover) {
    TemporaryFolder folder;
    const fs::path file = folder.path() / "tour.pathwicks";
    writeText(file, bytesBefore);
    for (int kill = 0; kill < 5; ++kill) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            DyingSteps dying;
            writeFileAtomically(file.string(), bytesAfter, dying);
            ::_exit(0);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status));
    }
    EXPECT_EQ(readText(file), bytesBefore);
    std::vector<std::string> leftovers;
    for (const auto& entry : fs::directory_iterator(folder.path())) {
        if (entry.path() != file)
            leftovers.push_back(entry.path().filename().string());
    }
    ASSERT_EQ(leftovers.size(), 1u) << listing(folder.path());
    EXPECT_TRUE(leftovers[0].starts_with(".tour.pathwicks")) << leftovers[0];
    EXPECT_FALSE(leftovers[0].ends_with(".pathwicks")) << leftovers[0];

    // Another file's leftover, and a file that merely looks like one, are not touched.
    writeText(folder.path() / ".other.pathwicks.saving-abcdef", "other");
    writeText(folder.path() / ".tour.pathwicks.saving-mine", "a user's file");
    EXPECT_FALSE(writeFileAtomically(file.string(), bytesAfter));
    EXPECT_EQ(readText(file), bytesAfter);
    EXPECT_EQ(listing(folder.path()), ".other.pathwicks.saving-abcdef\n"
                                      ".tour.pathwicks.saving-mine\n"
                                      "tour.pathwicks\n");
}

// A save never puts a regular file in place of a FIFO or a socket, nor of one behind a link.
TEST(SaveFaults, FifosAndSocketsAreNeverReplaced) {
    TemporaryFolder folder;
    const fs::path fifo = folder.path() / "pipe.pathwicks";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    fs::create_symlink(fifo, folder.path() / "link.pathwicks");
    for (const fs::path& path : {fifo, folder.path() / "link.pathwicks"}) {
        SCOPED_TRACE(path.filename().string());
        auto failure = writeFileAtomically(path.string(), bytesAfter);
        ASSERT_TRUE(failure);
        EXPECT_EQ(failure->message, path.string() + ": cannot write: not a regular file (a device, "
                                                    "a FIFO or a socket); left as it is");
        std::ostringstream out, err;
        EXPECT_EQ(cli::runFormat({"-i", path.string()}, out, err), 1);
    }
    EXPECT_TRUE(fs::is_fifo(fifo));
    EXPECT_TRUE(fs::is_symlink(folder.path() / "link.pathwicks"));
    EXPECT_EQ(listing(folder.path()), "link.pathwicks\npipe.pathwicks\n");
}

} // namespace
