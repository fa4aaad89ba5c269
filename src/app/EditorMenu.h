#pragma once

#include <QMenu>

namespace pathwicks {

class DetailPanelWidget;
class EditorAvailability;

// The Editor menu: the panel's editor pop-up, reachable from the keyboard. It checks the editor
// of the reference the panel shows and marks, as the pop-up does, the editors not installed.
class EditorMenu : public QMenu {
    Q_OBJECT
public:
    EditorMenu(DetailPanelWidget& panel, const EditorAvailability& editors, QWidget* parent);

    // Brings the checks and the enabled entries in line with the panel.
    void updateEntries();

private:
    // One entry per editor, the user's own after a separator.
    void addEntries();

    DetailPanelWidget& panel_;
    const EditorAvailability& editors_;
};

} // namespace pathwicks
