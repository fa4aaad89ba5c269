#include "app/DrawListPainter.h"

#include "appearance/CanvasDrawing.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace pathwicks {
namespace {

const AppearanceConfig& config() {
    static const AppearanceConfig c =
        AppearanceConfig::fromFile(PATHWICKS_SOURCE_DIR "/resources/Config.json");
    return c;
}

StepsModel busyModel() {
    StepsModel model;
    std::mt19937 random(7);
    std::uniform_real_distribution<double> coordinate(-60, 620);
    std::vector<ReferencePtr> content;
    for (int i = 0; i < 40; ++i) {
        auto r = std::make_shared<Reference>();
        r->title = "Step number " + std::to_string(i) + " with a title long enough to wrap";
        r->rect = {coordinate(random), coordinate(random), 140, 50};
        r->selected = i % 7 == 0;
        content.push_back(r);
    }
    model.setContent(content);
    for (int i = 0; i + 1 < 40; i += 2)
        model.arrows.push_back({content[i], content[(i * 7 + 3) % 40]});
    for (int i = 0; i < 8; ++i) {
        auto label = Label::fromDictionary(nlohmann::json::object());
        label->rect = {coordinate(random), coordinate(random), 180, 29};
        model.labels.push_back(label);
    }
    return model;
}

QImage paint(const DrawList& list, const QRect& clip, const QtTextMeasurer& measurer) {
    QImage image(600, 600, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setClipRect(clip);
    paintDrawList(painter, list, measurer);
    return image;
}

TEST(DrawListPainter, LeavingOutWhatLiesOutsideChangesNoPixelInside) {
    const StepsModel model = busyModel();
    const QtTextMeasurer measurer;
    InteractionOverlay overlay;
    overlay.rubberBand = Rect{150, 150, 200, 90};
    const Size bounds{600, 600};
    const DrawList whole =
        drawCanvas(model, overlay, {bounds, {0, 0, 600, 600}}, config(), measurer);

    for (const QRect area : {QRect(0, 0, 600, 600), QRect(123, 77, 211, 149), QRect(299, 301, 7, 5),
                             QRect(0, 450, 600, 37)}) {
        const DrawList part = drawCanvas(
            model, overlay,
            {bounds,
             {double(area.x()), double(area.y()), double(area.width()), double(area.height())}},
            config(), measurer);
        EXPECT_LE(part.size(), whole.size());
        // The whole list, background and all, painted through the same clip.
        QImage expected = paint(whole, area, measurer);
        QImage actual = paint(part, area, measurer);
        EXPECT_TRUE(expected == actual) << area.x() << "," << area.y();
    }
}

// Boxes piled three deep over 600 points square, some selected, with notes or a marker's
// mark, arrows under them.
StepsModel piledModel(MarkerStates& states) {
    StepsModel model;
    std::mt19937 random(11);
    std::uniform_real_distribution<double> coordinate(-40, 560);
    std::vector<ReferencePtr> content;
    for (int i = 0; i < 150; ++i) {
        auto r = std::make_shared<Reference>();
        r->id = "pathwick-" + std::to_string(i);
        r->title = i % 9 ? "Step " + std::to_string(i) : "A title long enough to wrap and be cut";
        r->rect = {coordinate(random), coordinate(random), 140, 50};
        r->selected = i % 11 == 0;
        r->note = i % 5 ? "" : "note";
        states.places[r->id] = i % 13 ? std::vector<MarkerLocation>{{"a.c", 1}}
                                      : std::vector<MarkerLocation>{};
        content.push_back(r);
    }
    model.setContent(content);
    for (int i = 0; i < 150; ++i)
        model.arrows.push_back({content[size_t(i)], content[size_t(i * 37 + 5) % 150]});
    return model;
}

// The list with an empty op after each box: no box is in a run of its style, and no title
// follows its box.
DrawList spacedOut(const DrawList& list) {
    DrawList spaced;
    for (const DrawOp& op : list) {
        spaced.push_back(op);
        if (std::holds_alternative<RectOp>(op))
            spaced.push_back(RectOp{{-10, -10, 1, 1}, 0, std::nullopt, std::nullopt, 1});
    }
    return spaced;
}

// Painted into a larger image, where the boxes add up to less than its area, nothing covered
// is left out; with an empty op after each box, no title is copied from an earlier painting.
// The picture is the same in every way, and painted again once all is kept.
TEST(DrawListPainter, CoveredShapesAndCopiedTitlesLeaveThePictureAsItWas) {
    MarkerStates states;
    const StepsModel model = piledModel(states);
    const QtTextMeasurer measurer;
    const DrawList list = drawCanvas(model, {}, {{600, 600}, {0, 0, 600, 600}}, config(),
                                     measurer, &states);
    const DrawList spaced = spacedOut(list);
    // Also on screens of more device pixels a point, where titles fall between pixels.
    for (const double ratio : {1.0, 1.25, 1.5, 2.0}) {
        auto picture = [&](const DrawList& ops, int side) {
            QImage image(int(side * ratio), int(side * ratio), QImage::Format_ARGB32_Premultiplied);
            image.setDevicePixelRatio(ratio);
            image.fill(Qt::transparent);
            QPainter painter(&image);
            paintDrawList(painter, ops, measurer);
            painter.end();
            return image.copy(0, 0, int(600 * ratio), int(600 * ratio));
        };
        const QImage expected = picture(spaced, 1200);
        for (const auto& [ops, side] : {std::pair{&list, 600}, {&list, 1200}, {&spaced, 600},
                                        {&list, 600}, {&spaced, 1200}})
            EXPECT_TRUE(picture(*ops, side) == expected)
                << ops->size() << " ops, " << side << ", ratio " << ratio;
    }
}

// A large picture is painted in two bands at once. Whatever crosses from one into the other
// (long arrows far out, dashed marks, titles) is painted as in parts too small for bands, also
// when each band draws the list of its own part.
TEST(DrawListPainter, APictureInBandsIsThePictureInParts) {
    MarkerStates states;
    const StepsModel model = piledModel(states);
    const QtTextMeasurer measurer;
    {
        // The first large frame is painted in one piece, and starts the second thread.
        QImage first(800, 800, QImage::Format_ARGB32_Premultiplied);
        QPainter painter(&first);
        paintDrawList(painter, {}, measurer);
    }
    for (const auto& [zoom, ratio] :
         {std::pair{0.4, 1.0}, {0.15, 1.0}, {1.6, 1.0}, {1.6, 1.5}, {2.5, 1.25}}) {
        CanvasViewport viewport{{600, 600}, {0, 0, 600, 600}};
        viewport.scale = zoom;
        const DrawList list = drawCanvas(model, {}, viewport, config(), measurer, &states);
        const DrawArea drawBand = [&](const Rect& area, const QtTextMeasurer& fonts) {
            return drawCanvas(model, {}, {{600, 600}, area, {}, zoom}, config(), fonts, &states);
        };
        const int side = int(960 * ratio);
        auto picture = [&](const std::vector<QRect>& parts, bool drawnInBands = false) {
            QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
            image.setDevicePixelRatio(ratio);
            image.fill(Qt::magenta);
            for (const QRect& part : parts) {
                QPainter painter(&image);
                painter.setClipRect(part);
                painter.scale(zoom, zoom);
                // Far out, the boxes are moved down to lie across the middle.
                painter.translate(0, std::max(0.0, 480 / zoom - 300));
                if (drawnInBands)
                    paintDrawn(painter, viewport.dirty, drawBand, measurer);
                else
                    paintDrawList(painter, list, measurer);
            }
            return image;
        };
        // In fifths, each under half a million pixels, none parted at the middle.
        std::vector<QRect> fifths;
        for (int top = 0; top < 960; top += 192)
            fifths.emplace_back(0, top, 960, 192);
        const QImage parts = picture(fifths);
        EXPECT_TRUE(picture({{0, 0, 960, 960}}) == parts) << zoom << ", ratio " << ratio;
        EXPECT_TRUE(picture({{0, 0, 960, 960}}, true) == parts)
            << "each band drawn alone, " << zoom << ", ratio " << ratio;
    }
}

// A background large enough to go straight to memory is not written under the boxes' insides:
// the picture is the same as painted in halves too small for that, whatever the image held.
TEST(DrawListPainter, ALargeBackgroundLeavesThePictureAsItWas) {
    const StepsModel model = busyModel();
    const QtTextMeasurer measurer;
    CanvasViewport viewport{{600, 600}, {0, 0, 600, 600}};
    viewport.scale = 3.5;
    const DrawList list = drawCanvas(model, {}, viewport, config(), measurer);
    auto picture = [&](const std::vector<QRect>& parts, QColor before) {
        QImage image(2100, 2100, QImage::Format_ARGB32_Premultiplied);
        image.fill(before);
        for (const QRect& part : parts) {
            QPainter painter(&image);
            painter.setClipRect(part);
            painter.scale(3.5, 3.5);
            paintDrawList(painter, list, measurer);
        }
        return image;
    };
    const QImage expected = picture({{0, 0, 2100, 1050}, {0, 1050, 2100, 1050}}, Qt::magenta);
    EXPECT_TRUE(picture({{0, 0, 2100, 2100}}, Qt::magenta) == expected);
    EXPECT_TRUE(picture({{0, 0, 2100, 2100}}, Qt::cyan) == expected);
}

TEST(DrawListPainter, PaintsBoxesGridAndTitles) {
    StepsModel model;
    auto r = std::make_shared<Reference>();
    r->title = "Title";
    r->rect = {20, 20, 140, 50};
    model.setContent({r});
    const QtTextMeasurer measurer;
    const DrawList list = drawCanvas(model, {}, {{200, 200}, {0, 0, 200, 200}}, config(), measurer);
    const QImage image = paint(list, QRect(0, 0, 200, 200), measurer);
    auto rgb = [](const Color& c) {
        return QColor::fromRgbF(float(c.red), float(c.green), float(c.blue)).rgb();
    };
    EXPECT_EQ(image.pixel(150, 150), rgb(config().namedColor("CanvasBackground")));
    EXPECT_EQ(image.pixel(30, 60), rgb(config().namedColor("ReferenceBackground")));
    // Some dark pixels where the title stands, none at the box's bottom corner.
    int dark = 0;
    for (int x = 20; x < 160; ++x)
        for (int y = 28; y < 44; ++y)
            dark += qGray(image.pixel(x, y)) < 100;
    EXPECT_GT(dark, 10);
}

// Far out, boxes are a few pixels and drawn the cheap way: every box and label still shows,
// each box with its outline around its fill, later ones over earlier ones where they overlap.
TEST(DrawListPainter, FarOutEveryBoxShows) {
    StepsModel model;
    std::vector<ReferencePtr> content;
    std::mt19937 random(3);
    std::uniform_real_distribution<double> jitter(-120, 120);
    for (int i = 0; i < 600; ++i) {
        auto r = std::make_shared<Reference>();
        r->id = "pathwick-" + std::to_string(i);
        r->title = "Step " + std::to_string(i);
        // Rows of boxes with room between them; every fifth pushed onto its neighbour.
        r->rect = {double(i % 30) * 200 + 140 + (i % 5 == 0 ? jitter(random) : 0),
                   double(i / 30) * 90 + 40 + (i % 5 == 0 ? jitter(random) / 3 : 0), 150, 50};
        r->selected = i % 17 == 0;
        content.push_back(r);
    }
    model.setContent(content);
    for (int i = 0; i + 1 < 600; i += 3)
        model.arrows.push_back({content[i], content[i + 1]});
    for (int i = 0; i < 20; ++i) {
        auto label = Label::fromDictionary(nlohmann::json::object());
        label->rect = {double(i) * 300 + 10, 1850, 200, 29};
        model.labels.push_back(label);
    }
    const QtTextMeasurer measurer;
    auto rgb = [](const Color& c) {
        return QColor::fromRgbF(float(c.red), float(c.green), float(c.blue)).rgb();
    };
    const QRgb background = rgb(config().namedColor("CanvasBackground"));
    for (const double scale : {0.1, 0.06}) {
        CanvasViewport viewport{{6200, 1900}, {0, 0, 6200, 1900}, {}, scale};
        const DrawList list = drawCanvas(model, {}, viewport, config(), measurer);
        auto picture = [&](const DrawList& ops) {
            QImage image(int(6200 * scale) + 1, int(1900 * scale) + 1,
                         QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::transparent);
            QPainter painter(&image);
            painter.scale(scale, scale);
            paintDrawList(painter, ops, measurer);
            return image;
        };
        // Each box apart from the run of its style, as a band or a repaint may leave it, alike.
        QImage image = picture(list);
        EXPECT_TRUE(picture(spacedOut(list)) == image) << scale;
        auto pixelsOf = [&](const Rect& r) {
            return QRectF(r.x * scale, r.y * scale, r.width * scale, r.height * scale)
                .toAlignedRect()
                .intersected(image.rect());
        };
        auto painted = [&](const Rect& r) {
            const QRect area = pixelsOf(r);
            for (int y = area.top(); y <= area.bottom(); ++y)
                for (int x = area.left(); x <= area.right(); ++x)
                    if (image.pixel(x, y) != background)
                        return true;
            return false;
        };
        for (size_t i = 0; i < content.size(); ++i) {
            const Reference& r = *content[i];
            ASSERT_TRUE(painted(r.rect)) << scale << " box " << i;
            // Boxes drawn after this one may cover its middle.
            bool covered = false;
            for (size_t j = 0; j < content.size(); ++j) {
                const bool drawnAfter = content[j]->selected != r.selected
                                            ? content[j]->selected
                                            : j > i;
                covered |= drawnAfter && pixelsOf(content[j]->rect).intersects(pixelsOf(r.rect));
            }
            if (covered || scale != 0.1)
                continue;
            // A box nothing covers: its rim in the border colour, inside it the fill.
            const QRect area = pixelsOf(r.rect);
            const QRgb border = rgb(config().namedColor(r.selected ? "ReferenceSelectedBorder"
                                                                   : "ReferenceBorder"));
            const QRgb fill = rgb(config().namedColor(r.selected ? "ReferenceSelectedBackground"
                                                                 : "ReferenceBackground"));
            int wrong = 0;
            for (int y = area.top(); y <= area.bottom(); ++y) {
                for (int x = area.left(); x <= area.right(); ++x) {
                    const bool rim = x == area.left() || x == area.right() ||
                                     y == area.top() || y == area.bottom();
                    wrong += image.pixel(x, y) != (rim ? border : fill);
                }
            }
            EXPECT_EQ(wrong, 0) << "box " << i;
        }
        for (const LabelPtr& label : model.labels)
            EXPECT_TRUE(painted(label->rect)) << scale;

        // With a marker check's marks: every box whose marker is missing or repeated shows
        // its colour at its top right corner, unless a box drawn above covers the corner.
        MarkerStates states;
        for (size_t i = 0; i < content.size(); ++i) {
            const std::vector<MarkerLocation> once{{"a.c", i + 1}};
            states.places[content[i]->id] =
                i % 10 == 3   ? std::vector<MarkerLocation>{}
                : i % 20 == 7 ? std::vector<MarkerLocation>{{"a.c", 1}, {"b.c", 2}}
                              : once;
        }
        const DrawList marked = drawCanvas(model, {}, viewport, config(), measurer, &states);
        const QImage unmarked = image;
        image = picture(marked);
        EXPECT_TRUE(picture(spacedOut(marked)) == image) << scale << ", marked";
        for (size_t i = 0; i < content.size(); ++i) {
            if (i % 10 != 3 && i % 20 != 7)
                continue;
            const Rect& box = content[i]->rect;
            const Rect corner{box.maxX() - 4, box.minY() - 4, 8, 8};
            bool hidden = false;
            for (const ReferencePtr& other : content)
                hidden |= other->selected && !content[i]->selected &&
                          pixelsOf(other->rect).intersects(pixelsOf(corner));
            if (hidden)
                continue;
            const Color c =
                config().namedColor(i % 10 == 3 ? "MarkerMissing" : "MarkerDuplicated");
            auto away = [&](const QColor& p) {
                return std::abs(p.redF() - c.red) + std::abs(p.greenF() - c.green) +
                       std::abs(p.blueF() - c.blue);
            };
            const QRect area = pixelsOf(corner);
            int shown = 0;
            for (int y = area.top(); y <= area.bottom(); ++y) {
                for (int x = area.left(); x <= area.right(); ++x) {
                    // Nearer the mark's colour than without the mark.
                    shown += away(image.pixelColor(x, y)) < away(unmarked.pixelColor(x, y)) - 0.1;
                }
            }
            EXPECT_GT(shown, 0) << scale << " mark of box " << i;
        }
    }
}

TEST(QtTextMeasurer, LabelTitlesMeasureLargerThanReferenceTitles) {
    const QtTextMeasurer measurer;
    const Size small = measurer.measureText("Same text", referenceTextAttributes());
    const Size large = measurer.measureText("Same text", labelTextAttributes());
    EXPECT_GT(small.width, 30);
    EXPECT_GT(large.width, small.width * 1.8);
    EXPECT_GT(large.height, small.height);
    EXPECT_GT(measurer.lineHeight(labelTextAttributes()), measurer.ascent(labelTextAttributes()));
    EXPECT_EQ(measurer.measureText("", referenceTextAttributes()).width, 0);
}

} // namespace
} // namespace pathwicks
