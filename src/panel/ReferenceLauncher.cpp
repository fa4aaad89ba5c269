#include "panel/ReferenceLauncher.h"

#include "editors/EditorLaunch.h"
#include "panel/GotoTool.h"

namespace pathwicks {

LaunchCommand launchCommand(const Reference& reference, const std::string& documentFolder,
                            const std::string& bundle, const UserEditors& userEditors) {
    if (reference.isWebAddress()) {
        auto address = webAddress(reference);
        if (!address)
            return LaunchRefusal{"“" + reference.title +
                                 "” holds no web address. Write the title as a caption, a comma "
                                 "and the address, such as: Docs,https://example.org"};
        if (!isWebScheme(*address))
            return LaunchRefusal{"“" + *address +
                                 "” is not opened: only web addresses beginning with http:// or "
                                 "https:// are, since other kinds can start programs."};
        return UrlLaunch{*address};
    }
    const EditorChoice editor = chooseEditor(reference.editor, userEditors);
    auto tool = gotoToolPath(editor, bundle);
    if (!tool)
        return LaunchRefusal{"“" + reference.editor + "” is not an editor Pathwicks can open."};
    ProgramLaunch launch{*tool, {documentFolder, reference.id}};
    // custom-goto is told which of the user's editors to open.
    if (editor.opensThroughCustomTool())
        launch.arguments.push_back(editor.name);
    return launch;
}

std::optional<std::string> launchEditor(const Reference& reference,
                                        const std::string& documentFolder,
                                        const std::string& bundle, LaunchHost& host,
                                        const UserEditors& userEditors) {
    const LaunchCommand command = launchCommand(reference, documentFolder, bundle, userEditors);
    if (auto* refusal = std::get_if<LaunchRefusal>(&command))
        return refusal->message;
    if (auto* url = std::get_if<UrlLaunch>(&command))
        return host.openUrl(url->address);
    const auto& launch = std::get<ProgramLaunch>(command);
    if (!host.isExecutable(launch.program))
        return "The tool that opens “" + reference.editor +
               "” references is missing: " + launch.program;
    return host.startProgram(launch.program, launch.arguments);
}

namespace {

constexpr const char* openBoxesInKey = "openBoxesIn";
constexpr const char* myEditorKey = "myEditor";

} // namespace

EditorPreferences editorPreferences(const UserDefaults* defaults) {
    EditorPreferences preferences;
    if (!defaults)
        return preferences;
    if (defaults->stringValue(openBoxesInKey) == std::optional<std::string>("mine"))
        preferences.openIn = OpenBoxesIn::mine;
    preferences.myEditor = defaults->stringValue(myEditorKey).value_or("");
    return preferences;
}

void saveEditorPreferences(UserDefaults& defaults, const EditorPreferences& preferences) {
    defaults.setString(openBoxesInKey,
                       preferences.openIn == OpenBoxesIn::mine ? "mine" : "boxEditor");
    defaults.setString(myEditorKey, preferences.myEditor);
}

BoxOpener::Opened BoxOpener::open(const Reference& reference, const std::string& documentFolder,
                                  const std::string& bundle, LaunchHost& host,
                                  const EditorAvailability& editors,
                                  const EditorPreferences& preferences) {
    const EditorToOpen editor = editorToOpen(reference.editor, preferences, editors);
    Reference opened = reference;
    opened.editor = editor.name;
    Opened result{launchEditor(opened, documentFolder, bundle, host, editors.userEditors()), {}};
    if (editor.standsIn && !told_ && !result.failure) {
        result.notice = standInNotice(reference.editor, editor.name);
        told_ = true;
    }
    return result;
}

namespace {

std::vector<std::string> textLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        if (end > start)
            lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

// A line of the tool's own, "name-goto: words", without the tool's name.
std::string withoutToolName(const std::string& line) {
    const std::string toolEnd = std::string(gotoToolSuffix) + ": ";
    const auto colon = line.find(toolEnd);
    if (colon == std::string::npos || line.find(' ') < colon)
        return line;
    return line.substr(colon + toolEnd.size());
}

// FILE:LINE, written by a tool that opened a file without its line.
std::optional<std::pair<std::string, std::string>> fileAndLine(const std::string& line) {
    const auto colon = line.rfind(':');
    if (line.empty() || line.front() != '/' || colon == std::string::npos ||
        colon + 1 == line.size())
        return std::nullopt;
    const std::string number = line.substr(colon + 1);
    if (number.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    return std::make_pair(line.substr(0, colon), number);
}

} // namespace

std::optional<std::string> toolNotice(const std::string& title, int status,
                                      const std::string& errorText) {
    std::string said;
    for (const auto& line : textLines(errorText)) {
        std::string sentence;
        if (auto place = fileAndLine(line); place && status == 0)
            sentence =
                place->first + " opened at its start: the marker is on line " + place->second + ".";
        else
            sentence = withoutToolName(line) + ".";
        said += (said.empty() ? "" : " ") + sentence;
    }
    const std::string quoted = "“" + title + "”";
    switch (status) {
    case 0:
        if (said.empty())
            return std::nullopt;
        return quoted + ": " + said;
    case 1:
        return quoted + " could not be opened: " + said +
               " Copy its marker line into the code, or attach the box to another marker.";
    case 2:
        return quoted + " could not be opened: " + said +
               " Check that the document's folder can still be read.";
    case cannotStartStatus:
        return quoted + " could not be opened: " + said +
               " Choose another editor in the panel, or install this one.";
    default:
        return quoted + " could not be opened: its goto tool stopped unexpectedly." +
               (said.empty() ? "" : " " + said);
    }
}

} // namespace pathwicks
