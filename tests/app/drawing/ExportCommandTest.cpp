#include "app/ExportCommand.h"

#include "cli/CheckCommand.h"
#include "cli/ExportPlan.h"
#include "formats/MarkerSafety.h"
#include "goto/MarkerSearch.h"
#include "model/FileIO.h"

#include <QImage>
#include <QSvgRenderer>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include <cstdio>
#include <cstdlib>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

namespace pathwicks {
namespace {

namespace fs = std::filesystem;

class ExportCommand : public ::testing::Test {
protected:
    void SetUp() override {
        folder = fs::temp_directory_path() /
                 ("pathwicks-export-" + std::to_string(::getpid()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder);
        fs::create_directories(folder);
    }
    void TearDown() override { fs::remove_all(folder); }

    std::string write(const std::string& name, const std::string& text) {
        const auto path = (folder / name).string();
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

    std::string document(const std::string& content, const std::string& labels = "[]") {
        return write("doc.pathwicks", R"({"window": "{{0, 0}, {800, 600}}", "content": )" +
                                          content + R"(, "labels": )" + labels + "}");
    }

    int run(std::vector<std::string> args) {
        std::ostringstream out;
        errors.str("");
        return runExport(args, out, errors);
    }

    std::string read(const std::string& path) {
        auto bytes = readFileBytes(path);
        return std::holds_alternative<std::string>(bytes) ? std::get<std::string>(bytes) : "";
    }

    fs::path folder;
    std::ostringstream errors;
};

const std::string twoBoxes =
    R"([{"id": "a", "title": "First", "rect": "{{40, 60}, {220, 50}}", "arrows": [1]},
        {"id": "b", "title": "Second", "rect": "{{320, 180.5}, {180, 50}}", "arrows": []}])";

TEST_F(ExportCommand, SvgIsTheCanvasAtItsItemsExtentWithTextKeptAsText) {
    const auto doc = document(twoBoxes, R"([{"title": "Note", "rect": "{{-30, 10}, {100, 29}}"}])");
    const auto out = (folder / "picture.SVG").string();
    ASSERT_EQ(run({doc, out}), 0) << errors.str();
    const std::string svg = read(out);
    // The label reaches left of 0: the picture starts 20 before it and ends 20 past the far
    // edge, from -50 to 520; it starts 20 above the label's top at 10 and ends at 10 + 230.5,
    // rounded up, plus 20.
    EXPECT_NE(svg.find(R"(width="570" height="261" viewBox="-50 -10 570 261")"), std::string::npos)
        << svg.substr(0, 300);
    EXPECT_NE(svg.find(">First</text>"), std::string::npos);
    EXPECT_NE(svg.find(">Note</text>"), std::string::npos);
    QSvgRenderer renderer(QByteArray::fromStdString(svg));
    EXPECT_TRUE(renderer.isValid());
    // The grid, dashed, only when asked for.
    EXPECT_EQ(svg.find("stroke-dasharray"), std::string::npos);
    ASSERT_EQ(run({"--grid", doc, out}), 0) << errors.str();
    EXPECT_NE(read(out).find("stroke-dasharray=\"4 6\""), std::string::npos);
}

TEST_F(ExportCommand, PngIsScaledAndAnEmptyDocumentIsOnePixel) {
    const auto doc = document(twoBoxes);
    const auto out = (folder / "picture.png").string();
    ASSERT_EQ(run({"--scale", "2", doc, out}), 0) << errors.str();
    QImage image(QString::fromStdString(out));
    // W = 40 + 500 and H = 60 + 230.5, the far margins matching the near ones.
    EXPECT_EQ(image.width(), 2 * 540);
    EXPECT_EQ(image.height(), 2 * 291);
    // Inside the first box, away from its title, the box's fill shows.
    EXPECT_NE(image.pixelColor(2 * 50, 2 * 105), image.pixelColor(2 * 290, 2 * 30));

    // Content left of the origin is in the picture too.
    const auto left = document(twoBoxes, R"([{"title": "", "rect": "{{-100, 10}, {80, 29}}"}])");
    ASSERT_EQ(run({left, out}), 0) << errors.str();
    QImage leftImage(QString::fromStdString(out));
    EXPECT_EQ(leftImage.width(), 640); // from -120 to 520
    EXPECT_NE(leftImage.pixelColor(60, 30), leftImage.pixelColor(10, 100)); // from y = -10

    ASSERT_EQ(run({"--scale=3", document("[]"), out}), 0) << errors.str();
    EXPECT_EQ(QImage(QString::fromStdString(out)).size(), QSize(3, 3));
}

TEST_F(ExportCommand, BadUsageIsStatusTwoAndWritesNothing) {
    const auto doc = document(twoBoxes);
    const auto out = (folder / "picture.png").string();
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{},
                                               {doc},
                                               {doc, out, "extra"},
                                               {doc, "--scale", "2", out},
                                               {"--scale", "0", doc, out},
                                               {"--scale", "9", doc, out},
                                               {"--scale", "1.5", doc, out},
                                               {"--scale"},
                                               {"--colour", doc, out},
                                               {doc, (folder / "picture.jpg").string()},
                                               {doc, (folder / "picture").string()},
                                               {"--picture", doc, out},
                                               {"--picture", doc, (folder / "a.tour").string()}}) {
        EXPECT_EQ(run(args), 2) << testing::PrintToString(args);
        EXPECT_FALSE(errors.str().empty());
    }
    EXPECT_FALSE(fs::exists(out));
    EXPECT_FALSE(fs::exists(folder / "picture.jpg"));
}

