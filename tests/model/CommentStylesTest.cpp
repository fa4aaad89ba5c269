#include "model/CommentStyles.h"

#include <gtest/gtest.h>

namespace pathwicks {
namespace {

TEST(CommentStyles, ByNameThenByInterpreter) {
    struct Case {
        std::string_view path;
        std::string_view firstLine;
        std::string_view opener; // empty: no style known
    };
    const Case cases[] = {
        {"src/main.c", "", "//"},
        {"lib/Widget.HPP", "", "//"},
        {"tools/build.py", "", "#"},
        {"Makefile", "", "#"},
        {"sub/GNUmakefile", "", "#"},
        {"rules.mk", "", "#"},
        {"CMakeLists.txt", "", "#"},
        {"notes.txt", "", ""},
        {"db/schema.sql", "", "--"},
        {"init.el", "", ";"},
        {"paper.tex", "", "%"},
        {"solver.f90", "", "!"},
        {"page.html", "", "<!--"},
        {"lexer.ml", "", "(*"},
        {"setup.bat", "", "REM"},
        {"bin/tool", "#!/usr/bin/env python3", "#"},
        {"bin/tool", "#!/usr/bin/env -S node --no-warnings", "//"},
        {"bin/tool", "#!/bin/bash -e", "#"},
        {"bin/tool", "#!/usr/bin/shellcheck", ""},
        {"bin/tool", "plain text", ""},
        {"tools/build.py", "#!/usr/bin/env node", "#"},
    };
    for (const auto& c : cases) {
        const auto style = commentStyleFor(c.path, c.firstLine);
        EXPECT_EQ(style ? style->opener : "", c.opener) << c.path << " " << c.firstLine;
    }
}

TEST(CommentStyles, EveryStyleIsOneThePanelOffers) {
    for (const auto& language : languageStyles())
        EXPECT_EQ(markerStyleOf(language.style.opener).closer, language.style.closer)
            << language.language;
}

} // namespace
} // namespace pathwicks
