#include "goto/IgnoreRules.h"

#include <cctype>

namespace pathwicks {

namespace {

bool inClass(std::string_view name, unsigned char c) {
    if (name == "alnum") return std::isalnum(c);
    if (name == "alpha") return std::isalpha(c);
    if (name == "blank") return c == ' ' || c == '\t';
    if (name == "cntrl") return std::iscntrl(c);
    if (name == "digit") return std::isdigit(c);
    if (name == "graph") return std::isgraph(c);
    if (name == "lower") return std::islower(c);
    if (name == "print") return std::isprint(c);
    if (name == "punct") return std::ispunct(c);
    if (name == "space") return std::isspace(c);
    if (name == "upper") return std::isupper(c);
    if (name == "xdigit") return std::isxdigit(c);
    return false;
}

enum class Match { yes, no, never };

// A "[...]" set at p (just past the "["): whether c is in it; p moves past the closing "]".
// Nothing (never) when the set is not closed.
Match matchSet(std::string_view pattern, size_t& p, unsigned char c) {
    bool negated = false;
    if (p < pattern.size() && (pattern[p] == '!' || pattern[p] == '^')) {
        negated = true;
        ++p;
    }
    bool found = false;
    bool first = true;
    unsigned char previous = 0;
    for (;; first = false) {
        if (p >= pattern.size())
            return Match::never;
        unsigned char here = static_cast<unsigned char>(pattern[p]);
        if (here == ']' && !first) {
            ++p;
            break;
        }
        if (here == '\\') {
            if (++p >= pattern.size())
                return Match::never;
            here = static_cast<unsigned char>(pattern[p]);
            found |= here == c;
            previous = here;
            ++p;
        } else if (here == '-' && previous != 0 && p + 1 < pattern.size() && pattern[p + 1] != ']') {
            ++p;
            unsigned char last = static_cast<unsigned char>(pattern[p]);
            if (last == '\\') {
                if (++p >= pattern.size())
                    return Match::never;
                last = static_cast<unsigned char>(pattern[p]);
            }
            found |= previous <= c && c <= last;
            previous = 0;
            ++p;
        } else if (here == '[' && p + 1 < pattern.size() && pattern[p + 1] == ':') {
            const size_t close = pattern.find(":]", p + 2);
            if (close == std::string_view::npos)
                return Match::never;
            found |= inClass(pattern.substr(p + 2, close - p - 2), c);
            previous = 0;
            p = close + 2;
        } else {
            found |= here == c;
            previous = here;
            ++p;
        }
    }
    return found != negated && c != '/' ? Match::yes : Match::no;
}

Match matchFrom(std::string_view pattern, size_t p, std::string_view text, size_t t);

// "**/" with the rest of the pattern at p (just past the slash): no folder at all, or any
// number of them.
Match matchAnyFolders(std::string_view pattern, size_t p, std::string_view text, size_t t) {
    if (matchFrom(pattern, p, text, t) == Match::yes)
        return Match::yes;
    for (size_t i = t; i < text.size(); ++i) {
        if (text[i] != '/')
            continue;
        const Match m = matchFrom(pattern, p, text, i + 1);
        if (m != Match::no)
            return m;
    }
    return Match::no;
}

// A "*" with the rest of the pattern at p: any run of characters within one part of the path.
Match matchStar(std::string_view pattern, size_t p, std::string_view text, size_t t) {
    if (p == pattern.size())
        return text.find('/', t) == std::string_view::npos ? Match::yes : Match::no;
    for (size_t i = t; i <= text.size(); ++i) {
        const Match m = matchFrom(pattern, p, text, i);
        if (m != Match::no)
            return m;
        if (i < text.size() && text[i] == '/')
            return Match::no;
    }
    return Match::no;
}

Match matchFrom(std::string_view pattern, size_t p, std::string_view text, size_t t) {
    while (p < pattern.size()) {
        const char c = pattern[p];
        if (c == '*') {
            const size_t stars = p;
            while (p < pattern.size() && pattern[p] == '*')
                ++p;
            const bool twoOrMore = p - stars >= 2;
            const bool afterSlash = stars == 0 || pattern[stars - 1] == '/';
            if (twoOrMore && afterSlash && (p == pattern.size() || pattern[p] == '/'))
                return p == pattern.size() ? Match::yes : matchAnyFolders(pattern, p + 1, text, t);
            return matchStar(pattern, p, text, t);
        }
        if (t >= text.size())
            return Match::no;
        if (c == '?') {
            if (text[t] == '/')
                return Match::no;
        } else if (c == '[') {
            ++p;
            const Match m = matchSet(pattern, p, static_cast<unsigned char>(text[t]));
            if (m != Match::yes)
                return m;
            ++t;
            continue;
        } else if (c == '\\') {
            if (++p >= pattern.size())
                return Match::never;
            if (pattern[p] != text[t])
                return Match::no;
        } else if (c != text[t]) {
            return Match::no;
        }
        ++p;
        ++t;
    }
    return t == text.size() ? Match::yes : Match::no;
}

} // namespace

bool ignorePatternMatches(std::string_view pattern, std::string_view text) {
    return matchFrom(pattern, 0, text, 0) == Match::yes;
}

IgnoreFile::IgnoreFile(std::string_view text, std::string base) : base_(std::move(base)) {
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string line(text.substr(start, end - start));
        start = end + 1;
        // Trailing spaces go, unless a backslash keeps one.
        size_t keep = 0;
        for (size_t i = 0; i < line.size(); ++i) {
            if (line[i] == '\\' && i + 1 < line.size()) {
                ++i;
                keep = i + 1;
            } else if (line[i] != ' ') {
                keep = i + 1;
            }
        }
        line.resize(keep);
        if (line.empty() || line.front() == '#')
            continue;
        Pattern pattern;
        if (line.front() == '!') {
            pattern.negated = true;
            line.erase(0, 1);
        }
        if (!line.empty() && line.back() == '/') {
            pattern.folderOnly = true;
            line.pop_back();
        }
        if (line.empty())
            continue;
        pattern.anchored = line.find('/') != std::string::npos;
        if (line.front() == '/')
            line.erase(0, 1);
        pattern.glob = std::move(line);
        patterns_.push_back(std::move(pattern));
    }
}

int IgnoreFile::decide(std::string_view path, bool isFolder) const {
    std::string_view relative = path;
    if (!base_.empty()) {
        if (path.size() <= base_.size() || !path.starts_with(base_) || path[base_.size()] != '/')
            return -1;
        relative = path.substr(base_.size() + 1);
    }
    const auto slash = relative.rfind('/');
    const std::string_view name =
        slash == std::string_view::npos ? relative : relative.substr(slash + 1);
    for (auto it = patterns_.rbegin(); it != patterns_.rend(); ++it) {
        if (it->folderOnly && !isFolder)
            continue;
        if (ignorePatternMatches(it->glob, it->anchored ? relative : name))
            return it->negated ? 0 : 1;
    }
    return -1;
}

bool IgnoreRules::ignored(std::string_view path, bool isFolder) const {
    for (const IgnoreRules* rules = this; rules; rules = rules->parent_.get())
        for (auto it = rules->files_.rbegin(); it != rules->files_.rend(); ++it)
            if (const int decision = it->decide(path, isFolder); decision >= 0)
                return decision == 1;
    return false;
}

} // namespace pathwicks
