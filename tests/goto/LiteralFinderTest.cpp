#include "goto/LiteralFinder.h"
#include "goto/MarkerMatcher.h"

#include <gtest/gtest.h>

#include <random>

using pathwicks::LiteralFinder;

// The vector search must agree with a plain search at every start and length, including
// matches that straddle or end exactly at the last block of sixteen, thirty-two or sixty-four.
TEST(LiteralFinder, AgreesWithPlainSearchOnRandomText) {
    std::mt19937 random(7);
    const std::string alphabet = "// ab\nA-";
    for (int round = 0; round < 400; ++round) {
        std::string text(random() % 300, ' ');
        for (char& c : text)
            c = alphabet[random() % alphabet.size()];
        std::string needle(1 + random() % 6, ' ');
        for (char& c : needle)
            c = alphabet[random() % alphabet.size()];
        const LiteralFinder finder(needle);
        for (size_t from = 0; from <= text.size() + 1; ++from)
            ASSERT_EQ(finder.find(text, from), std::string_view(text).find(needle, from))
                << "text '" << text << "' needle '" << needle << "' from " << from;
    }
}

TEST(LiteralFinder, FindsAtTheVeryEndAndNotBeyond) {
    const std::string text = std::string(100, 'x') + "// pathwick-9";
    EXPECT_EQ(LiteralFinder("// pathwick-9").find(text), 100u);
    EXPECT_EQ(LiteralFinder("// pathwick-90").find(text), std::string_view::npos);
    EXPECT_EQ(LiteralFinder("////").find("///"), std::string_view::npos);
}

TEST(LineCounter, CountsLfCrLfAndLoneCrAsLineEnds) {
    const std::string_view text = "a\nb\r\nc\rd\n\ne";
    pathwicks::LineCounter lines(text);
    EXPECT_EQ(lines.lineAt(0), 1u);
    EXPECT_EQ(lines.lineAt(2), 2u);  // b
    EXPECT_EQ(lines.lineAt(5), 3u);  // c
    EXPECT_EQ(lines.lineAt(7), 4u);  // d
    EXPECT_EQ(lines.lineAt(10), 6u); // e
}
