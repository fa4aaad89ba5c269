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
    connect(&panel_, &DetailPanelWidget::editorsRefilled, this, [this] {
        clear();
        qDeleteAll(findChildren<QActionGroup*>(Qt::FindDirectChildrenOnly));
        addEntries();
    });
}

void EditorMenu::addEntries() {
    auto* group = new QActionGroup(this);
    bool ownEditors = false;
    for (const std::string& name : editors_.editorNames()) {
        // The user's own editors follow the catalogue's, after a separator.
        if (editors_.isUserEditorOnly(name) && !ownEditors) {
            addSeparator();
            ownEditors = true;
        }
        // An ampersand in a user's editor name is shown, not taken as a shortcut.
        const QString text = plainMenuText(editorEntryText(name, editors_.isEditorAvailable(name)));
        QAction* action = addAction(text, this, [this, name] {
            if (panel_.panel().shownReference())
                panel_.panel().editorChosen(name);
        });
        action->setData(QString::fromStdString(name));
        action->setCheckable(true);
        group->addAction(action);
    }
    updateEntries();
}

void EditorMenu::updateEntries() {
    const ReferencePtr shown = panel_.panel().shownReference();
    for (QAction* action : actions()) {
        if (action->isSeparator())
            continue;
        const std::string name = action->data().toString().toStdString();
        // Editors that are not installed stay choosable: a document may be meant for others.
        action->setEnabled(shown != nullptr);
        action->setChecked(shown && shown->editor == name);
    }
}

} // namespace pathwicks
