#pragma once

#include <QWidget>

#include <cstddef>

class QLabel;
class QLineEdit;

namespace pathwicks {

// The find field above the canvas: typing looks for a title, Return goes to the next match,
// Escape closes the bar. Hidden until opened.
class FindBar : public QWidget {
    Q_OBJECT
public:
    explicit FindBar(QWidget* parent);

    // Shows the bar and puts the keyboard in its field, its text selected.
    void open();
    QString text() const;
    // Tints the field when its text is found nowhere.
    void setFound(bool found);
    // Where the find stands, beside the field: "3 of 7", "No match", or nothing.
    void setCount(size_t position, size_t count);
    QString countText() const;

signals:
    void textChanged(const QString& text);
    void next();
    void closed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* field_ = nullptr;
    QLabel* count_ = nullptr;
};

} // namespace pathwicks
