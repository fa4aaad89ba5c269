#include "app/WindowFrame.h"

#include "app/FramePlacement.h"

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
    : window_(window), fileFrame_(fileFrame), least_(least), fallback_(fallback) {}

void WindowFrame::place() {
    const Rect placed =
        placeFrame(fileFrame_, screenAreas(), Size{double(least_.width()), double(least_.height())},
                   Size{double(fallback_.width()), double(fallback_.height())});
    if (fileFrame_ && toQRect(placed) != toQRect(*fileFrame_))
        fileFrame_.reset(); // the file's frame was not usable as it stood: save what is shown
    window_.move(toQRect(placed).topLeft());
    window_.resize(toQRect(placed).size());
}

void WindowFrame::appeared() {
    QTimer::singleShot(0, &window_, [this] {
        const QSize decoration = window_.frameGeometry().size() - window_.geometry().size();
        if (fileFrame_ && decoration != QSize(0, 0))
            window_.resize(toQRect(*fileFrame_).size() - decoration);
        QTimer::singleShot(0, &window_, [this] { shownFrame_ = window_.frameGeometry(); });
    });
}

Rect WindowFrame::toSave() const {
    if (fileFrame_ && window_.frameGeometry() == shownFrame_)
        return *fileFrame_;
    Rect frame = toRect(window_.frameGeometry());
    // Wayland places windows itself and tells no one where: the file's position stays.
    if (fileFrame_ && QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
        frame.x = fileFrame_->x;
        frame.y = fileFrame_->y;
    }
    return frame;
}

} // namespace pathwicks
