#include "app/WindowFrame.h"

#include "app/FramePlacement.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include <cmath>

namespace pathwicks {

namespace {

QRect toQRect(const Rect& r) {
    auto whole = [](double v) { return int(std::lround(v)); };
    return QRect(whole(r.x), whole(r.y), whole(r.width), whole(r.height));
}

Rect toRect(const QRect& r) {
    return Rect{double(r.x()), double(r.y()), double(r.width()), double(r.height())};
}

std::vector<ScreenArea> screenAreas() {
    std::vector<ScreenArea> areas;
    QScreen* primary = QGuiApplication::primaryScreen();
    if (primary)
        areas.push_back({toRect(primary->geometry()), toRect(primary->availableGeometry())});
    for (QScreen* screen : QGuiApplication::screens()) {
        if (screen != primary)
            areas.push_back({toRect(screen->geometry()), toRect(screen->availableGeometry())});
    }
    return areas;
}

} // namespace

WindowFrame::WindowFrame(QWidget& window, std::optional<Rect> fileFrame, QSize least,
                         QSize fallback)
    : window_(window), asked_(fileFrame), fileFrame_(fileFrame), least_(least),
      fallback_(fallback) {}

void WindowFrame::place() {
    placeWithin(knownDecoration());
}

void WindowFrame::placeWithin(const QMargins& decoration) {
    const Decoration around{double(decoration.left()), double(decoration.top()),
                            double(decoration.right()), double(decoration.bottom())};
    const Rect placed =
        placeFrame(asked_, screenAreas(), Size{double(least_.width()), double(least_.height())},
                   Size{double(fallback_.width()), double(fallback_.height())}, around);
    if (asked_ && toQRect(placed) != toQRect(*asked_))
        fileFrame_.reset(); // the file's frame was not usable as it stood: save what is shown
    // The frame is the window's inside, saved and restored alike, so that a window manager's
    // decoration never creeps into the file.
    window_.setGeometry(toQRect(placed));
    shownFrame_ = window_.geometry();
}

QMargins WindowFrame::knownDecoration() const {
    // Before the window is decorated, another decorated window tells what the decoration
    // will be.
    for (QWidget* other : QApplication::topLevelWidgets()) {
        if (other == &window_ || !other->isVisible() || !other->isWindow())
            continue;
        const QRect outer = other->frameGeometry();
        const QRect inner = other->geometry();
        if (outer != inner)
            return QMargins(inner.left() - outer.left(), inner.top() - outer.top(),
                            outer.right() - inner.right(), outer.bottom() - inner.bottom());
    }
    const QRect outer = window_.frameGeometry();
    const QRect inner = window_.geometry();
    return QMargins(inner.left() - outer.left(), inner.top() - outer.top(),
                    outer.right() - inner.right(), outer.bottom() - inner.bottom());
}

void WindowFrame::appeared() {
    // Window managers decorate a window some time after it is shown: it is looked for over a
    // second at most, and given up on when the user has moved or resized the window meanwhile.
    awaitDecoration(0, 20);
}

void WindowFrame::awaitDecoration(int delay, int looksLeft) {
    QTimer::singleShot(delay, &window_, [this, looksLeft] {
        const QMargins decoration = knownDecoration();
        const bool untouched = window_.geometry() == shownFrame_;
        if (decoration.isNull() && untouched && looksLeft > 1) {
            awaitDecoration(50, looksLeft - 1);
            return;
        }
        // Once decorated: a window whose decoration reaches off the usable area is placed
        // again with it; then where the window stands is noted.
        if (!decoration.isNull() && untouched)
            placeWithin(decoration);
        QTimer::singleShot(0, &window_, [this] { shownFrame_ = window_.geometry(); });
    });
}

Rect WindowFrame::toSave() const {
    if (fileFrame_ && window_.geometry() == shownFrame_)
        return *fileFrame_;
    Rect frame = toRect(window_.geometry());
    // Wayland places windows itself and tells no one where: the file's position stays.
    if (fileFrame_ && QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
        frame.x = fileFrame_->x;
        frame.y = fileFrame_->y;
    }
    return frame;
}

} // namespace pathwicks
