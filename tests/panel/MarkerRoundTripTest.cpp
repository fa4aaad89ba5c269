#include "goto/MarkerSearch.h"
#include "model/MarkerLine.h"

#include "goto/TempTree.h"

#include <gtest/gtest.h>

using namespace pathwicks;

// What Copy writes in each style is one line that Attach reads back and the search finds, put
// into a file among lines of code, whatever the title holds.
TEST(MarkerRoundTrip, EveryStyleIsCopiedReadBackAndFound) {
    struct Title {
        std::string given;
        std::string copied;
    };
    const std::vector<Title> titles = {
        {"Plain title", "Plain title"},
        {"Two\nlines\r\nhere", "Two lines  here"},
        {"tab\tinside", "tab inside"},
        {"ends in a backslash\\", "ends in a backslash"},
        {"backslashes and spaces \\ \\\\  ", "backslashes and spaces"},
        {"closers */ --> *) inside", ""}, // depends on the style
        {"separator\u2028and\u0085next", "separator and next"},
        {"", ""},
    };
    TempTree tree;
    size_t n = 0;
    for (const auto& style : markerStyles()) {
        for (const auto& title : titles) {
            Reference reference;
            reference.id = "pathwick-R" + std::to_string(n++);
            reference.title = title.given;
            const std::string line = markerLine(reference, style);
            SCOPED_TRACE(line);
            ASSERT_TRUE(line.ends_with("\n"));
            // One line: no other line end, no control character.
            for (size_t i = 0; i + 1 < line.size(); ++i)
                EXPECT_GE(static_cast<unsigned char>(line[i]), 0x20u) << i;
            EXPECT_TRUE(line.starts_with(std::string(style.opener) + " " + reference.id));
            const std::string body = line.substr(0, line.size() - 1);
            EXPECT_FALSE(body.ends_with("\\") || body.ends_with(" "));
            if (!style.closer.empty()) {
                // The closer stands only at the end.
                EXPECT_EQ(body.find(style.closer), body.size() - style.closer.size());
            }

            const auto marker = parseMarkerLine("int x;\n    " + line);
            ASSERT_TRUE(marker);
            EXPECT_EQ(marker->id, reference.id);
            if (!title.copied.empty() || title.given.empty()) {
                EXPECT_EQ(marker->title, title.copied);
            }

            tree.write("f" + reference.id + ".src", "code();\n" + line + "more();\n");
            const auto found = searchMarkers(tree.path(), {reference.id});
            ASSERT_TRUE(std::holds_alternative<MarkerSearchResult>(found));
            EXPECT_EQ(std::get<MarkerSearchResult>(found).places[0],
                      (std::vector<MarkerPlace>{{"f" + reference.id + ".src", 2}}));
        }
    }
}
