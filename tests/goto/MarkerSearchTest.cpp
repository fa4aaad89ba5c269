#include "goto/MarkerSearch.h"
#include "goto/SourceTreeWalker.h"

#include "goto/TempTree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <climits>
#include <cstring>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using pathwicks::MarkerPlace;
using pathwicks::MarkerSearchOptions;
using pathwicks::MarkerSearchResult;

namespace {

using Places = std::vector<MarkerPlace>;

MarkerSearchResult search(const TempTree& tree, const std::vector<std::string>& ids,
                          bool firstLinePerFile = false, unsigned threads = 0) {
    MarkerSearchOptions options;
    options.firstLinePerFile = firstLinePerFile;
    options.threads = threads;
    auto result = pathwicks::searchMarkers(tree.path(), ids, options);
    if (auto* error = std::get_if<std::string>(&result))
        ADD_FAILURE() << *error;
    return std::get<MarkerSearchResult>(result);
}

Places placesOf(const TempTree& tree, const std::string& id, bool firstLinePerFile = false) {
    return search(tree, {id}, firstLinePerFile).places.front();
}

} // namespace

TEST(MarkerSearch, FindsMarkersInNestedFoldersWithLineNumbers) {
    TempTree tree;
    tree.write("top.c", "// pathwick-TOP title\n");
    tree.write("a/b/c/d/deep.cpp", "int x;\n\n  x = 1; // pathwick-DEEP Some title\n");
    tree.write("a/other.h", "no marker here\n");
    for (unsigned threads : {1u, 2u, 8u}) {
        const auto result = search(tree, {"pathwick-TOP", "pathwick-DEEP"}, false, threads);
        EXPECT_EQ(result.places[0], (Places{{"top.c", 1}})) << threads;
        EXPECT_EQ(result.places[1], (Places{{"a/b/c/d/deep.cpp", 3}})) << threads;
    }
}

TEST(MarkerSearch, MarkerMustBeFollowedByBlankLineEndOrFileEnd) {
    TempTree tree;
    tree.write("space.c", "// id-1 title\n");
    tree.write("tab.c", "// id-2\ttitle\n");
    tree.write("lf.c", "// id-3\n");
    tree.write("cr.c", "// id-4\rnext\r");
    tree.write("end.c", "x\n// id-5");
    tree.write("glued.c", "// id-6x\n// id-6: no\n");
    tree.write("triple.c", "/// id-7 doc comment\n");
    tree.write("twice.c", "code // id-8 // id-8 a line marked twice\n");
    const auto result =
        search(tree, {"id-1", "id-2", "id-3", "id-4", "id-5", "id-6", "id-7", "id-8"});
    EXPECT_EQ(result.places[0], (Places{{"space.c", 1}}));
    EXPECT_EQ(result.places[1], (Places{{"tab.c", 1}}));
    EXPECT_EQ(result.places[2], (Places{{"lf.c", 1}}));
    EXPECT_EQ(result.places[3], (Places{{"cr.c", 1}}));
    EXPECT_EQ(result.places[4], (Places{{"end.c", 2}}));
    EXPECT_TRUE(result.places[5].empty());
    EXPECT_EQ(result.places[6], (Places{{"triple.c", 1}}));
    EXPECT_EQ(result.places[7], (Places{{"twice.c", 1}}));
    // The same with one pass per id, as the goto tools search.
    EXPECT_EQ(placesOf(tree, "id-6"), Places{});
    EXPECT_EQ(placesOf(tree, "id-4"), (Places{{"cr.c", 1}}));
    EXPECT_EQ(placesOf(tree, "id-8"), (Places{{"twice.c", 1}}));
}

TEST(MarkerSearch, AnIdThatIsAPrefixOfAnotherIsNotFoundInIt) {
    TempTree tree;
    tree.write("long.c", "// pathwick-ABC long one\n");
    EXPECT_EQ(placesOf(tree, "pathwick-AB"), Places{});
    EXPECT_EQ(placesOf(tree, "pathwick-ABC"), (Places{{"long.c", 1}}));
    tree.write("short.c", "// pathwick-AB short one\n");
    const auto many = search(tree, {"pathwick-A", "pathwick-AB", "pathwick-ABC", "x1", "x2", "x3"});
    EXPECT_EQ(many.places[0], Places{});
    EXPECT_EQ(many.places[1], (Places{{"short.c", 1}}));
    EXPECT_EQ(many.places[2], (Places{{"long.c", 1}}));
}

