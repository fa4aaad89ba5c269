#include "app/UserDialogs.h"

#include "app/PlainText.h"
#include "app/RecoveryDialog.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace pathwicks {

namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("UserDialogs", text);
}

// The file dialogs' filter: documents first, then any file.
QString fileFilter() {
    return tr("Pathwicks documents (*.pathwicks);;All files (*)");
}

} // namespace

UserDialogs::UnsavedChanges MessageBoxDialogs::askToSaveChanges(QWidget* parent,
                                                                const QString& name) {
    QMessageBox box(QMessageBox::Warning, tr("Pathwicks"), QString(),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, parent);
    setPlainTexts(box, tr("Do you want to save the changes you made to “%1”?").arg(name),
                  tr("Your changes will be lost if you don’t save them."));
    box.button(QMessageBox::Discard)->setText(tr("Don’t Save"));
    box.setDefaultButton(QMessageBox::Save);
    switch (box.exec()) {
    case QMessageBox::Save:
        return UnsavedChanges::save;
    case QMessageBox::Discard:
        return UnsavedChanges::discard;
    default:
        return UnsavedChanges::cancel;
    }
}

bool MessageBoxDialogs::askToSaveOverChangedFile(QWidget* parent, const QString& name,
                                                 bool removed) {
    QMessageBox box(QMessageBox::Warning, tr("Pathwicks"), QString(), QMessageBox::Cancel, parent);
    setPlainTexts(box,
                  removed ? tr("The file “%1” has been moved or deleted by another program "
                               "since you opened or saved it.").arg(name)
                          : tr("The file “%1” has been changed by another program since you "
                               "opened or saved it.").arg(name),
                  removed ? tr("Saving writes this document there again.")
                          : tr("Saving replaces those changes with this document."));
    QPushButton* saveAnyway = box.addButton(tr("Save Anyway"), QMessageBox::AcceptRole);
    box.setDefaultButton(QMessageBox::Cancel);
    box.exec();
    return box.clickedButton() == saveAnyway;
}

bool MessageBoxDialogs::askToReloadChangedFile(QWidget* parent, const QString& name) {
    QMessageBox box(QMessageBox::Warning, tr("Pathwicks"),
                    tr("The file “%1” has been changed by another program, and this window has "
                       "unsaved changes.").arg(name),
                    QMessageBox::NoButton, parent);
    box.setInformativeText(tr("Reload shows the file as it is now (Undo brings your changes "
                              "back); Keep Mine keeps this window as it is."));
    QPushButton* reload = box.addButton(tr("Reload"), QMessageBox::AcceptRole);
    QPushButton* keep = box.addButton(tr("Keep Mine"), QMessageBox::RejectRole);
    box.setDefaultButton(keep);
    box.setEscapeButton(keep);
    box.exec();
    return box.clickedButton() == reload;
}

UserDialogs::Recovery
MessageBoxDialogs::askToRestore(QWidget* parent, const std::vector<RecoveredDocument>& documents) {
    return RecoveryDialog::ask(parent, documents);
}

QString MessageBoxDialogs::askSavePath(QWidget* parent, const QString& suggested) {
    // The dialog adds the extension itself, before it asks about replacing a file.
    QFileDialog dialog(parent, tr("Save Document"), suggested, fileFilter());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix("pathwicks");
    dialog.selectFile(suggested);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().front();
}

bool MessageBoxDialogs::askToReplace(QWidget* parent, const QString& name) {
    QMessageBox box(QMessageBox::Warning, tr("Pathwicks"), QString(), QMessageBox::Cancel, parent);
    setPlainTexts(box, tr("“%1” already exists. Do you want to replace it?").arg(name),
                  tr("Replacing it overwrites what it holds."));
    QPushButton* replace = box.addButton(tr("Replace"), QMessageBox::DestructiveRole);
    box.setDefaultButton(QMessageBox::Cancel);
    box.exec();
    return box.clickedButton() == replace;
}

bool MessageBoxDialogs::askToSaveReadOnlyElsewhere(QWidget* parent, const QString& name) {
    QMessageBox box(QMessageBox::Warning, tr("Pathwicks"), QString(), QMessageBox::Cancel, parent);
    setPlainTexts(box, tr("The file “%1” is read-only.").arg(name),
                  tr("It is not saved over. Save the document somewhere else?"));
    QPushButton* saveAs = box.addButton(tr("Save As…"), QMessageBox::AcceptRole);
    box.setDefaultButton(saveAs);
    box.exec();
    return box.clickedButton() == saveAs;
}

QStringList MessageBoxDialogs::askOpenPaths(QWidget* parent, const QString& folder) {
    return QFileDialog::getOpenFileNames(parent, tr("Open Document"), folder, fileFilter());
}

void MessageBoxDialogs::reportFailure(QWidget* parent, const QString& what,
                                      const QString& details) {
    QMessageBox box(QMessageBox::Critical, tr("Pathwicks"), QString(), QMessageBox::Ok, parent);
    setPlainTexts(box, what, details);
    box.exec();
}

void MessageBoxDialogs::tell(QWidget* parent, const QString& message) {
    QMessageBox box(QMessageBox::Warning, tr("Pathwicks"), QString(), QMessageBox::Ok, parent);
    setPlainTexts(box, message);
    box.exec();
}

bool MessageBoxDialogs::confirm(QWidget* parent, const QString& question, const QString& action) {
    QMessageBox box(QMessageBox::Question, tr("Pathwicks"), QString(), QMessageBox::NoButton,
                    parent);
    setPlainTexts(box, question);
    QPushButton* go = box.addButton(action, QMessageBox::AcceptRole);
    box.setDefaultButton(box.addButton(QMessageBox::Cancel));
    box.exec();
    return box.clickedButton() == go;
}

void MessageBoxDialogs::notify(QWidget* parent, const QString& message, const QString& details) {
    auto* box = new QMessageBox(QMessageBox::Information, tr("Pathwicks"), QString(),
                                QMessageBox::Ok, parent);
    setPlainTexts(*box, message, details);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->show();
}

} // namespace pathwicks
