#include "app/EditorMenu.h"

#include "app/DetailPanelWidget.h"
#include "editors/EditorAvailability.h"
#include "editors/EditorCatalogue.h"

#include <QActionGroup>

namespace pathwicks {

EditorMenu::EditorMenu(DetailPanelWidget& panel, const EditorAvailability& editors,
                       QWidget* parent)
    : QMenu(tr("E&ditor"), parent), panel_(panel), editors_(editors) {
    auto* group = new QActionGroup(this);
    for (const Editor& editor : editorCatalogue()) {
        const QString name = QString::fromUtf8(editor.name.data(), qsizetype(editor.name.size()));
        QAction* action = addAction(name, this, [this, name] {
            if (panel_.panel().shownReference())
                panel_.panel().editorChosen(name.toStdString());
        });
        action->setCheckable(true);
        group->addAction(action);
    }
    connect(this, &QMenu::aboutToShow, this, &EditorMenu::updateEntries);
}

void EditorMenu::updateEntries() {
    const ReferencePtr shown = panel_.panel().shownReference();
    for (QAction* action : actions()) {
        const std::string name = action->text().toStdString();
        action->setEnabled(shown && editors_.isEditorAvailable(name));
        action->setChecked(shown && shown->editor == name);
    }
}

} // namespace pathwicks