// Options come before the files; a scale is checked as it is read; the document is named as
// given. Scripts read these words.
TEST_F(ExportCommand, RefusalsAreWordedExactly) {
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string err;
    };
    const std::string usage = "usage: pathwicks export [--scale N] [--picture] [--grid] [--excerpts] "
                              "[--permalinks] [--allow-missing] "
                              "FILE OUT.svg|.png|.tour|.canvas|.md|.mmd|.html\n";
    const std::string scale = "pathwicks export: the scale must be a whole number from 1 to 8, ";
    const std::string absent = ": cannot open: No such file or directory\n";
    const std::vector<Case> cases = {
        {{"--scale"}, 2, "pathwicks export: --scale needs a number from 1 to 8\n" + usage},
        {{"--scale=0", "a", "b.png"}, 2, scale + "not \"0\"\n"},
        {{"--scale="}, 2, scale + "not \"\"\n"},
        {{"--scale", "12", "--colour"}, 2, scale + "not \"12\"\n"},
        {{"--colour", "a", "b.png"}, 2, "pathwicks export: unknown option --colour\n" + usage},
        {{"--scale=2", "--scalex", "a", "b.png"},
         2,
         "pathwicks export: unknown option --scalex\n" + usage},
        {{"a", "--scale", "2", "b.png"}, 2, usage},
        {{"a", "--", "b.png"}, 2, usage},
        {{"a", "-x"}, 2,
         "pathwicks export: -x: unknown format (the name must end in .svg, .png, .tour, .canvas, "
         ".md, .mmd or .html)\n"},
        {{"--picture", "a", "b.mmd"}, 2,
         "pathwicks export: --picture goes with a Markdown file (.md) only\n" + usage},
        {{"--", "--scale", "b.png"}, 1, "pathwicks export: --scale" + absent},
        {{"-", "b.svg"}, 1, "pathwicks export: -" + absent},
        {{"--scale", "2", "--", "sub/../list.pathwicks", "b.svg"},
         1,
         "pathwicks export: sub/../list.pathwicks: cannot be opened as a document: its top level "
         "is not a JSON object\n"},
    };
    write("list.pathwicks", "[1, 2]");
    fs::create_directories(folder / "sub");
    const fs::path before = fs::current_path();
    fs::current_path(folder);
    for (const auto& [args, status, err] : cases) {
        SCOPED_TRACE(testing::PrintToString(args));
        EXPECT_EQ(run(args), status);
        EXPECT_EQ(errors.str(), err);
    }
    fs::current_path(before);
    EXPECT_FALSE(fs::exists(folder / "b.png"));
    EXPECT_FALSE(fs::exists(folder / "b.svg"));
}

