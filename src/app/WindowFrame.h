#pragma once

#include "model/Geometry.h"

#include <QRect>
#include <QSize>

#include <optional>

class QWidget;

namespace pathwicks {

// Where a document window stands on the screens: placed from the frame its file asks for
// (fitted to the screens), and the frame a save writes. While the window stays where the
// file's frame put it, saving writes the file's frame back unchanged.
class WindowFrame {
public:
    WindowFrame(QWidget& window, std::optional<Rect> fileFrame, QSize least, QSize fallback);

    // Moves and sizes the window before it is shown.
    void place();
    // Once the window manager has decorated the shown window: the file's frame is the outer
    // one, so the decoration comes off the inside; then where the window stands is noted.
    void appeared();
    // The frame a save writes now.
    Rect toSave() const;

private:
    QWidget& window_;
    std::optional<Rect> fileFrame_;
    QSize least_;
    QSize fallback_;
    QRect shownFrame_;
};

} // namespace pathwicks
