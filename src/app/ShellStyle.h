#pragma once

#include <QProxyStyle>

namespace pathwicks {

// The desktop's style, but for the arrow of a menu bar too narrow for its menus, which is drawn
// rather than read from an image file: the first image read loads every image format plugin,
// which a window does not otherwise need before it is first shown.
class ShellStyle : public QProxyStyle {
public:
    QIcon standardIcon(StandardPixmap which, const QStyleOption* option = nullptr,
                       const QWidget* widget = nullptr) const override;
};

} // namespace pathwicks
