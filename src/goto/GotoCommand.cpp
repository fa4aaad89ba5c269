#include "goto/GotoCommand.h"

#include "goto/MarkerSearch.h"
#include "goto/ProcessStart.h"
#include "editors/EditorCatalogue.h"
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

// Without the editor's own launcher the file at least opens; the line is left to the user.
std::optional<std::string> startFallback(const std::string& file,
                                         const GotoEnvironment& environment) {
#ifdef __APPLE__
    const std::optional<std::string> opener = std::string("/usr/bin/open");
#else
    const auto opener = findOnPath("xdg-open", environment.path);
#endif
    if (!opener)
        return "no xdg-open";
    return startProgram(*opener, {file});
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
    const Editor* editor = editorOfProgram(name);
    if (!editor) {
        err << name
            << ": no editor goes by this program name; run it as one of the <key>-goto "
               "tools\n";
        return 2;
    }
    const bool print = !args.empty() && args.front() == "--print";
    const std::vector<std::string> operands(args.begin() + (print ? 1 : 0), args.end());
    if (operands.size() != 2) {
        err << "usage: " << name << " [--print] FOLDER ID\n";
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
        err << name << ": no line marked // " << printableText(id, true) << " under "
            << printableText(folder) << "\n";
        return 1;
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

    std::string failure;
    if (auto launcher = findLauncher(*editor, environment.path, environment.home)) {
        auto error = startProgram(*launcher, editorArguments(*editor, file, line));
        if (!error)
            return 0;
        failure = *error;
    } else {
        failure = "no " + std::string(editor->name) + " launcher found";
    }
    if (auto error = startFallback(file, environment)) {
        err << name << ": " << failure << ", and " << *error << " to open " << printableText(file) << ":" << line
            << "\n";
        return 3;
    }
    err << printableText(file) << ":" << line << "\n";
    return 0;
}

} // namespace pathwicks
