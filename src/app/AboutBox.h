#pragma once

#include <QIcon>
#include <QString>

class QWidget;

namespace pathwicks {

// The program's icon, drawn from the SVG compiled into the program. Without Qt's SVG icon
// engine it is a null icon, and windows show the desktop's default.
QIcon applicationIcon();

// Name, version and a line on what the program is for.
QString aboutText();

void showAboutBox(QWidget* parent);

} // namespace pathwicks
