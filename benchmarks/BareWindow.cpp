// The yardstick for the launch benchmark: a bare Qt main window that quits after its first paint,
// saying when that painting ended.
#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QPaintEvent>
#include <QTimer>

#include <chrono>
#include <iostream>

namespace {

class Content : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent* event) override {
        QLabel::paintEvent(event);
        // As the program does for the benchmark: when the painting has ended, it says when.
        QTimer::singleShot(0, qApp, [] {
            const auto now = std::chrono::system_clock::now().time_since_epoch();
            std::cerr << "painted at "
                      << std::chrono::duration_cast<std::chrono::microseconds>(now).count()
                      << std::endl;
            QCoreApplication::quit();
        });
    }
};

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setCentralWidget(new Content("bare"));
    window.resize(1000, 700);
    window.show();
    return QApplication::exec();
}
