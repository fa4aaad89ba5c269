#include "app/LabelEditorWidget.h"

#include "app/QtTextMeasurer.h"
#include "appearance/AppearanceConfig.h"

#include <QKeyEvent>

#include <cmath>
#include <limits>

namespace pathwicks {

LabelEditorWidget::LabelEditorWidget(const QtTextMeasurer& fonts, const ViewTransform& view,
                                     QWidget* canvas)
    : QLineEdit(canvas), fonts_(fonts), view_(view) {
    setObjectName("labelEditor");
    setFont(fonts.font(TextStyle::label));
    setAlignment(Qt::AlignCenter);
    setFrame(false);
    // Titles are not cut at a line edit's usual 32767 characters.
    setMaxLength(std::numeric_limits<int>::max());
    setTextMargins(0, 0, 0, 0);
    const Color c = AppearanceConfig::shared().namedColor("ReferenceSelectedBackground");
    QPalette colours = palette();
    colours.setColor(QPalette::Base,
                     QColor::fromRgbF(float(c.red), float(c.green), float(c.blue), float(c.alpha)));
    setPalette(colours);
    QLineEdit::hide();
}

void LabelEditorWidget::show(const Rect& frame, const std::string& text, TextStyle style,
                             bool selectText) {
    style_ = style;
    setText(QString::fromStdString(text));
    moveTo(frame);
    QLineEdit::show();
    raise();
    setFocus(Qt::MouseFocusReason);
    if (selectText)
        selectAll();
    else
        end(false);
}

void LabelEditorWidget::moveTo(const Rect& shown) {
    // The field is as large as the item looks at the view's zoom.
    QFont font = fonts_.font(style_);
    if (font.pixelSize() > 0)
        font.setPixelSize(std::max(1, int(std::lround(font.pixelSize() * view_.zoom))));
    else
        font.setPointSizeF(std::max(1.0, font.pointSizeF() * view_.zoom));
    setFont(font);
    const Rect frame = view_.toView(shown);
    const auto whole = [](double v) { return int(std::lround(v)); };
    setGeometry(whole(frame.x), whole(frame.y), std::max(whole(frame.width), 1),
                std::max(whole(frame.height), 1));
}

void LabelEditorWidget::remove() {
    const bool hadFocus = hasFocus();
    QLineEdit::hide();
    // The keyboard goes back to the canvas, so that its keys work at once.
    if (hadFocus && parentWidget())
        parentWidget()->setFocus(Qt::OtherFocusReason);
}

bool LabelEditorWidget::event(QEvent* event) {
    // Undo and redo belong to the document: they commit the typing as one step and take it
    // back, rather than undoing single keystrokes inside the field.
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo))
            return false;
    }
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        emit cancelled();
        return true;
    }
    return QLineEdit::event(event);
}

} // namespace pathwicks
