#pragma once

#include "app/UserDialogs.h"

#include <QDialog>

class QDialogButtonBox;

namespace pathwicks {

// The question at the start after the program ended without saving: the documents whose
// unsaved work was kept, by name, folder and time, with Restore, Discard and Later.
class RecoveryDialog : public QDialog {
    Q_OBJECT
public:
    RecoveryDialog(QWidget* parent, const std::vector<UserDialogs::RecoveredDocument>& documents);

    static UserDialogs::Recovery
    ask(QWidget* parent, const std::vector<UserDialogs::RecoveredDocument>& documents);

private:
    // Restore, Discard and Later, each setting the choice.
    QDialogButtonBox* makeButtons();

    UserDialogs::Recovery choice_ = UserDialogs::Recovery::later;
};

} // namespace pathwicks
