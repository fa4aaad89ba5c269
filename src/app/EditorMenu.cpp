#include "app/EditorMenu.h"

#include "app/DetailPanelWidget.h"
#include "app/EditorEntryText.h"
#include "app/PlainText.h"
#include "editors/EditorAvailability.h"

#include <QActionGroup>

namespace pathwicks {

EditorMenu::EditorMenu(DetailPanelWidget& panel, const EditorAvailability& editors, QWidget* parent)
    : QMenu(tr("E&ditor"), parent), panel_(panel), editors_(editors) {
    addEntries();
    connect(this, &QMenu::aboutToShow, this, &EditorMenu::updateEntries);
    connect(&panel_, &DetailPanelWidget::shownChanged, this, &EditorMenu::updateEntries);
    // The user's editors file was read again: its editors may have come or gone.
    connect(&panel_, &DetailPanelWidget::editorsRefilled, this, [this] {
        clear();
        entries_.clear();
        delete group_;
        addEntries();
    });
}

void EditorMenu::addEntries() {
    group_ = new QActionGroup(this);
    const EditorListing listing = editorListing(editors_);
    bool ownEditors = false;
    for (const std::string& name : listing.installed) {
        // The user's own editors follow the catalogue's, after a separator.
        if (editors_.isUserEditorOnly(name) && !ownEditors) {
            addSeparator();
            ownEditors = true;
        }
        addEditor(*this, name, true);
    }
    if (!listing.more.empty()) {
        addSeparator();
        QMenu* more = addMenu(tr("&More Editors"));
        more->setObjectName("moreEditors");
        for (const std::string& name : listing.more)
            addEditor(*more, name, false);
    }
    updateEntries();
}

void EditorMenu::addEditor(QMenu& menu, const std::string& name, bool installed) {
    // An ampersand in a user's editor name is shown, not taken as a shortcut. The submenu
    // says they are not installed; its entries need not.
    const QString text =
        plainMenuText(installed ? editorEntryText(name, true) : editorDisplayName(name));
    QAction* action = menu.addAction(text, this, [this, name] {
        if (panel_.panel().shownReference())
            panel_.panel().editorChosen(name);
        else
            panel_.panel().editorChosenForSelection(name);
    });
    action->setData(QString::fromStdString(name));
    action->setCheckable(true);
    group_->addAction(action);
    entries_.push_back(action);
}

void EditorMenu::updateEntries() {
    // One box, or several: the editor they all have is checked.
    const auto selection = panel_.panel().selectionEditor();
    for (QAction* action : entries_) {
        const std::string name = action->data().toString().toStdString();
        // Editors that are not installed stay choosable: a document may be meant for others.
        action->setEnabled(selection.any);
        action->setChecked(selection.common == name);
    }
}

} // namespace pathwicks
