#pragma once

#include "model/Listeners.h"
#include "model/MarkerStates.h"

#include <QObject>
#include <QStringList>

#include <optional>
#include <string>
#include <vector>

class QLabel;
class QTimer;
class QStatusBar;

namespace pathwicks {

class Document;
class DocumentView;
class WatchedPaths;

// A window's marker check: started when the document opens, when its window becomes active,
// after each save, on View › Check Markers, when the boxes' ids change (after a first answer
// from the remembered places) and when a file holding markers, or its folder, changes on
// disk; run by the shared MarkerCheckQueue; shown as the canvas's marks, the panel's location
// and a summary in the status bar. The states of the last check stay until the next one ends.
class WindowMarkerCheck : public QObject {
    Q_OBJECT
public:
    WindowMarkerCheck(Document& document, DocumentView& view, QStatusBar& statusBar,
                      QObject* parent);
    // A check still running is cancelled.
    ~WindowMarkerCheck() override;

    // Checks the document's folder; a document without a file is not checked, unless asked,
    // which says why.
    void start(bool asked = false);
    void cancel();
    bool isChecking() const;

    // View › Next Problem: selects the next missing or duplicated box in reading order and
    // scrolls it into view.
    void selectNextProblem();

    const std::optional<MarkerStates>& states() const { return states_; }
    // A marker the window itself has just placed or removed: the box's places (relative to
    // the document's folder) are these at once, until the next check.
    void notePlaces(const std::string& id, std::vector<MarkerLocation> places);

    // The files and folders watched for edits of the markers.
    QStringList watched() const;

signals:
    // A check ended and its states are shown.
    void finished();

private:
    void show();
    void idsMayHaveChanged();
    void watchMarkedFiles();

    Document& document_;
    DocumentView& view_;
    QLabel* status_ = nullptr; // owned by the status bar
    std::optional<MarkerStates> states_;
    std::vector<std::string> ids_; // the boxes' ids at the last look, sorted
    Listeners<>::Id changeListener_ = 0;
    WatchedPaths* watched_ = nullptr;
    QTimer* again_ = nullptr; // a check soon after a change, once for a burst of them
};

} // namespace pathwicks
