#include "model/CommentStyles.h"

#include <algorithm>
#include <cctype>

namespace pathwicks {

namespace {

constexpr MarkerStyle slashes{"//", ""};
constexpr MarkerStyle hash{"#", ""};
constexpr MarkerStyle dashes{"--", ""};
constexpr MarkerStyle semicolon{";", ""};
constexpr MarkerStyle percent{"%", ""};
constexpr MarkerStyle bang{"!", ""};
constexpr MarkerStyle angle{"<!--", "-->"};
constexpr MarkerStyle paren{"(*", "*)"};
constexpr MarkerStyle rem{"REM", ""};

// Interpreters named on a "#!" line, and their comment.
struct Interpreter {
    std::string_view name;
    MarkerStyle style;
};
constexpr Interpreter interpreters[] = {
    {"python", hash}, {"sh", hash},    {"bash", hash}, {"zsh", hash},  {"fish", hash},
    {"dash", hash},   {"ksh", hash},   {"perl", hash}, {"ruby", hash}, {"node", slashes},
    {"Rscript", hash}, {"tclsh", hash}, {"lua", dashes}, {"pwsh", hash},
};

std::string lowered(std::string_view text) {
    std::string low(text);
    std::transform(low.begin(), low.end(), low.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return low;
}

std::string_view baseName(std::string_view path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

bool covers(std::string_view pattern, std::string_view name) {
    if (!pattern.starts_with("*."))
        return pattern == name;
    const std::string suffix = lowered(pattern.substr(1));
    return name.size() > suffix.size() && lowered(name).ends_with(suffix);
}

// "#!/usr/bin/env -S python3 -u" names python3; "#!/bin/sh" names sh.
std::string_view interpreterOf(std::string_view firstLine) {
    if (!firstLine.starts_with("#!"))
        return {};
    std::string_view rest = firstLine.substr(2);
    auto nextWord = [&rest]() {
        const size_t start = rest.find_first_not_of(" \t");
        if (start == std::string_view::npos)
            return std::string_view{};
        rest.remove_prefix(start);
        const size_t end = std::min(rest.find_first_of(" \t\r\n"), rest.size());
        const std::string_view word = rest.substr(0, end);
        rest.remove_prefix(end);
        return word;
    };
    std::string_view program = baseName(nextWord());
    if (program == "env") {
        do
            program = nextWord();
        while (program.starts_with("-") || program.find('=') != std::string_view::npos);
        program = baseName(program);
    }
    return program;
}

} // namespace

const std::vector<LanguageStyle>& languageStyles() {
    static const std::vector<LanguageStyle> table = {
        {"C", {"*.c", "*.h"}, slashes},
        {"C++", {"*.cc", "*.cpp", "*.cxx", "*.c++", "*.hh", "*.hpp", "*.hxx", "*.ipp", "*.tpp", "*.inl"}, slashes},
        {"Objective-C", {"*.m", "*.mm"}, slashes},
        {"Java", {"*.java"}, slashes},
        {"Kotlin", {"*.kt", "*.kts"}, slashes},
        {"Scala", {"*.scala", "*.sc"}, slashes},
        {"Swift", {"*.swift"}, slashes},
        {"Go", {"*.go"}, slashes},
        {"Rust", {"*.rs"}, slashes},
        {"JavaScript", {"*.js", "*.mjs", "*.cjs", "*.jsx"}, slashes},
        {"TypeScript", {"*.ts", "*.tsx", "*.mts", "*.cts"}, slashes},
        {"C#", {"*.cs"}, slashes},
        {"Dart", {"*.dart"}, slashes},
        {"PHP", {"*.php"}, slashes},
        {"Groovy", {"*.groovy", "*.gradle"}, slashes},
        {"Protocol Buffers", {"*.proto"}, slashes},
        {"Zig", {"*.zig"}, slashes},
        {"Python", {"*.py", "*.pyw", "*.pyi"}, hash},
        {"Shell", {"*.sh", "*.bash", "*.zsh", "*.fish", "*.ksh"}, hash},
        {"Ruby", {"*.rb", "*.rake", "Rakefile", "Gemfile"}, hash},
        {"Perl", {"*.pl", "*.pm", "*.t"}, hash},
        {"R", {"*.r"}, hash},
        {"YAML", {"*.yaml", "*.yml"}, hash},
        {"TOML", {"*.toml"}, hash},
        {"CMake", {"CMakeLists.txt", "*.cmake"}, hash},
        {"Makefile", {"Makefile", "makefile", "GNUmakefile", "*.mk"}, hash},
        {"Dockerfile", {"Dockerfile", "Containerfile", "*.dockerfile"}, hash},
        {"Nix", {"*.nix"}, hash},
        {"Elixir", {"*.ex", "*.exs"}, hash},
        {"Julia", {"*.jl"}, hash},
        {"Tcl", {"*.tcl"}, hash},
        {"PowerShell", {"*.ps1", "*.psm1", "*.psd1"}, hash},
        {"SQL", {"*.sql"}, dashes},
        {"Lua", {"*.lua"}, dashes},
        {"Haskell", {"*.hs"}, dashes},
        {"Elm", {"*.elm"}, dashes},
        {"Ada", {"*.adb", "*.ads", "*.ada"}, dashes},
        {"Lisp", {"*.lisp", "*.lsp", "*.cl"}, semicolon},
        {"Emacs Lisp", {"*.el"}, semicolon},
        {"Clojure", {"*.clj", "*.cljs", "*.cljc", "*.edn"}, semicolon},
        {"Scheme", {"*.scm", "*.ss", "*.rkt"}, semicolon},
        {"Assembler", {"*.asm", "*.s"}, semicolon},
        {"INI", {"*.ini"}, semicolon},
        {"TeX", {"*.tex", "*.sty", "*.cls"}, percent},
        {"Erlang", {"*.erl", "*.hrl"}, percent},
        {"Fortran", {"*.f90", "*.f95", "*.f03", "*.f08", "*.f", "*.for"}, bang},
        {"HTML", {"*.html", "*.htm", "*.xhtml"}, angle},
        {"XML", {"*.xml", "*.xsd", "*.xsl", "*.xslt"}, angle},
        {"SVG", {"*.svg"}, angle},
        {"Markdown", {"*.md", "*.markdown"}, angle},
        {"Vue", {"*.vue"}, angle},
        {"OCaml", {"*.ml", "*.mli"}, paren},
        {"Batch", {"*.bat", "*.cmd"}, rem},
    };
    return table;
}

std::optional<MarkerStyle> commentStyleFor(std::string_view path, std::string_view firstLine) {
    const std::string_view name = baseName(path);
    for (const auto& language : languageStyles())
        for (const auto pattern : language.names)
            if (covers(pattern, name))
                return language.style;
    const std::string_view program = interpreterOf(firstLine);
    for (const auto& interpreter : interpreters)
        if (program.starts_with(interpreter.name) &&
            program.find_first_not_of("0123456789.", interpreter.name.size()) ==
                std::string_view::npos)
            return interpreter.style;
    return std::nullopt;
}

} // namespace pathwicks
