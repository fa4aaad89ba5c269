#include "formats/MarkdownTour.h"
#include "formats/MermaidChart.h"
#include "formats/WalkthroughExport.h"
#include "model/FileIO.h"

#include "goto/TempTree.h"

#include <cmark.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <regex>
#include <set>
#include <sstream>

namespace pathwicks {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

// The lines of a text as an editor counts them: ends at LF, CR LF or a lone CR.
std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines(1);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            lines.emplace_back();
        } else {
            lines.back() += text[i];
        }
    }
    return lines;
}

std::string read(const std::string& path) {
    auto bytes = readFileBytes(path);
    return std::holds_alternative<std::string>(bytes) ? std::get<std::string>(bytes) : "";
}

// A source tree with markers in awkward lines, and a walkthrough over it: a chain A -> B -> C,
// a web link W, a box D that shares A's id, and a label.
class Walkthrough : public ::testing::Test {
protected:
    void SetUp() override {
        tree.write("src/main.c",
                   "int x;\n"
                   "if (a[1] * (b + c) ? d : e) { return \"$^|.\\\\/\"; }\r\n"
                   "\tif (a[1] * (b + c) ? d : e) { return \"$^|.\\\\/\"; } // pathwick-A  \r\n"
                   "y(); // pathwick-AB\r"
                   "done();\n");
        tree.write("lib/my file (v2)#.py", "\n\n  x = {1}  // pathwick-B\n");
        tree.write("walk.pathwicks", "{}");
        box("pathwick-A", "Start *here* [now]", 300, 0);
        box("pathwick-B", "Then\nthere", 0, 100);
        box("pathwick-C", "Gone <b>&amp; lost</b>", 0, 200);
        box("pathwick-W", "Docs,https://example.org/a b?x=1#part", 0, 300, webLinkEditorName);
        box("pathwick-A", "Again", 0, 400);
        box("pathwick-AB", "Next door", 0, 500);
        model.arrows.emplace_back(model.content()[0], model.content()[1]);
        model.arrows.emplace_back(model.content()[1], model.content()[2]);
        auto label = Label::fromDictionary(json{{"title", "Intro"}, {"rect", "{{0, -80}, {90, 29}}"}});
        model.labels.push_back(label);
    }

    void box(const std::string& id, const std::string& title, double x, double y,
             const std::string& editor = defaultEditorName) {
        auto reference = std::make_shared<Reference>();
        reference->id = id;
        reference->title = title;
        reference->editor = editor;
        reference->rect = {x, y, 160.4, 50.6};
        model.appendReference(reference);
    }

    std::optional<std::string> exported(WalkthroughFormat format, const std::string& out,
                                        bool allowMissing = false) {
        errors.str("");
        return exportWalkthrough(model, format,
                                 {.documentPath = tree.path("walk.pathwicks"),
                                  .documentFolder = tree.path(),
                                  .outPath = out,
                                  .allowMissing = allowMissing},
                                 errors);
    }

    TempTree tree;
    StepsModel model;
    std::ostringstream errors;
};

