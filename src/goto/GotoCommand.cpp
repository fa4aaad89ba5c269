#include "goto/GotoCommand.h"

#include "goto/GotoCache.h"
#include "goto/MarkerInFile.h"
#include "goto/MarkerSearch.h"
#include "goto/ProcessStart.h"
#include "editors/EditorCatalogue.h"
#include "editors/EditorLaunch.h"
#include "model/PrintableText.h"

#include <optional>
#include <ostream>
#include <variant>

namespace pathwicks {

namespace {

constexpr int emacsServerSeconds = 5;

// What the command line asks for.
struct GotoRequest {
    std::string tool;               // the program's own name, which starts its messages
    const Editor* editor = nullptr; // the catalogue's editor; none for custom-goto
    std::string userEditor;         // custom-goto's NAME
    bool print = false;
    bool honourIgnoreFiles = true;
    std::string folder; // absolute
    std::string id;
};

std::string baseName(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

const Editor* editorOfProgram(const std::string& name) {
    if (name.size() <= gotoToolSuffix.size() || !name.ends_with(gotoToolSuffix))
        return nullptr;
    const Editor* editor = findEditorByKey(name.substr(0, name.size() - gotoToolSuffix.size()));
    return editor && editor->hasGotoTool ? editor : nullptr;
}

// Reads the options into the request; the index of the first operand.
size_t readOptions(const std::vector<std::string>& args, GotoRequest& request) {
    size_t first = 0;
    for (; first < args.size() && args[first].starts_with("--"); ++first) {
        if (args[first] == "--")
            return first + 1;
        if (args[first] == "--print")
            request.print = true;
        else if (args[first] == "--no-ignore")
            request.honourIgnoreFiles = false;
        else
            break;
    }
    return first;
}

// The request, or nothing after saying on err what is wrong with it (exit status 2).
std::optional<GotoRequest> readRequest(const std::string& programName,
                                       const std::vector<std::string>& args, std::ostream& err,
                                       const GotoEnvironment& environment) {
    GotoRequest request;
    request.tool = baseName(programName);
    const bool custom = request.tool == customGotoTool;
    request.editor = editorOfProgram(request.tool);
    if (!request.editor && !custom) {
        err << request.tool
            << ": no editor goes by this program name; run it as one of the <key>-goto "
               "tools\n";
        return std::nullopt;
    }
    const std::vector<std::string> operands(args.begin() + readOptions(args, request), args.end());
    if (operands.size() != (custom ? 3 : 2)) {
        err << "usage: " << request.tool
            << (custom ? " [--print] [--no-ignore] FOLDER ID NAME\n"
                       : " [--print] [--no-ignore] FOLDER ID\n");
        return std::nullopt;
    }
    request.id = operands[1];
    if (request.id.empty()) {
        err << request.tool << ": the id is empty\n";
        return std::nullopt;
    }
    request.folder = absoluteFolder(operands[0], environment.workingFolder);
    if (custom)
        request.userEditor = operands[2];
    return request;
}

// The places of the marker, the first to be opened; or the exit status after saying why there
// are none. The file that carried the marker last time is read first; only when it no longer
// does is the whole tree searched.
std::variant<std::vector<MarkerPlace>, int> findPlaces(const GotoRequest& request,
                                                       std::ostream& err,
                                                       const GotoEnvironment& environment) {
    const GotoCache cache(GotoCache::fileFor(environment.cacheHome, environment.home));
    if (auto recalled = cache.recall(request.folder, request.id))
        if (auto line =
                findMarkerInFile(request.folder, *recalled, request.id, request.honourIgnoreFiles))
            return std::vector<MarkerPlace>{{*recalled, *line}};
    MarkerSearchOptions options;
    options.firstLinePerFile = true;
    options.honourIgnoreFiles = request.honourIgnoreFiles;
    auto searched = searchMarkers(request.folder, {request.id}, options);
    if (auto* error = std::get_if<std::string>(&searched)) {
        err << request.tool << ": not a readable folder: " << *error << "\n";
        return 2;
    }
    const auto& result = std::get<MarkerSearchResult>(searched);
    reportUnreadable(result, request.folder, request.tool, err);
    const std::vector<MarkerPlace>& places = result.places.front();
    if (places.empty()) {
        err << request.tool << ": no line marked " << printableText(request.id, true) << " under "
            << printableText(request.folder) << "\n";
        return 1;
    }
    cache.remember(request.folder, {{request.id, places.front().path}});
    return places;
}

int printPlace(const GotoRequest& request, const OpenPlace& place, std::ostream& out,
               std::ostream& err) {
    const std::string shown = printableText(place.file) + ":" + std::to_string(place.line);
    out << shown << "\n";
    out.flush();
    if (out)
        return 0;
    err << request.tool << ": cannot write " << shown << " to standard output\n";
    return 3;
}

EditorEnvironment editorEnvironment(const GotoEnvironment& environment) {
    EditorEnvironment editors;
    editors.path = environment.path;
    editors.home = environment.home;
    editors.variables = environment.variables;
    return editors;
}

// Starts what the launch says; a message when it cannot be started.
std::optional<std::string> start(const EditorLaunch& launch) {
    if (!launch.runs())
        return launch.why;
    const auto& server = launch.server;
    if (!server.empty() &&
        runProgram(server.front(), {server.begin() + 1, server.end()}, emacsServerSeconds) == 0)
        return std::nullopt;
    const std::vector<std::string> words = launch.words();
    return startProgram(words.front(), {words.begin() + 1, words.end()});
}

int openEditor(const GotoRequest& request, const OpenPlace& place, std::ostream& err,
               const GotoEnvironment& environment) {
    const EditorEnvironment editors = editorEnvironment(environment);
    // A broken editors file leaves the catalogue working, and is named only where it matters:
    // for an editor of the user's own (the window names it once, as it reads the file).
    const UserEditors userEditors = readUserEditors(editors);
    const EditorChoice choice = request.editor
                                    ? chooseEditor(request.editor->name, userEditors)
                                    : chooseUserEditor(request.userEditor, userEditors);
    const EditorLaunch launch = resolveEditor(choice, place, editors);
    if (auto failure = start(launch)) {
        err << request.tool << ": " << *failure << "\n";
        return cannotStartStatus;
    }
    if (!launch.atLine)
        err << printableText(place.file) << ":" << place.line << "\n";
    return 0;
}

} // namespace

void reportUnreadable(const MarkerSearchResult& result, const std::string& folder,
                      const std::string& prefix, std::ostream& err) {
    for (const auto& [path, reason] : result.unreadableExamples)
        err << prefix << ": cannot read "
            << printableText((folder == "/" ? "" : folder) + "/" + path) << ": " << reason << "\n";
    if (result.unreadable > result.unreadableExamples.size())
        err << prefix << ": " << (result.unreadable - result.unreadableExamples.size())
            << (result.unreadableExamples.empty() ? "" : " more")
            << " files or folders could not be read\n";
}

std::string absoluteFolder(const std::string& folder, const std::string& workingFolder) {
    std::string joined = folder;
    if (folder.empty() || folder.front() != '/') {
        if (workingFolder.empty() || workingFolder.front() != '/')
            return folder.empty() ? "." : folder;
        joined = workingFolder + "/" + folder;
    }
    std::string result;
    size_t start = 0;
    while (start <= joined.size()) {
        size_t end = joined.find('/', start);
        if (end == std::string::npos)
            end = joined.size();
        const auto part = std::string_view(joined).substr(start, end - start);
        if (!part.empty() && part != ".") {
            result += '/';
            result += part;
        }
        start = end + 1;
    }
    return result.empty() ? "/" : result;
}

int runGoto(const std::string& programName, const std::vector<std::string>& args, std::ostream& out,
            std::ostream& err, const GotoEnvironment& environment) {
    const auto request = readRequest(programName, args, err, environment);
    if (!request)
        return 2;
    auto found = findPlaces(*request, err, environment);
    if (const int* status = std::get_if<int>(&found))
        return *status;
    const auto& places = std::get<std::vector<MarkerPlace>>(found);
    const auto fileOf = [&](const MarkerPlace& place) { return request->folder + "/" + place.path; };
    for (size_t i = 1; i < places.size(); ++i)
        err << request->tool << ": also marked at " << printableText(fileOf(places[i])) << ":"
            << places[i].line << "\n";
    const OpenPlace place{fileOf(places.front()), places.front().line, request->folder};
    if (request->print)
        return printPlace(*request, place, out, err);
    return openEditor(*request, place, err, environment);
}

} // namespace pathwicks
