#pragma once

#include <QIcon>
#include <QString>

class QWidget;

namespace pathwicks {

// The program's icon, drawn from the SVG compiled into the program. Without Qt's SVG icon
// engine it is a null icon, and windows show the desktop's default.
QIcon applicationIcon();

// Name, version, licence, a line on what the program is for, and where the settings, the
// cache, the recovery copies and the user's own editors are kept; plain text.
QString aboutText();

void showAboutBox(QWidget* parent);

} // namespace pathwicks
