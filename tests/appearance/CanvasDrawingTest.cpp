#include "appearance/CanvasDrawing.h"

#include "appearance/FakeLayoutMeasurer.h"

#include <gtest/gtest.h>

#include "appearance/SvgWriter.h"

#include <cmath>
#include <functional>
#include <random>

namespace pathwicks {
namespace {

using testing::FakeLayoutMeasurer;

const AppearanceConfig& metricsConfig() {
    static const AppearanceConfig config = AppearanceConfig::fromText(R"({
        "Color Scheme": "S",
        "S": {"CanvasBackground": "FFFFFF", "CanvasGrid": "000001", "Arrow": "000002",
              "ReferenceBackground": "000003", "ReferenceBorder": "000004",
              "ReferenceSelectedBackground": "000005", "ReferenceSelectedBorder": "000006",
              "LabelBackground": "000007", "LabelText": "000008", "SelectArea": "000009",
              "SelectBorder": "00000A", "AddArea": "00000B", "AddDetail": "00000C"},
        "CGFloat": {"ArrowGap": 5, "ArrowAngle": 30, "ArrowLength": 10, "ArrowLineWidth": 2}})");
    return config;
}

Color code(int n) {
    return AppearanceConfig::hexColor(n, 1);
}

ReferencePtr reference(Rect rect, std::string title = "Step", std::string editor = "Xcode") {
    auto r = std::make_shared<Reference>();
    r->id = "pathwick-" + title;
    r->title = std::move(title);
    r->editor = std::move(editor);
    r->rect = rect;
    return r;
}

DrawList draw(const StepsModel& model, const InteractionOverlay& overlay = {},
              const AppearanceConfig& config = metricsConfig(), Size bounds = {1000, 1000}) {
    const FakeLayoutMeasurer measurer;
    return drawCanvas(model, overlay, {bounds, {0, 0, bounds.width, bounds.height}}, config,
                      measurer);
}

template <typename Op> std::vector<Op> opsOf(const DrawList& list) {
    std::vector<Op> result;
    for (const auto& op : list)
        if (auto* o = std::get_if<Op>(&op))
            result.push_back(*o);
    return result;
}

std::vector<LinesOp> arrowsIn(const DrawList& list) {
    std::vector<LinesOp> result;
    for (const auto& op : opsOf<LinesOp>(list))
        if (op.cap == LineCap::round)
            result.push_back(op);
    return result;
}

void expectPoint(Point actual, double x, double y) {
    EXPECT_NEAR(actual.x, x, 5e-5);
    EXPECT_NEAR(actual.y, y, 5e-5);
}

TEST(CanvasGrid, LinesEveryHundredPointsFromTheOriginBothEndsIncluded) {
    StepsModel model;
    auto grid = opsOf<LinesOp>(draw(model, {}, metricsConfig(), {250, 120})).at(0);
    ASSERT_EQ(grid.lines.size(), 5u);
    for (int i = 0; i < 3; ++i) {
        expectPoint(grid.lines[i].from, 100 * i, 0);
        expectPoint(grid.lines[i].to, 100 * i, 120);
    }
    for (int j = 0; j < 2; ++j) {
        expectPoint(grid.lines[3 + j].from, 0, 100 * j);
        expectPoint(grid.lines[3 + j].to, 250, 100 * j);
    }
    EXPECT_EQ(grid.dashPattern, (std::vector<double>{4, 6}));
    EXPECT_EQ(grid.dashPhase, 10);
    EXPECT_EQ(grid.lineWidth, 1);
    EXPECT_EQ(grid.color, code(1));

    auto exact = opsOf<LinesOp>(draw(model, {}, metricsConfig(), {300, 120})).at(0);
    EXPECT_EQ(exact.lines.size(), 6u);
    expectPoint(exact.lines[3].from, 300, 0);
}

TEST(CanvasGrid, CoversACanvasThatStartsLeftOfAndAboveTheOrigin) {
    const FakeLayoutMeasurer measurer;
    const CanvasViewport viewport{{250, 120}, {-150, -50, 250, 120}, {-150, -50}};
    const auto grid =
        opsOf<LinesOp>(drawCanvas(StepsModel{}, {}, viewport, metricsConfig(), measurer)).at(0);
    ASSERT_EQ(grid.lines.size(), 4u);
    for (int i = 0; i < 3; ++i) {
        expectPoint(grid.lines[i].from, -100 + 100 * i, -50);
        expectPoint(grid.lines[i].to, -100 + 100 * i, 70);
    }
    expectPoint(grid.lines[3].from, -150, 0);
    expectPoint(grid.lines[3].to, 100, 0);
}

TEST(ArrowEndpoint, LeavesTheGrownBoxTowardThePoint) {
    const Rect box{0, 0, 100, 50};
    expectPoint(arrowEndpoint(box, {250, 125}, 0), 100, 50);
    expectPoint(arrowEndpoint(box, {250, 225}, 0), 75, 50);
    expectPoint(arrowEndpoint(box, {60, 30}, 0), 100, 50);  // from inside, still on the border
    expectPoint(arrowEndpoint(box, {80, 25.5}, 0), 50, 25); // within a point of level
    expectPoint(arrowEndpoint(box, {-300, 25}, 5), -5, 25);
    expectPoint(arrowEndpoint(box, {50.5, -200}, 5), 50, -5);
    expectPoint(arrowEndpoint(box, {50.5, 30}, 5), 50, 25);
    expectPoint(arrowEndpoint(box, {-250, -225}, 0), 20, 0);
}

TEST(ArrowDrawing, ShaftAndWingsBetweenTwoBoxes) {
    struct Case {
        Rect target;
        Point p1, p2, wingPlus, wingMinus;
    };
    for (const Case& c :
         {Case{{300, 0, 100, 50}, {105, 25}, {295, 25}, {286.3397, 30}, {286.3397, 20}},
          Case{{200, 200, 100, 50},
               {80, 55},
               {220, 195},
               {210.3407, 192.4118},
               {217.4118, 185.3407}}}) {
        StepsModel model;
        auto source = reference({0, 0, 100, 50}, "a");
        auto target = reference(c.target, "b");
        model.setContent({source, target});
        model.arrows.push_back({source, target});
        auto arrows = arrowsIn(draw(model));
        ASSERT_EQ(arrows.size(), 1u);
        const auto& lines = arrows[0].lines;
        ASSERT_EQ(lines.size(), 3u);
        expectPoint(lines[0].from, c.p1.x, c.p1.y);
        expectPoint(lines[0].to, c.p2.x, c.p2.y);
        expectPoint(lines[1].from, c.p2.x, c.p2.y);
        expectPoint(lines[1].to, c.wingPlus.x, c.wingPlus.y);
        expectPoint(lines[2].from, c.p2.x, c.p2.y);
        expectPoint(lines[2].to, c.wingMinus.x, c.wingMinus.y);
        EXPECT_EQ(arrows[0].lineWidth, 2);
        EXPECT_EQ(arrows[0].color, code(2));
        EXPECT_TRUE(arrows[0].dashPattern.empty());
    }
}

TEST(ArrowDrawing, WithoutConfigurationArrowsRunBorderToBorderWithAHeadlessTip) {
    StepsModel model;
    auto source = reference({0, 0, 100, 50}, "a");
    auto target = reference({300, 0, 100, 50}, "b");
    model.setContent({source, target});
    model.arrows.push_back({source, target});
    const AppearanceConfig empty;
    auto arrows = arrowsIn(draw(model, {}, empty));
    ASSERT_EQ(arrows.size(), 1u);
    expectPoint(arrows[0].lines[0].from, 100, 25);
    expectPoint(arrows[0].lines[0].to, 300, 25);
    expectPoint(arrows[0].lines[1].to, 300, 25);
    expectPoint(arrows[0].lines[2].to, 300, 25);
    EXPECT_EQ(arrows[0].lineWidth, 0);
    EXPECT_EQ(arrows[0].color, opaqueRed);
}

TEST(CanvasDrawing, ArrowsRepeatedBetweenTheSameBoxesAreDrawnOnce) {
    // A document may hold a million copies of one arrow; painting each took minutes.
    StepsModel model;
    auto first = reference({0, 0, 100, 50}, "first");
    auto second = reference({300, 0, 100, 50}, "second");
    auto twin = reference({0, 0, 100, 50}, "first"); // same place and id, another box
    model.setContent({first, second, twin});
    for (int i = 0; i < 1000; ++i)
        model.arrows.push_back({first, second});
    model.arrows.push_back({second, first});
    model.arrows.push_back({twin, second});
    EXPECT_EQ(arrowsIn(draw(model)).size(), 3u);
}

TEST(CanvasDrawing, PassesRunBackToFrontWithSelectedReferencesLast) {
    StepsModel model;
    auto first = reference({0, 0, 100, 50}, "first");
    auto second = reference({300, 0, 100, 50}, "second");
    first->selected = true;
    model.setContent({first, second});
    model.arrows.push_back({first, second});
    model.labels.push_back(
        Label::fromDictionary({{"title", "Note"}, {"rect", "{{0, 200}, {100, 30}}"}}));
    InteractionOverlay overlay;
    overlay.rubberBand = Rect{10, 10, 50, 50};

    std::vector<std::string> order;
    for (const auto& op : draw(model, overlay)) {
        if (auto* r = std::get_if<RectOp>(&op)) {
            if (r->fill == code(0xFFFFFF))
                order.push_back("background");
            else if (r->fill == code(7))
                order.push_back("label");
            else if (r->fill == code(3))
                order.push_back("reference");
            else if (r->fill == code(5) && r->stroke == code(6))
                order.push_back("selected");
            else if (r->fill == code(9) && r->stroke == code(10))
                order.push_back("rubber band");
        } else if (auto* l = std::get_if<LinesOp>(&op)) {
            order.push_back(l->dashPattern.empty() ? "arrow" : "grid");
        } else {
            order.push_back("text " + std::get<TextOp>(op).text);
        }
    }
    EXPECT_EQ(order, (std::vector<std::string>{"background", "grid", "label", "text Note", "arrow",
                                               "reference", "text second", "selected", "text first",
                                               "rubber band"}));
}

TEST(CanvasDrawing, ReferenceBoxesAndTitles) {
    StepsModel model;
    model.setContent({reference({10, 20, 140, 50}, "Docs,https://example.org", "Safari"),
                      reference({10, 100, 140, 50}, ",https://example.org", "Safari"),
                      reference({10, 200, 140, 50}, "a,b", "Xcode")});
    const auto list = draw(model);

    auto boxes = opsOf<RectOp>(list);
    ASSERT_EQ(boxes.size(), 4u);
    EXPECT_EQ(boxes[1].rect, (Rect{10, 20, 140, 50}));
    EXPECT_EQ(boxes[1].radius, 8);
    EXPECT_EQ(boxes[1].lineWidth, 2);
    EXPECT_EQ(boxes[1].stroke, code(4));

    auto texts = opsOf<TextOp>(list);
    ASSERT_EQ(texts.size(), 2u); // the title starting with a comma shows nothing
    EXPECT_EQ(texts[0].text, "Docs");
    EXPECT_EQ(texts[0].clip, (Rect{10, 20, 140, 50})); // the box itself
    EXPECT_EQ(texts[0].centerX, 80);
    EXPECT_EQ(texts[0].baseline, 28 + 12);
    EXPECT_EQ(texts[0].color, opaqueBlack);
    EXPECT_EQ(texts[0].style, TextStyle::reference);
    EXPECT_EQ(texts[1].text, "a,b");
}

// A note adds a page in the box's bottom right corner, inside the box; none without room for it.
TEST(CanvasDrawing, ABoxWithANoteCarriesAPage) {
    StepsModel model;
    model.setContent({reference({10, 20, 140, 50}), reference({10, 100, 20, 20})});
    const auto plain = draw(model);
    for (const auto& box : model.content())
        box->note = "Why";
    const auto noted = draw(model);
    ASSERT_EQ(noted.size(), plain.size() + 2);
    const auto pages = opsOf<RectOp>(noted);
    ASSERT_EQ(pages.size(), 4u);
    EXPECT_EQ(pages[2].rect, (Rect{135, 53, 9, 11}));
    EXPECT_EQ(pages[2].stroke, code(4));
}

TEST(CanvasDrawing, LabelsAreRoundedFillsWithTextInTheLabelColour) {
    StepsModel model;
    model.labels.push_back(
        Label::fromDictionary({{"title", "Hello"}, {"rect", "{{20, 40}, {200, 30}}"}}));
    const auto list = draw(model);
    auto label = opsOf<RectOp>(list).at(1);
    EXPECT_EQ(label.radius, 5);
    EXPECT_FALSE(label.stroke);
    auto text = opsOf<TextOp>(list).at(0);
    EXPECT_EQ(text.style, TextStyle::label);
    EXPECT_EQ(text.color, code(8));
    EXPECT_EQ(text.clip, (Rect{20, 40, 200, 30}));
}

// A title longer than its box shows is cut at the box, never below it, and titles too small
// to read at the view's scale are left out.
TEST(CanvasDrawing, TitlesStayInsideTheirBoxAndGoWhenTooSmallToRead) {
    StepsModel model;
    const Rect box{10, 20, 140, 30};
    model.setContent({reference(box, "aaaa bbbb cccc dddd eeee ffff gggg hhhh iiii jjjj")});
    auto label = Label::fromDictionary({{"title", "Note"}, {"rect", "{{20, 100}, {200, 30}}"}});
    label->selected = true;
    model.labels.push_back(label);
    const FakeLayoutMeasurer measurer;
    auto drawAt = [&](double scale) {
        return drawCanvas(model, {}, {{1000, 1000}, {0, 0, 1000, 1000}, {}, scale}, metricsConfig(),
                          measurer);
    };

    const auto texts = opsOf<TextOp>(drawAt(1));
    // Lines start 8 below the top and 15 apart: at 28 and 43; one at 58 would start below.
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0].text, "Note");
    EXPECT_EQ(texts[1].clip, box);
    EXPECT_EQ(texts[2].clip, box);
    EXPECT_EQ(texts[2].baseline, 43 + 12);
    // A selected label wears the selected outline.
    EXPECT_EQ(opsOf<RectOp>(drawAt(1)).at(1).stroke, code(6));

    // At a quarter the 12-point titles are 3 pixels high, the 24-point label 6.
    const auto quarter = opsOf<TextOp>(drawAt(0.25));
    ASSERT_EQ(quarter.size(), 1u);
    EXPECT_EQ(quarter[0].text, "Note");
    EXPECT_TRUE(opsOf<TextOp>(drawAt(0.2)).empty());
    EXPECT_EQ(opsOf<RectOp>(drawAt(0.2)).size(), 3u); // background, label, box
}

