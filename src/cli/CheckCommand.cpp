#include "cli/CheckCommand.h"

#include "cli/CommandInput.h"
#include "cli/ExportPlan.h"
#include "goto/GotoCache.h"
#include "goto/GotoCommand.h"
#include "goto/MarkerSearch.h"
#include "goto/SmallFile.h"
#include "model/PrintableText.h"

#include <climits>
#include <ostream>
#include <set>

#include <fcntl.h>

#include <unistd.h>

namespace pathwicks::cli {

namespace {

constexpr const char* usage = "usage: pathwicks check [--no-ignore] FILE";

constexpr const char* help =
    "\n\n"
    "Looks for the marker of every box of the document FILE in the files under the document's\n"
    "folder, and lists each box whose marker is missing or found more than once. Exits with 0\n"
    "when every marker is found once, 1 when one is not, 2 when the document or its folder\n"
    "cannot be read.\n"
    "\n"
    "  --no-ignore  search every file, also those git ignores. Without it, what git ignores is\n"
    "               skipped as git skips it (the .gitignore files from the work tree's top\n"
    "               down, .git/info/exclude, and .ignore files): when git ignores the\n"
    "               document's folder itself, or a folder above it, nothing in it is searched\n"
    "               and every marker is missing.\n";

// The document's folder as the user named it, so that a message about it names it so too.
std::string folderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The places listed for one id; the rest are counted.
constexpr size_t placesPerId = 100;

// What check found becomes the goto tools' first guess for the same folder and ids.
void refreshGotoCache(const std::string& folder, const std::vector<std::string>& ids,
                      const MarkerSearchResult& result) {
    char working[PATH_MAX];
    const std::string absolute =
        absoluteFolder(folder, ::getcwd(working, sizeof working) ? working : "");
    std::vector<GotoCache::Place> places;
    for (size_t i = 0; i < ids.size(); ++i)
        if (!result.places[i].empty())
            places.push_back({ids[i], result.places[i].front().path});
    GotoCache(GotoCache::userFile()).remember(absolute, places);
}

// Whether the file at path (below folder) is one that `pathwicks export` wrote: its extension
// is one of export's, and it begins as export's files of that format begin.
bool looksExported(const std::string& folder, const std::string& path) {
    const auto format = exportFormatOf(path);
    if (!format)
        return false;
    const auto text = readSmallFile(AT_FDCWD, (folder + "/" + path).c_str(), 16 << 20);
    if (!text)
        return false;
    const std::string_view head = std::string_view(*text).substr(0, 4096);
    if (const auto* picture = std::get_if<Picture>(&*format))
        return *picture == Picture::svg && head.find("<svg") != std::string_view::npos;
    switch (std::get<WalkthroughFormat>(*format)) {
    case WalkthroughFormat::codeTour:
        return head.find("codetour-schema") != std::string_view::npos;
    case WalkthroughFormat::jsonCanvas:
        return head.find("\"nodes\"") != std::string_view::npos;
    case WalkthroughFormat::markdown:
        return head.starts_with("# ") && text->find("\n1. ") != std::string::npos;
    case WalkthroughFormat::mermaid:
        return head.starts_with("flowchart ");
    case WalkthroughFormat::html: // pages have kept their ids from being markers from the start
        return false;
    }
    return false;
}

// The exported files among the places of duplicated markers, each once, with what to do.
void hintAtExports(const std::string& folder, const MarkerSearchResult& result, std::ostream& out) {
    std::set<std::string> exported;
    for (const auto& places : result.places)
        if (places.size() > 1)
            for (const auto& place : places)
                if (!exported.count(place.path) && looksExported(folder, place.path))
                    exported.insert(place.path);
    for (const auto& path : exported)
        out << "hint: " << printableText(path)
            << " was exported by an older version and repeats the markers; export it again\n";
}

} // namespace

int runCheck(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        out << usage << help;
        out.flush();
        return out ? 0 : 2;
    }
    const auto input = parseAndLoad(
        {.command = "check", .usage = usage, .options = {{.name = "--no-ignore"}}}, args, 2, err);
    if (const int* status = std::get_if<int>(&input))
        return *status;
    const auto& [arguments, document] = std::get<CommandInput>(input);
    const std::string& path = arguments.files.front();
    const StepsModel& model = document->model();

    std::vector<ReferencePtr> checked;
    std::vector<std::string> ids;
    for (const auto& reference : model.content()) {
        if (reference->isWebAddress())
            continue;
        checked.push_back(reference);
        ids.push_back(reference->id);
    }

    MarkerSearchOptions options;
    options.placesPerId = placesPerId;
    options.honourIgnoreFiles = !arguments.has("--no-ignore");
    const std::string folder = folderOf(path);
    auto searched = searchMarkers(folder, ids, options);
    if (auto* error = std::get_if<std::string>(&searched)) {
        err << "pathwicks check: cannot search the document's folder: " << *error << "\n";
        return 2;
    }
    const auto& result = std::get<MarkerSearchResult>(searched);
    refreshGotoCache(folder, ids, result);

    bool problems = false;
    for (size_t i = 0; i < checked.size(); ++i) {
        const auto& places = result.places[i];
        if (places.size() == 1)
            continue;
        problems = true;
        const auto& reference = *checked[i];
        out << (places.empty() ? "missing " : "duplicate ") << printableText(reference.id, true)
            << " " << printableText(reference.title) << "\n";
        for (const auto& place : places)
            out << "  " << printableText(place.path) << ":" << place.line << "\n";
        if (result.found[i] > places.size())
            out << "  and " << result.found[i] - places.size() << " more\n";
    }
    hintAtExports(folder, result, out);
    reportUnreadable(result, folder, "pathwicks check", err);
    out.flush();
    if (!out)
        return 2;
    return problems ? 1 : 0;
}

} // namespace pathwicks::cli
