#pragma once

#include <QString>

class QWidget;

namespace pathwicks {

// Help › Keyboard Shortcuts: every command of the table with its menu and keys, as plain text.
QString keyboardShortcutsText();
// Help › Marker Comments: the marker rule, then each kind of file with its comment style and an
// example line.
QString markerCommentsText();

// Each shows its text in a window of its own, modal to its parent only.
void showKeyboardShortcuts(QWidget* parent);
void showMarkerComments(QWidget* parent);

} // namespace pathwicks