TEST(InteractionOverlay, RubberBandOnlyWhenGivenAndNormalised) {
    StepsModel model;
    InteractionOverlay overlay;
    EXPECT_EQ(opsOf<RectOp>(draw(model, overlay)).size(), 1u);
    overlay.rubberBand = Rect{60, 60, -50, -50}; // dragged up and to the left
    auto rects = opsOf<RectOp>(draw(model, overlay));
    ASSERT_EQ(rects.size(), 2u);
    EXPECT_EQ(rects[1].rect, (Rect{10, 10, 50, 50}));
    EXPECT_EQ(rects[1].lineWidth, 1);
    EXPECT_EQ(rects[1].radius, 0);
}

TEST(InteractionOverlay, ArrowBeingDraggedOut) {
    StepsModel model;
    auto from = reference({0, 0, 100, 50}, "from");
    auto other = reference({300, 0, 100, 50}, "other");
    auto twin = reference({0, 300, 100, 50}, "from"); // same id, another box
    model.setContent({from, other, twin});
    InteractionOverlay overlay;
    overlay.arrow = ArrowInProgress{from, nullptr, {250, 25}};
    ArrowInProgress& arrow = *overlay.arrow;

    auto free = arrowsIn(draw(model, overlay));
    ASSERT_EQ(free.size(), 1u);
    expectPoint(free[0].lines[0].from, 105, 25);
    expectPoint(free[0].lines[0].to, 250, 25);

    arrow.target = from;
    EXPECT_TRUE(arrowsIn(draw(model, overlay)).empty());

    arrow.target = twin;
    EXPECT_EQ(arrowsIn(draw(model, overlay)).size(), 1u);

    arrow.target = other;
    model.arrows.push_back({other, from}); // the other direction only
    EXPECT_EQ(arrowsIn(draw(model, overlay)).size(), 2u);
    model.arrows.push_back({from, other});
    EXPECT_EQ(arrowsIn(draw(model, overlay)).size(), 2u); // the two model arrows, no third

    arrow.from = nullptr;
    model.arrows.clear();
    EXPECT_TRUE(arrowsIn(draw(model, overlay)).empty());
    arrow.target = nullptr;
    EXPECT_TRUE(arrowsIn(draw(model, overlay)).empty());
}