TEST(MarkerSearch, CountsLinesOfCrLfAndCrFiles) {
    TempTree tree;
    tree.write("crlf.c", "one\r\ntwo\r\n// pathwick-CRLF title\r\n");
    tree.write("cr.c", "one\rtwo\rthree\r// pathwick-CR\r");
    EXPECT_EQ(placesOf(tree, "pathwick-CRLF"), (Places{{"crlf.c", 3}}));
    EXPECT_EQ(placesOf(tree, "pathwick-CR"), (Places{{"cr.c", 4}}));
}

TEST(MarkerSearch, ListsDuplicatesInByteOrderOfPath) {
    TempTree tree;
    tree.write("b/x.c", "// dup one\n\n// dup again\n");
    tree.write("a/x.c", "\n// dup\n");
    tree.write("B.c", "// dup\n");
    tree.write("a-b.c", "// dup\n");
    EXPECT_EQ(placesOf(tree, "dup"),
              (Places{{"B.c", 1}, {"a-b.c", 1}, {"a/x.c", 2}, {"b/x.c", 1}, {"b/x.c", 3}}));
    EXPECT_EQ(placesOf(tree, "dup", true),
              (Places{{"B.c", 1}, {"a-b.c", 1}, {"a/x.c", 2}, {"b/x.c", 1}}));
    // An id given twice (two boxes sharing it) is answered for both.
    const auto shared = search(tree, {"dup", "dup"}, true);
    EXPECT_EQ(shared.places[0], shared.places[1]);
}

TEST(MarkerSearch, ManyIdsAndIdsWithBlanksAreFoundInOnePass) {
    TempTree tree;
    tree.write("m.c", "// m1\n// m2 // m3\n// with space here\n// m5\n// m6\n");
    const auto result = search(tree, {"m1", "m2", "m3", "with space", "m5", "m6", "m7"});
    EXPECT_EQ(result.places[0], (Places{{"m.c", 1}}));
    EXPECT_EQ(result.places[1], (Places{{"m.c", 2}}));
    EXPECT_EQ(result.places[2], (Places{{"m.c", 2}}));
    EXPECT_EQ(result.places[3], (Places{{"m.c", 3}}));
    EXPECT_EQ(result.places[4], (Places{{"m.c", 4}}));
    EXPECT_EQ(result.places[5], (Places{{"m.c", 5}}));
    EXPECT_EQ(result.places[6], Places{});
}

TEST(MarkerSearch, IdsThatCannotStandOnOneLineAreNeverFound) {
    TempTree tree;
    tree.write("f.c", "// a\nb\n// \n");
    const auto result = search(tree, {"a\nb", "", "a\r"});
    for (const auto& places : result.places)
        EXPECT_TRUE(places.empty());
}

TEST(MarkerSearch, SkipsVersionControlFoldersButNotLookalikes) {
    TempTree tree;
    tree.write(".git/HEAD.c", "// vcs\n");
    tree.write("sub/.hg/x.c", "// vcs\n");
    tree.write("sub/.svn/x.c", "// vcs\n");
    tree.write(".github/ci.c", "// vcs\n");
    tree.write(".hidden/x.c", "// vcs\n");
    EXPECT_EQ(placesOf(tree, "vcs"), (Places{{".github/ci.c", 1}, {".hidden/x.c", 1}}));
}

TEST(MarkerSearch, SkipsBinaryAndOversizedFiles) {
    TempTree tree;
    tree.write("early-nul.bin", std::string("\0", 1) + "\n// bin\n");
    std::string late(pathwicks::SourceTreeWalker::binaryProbe, 'x');
    late += std::string("\0", 1) + "\n// bin\n";
    tree.write("late-nul.c", late);
    // Sparse, so it costs no disk: the marker is in the first line of a 65 MiB file.
    const auto big = tree.write("big.c", "// bin\n");
    ASSERT_EQ(::truncate(big.c_str(), 65 * 1024 * 1024), 0);
    EXPECT_EQ(placesOf(tree, "bin"), (Places{{"late-nul.c", 2}}));
}

