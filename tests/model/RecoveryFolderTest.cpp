#include "model/Document.h"
#include "model/RecoveryFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/wait.h>
#include <unistd.h>

using namespace pathwicks;
namespace fs = std::filesystem;

namespace {

const std::string document = R"({"window": "{{1, 2}, {3, 4}}", "content": [{"id": "r0"}]})";

std::vector<std::string> names(const fs::path& folder) {
    std::vector<std::string> found;
    for (const auto& entry : fs::directory_iterator(folder))
        found.push_back(entry.path().filename().string());
    std::sort(found.begin(), found.end());
    return found;
}

} // namespace

// The recovery file carries the document's bytes as they are, with its path (any bytes a path
// may hold), stamp and time; a cut-off one is refused, and none is ever read as a document.
TEST(RecoveryFile, KeepsTheWorkWholeAndIsNoDocument) {
    const RecoveryCopy copy{document, "/tmp/a\nb \xff/walk “one”.pathwicks",
                            FileStamp{12, 1234567890123456789, 42}, 1765180800};
    const std::string bytes = RecoveryFile::encode(copy);
    auto decoded = RecoveryFile::decode(bytes);
    ASSERT_TRUE(std::holds_alternative<RecoveryCopy>(decoded));
    const auto& back = std::get<RecoveryCopy>(decoded);
    EXPECT_EQ(back.documentBytes, copy.documentBytes);
    EXPECT_EQ(back.originalPath, copy.originalPath);
    EXPECT_EQ(back.originalStamp, copy.originalStamp);
    EXPECT_EQ(back.madeAt, copy.madeAt);

    auto unsaved = RecoveryFile::decode(RecoveryFile::encode({document, "", std::nullopt, 0}));
    ASSERT_TRUE(std::holds_alternative<RecoveryCopy>(unsaved));
    EXPECT_FALSE(std::get<RecoveryCopy>(unsaved).originalStamp);

    for (const std::string& damaged :
         {bytes.substr(0, bytes.size() - 1), bytes + "x", bytes.substr(0, 30), document,
          std::string()}) {
        EXPECT_TRUE(std::holds_alternative<RecoveryFile::DecodeError>(RecoveryFile::decode(damaged)))
            << damaged;
    }

    const fs::path file = fs::temp_directory_path() / ("pathwicks-copy-" + std::to_string(getpid()));
    std::ofstream(file) << bytes;
    EXPECT_TRUE(std::holds_alternative<DocumentFile::LoadError>(Document::load(file.string())));
    fs::remove(file);
}

// Only copies that no slot holds are claimed; what cannot be read is moved aside whole; lock
// files and unfinished writes go with their copies.
TEST(RecoveryFolder, ClaimsWhatNobodyOwns) {
    std::string pattern = (fs::temp_directory_path() / "pathwicks-recovery-XXXXXX").string();
    const fs::path folder = fs::path(mkdtemp(pattern.data())) / "recovery";

    auto held = std::get<std::unique_ptr<RecoverySlot>>(RecoverySlot::create(folder.string()));
    ASSERT_FALSE(held->write(RecoveryFile::encode({document, "/held.pathwicks", {}, 2})));
    {
        auto left = std::get<std::unique_ptr<RecoverySlot>>(RecoverySlot::create(folder.string()));
        ASSERT_FALSE(left->write(RecoveryFile::encode({document, "/left.pathwicks", {}, 1})));
        // A write it was in the middle of.
        std::ofstream(folder / ("." + left->name() + ".recovery.Ab12Cd")) << "Pathwicks";
        // A run that ended before its first copy leaves a lock file only.
        auto empty = std::get<std::unique_ptr<RecoverySlot>>(RecoverySlot::create(folder.string()));
    }
    std::ofstream(folder / "broken.recovery") << "Pathwicks recovery copy 1\n{}\n";
    EXPECT_EQ(fs::status(folder).permissions() & fs::perms::all, fs::perms::owner_all);

    auto claimed = claimUnownedCopies(folder.string());
    ASSERT_EQ(claimed.copies.size(), 1u);
    EXPECT_EQ(claimed.copies[0].copy.originalPath, "/left.pathwicks");
    EXPECT_EQ(claimed.copies[0].content.at("content").size(), 1u);
    ASSERT_EQ(claimed.unreadable.size(), 1u);
    EXPECT_EQ(claimed.unreadable[0].name, "broken.recovery");
    EXPECT_EQ(claimed.unreadable[0].keptAt, (folder / "unreadable" / "broken.recovery").string());

    // While claimed, nobody else gets it.
    EXPECT_TRUE(claimUnownedCopies(folder.string()).copies.empty());
    claimed.copies[0].slot->remove();
    claimed.copies.clear();
    held->remove();
    held.reset();
    EXPECT_EQ(names(folder), std::vector<std::string>{"unreadable"});
    fs::remove_all(folder.parent_path());
}

// Nothing in the folder is created or read through a symbolic link planted there, and the lock
// file of a run that ended without a copy is gone at the next start.
TEST(RecoveryFolder, NeverGoesThroughLinksAndSweepsEndedRunsLocks) {
    std::string pattern = (fs::temp_directory_path() / "pathwicks-recovery-XXXXXX").string();
    const fs::path top = mkdtemp(pattern.data());
    const fs::path folder = top / "recovery";
    const fs::path outside = top / "outside";
    fs::create_directories(folder);
    fs::create_directories(outside);
    const std::string copy = RecoveryFile::encode({document, "/planted.pathwicks", {}, 1});
    std::ofstream(top / "copy") << copy;

    fs::create_symlink(outside / "a", folder / "a.lock");
    fs::create_symlink(outside / "b", folder / "b.lock");
    std::ofstream(folder / "b.recovery") << copy;
    fs::create_symlink(top / "copy", folder / "c.recovery");
    const pid_t child = ::fork();
    if (child == 0) {
        // A run that ends before its first copy, without taking anything down.
        auto made = RecoverySlot::create(folder.string());
        ::_exit(std::holds_alternative<std::unique_ptr<RecoverySlot>>(made) ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(names(folder).size(), 5u) << "the ended run's lock file is there";

    auto claimed = claimUnownedCopies(folder.string());
    EXPECT_TRUE(claimed.copies.empty());
    ASSERT_EQ(claimed.unreadable.size(), 1u);
    EXPECT_EQ(claimed.unreadable[0].name, "c.recovery");
    EXPECT_EQ(names(outside), std::vector<std::string>{});
    claimed = {};
    EXPECT_EQ(names(folder),
              (std::vector<std::string>{"a.lock", "b.lock", "b.recovery", "unreadable"}));
    EXPECT_EQ(fs::read_symlink(folder / "unreadable" / "c.recovery"), top / "copy");
    fs::remove_all(top);
}
