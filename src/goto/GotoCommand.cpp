#include "goto/GotoCommand.h"

#include "goto/GotoCache.h"
#include "goto/MarkerInFile.h"
#include "goto/MarkerSearch.h"
#include "goto/ProcessStart.h"
#include "editors/EditorCatalogue.h"
#include "editors/EditorCommand.h"
#include "model/PrintableText.h"

#include <ostream>
#include <variant>

namespace pathwicks {

namespace {

constexpr std::string_view toolSuffix = "-goto";

std::string baseName(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

const Editor* editorOfProgram(const std::string& name) {
    if (name.size() <= toolSuffix.size() || !name.ends_with(toolSuffix))
        return nullptr;
    const Editor* editor = findEditorByKey(name.substr(0, name.size() - toolSuffix.size()));
    return editor && editor->hasGotoTool ? editor : nullptr;
}

constexpr std::string_view customTool = "custom-goto";
constexpr int emacsServerSeconds = 5;

EditorEnvironment editorEnvironment(const GotoEnvironment& environment) {
    EditorEnvironment editors;
    editors.path = environment.path;
    editors.home = environment.home;
    editors.variables = environment.variables;
    return editors;
}

// Starts the editor's command lines in turn; a message when none could be started.
std::optional<std::string> startCommand(const OpenCommand& command) {
    if (auto* problem = std::get_if<std::string>(&command))
        return *problem;
    std::string failure;
    for (const CommandLine& commandLine : std::get<std::vector<CommandLine>>(command)) {
        const std::string& program = commandLine.words.front();
        const std::vector<std::string> arguments(commandLine.words.begin() + 1,
                                                 commandLine.words.end());
        if (commandLine.tryFirst) {
            if (runProgram(program, arguments, emacsServerSeconds) == 0)
                return std::nullopt;
            failure = program + " found no server";
            continue;
        }
        return startProgram(program, arguments);
    }
    return failure;
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
    const std::string name = baseName(programName);
    const bool custom = name == customTool;
    const Editor* editor = editorOfProgram(name);
    if (!editor && !custom) {
        err << name
            << ": no editor goes by this program name; run it as one of the <key>-goto "
               "tools\n";
        return 2;
    }
    bool print = false;
    bool honourIgnoreFiles = true;
    size_t first = 0;
    for (; first < args.size() && args[first].starts_with("--"); ++first) {
        if (args[first] == "--") {
            ++first;
            break;
        }
        if (args[first] == "--print")
            print = true;
        else if (args[first] == "--no-ignore")
            honourIgnoreFiles = false;
        else
            break;
    }
    const std::vector<std::string> operands(args.begin() + first, args.end());
    if (operands.size() != (custom ? 3 : 2)) {
        err << "usage: " << name
            << (custom ? " [--print] [--no-ignore] FOLDER ID NAME\n" : " [--print] [--no-ignore] FOLDER ID\n");
        return 2;
    }
    const std::string& id = operands[1];
    if (id.empty()) {
        err << name << ": the id is empty\n";
        return 2;
    }
    const std::string folder = absoluteFolder(operands[0], environment.workingFolder);

    // The file that carried the marker last time is read first; only when it no longer does
    // is the whole tree searched.
    const GotoCache cache(GotoCache::fileFor(environment.cacheHome, environment.home));
    std::vector<MarkerPlace> places;
    if (auto recalled = cache.recall(folder, id))
        if (auto line = findMarkerInFile(folder, *recalled, id, honourIgnoreFiles))
            places.push_back({*recalled, *line});
    if (places.empty()) {
        MarkerSearchOptions options;
        options.firstLinePerFile = true;
        options.honourIgnoreFiles = honourIgnoreFiles;
        auto searched = searchMarkers(folder, {id}, options);
        if (auto* error = std::get_if<std::string>(&searched)) {
            err << name << ": not a readable folder: " << *error << "\n";
            return 2;
        }
        const auto& result = std::get<MarkerSearchResult>(searched);
        reportUnreadable(result, folder, name, err);
        places = result.places.front();
        if (places.empty()) {
            err << name << ": no line marked " << printableText(id, true) << " under "
                << printableText(folder) << "\n";
            return 1;
        }
        cache.remember(folder, {{id, places.front().path}});
    }
    const auto fileOf = [&](const MarkerPlace& place) { return folder + "/" + place.path; };
    const auto shown = [&](const MarkerPlace& place) { return printableText(fileOf(place)); };
    const std::string file = fileOf(places.front());
    const uint64_t line = places.front().line;
    for (size_t i = 1; i < places.size(); ++i)
        err << name << ": also marked at " << shown(places[i]) << ":" << places[i].line << "\n";

    if (print) {
        out << shown(places.front()) << ":" << line << "\n";
        out.flush();
        if (out)
            return 0;
        err << name << ": cannot write " << shown(places.front()) << ":" << line
            << " to standard output\n";
        return 3;
    }

    const EditorEnvironment editors = editorEnvironment(environment);
    const UserEditors userEditors = readUserEditors(editors);
    const OpenPlace place{file, line, folder};
    std::optional<std::string> failure;
    if (custom) {
        const UserEditor* own = userEditors.find(operands[2]);
        if (!userEditors.problem.empty())
            failure = userEditors.problem;
        else if (!own)
            failure = "no editor named “" + operands[2] + "” in " + userEditorsFile(editors);
        else
            failure = startCommand(openCommand(*own, place, editors));
    } else {
        // A broken editors file leaves the catalogue working.
        if (!userEditors.problem.empty())
            err << name << ": " << userEditors.problem << "\n";
        failure = startCommand(openCommand(*editor, place, editors, userEditors));
    }
    if (failure) {
        err << name << ": " << *failure << "\n";
        return 3;
    }
    if (!custom && editor->lineForm == LineForm::fileOnly && !userEditors.find(editor->name))
        err << printableText(file) << ":" << line << "\n";
    return 0;
}

} // namespace pathwicks
