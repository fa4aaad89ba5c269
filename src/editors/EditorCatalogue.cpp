#include "editors/EditorCatalogue.h"

#include "model/Reference.h"

#include <sys/stat.h>
#include <unistd.h>

namespace pathwicks {

namespace {

std::vector<Editor> makeCatalogue() {
    std::vector<Editor> editors;
    editors.push_back({defaultEditorName,
                       "xcode",
                       true,
                       "",
                       LineForm::lineOption,
                       {"xed"},
                       {},
                       {"/usr/bin/xed", "/Applications/Xcode.app/Contents/Developer/usr/bin/xed"}});
    editors.push_back(
        {"Android Studio",
         "androidstudio",
         true,
         "/Applications/Android Studio.app/Contents/MacOS/studio",
         LineForm::lineOption,
         {"studio", "studio.sh", "android-studio"},
         {"~/.local/share/JetBrains/Toolbox/scripts/studio", "/snap/bin/android-studio",
          "/opt/android-studio/bin/studio.sh", "/usr/local/android-studio/bin/studio.sh",
          "~/android-studio/bin/studio.sh"},
         {"/Applications/Android Studio.app/Contents/MacOS/studio"}});
    editors.push_back(
        {"Atom",
         "atom",
         true,
         "/Applications/Atom.app/Contents/Resources/app/atom.sh",
         LineForm::fileColon,
         {"atom"},
         {"/usr/bin/atom", "/usr/local/bin/atom", "/snap/bin/atom", "/usr/share/atom/atom"},
         {"/usr/local/bin/atom", "/Applications/Atom.app/Contents/Resources/app/atom.sh"}});
    editors.push_back({"Sublime",
                       "sublime",
                       true,
                       "/Applications/Sublime Text.app/Contents/SharedSupport/bin/subl",
                       LineForm::fileColon,
                       {"subl", "sublime_text"},
                       {"/usr/bin/subl", "/usr/local/bin/subl", "/snap/bin/subl",
                        "/opt/sublime_text/sublime_text", "~/sublime_text/sublime_text"},
                       {"/usr/local/bin/subl",
                        "/Applications/Sublime Text.app/Contents/SharedSupport/bin/subl"}});
    editors.push_back({"Sublime 2",
                       "sublime2",
                       true,
                       "/Applications/Sublime Text 2.app/Contents/SharedSupport/bin/subl",
                       LineForm::fileColon,
                       {"subl", "sublime_text"},
                       {"/opt/sublime_text_2/sublime_text", "/opt/Sublime Text 2/sublime_text",
                        "~/Sublime Text 2/sublime_text", "/usr/bin/subl", "/usr/local/bin/subl"},
                       {"/Applications/Sublime Text 2.app/Contents/SharedSupport/bin/subl",
                        "/usr/local/bin/subl"}});
    editors.push_back(
        {"WebStorm",
         "webstorm",
         true,
         "/usr/local/bin/webstorm",
         LineForm::lineOption,
         {"webstorm", "webstorm.sh"},
         {"~/.local/share/JetBrains/Toolbox/scripts/webstorm", "/snap/bin/webstorm",
          "/opt/webstorm/bin/webstorm.sh", "/opt/WebStorm/bin/webstorm.sh",
          "~/webstorm/bin/webstorm.sh"},
         {"/usr/local/bin/webstorm", "/Applications/WebStorm.app/Contents/MacOS/webstorm"}});
    editors.push_back(
        {"TextMate",
         "textmate",
         true,
         "/Applications/TextMate.app/Contents/Resources/mate",
         LineForm::dashL,
         {"mate"},
         {},
         {"/usr/local/bin/mate", "/Applications/TextMate.app/Contents/Resources/mate"}});
    editors.push_back(
        {"VS Code",
         "vscode",
         true,
         "/Applications/Visual Studio Code.app/Contents/Resources/app/out/cli.js",
         LineForm::gotoOption,
         {"code"},
         {"/usr/bin/code", "/usr/share/code/bin/code", "/snap/bin/code", "/usr/local/bin/code"},
         {"/usr/local/bin/code",
          "/Applications/Visual Studio Code.app/Contents/Resources/app/bin/code"}});
    editors.push_back({webLinkEditorName, "safari", false, "", LineForm::fileColon, {}, {}, {}});
    return editors;
}

bool isExecutableFile(const std::string& path) {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           ::access(path.c_str(), X_OK) == 0;
}

} // namespace

const std::vector<Editor>& editorCatalogue() {
    static const std::vector<Editor> catalogue = makeCatalogue();
    return catalogue;
}

const Editor* findEditor(std::string_view name) {
    for (const auto& editor : editorCatalogue())
        if (editor.name == name)
            return &editor;
    return nullptr;
}

const Editor* findEditorByKey(std::string_view key) {
    for (const auto& editor : editorCatalogue())
        if (editor.key == key)
            return &editor;
    return nullptr;
}

std::string editorKey(std::string_view name) {
    std::string key;
    key.reserve(name.size());
    for (char c : name) {
        if (c == ' ')
            continue;
        key += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return key;
}

std::optional<std::string> findOnPath(std::string_view program, std::string_view pathList) {
    if (program.empty() || program.find('/') != std::string_view::npos)
        return std::nullopt;
    size_t start = 0;
    while (start <= pathList.size()) {
        size_t end = pathList.find(':', start);
        if (end == std::string_view::npos)
            end = pathList.size();
        // An empty entry means the current folder; a launcher found there is not worth the risk.
        const auto folder = pathList.substr(start, end - start);
        if (!folder.empty() && folder.front() == '/') {
            std::string candidate(folder);
            if (candidate.back() != '/')
                candidate += '/';
            candidate += program;
            if (isExecutableFile(candidate))
                return candidate;
        }
        start = end + 1;
    }
    return std::nullopt;
}

std::optional<std::string> findLauncher(const Editor& editor, std::string_view pathList,
                                        std::string_view homeFolder) {
    for (auto launcher : editor.launchers)
        if (auto found = findOnPath(launcher, pathList))
            return found;
#ifdef __APPLE__
    const auto& locations = editor.macLocations;
#else
    const auto& locations = editor.linuxLocations;
#endif
    for (auto location : locations) {
        std::string path;
        if (location.starts_with("~/")) {
            if (homeFolder.empty() || homeFolder.front() != '/')
                continue;
            path = std::string(homeFolder) + std::string(location.substr(1));
        } else {
            path = std::string(location);
        }
        if (isExecutableFile(path))
            return path;
    }
    return std::nullopt;
}

std::vector<std::string> editorArguments(const Editor& editor, const std::string& file,
                                         unsigned long long line) {
    const std::string lineText = std::to_string(line);
    switch (editor.lineForm) {
    case LineForm::gotoOption:
        return {"--goto", file + ":" + lineText};
    case LineForm::fileColon:
        return {file + ":" + lineText};
    case LineForm::lineOption:
        return {"--line", lineText, file};
    case LineForm::dashL:
        return {"-l", lineText, file};
    }
    return {file};
}

} // namespace pathwicks