// A large file is looked at in pieces before it is read whole, for the ids or, with many, for
// the start they share; its marker is found wherever it falls among them, as it is with many ids
// that share nothing, which read every file whole.
TEST(MarkerSearch, FindsAMarkerWhereverItFallsInALargeFile) {
    TempTree tree;
    constexpr size_t piece = pathwicks::SourceTreeWalker::sievePiece;
    Places expected;
    // Where the id starts: in the first piece, across the first two, at the second, far on.
    for (size_t start : {size_t{10}, piece - 5, piece - 1, piece, piece + 3, 5 * piece + 7}) {
        const std::string name = "at-" + std::to_string(start) + ".c";
        tree.write(name, std::string(start - 4, 'x') + "\n// pathwick-PIECE\n" +
                             std::string(2 * piece, 'y'));
        expected.push_back({name, 2});
    }
    std::sort(expected.begin(), expected.end(),
              [](const MarkerPlace& a, const MarkerPlace& b) { return a.path < b.path; });
    for (const std::vector<std::string>& ids :
         {std::vector<std::string>{"pathwick-PIECE"},
          {"pathwick-PIECE", "pathwick-A", "pathwick-B", "pathwick-C", "pathwick-D"},
          {"pathwick-PIECE", "a", "b", "c", "d"}})
        EXPECT_EQ(search(tree, ids, true).places[0], expected) << ids.size() << ids.back();
}

TEST(MarkerSearch, NeverFollowsSymbolicLinksOrBlocksOnSpecialFiles) {
    TempTree outside;
    outside.write("target.c", "// linked\n");
    TempTree tree;
    tree.write("real/x.c", "// real\n");
    std::filesystem::create_symlink(outside.path("target.c"), tree.path("file-link.c"));
    std::filesystem::create_directory_symlink(outside.path(), tree.path("folder-link"));
    // A link back to the top would loop forever if it were followed.
    std::filesystem::create_directory_symlink(tree.path(), tree.path("real/loop"));
    ASSERT_EQ(::mkfifo(tree.path("real/pipe.c").c_str(), 0600), 0);
    const auto result = search(tree, {"linked", "real"});
    EXPECT_EQ(result.places[0], Places{});
    EXPECT_EQ(result.places[1], (Places{{"real/x.c", 1}}));
}

TEST(MarkerSearch, RefusesWhatIsNoReadableFolder) {
    TempTree tree;
    const auto file = tree.write("plain.c", "// x\n");
    EXPECT_TRUE(std::holds_alternative<std::string>(pathwicks::searchMarkers(file, {"x"})));
    EXPECT_TRUE(
        std::holds_alternative<std::string>(pathwicks::searchMarkers(tree.path("absent"), {"x"})));
    // The folder itself may be reached through a link; only links below it are not followed.
    std::filesystem::create_directory_symlink(
        tree.path(), tree.path("../" + tree.root().filename().string() + "-link"));
    const std::string link = tree.path() + "-link";
    auto viaLink = pathwicks::searchMarkers(link, {"x"});
    std::filesystem::remove(link);
    ASSERT_TRUE(std::holds_alternative<MarkerSearchResult>(viaLink));
    EXPECT_EQ(std::get<MarkerSearchResult>(viaLink).places[0], (Places{{"plain.c", 1}}));
}

