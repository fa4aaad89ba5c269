#pragma once

#include "editors/EditorChoice.h"

#include <QDialog>

class QComboBox;
class QRadioButton;

namespace pathwicks {

class UserDefaults;

// Edit › Preferences…: which editor boxes open in for this user. What is chosen is the user's,
// never the document's.
class PreferencesDialog : public QDialog {
    Q_OBJECT
public:
    PreferencesDialog(const EditorAvailability& editors, const EditorPreferences& preferences,
                      QWidget* parent);

    EditorPreferences chosen() const;

    // Shows the dialog over parent and keeps what is chosen in defaults.
    static void edit(QWidget* parent, const EditorAvailability& editors, UserDefaults& defaults);

private:
    QRadioButton* boxEditor_ = nullptr;
    QRadioButton* mine_ = nullptr;
    QComboBox* myEditor_ = nullptr;
};

} // namespace pathwicks
