#include "app/DrawListPainter.h"

#include "appearance/CanvasDrawing.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

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
