#pragma once

#include <QWidget>

class QLayout;
class QListWidget;

namespace pathwicks {

class Application;

// Shown when the program starts without a document: New, Open, and the recent documents.
class StartWindow : public QWidget {
    Q_OBJECT
public:
    explicit StartWindow(Application& application);

protected:
    // The recent documents have the keyboard, so that Return opens the one selected.
    void showEvent(QShowEvent* event) override;

private:
    // The icon, the name and what the program is for.
    QLayout* makeBanner();
    // New, Open, Quit and Close from the keyboard.
    void addShortcuts();
    void fillRecentList();
    void openSelected();

    Application& application_;
    QListWidget* recent_ = nullptr;
};

} // namespace pathwicks
