#include "app/PreferencesDialog.h"

#include "app/EditorEntryText.h"
#include "canvas/CanvasHost.h"
#include "model/Reference.h"
#include "panel/ReferenceLauncher.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

namespace pathwicks {

PreferencesDialog::PreferencesDialog(const EditorAvailability& editors,
                                     const EditorPreferences& preferences, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(tr("Preferences"));
    boxEditor_ = new QRadioButton(tr("The editor each box names when installed, else mine"), this);
    boxEditor_->setObjectName("openInBoxEditor");
    mine_ = new QRadioButton(tr("Always mine"), this);
    mine_->setObjectName("openInMine");
    (preferences.openIn == OpenBoxesIn::mine ? mine_ : boxEditor_)->setChecked(true);
    auto* openIn = new QVBoxLayout;
    openIn->addWidget(boxEditor_);
    openIn->addWidget(mine_);

    myEditor_ = new QComboBox(this);
    myEditor_->setObjectName("myEditor");
    for (const std::string& name : editors.editorNames())
        if (name != webLinkEditorName)
            myEditor_->addItem(editorEntryText(name, editors.isEditorAvailable(name)),
                               QString::fromStdString(name));
    myEditor_->setCurrentIndex(
        myEditor_->findData(QString::fromStdString(myEditor(preferences, editors))));

    auto* note = new QLabel(tr("Documents keep the editor their author chose for each box; "
                               "these choices are yours alone."),
                            this);
    note->setWordWrap(true);
    auto* form = new QFormLayout;
    form->addRow(tr("Open boxes in:"), openIn);
    form->addRow(tr("My editor:"), myEditor_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(note);
    layout->addWidget(buttons);
}

EditorPreferences PreferencesDialog::chosen() const {
    return {mine_->isChecked() ? OpenBoxesIn::mine : OpenBoxesIn::boxEditorWhenInstalled,
            myEditor_->currentData().toString().toStdString()};
}

void PreferencesDialog::edit(QWidget* parent, const EditorAvailability& editors,
                             UserDefaults& defaults) {
    PreferencesDialog dialog(editors, editorPreferences(&defaults), parent);
    if (dialog.exec() == QDialog::Accepted)
        saveEditorPreferences(defaults, dialog.chosen());
}

} // namespace pathwicks
