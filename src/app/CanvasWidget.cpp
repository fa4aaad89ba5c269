#include "app/CanvasWidget.h"

#include "app/DrawListPainter.h"
#include "app/QtTextMeasurer.h"
#include "appearance/CanvasDrawing.h"
#include "canvas/CanvasFit.h"
#include "canvas/KeyboardSelection.h"
#include "canvas/ResizeGesture.h"
#include "model/ContentSize.h"
#include "model/UndoManager.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPointer>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QToolTip>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <iostream>
#include <optional>

namespace pathwicks {

namespace {

// The physical Control key: Qt names it Meta on macOS.
#ifdef Q_OS_MACOS
constexpr Qt::KeyboardModifier controlModifier = Qt::MetaModifier;
#else
constexpr Qt::KeyboardModifier controlModifier = Qt::ControlModifier;
#endif

// Alt and an arrow key nudge the selection by a point, with Shift by ten.
std::optional<Point> nudgeStep(const QKeyEvent& key) {
    if (!(key.modifiers() & Qt::AltModifier) || (key.modifiers() & Qt::ControlModifier))
        return std::nullopt;
    const double length = key.modifiers() & Qt::ShiftModifier ? 10 : 1;
    switch (key.key()) {
    case Qt::Key_Left:
        return Point{-length, 0};
    case Qt::Key_Right:
        return Point{length, 0};
    case Qt::Key_Up:
        return Point{0, -length};
    case Qt::Key_Down:
        return Point{0, length};
    default:
        return std::nullopt;
    }
}

unsigned modifiersOf(Qt::KeyboardModifiers qt) {
    unsigned modifiers = 0;
    if (qt & Qt::ShiftModifier)
        modifiers |= shiftKey;
    if (qt & controlModifier)
        modifiers |= controlKey;
    if (qt & Qt::AltModifier)
        modifiers |= optionKey;
    return modifiers;
}

// A note this long is cut in a tooltip: the panel shows it whole.
constexpr qsizetype toolTipNoteLength = 1200;
constexpr size_t toolTipPlaces = 3;

// Where the box leads: its web address, or the places of its marker the last check found.
QString placeText(const Reference& box, const MarkerStates* states) {
    if (box.isWebAddress())
        return QString::fromStdString(webAddress(box).value_or(""));
    const auto* places = states ? states->placesOf(box) : nullptr;
    if (!places)
        return {};
    if (places->empty())
        return QObject::tr("Marker not found");
    QStringList lines;
    for (size_t i = 0; i < places->size() && i < toolTipPlaces; ++i)
        lines << QString::fromStdString((*places)[i].path) + ":" +
                     QString::number((*places)[i].line);
    if (places->size() > toolTipPlaces)
        lines << QObject::tr("and %n more", nullptr, int(places->size() - toolTipPlaces));
    return lines.join('\n');
}

// The box's title, note and place as a tooltip. Every part is escaped, so that none is read
// as markup, and shown with its line breaks and spaces as written.
QString boxToolTip(const Reference& box, const MarkerStates* states) {
    const auto block = [](const QString& text, const char* style = "") {
        return QString("<p style=\"white-space:pre-wrap;%1\">").arg(style) +
               text.toHtmlEscaped() + "</p>";
    };
    QString tip = block(QString::fromStdString(box.displayTitle()), "font-weight:bold");
    QString note = QString::fromStdString(box.note);
    if (note.size() > toolTipNoteLength)
        note = note.left(toolTipNoteLength) + "…";
    if (!note.trimmed().isEmpty())
        tip += block(note);
    if (const QString place = placeText(box, states); !place.isEmpty())
        tip += block(place, "font-style:italic");
    return tip;
}

} // namespace

CanvasWidget::CanvasWidget(std::shared_ptr<Canvas> canvas, const QtTextMeasurer& measurer,
                           QScrollArea& scrollArea)
    : canvas_(std::move(canvas)), measurer_(measurer), scrollArea_(scrollArea) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    // The pointer over a resize handle shows which way it resizes.
    setMouseTracking(true);
    // The document, which owns the model, outlives the widget.
    redrawListener_ = canvas_->model().redraw.add([this] { redisplay(); });
    canvas_->setHost(this);
    placeAddButton();
}

