#pragma once

#include <bitset>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace pathwicks {

// Whether text matches a pattern of an ignore file, with git's rules: "*" and "?" never match a
// slash, "[...]" is a set ("!" or "^" negates it, ranges and [:alpha:]-style classes allowed),
// a backslash takes the next byte as it is, and "**" between slashes (or at either end) matches
// any number of folders.
bool ignorePatternMatches(std::string_view pattern, std::string_view text);

// One such pattern, read once and matched in time that grows with the text times the pattern.
// A pattern with a set left open or a lone backslash at its end matches nothing.
class IgnorePattern {
public:
    explicit IgnorePattern(std::string_view pattern);
    bool matches(std::string_view text) const;

private:
    enum class Kind { set, star, anyFolders, anything };
    struct Token {
        Kind kind = Kind::set;
        std::bitset<256> set; // the bytes a set matches (a plain byte is a set of one)
    };
    void fail();

    std::vector<Token> tokens_;
    bool valid_ = true;
    // Plain bytes, or "*" and plain bytes: matched without the machine.
    bool plain_ = true;
    bool starThenPlain_ = false;
    std::string literal_;
};

// The patterns of one ignore file (".gitignore", ".ignore", ".git/info/exclude"), with git's
// reading of its lines: comments, blank lines, trailing spaces, "!" negation, a trailing slash
// for folders only, and a slash elsewhere anchoring the pattern to the file's folder.
class IgnoreFile {
public:
    // base: the folder the patterns are relative to, as a path from the top ("" for the top).
    IgnoreFile(std::string_view text, std::string base);

    bool empty() const { return patterns_.empty(); }

    // For a path from the top lying below the base: ignored (true), kept by a negation (false),
    // or, when no pattern matches, nothing said (-1).
    int decide(std::string_view path, bool isFolder) const;

private:
    struct Pattern {
        IgnorePattern glob;
        bool negated = false;
        bool folderOnly = false;
        bool anchored = false;
    };
    std::vector<Pattern> patterns_;
    std::string base_;
};

// The ignore files that apply in one folder of a walk: its own, then those of the folders
// above it. Shared, unchanged, between the walk's threads.
class IgnoreRules {
public:
    IgnoreRules(std::shared_ptr<const IgnoreRules> parent, std::vector<IgnoreFile> files)
        : parent_(std::move(parent)), files_(std::move(files)) {}

    // Whether git would ignore the entry at this path from the top: the deepest folder's files
    // decide first, and within a folder the later file and the later pattern.
    bool ignored(std::string_view path, bool isFolder) const;

private:
    std::shared_ptr<const IgnoreRules> parent_;
    std::vector<IgnoreFile> files_; // lowest precedence first
};

} // namespace pathwicks
