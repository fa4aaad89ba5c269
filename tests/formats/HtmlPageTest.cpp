#include "formats/NoteHtml.h"
#include "formats/Sha256.h"
#include "formats/WalkthroughExport.h"

#include "goto/TempTree.h"

#include <gtest/gtest.h>

#include <regex>
#include <sstream>

namespace pathwicks {
namespace {

const std::string rlo = "\xe2\x80\xae"; // U+202E, which shows the text after it reversed

size_t count(const std::string& text, const std::string& part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

// The text between the first `open` and the `close` after it.
std::string between(const std::string& text, const std::string& open, const std::string& close) {
    const size_t start = text.find(open);
    if (start == std::string::npos)
        return {};
    const size_t end = text.find(close, start + open.size());
    return text.substr(start + open.size(), end - start - open.size());
}

// A box with a hostile title and note over code with a tab and a bidirectional control, a
// web link, and a box whose marker is nowhere.
class HtmlPage : public ::testing::Test {
protected:
    void SetUp() override {
        std::string code = "int x;\n\tif (ok) { // pathwick-A\n";
        code += "\treturn \"admin" + rlo + " // user\"; <b>&amp;</b>\n";
        for (int i = 4; i <= 30; ++i)
            code += "line" + std::to_string(i) + "\n";
        tree.write("src/main.c", code);
        add("pathwick-A", "</title><script>alert(1)</script>", 0);
        model.content()[0]->note =
            "First *look* at `a<b`:\n\n- one\n- **two**\n\n<script>alert(2)</script> "
            "[bad](javascript:alert(3)) [good](https://example.org/?a=1&b=2)";
        add("pathwick-W", "Docs,https://example.org/x", 100);
        add("pathwick-gone", "Gone", 200);
    }

    void add(const std::string& id, const std::string& title, double y) {
        auto box = std::make_shared<Reference>();
        box->id = id;
        box->title = title;
        box->editor = id == "pathwick-W" ? webLinkEditorName : defaultEditorName;
        box->rect = {10, y, 150, 40};
        model.appendReference(box);
    }

    std::optional<std::string> page(bool allowMissing) {
        errors.str("");
        return exportWalkthrough(model, WalkthroughFormat::html,
                                 {.documentPath = tree.path("walk.pathwicks"),
                                  .documentFolder = tree.path(),
                                  .outPath = tree.path("walk.html"),
                                  .allowMissing = allowMissing,
                                  .diagram =
                                      "<?xml version=\"1.0\"?>\n<svg "
                                      "xmlns=\"http://www.w3.org/2000/svg\"><rect/></svg>\n"},
                                 errors);
    }

    TempTree tree;
    StepsModel model;
    std::ostringstream errors;
};

TEST_F(HtmlPage, AMissingMarkerKeepsThePageUnwrittenUnlessAllowed) {
    EXPECT_FALSE(page(false));
    EXPECT_NE(errors.str().find("missing pathwick-gone Gone\n"), std::string::npos);
    EXPECT_NE(errors.str().find("--allow-missing"), std::string::npos);
    const auto html = page(true);
    ASSERT_TRUE(html);
    EXPECT_NE(between(*html, "id=\"stop-3\"", "</li>").find("marker not found"), std::string::npos);
}

TEST_F(HtmlPage, ShowsTheDiagramAndTheStopsWithEverythingEscaped) {
    const std::string html = page(true).value();
    // The drawing inline, with a link to each stop over its box.
    EXPECT_EQ(html.find("<?xml"), std::string::npos);
    for (const char* n : {"1", "2", "3"}) {
        EXPECT_NE(
            html.find(std::string("<a href=\"#stop-") + n + "\"><rect class=\"box\" id=\"box-" + n),
            std::string::npos);
        EXPECT_NE(html.find(std::string("<li class=\"stop\" id=\"stop-") + n + "\">"),
                  std::string::npos);
    }
    EXPECT_LT(html.find("id=\"box-3\""), html.find("</svg>"));
    // Nothing of the document makes markup: one script, the page's own, at its end.
    EXPECT_EQ(count(html, "<script"), 1u);
    EXPECT_EQ(count(html, "<title>"), 4u); // the page's and one per box
    EXPECT_NE(html.find("&lt;/title&gt;&lt;script&gt;alert(1)&lt;/script&gt;"), std::string::npos);
    const std::string note = between(html, "<div class=\"note\">", "</div>");
    EXPECT_EQ(note, "\n<p>First <em>look</em> at <code>a&lt;b</code>:</p>\n"
                    "<ul>\n<li>one</li>\n<li><strong>two</strong></li>\n</ul>\n"
                    "<p>&lt;script&gt;alert(2)&lt;/script&gt; [bad](javascript:alert(3)) "
                    "<a href=\"https://example.org/?a=1&amp;b=2\">good</a></p>\n");
    EXPECT_EQ(count(html, "href=\"javascript"), 0u);
    EXPECT_NE(html.find("<a href=\"https://example.org/x\">https://example.org/x</a>"),
              std::string::npos);
}

TEST_F(HtmlPage, TheExcerptIsTheMarkerLineAndTwelveMoreShownAsTheyAre) {
    const std::string html = page(true).value();
    EXPECT_NE(html.find("<p class=\"place\"><a href=\"./src/main.c#L2\">src/main.c:2</a></p>"),
              std::string::npos);
    const std::string excerpt = between(html, "<pre class=\"excerpt\"><code>", "</code></pre>");
    EXPECT_EQ(count(excerpt, "<span class=\"line"), 13u);
    EXPECT_EQ(count(excerpt, "<span class=\"line marker\"><span class=\"ln\">2</span>"), 1u);
    EXPECT_NE(excerpt.find("<span class=\"ln\">14</span>line14"), std::string::npos);
    EXPECT_EQ(excerpt.find("line15"), std::string::npos);
    // Tabs out to the next stop of four; the control shown, never sent as it is.
    EXPECT_NE(excerpt.find("</span>    if (ok) {"), std::string::npos);
    EXPECT_NE(excerpt.find("    return &quot;admin<span class=\"control\">&lt;U+202E&gt;</span> "
                           "// user&quot;; &lt;b&gt;&amp;amp;&lt;/b&gt;"),
              std::string::npos);
    EXPECT_EQ(html.find('\t'), std::string::npos);
    EXPECT_EQ(html.find(rlo), std::string::npos);
}

TEST_F(HtmlPage, ItsPolicyAllowsExactlyItsOwnScriptAndStyle) {
    const std::string html = page(true).value();
    const std::string policy =
        between(html, "http-equiv=\"Content-Security-Policy\" content=\"", "\"");
    EXPECT_TRUE(policy.starts_with("default-src 'none'; ")) << policy;
    const std::string script = between(html, "<script>", "</script>");
    const std::string style = between(html, "<style>", "</style>");
    EXPECT_NE(policy.find("script-src " + cspHash(script) + ";"), std::string::npos) << policy;
    EXPECT_NE(policy.find("style-src " + cspHash(style) + ";"), std::string::npos) << policy;
    // Nothing is fetched: no other source, no address the page loads.
    EXPECT_EQ(count(policy, "'sha256-"), 2u);
    EXPECT_FALSE(
        std::regex_search(html, std::regex("[\\s<](src|srcset|poster|data)=|@import|url\\(")));
    EXPECT_EQ(count(html, " style=\""), 0u);
}

TEST(Sha256, KnownDigests) {
    EXPECT_EQ(cspHash(""), "'sha256-47DEQpj8HBSa+/TImW+5JCeuQeRkm5NMpJWZG3hSuFU='");
    EXPECT_EQ(cspHash("abc"), "'sha256-ungWv48Bz+pBQUDeXa4iI7ADYaOWF3qctBD/YfIAFa0='");
    // Two blocks of padding, and many blocks.
    EXPECT_EQ(cspHash("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
              "'sha256-JI1qYdIGOLjlwCaTDD5gOaM85Flk/yFn9uzt1BnbBsE='");
    EXPECT_EQ(cspHash(std::string(1000000, 'a')),
              "'sha256-zcduXJkU+5KBocfihNc+Z/GAmkiklyAOBG05zMcRLNA='");
}

TEST(NoteHtml, RendersTheSmallMarkdownAndShowsEverythingElseAsText) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", ""},
        {"one\ntwo\n\nthree", "<p>one\ntwo</p>\n<p>three</p>\n"},
        {"1. a\n2) b\n   more", "<ol>\n<li>a</li>\n<li>b\nmore</li>\n</ol>\n"},
        {"**bold** _em_ and snake_case_name",
         "<p><strong>bold</strong> <em>em</em> and snake_case_name</p>\n"},
        {"``a ` b`` \\*not\\*", "<p><code>a ` b</code> *not*</p>\n"},
        {"```\n<x>\n```", "<pre><code>&lt;x&gt;\n</code></pre>\n"},
        {"[a](HTTPS://x.org/\"q) [b](data:text/html,x) [c](https://x.org/a b)",
         "<p>[a](HTTPS://x.org/&quot;q) [b](data:text/html,x) [c](https://x.org/a b)</p>\n"},
        {"[*t*](http://x.org/(1))", "<p><a href=\"http://x.org/%281\"><em>t</em></a>)</p>\n"},
        {"<img src=x onerror=alert(1)> &amp; " + rlo,
         "<p>&lt;img src=x onerror=alert(1)&gt; &amp;amp; <span "
         "class=\"control\">&lt;U+202E&gt;</span></p>\n"},
        {"# not a heading", "<p># not a heading</p>\n"},
    };
    for (const auto& [markdown, html] : cases)
        EXPECT_EQ(noteHtml(markdown), html) << markdown;
}

} // namespace
} // namespace pathwicks
