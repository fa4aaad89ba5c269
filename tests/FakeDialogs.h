// Answers every question a window asks at once, as the test says, and keeps a line for each
// dialog that would have come up.
#pragma once

#include "app/UserDialogs.h"

#include <algorithm>
#include <string>
#include <vector>

namespace pathwicks::testing {

class FakeDialogs : public UserDialogs {
public:
    UnsavedChanges unsavedChanges = UnsavedChanges::cancel;
    bool saveOverChangedFile = false;
    QString savePath; // empty: the save dialog is cancelled
    bool replace = false;
    bool reload = false; // Reload rather than Keep Mine
    bool saveReadOnlyElsewhere = false;
    QStringList openPaths;
    Recovery recovery = Recovery::later;
    bool confirmed = false; // the answer to every confirm()

    // "restore? NAME in FOLDER at TIME; …",
    // "save changes? NAME", "changed elsewhere: NAME", "moved or deleted: NAME",
    // "reload? NAME",
    // "save where? SUGGESTED", "replace? NAME", "read-only: NAME", "open from? FOLDER",
    // "failure: WHAT\nDETAILS", "told: MESSAGE", "notice: MESSAGE\nDETAILS",
    // "confirm: QUESTION".
    std::vector<std::string> said;

    UnsavedChanges askToSaveChanges(QWidget*, const QString& name) override {
        record("save changes? " + name);
        return unsavedChanges;
    }
    bool askToSaveOverChangedFile(QWidget*, const QString& name, bool removed) override {
        record((removed ? "moved or deleted: " : "changed elsewhere: ") + name);
        return saveOverChangedFile;
    }
    bool askToReloadChangedFile(QWidget*, const QString& name) override {
        record("reload? " + name);
        return reload;
    }
    QString askSavePath(QWidget*, const QString& suggested) override {
        record("save where? " + suggested);
        return savePath;
    }
    bool askToReplace(QWidget*, const QString& name) override {
        record("replace? " + name);
        return replace;
    }
    bool askToSaveReadOnlyElsewhere(QWidget*, const QString& name) override {
        record("read-only: " + name);
        return saveReadOnlyElsewhere;
    }
    QStringList askOpenPaths(QWidget*, const QString& folder) override {
        record("open from? " + folder);
        return openPaths;
    }
    Recovery askToRestore(QWidget*, const std::vector<RecoveredDocument>& documents) override {
        QStringList entries;
        for (const auto& document : documents)
            entries << document.name + " in " + document.folder + " at " + document.time;
        record("restore? " + entries.join("; "));
        return recovery;
    }
    void reportFailure(QWidget*, const QString& what, const QString& details) override {
        record("failure: " + what + "\n" + details);
    }
    void tell(QWidget*, const QString& message) override { record("told: " + message); }
    bool confirm(QWidget*, const QString& question, const QString&) override {
        record("confirm: " + question);
        return confirmed;
    }
    void notify(QWidget*, const QString& message, const QString& details) override {
        record("notice: " + message + "\n" + details);
    }

    // How many dialogs said something that starts with `prefix`.
    long count(const std::string& prefix) const {
        return std::count_if(said.begin(), said.end(),
                             [&](const std::string& s) { return s.starts_with(prefix); });
    }
    // Whether any dialog said `words`.
    bool mentions(const std::string& words) const {
        return std::any_of(said.begin(), said.end(),
                           [&](const std::string& s) { return s.find(words) != std::string::npos; });
    }

private:
    void record(const QString& text) { said.push_back(text.toStdString()); }
};

} // namespace pathwicks::testing
