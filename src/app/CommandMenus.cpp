#include "app/CommandMenus.h"

#include "app/DocumentWindow.h"

#include <QMenuBar>

namespace pathwicks {

CommandMenus::CommandMenus(DocumentWindow& window, const std::vector<Command>& commands,
                           QMenuBar& bar)
    : QObject(&window), window_(window) {
    for (const Command& command : commands) {
        if (command.title.isEmpty() && command.submenu) {
            bar.addMenu(command.submenu(window_));
            continue;
        }
        QMenu& menu = menuTitled(bar, command.menu);
        if (command.separatorBefore)
            menu.addSeparator();
        if (command.submenu)
            menu.addMenu(command.submenu(window_));
        else
            addEntry(menu, command);
    }
    refresh();
}

QMenu& CommandMenus::menuTitled(QMenuBar& bar, const QString& title) {
    for (QAction* action : bar.actions())
        if (action->menu() && action->text() == title)
            return *action->menu();
    QMenu* menu = bar.addMenu(title);
    connect(menu, &QMenu::aboutToShow, this, &CommandMenus::refresh);
    return *menu;
}

void CommandMenus::addEntry(QMenu& menu, const Command& command) {
    QAction* action = menu.addAction(command.title);
    action->setShortcuts(command.keys);
    // Fields in the panel and the find bar keep the keys they use for their own text.
    action->setShortcutContext(Qt::WindowShortcut);
    action->setMenuRole(command.role);
    if (command.checked) {
        // Checked from the menu or by the program alike: the command turns it over.
        action->setCheckable(true);
        connect(action, &QAction::toggled, this, [this, &command](bool on) {
            if (command.checked(window_) != on)
                command.run(window_);
        });
    } else {
        connect(action, &QAction::triggered, this, [this, &command] { command.run(window_); });
    }
    entries_.emplace_back(&command, action);
}

void CommandMenus::refresh() {
    for (auto& [command, action] : entries_) {
        if (command->enabled)
            action->setEnabled(command->enabled(window_));
        if (command->checked)
            action->setChecked(command->checked(window_));
    }
}

} // namespace pathwicks