TEST(AddButton, TheSquareSitsInTheVisibleCorner) {
    EXPECT_EQ(addButtonRect({0, 0}), (Rect{4, 4, 30, 30}));
    EXPECT_EQ(addButtonRect({120, 40}), (Rect{124, 44, 30, 30}));

    DrawList button;
    appendAddButton(button, {10, 20}, metricsConfig());
    auto square = std::get<RectOp>(button.at(0));
    EXPECT_EQ(square.rect, (Rect{14, 24, 30, 30}));
    EXPECT_EQ(square.fill, code(11));
    EXPECT_EQ(square.stroke, code(12));
    EXPECT_EQ(square.lineWidth, 2);
    auto plus = std::get<LinesOp>(button.at(1));
    ASSERT_EQ(plus.lines.size(), 2u);
    expectPoint(plus.lines[0].from, 22, 39);
    expectPoint(plus.lines[0].to, 36, 39);
    expectPoint(plus.lines[1].from, 29, 32);
    expectPoint(plus.lines[1].to, 29, 46);
    EXPECT_EQ(plus.lineWidth, 2);
}

TEST(CanvasDrawing, LeavesOutWhatLiesWhollyOutsideThePaintedArea) {
    StepsModel model;
    auto near = reference({0, 0, 100, 50}, "near");
    auto far = reference({5000, 5000, 100, 50}, "far");
    auto huge = reference({0, 0, INFINITY, 50}, "huge");
    model.setContent({near, far, huge});
    model.arrows.push_back({near, far}); // crosses the area
    const FakeLayoutMeasurer measurer;
    const auto list =
        drawCanvas(model, {}, {{6000, 6000}, {0, 0, 400, 300}}, metricsConfig(), measurer);
    auto texts = opsOf<TextOp>(list);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].text, "near");
    EXPECT_EQ(arrowsIn(list).size(), 1u);
    // Only the grid lines that cross the area: x = 0..400 and y = 0..300.
    auto grid = opsOf<LinesOp>(list).at(0);
    EXPECT_EQ(grid.lines.size(), 5u + 4u);
    // Each cut to the area, starting on a whole dash period so that dashes fall the same.
    EXPECT_EQ(grid.lines[0].from.y, 0);
    EXPECT_EQ(grid.lines[0].to.y, 301);
    EXPECT_EQ(grid.lines[5].from.x, 0);
    EXPECT_EQ(grid.lines[5].to.x, 401);

    // A canvas without end draws no grid rather than never finishing.
    const auto endless =
        drawCanvas(model, {}, {{INFINITY, 100}, {0, 0, INFINITY, 100}}, metricsConfig(), measurer);
    EXPECT_TRUE(opsOf<LinesOp>(endless).size() <= 1u);
}