LabelEditor& CanvasWidget::labelEditor() {
    // Made the first time a title is edited, not as the window opens.
    if (labelEditor_)
        return *labelEditor_;
    labelField_ = new LabelEditorWidget(measurer_, view_, this);
    labelEditor_ = std::make_unique<LabelEditor>(*canvas_, *labelField_);
    connect(labelField_, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (labelField_->isVisible())
            labelEditor_->textChanged(text.toStdString());
    });
    connect(labelField_, &QLineEdit::returnPressed, this, [this] { closeLabelEditorLater(); });
    connect(labelField_, &LabelEditorWidget::cancelled, this, [this] {
        labelEditor_->cancel();
        QTimer::singleShot(0, this, [this] { labelEditor_->finishClosing(); });
    });
    return *labelEditor_;
}

CanvasWidget::~CanvasWidget() {
    // Whoever else holds the canvas must not reach this widget through it.
    canvas_->setHost(nullptr);
    canvas_->model().redraw.remove(redrawListener_);
}

void CanvasWidget::redisplay() {
    fitToContent();
    update();
}

Rect CanvasWidget::visibleArea() const {
    const QSize visible = scrollArea_.viewport()->size();
    return view_.toDocument(Rect{double(-pos().x()), double(-pos().y()), double(visible.width()),
                                 double(visible.height())});
}

void CanvasWidget::fitToContent() {
    const Rect visible = visibleArea();
    const Rect fitted = fittedCanvasArea(canvas_->model(), area_, visible);
    if (fitted == area_)
        return;
    // The first time, the view opens on the canvas's top left, content left of 0 included;
    // afterwards what is in view stays there.
    const bool first = area_.isEmpty();
    span(fitted, view_.zoom, first ? Point{fitted.x, fitted.y} : Point{visible.x, visible.y},
         Point{});
}

void CanvasWidget::span(const Rect& area, double zoom, Point fixed, Point anchor) {
    const bool zoomChanged = zoom != view_.zoom;
    area_ = area;
    view_ = ViewTransform{zoom, Point{area.x, area.y}};
    // Whole pixels, at least 1 by 1; the area may be infinite, and a widget takes at most
    // QWIDGETSIZE_MAX.
    const auto pixels = [](double v) {
        // What only rounding puts beyond a whole pixel does not count.
        return int(std::clamp(std::ceil(v - 1e-6), 1.0, double(QWIDGETSIZE_MAX)));
    };
    resize(pixels(area.width * zoom), pixels(area.height * zoom));
    const Point scroll = scrollKeeping(view_, fixed, anchor);
    scrollArea_.horizontalScrollBar()->setValue(int(std::lround(scroll.x)));
    scrollArea_.verticalScrollBar()->setValue(int(std::lround(scroll.y)));
    placeAddButton();
    if (auto item = labelEditor_ ? labelEditor_->itemRect() : std::nullopt;
        item && labelField_->isVisible())
        labelField_->moveTo(*item);
    update();
    if (zoomChanged && onZoomChanged)
        onZoomChanged(zoom);
}

void CanvasWidget::setZoom(double zoom, QPoint anchor) {
    spanZoomed(zoomedAbout(visibleArea(), view_.zoom, clampedZoom(zoom),
                           Point{double(anchor.x()), double(anchor.y())}, viewportSize()));
}

void CanvasWidget::spanZoomed(const ZoomedView& zoomed) {
    // A new zoom spans the document afresh: what zooming out had to add goes again.
    span(fittedCanvasArea(canvas_->model(), Rect{}, zoomed.visible), zoomed.zoom, zoomed.fixed,
         zoomed.anchor);
}

Size CanvasWidget::viewportSize() const {
    const QSize size = scrollArea_.viewport()->size();
    return Size{double(size.width()), double(size.height())};
}

void CanvasWidget::setZoom(double zoom) {
    setZoom(zoom, scrollArea_.viewport()->rect().center());
}

void CanvasWidget::fitToWindow() {
    const auto items = itemBounds(canvas_->model());
    if (!items) {
        setZoom(1);
        return;
    }
    spanZoomed(fittedView(*items, viewportSize()));
}

namespace {

// A view coordinate as whole pixels; a stray one scrolls to the nearest edge.
int wholePixels(double v) { return std::isnan(v) ? 0 : int(std::lround(std::clamp(v, -1e9, 1e9))); }

} // namespace

void CanvasWidget::scrollToShow(const Rect& area) {
    const Rect shown = view_.toView(area);
    scrollArea_.ensureVisible(wholePixels(shown.midX()), wholePixels(shown.midY()),
                              wholePixels(shown.width / 2 + 20), wholePixels(shown.height / 2 + 20));
}