TEST_F(Walkthrough, CodeTourStepsPointAtTheMarkerLinesInTourOrder) {
    const auto text = exported(WalkthroughFormat::codeTour, tree.path(".tours/walk.tour"), true);
    ASSERT_TRUE(text) << errors.str();
    const json tour = json::parse(*text);
    EXPECT_EQ(tour["$schema"], "https://aka.ms/codetour-schema");
    EXPECT_EQ(tour["title"], "walk");
    const json& steps = tour["steps"];
    ASSERT_EQ(steps.size(), 6u);

    struct Expected {
        std::string file;
        size_t line;
        std::string title;
    };
    // Tour order: the chain A, B, C from its start, then the rest top to bottom.
    const std::vector<Expected> expected = {{"src/main.c", 3, "Start *here* [now]"},
                                            {"lib/my file (v2)#.py", 3, "Then\nthere"},
                                            {"", 0, "Gone <b>&amp; lost</b>"},
                                            {"", 0, ""},
                                            {"src/main.c", 3, "Again"},
                                            {"src/main.c", 4, "Next door"}};
    for (size_t i = 0; i < steps.size(); ++i) {
        SCOPED_TRACE(steps[i].dump());
        if (expected[i].file.empty()) {
            EXPECT_FALSE(steps[i].contains("file"));
            EXPECT_FALSE(steps[i].contains("pattern"));
            continue;
        }
        EXPECT_EQ(steps[i]["file"], expected[i].file);
        EXPECT_EQ(steps[i]["title"], expected[i].title);
        // Read as Markdown by the editor: escaped as the Markdown export escapes it.
        EXPECT_EQ(steps[i]["description"], pathwicks::markdownText(expected[i].title));
        // CodeTour looks for the pattern with the "m" flag: the first line it matches.
        const std::regex pattern(steps[i]["pattern"].get<std::string>(),
                                 std::regex::ECMAScript);
        const auto lines = linesOf(read(tree.path(expected[i].file)));
        std::vector<size_t> matched;
        for (size_t line = 0; line < lines.size(); ++line)
            if (std::regex_search(lines[line], pattern))
                matched.push_back(line + 1);
        EXPECT_EQ(matched, std::vector<size_t>{expected[i].line});
    }
    EXPECT_EQ(steps[2], json({{"description", "Gone \\<b\\>\\&amp; lost\\</b\\>"}}));
    EXPECT_EQ(steps[3], json({{"description", "[Docs](https://example.org/a%20b?x=1#part)"}}));
}

TEST_F(Walkthrough, ATourWithAMissingMarkerNamesItAndIsNotMade) {
    model.content()[2]->title = "Gone\nfor good";
    EXPECT_FALSE(exported(WalkthroughFormat::codeTour, tree.path("walk.tour")));
    EXPECT_EQ(errors.str().substr(0, errors.str().find('\n') + 1),
              "missing pathwick-C Gone for good\n");
    EXPECT_NE(errors.str().find("--allow-missing"), std::string::npos);
    // The other formats say the marker is missing in the file instead.
    EXPECT_TRUE(exported(WalkthroughFormat::markdown, tree.path("walk.md")));
}

TEST_F(Walkthrough, JsonCanvasHasUniqueIdsAndEdgesBetweenItsNodes) {
    // Ids that differ only in bytes that are no UTF-8 are written alike: still two nodes.
    box("bad-\xff", "One", 0, 600);
    box("bad-\xfe", "Other", 0, 700);
    const auto text = exported(WalkthroughFormat::jsonCanvas, tree.path("walk.canvas"));
    ASSERT_TRUE(text) << errors.str();
    const json canvas = json::parse(*text);
    const json& nodes = canvas["nodes"];
    ASSERT_EQ(nodes.size(), 9u);
    EXPECT_EQ(nodes[0]["text"], "# Intro");
    std::set<std::string> ids;
    for (const auto& node : nodes) {
        EXPECT_EQ(node["type"], "text");
        for (const char* key : {"x", "y", "width", "height"})
            EXPECT_TRUE(node[key].is_number_integer()) << node.dump();
        EXPECT_TRUE(ids.insert(node["id"]).second) << node.dump();
    }
    EXPECT_EQ(nodes[1]["id"], "pathwick-A");
    EXPECT_EQ(nodes[1]["text"], "Start *here* [now]\nsrc/main.c:3");
    EXPECT_EQ(nodes[1]["x"], 300);
    EXPECT_EQ(nodes[1]["width"], 160);
    EXPECT_EQ(nodes[1]["height"], 51);
    EXPECT_EQ(nodes[3]["text"], "Gone <b>&amp; lost</b>");
    EXPECT_EQ(nodes[5]["id"], "pathwick-A-2");
    ASSERT_EQ(canvas["edges"].size(), 2u);
    for (const auto& edge : canvas["edges"]) {
        EXPECT_TRUE(ids.insert(edge["id"]).second) << edge.dump();
        EXPECT_TRUE(ids.contains(edge["fromNode"]) && ids.contains(edge["toNode"]));
        EXPECT_EQ(edge["toEnd"], "arrow");
    }
    EXPECT_EQ(canvas["edges"][1]["fromNode"], "pathwick-B");
    EXPECT_EQ(canvas["edges"][1]["toNode"], "pathwick-C");
}

