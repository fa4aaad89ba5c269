#pragma once

#include "app/Command.h"

#include <QObject>

#include <utility>
#include <vector>

class QMenuBar;

namespace pathwicks {

// A window's menu bar, made from its table of commands, with each entry's enabled and checked
// state kept in step with the window.
class CommandMenus : public QObject {
    Q_OBJECT
public:
    CommandMenus(DocumentWindow& window, const std::vector<Command>& commands, QMenuBar& bar);

    // Asks each command again whether it can be chosen and whether it is checked.
    void refresh();

private:
    QMenu& menuTitled(QMenuBar& bar, const QString& title);
    void addEntry(QMenu& menu, const Command& command);

    DocumentWindow& window_;
    std::vector<std::pair<const Command*, QAction*>> entries_;
};

} // namespace pathwicks
