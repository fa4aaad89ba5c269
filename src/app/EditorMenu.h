#pragma once

#include <QMenu>

#include <string>
#include <vector>

namespace pathwicks {

class DetailPanelWidget;
class EditorAvailability;

// The Editor menu: the panel's editor pop-up, reachable from the keyboard. It checks the editor
// of the reference the panel shows. Installed editors come first, the others in a "More
// Editors" submenu (app/EditorEntryText's editorListing).
class EditorMenu : public QMenu {
    Q_OBJECT
public:
    EditorMenu(DetailPanelWidget& panel, const EditorAvailability& editors, QWidget* parent);

    // Brings the checks and the enabled entries in line with the panel.
    void updateEntries();

private:
    // One entry per editor: the installed ones, the user's own after a separator, then the
    // others in a submenu.
    void addEntries();
    void addEditor(QMenu& menu, const std::string& name, bool installed);

    DetailPanelWidget& panel_;
    const EditorAvailability& editors_;
    QActionGroup* group_ = nullptr;
    std::vector<QAction*> entries_;
};

} // namespace pathwicks
