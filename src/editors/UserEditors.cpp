#include "editors/UserEditors.h"

#include "model/FileIO.h"
#include "model/Reference.h"

#include <nlohmann/json.hpp>

#include <cerrno>
#include <set>
#include <sys/stat.h>

namespace pathwicks {

namespace {

// Options whose value a program reads as commands or keystrokes (a shell's script, Vim's and
// Emacs's commands): a file named there could run anything.
constexpr std::string_view commandOptions[] = {"-c", "--cmd", "--command", "--remote-send",
                                               "--remote-expr", "-e", "--eval", "-eval"};

// Whether the word, after the word before it, is one a program reads as commands.
bool readAsCommands(const std::string& before, const std::string& word) {
    if (word.starts_with('+') || word.starts_with(':'))
        return true; // Vim's +COMMAND, Vim's and Helix's :COMMAND
    for (const std::string_view option : commandOptions) {
        if (before == option)
            return true;
        if (word.starts_with(std::string(option) + "="))
            return true;
    }
    return false;
}

// Why the command puts a file or folder name where a program reads commands; empty when it
// gives them only as words of their own or of a file's argument.
std::string placeholderProblem(const std::vector<std::string>& command) {
    for (size_t i = 1; i < command.size(); ++i) {
        const std::string& word = command[i];
        const bool named = word.find("{file}") != std::string::npos ||
                           word.find("{folder}") != std::string::npos;
        if (named && readAsCommands(command[i - 1], word))
            return "puts a file name inside \"" + word +
                   "\", which a program reads as commands: give {file} and {folder} as "
                   "arguments of their own";
    }
    return {};
}

// Why one entry cannot be used; empty when it can.
std::string entryProblem(const nlohmann::json& entry, UserEditor& editor) {
    if (!entry.is_object())
        return "is not an object";
    const auto name = entry.find("name");
    if (name == entry.end() || !name->is_string() || name->get<std::string>().empty())
        return "has no \"name\" text";
    editor.name = name->get<std::string>();
    if (editor.name == webLinkEditorName)
        return "is named \"" + editor.name + "\", which marks web links";
    const auto command = entry.find("command");
    if (command == entry.end() || !command->is_array())
        return "has no \"command\" list";
    if (command->empty())
        return "has an empty \"command\"";
    for (const auto& word : *command) {
        if (!word.is_string())
            return "has a \"command\" word that is not text";
        editor.command.push_back(word.get<std::string>());
    }
    if (editor.command.front().empty())
        return "has an empty program";
    bool hasFile = false;
    for (size_t i = 1; i < editor.command.size(); ++i)
        hasFile = hasFile || editor.command[i].find("{file}") != std::string::npos;
    if (!hasFile)
        return "has no {file} among its arguments";
    if (std::string problem = placeholderProblem(editor.command); !problem.empty())
        return problem;
    if (const auto terminal = entry.find("terminal"); terminal != entry.end()) {
        if (!terminal->is_boolean())
            return "has a \"terminal\" that is neither true nor false";
        editor.terminal = terminal->get<bool>();
    }
    return {};
}

} // namespace

const UserEditor* UserEditors::find(std::string_view name) const {
    for (const auto& editor : editors)
        if (editor.name == name)
            return &editor;
    return nullptr;
}

std::string userEditorsFile(const EditorEnvironment& environment) {
    std::string config = environment.variable("XDG_CONFIG_HOME");
    // A relative XDG_CONFIG_HOME is ignored, as every desktop program does.
    if (config.empty() || config.front() != '/') {
        if (environment.home.empty())
            return {};
        config = environment.home + "/.config";
    }
    return config + "/pathwicks/editors.json";
}

UserEditors readUserEditors(const EditorEnvironment& environment) {
    const std::string file = userEditorsFile(environment);
    struct stat info;
    if (file.empty() || (::stat(file.c_str(), &info) != 0 && errno == ENOENT))
        return {};
    auto bytes = readFileBytes(file);
    if (auto* error = std::get_if<FileError>(&bytes))
        return {{}, error->message};
    return parseUserEditors(std::get<std::string>(bytes), file);
}

UserEditors parseUserEditors(const std::string& text, const std::string& file) {
    const auto broken = [&](const std::string& why) { return UserEditors{{}, file + ": " + why}; };
    const auto json = nlohmann::json::parse(text, nullptr, false);
    if (json.is_discarded())
        return broken("not JSON");
    if (!json.is_object())
        return broken("not an object holding \"editors\"");
    const auto list = json.find("editors");
    if (list == json.end() || !list->is_array())
        return broken("no \"editors\" list");
    UserEditors result;
    std::set<std::string> names;
    for (size_t i = 0; i < list->size(); ++i) {
        UserEditor editor;
        const std::string problem = entryProblem((*list)[i], editor);
        const std::string which = "editor " + std::to_string(i + 1) +
                                  (editor.name.empty() ? "" : " (" + editor.name + ")");
        if (!problem.empty())
            return broken(which + " " + problem);
        if (!names.insert(editor.name).second)
            return broken(which + " has the name of an earlier one");
        result.editors.push_back(std::move(editor));
    }
    return result;
}

std::vector<std::string> fillPlaceholders(const std::vector<std::string>& command,
                                          const std::string& file, unsigned long long line,
                                          const std::string& folder) {
    std::vector<std::string> words;
    for (const auto& word : command) {
        // One pass per placeholder would replace text that a value brought in; folders and files
        // may well hold braces, so each is replaced only where the user wrote it.
        std::string filled;
        for (size_t i = 0; i < word.size();) {
            if (word.compare(i, 6, "{file}") == 0) {
                filled += file;
                i += 6;
            } else if (word.compare(i, 6, "{line}") == 0) {
                filled += std::to_string(line);
                i += 6;
            } else if (word.compare(i, 8, "{folder}") == 0) {
                filled += folder;
                i += 8;
            } else {
                filled += word[i++];
            }
        }
        words.push_back(std::move(filled));
    }
    return words;
}

} // namespace pathwicks
