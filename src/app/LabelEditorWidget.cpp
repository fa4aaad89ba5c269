#include "app/LabelEditorWidget.h"

#include "app/QtTextMeasurer.h"
#include "appearance/AppearanceConfig.h"

#include <QKeyEvent>

#include <cmath>
#include <limits>

namespace pathwicks {

LabelEditorWidget::LabelEditorWidget(const QtTextMeasurer& fonts, QWidget* canvas)
    : QLineEdit(canvas) {
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

void LabelEditorWidget::show(const Rect& frame, const std::string& text) {
    setText(QString::fromStdString(text));
    moveTo(frame);
    QLineEdit::show();
    raise();
    setFocus(Qt::MouseFocusReason);
    selectAll();
}

void LabelEditorWidget::moveTo(const Rect& frame) {
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
    return QLineEdit::event(event);
}

} // namespace pathwicks
