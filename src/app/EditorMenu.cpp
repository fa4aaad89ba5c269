#include "app/EditorMenu.h"

#include "app/DetailPanelWidget.h"
#include "app/EditorEntryText.h"
#include "editors/EditorAvailability.h"

#include <QActionGroup>

namespace pathwicks {

EditorMenu::EditorMenu(DetailPanelWidget& panel, const EditorAvailability& editors, QWidget* parent)
    : QMenu(tr("E&ditor"), parent), panel_(panel), editors_(editors) {
    auto* group = new QActionGroup(this);
    bool ownEditors = false;
    for (const std::string& name : editors.editorNames()) {
        // The user's own editors follow the catalogue's, after a separator.
        if (editors.isUserEditorOnly(name) && !ownEditors) {
            addSeparator();
            ownEditors = true;
        }
        // An ampersand in a user's editor name is shown, not taken as a shortcut.
        QString text = editorEntryText(name, editors.isEditorAvailable(name));
        text.replace('&', "&&");
        QAction* action = addAction(text, this, [this, name] {
            if (panel_.panel().shownReference())
                panel_.panel().editorChosen(name);
            else
                panel_.panel().editorChosenForSelection(name);
        });
        action->setData(QString::fromStdString(name));
        action->setCheckable(true);
        group->addAction(action);
    }
    connect(this, &QMenu::aboutToShow, this, &EditorMenu::updateEntries);
    connect(&panel_, &DetailPanelWidget::shownChanged, this, &EditorMenu::updateEntries);
    updateEntries();
}

void EditorMenu::updateEntries() {
    // One box, or several: the editor they all have is checked.
    const auto selection = panel_.panel().selectionEditor();
    for (QAction* action : actions()) {
        if (action->isSeparator())
            continue;
        const std::string name = action->data().toString().toStdString();
        // Editors that are not installed stay choosable: a document may be meant for others.
        action->setEnabled(selection.any);
        action->setChecked(selection.common == name);
    }
}

} // namespace pathwicks