void CanvasWidget::scrollToCentre(const Rect& area) {
    const Rect shown = view_.toView(area);
    const QSize size = scrollArea_.viewport()->size();
    scrollArea_.ensureVisible(wholePixels(shown.midX()), wholePixels(shown.midY()),
                              size.width() / 2, size.height() / 2);
}

void CanvasWidget::wheelEvent(QWheelEvent* event) {
    // Control and the wheel zoom around the pointer; the plain wheel scrolls.
    if (!(event->modifiers() & Qt::ControlModifier)) {
        event->ignore();
        return;
    }
    const double steps = event->angleDelta().y() / 120.0;
    if (steps != 0) {
        const QPoint anchor = mapTo(scrollArea_.viewport(), event->position().toPoint());
        setZoom(view_.zoom * std::pow(1.25, steps), anchor);
    }
    event->accept();
}

void CanvasWidget::setMarkerStates(const MarkerStates* states) {
    markerStates_ = states;
    update();
}

void CanvasWidget::panBy(Point movement) {
    // The scroll bars hold the visible part on the canvas at both ends.
    QScrollBar* horizontal = scrollArea_.horizontalScrollBar();
    QScrollBar* vertical = scrollArea_.verticalScrollBar();
    horizontal->setValue(horizontal->value() - int(std::lround(movement.x)));
    vertical->setValue(vertical->value() - int(std::lround(movement.y)));
}

std::optional<std::string> CanvasWidget::newReferenceEditor() {
    if (!chooseNewEditor)
        return std::nullopt;
    return chooseNewEditor(defaults_.stringValue("lastSetEditor"));
}

void CanvasWidget::gotoReference(const ReferencePtr& reference) {
    if (onGotoReference)
        onGotoReference(reference);
}

void CanvasWidget::updateDetailPanel() {
    if (onUpdateDetailPanel)
        onUpdateDetailPanel();
}

void CanvasWidget::openLabelEditor(const LabelPtr& label) {
    labelEditor().open(label);
}

void CanvasWidget::openTitleEditor(const ReferencePtr& reference) {
    scrollToShow(reference->rect);
    labelEditor().open(reference);
}

bool CanvasWidget::isLabelEditorOpen() const {
    return labelEditor_ && labelEditor_->isOpen();
}

void CanvasWidget::closeLabelEditorLater() {
    labelEditor().commit();
    QTimer::singleShot(0, this, [this] { labelEditor_->finishClosing(); });
}

void CanvasWidget::closeLabelEditorNow() {
    if (labelEditor_)
        labelEditor_->closeNow();
}

void CanvasWidget::keyPressEvent(QKeyEvent* event) {
    if (const auto step = nudgeStep(*event)) {
        asOneStep([&] { canvas_->nudge(*step); });
        return;
    }
    // The plain arrow keys only say which they are; nothing on the canvas is nudged.
    const char* word = nullptr;
    switch (event->key()) {
    case Qt::Key_Left:
        word = "Left";
        break;
    case Qt::Key_Right:
        word = "Right";
        break;
    case Qt::Key_Down:
        word = "Down";
        break;
    case Qt::Key_Up:
        word = "Up";
        break;
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
        asOneStep([this] { canvas_->deleteSelection(); });
        return;
    default:
        if (!startTyping(*event))
            QWidget::keyPressEvent(event);
        return;
    }
    std::cout << word << std::endl;
}

