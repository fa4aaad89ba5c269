#include "app/CanvasWidget.h"

#include "app/DrawListPainter.h"
#include "app/QtTextMeasurer.h"
#include "appearance/CanvasDrawing.h"
#include "canvas/CanvasFit.h"
#include "model/UndoManager.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPointer>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>

#include <cmath>
#include <iostream>

namespace pathwicks {

namespace {

// The physical Control key: Qt names it Meta on macOS.
#ifdef Q_OS_MACOS
constexpr Qt::KeyboardModifier controlModifier = Qt::MetaModifier;
#else
constexpr Qt::KeyboardModifier controlModifier = Qt::ControlModifier;
#endif

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

} // namespace

CanvasWidget::CanvasWidget(std::shared_ptr<Canvas> canvas, const QtTextMeasurer& measurer,
                           QScrollArea& scrollArea)
    : canvas_(std::move(canvas)), measurer_(measurer), scrollArea_(scrollArea) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    // The model may outlive this widget, or go first (its owner resets redraw as it goes):
    // the destructor leaves the model alone, and the redraw asks for the widget only while
    // it lives.
    canvas_->model().redraw = [widget = QPointer<CanvasWidget>(this)] {
        if (widget)
            widget->update();
    };
    canvas_->setHost(this);
    placeAddButton();
    labelField_ = new LabelEditorWidget(measurer_, this);
    labelEditor_ = std::make_unique<LabelEditor>(*canvas_, *labelField_);
    connect(labelField_, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (labelField_->isVisible())
            labelEditor_->textChanged(text.toStdString());
    });
    connect(labelField_, &QLineEdit::returnPressed, this, [this] { closeLabelEditorLater(); });
}

CanvasWidget::~CanvasWidget() {
    // Whoever else holds the canvas must not reach this widget through it.
    canvas_->setHost(nullptr);
}

void CanvasWidget::fitToContent() {
    const QSize visible = scrollArea_.viewport()->size();
    const auto fitted = fittedCanvasSize(canvas_->model(), Size{double(width()), double(height())},
                                         Size{double(visible.width()), double(visible.height())});
    if (!fitted)
        return;
    // The size is in whole pixels, at least 1 by 1, and may be infinite: a widget takes at most
    // QWIDGETSIZE_MAX.
    const auto pixels = [](double v) { return int(std::min(v, double(QWIDGETSIZE_MAX))); };
    resize(pixels(fitted->width), pixels(fitted->height));
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
    labelEditor_->open(label);
}

bool CanvasWidget::isLabelEditorOpen() const {
    return labelEditor_->isOpen();
}

void CanvasWidget::closeLabelEditorLater() {
    labelEditor_->commit();
    QTimer::singleShot(0, this, [this] { labelEditor_->finishClosing(); });
}

void CanvasWidget::closeLabelEditorNow() {
    labelEditor_->closeNow();
}

void CanvasWidget::keyPressEvent(QKeyEvent* event) {
    // The arrow keys only say which they are; nothing on the canvas is nudged.
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
        QWidget::keyPressEvent(event);
        return;
    }
    std::cout << word << std::endl;
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
    pointer.location = Point{event.position().x(), event.position().y()};
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
    if (!(event->buttons() & gestureButton_))
        return;
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
    if (event->button() == Qt::LeftButton)
        asOneStep([&] { canvas_->mouseUp(pointer); });
    else
        asOneStep([&] { canvas_->rightMouseUp(pointer); });
}

bool CanvasWidget::event(QEvent* event) {
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

void CanvasWidget::paintEvent(QPaintEvent* event) {
    const QRect dirty = event->rect();
    CanvasViewport viewport;
    viewport.bounds = Size{double(width()), double(height())};
    viewport.dirty =
        Rect{double(dirty.x()), double(dirty.y()), double(dirty.width()), double(dirty.height())};

    const DrawList list = drawCanvas(canvas_->model(), canvas_->interactionOverlay(), viewport,
                                     AppearanceConfig::shared(), measurer_, markerStates_);
    QPainter painter(this);
    paintDrawList(painter, list, measurer_);
}

void CanvasWidget::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    placeAddButton();
}

void CanvasWidget::placeAddButton() {
    canvas_->setAddButton(addButtonRect(Point{double(-pos().x()), double(-pos().y())}));
}

} // namespace pathwicks
