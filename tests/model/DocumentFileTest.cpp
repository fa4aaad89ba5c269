#include "model/DocumentFile.h"
#include "model/DocumentReader.h"
#include "model/FileIO.h"
#include "model/StepsModel.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

using namespace pathwicks;
using nlohmann::json;
namespace fs = std::filesystem;

namespace {

std::string reasonFor(std::string_view bytes) {
    auto result = DocumentFile::parse(bytes);
    auto* error = std::get_if<DocumentFile::ReadError>(&result);
    return error ? error->reason : "";
}

class TemporaryFolder {
public:
    TemporaryFolder() {
        std::string pattern = (fs::temp_directory_path() / "pathwicks-test-XXXXXX").string();
        path = mkdtemp(pattern.data());
    }
    ~TemporaryFolder() {
        std::error_code ignored;
        fs::permissions(path, fs::perms::owner_all, ignored);
        fs::remove_all(path, ignored);
    }
    std::string file(const std::string& name) const { return (path / name).string(); }
    fs::path path;
};

void writeText(const std::string& path, const std::string& text) { std::ofstream(path) << text; }

std::string readText(const std::string& path) {
    auto bytes = readFileBytes(path);
    return std::holds_alternative<std::string>(bytes) ? std::get<std::string>(bytes) : "<error>";
}

} // namespace

TEST(DocumentFile, OnlyAJsonObjectIsADocument) {
    EXPECT_EQ(reasonFor("{}"), "");
    EXPECT_EQ(reasonFor("\xEF\xBB\xBF{\"content\": []} "), "");
    for (std::string_view fragment : {"[]", "\"text\"", "3", "null"})
        EXPECT_EQ(reasonFor(fragment), "its top level is not a JSON object") << fragment;
    for (std::string_view broken : {"", "{", "{\"a\":}", "{} {}", "{\"t\": \"\xff\"}", "\xc3\x28"})
        EXPECT_NE(reasonFor(broken).find("not valid JSON"), std::string::npos) << broken;
}

TEST(DocumentFile, DeepOrHugeInputIsReadWithoutHarm) {
    const std::string deep = std::string(100000, '[') + std::string(100000, ']');
    EXPECT_EQ(reasonFor(deep), "its top level is not a JSON object");
    const std::string unclosed = "{\"content\": " + std::string(200000, '[');
    EXPECT_NE(reasonFor(unclosed).find("not valid JSON"), std::string::npos);
}

// Bytes and a parsed tree read alike, notices included; "path" is kept in memory only, by
// older versions, and neither noticed nor written.
TEST(DocumentFile, BytesAndParsedDocumentsReadAlike) {
    const std::string bytes = R"({"path": "/elsewhere", "extra": 1, "window": 7, "labels": [2]})";
    StepsModel fromBytes, fromTree;
    const auto read = std::get<DocumentReader::Read>(DocumentReader::read(bytes, fromBytes));
    const auto readTree = DocumentReader::readParsed(std::get<json>(DocumentFile::parse(bytes)), fromTree);
    const std::vector<std::string> notices = {"the window frame, which is not rectangle text",
                                              "a key this program does not keep: \"extra\"",
                                              "1 label entry that could not be read"};
    EXPECT_EQ(read.unkeptParts, notices);
    EXPECT_EQ(readTree.unkeptParts, notices);
    EXPECT_FALSE(read.windowFrame.has_value()); // a number leaves the frame
    EXPECT_FALSE(readTree.windowFrame.has_value());

    auto written = DocumentFile::bytes(fromTree, Rect{200, 180, 900, 640});
    ASSERT_TRUE(written);
    EXPECT_EQ(*written, "{\n  \"window\": \"{{200, 180}, {900, 640}}\",\n  \"content\": [],\n"
                        "  \"labels\": []\n}\n");
}

TEST(DocumentFile, WindowTextThatIsNoRectangleReadsAsZero) {
    StepsModel model;
    const auto read = DocumentReader::readParsed(json{{"window", "abc"}}, model);
    EXPECT_EQ(read.windowFrame, Rect{});
    EXPECT_EQ(read.unkeptParts,
              std::vector<std::string>{"the window frame, which is not rectangle text"});
}

TEST(DocumentFile, AFailedEncodeWritesNothing) {
    StepsModel model;
    model.appendReference(Reference::fromDictionary(json::object()));
    model.content()[0]->title = "\xc3";
    EXPECT_FALSE(DocumentFile::bytes(model, Rect{}).has_value());
}

