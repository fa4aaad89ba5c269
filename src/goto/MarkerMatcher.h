#pragma once

#include "goto/LiteralFinder.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace pathwicks {

// Counts lines from 1 up to offsets that only grow. A line ends at LF, at CR LF or at a lone CR.
class LineCounter {
public:
    explicit LineCounter(std::string_view text) : text_(text) {}
    uint64_t lineAt(size_t offset);

private:
    std::string_view text_;
    size_t offset_ = 0;
    uint64_t line_ = 1;
};

// Finds the lines of a text that carry the marker of any of a set of ids, by the rule of
// model/MarkerRule.
class MarkerMatcher {
public:
    // An id that is empty or holds a line end cannot stand on one line and is never found.
    explicit MarkerMatcher(const std::vector<std::string>& ids);

    // Calls found(index of the id, line) for every line carrying a marker, at most once per id
    // and line; with firstOnly, only for the first such line of each id.
    void match(std::string_view text, bool firstOnly,
               const std::function<void(size_t, uint64_t)>& found) const;

    // A cheap test of whether a text may hold a marker, when there is one: the text must hold
    // one of the ids, or with many ids the start they all share, if it is long enough to be
    // rare. A text cut in pieces that each repeat the last longestClue() - 1 bytes of the one
    // before holds no marker when mayMatch() is false of every piece.
    bool sifts() const { return sifts_; }
    size_t longestClue() const;
    bool mayMatch(std::string_view text) const;

private:
    // Few ids: one fast pass per id. Many ids: one pass over every word after a comment leader,
    // looking it up; ids holding a space or a tab cannot be looked up that way and get passes
    // too.
    std::vector<std::pair<size_t, LiteralFinder>> finders_;
    std::unordered_map<std::string_view, size_t> byWord_;
    std::vector<std::string> words_;
    bool sifts_ = false;
    std::vector<LiteralFinder> clues_;
};

} // namespace pathwicks