TEST(MarkerSearch, EveryCommentLeaderCarriesAMarkerAfterCodeAndBlanks) {
    const std::vector<std::string> leaders = {"//", "/*", "*",  "#",   "--", ";",  "%",
                                              "!",  "<!--", "(*", "{-", "REM", "::"};
    const std::vector<std::string> befores = {"", "  ", "\t", "x = 1  ", "call();\t"};
    const std::vector<std::string> blanks = {"", " ", "\t", " \t  "};
    const std::vector<std::string> afters = {"", " title", "\ttitle", " */", "\r\n", "\n"};
    TempTree tree;
    std::vector<std::string> ids;
    std::vector<std::string> expected;
    size_t n = 0;
    for (const auto& leader : leaders)
        for (const auto& before : befores)
            for (const auto& blank : blanks) {
                const auto& after = afters[n % afters.size()];
                const std::string id = "pathwick-L" + std::to_string(n);
                const std::string file = "f" + std::to_string(n++) + ".txt";
                // The marked line is the second, after one that only mentions the id.
                tree.write(file, "\"" + id + "\" " + id + "x\n" + before + leader + blank + id +
                                     after);
                ids.push_back(id);
                expected.push_back(file);
            }
    for (bool many : {false, true}) {
        for (size_t i = 0; i < ids.size(); ++i) {
            // Many ids take the one-pass lookup; one id its own pass.
            const auto places = many ? search(tree, {ids[i], "a", "b", "c", "d", "e"}).places[0]
                                     : placesOf(tree, ids[i]);
            EXPECT_EQ(places, (Places{{expected[i], 2}})) << ids[i] << " many " << many;
        }
    }
}

TEST(MarkerSearch, QuotesPrefixesAndGluedWordsCarryNoMarker) {
    TempTree tree;
    // A document's own file lies in the searched folder and holds its ids in quotes.
    tree.write("walk.pathwicks",
               "{\"content\":[{\"id\":\"pathwick-DOC\",\"title\":\"t\"}]}\n");
    tree.write("quotes.py", "s = 'pathwick-DOC'\nt = \"pathwick-DOC\"\nu = `pathwick-DOC`\n");
    tree.write("glued.sh", "echo x#pathwick-DOCS\nfoo-pathwick-DOC\n/pathwick-DOC\n:pathwick-DOC\n");
    tree.write("prefix.c", "// pathwick-DOCUMENT\n# pathwick-DOC.x\n-- pathwick-DOC:\n");
    EXPECT_EQ(placesOf(tree, "pathwick-DOC"), Places{});
    const auto many = search(tree, {"pathwick-DOC", "pathwick-DO", "p2", "p3", "p4", "p5"});
    EXPECT_EQ(many.places[0], Places{});
    EXPECT_EQ(many.places[1], Places{});
}

namespace {

// Removes a chain of folders too deep for one path, from the bottom up.
void removeChain(int top, const std::string& name, int depth, const char* file) {
    std::vector<int> fds{top};
    for (int i = 0; i < depth; ++i)
        fds.push_back(::openat(fds.back(), name.c_str(), O_RDONLY | O_DIRECTORY));
    ::unlinkat(fds.back(), file, 0);
    for (int i = depth; i > 0; --i) {
        ::close(fds[i]);
        ::unlinkat(fds[i - 1], name.c_str(), AT_REMOVEDIR);
    }
}

} // namespace

TEST(MarkerSearch, FindsAMarkerDeeperThanAPathCanName) {
    TempTree tree;
    const std::string name(200, 'd');
    const int depth = PATH_MAX / 200 + 4;
    const int top = ::open(tree.path().c_str(), O_RDONLY | O_DIRECTORY);
    int folder = ::dup(top);
    for (int i = 0; i < depth; ++i) {
        ASSERT_EQ(::mkdirat(folder, name.c_str(), 0700), 0);
        const int next = ::openat(folder, name.c_str(), O_RDONLY | O_DIRECTORY);
        ::close(folder);
        folder = next;
    }
    const int file = ::openat(folder, "deep.py", O_WRONLY | O_CREAT, 0600);
    const std::string text = "x = 1\n# pathwick-DEEP deep down\n";
    ASSERT_EQ(::write(file, text.data(), text.size()), static_cast<ssize_t>(text.size()));
    ::close(file);
    ::close(folder);

    const auto places = placesOf(tree, "pathwick-DEEP");
    std::string expected;
    for (int i = 0; i < depth; ++i)
        expected += name + "/";
    EXPECT_GT(expected.size(), static_cast<size_t>(PATH_MAX));
    EXPECT_EQ(places, (Places{{expected + "deep.py", 2}}));
    removeChain(top, name, depth, "deep.py");
    ::close(top);
}

