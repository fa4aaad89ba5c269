#include "cli/MarkCommand.h"

#include "cli/Arguments.h"
#include "cli/InstanceChannel.h"
#include "editors/EditorAvailability.h"
#include "model/Document.h"
#include "model/FileIO.h"
#include "model/MarkedBox.h"
#include "model/MarkerInsertion.h"
#include "model/Uuid.h"

#include <nlohmann/json.hpp>

#include <climits>
#include <cstdlib>
#include <fstream>
#include <ostream>
#include <unistd.h>

namespace pathwicks::cli {

namespace {

constexpr const char* usage = "usage: pathwicks mark [--title TEXT] [--editor NAME] [--style LEADER]\n"
                              "                      [--to DOC] [--after ID] FILE:LINE";
constexpr const char* prefix = "pathwicks mark: ";

struct Place {
    std::string file;
    size_t line = 0;
};

// "FILE:LINE", split at the last colon; nothing when LINE is no positive number.
std::optional<Place> placeOf(const std::string& text) {
    const size_t colon = text.rfind(':');
    if (colon == std::string::npos || colon == 0 || colon + 1 == text.size() ||
        text.size() - colon > 10 ||
        text.find_first_not_of("0123456789", colon + 1) != std::string::npos)
        return std::nullopt;
    const size_t line = std::stoul(text.substr(colon + 1));
    if (line == 0)
        return std::nullopt;
    return Place{text.substr(0, colon), line};
}

std::optional<std::string> styleRefusal(const std::string& leader) {
    for (const auto& style : markerStyles())
        if (style.opener == leader)
            return std::nullopt;
    std::string known;
    for (const auto& style : markerStyles())
        known += (known.empty() ? "" : " ") + std::string(style.opener);
    return "unknown comment style " + leader + " (known: " + known + ")";
}

const Syntax& markSyntax() {
    static const Syntax syntax{
        .command = "mark",
        .usage = usage,
        .options = {{"--title", "--title needs a text"},
                    {"--editor", "--editor needs an editor's name"},
                    {"--style", "--style needs a comment leader", styleRefusal},
                    {"--to", "--to needs a document"},
                    {"--after", "--after needs a box's id"}},
        .accepts = [](const Arguments& arguments, std::ostream& err) {
            if (!placeOf(arguments.files.front())) {
                err << prefix << "give the place as FILE:LINE, LINE from 1\n" << usage << "\n";
                return false;
            }
            if (arguments.has("--after") && !arguments.has("--to")) {
                err << prefix << "--after needs --to\n" << usage << "\n";
                return false;
            }
            return true;
        }};
    return syntax;
}

std::string absolutePath(const std::string& path) {
    if (path.starts_with('/'))
        return path;
    char working[PATH_MAX];
    return std::string(::getcwd(working, sizeof working) ? working : ".") + "/" + path;
}

// A QSettings value as the window writes a plain one: quoted when it holds separators.
std::optional<std::string> settingsValue(std::string value) {
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
        value = value.substr(1, value.size() - 2);
    if (value.empty() || value.find('\\') != std::string::npos)
        return std::nullopt;
    return value;
}

std::string chosenEditor(const Arguments& arguments) {
    if (auto editor = arguments.value("--editor"))
        return *editor;
    EditorAvailability editors;
    editors.detectEditors(EditorEnvironment::ofThisProcess());
    return editors.newReferenceEditor(lastChosenEditor());
}

} // namespace

std::optional<std::string> lastChosenEditor() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    std::string folder = config && *config == '/' ? config : std::string(home ? home : "") + "/.config";
    std::ifstream settings(folder + "/Pathwicks/Pathwicks.conf");
    std::string line;
    bool general = false;
    while (std::getline(settings, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.starts_with('['))
            general = line == "[General]";
        else if (general && line.starts_with("lastSetEditor="))
            return settingsValue(line.substr(line.find('=') + 1));
    }
    return std::nullopt;
}

namespace {

// What the running instance said of a mark request: nothing when none listens.
struct WindowAnswer {
    bool open = false;
    std::string error;
};

std::optional<WindowAnswer> askWindow(const MarkedBoxRequest& request, bool dryRun) {
    nlohmann::json json = toJson(request);
    if (dryRun)
        json["dryRun"] = true;
    const auto reply = askInstance(
        nlohmann::json{{"mark", json}}.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace));
    if (!reply)
        return std::nullopt;
    const auto parsed = nlohmann::json::parse(*reply, nullptr, false);
    if (!parsed.is_object())
        return std::nullopt;
    WindowAnswer answer;
    answer.open = parsed.value("open", false);
    answer.error = parsed.value("error", std::string());
    return answer;
}

