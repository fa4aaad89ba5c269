#pragma once

#include "model/Geometry.h"

#include <QMargins>
#include <QRect>
#include <QSize>

#include <optional>

class QWidget;

namespace pathwicks {

// Where a document window stands on the screens: placed from the frame its file asks for
// (fitted to the screens, its decoration included), and the frame a save writes. The frame is
// the window's inside (the menu bar to the status bar, without the window manager's title bar
// and borders), read and written alike. While the window stays where the file's frame put it,
// saving writes the file's frame back unchanged.
class WindowFrame {
public:
    WindowFrame(QWidget& window, std::optional<Rect> fileFrame, QSize least, QSize fallback);

    // Moves and sizes the window before it is shown.
    void place();
    // Once the window manager has decorated the shown window: placed again when the decoration
    // reaches off the screen's usable area; then where the window stands is noted.
    void appeared();
    // The frame a save writes now.
    Rect toSave() const;

private:
    void placeWithin(const QMargins& decoration);
    QMargins knownDecoration() const;
    // Looks for the decoration after `delay` ms, and again while it is not there yet.
    void awaitDecoration(int delay, int looksLeft);

    QWidget& window_;
    std::optional<Rect> asked_;     // the file's frame as read
    std::optional<Rect> fileFrame_; // the file's frame while a save may write it back
    QSize least_;
    QSize fallback_;
    QRect shownFrame_;
};

} // namespace pathwicks