// The text of a Markdown node: its text and code below it.
std::string textOf(cmark_node* node) {
    std::string text;
    for (cmark_node* child = cmark_node_first_child(node); child;
         child = cmark_node_next(child)) {
        const auto type = cmark_node_get_type(child);
        if (type == CMARK_NODE_TEXT || type == CMARK_NODE_CODE)
            text += cmark_node_get_literal(child);
        else if (type == CMARK_NODE_SOFTBREAK || type == CMARK_NODE_LINEBREAK)
            text += ' ';
        else
            text += textOf(child);
    }
    return text;
}

std::string percentDecoded(const std::string& text) {
    std::string decoded;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            decoded += char(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            decoded += text[i];
        }
    }
    return decoded;
}

TEST_F(Walkthrough, MarkdownListsTheStopsWithLinksThatLeadToTheirLines) {
    const std::string out = tree.path("docs/guide/walk.md");
    fs::create_directories(fs::path(out).parent_path());
    const auto text = exported(WalkthroughFormat::markdown, out);
    ASSERT_TRUE(text) << errors.str();
    cmark_node* document = cmark_parse_document(text->data(), text->size(), CMARK_OPT_DEFAULT);
    std::vector<std::string> headings, strong, items;
    std::vector<std::pair<std::string, std::string>> links; // destination, text
    cmark_iter* iter = cmark_iter_new(document);
    for (auto event = cmark_iter_next(iter); event != CMARK_EVENT_DONE;
         event = cmark_iter_next(iter)) {
        cmark_node* node = cmark_iter_get_node(iter);
        if (event != CMARK_EVENT_ENTER)
            continue;
        switch (cmark_node_get_type(node)) {
        case CMARK_NODE_HEADING: headings.push_back(textOf(node)); break;
        case CMARK_NODE_STRONG: strong.push_back(textOf(node)); break;
        case CMARK_NODE_ITEM:
            EXPECT_EQ(cmark_node_get_list_type(cmark_node_parent(node)), CMARK_ORDERED_LIST);
            items.push_back(textOf(node));
            break;
        case CMARK_NODE_LINK: links.emplace_back(cmark_node_get_url(node), textOf(node)); break;
        default: break;
        }
    }
    cmark_iter_free(iter);
    cmark_node_free(document);

    // The label above every box titles the walkthrough.
    EXPECT_EQ(headings, std::vector<std::string>{"Intro"});
    // Titles read as written, whatever Markdown would make of them.
    EXPECT_EQ(strong, (std::vector<std::string>{"Start *here* [now]", "Then there",
                                                 "Gone <b>&amp; lost</b>", "Docs", "Again",
                                                 "Next door"}));
    ASSERT_EQ(items.size(), 6u);
    EXPECT_NE(items[2].find("(marker not found)"), std::string::npos) << items[2];
    ASSERT_EQ(links.size(), 5u);
    EXPECT_EQ(links[2].first, "https://example.org/a%20b?x=1#part");
    links.erase(links.begin() + 2);
    const std::vector<std::pair<std::string, size_t>> places = {
        {"src/main.c", 3}, {"lib/my file (v2)#.py", 3}, {"src/main.c", 3}, {"src/main.c", 4}};
    for (size_t i = 0; i < links.size(); ++i) {
        const auto& [destination, shown] = links[i];
        const auto hash = destination.rfind("#L");
        ASSERT_NE(hash, std::string::npos) << destination;
        const std::string path = percentDecoded(destination.substr(0, hash));
        EXPECT_EQ(path, "./../../" + places[i].first);
        EXPECT_TRUE(fs::is_regular_file(fs::path(out).parent_path() / path)) << destination;
        EXPECT_EQ(destination.substr(hash + 2), std::to_string(places[i].second));
        EXPECT_EQ("./" + shown, path + ":" + std::to_string(places[i].second));
    }
}

