#pragma once

#include "model/Listeners.h"
#include "model/Reference.h"

#include <QObject>

#include <vector>

class QLabel;
class QScrollArea;
class QStatusBar;

namespace pathwicks {

class Document;
class DocumentView;

// Reading a walkthrough one stop at a time, in tour order: each stop selects its box, scrolls
// it to the middle of the view, names it in the status bar ("Stop 3 of 9: TITLE") and shows
// its note, as plain text, in a panel over the bottom of the canvas; with
// Open Editor at Each Stop, it also opens the box as a double-click would. Touring changes
// nothing in the document; any edit ends the tour.
class TourMode : public QObject {
    Q_OBJECT
public:
    TourMode(Document& document, DocumentView& view, QStatusBar& statusBar, QObject* parent);
    ~TourMode() override;

    bool isActive() const { return active_; }
    // Whether each stop also opens its box, as a double click would.
    bool opensEditor() const { return opensEditor_; }
    void setOpensEditor(bool opens) { opensEditor_ = opens; }
    void start();
    void next();
    void previous();
    void end();

signals:
    void activeChanged();

protected:
    // Keeps the note's panel at the bottom of the canvas's view as the view is resized.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void show();
    void makeNotePanel();
    void showNote(const std::string& note);
    void placeNote();
    void setActive(bool active);
    // The document may have been edited: then the tour ends.
    void documentChanged();

    Document& document_;
    DocumentView& view_;
    QStatusBar& statusBar_;
    // In the status bar while touring; a passing message (a menu's hint) hides it only for
    // as long as it shows.
    QLabel* stopLabel_ = nullptr;
    // Over the canvas's view, not scrolled with it: the current stop's note.
    QScrollArea* notePanel_ = nullptr;
    QLabel* noteText_ = nullptr;
    std::vector<ReferencePtr> stops_;
    size_t current_ = 0;
    bool active_ = false;
    unsigned long editsAtStart_ = 0;
    bool opensEditor_ = false;
    Listeners<>::Id changeListener_ = 0;
};

} // namespace pathwicks
