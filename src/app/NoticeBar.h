#pragma once

#include <QFrame>

class QLabel;

namespace pathwicks {

// A line over the canvas's top edge that tells what happened without stopping the user: why a
// reference could not be opened, and what to do. It stays until closed or replaced.
class NoticeBar : public QFrame {
    Q_OBJECT
public:
    explicit NoticeBar(QWidget* parent);

    void showNotice(const QString& text);
    QString text() const;

private:
    QLabel* icon_ = nullptr;
    QLabel* text_ = nullptr;
};

} // namespace pathwicks