// Names a URL would read as a scheme, a query or a comment stay relative links to the file; with
// excerpts, each stop's code follows it in a fenced block.
TEST_F(Walkthrough, MarkdownLinksStayRelativeAndExcerptsFollowTheirStops) {
    tree.write("javascript:alert(1)<!--", "// pathwick-J\n");
    tree.write("what?.c", "\tcode(); // pathwick-Q\n```\nnext\n");
    model.content()[0]->id = "pathwick-J";
    model.content()[1]->id = "pathwick-Q";
    errors.str("");
    const auto text = exportWalkthrough(model, WalkthroughFormat::markdown,
                                        {.documentPath = tree.path("walk.pathwicks"),
                                         .documentFolder = tree.path(),
                                         .outPath = tree.path("walk.md"),
                                         .excerpts = true},
                                        errors);
    ASSERT_TRUE(text) << errors.str();
    cmark_node* document = cmark_parse_document(text->data(), text->size(), CMARK_OPT_DEFAULT);
    std::vector<std::string> links, code;
    cmark_iter* iter = cmark_iter_new(document);
    for (auto event = cmark_iter_next(iter); event != CMARK_EVENT_DONE;
         event = cmark_iter_next(iter)) {
        cmark_node* node = cmark_iter_get_node(iter);
        if (event == CMARK_EVENT_ENTER && cmark_node_get_type(node) == CMARK_NODE_LINK)
            links.push_back(cmark_node_get_url(node));
        if (cmark_node_get_type(node) == CMARK_NODE_CODE_BLOCK) {
            EXPECT_EQ(cmark_node_get_type(cmark_node_parent(node)), CMARK_NODE_ITEM);
            code.push_back(cmark_node_get_literal(node));
        }
    }
    cmark_iter_free(iter);
    cmark_node_free(document);
    ASSERT_GE(links.size(), 2u);
    EXPECT_EQ(links[0], "./javascript%3Aalert%281%29%3C!--#L1");
    EXPECT_EQ(links[1], "./what%3F.c#L1");
    EXPECT_EQ(percentDecoded(links[1]), "./what?.c#L1");
    ASSERT_GE(code.size(), 2u);
    // The ids in a fence take a non-breaking hyphen, so the file holds no marker.
    EXPECT_EQ(code[0], "1  // pathwick\u2011J\n");
    EXPECT_EQ(code[1], "1      code(); // pathwick\u2011Q\n2  ```\n3  next\n");
}

// Mermaid reads "#name;" and "#number;" as characters and <br> as a line break; anything else
// in a quoted label stands for itself.
std::string mermaidShown(const std::string& label) {
    EXPECT_GE(label.size(), 2u);
    EXPECT_EQ(label.front(), '"');
    EXPECT_EQ(label.back(), '"');
    const std::string inner = label.substr(1, label.size() - 2);
    static const std::map<std::string, char> named = {
        {"quot", '"'}, {"amp", '&'}, {"lt", '<'}, {"gt", '>'}};
    std::string shown;
    const std::regex entity("^#(\\w+);");
    for (size_t i = 0; i < inner.size();) {
        std::smatch match;
        const std::string rest = inner.substr(i);
        if (inner.compare(i, 4, "<br>") == 0) {
            shown += '\n';
            i += 4;
        } else if (std::regex_search(rest, match, entity)) {
            const std::string name = match[1];
            shown += named.contains(name) ? named.at(name) : char(std::stoi(name));
            i += match.length(0);
        } else {
            // What a label may not hold as it stands: it would end the label, start markup,
            // an entity, a directive or a Markdown string.
            EXPECT_EQ(std::string("\"#%&<>`\n\r").find(inner[i]), std::string::npos) << label;
            shown += inner[i++];
        }
    }
    return shown;
}

TEST(MermaidLabel, AnyTitleShowsAsWritten) {
    for (const std::string title :
         {"plain", "say \"hi\"", "a[0] (b) {c} <d> #e; #35; %%{init}%% `code` & more; x",
          "two\nlines", "crlf\r\nend", "", "tab\there", "ünïcode ✓"}) {
        std::string expected = title;
        expected = std::regex_replace(expected, std::regex("\r\n"), "\n");
        expected = std::regex_replace(expected, std::regex("\t"), " ");
        if (expected.empty())
            expected = " ";
        EXPECT_EQ(mermaidShown(mermaidLabel(title)), expected) << title;
    }
}

