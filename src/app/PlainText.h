#pragma once

#include <QString>

class QLabel;
class QMessageBox;
class QWidget;

namespace pathwicks {

// Text shown as it is. Titles, paths, file names and messages from other programs may hold
// what Qt would read as rich text (tags, entities, images read from any path), so every label
// and message box of the windows is made through these.

// A label that never reads its text as rich text.
QLabel* plainLabel(const QString& text, QWidget* parent);
// Sets the message box's text and informative text (none when empty) as plain text. The box is
// made without text: a text given to its constructor is read before this can say how.
void setPlainTexts(QMessageBox& box, const QString& text, const QString& informative = {});
// A tooltip showing the text as it is: Qt guesses whether a tooltip is rich text, so it is
// given as rich text with everything escaped.
QString plainToolTip(const QString& text);
// A menu entry's text showing the text as it is: an ampersand is not taken as a shortcut.
QString plainMenuText(QString text);

} // namespace pathwicks