// The document a box is added to on disk: as read, or new when there is no file yet. The
// reason, when it cannot be read or written or has no box the arrow is to come from.
std::variant<std::unique_ptr<Document>, std::string> documentFor(const std::string& path,
                                                                 const MarkedBoxRequest& request) {
    std::unique_ptr<Document> document;
    if (::access(path.c_str(), F_OK) != 0 && errno == ENOENT) {
        document = std::make_unique<Document>();
    } else {
        auto loaded = Document::load(path);
        if (auto* error = std::get_if<DocumentFile::LoadError>(&loaded))
            return error->message;
        document = std::move(std::get<std::unique_ptr<Document>>(loaded));
        if (isReadOnly(path))
            return path + ": is read-only; not changed";
    }
    if (request.after) {
        const auto made = makeMarkedBox(document->model(), request, EstimatingMeasurer());
        if (auto* why = std::get_if<std::string>(&made))
            return path + ": " + *why;
    }
    return document;
}

std::optional<std::string> addToFile(Document& document, const std::string& path,
                                     const MarkedBoxRequest& request) {
    auto made = makeMarkedBox(document.model(), request, EstimatingMeasurer());
    if (auto* why = std::get_if<std::string>(&made))
        return path + ": " + *why;
    const auto& box = std::get<MarkedBox>(made);
    document.model().appendReference(box.box);
    if (box.from)
        document.model().arrows.emplace_back(box.from, box.box);
    return document.save(path, document.savedFrame().value_or(Rect{}));
}

// Adds the box in the window that has the document open, else to the file.
int addBox(const MarkedBoxRequest& request, const std::string& path,
           std::unique_ptr<Document> document, std::ostream& err) {
    if (!document) {
        if (const auto window = askWindow(request, false); window && window->open) {
            if (window->error.empty())
                return 0;
            err << prefix << path << ": " << window->error << "\n";
            return 1;
        }
        auto prepared = documentFor(path, request);
        if (auto* why = std::get_if<std::string>(&prepared)) {
            err << prefix << *why << "\n";
            return 1;
        }
        document = std::move(std::get<std::unique_ptr<Document>>(prepared));
    }
    if (auto why = addToFile(*document, path, request)) {
        err << prefix << *why << "\n";
        return 1;
    }
    return 0;
}

} // namespace

int runMark(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const auto arguments = parseArguments(markSyntax(), args, err);
    if (!arguments)
        return 2;
    const Place place = *placeOf(arguments->files.front());
    const auto docArg = arguments->value("--to");
    MarkedBoxRequest request{docArg ? absolutePath(*docArg) : "", Reference::generateId(),
                             "", docArg ? chosenEditor(*arguments) : "",
                             arguments->value("--after")};
    // Whatever would refuse the box refuses the marker too, before anything is written.
    std::optional<WindowAnswer> window;
    std::unique_ptr<Document> document;
    if (docArg) {
        window = askWindow(request, true);
        if (window && window->open && !window->error.empty()) {
            err << prefix << *docArg << ": " << window->error << "\n";
            return 1;
        }
        if (!window || !window->open) {
            auto prepared = documentFor(*docArg, request);
            if (auto* why = std::get_if<std::string>(&prepared)) {
                err << prefix << *why << "\n";
                return 1;
            }
            document = std::move(std::get<std::unique_ptr<Document>>(prepared));
        }
    }
    const auto style = arguments->value("--style");
    auto placed = placeMarker(place.file, place.line, request.id, arguments->value("--title"),
                              style ? std::optional(markerStyleOf(*style)) : std::nullopt);
    if (auto* why = std::get_if<std::string>(&placed)) {
        err << prefix << *why << "\n";
        return 1;
    }
    out << request.id << "\n";
    out.flush();
    if (!docArg)
        return out ? 0 : 1;
    request.title = std::get<PlacedMarker>(placed).title;
    return addBox(request, *docArg, std::move(document), err);
}

} // namespace pathwicks::cli