TEST_F(Walkthrough, MermaidChartHasANodePerBoxAnEdgePerArrowAndLinksToMarkers) {
    const auto text = exported(WalkthroughFormat::mermaid, tree.path("doc/walk.mmd"));
    ASSERT_TRUE(text) << errors.str();
    // Its boxes reach further down than across.
    const std::string expected = "flowchart TB\n"
                                 "    n1[\"Start *here* [now]\"]\n"
                                 "    n2[\"Then<br>there\"]\n"
                                 "    n3[\"Gone #lt;b#gt;#amp;amp; lost#lt;/b#gt;\"]\n"
                                 "    n4[\"Docs\"]\n"
                                 "    n5[\"Again\"]\n"
                                 "    n6[\"Next door\"]\n"
                                 "    n1 --> n2\n"
                                 "    n2 --> n3\n"
                                 "    click n1 href \"../src/main.c#L3\"\n"
                                 "    click n2 href \"../lib/my%20file%20%28v2%29%23.py#L3\"\n"
                                 "    click n4 href \"https://example.org/a%20b?x=1#part\"\n"
                                 "    click n5 href \"../src/main.c#L3\"\n"
                                 "    click n6 href \"../src/main.c#L4\"\n";
    EXPECT_EQ(*text, expected);
}

// The blocks of a Markdown text as cmark reads them, one line each: "heading TEXT",
// "paragraph TEXT", "item N TEXT" (N the list's start plus the item's place in it), and
// "note TEXT" for a paragraph inside an item below its first.
std::vector<std::string> blocksOf(const std::string& text) {
    cmark_node* document = cmark_parse_document(text.data(), text.size(), CMARK_OPT_DEFAULT);
    std::vector<std::string> blocks;
    for (cmark_node* node = cmark_node_first_child(document); node; node = cmark_node_next(node)) {
        const auto type = cmark_node_get_type(node);
        if (type == CMARK_NODE_HEADING)
            blocks.push_back("heading " + textOf(node));
        else if (type == CMARK_NODE_PARAGRAPH)
            blocks.push_back("paragraph " + textOf(node));
        if (type != CMARK_NODE_LIST)
            continue;
        int number = cmark_node_get_list_start(node);
        for (cmark_node* item = cmark_node_first_child(node); item; item = cmark_node_next(item)) {
            cmark_node* part = cmark_node_first_child(item);
            blocks.push_back("item " + std::to_string(number++) + " " + textOf(part));
            for (part = cmark_node_next(part); part; part = cmark_node_next(part))
                blocks.push_back("note " + textOf(part));
        }
    }
    cmark_node_free(document);
    return blocks;
}

TEST_F(Walkthrough, MarkdownTellsTheLabelsAndNotesWhereTheyStand) {
    model.content()[0]->note = "Read *this* first.\n\n- then that";
    model.content()[2]->note = "   \n";
    model.labels[0]->rect.y = 150; // no longer above every box: the name titles it
    for (const auto& [title, y] : {std::pair{"1. Not a list\n---", 250.0}, {"# Last <word>", 900.0}}) {
        model.labels.push_back(Label::fromDictionary(json{{"title", title}}));
        model.labels.back()->rect = {0, y, 90, 29};
    }
    const auto text = exported(WalkthroughFormat::markdown, tree.path("walk.md"));
    ASSERT_TRUE(text) << errors.str();
    // Tour order: A, B, C (arrows), then D, W and AB by reading order.
    const std::vector<std::string> expected = {
        "heading walk",
        "item 1 Start *here* [now] — src/main.c:3",
        "note Read this first.",
        "note then that",
        "item 2 Then there — lib/my file (v2)#.py:3",
        "paragraph Intro",
        "item 3 Gone <b>&amp; lost</b> (marker not found)",
        "paragraph 1. Not a list ---",
        "item 4 Docs — https://example.org/a b?x=1#part",
        "item 5 Again — src/main.c:3",
        "item 6 Next door — src/main.c:4",
        "paragraph # Last <word>"};
    EXPECT_EQ(blocksOf(*text), expected) << *text;
}

TEST_F(Walkthrough, MermaidRunsAcrossWhenTheDiagramIsWiderThanTall) {
    for (const auto& reference : model.content())
        reference->rect = {reference->rect.y * 3, reference->rect.x, 160, 50};
    model.labels.clear();
    const auto text = exported(WalkthroughFormat::mermaid, tree.path("walk.mmd"));
    ASSERT_TRUE(text) << errors.str();
    EXPECT_EQ(text->substr(0, text->find('\n')), "flowchart LR");
}

} // namespace
} // namespace pathwicks
