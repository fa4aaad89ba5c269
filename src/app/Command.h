#pragma once

#include <QAction>
#include <QKeySequence>
#include <QList>
#include <QString>

#include <functional>
#include <vector>

class QMenu;

namespace pathwicks {

class DocumentWindow;

// One command of a document window, as data: the menu it is in, its entry and keys, when it
// can be chosen and what it does. The menus are made from a table of them (`windowCommands`),
// and so is anything else that lists commands.
struct Command {
    // The title of the menu it is in ("&Edit"); menus stand in the order they first appear.
    QString menu{};
    // Its entry ("&Copy"); empty for a menu made whole by `submenu` (the Editor menu).
    QString title{};
    QList<QKeySequence> keys{};
    std::function<void(DocumentWindow&)> run{};
    // When it can be chosen; always, when empty.
    std::function<bool(DocumentWindow&)> enabled{};
    // Whether it is checked; a command without it is not checkable.
    std::function<bool(DocumentWindow&)> checked{};
    // A submenu in place of a plain entry (Open Recent), or the whole menu.
    std::function<QMenu*(DocumentWindow&)> submenu{};
    bool separatorBefore = false;
    QAction::MenuRole role = QAction::NoRole;
    // The places of a right click it is offered at (ContextPlace flags of canvas/PointerTarget:
    // a box, a label, an arrow, a selection, the empty canvas); none, when 0. A command with an
    // empty menu is offered only there.
    unsigned contexts = 0;
    // In context menus, commands of one group stand together in a submenu of that title.
    QString contextGroup{};
    // Its keys work only while the canvas has the keyboard (Tab, Return, the arrows), so that
    // fields keep theirs.
    bool canvasKeys = false;
};

// Every command of a document window, in the order of the menus.
const std::vector<Command>& windowCommands();

} // namespace pathwicks
