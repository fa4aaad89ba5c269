#include "editors/EditorCatalogue.h"

#include "editors/FolderListings.h"

#include "model/Reference.h"

#include <sys/stat.h>
#include <unistd.h>

namespace pathwicks {

namespace {

// Where an editor is usually installed on Linux, besides the distribution's /usr/bin and
// /usr/local/bin, which are tried for every launcher name.
struct Places {
    std::vector<std::string_view> paths = {}; // absolute or "~/": tarballs under /opt, older places
    std::vector<std::string_view> snaps = {}; // commands in /snap/bin
    std::vector<std::string_view> flatpaks = {}; // application ids, whose launchers flatpak exports
    bool toolbox = false; // JetBrains Toolbox scripts, named as the launchers
};

std::vector<std::string> linuxPlaces(const std::vector<std::string_view>& launchers,
                                     const Places& places) {
    std::vector<std::string> result;
    for (auto launcher : launchers) {
        result.push_back("/usr/bin/" + std::string(launcher));
        result.push_back("/usr/local/bin/" + std::string(launcher));
    }
    for (auto path : places.paths)
        result.emplace_back(path);
    for (auto snap : places.snaps)
        result.push_back("/snap/bin/" + std::string(snap));
    for (auto id : places.flatpaks) {
        result.push_back("/var/lib/flatpak/exports/bin/" + std::string(id));
        result.push_back("~/.local/share/flatpak/exports/bin/" + std::string(id));
    }
    if (places.toolbox)
        for (auto launcher : launchers)
            if (!launcher.ends_with(".sh"))
                result.push_back("~/.local/share/JetBrains/Toolbox/scripts/" +
                                 std::string(launcher));
    return result;
}

// An editor with a goto tool. The build reads the keys of the goto tools from this file: every
// editor with a tool is made by a call of entry or jetBrains whose first two arguments are its
// name and its key, both written out as string literals.
Editor entry(std::string_view name, std::string_view key, LineForm lineForm,
             std::vector<std::string_view> launchers, const Places& places,
             EditorKind kind = EditorKind::launcher) {
    Editor editor;
    editor.name = name;
    editor.key = key;
    editor.lineForm = lineForm;
    editor.linuxLocations = linuxPlaces(launchers, places);
    editor.launchers = std::move(launchers);
    editor.kind = kind;
    return editor;
}

Editor onMac(Editor editor, std::string_view installedPath,
             std::vector<std::string_view> locations) {
    editor.macInstalledPath = installedPath;
    editor.macLocations = std::move(locations);
    return editor;
}

Editor macOnly(Editor editor) {
    editor.macOnly = true;
    return editor;
}

Editor inTerminal(Editor editor) {
    editor.terminal = true;
    return editor;
}

Editor jetBrains(std::string_view name, std::string_view key, std::string_view launcher,
                 std::vector<std::string_view> moreLaunchers, const Places& places) {
    Places all = places;
    all.toolbox = true;
    std::vector<std::string_view> launchers{launcher};
    launchers.insert(launchers.end(), moreLaunchers.begin(), moreLaunchers.end());
    return entry(name, key, LineForm::lineOption, launchers, all);
}

std::vector<Editor> makeCatalogue() {
    std::vector<Editor> editors;
    editors.push_back(
        macOnly(onMac(entry("Xcode", "xcode", LineForm::lineOption, {"xed"}, {}), "",
                      {"/usr/bin/xed", "/Applications/Xcode.app/Contents/Developer/usr/bin/xed"})));
    editors.push_back(
        onMac(entry("Android Studio", "androidstudio", LineForm::lineOption,
                    {"studio", "studio.sh", "android-studio"},
                    {{"~/.local/share/JetBrains/Toolbox/scripts/studio",
                      "/opt/android-studio/bin/studio.sh",
                      "/usr/local/android-studio/bin/studio.sh", "~/android-studio/bin/studio.sh"},
                     {"android-studio"},
                     {"com.google.AndroidStudio"}}),
              "/Applications/Android Studio.app/Contents/MacOS/studio",
              {"/Applications/Android Studio.app/Contents/MacOS/studio"}));
    editors.push_back(onMac(
        entry("Atom", "atom", LineForm::fileColon, {"atom"}, {{"/usr/share/atom/atom"}, {"atom"}}),
        "/Applications/Atom.app/Contents/Resources/app/atom.sh",
        {"/usr/local/bin/atom", "/Applications/Atom.app/Contents/Resources/app/atom.sh"}));
    editors.push_back(onMac(
        entry("Sublime", "sublime", LineForm::fileColon, {"subl", "sublime_text"},
              {{"/opt/sublime_text/sublime_text", "~/sublime_text/sublime_text"},
               {"subl"},
               {"com.sublimetext.three"}}),
        "/Applications/Sublime Text.app/Contents/SharedSupport/bin/subl",
        {"/usr/local/bin/subl", "/Applications/Sublime Text.app/Contents/SharedSupport/bin/subl"}));
    editors.push_back(
        onMac(entry("Sublime 2", "sublime2", LineForm::fileColon, {"subl", "sublime_text"},
                    {{"/opt/sublime_text_2/sublime_text", "/opt/Sublime Text 2/sublime_text",
                      "~/Sublime Text 2/sublime_text"}}),
              "/Applications/Sublime Text 2.app/Contents/SharedSupport/bin/subl",
              {"/Applications/Sublime Text 2.app/Contents/SharedSupport/bin/subl",
               "/usr/local/bin/subl"}));
    editors.push_back(
        onMac(jetBrains("WebStorm", "webstorm", "webstorm", {"webstorm.sh"},
                        {{"/opt/webstorm/bin/webstorm.sh", "/opt/WebStorm/bin/webstorm.sh",
                          "~/webstorm/bin/webstorm.sh"},
                         {"webstorm"},
                         {"com.jetbrains.WebStorm"}}),
              "/usr/local/bin/webstorm",
              {"/usr/local/bin/webstorm", "/Applications/WebStorm.app/Contents/MacOS/webstorm"}));
    editors.push_back(
        macOnly(onMac(entry("TextMate", "textmate", LineForm::dashL, {"mate"}, {}),
                      "/Applications/TextMate.app/Contents/Resources/mate",
                      {"/usr/local/bin/mate", "/Applications/TextMate.app/Contents/Resources/mate"})));
    editors.push_back(
        onMac(entry("VS Code", "vscode", LineForm::gotoOption, {"code"},
                    {{"/usr/share/code/bin/code"}, {"code"}, {"com.visualstudio.code"}}),
              "/Applications/Visual Studio Code.app/Contents/Resources/app/out/cli.js",
              {"/usr/local/bin/code",
               "/Applications/Visual Studio Code.app/Contents/Resources/app/bin/code"}));
    editors.push_back(
        entry("VSCodium", "vscodium", LineForm::gotoOption, {"codium"},
              {{"/usr/share/codium/bin/codium"}, {"codium"}, {"com.vscodium.codium"}}));
    editors.push_back(
        entry("Cursor", "cursor", LineForm::gotoOption, {"cursor"},
              {{"/usr/share/cursor/bin/cursor", "/opt/cursor/cursor", "/opt/Cursor/cursor"}}));
    editors.push_back(
        entry("Zed", "zed", LineForm::fileColon, {"zed", "zeditor"},
              {{"~/.local/bin/zed", "~/.local/zed.app/bin/zed"}, {}, {"dev.zed.Zed"}}));
    editors.push_back(jetBrains(
        "IntelliJ IDEA", "intellijidea", "idea", {"idea.sh"},
        {{"/opt/idea/bin/idea.sh", "/opt/intellij-idea/bin/idea.sh",
          "/opt/intellij-idea-community/bin/idea.sh", "/opt/intellij-idea-ultimate/bin/idea.sh"},
         {"intellij-idea-community", "intellij-idea-ultimate"},
         {"com.jetbrains.IntelliJ-IDEA-Community", "com.jetbrains.IntelliJ-IDEA-Ultimate"}}));
    editors.push_back(jetBrains("CLion", "clion", "clion", {"clion.sh"},
                                {{"/opt/clion/bin/clion.sh"}, {"clion"}, {"com.jetbrains.CLion"}}));
    editors.push_back(
        jetBrains("PyCharm", "pycharm", "pycharm", {"pycharm.sh", "pycharm-community"},
                  {{"/opt/pycharm/bin/pycharm.sh", "/opt/pycharm-community/bin/pycharm.sh",
                    "/opt/pycharm-professional/bin/pycharm.sh"},
                   {"pycharm-community", "pycharm-professional"},
                   {"com.jetbrains.PyCharm-Community", "com.jetbrains.PyCharm-Professional"}}));
    editors.push_back(
        jetBrains("GoLand", "goland", "goland", {"goland.sh"},
                  {{"/opt/goland/bin/goland.sh"}, {"goland"}, {"com.jetbrains.GoLand"}}));
    editors.push_back(jetBrains("Rider", "rider", "rider", {"rider.sh"},
                                {{"/opt/rider/bin/rider.sh"}, {"rider"}, {"com.jetbrains.Rider"}}));
    editors.push_back(jetBrains(
        "RustRover", "rustrover", "rustrover", {"rustrover.sh"},
        {{"/opt/rustrover/bin/rustrover.sh"}, {"rustrover"}, {"com.jetbrains.RustRover"}}));
    editors.push_back(jetBrains("PhpStorm", "phpstorm", "phpstorm", {"phpstorm.sh"},
                                {{"/opt/phpstorm/bin/phpstorm.sh", "/opt/PhpStorm/bin/phpstorm.sh"},
                                 {"phpstorm"},
                                 {"com.jetbrains.PhpStorm"}}));
    editors.push_back(
        entry("Kate", "kate", LineForm::lineOption, {"kate"}, {{}, {"kate"}, {"org.kde.kate"}}));
    editors.push_back(entry("gedit", "gedit", LineForm::plusLine, {"gedit"},
                            {{}, {"gedit"}, {"org.gnome.gedit"}}));
    editors.push_back(
        entry("Geany", "geany", LineForm::lineOption, {"geany"}, {{}, {}, {"org.geany.Geany"}}));
    editors.push_back(entry("Qt Creator", "qtcreator", LineForm::clientOption, {"qtcreator"},
                            {{"/opt/Qt/Tools/QtCreator/bin/qtcreator",
                              "~/Qt/Tools/QtCreator/bin/qtcreator", "/opt/qtcreator/bin/qtcreator"},
                             {},
                             {"io.qt.QtCreator"}}));
    editors.push_back(entry("Emacs", "emacs", LineForm::plusLine, {"emacs"},
                            {{}, {"emacs"}, {"org.gnu.emacs"}}, EditorKind::emacs));
    editors.push_back(inTerminal(entry("Vim", "vim", LineForm::plusLine, {"vim"}, {})));
    editors.push_back(inTerminal(entry(
        "Neovim", "neovim", LineForm::plusLine, {"nvim"},
        {{"/opt/nvim-linux64/bin/nvim", "/opt/nvim/bin/nvim"}, {"nvim"}, {"io.neovim.nvim"}})));
    editors.push_back(inTerminal(entry("Helix", "helix", LineForm::fileColon, {"hx", "helix"},
                                       {{}, {}, {"com.helix_editor.Helix"}})));
    editors.push_back(inTerminal(entry("Terminal Editor", "terminaleditor", LineForm::plusLine, {},
                                       {}, EditorKind::environment)));
    editors.push_back(
        entry("System Default", "systemdefault", LineForm::fileOnly, {"xdg-open"}, {}));

    Editor webLink;
    webLink.name = webLinkEditorName;
    webLink.key = "safari";
    webLink.hasGotoTool = false;
    webLink.kind = EditorKind::webLink;
    editors.push_back(webLink);
    return editors;
}

} // namespace

bool isExecutableFile(const std::string& path) {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           ::access(path.c_str(), X_OK) == 0;
}

namespace {

// Whether the path names an executable file; its folder's names are looked at first, where a
// search keeps them (FolderListings).
bool isListedExecutable(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash != std::string::npos &&
        !FolderListings::mayHold(slash == 0 ? std::string("/") : path.substr(0, slash),
                                 std::string_view(path).substr(slash + 1)))
        return false;
    return isExecutableFile(path);
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
            if (isListedExecutable(candidate))
                return candidate;
        }
        start = end + 1;
    }
    return std::nullopt;
}