TEST_F(ExportCommand, FailuresAreStatusOneAndLeaveExistingPicturesAlone) {
    const auto out = write("picture.png", "old picture");
    EXPECT_EQ(run({(folder / "missing.pathwicks").string(), out}), 1);
    EXPECT_NE(errors.str().find("missing.pathwicks"), std::string::npos);
    EXPECT_EQ(run({write("broken.pathwicks", "{\"content\": ["), out}), 1);
    EXPECT_EQ(run({write("list.pathwicks", "[1, 2]"), out}), 1);

    const auto wide = document(R"([{"id": "a", "rect": "{{16000, 0}, {140, 50}}"}])");
    EXPECT_EQ(run({wide, out}), 1);
    EXPECT_NE(errors.str().find("too large"), std::string::npos);
    EXPECT_EQ(
        run({"--scale", "8", document(R"([{"id": "a", "rect": "{{0, 2000}, {140, 50}}"}])"), out}),
        1);
    EXPECT_EQ(read(out), "old picture");
    // The same document fits as SVG, where the scale does not count.
    EXPECT_EQ(run({"--scale", "8", wide, (folder / "wide.svg").string()}), 0) << errors.str();

    EXPECT_EQ(run({document(twoBoxes), (folder / "no-such-folder" / "p.png").string()}), 1);
    EXPECT_NE(errors.str().find("no-such-folder"), std::string::npos);
}

TEST_F(ExportCommand, NeverWritesOverTheDocumentItself) {
    const std::string text = R"({"content": [], "labels": []})";
    for (const char* name :
         {"doc.svg", "doc.tour", "doc.canvas", "doc.md", "doc.mmd", "doc.html"}) {
        const auto doc = write(name, text);
        EXPECT_EQ(run({doc, doc}), 1) << name;
        EXPECT_EQ(read(doc), text);
    }
    // Nor through the picture beside a Markdown file.
    const auto doc = write("walk.svg", text);
    EXPECT_EQ(run({"--picture", doc, (folder / "walk.md").string()}), 1);
    EXPECT_NE(errors.str().find("is the document itself"), std::string::npos) << errors.str();
    EXPECT_EQ(read(doc), text);
    EXPECT_FALSE(fs::exists(folder / "walk.md"));
}

TEST_F(ExportCommand, MarkdownWithItsPictureAndATourOnlyWhenEveryMarkerIsFound) {
    fs::create_directories(folder / "src");
    write("src/first.c", "int x;\n// a\n");
    const auto doc = document(twoBoxes);
    const auto markdown = (folder / "walk.md").string();
    ASSERT_EQ(run({"--picture", doc, markdown}), 0) << errors.str();
    EXPECT_EQ(read(markdown), "# doc\n\n![doc](./walk.svg)\n\n"
                              "1. **First** — [src/first.c:2](./src/first.c#L2)\n"
                              "2. **Second** (marker not found)\n");
    EXPECT_TRUE(QSvgRenderer(QString::fromStdString((folder / "walk.svg").string())).isValid());

    const auto tour = (folder / ".tours" / "doc.tour").string();
    fs::create_directories(folder / ".tours");
    EXPECT_EQ(run({doc, tour}), 1);
    EXPECT_EQ(errors.str(), "missing b Second\npathwicks export: " + tour +
                                ": 1 marker not found; nothing written (--allow-missing writes "
                                "such boxes as steps without a file)\n");
    EXPECT_FALSE(fs::exists(tour));
    EXPECT_EQ(run({"--allow-missing", doc, tour}), 0) << errors.str();
    EXPECT_NE(read(tour).find(R"("file": "src/first.c")"), std::string::npos) << read(tour);
}

// The page holds the very drawing of the .svg, with links laid over its boxes.
TEST_F(ExportCommand, ThePageShowsTheSameDrawingAsThePicture) {
    const auto doc = document(twoBoxes);
    const auto page = (folder / "walk.html").string();
    ASSERT_EQ(run({doc, (folder / "walk.svg").string()}), 0) << errors.str();
    EXPECT_EQ(run({doc, page}), 1);
    ASSERT_EQ(run({"--allow-missing", doc, page}), 0) << errors.str();
    std::string drawing = read((folder / "walk.svg").string());
    drawing = drawing.substr(drawing.find('\n') + 1);
    drawing = drawing.substr(0, drawing.rfind("</svg>"));
    EXPECT_NE(read(page).find(drawing + "<a href=\"#stop-1\">"), std::string::npos);
}

