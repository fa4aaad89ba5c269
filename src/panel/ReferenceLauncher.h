#pragma once

#include "canvas/CanvasHost.h"
#include "editors/EditorChoice.h"
#include "editors/UserEditors.h"
#include "model/Reference.h"

#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace pathwicks {

// What the window does for the launches: start a program directly, never through a shell, and
// hand a web address to the desktop.
class LaunchHost {
public:
    virtual ~LaunchHost() = default;
    // A message when the program could not be started.
    virtual std::optional<std::string> startProgram(const std::string& program,
                                                    const std::vector<std::string>& arguments) = 0;
    // A message when the address could not be opened.
    virtual std::optional<std::string> openUrl(const std::string& address) = 0;
    virtual bool isExecutable(const std::string& path) const = 0;
};

struct ProgramLaunch {
    std::string program;
    std::vector<std::string> arguments;
};
struct UrlLaunch {
    std::string address;
};
// Why nothing can be opened, in words for the user.
struct LaunchRefusal {
    std::string message;
};
using LaunchCommand = std::variant<ProgramLaunch, UrlLaunch, LaunchRefusal>;


// How the reference opens: its editor's goto tool in the bundle with the document folder and
// its id, or its web address. An editor of the user's own that is not in the catalogue opens
// through custom-goto, given its name after the id.
LaunchCommand launchCommand(const Reference& reference, const std::string& documentFolder,
                            const std::string& bundle, const UserEditors& userEditors = {});

// Opens the reference; a message for the user when nothing could be opened.
std::optional<std::string> launchEditor(const Reference& reference,
                                        const std::string& documentFolder,
                                        const std::string& bundle, LaunchHost& host,
                                        const UserEditors& userEditors = {});

// The reader's editor preferences as the user defaults hold them: "openBoxesIn" ("mine", or
// the box's editor when installed) and "myEditor" (a name; none for the default).
EditorPreferences editorPreferences(const UserDefaults* defaults);
void saveEditorPreferences(UserDefaults& defaults, const EditorPreferences& preferences);

// Opens one document's boxes in the editor the reader's preferences choose (editorToOpen),
// never changing the box. The first time the reader's editor stands in for a box's editor that
// is not installed, the reader is told, once for the document.
class BoxOpener {
public:
    struct Opened {
        std::optional<std::string> failure; // as launchEditor says
        std::optional<std::string> notice;  // the reader's editor stood in, told the first time
    };
    Opened open(const Reference& reference, const std::string& documentFolder,
                const std::string& bundle, LaunchHost& host, const EditorAvailability& editors,
                const EditorPreferences& preferences);

private:
    bool told_ = false;
};

// What the window tells the user once a goto tool has exited with status (-1: it crashed), given
// what it wrote to its standard error: the tool's words and what to do. Nothing when it opened
// the editor and had nothing to say.
std::optional<std::string> toolNotice(const std::string& title, int status,
                                      const std::string& errorText);

} // namespace pathwicks