TEST(CanvasMarkerStates, MissingAndDuplicatedBoxesCarryADashedFrameAndABadgeAboveTheBox) {
    StepsModel model;
    model.setContent({reference({10, 10, 100, 40}, "Found"), reference({10, 100, 100, 40}, "Lost"),
                      reference({10, 200, 100, 40}, "Twice"),
                      reference({10, 300, 100, 40}, "Docs,https://x.org", "Safari")});
    MarkerStates states;
    states.places["pathwick-Found"] = {{"a.c", 1}};
    states.places["pathwick-Lost"] = {};
    states.places["pathwick-Twice"] = {{"a.c", 1}, {"b.c", 2}, {"c.c", 3}};
    states.places["pathwick-Docs,https://x.org"] = {};
    const FakeLayoutMeasurer measurer;
    const CanvasViewport whole{{1000, 1000}, {0, 0, 1000, 1000}};
    const DrawList plain = drawCanvas(model, {}, whole, metricsConfig(), measurer);
    const DrawList marked = drawCanvas(model, {}, whole, metricsConfig(), measurer, &states);

    // Without states, as before; with them, one frame and one badge per problem.
    EXPECT_EQ(marked.size(), plain.size() + 2 * 3);
    std::vector<LinesOp> frames;
    for (const auto& op : opsOf<LinesOp>(marked))
        if (!op.dashPattern.empty() && op.color != code(1))
            frames.push_back(op);
    ASSERT_EQ(frames.size(), 2u);
    // The built-in colours stand in for a configuration without them; not red, not alike.
    EXPECT_EQ(frames[0].color, AppearanceConfig().namedColor("MarkerMissing"));
    EXPECT_EQ(frames[1].color, AppearanceConfig().namedColor("MarkerDuplicated"));
    EXPECT_NE(frames[0].color, frames[1].color);
    EXPECT_NE(frames[0].color, opaqueRed);
    // The frame lies outside the box.
    for (const Line& line : frames[0].lines) {
        EXPECT_TRUE(line.from.x < 10 || line.from.x > 110 || line.from.y < 100 ||
                    line.from.y > 140);
    }
    std::vector<std::string> badges;
    for (const auto& op : opsOf<TextOp>(marked))
        if (op.color == AppearanceConfig().namedColor("MarkerBadgeText"))
            badges.push_back(op.text);
    EXPECT_EQ(badges, (std::vector<std::string>{"!", "3"}));
    // The badge's text is the last thing drawn for the lost box, after its title.
    size_t title = 0, badge = 0;
    for (size_t i = 0; i < marked.size(); ++i) {
        if (auto* text = std::get_if<TextOp>(&marked[i])) {
            if (text->text == "Lost")
                title = i;
            if (text->text == "!")
                badge = i;
        }
    }
    EXPECT_LT(title, badge);

    // Painting only the area the badge reaches into, above the box, still draws the badge.
    const DrawList corner = drawCanvas(model, {}, {{1000, 1000}, {105, 90, 10, 6}},
                                       metricsConfig(), measurer, &states);
    EXPECT_EQ(opsOf<TextOp>(corner).size(), 1u);
}

} // namespace
} // namespace pathwicks