// A device, a FIFO or a socket at the picture's path, or behind a link there, stays what it is.
TEST_F(ExportCommand, OnlyRegularFilesAreReplaced) {
    const auto doc = document(twoBoxes);
    const fs::path fifo = folder / "pipe.svg";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    fs::create_symlink(fifo, folder / "to-pipe.svg");
    const fs::path socketPath = folder / "socket.svg";
    const int listening = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", socketPath.c_str());
    ASSERT_EQ(::bind(listening, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    std::vector<fs::path> devices = {fifo, folder / "to-pipe.svg", socketPath};
    // A character device of our own (the null device's numbers), where we may make one.
    const fs::path device = folder / "null.png";
    if (::mknod(device.c_str(), S_IFCHR | 0600, makedev(1, 3)) == 0) {
        fs::create_symlink(device, folder / "to-null.png");
        devices.push_back(device);
        devices.push_back(folder / "to-null.png");
    }
    for (const fs::path& path : devices) {
        SCOPED_TRACE(path.filename().string());
        EXPECT_EQ(run({doc, path.string()}), 1);
        const char* why = fs::is_symlink(path) ? "is a symbolic link" : "not a regular file";
        EXPECT_NE(errors.str().find(why), std::string::npos) << errors.str();
    }
    EXPECT_TRUE(fs::is_fifo(fifo));
    EXPECT_TRUE(fs::is_symlink(folder / "to-pipe.svg"));
    EXPECT_TRUE(fs::is_socket(socketPath));
    if (devices.size() > 3) {
        EXPECT_TRUE(fs::is_character_file(device));
        EXPECT_TRUE(fs::is_symlink(folder / "to-null.png"));
    }
    ::close(listening);
}

// Links planted where export writes (the output, the Markdown file's picture) are refused,
// named, and left as they are, with what they point to; a dangling one creates nothing.
TEST_F(ExportCommand, NeverWritesThroughASymbolicLink) {
    const auto doc = document(twoBoxes);
    fs::create_directories(folder / "outside");
    fs::create_directories(folder / "docs" / ".tours");
    const std::string kept = "precious\n";
    const struct {
        std::vector<std::string> options;
        std::string out;
        std::string link; // the link refused
    } cases[] = {{{}, "docs/walk.md", "docs/walk.md"},
                 {{"--picture"}, "docs/walk.md", "docs/walk.svg"},
                 {{"--allow-missing"}, "docs/.tours/walk.tour", "docs/.tours/walk.tour"},
                 {{}, "docs/walk.canvas", "docs/walk.canvas"},
                 {{}, "docs/walk.mmd", "docs/walk.mmd"},
                 {{}, "docs/picture.svg", "docs/picture.svg"},
                 {{}, "docs/picture.png", "docs/picture.png"}};
    for (const auto& each : cases) {
        SCOPED_TRACE(each.link);
        const std::string target = write("outside/target", kept);
        fs::create_symlink(target, folder / each.link);
        std::vector<std::string> args = each.options;
        args.push_back(doc);
        args.push_back((folder / each.out).string());
        EXPECT_EQ(run(args), 1);
        EXPECT_EQ(errors.str(), "pathwicks export: " + (folder / each.link).string() +
                                    ": is a symbolic link; export does not write through links\n");
        EXPECT_EQ(read(target), kept);
        EXPECT_TRUE(fs::is_symlink(folder / each.link));
        fs::remove(folder / each.link);
    }
    fs::create_symlink("made.svg", folder / "dangling.svg");
    EXPECT_EQ(run({doc, (folder / "dangling.svg").string()}), 1);
    EXPECT_FALSE(fs::exists(folder / "made.svg"));
}

// Whatever the titles hold, the SVG is well-formed XML as an XML parser reads it.
TEST_F(ExportCommand, SvgIsWellFormedXmlWhateverTheTitlesHold) {
    if (std::system("command -v xmllint > /dev/null") != 0)
        GTEST_SKIP() << "xmllint is not installed (scripts/install-deps installs it)";
    // Control characters, the two non-characters, markup, a character beyond the first plane
    // and a C1 control (XML allows those two).
    const std::string hostile =
        R"(A\u0001\u0008\u000b\u000c\u001f\u007f<&>\"'\uFFFE\uFFFF\uD800\uDC00 \u0085end)";
    const auto doc = document(R"([{"id": "a", "title": ")" + hostile +
                              R"(", "rect": "{{40, 60}, {220, 50}}", "arrows": []}])",
                              R"([{"title": "line\nbreak\r\t\u0000", "rect": "{{0, 0}, {90, 29}}"}])");
    const auto svg = (folder / "hostile.svg").string();
    ASSERT_EQ(run({doc, svg}), 0) << errors.str();
    EXPECT_EQ(std::system(("xmllint --noout '" + svg + "'").c_str()), 0) << read(svg);
    EXPECT_NE(read(svg).find("&lt;&amp;&gt;&quot;&apos;"), std::string::npos);
}