bool CanvasWidget::startTyping(const QKeyEvent& key) {
    const QString text = key.text();
    if (text.isEmpty() || !text.at(0).isPrint() ||
        (key.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
        return false;
    return editSingleItem(text.toStdString());
}

bool CanvasWidget::renameSelection() {
    return !isLabelEditorOpen() && editSingleItem(std::nullopt);
}

bool CanvasWidget::editSingleItem(const std::optional<std::string>& typed) {
    finishGesture();
    const Placement selected = canvas_->selectedPlacement();
    if (selected.references.size() + selected.labels.size() != 1)
        return false;
    if (!selected.references.empty()) {
        scrollToShow(selected.references.front().first->rect);
        labelEditor().open(selected.references.front().first, typed);
    } else {
        scrollToShow(selected.labels.front().first->rect);
        labelEditor().open(selected.labels.front().first, typed);
    }
    return true;
}

void CanvasWidget::nudge(Point step) {
    asOneStep([&] { canvas_->nudge(step); });
}

void CanvasWidget::selectNext(bool backwards) {
    finishGesture();
    if (const auto item = selectNextItem(*canvas_, backwards))
        scrollToShow(item->reference ? item->reference->rect : item->label->rect);
}

const TextMeasurer* CanvasWidget::textMeasurer() const {
    return &measurer_;
}

void CanvasWidget::finishGesture() {
    gestureButton_ = Qt::NoButton;
    if (canvas_->gestureInProgress())
        asOneStep([this] { canvas_->finishGesture(); });
}

void CanvasWidget::asOneStep(const std::function<void()>& work) {
    if (undo_)
        undo_->beginGroup();
    work();
    if (undo_)
        undo_->endGroup();
}

PointerEvent CanvasWidget::pointerEvent(const QMouseEvent& event, int clickCount) {
    PointerEvent pointer;
    pointer.location = view_.toDocument(Point{event.position().x(), event.position().y()});
    pointer.modifiers = modifiersOf(event.modifiers());
    pointer.clickCount = clickCount;
    const QPointF global = event.globalPosition();
    pointer.delta = Point{global.x() - lastGlobal_.x(), global.y() - lastGlobal_.y()};
    lastGlobal_ = global;
    return pointer;
}

void CanvasWidget::press(QMouseEvent* event, int clickCount) {
    // One gesture at a time: another button pressed meanwhile is ignored. A button that is
    // held no longer (its release got lost) leaves nothing to wait for.
    if (isButtonHeld()) {
        if (event->buttons() & gestureButton_)
            return;
        gestureButton_ = Qt::NoButton;
    }
    if (event->button() == Qt::LeftButton || event->button() == Qt::RightButton)
        gestureButton_ = event->button();
    lastGlobal_ = event->globalPosition();
    const PointerEvent pointer = pointerEvent(*event, clickCount);
    if (event->button() == Qt::RightButton) {
        rightTarget_ = targetAt(*canvas_, pointer.location);
        rightSelection_ = canvas_->selectedPlacement();
        rightPress_ = event->globalPosition();
    }
    if (event->button() == Qt::LeftButton)
        asOneStep([&] { canvas_->mouseDown(pointer); });
    else if (event->button() == Qt::RightButton)
        asOneStep([&] { canvas_->rightMouseDown(pointer); });
    else
        QWidget::mousePressEvent(event);
}

void CanvasWidget::mousePressEvent(QMouseEvent* event) {
    press(event, 1);
}

void CanvasWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    press(event, 2);
}

void CanvasWidget::mouseMoveEvent(QMouseEvent* event) {
    if (!isButtonHeld() || !(event->buttons() & gestureButton_)) {
        showResizeCursor(event->position());
        return;
    }
    const PointerEvent pointer = pointerEvent(*event, 1);
    if (gestureButton_ == Qt::LeftButton)
        asOneStep([&] { canvas_->mouseDragged(pointer); });
    else
        asOneStep([&] { canvas_->rightMouseDragged(pointer); });
}

void CanvasWidget::mouseReleaseEvent(QMouseEvent* event) {
    // Only the release of the button that started the gesture ends it.
    if (!isButtonHeld() || event->button() != gestureButton_) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    gestureButton_ = Qt::NoButton;
    const PointerEvent pointer = pointerEvent(*event, 1);
    if (event->button() == Qt::LeftButton) {
        asOneStep([&] { canvas_->mouseUp(pointer); });
        return;
    }
    asOneStep([&] { canvas_->rightMouseUp(pointer); });
    // On the screen: a pan moves the canvas along with the pointer.
    if ((event->globalPosition() - rightPress_).manhattanLength() <
        QApplication::startDragDistance())
        openContextMenu(event->globalPosition().toPoint());
}

void CanvasWidget::showResizeCursor(QPointF at) {
    using namespace resizing;
    const unsigned edges =
        edgesAt(*canvas_, view_.toDocument(Point{at.x(), at.y()}));
    if (edges == (left | top) || edges == (right | bottom))
        setCursor(Qt::SizeFDiagCursor);
    else if (edges == (right | top) || edges == (left | bottom))
        setCursor(Qt::SizeBDiagCursor);
    else if (edges == left || edges == right)
        setCursor(Qt::SizeHorCursor);
    else if (edges == top || edges == bottom)
        setCursor(Qt::SizeVerCursor);
    else
        unsetCursor();
}

void CanvasWidget::openContextMenu(QPoint at) {
    canvas_->deselectAll();
    for (const auto& [reference, rect] : rightSelection_.references)
        reference->selected = true;
    for (const auto& [label, rect] : rightSelection_.labels)
        label->selected = true;
    selectTarget(*canvas_, rightTarget_);
    canvas_->redisplay();
    canvas_->updateDetailPanel();
    if (onContextMenu)
        onContextMenu(rightTarget_, at);
}

void CanvasWidget::contextMenuEvent(QContextMenuEvent* event) {
    // The mouse's menu opens on the release, once it is clear that no arrow is drawn.
    if (event->reason() == QContextMenuEvent::Mouse)
        return;
    // The menu key: the commands of the selection, at its first item.
    const Placement selected = canvas_->selectedPlacement();
    const size_t count = selected.references.size() + selected.labels.size();
    PointerTarget target;
    std::optional<Rect> where;
    if (!selected.references.empty()) {
        target.place = count > 1 ? onSelection : onBox;
        target.reference = selected.references.front().first;
        where = target.reference->rect;
    } else if (!selected.labels.empty()) {
        target.place = count > 1 ? onSelection : onLabel;
        target.label = selected.labels.front().first;
        where = target.label->rect;
    }
    const Point shown = where ? view_.toView(Point{where->midX(), where->midY()})
                              : Point{double(event->pos().x()), double(event->pos().y())};
    target.at = view_.toDocument(shown);
    if (onContextMenu)
        onContextMenu(target, mapToGlobal(QPointF(shown.x, shown.y).toPoint()));
}

bool CanvasWidget::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        showToolTip(*static_cast<QHelpEvent*>(event));
        return true;
    }
    // The canvas that loses the focus (a dialog opened, another window came forward) may never
    // see the release: the gesture ends now, as that release would have ended it.
    if (event->type() == QEvent::FocusOut || event->type() == QEvent::Hide)
        finishGesture();
    // A key pressed while the button is still held ends the drag first, so that a command
    // never acts on a gesture half done. Modifier keys are part of the gesture itself, and
    // undo and redo wait for the release.
    if (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo))
            return QWidget::event(event);
        // A nudge goes on with the run in progress; the canvas ends it when the key changes.
        if (nudgeStep(*key) && !isButtonHeld())
            return QWidget::event(event);
        switch (key->key()) {
        case Qt::Key_Shift:
        case Qt::Key_Control:
        case Qt::Key_Meta:
        case Qt::Key_Alt:
        case Qt::Key_AltGr:
        case Qt::Key_Super_L:
        case Qt::Key_Super_R:
        case Qt::Key_CapsLock:
            break;
        default:
            finishGesture();
        }
    }
    return QWidget::event(event);
}

