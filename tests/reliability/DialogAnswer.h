// Answers the modal dialogs a window puts up while a test waits on it, and records their text.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <functional>
#include <string>
#include <vector>

namespace pathwicks::testing {

class DialogAnswers {
public:
    // Each dialog that comes up is answered by the next function in turn; the last one answers
    // any after it.
    explicit DialogAnswers(std::vector<std::function<void(QMessageBox&)>> answers)
        : answers_(std::move(answers)) {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || box == last_)
                return;
            last_ = box;
            texts.push_back((box->text() + "\n" + box->informativeText()).toStdString());
            const size_t which = std::min(texts.size(), answers_.size()) - 1;
            answers_[which](*box);
        });
        timer_.start();
    }
    std::vector<std::string> texts;

private:
    std::vector<std::function<void(QMessageBox&)>> answers_;
    QMessageBox* last_ = nullptr;
    QTimer timer_;
};

inline std::function<void(QMessageBox&)> press(QMessageBox::StandardButton which) {
    return [which](QMessageBox& box) { box.button(which)->click(); };
}

inline std::function<void(QMessageBox&)> pressNamed(const QString& text) {
    return [text](QMessageBox& box) {
        for (QAbstractButton* button : box.buttons()) {
            if (button->text() == text) {
                button->click();
                return;
            }
        }
        box.reject();
    };
}

} // namespace pathwicks::testing
