#pragma once

#include <QString>
#include <QStringList>

#include <vector>

class QWidget;

namespace pathwicks {

// Everything the windows ask the user or tell them, in one place: message boxes and file
// dialogs in the program, a fake that answers at once in the tests. Each dialog is modal to
// `parent`, or to the application when it is null.
class UserDialogs {
public:
    enum class UnsavedChanges { save, discard, cancel };
    enum class Recovery { restore, discard, later };

    // A document whose unsaved work was kept when the program ended without saving it.
    struct RecoveredDocument {
        QString name;
        QString folder; // empty for a document never saved
        QString time; // when the work was last copied, as the user reads times
    };

    virtual ~UserDialogs() = default;

    // The document named `name` has unsaved changes and is about to close.
    virtual UnsavedChanges askToSaveChanges(QWidget* parent, const QString& name) = 0;
    // Another program changed the document's file (or moved or deleted it, when `removed`)
    // since it was read or saved: true to save over that all the same.
    virtual bool askToSaveOverChangedFile(QWidget* parent, const QString& name, bool removed) = 0;
    // Another program changed the document's file while the window has unsaved changes:
    // true to reload it (Reload), false to keep the window's (Keep Mine).
    virtual bool askToReloadChangedFile(QWidget* parent, const QString& name) = 0;
    // Where to save, offering `suggested`; empty when the user cancels.
    virtual QString askSavePath(QWidget* parent, const QString& suggested) = 0;
    // A file named `name` exists already where a save would write: true to replace it.
    virtual bool askToReplace(QWidget* parent, const QString& name) = 0;
    // The document's file is read-only: true to save it elsewhere with Save As.
    virtual bool askToSaveReadOnlyElsewhere(QWidget* parent, const QString& name) = 0;
    // Which documents to open, starting in `folder`; empty when the user cancels.
    virtual QStringList askOpenPaths(QWidget* parent, const QString& folder) = 0;
    // Unsaved work of these documents was kept: restore it, discard it, or ask again later.
    virtual Recovery askToRestore(QWidget* parent,
                                  const std::vector<RecoveredDocument>& documents) = 0;
    // Something the user asked for failed: what failed, then why and what to do about it.
    virtual void reportFailure(QWidget* parent, const QString& what, const QString& details) = 0;
    // Why something asked for did not happen, in one message.
    virtual void tell(QWidget* parent, const QString& message) = 0;
    // Whether to go ahead with something the user may not mean: true when they choose the
    // button named `action` rather than Cancel.
    virtual bool confirm(QWidget* parent, const QString& question, const QString& action) = 0;
    // Something worth knowing, in a notice that does not wait for an answer.
    virtual void notify(QWidget* parent, const QString& message, const QString& details) = 0;
};

// The desktop's message boxes and file dialogs.
class MessageBoxDialogs : public UserDialogs {
public:
    UnsavedChanges askToSaveChanges(QWidget* parent, const QString& name) override;
    bool askToSaveOverChangedFile(QWidget* parent, const QString& name, bool removed) override;
    bool askToReloadChangedFile(QWidget* parent, const QString& name) override;
    QString askSavePath(QWidget* parent, const QString& suggested) override;
    bool askToReplace(QWidget* parent, const QString& name) override;
    bool askToSaveReadOnlyElsewhere(QWidget* parent, const QString& name) override;
    QStringList askOpenPaths(QWidget* parent, const QString& folder) override;
    Recovery askToRestore(QWidget* parent,
                          const std::vector<RecoveredDocument>& documents) override;
    void reportFailure(QWidget* parent, const QString& what, const QString& details) override;
    void tell(QWidget* parent, const QString& message) override;
    bool confirm(QWidget* parent, const QString& question, const QString& action) override;
    void notify(QWidget* parent, const QString& message, const QString& details) override;
};

} // namespace pathwicks
