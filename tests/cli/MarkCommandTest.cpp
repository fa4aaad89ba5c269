#include "cli/MarkCommand.h"
#include "model/Document.h"
#include "model/FileIO.h"
#include "CommandTesting.h"
#include "model/MarkerInsertion.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

using pathwicks::cli::runMark;
namespace fs = std::filesystem;

namespace {

Outcome mark(const std::vector<std::string>& args) {
    return runCommand(runMark, args);
}

// "{M}" in a pattern stands for the id and its title.
std::string expand(std::string pattern, const std::string& marked) {
    for (size_t at = pattern.find("{M}"); at != std::string::npos; at = pattern.find("{M}"))
        pattern.replace(at, 3, marked);
    return pattern;
}

class MarkCommand : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "pathwicks-mark-XXXXXX").string();
        folder = mkdtemp(pattern.data());
        // No running instance is found there.
        fs::create_directory(folder / "runtime");
        fs::permissions(folder / "runtime", fs::perms::owner_all);
        ::setenv("XDG_RUNTIME_DIR", (folder / "runtime").c_str(), 1);
    }
    void TearDown() override {
        fs::permissions(folder, fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(folder);
    }
    fs::path folder;
};

} // namespace

// One file of each comment family: the marker goes above the line in the file's own comment.
TEST_F(MarkCommand, WritesTheMarkerInTheFilesCommentStyle) {
    struct Case {
        std::string name, bytes, expected;
    };
    const Case cases[] = {
        {"main.c", "int x;\n", "// {M}\nint x;\n"},
        {"Tool.java", "class A {}\n", "// {M}\nclass A {}\n"},
        {"run.py", "x = 1\n", "# {M}\nx = 1\n"},
        {"Makefile", "all:\n", "# {M}\nall:\n"},
        {"CMakeLists.txt", "project(a)\n", "# {M}\nproject(a)\n"},
        {"q.sql", "select 1;\n", "-- {M}\nselect 1;\n"},
        {"init.el", "(setq a 1)\n", "; {M}\n(setq a 1)\n"},
        {"paper.tex", "\\section{A}\n", "% {M}\n\\section{A}\n"},
        {"calc.f90", "x = 1\n", "! {M}\nx = 1\n"},
        {"page.html", "<p>a</p>\n", "<!-- {M} -->\n<p>a</p>\n"},
        {"eval.ml", "let a = 1\n", "(* {M} *)\nlet a = 1\n"},
        {"build.bat", "echo a\r\n", "REM {M}\r\necho a\r\n"},
        {"serve", "#!/usr/bin/env node\nrun()\n", "#!/usr/bin/env node\n// {M}\nrun()\n"},
        {"deploy", "#!/bin/bash\nrun\n", "#!/bin/bash\n# {M}\nrun\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path file = folder / c.name;
        writeText(file, c.bytes);
        const Outcome run = mark({"--title", "Step", (file.string() + ":1")});
        ASSERT_EQ(run.status, 0) << run.err;
        ASSERT_TRUE(run.out.starts_with("pathwick-")) << run.out;
        const std::string id = run.out.substr(0, run.out.size() - 1);
        EXPECT_EQ(readText(file), expand(c.expected, id + " Step"));
    }
}

// Indentation, line endings and the lines at the top; the title from the marked line.
TEST_F(MarkCommand, KeepsEveryOtherByteOfTheFile) {
    struct Case {
        std::string what, name, bytes, line, expected;
    };
    const Case cases[] = {
        {"CRLF", "a.py", "a\r\n  b\r\n", "2", "a\r\n  # {M}b\r\n  b\r\n"},
        {"tabs", "a.c", "f() {\n\t\tg();\n}\n", "2", "f() {\n\t\t// {M}g();\n\t\tg();\n}\n"},
        {"no final newline", "a.sh", "a\nb", "3", "a\nb\n# {M}a.sh:3"},
        {"appended", "a.sh", "a\n", "2", "a\n# {M}a.sh:2\n"},
        {"shebang", "a.sh", "#!/bin/sh\necho\n", "1", "#!/bin/sh\n# {M}echo\necho\n"},
        {"encoding", "a.py", "#!/usr/bin/python\n# -*- coding: utf-8 -*-\nx\n", "1",
         "#!/usr/bin/python\n# -*- coding: utf-8 -*-\n# {M}x\nx\n"},
        {"XML declaration", "a.xml", "<?xml version=\"1.0\"?>\n<a/>\n", "1",
         "<?xml version=\"1.0\"?>\n<!-- {M}<a/> -->\n<a/>\n"},
    };
    const fs::path working = fs::current_path();
    fs::current_path(folder); // "FILE:LINE" as the user gives it makes the title
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const fs::path file = folder / c.name;
        writeText(file, c.bytes);
        const Outcome run = mark({c.name + ":" + c.line});
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(readText(file), expand(c.expected, run.out.substr(0, run.out.size() - 1) + " "));
    }
    fs::current_path(working);
}