TEST(FileIO, ReadingRefusesWhatIsNoRegularFile) {
    TemporaryFolder folder;
    EXPECT_NE(std::get<FileError>(readFileBytes(folder.file("missing"))).message.find("missing"),
              std::string::npos);
    EXPECT_TRUE(std::holds_alternative<FileError>(readFileBytes(folder.path.string())));
    const std::string fifo = folder.file("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_TRUE(std::holds_alternative<FileError>(readFileBytes(fifo))); // and does not block
}

TEST(FileIO, AtomicWritesReplaceTheTargetAndKeepItsPermissions) {
    TemporaryFolder folder;
    const std::string target = folder.file("doc.pathwicks");
    writeText(target, "old");
    chmod(target.c_str(), 0640);
    const std::string link = folder.file("link.pathwicks");
    fs::create_symlink("doc.pathwicks", link);

    ASSERT_FALSE(writeFileAtomically(link, "new"));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(readText(target), "new");
    EXPECT_EQ(fs::status(target).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    // Nothing is left behind beside the file.
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path), fs::directory_iterator()), 2);

    ASSERT_FALSE(writeFileAtomically(folder.file("fresh"), "made"));
    EXPECT_EQ(readText(folder.file("fresh")), "made");
}

TEST(FileIO, AFailedWriteLeavesTheFileAsItWas) {
    TemporaryFolder folder;
    const std::string target = folder.file("doc.pathwicks");
    writeText(target, "precious");
    EXPECT_TRUE(writeFileAtomically(folder.path.string(), "x")); // a folder is never replaced

    // A name of the longest length leaves no room for the temporary file beside it.
    const std::string longest = folder.file(std::string(255, 'n'));
    writeText(longest, "precious");
    ASSERT_TRUE(writeFileAtomically(longest, "replacement"));
    EXPECT_EQ(readText(longest), "precious");
}

TEST(FileIO, AFolderWeMayNotWriteToKeepsTheFile) {
    TemporaryFolder folder;
    const std::string target = folder.file("doc.pathwicks");
    writeText(target, "precious");
    if (geteuid() == 0)
        GTEST_SKIP() << "the superuser may write into any folder";
    fs::permissions(folder.path, fs::perms::owner_read | fs::perms::owner_exec);
    auto error = writeFileAtomically(target, "replacement");
    ASSERT_TRUE(error);
    EXPECT_NE(error->message.find(target), std::string::npos);
    EXPECT_EQ(readText(target), "precious");
}

// A note is written only when a box has one: a document without notes keeps its bytes, and
// one with a note reads and writes back the same; a note that is no text is noticed.
TEST(DocumentFile, NotesTravelWithTheirBoxesAndAreWrittenOnlyWhenPresent) {
    const auto box = [](const std::string& id, const std::string& note) {
        return "    {\n      \"id\": \"" + id + "\",\n      \"title\": \"T\",\n" + note +
               "      \"editor\": \"Vim\",\n      \"rect\": \"{{0, 0}, {100, 50}}\",\n"
               "      \"arrows\": []\n    }";
    };
    const std::string withNote = "      \"note\": \"Read *this*\\nfirst.\",\n";
    for (const std::string& note : {std::string(), withNote}) {
        const std::string bytes = "{\n  \"window\": \"{{1, 2}, {300, 400}}\",\n  \"content\": [\n" +
                                  box("a", note) + ",\n" + box("b", "") +
                                  "\n  ],\n  \"labels\": []\n}\n";
        StepsModel model;
        const auto read = std::get<DocumentReader::Read>(DocumentReader::read(bytes, model));
        EXPECT_TRUE(read.unkeptParts.empty());
        EXPECT_EQ(model.content()[0]->note, note.empty() ? "" : "Read *this*\nfirst.");
        EXPECT_EQ(DocumentFile::bytes(model, *read.windowFrame), bytes);
        // Copies (the clipboard, recovery) go through the same text.
        StepsModel copy;
        const auto parsed = DocumentFile::parse(*model.encode(nlohmann::ordered_json::object()));
        copy.decode(&std::get<json>(parsed));
        EXPECT_EQ(copy.content()[0]->note, model.content()[0]->note);
    }
    StepsModel model;
    const auto read = DocumentReader::readParsed(
        json{{"content", {{{"note", 3}}, {{"note", nullptr}}}}}, model);
    EXPECT_EQ(read.unkeptParts, std::vector<std::string>{"2 notes that are not text (left out)"});
    EXPECT_EQ(model.content()[1]->note, "");
}
