#include "goto/IgnoreRules.h"
#include "goto/MarkerSearch.h"

#include "goto/TempTree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <random>
#include <set>

namespace {

using Paths = std::set<std::string>;

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// What git lists as untracked and not ignored in a folder of a work tree, relative to it.
Paths gitListing(const std::string& folder, const std::string& home) {
    const std::string command = "cd '" + folder + "' && HOME='" + home + "' XDG_CONFIG_HOME='" +
                                home + "' GIT_CONFIG_NOSYSTEM=1 git ls-files --others "
                                       "--exclude-standard -z 2>/dev/null";
    Paths paths;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) {
        ADD_FAILURE() << "cannot run git";
        return paths;
    }
    std::string entry;
    for (int c; (c = std::fgetc(pipe)) != EOF;) {
        if (c == '\0') {
            paths.insert(entry);
            entry.clear();
        } else {
            entry += static_cast<char>(c);
        }
    }
    EXPECT_EQ(::pclose(pipe), 0) << "git failed in " << folder;
    return paths;
}

// The files searched: every file holds the marker, the ignore files as a comment.
Paths searched(const std::string& folder, bool honourIgnoreFiles = true) {
    pathwicks::MarkerSearchOptions options;
    options.honourIgnoreFiles = honourIgnoreFiles;
    const auto result = pathwicks::searchMarkers(folder, {"pathwick-ALL"}, options);
    Paths paths;
    if (auto* error = std::get_if<std::string>(&result)) {
        ADD_FAILURE() << *error;
        return paths;
    }
    for (const auto& place : std::get<pathwicks::MarkerSearchResult>(result).places[0])
        paths.insert(place.path);
    return paths;
}

const std::vector<std::string> names = {"a",      "b",        "build",   "src",     "x.c",
                                        "y.h",    "n.txt",    "Doc.md",  "deep",    "#hash.c",
                                        "!bang.c", "sp ace.c", "br[a].c", "star*.c", "trail "};
const std::vector<std::string> folders = {"a", "b", "build", "src", "deep"};

std::string patternFor(std::mt19937& random) {
    const auto pick = [&](const std::vector<std::string>& from) {
        return from[std::uniform_int_distribution<size_t>(0, from.size() - 1)(random)];
    };
    const std::string name = pick({"a", "b", "build", "src", "x.c", "y.h", "n.txt", "deep"});
    const std::string folder = pick(folders);
    const std::vector<std::string> templates = {
        name,
        "/" + name,
        name + "/",
        "*.c",
        "*.h",
        folder + "/" + name,
        "**/" + name,
        folder + "/**",
        folder + "/**/" + name,
        "!" + name,
        "!*.h",
        "!" + folder + "/",
        "?.c",
        "[a-c]*",
        "[!x]*.c",
        "[[:upper:]]*",
        "\\#hash.c",
        "\\!bang.c",
        "sp ace.c",
        "br\\[a\\].c",
        "star\\*.c",
        "trail\\ ",
        name + "   ",
        "**/" + folder + "/*.c",
        folder + "*/",
        "*/" + name,
        "# a comment",
        "",
        "!**/" + name,
        "/" + folder + "/*",
    };
    return pick(templates);
}

void makeTree(const TempTree& tree, std::mt19937& random, const std::string& at, int depth) {
    std::bernoulli_distribution often(0.6), sometimes(0.4);
    for (const auto& name : names) {
        if (!often(random))
            continue;
        const std::string path = at.empty() ? name : at + "/" + name;
        const bool isFolder =
            depth < 3 && std::find(folders.begin(), folders.end(), name) != folders.end();
        if (isFolder)
            makeTree(tree, random, path, depth + 1);
        else
            tree.write(path, "// pathwick-ALL\n");
    }
    for (const char* ignoreFile : {".gitignore", ".ignore"}) {
        // git reads no .ignore files; those of this tree stay empty of patterns.
        if (!sometimes(random))
            continue;
        // Line ends of Windows sometimes; now and then a file over a megabyte.
        const std::string end = sometimes(random) ? "\r\n" : "\n";
        std::string rules = "# pathwick-ALL" + end;
        if (at == "work" && std::bernoulli_distribution(0.2)(random))
            rules += "#" + std::string(1100 * 1024, 'x') + end;
        if (std::string(ignoreFile) == ".gitignore")
            for (int i = std::uniform_int_distribution(1, 4)(random); i > 0; --i)
                rules += patternFor(random) + end;
        tree.write(at.empty() ? ignoreFile : at + "/" + ignoreFile, rules);
    }
}

