#include "goto/MarkerMatcher.h"

#include "model/MarkerRule.h"

#include <algorithm>
#include <array>

namespace pathwicks {

namespace {

// Beyond this many ids one pass over all comments beats one pass per id.
constexpr size_t mostSeparatePasses = 4;

// A start shared by many ids, shorter than this, is too common in any text to tell anything.
constexpr size_t shortestSharedStart = 4;

bool isMarkerEnd(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// The last bytes of the comment leaders: where a marked word may begin after blanks.
constexpr std::array<bool, 256> makeLeaderEnds() {
    std::array<bool, 256> ends{};
    for (char c : std::string_view("/*#-;%!M:"))
        ends[static_cast<unsigned char>(c)] = true;
    return ends;
}

constexpr std::array<bool, 256> leaderEnd = makeLeaderEnds();

} // namespace

uint64_t LineCounter::lineAt(size_t offset) {
    for (; offset_ < offset && offset_ < text_.size(); ++offset_) {
        const char c = text_[offset_];
        if (c == '\n' || (c == '\r' && (offset_ + 1 >= text_.size() || text_[offset_ + 1] != '\n')))
            ++line_;
    }
    return line_;
}

MarkerMatcher::MarkerMatcher(const std::vector<std::string>& ids) {
    std::vector<size_t> usable;
    for (size_t i = 0; i < ids.size(); ++i)
        if (isSearchableId(ids[i]))
            usable.push_back(i);
    const bool separatePasses = usable.size() <= mostSeparatePasses;
    words_.reserve(usable.size());
    for (size_t i : usable) {
        if (separatePasses || ids[i].find_first_of(" \t") != std::string::npos) {
            finders_.emplace_back(i, LiteralFinder(ids[i]));
        } else {
            words_.push_back(ids[i]);
            byWord_.emplace(words_.back(), i);
        }
    }
    if (separatePasses) {
        sifts_ = true;
        for (size_t i : usable)
            clues_.emplace_back(ids[i]);
        return;
    }
    std::string_view shared = ids[usable.front()];
    for (size_t i : usable) {
        const auto end = std::mismatch(shared.begin(), shared.end(), ids[i].begin(), ids[i].end());
        shared = shared.substr(0, static_cast<size_t>(end.first - shared.begin()));
    }
    if (shared.size() >= shortestSharedStart) {
        sifts_ = true;
        clues_.emplace_back(std::string(shared));
    }
}

size_t MarkerMatcher::longestClue() const {
    size_t longest = 0;
    for (const auto& clue : clues_)
        longest = std::max(longest, clue.needle().size());
    return longest;
}

bool MarkerMatcher::mayMatch(std::string_view text) const {
    return std::any_of(clues_.begin(), clues_.end(), [&](const LiteralFinder& clue) {
        return clue.find(text) != std::string_view::npos;
    });
}

void MarkerMatcher::match(std::string_view text, bool firstOnly,
                          const std::function<void(size_t, uint64_t)>& found) const {
    for (const auto& [index, finder] : finders_) {
        LineCounter lines(text);
        uint64_t lastLine = 0;
        const size_t length = finder.needle().size();
        for (size_t at = finder.find(text); at != std::string_view::npos;
             at = finder.find(text, at + 1)) {
            if (!isMarkerAt(text, at, length))
                continue;
            const uint64_t line = lines.lineAt(at);
            if (line != lastLine)
                found(index, line);
            lastLine = line;
            if (firstOnly)
                break;
        }
    }
    if (byWord_.empty())
        return;
    LineCounter lines(text);
    std::unordered_map<size_t, uint64_t> reported;
    for (size_t at = 0; at < text.size(); ++at) {
        if (!leaderEnd[static_cast<unsigned char>(text[at])])
            continue;
        size_t wordStart = at + 1;
        while (wordStart < text.size() && (text[wordStart] == ' ' || text[wordStart] == '\t'))
            ++wordStart;
        if (wordStart >= text.size() || !followsLeader(text, wordStart))
            continue;
        size_t wordEnd = wordStart;
        while (wordEnd < text.size() && !isMarkerEnd(text[wordEnd]))
            ++wordEnd;
        const auto hit = byWord_.find(text.substr(wordStart, wordEnd - wordStart));
        if (hit == byWord_.end())
            continue;
        const uint64_t line = lines.lineAt(at);
        auto [seen, fresh] = reported.try_emplace(hit->second, line);
        if (!fresh && (firstOnly || seen->second == line))
            continue;
        seen->second = line;
        found(hit->second, line);
    }
}

} // namespace pathwicks
