#include "app/CommandMenus.h"

#include "app/CanvasWidget.h"
#include "app/DocumentWindow.h"

#include <QMenu>
#include <QMenuBar>

#include <map>

namespace pathwicks {

CommandMenus::CommandMenus(DocumentWindow& window, const std::vector<Command>& commands,
                           QMenuBar& bar)
    : QObject(&window), window_(window), commands_(commands) {
    for (const Command& command : commands) {
        if (command.menu.isEmpty())
            continue; // offered in context menus only
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
    window_.canvasWidget().onContextMenu = [this](const PointerTarget& target, QPoint at) {
        QMenu* menu = contextMenu(target, &window_);
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(at);
    };
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
    if (command.canvasKeys) {
        action->setShortcutContext(Qt::WidgetShortcut);
        window_.canvasWidget().addAction(action);
    }
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

QMenu* CommandMenus::contextMenu(const PointerTarget& target, QWidget* parent) {
    auto* menu = new QMenu(parent);
    menu->setObjectName("contextMenu");
    std::map<QString, QMenu*> groups;
    for (const Command& command : commands_) {
        if (!(command.contexts & target.place))
            continue;
        QMenu* into = menu;
        if (!command.contextGroup.isEmpty()) {
            QMenu*& group = groups[command.contextGroup];
            if (!group)
                group = menu->addMenu(command.contextGroup);
            into = group;
        } else if (command.separatorBefore && !menu->isEmpty()) {
            menu->addSeparator();
        }
        if (command.submenu) {
            QMenu* submenu = command.submenu(window_);
            submenu->setParent(into, submenu->windowFlags());
            into->addMenu(submenu);
        } else {
            addContextEntry(*into, command, target);
        }
    }
    return menu;
}

void CommandMenus::addContextEntry(QMenu& menu, const Command& command,
                                   const PointerTarget& target) {
    QAction* action = menu.addAction(command.title);
    action->setShortcuts(command.keys);
    action->setShortcutVisibleInContextMenu(true);
    // Its keys belong to the menu bar's entry; here they are only shown.
    action->setShortcutContext(Qt::WidgetShortcut);
    action->setEnabled(!command.enabled || command.enabled(window_));
    connect(action, &QAction::triggered, this, [this, &command, target] {
        CanvasWidget& canvas = window_.canvasWidget();
        canvas.setContextTarget(target);
        command.run(window_);
        canvas.setContextTarget(std::nullopt);
    });
}

} // namespace pathwicks