namespace pathwicks {
namespace {

// The index only spares visiting what lies elsewhere: any part of the canvas draws exactly as
// the walk over every item draws it.
TEST(DrawingIndex, DrawsAnyPartExactlyAsTheWalkOverEveryItem) {
    std::mt19937 random(11);
    std::uniform_real_distribution<double> place(-2000, 6000);
    std::uniform_int_distribution<int> pick(0, 299);
    StepsModel model;
    std::vector<ReferencePtr> content;
    for (int i = 0; i < 300; ++i) {
        content.push_back(reference({place(random), place(random), 150, 50}));
        content.back()->selected = i % 7 == 0;
    }
    content.push_back(reference({0, 0, 1e7, 50})); // far too wide to file by cells
    content.push_back(reference({NAN, 0, 10, 10}));
    model.setContent(content);
    for (int i = 0; i < 300; ++i)
        model.arrows.push_back({content[pick(random)], content[pick(random)]});
    for (size_t i = 0; i < 300; i += 7) // repeated arrows, drawn once
        model.arrows.push_back(model.arrows[i]);
    for (int i = 0; i < 50; ++i)
        model.labels.push_back(
            Label::fromDictionary({{"title", "Label"},
                                   {"rect", "{{" + std::to_string(place(random)) + ", " +
                                                std::to_string(place(random)) + "}, {200, 30}}"}}));

    model.labels[3]->selected = true;

    const FakeLayoutMeasurer measurer;
    const DrawingIndex index(model, arrowReach(metricsConfig()));
    const SvgWriter svg("sans-serif");
    auto drawsAsTheWalk = [&] {
        for (int i = 0; i < 40; ++i) {
            const double width = i == 0 ? 20000 : 100 + pick(random) * 5;
            const CanvasViewport viewport{{8000, 8000},
                                          {place(random), place(random), width, width * 0.6},
                                          {-2000, -2000},
                                          1};
            EXPECT_EQ(
                svg.write(drawCanvas(index, {}, viewport, metricsConfig(), measurer), {1, 1}),
                svg.write(drawCanvas(model, {}, viewport, metricsConfig(), measurer), {1, 1}))
                << i;
        }
    };
    EXPECT_TRUE(index.fits(model));
    drawsAsTheWalk();

    // Dragging the selection anywhere, arrows and all, keeps the index good.
    for (const ReferencePtr& r : content) {
        if (r->selected)
            r->rect = {place(random), place(random), r->rect.width + 40, r->rect.height};
    }
    model.labels[3]->rect.x += 3000;
    EXPECT_TRUE(index.fits(model));
    drawsAsTheWalk();

    // Moving an unselected item, selecting one and taking it along, or changing an arrow's
    // ends does not.
    auto unfitAfter = [&](const std::function<void()>& change, const std::function<void()>& undo) {
        change();
        EXPECT_FALSE(index.fits(model));
        undo();
        EXPECT_TRUE(index.fits(model));
    };
    unfitAfter([&] { content[1]->rect.y += 1; }, [&] { content[1]->rect.y -= 1; });
    unfitAfter([&] { content[1]->selected = true; }, [&] { content[1]->selected = false; });
    unfitAfter([&] { model.labels[4]->rect.x += 1; }, [&] { model.labels[4]->rect.x -= 1; });
    const Arrow arrow = model.arrows[5];
    unfitAfter([&] { model.arrows[5].second = content[300]; }, [&] { model.arrows[5] = arrow; });
    unfitAfter([&] { model.labels.pop_back(); },
               [&] { model.labels.push_back(index.labels().back()); });
}

} // namespace
} // namespace pathwicks
