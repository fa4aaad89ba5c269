#pragma once

#include "app/QtTextMeasurer.h"
#include "app/RecoveryOffer.h"
#include "app/UserDialogs.h"

#include <QObject>
#include <QPointer>
#include <QStringList>

#include <nlohmann/json_fwd.hpp>

#include <memory>
#include <optional>
#include <string>
#include <vector>

class QMenu;
class QWidget;

namespace pathwicks {

class Document;
class DocumentWindow;
struct MarkedBoxRequest;
class StartWindow;

// The running program: its document windows, the recently opened documents, and the start
// window shown when no document is open.
class Application : public QObject {
    Q_OBJECT
public:
    Application();
    ~Application() override;

    // Opens each file in a window of its own; false when none could be opened. The paths are
    // the system's bytes, as given on the command line, UTF-8 or not.
    bool openFiles(const std::vector<std::string>& paths);
    // Opens one file, or brings its window forward when it is open already. A file that is no
    // document, or too large for the memory left, is refused with a message, and no window
    // opens for it.
    DocumentWindow* openFile(const QString& path, QWidget* messageParent = nullptr);
    DocumentWindow* openPath(const std::string& path, QWidget* messageParent = nullptr);
    void openWithDialog(QWidget* parent);
    // Shows the document in a window of its own.
    DocumentWindow* showDocument(std::unique_ptr<Document> document);
    void newDocument();
    // The start window: at the start without a document, and again when the last document
    // window closes; closing it with no document open quits.
    void showStartWindow();
    // Closes every window, asking about unsaved changes; stops when the user cancels.
    void quit();
    // From now on SIGTERM and SIGHUP (the session ending) end the program at once, without
    // asking: each window's unsaved work gets a last recovery copy, offered at the next start,
    // the copies' locks are released, and the process ends by the signal.
    void endOnSignals();

    const std::vector<QPointer<DocumentWindow>>& windows() const { return windows_; }

    QStringList recentFiles() const;
    void noteRecentFile(const QString& path);
    void clearRecentFiles();
    // An "Open Recent" menu that keeps itself up to date.
    QMenu* makeRecentMenu(QWidget* parent);
    // The Help menu every document window ends with: About Pathwicks.
    // Where file dialogs start: the folder of the last document opened or saved.
    QString lastFolder() const;

    // Unsaved work kept by a run that ended without saving it: offered at the start, and
    // before a document with such a copy is opened.
    RecoveryOffer& recovery() { return recovery_; }

    const QtTextMeasurer& measurer() const { return measurer_; }

    // What another start of the program asks (app/SingleInstance): to open files, which open
    // once the reply has gone, or to add a marked box to an open document. The reply.
    nlohmann::json answerInstance(const nlohmann::json& request);
    // Adds the box `pathwicks mark --to` asks for to the window's document as one undo step,
    // unsaved, or with dryRun only says whether it could; the reason when it cannot.
    std::optional<std::string> addMarkedBox(DocumentWindow& window, const MarkedBoxRequest& request,
                                            bool dryRun);

    // What the windows ask the user and tell them: message boxes and file dialogs, unless
    // replaced (tests answer at once). The replacement must outlive its use.
    UserDialogs& dialogs() { return dialogs_ ? *dialogs_ : messageBoxes_; }
    void setDialogs(UserDialogs* dialogs) { dialogs_ = dialogs; }

signals:
    void recentFilesChanged();

private:
    DocumentWindow* windowFor(const std::string& path) const;
    [[noreturn]] void endBySignal(int signal);
    void track(DocumentWindow* window);
    // After a document window went: the start window when none is left, unless quitting.
    void documentWindowClosed();

    QtTextMeasurer measurer_;
    MessageBoxDialogs messageBoxes_;
    UserDialogs* dialogs_ = nullptr;
    std::vector<QPointer<DocumentWindow>> windows_;
    QPointer<StartWindow> startWindow_;
    bool quitting_ = false;
    RecoveryOffer recovery_{*this};
};

} // namespace pathwicks