void CanvasWidget::showToolTip(const QHelpEvent& help) {
    const Point p = view_.toDocument(Point{double(help.pos().x()), double(help.pos().y())});
    const ReferencePtr box = canvas_->referenceAt(p);
    if (!box || isButtonHeld()) {
        QToolTip::hideText();
        return;
    }
    const Rect r = view_.toView(box->rect);
    QToolTip::showText(help.globalPos(), boxToolTip(*box, markerStates_), this,
                       QRectF(r.x, r.y, r.width, r.height).normalized().toAlignedRect());
}

void CanvasWidget::paintEvent(QPaintEvent* event) {
    const QRect dirty = event->rect();
    CanvasViewport viewport;
    viewport.bounds = Size{area_.width, area_.height};
    viewport.origin = view_.origin;
    viewport.scale = view_.zoom;
    viewport.dirty = view_.toDocument(
        Rect{double(dirty.x()), double(dirty.y()), double(dirty.width()), double(dirty.height())});

    const AppearanceConfig& config = AppearanceConfig::shared();
    if (!index_ || !index_->fits(canvas_->model()))
        index_ = std::make_unique<DrawingIndex>(canvas_->model(), arrowReach(config));
    const InteractionOverlay overlay = canvas_->interactionOverlay();
    QPainter painter(this);
    painter.scale(view_.zoom, view_.zoom);
    painter.translate(-view_.origin.x, -view_.origin.y);
    paintDrawn(
        painter, viewport.dirty,
        [&](const Rect& area, const QtTextMeasurer& fonts) {
            CanvasViewport part = viewport;
            part.dirty = area;
            return drawCanvas(*index_, overlay, part, config, fonts, markerStates_);
        },
        measurer_);
}

void CanvasWidget::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    placeAddButton();
}

void CanvasWidget::placeAddButton() {
    // The button keeps its size on the screen whatever the zoom.
    canvas_->setAddButton(
        view_.toDocument(addButtonRect(Point{double(-pos().x()), double(-pos().y())})));
}

} // namespace pathwicks
