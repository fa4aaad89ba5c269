#include "app/PixelTarget.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <cmath>

namespace pathwicks {
namespace {

QImage paper(QImage::Format format = QImage::Format_ARGB32_Premultiplied) {
    QImage image(120, 80, format);
    image.fill(Qt::white);
    return image;
}

// How much ink the picture holds: the darkness of every pixel summed, a full pixel being 1.
double inkOf(const QImage& image) {
    double ink = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ink += (255 - qGray(image.pixel(x, y))) / 255.0;
    return ink;
}

QRect inkedArea(const QImage& image) {
    QRect area;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 250)
                area |= QRect(x, y, 1, 1);
    return area;
}

TEST(PixelTarget, LinesHoldTheInkAndPlaceOfThePaintersStroke) {
    struct Case {
        QLineF line;
        double width;
        PixelTarget::Cap cap;
    };
    const Case cases[] = {
        {{10, 40.5, 110, 40.5}, 1, PixelTarget::Cap::flat},
        {{20.3, 5, 20.3, 75}, 1, PixelTarget::Cap::flat},
        {{10, 10, 110, 70}, 1, PixelTarget::Cap::flat},
        {{10, 10, 30, 75}, 1.2, PixelTarget::Cap::round},
        {{10, 40, 110, 40}, 2, PixelTarget::Cap::flat},
        {{15.4, 12.7, 104.2, 66.1}, 2, PixelTarget::Cap::round},
        {{60, 5, 58, 75}, 4, PixelTarget::Cap::round},
        {{10, 70, 110, 20}, 3, PixelTarget::Cap::square},
        {{50, 40, 53, 42}, 2, PixelTarget::Cap::round},
    };
    for (const Case& c : cases) {
        QImage direct = paper(), painted = paper();
        {
            QPainter painter(&direct);
            PixelTarget::of(painter)->line(c.line.p1(), c.line.p2(), c.width, c.cap, Qt::black);
        }
        {
            QPainter painter(&painted);
            painter.setRenderHint(QPainter::Antialiasing);
            const Qt::PenCapStyle cap = c.cap == PixelTarget::Cap::round    ? Qt::RoundCap
                                        : c.cap == PixelTarget::Cap::square ? Qt::SquareCap
                                                                            : Qt::FlatCap;
            painter.setPen(QPen(Qt::black, c.width < 1.5 ? 0 : c.width, Qt::SolidLine, cap));
            painter.drawLine(c.line);
        }
        EXPECT_NEAR(inkOf(direct), inkOf(painted), 0.12 * inkOf(painted) + 1.5) << c.width;
        const QRect a = inkedArea(direct), b = inkedArea(painted);
        EXPECT_LE((a.topLeft() - b.topLeft()).manhattanLength(), 2) << c.width;
        EXPECT_LE((a.bottomRight() - b.bottomRight()).manhattanLength(), 2) << c.width;
    }
}

TEST(PixelTarget, PaintsOnlyWithinTheClipAndOnlyOnImagesItCanWrite) {
    QImage image = paper();
    {
        QPainter painter(&image);
        painter.setClipRect(QRect(30, 20, 40, 30));
        const auto target = PixelTarget::of(painter);
        ASSERT_TRUE(target);
        target->fill(QRect(0, 0, 120, 80), Qt::black);
        target->line({0, 0}, {120, 80}, 3, PixelTarget::Cap::round, Qt::red);
        target->line({0, 79}, {120, 0}, 1, PixelTarget::Cap::flat, Qt::red);
    }
    EXPECT_EQ(inkedArea(image), QRect(30, 20, 40, 30));

    QImage shallow = paper(QImage::Format_RGB16);
    QPainter onShallow(&shallow);
    EXPECT_FALSE(PixelTarget::of(onShallow));
    QImage other = paper();
    QPainter faint(&other);
    faint.setOpacity(0.5);
    EXPECT_FALSE(PixelTarget::of(faint));
    faint.setOpacity(1);
    faint.setClipRegion(QRegion(0, 0, 10, 10) + QRegion(50, 50, 10, 10));
    EXPECT_FALSE(PixelTarget::of(faint));
}

} // namespace
} // namespace pathwicks
