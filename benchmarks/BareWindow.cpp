// The yardstick for the launch benchmark: a bare Qt main window that quits after its first paint.
#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QPaintEvent>
#include <QTimer>

namespace {

class Content : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent* event) override {
        QLabel::paintEvent(event);
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
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
