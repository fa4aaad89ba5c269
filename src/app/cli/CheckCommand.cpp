#include "app/cli/CheckCommand.h"

#include "app/cli/Arguments.h"
#include "goto/MarkerSearch.h"
#include "model/Document.h"
#include "model/PrintableText.h"

#include <ostream>

namespace pathwicks::cli {

namespace {

constexpr const char* usage = "usage: pathwicks check FILE";

// The document's folder as the user named it, so that a message about it names it so too.
std::string folderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The places listed for one id; the rest are counted.
constexpr size_t placesPerId = 100;

} // namespace

int runCheck(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const auto arguments = parseArguments({.command = "check", .usage = usage}, args, err);
    if (!arguments)
        return 2;
    const std::string& path = arguments->files.front();

    const auto loaded = Document::load(path);
    if (auto* error = std::get_if<DocumentFile::LoadError>(&loaded)) {
        err << "pathwicks check: " << error->message << "\n";
        return 2;
    }
    const StepsModel& model = std::get<std::unique_ptr<Document>>(loaded)->model();

    std::vector<ReferencePtr> checked;
    std::vector<std::string> ids;
    for (const auto& reference : model.content()) {
        if (reference->isWebAddress())
            continue;
        checked.push_back(reference);
        ids.push_back(reference->id);
    }

    auto searched = searchMarkers(folderOf(path), ids, {.placesPerId = placesPerId});
    if (auto* error = std::get_if<std::string>(&searched)) {
        err << "pathwicks check: cannot search the document's folder: " << *error << "\n";
        return 2;
    }
    const auto& result = std::get<MarkerSearchResult>(searched);

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
    if (result.unreadable > 0)
        err << "pathwicks check: " << result.unreadable
            << " files or folders below the document's folder could not be read\n";
    out.flush();
    if (!out)
        return 2;
    return problems ? 1 : 0;
}

} // namespace pathwicks::cli
