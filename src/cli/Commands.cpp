#include "cli/Commands.h"

#include "cli/CheckCommand.h"
#include "cli/FormatCommand.h"
#include "cli/MarkCommand.h"

#include <algorithm>
#include <array>
#include <ostream>
#include <string_view>
#include <sys/stat.h>

namespace pathwicks::cli {

const char* const programUsage = "usage: pathwicks [--new-instance] [FILE...]\n"
                                 "       pathwicks check [--no-ignore] FILE\n"
                                 "       pathwicks format [-i] FILE\n"
                                 "       pathwicks mark [--title TEXT] [--editor NAME] [--style LEADER]\n"
                                 "                      [--to DOC] [--after ID] FILE:LINE\n"
                                 "       pathwicks export [--scale N] [--picture] [--grid] [--excerpts]\n"
                                 "                        [--permalinks] [--allow-missing] FILE\n"
                                 "                        OUT.svg|.png|.tour|.canvas|.md|.mmd|.html\n"
                                 "       pathwicks --version | --help";

namespace {

// The options the Qt toolkit takes itself, with one dash or two; the first group takes a value.
constexpr std::array<std::string_view, 12> toolkitOptionsWithValue = {
    "-platform", "-platformpluginpath", "-platformtheme", "-plugin", "-display", "-geometry",
    "-style", "-stylesheet", "-session", "-qwindowgeometry", "-qwindowicon", "-qwindowtitle"};
constexpr std::array<std::string_view, 6> toolkitFlags = {"-reverse", "-nograb", "-dograb",
                                                          "-sync", "-widgetcount", "-testability"};

template <size_t n> bool among(const std::array<std::string_view, n>& names, std::string_view arg) {
    return std::find(names.begin(), names.end(), arg) != names.end();
}

// A word such as a subcommand is: lower-case letters, digits and dashes.
bool looksLikeCommand(const std::string& arg) {
    return !arg.empty() && arg.front() != '-' &&
           std::all_of(arg.begin(), arg.end(), [](char c) {
               return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-';
           });
}

bool exists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

int usageError(std::ostream& err, const std::string& why) {
    err << "pathwicks: " << why << "\n" << programUsage << "\n";
    return 2;
}

} // namespace

std::optional<int> runCommand(const std::vector<std::string>& args, std::ostream& out,
                              std::ostream& err) {
    if (args.empty())
        return std::nullopt;
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (args[0] == "check")
        return runCheck(rest, out, err);
    if (args[0] == "format")
        return runFormat(rest, out, err);
    if (args[0] == "mark")
        return runMark(rest, out, err);
    if (args[0] == "export")
        return std::nullopt;
    if (args[0] == "--help" || args[0] == "-h") {
        out << programUsage << "\n";
        out.flush();
        if (out)
            return 0;
        err << "pathwicks: cannot write to standard output\n";
        return 1;
    }
    if (looksLikeCommand(args[0]) && !exists(args[0]))
        return usageError(err, "no subcommand or file named " + args[0]);
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--")
            break;
        if (arg.size() < 2 || arg[0] != '-' || arg == "--new-instance")
            continue;
        // "-style fusion", "--style=fusion" and the like.
        std::string_view name = std::string_view(arg).substr(arg.starts_with("--") ? 1 : 0);
        const auto equals = name.find('=');
        const bool valueGiven = equals != std::string_view::npos;
        name = name.substr(0, equals);
        if (among(toolkitOptionsWithValue, name))
            i += valueGiven ? 0 : 1;
        else if (valueGiven ? name != "-qmljsdebugger" : !among(toolkitFlags, name))
            return usageError(err, "unknown option " + arg);
    }
    return std::nullopt;
}

} // namespace pathwicks::cli
