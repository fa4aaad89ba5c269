#include "model/Document.h"
#include "model/SaveAsPath.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

using namespace pathwicks;
namespace fs = std::filesystem;

namespace {

std::string documentWith(int references) {
    std::string content;
    for (int i = 0; i < references; ++i)
        content += std::string(i ? "," : "") + R"({"id": "r)" + std::to_string(i) + R"("})";
    return R"({"window": "{{1, 2}, {3, 4}}", "content": [)" + content + "]}";
}

} // namespace

// A document keeps its path made absolute, tidied only where that names the file it read.
TEST(DocumentLoad, KeepsTheAbsolutePathOfTheFileItRead) {
    std::string pattern = (fs::temp_directory_path() / "pathwicks-load-XXXXXX").string();
    const fs::path folder = mkdtemp(pattern.data());
    fs::create_directories(folder / "a" / "b");
    fs::create_directory_symlink(folder / "a" / "b", folder / "link");
    std::ofstream(folder / "a" / "doc.pathwicks") << documentWith(1);
    std::ofstream(folder / "doc.pathwicks") << documentWith(2);
    const fs::path before = fs::current_path();
    fs::current_path(folder);

    for (const auto& [given, kept, references] :
         {std::tuple{"./a//doc.pathwicks", folder / "a" / "doc.pathwicks", 1u},
          {"a/b/../doc.pathwicks", folder / "a" / "doc.pathwicks", 1u},
          // Through the link, ".." is the link's target's parent, not this folder.
          {"link/../doc.pathwicks", folder / "link" / ".." / "doc.pathwicks", 1u},
          {"doc.pathwicks", folder / "doc.pathwicks", 2u}}) {
        SCOPED_TRACE(given);
        auto loaded = Document::load(given);
        ASSERT_TRUE(std::holds_alternative<std::unique_ptr<Document>>(loaded));
        const Document& document = *std::get<std::unique_ptr<Document>>(loaded);
        EXPECT_EQ(document.path(), kept.string());
        EXPECT_EQ(document.model().content().size(), references);
        EXPECT_EQ(document.savedFrame(), (Rect{1, 2, 3, 4}));
        EXPECT_EQ(document.changeOnDisk(), Document::DiskChange::none);
    }
    fs::current_path(before);
    fs::remove_all(folder);
}

// A save moves the document to its file and marks it saved; a failed one changes nothing; a
// change by another program is told apart from a removal.
TEST(DocumentSave, FollowsItsFileAndNoticesOtherPrograms) {
    std::string pattern = (fs::temp_directory_path() / "pathwicks-save-XXXXXX").string();
    const fs::path folder = mkdtemp(pattern.data());
    Document document;
    document.undoManager().registerUndo([] {});
    ASSERT_TRUE(document.hasUnsavedChanges());
    EXPECT_EQ(document.changeOnDisk(), Document::DiskChange::none); // no file yet

    const fs::path blocked = folder / "folder";
    fs::create_directory(blocked);
    EXPECT_TRUE(document.save(blocked.string(), Rect{}));
    EXPECT_EQ(document.path(), "");
    EXPECT_TRUE(document.hasUnsavedChanges());

    const fs::path file = folder / "doc.pathwicks";
    EXPECT_EQ(document.save(file.string(), Rect{5, 6, 7, 8}), std::nullopt);
    EXPECT_EQ(document.path(), file.string());
    EXPECT_EQ(document.folder(), folder.string());
    EXPECT_FALSE(document.hasUnsavedChanges());
    EXPECT_EQ(document.changeOnDisk(), Document::DiskChange::none);

    // Another program writes a new file and renames it over ours, as editors do.
    std::ofstream(folder / "theirs") << "{}";
    fs::rename(folder / "theirs", file);
    EXPECT_EQ(document.changeOnDisk(), Document::DiskChange::changed);
    fs::remove(file);
    EXPECT_EQ(document.changeOnDisk(), Document::DiskChange::removed);
    fs::remove_all(folder);
}

// Save As adds the extension to a bare name, and then asks before replacing what has that name.
TEST(DocumentSave, SaveAsAddsTheExtensionAndAsksAboutTheFileOfThatName) {
    std::string pattern = (fs::temp_directory_path() / "pathwicks-save-as-XXXXXX").string();
    const fs::path folder = mkdtemp(pattern.data());
    std::ofstream(folder / "taken.pathwicks") << "{}";
    fs::create_symlink(folder / "nowhere", folder / "dangling.pathwicks");
    const std::string f = folder.string() + "/";
    const struct {
        std::string chosen, written;
        bool ask;
    } cases[] = {
        {f + "walk", f + "walk.pathwicks", false},
        {f + "taken", f + "taken.pathwicks", true},
        {f + "dangling", f + "dangling.pathwicks", true}, // a link is replaced too
        {f + "walk.json", f + "walk.json", false},   // the dialog asked about this one
        {f + "taken.pathwicks", f + "taken.pathwicks", false},
        {f + "walk.", f + "walk..pathwicks", false}, // a dot with nothing after it is no extension
        {f + ".hidden", f + ".hidden", false},
        {f + "v1.2/walk", f + "v1.2/walk.pathwicks", false}, // a folder's dot is not the file's
    };
    for (const auto& c : cases) {
        const SaveAsPath target = saveAsPath(c.chosen);
        EXPECT_EQ(target.path, c.written) << c.chosen;
        EXPECT_EQ(target.askToReplace, c.ask) << c.chosen;
    }
    fs::remove_all(folder);
}