// Every format export knows, written into the folder check searches, with titles and marker
// lines that a careless writer would repeat as markers: check and the search still find each
// marker once, in the code.
TEST_F(ExportCommand, NoExportedFileBecomesAMarker) {
    fs::create_directories(folder / "src");
    write("src/a.c", "int a; /* pathwick-C */\n");
    write("src/b.html", "<p>b</p> <!-- pathwick-H -->\n");
    write("src/c.py", "x = 1  # pathwick-P see the notes\n");
    const auto doc = document(
        R"([{"id": "pathwick-C", "title": "see # pathwick-C", "rect": "{{40, 60}, {220, 50}}", "arrows": [1]},
            {"id": "pathwick-H", "title": "A & pathwick-H", "rect": "{{320, 60}, {220, 50}}", "arrows": [2]},
            {"id": "pathwick-P", "title": "", "rect": "{{40, 200}, {220, 50}}", "arrows": []}])",
        R"([{"title": "// pathwick-P", "rect": "{{400, 300}, {100, 29}}"}])");
    const std::vector<std::string> ids{"pathwick-C", "pathwick-H", "pathwick-P"};
    const std::vector<MarkerPlace> source{{"src/a.c", 1}, {"src/b.html", 1}, {"src/c.py", 1}};
    for (const std::string& extension : cli::exportExtensions()) {
        const auto out = (folder / ("walk" + extension)).string();
        ASSERT_EQ(run({doc, out}), 0) << extension << ": " << errors.str();
        const std::string text = read(out);
        EXPECT_EQ(markerIn(text, ids), std::nullopt) << extension << ":\n" << text;
        if (extension == ".tour") {
            EXPECT_NE(text.find(R"(x = 1  # [p]athwick-P see the notes)"), std::string::npos)
                << text;
        }
    }
    const auto searched = std::get<MarkerSearchResult>(searchMarkers(folder.string(), ids, {}));
    for (size_t i = 0; i < ids.size(); ++i)
        EXPECT_EQ(searched.places[i], std::vector<MarkerPlace>{source[i]}) << ids[i];
    std::ostringstream out, err;
    EXPECT_EQ(cli::runCheck({doc}, out, err), 0) << out.str() << err.str();
}

// A tour an older version wrote holds the marker lines: check reports it as the duplicate it
// is, and says what to do.
TEST_F(ExportCommand, CheckHintsAtToursAnOlderVersionExported) {
    write("a.c", "int a; /* pathwick-C */\n");
    write("old.tour", "{\n  \"$schema\": \"https://aka.ms/codetour-schema\",\n  \"steps\": "
                      "[{\"pattern\": \"^[ \\\\t]*int a; /* pathwick-C */[ \\\\t]*$\"}]\n}\n");
    const auto doc = document(
        R"([{"id": "pathwick-C", "title": "C", "rect": "{{40, 60}, {220, 50}}", "arrows": []}])");
    std::ostringstream out, err;
    EXPECT_EQ(cli::runCheck({doc}, out, err), 1);
    EXPECT_EQ(out.str(), "duplicate pathwick-C C\n  a.c:1\n  old.tour:3\nhint: old.tour was "
                         "exported by an older version and repeats the markers; export it again\n");
}

} // namespace
} // namespace pathwicks
