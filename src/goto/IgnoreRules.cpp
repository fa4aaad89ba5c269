#include "goto/IgnoreRules.h"

#include <algorithm>
#include <bitset>
#include <cctype>
#include <optional>

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

// A "[...]" set at p (just past the "["): the bytes in it, p moved past the closing "]".
// Nothing when the set is not closed.
std::optional<std::bitset<256>> readSet(std::string_view pattern, size_t& p) {
    bool negated = false;
    if (p < pattern.size() && (pattern[p] == '!' || pattern[p] == '^')) {
        negated = true;
        ++p;
    }
    std::bitset<256> set;
    bool first = true;
    int previous = -1;
    for (;; first = false) {
        if (p >= pattern.size())
            return std::nullopt;
        unsigned char here = static_cast<unsigned char>(pattern[p]);
        if (here == ']' && !first) {
            ++p;
            break;
        }
        if (here == '\\') {
            if (++p >= pattern.size())
                return std::nullopt;
            here = static_cast<unsigned char>(pattern[p++]);
            set.set(here);
            previous = here;
        } else if (here == '-' && previous > 0 && p + 1 < pattern.size() && pattern[p + 1] != ']') {
            unsigned char last = static_cast<unsigned char>(pattern[++p]);
            if (last == '\\') {
                if (++p >= pattern.size())
                    return std::nullopt;
                last = static_cast<unsigned char>(pattern[p]);
            }
            for (int c = previous; c <= last; ++c)
                set.set(static_cast<size_t>(c));
            previous = -1;
            ++p;
        } else if (here == '[' && p + 1 < pattern.size() && pattern[p + 1] == ':') {
            const size_t close = pattern.find(":]", p + 2);
            if (close == std::string_view::npos)
                return std::nullopt;
            const std::string_view name = pattern.substr(p + 2, close - p - 2);
            for (int c = 1; c < 256; ++c)
                if (inClass(name, static_cast<unsigned char>(c)))
                    set.set(static_cast<size_t>(c));
            previous = -1;
            p = close + 2;
        } else {
            set.set(here);
            previous = here;
            ++p;
        }
    }
    if (negated)
        set.flip();
    set.reset('/');
    return set;
}

} // namespace

IgnorePattern::IgnorePattern(std::string_view pattern) {
    for (size_t p = 0; p < pattern.size();) {
        const char c = pattern[p];
        Token token;
        if (c == '*') {
            const size_t stars = p;
            while (p < pattern.size() && pattern[p] == '*')
                ++p;
            const bool afterSlash = stars == 0 || pattern[stars - 1] == '/';
            const bool twoOrMore = p - stars >= 2;
            if (twoOrMore && afterSlash && p == pattern.size()) {
                token.kind = Kind::anything;
            } else if (twoOrMore && afterSlash && pattern[p] == '/') {
                token.kind = Kind::anyFolders;
                ++p;
            } else {
                token.kind = Kind::star;
            }
        } else if (c == '?') {
            token.kind = Kind::set;
            token.set.set();
            token.set.reset('/');
            ++p;
        } else if (c == '[') {
            auto set = readSet(pattern, ++p);
            if (!set) {
                fail();
                return;
            }
            token.kind = Kind::set;
            token.set = *set;
        } else {
            if (c == '\\' && ++p >= pattern.size()) {
                fail();
                return;
            }
            token.kind = Kind::set;
            literal_ += pattern[p];
            token.set.set(static_cast<unsigned char>(pattern[p++]));
            tokens_.push_back(token);
            continue;
        }
        starThenPlain_ = tokens_.empty() && token.kind == Kind::star;
        plain_ = false;
        tokens_.push_back(token);
    }
    starThenPlain_ = starThenPlain_ && literal_.size() + 1 == tokens_.size();
}

void IgnorePattern::fail() {
    tokens_.clear();
    valid_ = plain_ = starThenPlain_ = false;
}

// The pattern as a machine with a state before each token (and one inside a folder name for
// each "**/"), all states followed at once: time grows with the name times the pattern, never
// exponentially.
bool IgnorePattern::matches(std::string_view text) const {
    if (!valid_)
        return false;
    if (plain_)
        return text == literal_;
    if (starThenPlain_)
        return text.ends_with(literal_) &&
               text.substr(0, text.size() - literal_.size()).find('/') == std::string_view::npos;
    const size_t count = tokens_.size();
    std::vector<char> now(2 * count + 1), next(2 * count + 1);
    now[0] = 1;
    for (size_t t = 0;; ++t) {
        // A star or "**/" may match nothing; "**" at the end matches whatever is left.
        for (size_t k = 0; k < count; ++k) {
            if (!now[k])
                continue;
            if (tokens_[k].kind == Kind::anything)
                return true;
            if (tokens_[k].kind == Kind::star || tokens_[k].kind == Kind::anyFolders)
                now[k + 1] = 1;
        }
        if (t == text.size())
            return now[count];
        const unsigned char c = static_cast<unsigned char>(text[t]);
        std::fill(next.begin(), next.end(), 0);
        bool any = false;
        const auto reach = [&](size_t state) { next[state] = any = true; };
        for (size_t k = 0; k < count; ++k) {
            const size_t inside = count + 1 + k;
            if (now[inside]) // within a folder name of a "**/"
                reach(c == '/' ? k : inside);
            if (!now[k])
                continue;
            switch (tokens_[k].kind) {
            case Kind::set:
                if (tokens_[k].set.test(c))
                    reach(k + 1);
                break;
            case Kind::star:
                if (c != '/')
                    reach(k);
                break;
            case Kind::anyFolders:
                reach(c == '/' ? k : inside);
                break;
            case Kind::anything:
                break;
            }
        }
        if (!any)
            return false;
        now.swap(next);
    }
}

bool ignorePatternMatches(std::string_view pattern, std::string_view text) {
    return IgnorePattern(pattern).matches(text);
}

namespace {

// A line of an ignore file as git reads it: a CR before the line end dropped, then the
// trailing spaces but one a backslash keeps.
std::string_view trimmedLine(std::string_view line) {
    if (line.ends_with('\r'))
        line.remove_suffix(1);
    size_t keep = 0;
    for (size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '\\' && i + 1 < line.size()) {
            ++i;
            keep = i + 1;
        } else if (line[i] != ' ') {
            keep = i + 1;
        }
    }
    return line.substr(0, keep);
}

} // namespace

IgnoreFile::IgnoreFile(std::string_view text, std::string base) : base_(std::move(base)) {
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = trimmedLine(text.substr(start, end - start));
        start = end + 1;
        if (line.empty() || line.front() == '#')
            continue;
        const bool negated = line.front() == '!';
        if (negated)
            line.remove_prefix(1);
        const bool folderOnly = line.ends_with('/');
        if (folderOnly)
            line.remove_suffix(1);
        if (line.empty())
            continue;
        const bool anchored = line.find('/') != std::string_view::npos;
        if (line.front() == '/')
            line.remove_prefix(1);
        patterns_.push_back({IgnorePattern(line), negated, folderOnly, anchored});
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
        if (it->glob.matches(it->anchored ? relative : name))
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
