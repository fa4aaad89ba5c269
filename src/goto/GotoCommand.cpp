#include "goto/GotoCommand.h"

#include "goto/MarkerSearch.h"
#include "goto/ProcessStart.h"
#include "editors/EditorCatalogue.h"
#include "editors/EditorCommand.h"

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
    const bool print = !args.empty() && args.front() == "--print";
    const std::vector<std::string> operands(args.begin() + (print ? 1 : 0), args.end());
    if (operands.size() != (custom ? 3 : 2)) {
        err << "usage: " << name
            << (custom ? " [--print] FOLDER ID NAME\n" : " [--print] FOLDER ID\n");
        return 2;
    }
    const std::string& id = operands[1];
    if (id.empty()) {
        err << name << ": the id is empty\n";
        return 2;
    }
    const std::string folder = absoluteFolder(operands[0], environment.workingFolder);

    MarkerSearchOptions options;
    options.firstLinePerFile = true;
    auto searched = searchMarkers(folder, {id}, options);
    if (auto* error = std::get_if<std::string>(&searched)) {
        err << name << ": not a readable folder: " << *error << "\n";
        return 2;
    }
    const auto& places = std::get<MarkerSearchResult>(searched).places.front();
    if (places.empty()) {
        err << name << ": no line marked // " << id << " under " << folder << "\n";
        return 1;
    }
    const auto fileOf = [&](const MarkerPlace& place) { return folder + "/" + place.path; };
    const std::string file = fileOf(places.front());
    const uint64_t line = places.front().line;
    for (size_t i = 1; i < places.size(); ++i)
        err << name << ": also marked at " << fileOf(places[i]) << ":" << places[i].line << "\n";

    if (print) {
        out << file << ":" << line << "\n";
        out.flush();
        if (out)
            return 0;
        err << name << ": cannot write " << file << ":" << line << " to standard output\n";
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
        err << file << ":" << line << "\n";
    return 0;
}

} // namespace pathwicks
