// A step of the build: the program's icon drawn once from its SVG into pictures of the sizes
// window managers ask for, so a window shows it without drawing an SVG or decoding a PNG as the
// program starts. Each picture is its premultiplied 32-bit pixels as they lie in memory, row by
// row (the build and the program run on the same machine).
// Usage: render_icon ICON.svg FOLDER SIZE...  (writes FOLDER/pathwicks-SIZE.pixels)
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[]) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: render_icon ICON.svg FOLDER SIZE...\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    QSvgRenderer renderer(QString::fromLocal8Bit(argv[1]));
    if (!renderer.isValid()) {
        std::fprintf(stderr, "render_icon: %s is no SVG picture\n", argv[1]);
        return 1;
    }
    for (int i = 3; i < argc; ++i) {
        const int size = std::atoi(argv[i]);
        if (size <= 0 || size > 1024) {
            std::fprintf(stderr, "render_icon: %s is no size\n", argv[i]);
            return 2;
        }
        QImage picture(size, size, QImage::Format_ARGB32_Premultiplied);
        picture.fill(Qt::transparent);
        QPainter painter(&picture);
        renderer.render(&painter);
        painter.end();
        const QString path =
            QString::fromLocal8Bit(argv[2]) + "/pathwicks-" + QString::number(size) + ".pixels";
        QFile file(path);
        const auto bytes = qint64(picture.sizeInBytes());
        if (!file.open(QIODevice::WriteOnly) ||
            file.write(reinterpret_cast<const char*>(picture.constBits()), bytes) != bytes) {
            std::fprintf(stderr, "render_icon: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
