#pragma once

#include "app/Command.h"
#include "canvas/PointerTarget.h"

#include <QObject>

#include <utility>
#include <vector>

class QMenuBar;

namespace pathwicks {

// A window's menu bar, made from its table of commands, with each entry's enabled and checked
// state kept in step with the window; and the canvas's context menus, from the same table.
class CommandMenus : public QObject {
    Q_OBJECT
public:
    CommandMenus(DocumentWindow& window, const std::vector<Command>& commands, QMenuBar& bar);

    // Asks each command again whether it can be chosen and whether it is checked.
    void refresh();

    // The commands offered at the target, in the table's order; the caller owns the menu.
    // Commands run from it see the target's point as the canvas's context point.
    QMenu* contextMenu(const PointerTarget& target, QWidget* parent);

private:
    QMenu& menuTitled(QMenuBar& bar, const QString& title);
    void addEntry(QMenu& menu, const Command& command);
    void addContextEntry(QMenu& menu, const Command& command, const PointerTarget& target);

    DocumentWindow& window_;
    const std::vector<Command>& commands_;
    std::vector<std::pair<const Command*, QAction*>> entries_;
};

} // namespace pathwicks