// The superuser reads every folder, so the search runs in a child that gives up its rights.
TEST(MarkerSearch, NamesTheFoldersAndFilesItCannotRead) {
    TempTree tree;
    tree.write("open/a.c", "// pathwick-SHUT\n");
    tree.write("shut/b.c", "// pathwick-SHUT\n");
    tree.write("secret.c", "// pathwick-SHUT\n");
    for (int i = 0; i < 7; ++i)
        tree.write("many/" + std::to_string(i) + "/c.c", "x\n");
    for (const char* path : {"", "open", "open/a.c", "many"})
        ::chmod(tree.path(path).c_str(), 0755);
    ::chmod(tree.path("shut").c_str(), 0);
    ::chmod(tree.path("secret.c").c_str(), 0);
    for (int i = 0; i < 7; ++i)
        ::chmod(tree.path("many/" + std::to_string(i)).c_str(), 0);

    const auto check = [&]() -> std::string {
        const auto result = search(tree, {"pathwick-SHUT"});
        if (result.places[0] != Places{{"open/a.c", 1}})
            return "wrong places";
        if (result.unreadable != 9)
            return "counted " + std::to_string(result.unreadable);
        if (result.unreadableExamples.size() != pathwicks::SourceTreeWalker::namedUnreadable)
            return "named " + std::to_string(result.unreadableExamples.size());
        for (const auto& [path, reason] : result.unreadableExamples)
            if (reason != std::strerror(EACCES))
                return path + ": " + reason;
        return "";
    };
    if (::geteuid() != 0) {
        EXPECT_EQ(check(), "");
        return;
    }
    int pipe[2];
    ASSERT_EQ(::pipe(pipe), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipe[0]);
        std::string failure = "cannot give up the superuser's rights";
        if (::setgid(65534) == 0 && ::setuid(65534) == 0)
            failure = check();
        (void)!::write(pipe[1], failure.data(), failure.size());
        ::_exit(0);
    }
    ::close(pipe[1]);
    std::string failure;
    char buffer[256];
    for (ssize_t got; (got = ::read(pipe[0], buffer, sizeof buffer)) > 0;)
        failure.append(buffer, static_cast<size_t>(got));
    ::close(pipe[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_EQ(failure, "");
    ::chmod(tree.path("shut").c_str(), 0700);
    for (int i = 0; i < 7; ++i)
        ::chmod(tree.path("many/" + std::to_string(i)).c_str(), 0700);
}

// A file that grows while it is read is read as it was found; a text file too large to search
// is named with the reason.
TEST(MarkerSearch, NothingIsSkippedWithoutAWord) {
    TempTree tree;
    const std::string lines(4 * 1024 * 1024, '\n');
    const std::string grown = tree.write("grow.log", "# pathwick-GROW\n" + lines);
    const std::string huge = tree.write("huge.txt", "# pathwick-HUGE\n" + std::string(9000, 'x'));
    ASSERT_EQ(::truncate(huge.c_str(), off_t(pathwicks::SourceTreeWalker::largestFile) + 1), 0);

    std::atomic<bool> stop{false};
    std::thread appender([&] {
        const int fd = ::open(grown.c_str(), O_WRONLY | O_APPEND);
        // About 4 MB a second, as a busy log grows.
        const std::string piece(4 * 1024, '\n');
        while (!stop) {
            (void)!::write(fd, piece.data(), piece.size());
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        ::close(fd);
    });
    for (int run = 0; run < 10; ++run) {
        const auto result = search(tree, {"pathwick-GROW", "pathwick-HUGE"});
        EXPECT_EQ(result.places[0], (Places{{"grow.log", 1}})) << run;
        EXPECT_EQ(result.places[1], Places{});
        EXPECT_EQ(result.unreadableExamples,
                  (std::vector<std::pair<std::string, std::string>>{
                      {"huge.txt", "larger than 64 MiB"}}));
    }
    stop = true;
    appender.join();
}