// The paths only one side has, each marked with the side that has it.
std::vector<std::string> difference(const Paths& searched, const Paths& git) {
    std::vector<std::string> only;
    for (const auto& path : searched)
        if (!git.contains(path))
            only.push_back("searched only: " + path);
    for (const auto& path : git)
        if (!searched.contains(path))
            only.push_back("git only: " + path);
    return only;
}

std::string rulesOf(const TempTree& tree) {
    std::string all;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(tree.path("work")))
        if (entry.path().filename() == ".gitignore" || entry.path().filename() == "exclude")
            all += entry.path().string() + ":\n" + readFile(entry.path().string()).substr(0, 500);
    return all;
}

} // namespace

TEST(IgnoreRules, SearchSkipsWhatGitIgnoresOnGeneratedTrees) {
    for (unsigned seed = 1; seed <= 40; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        TempTree tree, home;
        std::mt19937 random(seed);
        const std::string work = tree.path("work");
        ASSERT_EQ(std::system(("git init -q '" + work + "' 2>/dev/null").c_str()), 0);
        makeTree(tree, random, "work", 0);
        std::string exclude;
        for (int i = std::uniform_int_distribution(0, 2)(random); i > 0; --i)
            exclude += patternFor(random) + "\n";
        tree.write("work/.git/info/exclude", exclude);

        const Paths expected = gitListing(work, home.path());
        EXPECT_EQ(difference(searched(work), expected), std::vector<std::string>{})
            << rulesOf(tree);
        // A folder inside the work tree: the ignore files above it apply as well, and in a
        // folder git ignores, nothing is searched. git lists there what it lists from the top
        // below that folder.
        for (const auto& top : folders) {
            const std::string sub = work + "/" + top;
            if (!std::filesystem::is_directory(sub))
                continue;
            Paths below;
            for (const auto& path : expected)
                if (path.starts_with(top + "/"))
                    below.insert(path.substr(top.size() + 1));
            EXPECT_EQ(difference(searched(sub), below), std::vector<std::string>{})
                << sub << "\n"
                << rulesOf(tree);
        }
    }
}

TEST(IgnoreRules, WithoutIgnoringEverythingIsSearched) {
    TempTree tree;
    tree.write(".gitignore", "*.c\n");
    tree.write("build/.ignore", "*\n");
    tree.write("x.c", "// pathwick-ALL\n");
    tree.write("build/y.h", "// pathwick-ALL\n");
    tree.write("z.h", "// pathwick-ALL\n");
    // Outside a work tree the folder's own .gitignore and .ignore files still apply.
    EXPECT_EQ(searched(tree.path()), (Paths{"z.h"}));
    EXPECT_EQ(searched(tree.path(), false), (Paths{"build/y.h", "x.c", "z.h"}));
}

TEST(IgnoreRules, PatternsFollowGitsWildcards) {
    struct Case {
        const char* pattern;
        std::string text;
        bool matches;
    };
    const std::string as(72, 'a');
    const std::vector<Case> cases = {
        {"a/**/b", "a/b", true},
        {"a/**/b", "a/x/y/b", true},
        {"a/*/b", "a/x/y/b", false},
        {"**/b", "x/y/b", true},
        {"a/**", "a/x/y", true},
        {"a?b", "a/b", false},
        {"[!a-c]x", "dx", true},
        {"[!a-c]x", "bx", false},
        {"\\*x", "*x", true},
        {"\\*x", "ax", false},
        {"[abc", "a", false},
        {"x\\", "x", false},
        // Time grows with the name times the pattern: these take microseconds.
        {"a*a*a*a*a*a*a*a*b", as, false},
        {"a*a*a*a*a*a*a*a*a", as, true},
        {"**/a*a*a*a*a*a*a*b/**", as + "/" + as + "/x", false},
        {"*a*/**/*a*a*a*a*a*a*", as + "/" + as + "/" + as, true},
    };
    for (const auto& [pattern, text, matches] : cases)
        EXPECT_EQ(pathwicks::ignorePatternMatches(pattern, text), matches)
            << pattern << " " << text;
}