// Each refusal leaves the file as it was.
TEST_F(MarkCommand, RefusesAndLeavesTheFileUntouched) {
    struct Case {
        std::string what, name, bytes;
        std::vector<std::string> options;
        std::string line;
        int status;
        std::string said;
    };
    const Case cases[] = {
        {"read-only", "ro.c", "int a;\n", {}, "1", 1, "is not writable"},
        {"binary", "b.c", std::string("a\0b\n", 4), {}, "1", 1, "binary"},
        {"too large", "big.c", "", {}, "1", 1, "larger than"},
        {"no style", "data.xyz", "a\n", {}, "1", 1, "--style"},
        {"out of range", "r.c", "a\n", {}, "3", 1, "out of range"},
        {"no line", "n.c", "a\n", {}, "", 2, "FILE:LINE"},
        {"line 0", "z.c", "a\n", {}, "0", 2, "FILE:LINE"},
        {"unknown style", "s.c", "a\n", {"--style", "@@"}, "1", 2, "unknown comment style"},
        {"after without to", "t.c", "a\n", {"--after", "X"}, "1", 2, "--after needs --to"},
        {"no box to come after", "u.c", "a\n", {"--to", "new.pathwicks", "--after", "X"}, "1", 1,
         "no box has the id X"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const fs::path file = folder / c.name;
        writeText(file, c.bytes);
        if (c.what == "read-only")
            fs::permissions(file, fs::perms::owner_read | fs::perms::group_read);
        if (c.what == "too large")
            fs::resize_file(file, pathwicks::largestReadableFile + 1);
        auto args = c.options;
        args.push_back(file.string() + (c.line.empty() ? "" : ":" + c.line));
        const Outcome run = mark(args);
        EXPECT_EQ(run.status, c.status);
        EXPECT_NE(run.err.find(c.said), std::string::npos) << run.err;
        EXPECT_TRUE(run.out.empty());
        if (c.what != "too large") {
            EXPECT_EQ(readText(file), c.bytes);
        }
    }
    EXPECT_FALSE(fs::exists(folder / "new.pathwicks"));
    EXPECT_EQ(mark({folder.string() + ":1"}).status, 1); // a folder is no regular file

    // Changed by another program between reading and writing: the other program's bytes stay.
    const fs::path file = folder / "changing.c";
    writeText(file, "int a;\n");
    auto read = pathwicks::readSourceFile(file.string());
    ASSERT_TRUE(std::holds_alternative<pathwicks::SourceFile>(read));
    writeText(file, "int b;\n");
    const auto error = pathwicks::rewriteSourceFile(std::get<pathwicks::SourceFile>(read), "x\n");
    ASSERT_TRUE(error);
    EXPECT_NE(error->find("changed since it was read"), std::string::npos);
    EXPECT_EQ(readText(file), "int b;\n");
}

// --to adds a box titled by the marked line to the document, made when missing, and the arrow
// from --after; the source file keeps its permissions.
TEST_F(MarkCommand, AddsTheBoxToTheDocumentOnDisk) {
    const fs::path source = folder / "main.c";
    writeText(source, "int main() {\n    return 0;\n}\n");
    fs::permissions(source, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    const std::string document = (folder / "walk.pathwicks").string();
    const Outcome first = mark({"--to", document, "--editor", "Vim", source.string() + ":1"});
    ASSERT_EQ(first.status, 0) << first.err;
    const Outcome second = mark({"--to", document, "--title", "The end", "--after",
                                 first.out.substr(0, first.out.size() - 1), source.string() + ":3"});
    ASSERT_EQ(second.status, 0) << second.err;
    EXPECT_EQ(fs::status(source).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

    auto loaded = pathwicks::Document::load(document);
    ASSERT_TRUE(std::holds_alternative<std::unique_ptr<pathwicks::Document>>(loaded));
    const auto& model = std::get<std::unique_ptr<pathwicks::Document>>(loaded)->model();
    ASSERT_EQ(model.content().size(), 2u);
    const auto& one = *model.content()[0];
    const auto& two = *model.content()[1];
    EXPECT_EQ(one.id + "\n", first.out);
    EXPECT_EQ(one.title, "int main() {");
    EXPECT_EQ(one.editor, "Vim");
    EXPECT_EQ(two.title, "The end");
    EXPECT_GE(two.rect.y, one.rect.maxY()); // below the lowest box
    ASSERT_EQ(model.arrows.size(), 1u);
    EXPECT_EQ(model.arrows[0].first->id, one.id);
    EXPECT_EQ(model.arrows[0].second->id, two.id);
}
