#include "cli/ExportCommand.h"
#include "goto/TempTree.h"
#include "model/FileIO.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

namespace pathwicks::cli {
namespace {

using Walkthrough = WalkthroughFormat;

TEST(ExportPlan, TheExtensionNamesTheFormatInAnyCase) {
    const std::vector<std::pair<std::string, std::optional<ExportFormat>>> cases = {
        {"a.svg", Picture::svg},
        {"dir.md/A.PNG", Picture::png},
        {".tours/a.Tour", Walkthrough::codeTour},
        {"a.canvas", Walkthrough::jsonCanvas},
        {"a.MD", Walkthrough::markdown},
        {"a.b.mmd", Walkthrough::mermaid},
        {"a.HTML", Walkthrough::html},
        {"a.jpg", std::nullopt},
        {"a.md.bak", std::nullopt},
        {"md", std::nullopt},
        {".md", std::nullopt},
        {"a.md/", std::nullopt}};
    for (const auto& [path, format] : cases)
        EXPECT_EQ(exportFormatOf(path), format) << path;
}

// --scale is read for every format (only pictures use it), --picture only with Markdown,
// --grid only where a picture is drawn.
TEST(ExportPlan, EachOptionGoesWithItsFormats) {
    const std::vector<std::pair<std::vector<std::string>, std::optional<ExportPlan>>> cases = {
        {{"d", "o.png"}, ExportPlan{"d", "o.png", Picture::png}},
        {{"--scale=8", "d", "o.svg"}, ExportPlan{"d", "o.svg", Picture::svg, 8}},
        {{"--picture", "d", "o.Md"}, ExportPlan{"d", "o.Md", Walkthrough::markdown, 1, true}},
        {{"--allow-missing", "--", "d", "o.tour"},
         ExportPlan{"d", "o.tour", Walkthrough::codeTour, 1, false, true}},
        {{"--grid", "d", "o.svg"}, ExportPlan{"d", "o.svg", Picture::svg, 1, false, false, true}},
        {{"--grid", "--picture", "d", "o.md"},
         ExportPlan{"d", "o.md", Walkthrough::markdown, 1, true, false, true}},
        {{"--grid", "d", "o.md"}, std::nullopt},
        {{"--grid", "d", "o.tour"}, std::nullopt},
        {{"--excerpts", "--permalinks", "d", "o.md"},
         ExportPlan{"d", "o.md", Walkthrough::markdown, 1, false, false, false, true, true}},
        {{"--allow-missing", "d", "o.html"},
         ExportPlan{"d", "o.html", Walkthrough::html, 1, false, true}},
        {{"--picture", "d", "o.svg"}, std::nullopt},
        {{"--excerpts", "d", "o.html"}, std::nullopt},
        {{"--permalinks", "d", "o.tour"}, std::nullopt},
        {{"--picture", "d", "o.canvas"}, std::nullopt},
        {{"d", "o.txt"}, std::nullopt}};
    for (const auto& [args, plan] : cases) {
        SCOPED_TRACE(testing::PrintToString(args));
        std::ostringstream err;
        const auto arguments = parseArguments(exportSyntax(), args, err);
        ASSERT_EQ(arguments.has_value(), plan.has_value());
        EXPECT_EQ(err.str().empty(), plan.has_value());
        if (plan) {
            EXPECT_TRUE(exportPlan(*arguments) == *plan);
        }
    }
}

TEST(ExportPlan, PicturesStayWithinTheirLargestSide) {
    EXPECT_EQ(pictureSizeRefusal({16384, 2048}, Picture::png, 1), std::nullopt);
    EXPECT_EQ(pictureSizeRefusal({2048, 2049}, Picture::png, 8),
              "the picture would be too large (16384 by 16392 pixels; at most 16384 on a side)");
    EXPECT_EQ(pictureSizeRefusal({20000, 1}, Picture::svg, 8), std::nullopt);
    EXPECT_TRUE(pictureSizeRefusal({125001, 1}, Picture::svg, 8));
    EXPECT_TRUE(pictureSizeRefusal({1, INFINITY}, Picture::svg, 1));
}

// A picture leaves at least the margin around the items, and keeps the canvas's wider ones.
TEST(ExportPlan, PicturesLeaveAMarginOnEverySide) {
    const std::vector<std::pair<Rect, Rect>> cases = {
        {{0, 0, 100, 50}, {-20, -20, 140, 90}},
        {{20.5, 10, 100, 50}, {0, -10, 141, 90}},
        {{300, 200, 100, 50}, {0, 0, 700, 450}},
        {{-300, -5, 100, 50}, {-320, -25, 140, 90}}};
    for (const auto& [box, area] : cases) {
        StepsModel model;
        model.appendReference(std::make_shared<Reference>());
        model.content()[0]->rect = box;
        EXPECT_EQ(pictureArea(model), area) << box.x << " " << box.y;
    }
}

// Without Qt: the walkthroughs are written here, and pictures come from the maker once their
// size is checked.
TEST(ExportCommand, WritesWalkthroughsAndAsksForPictures) {
    TempTree tree;
    const auto box = [](int x) {
        return R"({"content": [{"id": "a", "title": "First", "rect": "{{)" + std::to_string(x) +
               R"(, 10}, {100, 50}}", "arrows": []}], "labels": []})";
    };
    const auto doc = tree.write("walk.pathwicks", box(20));
    std::vector<std::string> asked;
    const PictureMaker maker = [&](const StepsModel&, const Rect& area, Picture format, int scale,
                                   const std::string& outPath, std::ostream&) {
        asked.push_back(outPath.substr(tree.path().size()) +
                        (format == Picture::svg ? " svg " : " png ") + std::to_string(scale) + " " +
                        std::to_string(int(area.width)));
        return std::optional<std::string>("<svg>picture</svg>");
    };
    std::ostringstream err;
    EXPECT_EQ(runExport({"--scale", "2", doc, tree.path("walk.png")}, err, maker), 0);
    EXPECT_EQ(runExport({"--picture", doc, tree.path("walk.md")}, err, maker), 0);
    EXPECT_EQ(runExport({doc, tree.path("walk.mmd")}, err, maker), 0);
    EXPECT_EQ(runExport({"--allow-missing", doc, tree.path("walk.html")}, err, maker), 0);
    EXPECT_EQ(runExport({tree.write("far.pathwicks", box(8150)), tree.path("far.png")}, err, maker),
              1);
    EXPECT_EQ(asked, (std::vector<std::string>{"/walk.png png 2 140", "/walk.svg svg 1 140",
                                               "/walk.html svg 1 140"}));
    EXPECT_EQ(err.str().substr(err.str().find("pathwicks export: " + tree.path("far.png"))),
              "pathwicks export: " + tree.path("far.png") +
                  ": the picture would be too large (16400 by 90 pixels; at most "
                  "16384 on a side)\n");
    const auto text = [&](const char* name) {
        auto bytes = readFileBytes(tree.path(name));
        return std::holds_alternative<std::string>(bytes) ? std::get<std::string>(bytes) : "";
    };
    EXPECT_EQ(text("walk.png"), "<svg>picture</svg>");
    EXPECT_TRUE(text("walk.md").starts_with("# walk\n\n![walk](./walk.svg)\n")) << text("walk.md");
    EXPECT_TRUE(text("walk.mmd").starts_with("flowchart")) << text("walk.mmd");
    EXPECT_NE(
        text("walk.html").find("<figure class=\"diagram\">\n<svg>picture<a href=\"#stop-1\">"),
        std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(tree.path("far.png")));
}

} // namespace
} // namespace pathwicks::cli