std::vector<std::string> gotoToolKeys() {
    std::vector<std::string> keys;
    for (const auto& editor : editorCatalogue())
        if (editor.hasGotoTool)
            keys.emplace_back(editor.key);
    return keys;
}

std::optional<std::string> findLauncher(const Editor& editor, std::string_view pathList,
                                        std::string_view homeFolder, std::string_view root) {
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
            path = std::string(root) + std::string(location);
        }
        if (isListedExecutable(path))
            return path;
    }
    return std::nullopt;
}

std::vector<std::string> editorArguments(const Editor& editor, const std::string& file,
                                         unsigned long long line) {
    const std::string lineText = std::to_string(line);
    // FILE:LINE:1 rather than FILE:LINE: these editors read a line and a column off the end,
    // so a file named "settings.py:1" is not taken for "settings.py" at some line.
    const std::string fileLineColumn = file + ":" + lineText + ":1";
    switch (editor.lineForm) {
    case LineForm::gotoOption:
        return {"--goto", fileLineColumn};
    case LineForm::fileColon:
        return {fileLineColumn};
    case LineForm::lineOption:
        return {"--line", lineText, file};
    case LineForm::dashL:
        return {"-l", lineText, file};
    case LineForm::plusLine:
        return {"+" + lineText, file};
    case LineForm::clientOption:
        return {"-client", fileLineColumn};
    case LineForm::fileOnly:
        return {file};
    }
    return {file};
}

} // namespace pathwicks
