#include "app/PlainText.h"

#include <QLabel>
#include <QMessageBox>

namespace pathwicks {

QLabel* plainLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
    return label;
}

void setPlainTexts(QMessageBox& box, const QString& text, const QString& informative) {
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
    // The box makes the informative label as it is first given a text, and lets Qt guess
    // that label's format: it is made with a harmless text, then made plain, as is the icon's.
    if (!informative.isEmpty())
        box.setInformativeText(" ");
    for (QLabel* label : box.findChildren<QLabel*>())
        label->setTextFormat(Qt::PlainText);
    if (!informative.isEmpty())
        box.setInformativeText(informative);
}

QString plainToolTip(const QString& text) {
    if (text.isEmpty())
        return text;
    return "<p style=\"white-space:pre-wrap\">" + text.toHtmlEscaped() + "</p>";
}

QString plainMenuText(QString text) {
    return text.replace('&', "&&");
}

} // namespace pathwicks
