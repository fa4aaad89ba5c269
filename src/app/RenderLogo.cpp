// A step of the build: the outline of the logo's letters, "Pathwicks" in bold 14-pixel
// DejaVu Sans, with the size a label of that text would have. The canvas fills the outline, so
// showing the logo loads no font as a window opens, and it is sharp at every scale.
// Usage: render_logo FILE  (a QDataStream of the size, then the outline)
#include <QDataStream>
#include <QFile>
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainterPath>

#include <cstdio>

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: render_logo FILE\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setBold(true);
    font.setPixelSize(14);
    const QString text = QStringLiteral("Pathwicks");
    const QFontMetrics metrics(font);
    QPainterPath outline;
    outline.addText(0, metrics.ascent(), font, text);
    QFile file(QString::fromLocal8Bit(argv[1]));
    if (!file.open(QIODevice::WriteOnly)) {
        std::fprintf(stderr, "render_logo: cannot write %s\n", argv[1]);
        return 1;
    }
    QDataStream out(&file);
    out << QSize(metrics.horizontalAdvance(text), metrics.height()) << outline;
    return out.status() == QDataStream::Ok ? 0 : 1;
}
