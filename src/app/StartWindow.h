#pragma once

#include <QWidget>

class QListWidget;

namespace pathwicks {

class Application;

// Shown when the program starts without a document: New, Open, and the recent documents.
class StartWindow : public QWidget {
    Q_OBJECT
public:
    explicit StartWindow(Application& application);

private:
    void fillRecentList();
    void openSelected();

    Application& application_;
    QListWidget* recent_ = nullptr;
};

} // namespace pathwicks
