#include "app/DrawListPainter.h"

#include "appearance/CanvasDrawing.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace pathwicks {
namespace {

const Color paper{1, 1, 1, 1}, ink{0.2, 0.3, 0.4, 1}, mist{0.9, 0.95, 1, 1}, sand{0.9, 0.8, 0.6, 1};

QRgb rgb(const Color& c) {
    return QColor::fromRgbF(float(c.red), float(c.green), float(c.blue), float(c.alpha)).rgba();
}

// The list painted at a zoom on a screen of `ratio` device pixels a point, over paper.
QImage painted(const DrawList& list, double ratio, double zoom, QSize points = {400, 200}) {
    QImage image(int(points.width() * ratio), int(points.height() * ratio),
                 QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(QColor::fromRgba(rgb(paper)));
    QPainter painter(&image);
    painter.scale(zoom, zoom);
    paintDrawList(painter, list, QtTextMeasurer());
    return image;
}

// The lengths of the runs of one colour along a row of device pixels.
std::vector<int> runsOf(const QImage& image, int row, QRgb colour) {
    std::vector<int> runs;
    int length = 0;
    for (int x = 0; x <= image.width(); ++x) {
        if (x < image.width() && image.pixel(x, row) == colour) {
            ++length;
        } else if (length > 0) {
            runs.push_back(length);
            length = 0;
        }
    }
    return runs;
}

struct Scale {
    double ratio;
    double zoom;
};
const std::vector<Scale> scales{{1.25, 1}, {1.5, 1}, {2, 1}, {1.25, 0.9}, {1.5, 0.7}, {2, 1.1}};

TEST(FractionalScale, TouchingFillsLeaveNoSeam) {
    // Boxes without outline side by side at fractional places, as labels and fills meet.
    DrawList list;
    const std::vector<double> edges{10.3, 47.7, 81.1, 130.45, 171.9, 240.2};
    for (size_t i = 0; i + 1 < edges.size(); ++i)
        list.push_back(RectOp{{edges[i], 20.6, edges[i + 1] - edges[i], 50.3}, 0,
                              i % 2 ? sand : mist, std::nullopt, 1});
    for (const auto& [ratio, zoom] : scales) {
        const QImage image = painted(list, ratio, zoom);
        const int row = int(40 * zoom * ratio);
        const int first = int(std::ceil(edges.front() * zoom * ratio));
        const int last = int(edges.back() * zoom * ratio) - 1;
        for (int x = first; x <= last; ++x) {
            const QRgb p = image.pixel(x, row);
            EXPECT_TRUE(p == rgb(sand) || p == rgb(mist))
                << ratio << "x at " << zoom << ": a seam at device pixel " << x;
        }
    }
}

TEST(FractionalScale, BordersAreWholeDevicePixelsOfOneWidth) {
    // Rounded boxes like the references, placed a fraction of a pixel apart from each other.
    DrawList list;
    for (int i = 0; i < 5; ++i)
        list.push_back(RectOp{{12.37 + i * 61.3, 30.21 + i * 0.17, 50.5, 60.4}, 8, mist, ink, 2});
    for (const auto& [ratio, zoom] : scales) {
        const QImage image = painted(list, ratio, zoom);
        const int width = std::max(1, int(std::lround(2 * zoom * ratio)));
        // Across each box's middle: paper, outline, fill, outline, paper; nothing in between.
        const std::vector<int> across = runsOf(image, int(60 * zoom * ratio), rgb(ink));
        EXPECT_EQ(across, std::vector<int>(10, width)) << ratio << "x at " << zoom;
        std::map<QRgb, int> others;
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, int(60 * zoom * ratio));
            if (p != rgb(ink) && p != rgb(mist) && p != rgb(paper))
                ++others[p];
        }
        EXPECT_TRUE(others.empty()) << ratio << "x at " << zoom << ": blended edge pixels";
        // Down the middle of the first box: its top and bottom outlines.
        const QImage column = image.copy(int(37 * zoom * ratio), 0, 1, image.height())
                                  .transformed(QTransform().rotate(90));
        EXPECT_EQ(runsOf(column, 0, rgb(ink)), std::vector<int>(2, width))
            << ratio << "x at " << zoom;
    }
}

TEST(FractionalScale, GridLinesAreEvenAndSolid) {
    const StepsModel empty;
    CanvasViewport viewport{{400, 200}, {0, 0, 400, 200}};
    const AppearanceConfig config =
        AppearanceConfig::fromFile(PATHWICKS_SOURCE_DIR "/resources/Config.json");
    const DrawList list = drawCanvas(empty, {}, viewport, config, QtTextMeasurer());
    for (const auto& [ratio, zoom] : scales) {
        const QImage image = painted(list, ratio, zoom);
        // A row through the first dash of every upright line.
        const int row = int(2 * zoom * ratio);
        const QRgb background = image.pixel(int(50 * zoom * ratio), row);
        // The lines inside the picture; those at its edges are cut by it.
        std::vector<int> widths;
        int length = 0;
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, row) != background) {
                ++length;
            } else if (length > 0) {
                if (length < x)
                    widths.push_back(length);
                length = 0;
            }
        }
        const int expected = std::max(1, int(std::lround(zoom * ratio)));
        EXPECT_EQ(widths, std::vector<int>(widths.size(), expected)) << ratio << "x at " << zoom;
        EXPECT_GE(widths.size(), 3u);
    }
}

} // namespace
} // namespace pathwicks
