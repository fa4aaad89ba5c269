// Building the canvas's drawing list and painting it into a full-HD image, for generated
// documents of growing size, and the frames of the window on a document of 10,000 boxes: a
// screenful at 100 % (also on a device pixel ratio of 2), everything at Fit to Window (also with
// a marker check's marks), a full screen at zooms between, and dragging one box.
#include "app/DrawListPainter.h"
#include "app/QtTextMeasurer.h"
#include "appearance/CanvasDrawing.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <atomic>
#include <random>

namespace {

using namespace pathwicks;

constexpr int screenWidth = 1920;
constexpr int screenHeight = 1080;

// references, as many arrows between random pairs, and 100 labels. Spread: laid out 100 a row
// like a long walkthrough, of which a screenful is visible. Dense: all crammed onto the screen.
StepsModel generatedModel(int references, bool dense) {
    std::mt19937 random(42);
    std::uniform_int_distribution<int> pick(0, references - 1);
    std::uniform_real_distribution<double> x(0, screenWidth - 140), y(0, screenHeight - 50);
    StepsModel model;
    std::vector<ReferencePtr> content;
    for (int i = 0; i < references; ++i) {
        auto r = std::make_shared<Reference>();
        r->id = "pathwick-" + std::to_string(i);
        r->title = "Step " + std::to_string(i) + ": read the arguments";
        r->rect = dense ? Rect{x(random), y(random), 220, 50}
                        : Rect{double(i % 100) * 260 + 20, double(i / 100) * 120 + 60, 220, 50};
        r->selected = i % 50 == 0;
        content.push_back(r);
    }
    model.setContent(content);
    for (int i = 0; i < references; ++i)
        model.arrows.push_back({content[pick(random)], content[pick(random)]});
    for (int i = 0; i < 100; ++i) {
        auto label = Label::fromDictionary(nlohmann::json::object());
        label->rect = dense ? Rect{x(random), y(random), 300, 29}
                            : Rect{double(i % 10) * 2600 + 20, double(i / 10) * 1200 + 10, 300, 29};
        model.labels.push_back(label);
    }
    return model;
}

// A check's states for the model: one box in ten missing its marker, one in twenty duplicated.
MarkerStates generatedStates(const StepsModel& model) {
    MarkerStates states;
    for (size_t i = 0; i < model.content().size(); ++i) {
        const std::vector<MarkerLocation> once{{"src/file.c", i + 1}};
        states.places[model.content()[i]->id] =
            i % 10 == 3 ? std::vector<MarkerLocation>{}
            : i % 20 == 7 ? std::vector<MarkerLocation>{{"a.c", 1}, {"b.c", 2}}
                          : once;
    }
    return states;
}

void paintCanvas(benchmark::State& state, bool dense, bool withStates = false) {
    const StepsModel model = generatedModel(int(state.range(0)), dense);
    const MarkerStates states = generatedStates(model);
    const QtTextMeasurer measurer;
    const AppearanceConfig& config = AppearanceConfig::shared();
    QImage image(screenWidth, screenHeight, QImage::Format_ARGB32_Premultiplied);
    const InteractionOverlay overlay{};
    const CanvasViewport viewport{{26000, 26000}, {0, 0, screenWidth, screenHeight}};
    std::atomic<size_t> operations = 0;
    for (auto _ : state) {
        operations = 0;
        QPainter painter(&image);
        paintDrawn(
            painter, viewport.dirty,
            [&](const Rect& area, const QtTextMeasurer& fonts) {
                CanvasViewport part = viewport;
                part.dirty = area;
                DrawList list = drawCanvas(model, overlay, part, config, fonts,
                                           withStates ? &states : nullptr);
                operations += list.size();
                return list;
            },
            measurer);
    }
    state.counters["ops"] = double(operations);
    state.SetComplexityN(state.range(0));
}

void Spread(benchmark::State& state) {
    paintCanvas(state, false);
}
void Dense(benchmark::State& state) {
    paintCanvas(state, true);
}
// The same with the marks of a marker check.
void SpreadStates(benchmark::State& state) {
    paintCanvas(state, false, true);
}
void DenseStates(benchmark::State& state) {
    paintCanvas(state, true, true);
}

// Building alone: what every draw costs before a pixel is touched.
void BuildOnly(benchmark::State& state) {
    const StepsModel model = generatedModel(int(state.range(0)), true);
    const QtTextMeasurer measurer;
    const InteractionOverlay overlay{};
    const CanvasViewport viewport{{26000, 26000}, {0, 0, screenWidth, screenHeight}};
    for (auto _ : state)
        benchmark::DoNotOptimize(
            drawCanvas(model, overlay, viewport, AppearanceConfig::shared(), measurer));
    state.SetComplexityN(state.range(0));
}

// The document of the speed target: 10,000 boxes in 100 rows of 100, 10,000 arrows, each to a
// box a few places on or a row down (as a walkthrough links its steps), and 1,000 labels,
// over 18,000 by 10,000 points: at 10 % it fits a full-HD screen.
StepsModel largeModel() {
    std::mt19937 random(7);
    std::uniform_int_distribution<int> near(1, 3);
    StepsModel model;
    std::vector<ReferencePtr> content;
    for (int i = 0; i < 10000; ++i) {
        auto r = std::make_shared<Reference>();
        r->id = "pathwick-" + std::to_string(i);
        r->title = "Step " + std::to_string(i) + ": read the arguments";
        r->rect = Rect{double(i % 100) * 180 + 10, double(i / 100) * 100 + 40, 150, 50};
        r->selected = i % 500 == 0;
        content.push_back(r);
    }
    model.setContent(content);
    for (int i = 0; i < 10000; ++i) {
        const int to = (i % 2 ? i + near(random) : i + 100) % 10000;
        model.arrows.push_back({content[i], content[to]});
    }
    for (int i = 0; i < 1000; ++i) {
        auto label = Label::fromDictionary(nlohmann::json::object());
        label->rect = Rect{double(i % 25) * 720 + 10, double(i / 25) * 250 + 5, 300, 29};
        model.labels.push_back(label);
    }
    return model;
}

// One frame of the window: the items in view built into a list and painted at the zoom, as
// the window does, each band's list built on the thread that paints it; the ops of both.
size_t paintFrame(const StepsModel& model, const DrawingIndex* index, QImage& image,
                  const QtTextMeasurer& measurer, Point origin, double zoom,
                  const MarkerStates* states = nullptr) {
    const AppearanceConfig& config = AppearanceConfig::shared();
    CanvasViewport viewport;
    viewport.bounds = {18000, 10000};
    viewport.dirty = {origin.x, origin.y, screenWidth / zoom, screenHeight / zoom};
    viewport.scale = zoom;
    std::atomic<size_t> operations = 0;
    QPainter painter(&image);
    painter.scale(zoom, zoom);
    painter.translate(-origin.x, -origin.y);
    paintDrawn(
        painter, viewport.dirty,
        [&](const Rect& area, const QtTextMeasurer& fonts) {
            CanvasViewport part = viewport;
            part.dirty = area;
            DrawList list = index ? drawCanvas(*index, {}, part, config, fonts, states)
                                  : drawCanvas(model, {}, part, config, fonts, states);
            operations += list.size();
            return list;
        },
        measurer);
    return operations;
}

// range(0): 1 with the index of items by position, 0 walking every item as before.
void LargeScreenful(benchmark::State& state) {
    const StepsModel model = largeModel();
    const QtTextMeasurer measurer;
    const DrawingIndex index(model, arrowReach(AppearanceConfig::shared()));
    QImage image(screenWidth, screenHeight, QImage::Format_ARGB32_Premultiplied);
    size_t operations = 0;
    for (auto _ : state)
        operations =
            paintFrame(model, state.range(0) ? &index : nullptr, image, measurer, {8000, 4000}, 1);
    state.counters["ops"] = double(operations);
}

// The same screenful on a screen of twice the pixels a point (device pixel ratio 2).
void LargeScreenfulRatio2(benchmark::State& state) {
    const StepsModel model = largeModel();
    const QtTextMeasurer measurer;
    const DrawingIndex index(model, arrowReach(AppearanceConfig::shared()));
    QImage image(2 * screenWidth, 2 * screenHeight, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(2);
    size_t operations = 0;
    for (auto _ : state)
        operations = paintFrame(model, &index, image, measurer, {8000, 4000}, 1);
    state.counters["ops"] = double(operations);
}

void LargeFitToWindow(benchmark::State& state) {
    const StepsModel model = largeModel();
    const QtTextMeasurer measurer;
    const DrawingIndex index(model, arrowReach(AppearanceConfig::shared()));
    QImage image(screenWidth, screenHeight, QImage::Format_ARGB32_Premultiplied);
    size_t operations = 0;
    for (auto _ : state)
        operations = paintFrame(model, state.range(0) ? &index : nullptr, image, measurer,
                                {-300, -300}, 0.1);
    state.counters["ops"] = double(operations);
}

// A full screen at the zoom in percent, between Fit to Window and a screenful.
void LargeAtZoom(benchmark::State& state) {
    const StepsModel model = largeModel();
    const QtTextMeasurer measurer;
    const DrawingIndex index(model, arrowReach(AppearanceConfig::shared()));
    QImage image(screenWidth, screenHeight, QImage::Format_ARGB32_Premultiplied);
    const double zoom = double(state.range(0)) / 100;
    size_t operations = 0;
    for (auto _ : state)
        operations = paintFrame(model, &index, image, measurer, {4000, 2000}, zoom);
    state.counters["ops"] = double(operations);
}

// The same with the marks of a marker check on the boxes whose marker is missing or repeated.
void LargeFitToWindowMarked(benchmark::State& state) {
    const StepsModel model = largeModel();
    MarkerStates states = generatedStates(model);
    const QtTextMeasurer measurer;
    const DrawingIndex index(model, arrowReach(AppearanceConfig::shared()));
    QImage image(screenWidth, screenHeight, QImage::Format_ARGB32_Premultiplied);
    size_t operations = 0;
    for (auto _ : state)
        operations = paintFrame(model, &index, image, measurer, {-300, -300}, 0.1, &states);
    state.counters["ops"] = double(operations);
}

// Each frame of a drag: one box, selected as a press selects it, moved; the window keeps its
// index while only selected items move (range 1), or walks every item (range 0).
void LargeDraggingOneBox(benchmark::State& state) {
    StepsModel model = largeModel();
    const QtTextMeasurer measurer;
    QImage image(screenWidth, screenHeight, QImage::Format_ARGB32_Premultiplied);
    const ReferencePtr dragged = model.content()[4545];
    dragged->selected = true;
    auto index = std::make_unique<DrawingIndex>(model, arrowReach(AppearanceConfig::shared()));
    size_t operations = 0;
    int step = 0;
    for (auto _ : state) {
        dragged->rect.x = 8100 + double(step++ % 50) * 10;
        if (state.range(0)) {
            if (!index->fits(model))
                index =
                    std::make_unique<DrawingIndex>(model, arrowReach(AppearanceConfig::shared()));
            operations = paintFrame(model, index.get(), image, measurer, {8000, 4000}, 1);
        } else {
            operations = paintFrame(model, nullptr, image, measurer, {8000, 4000}, 1);
        }
    }
    state.counters["ops"] = double(operations);
}

void LargeIndexBuild(benchmark::State& state) {
    const StepsModel model = largeModel();
    for (auto _ : state)
        benchmark::DoNotOptimize(DrawingIndex(model, arrowReach(AppearanceConfig::shared())));
}

} // namespace

// A frame is painted on two threads where there are two cores: each row times a frame as it
// would be waited for (its wall time), and counts the processor time of both threads.
#define FRAMES(name) \
    BENCHMARK(name)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime()
FRAMES(LargeScreenful)->Arg(0)->Arg(1);
FRAMES(LargeScreenfulRatio2);
FRAMES(LargeFitToWindow)->Arg(0)->Arg(1);
FRAMES(LargeAtZoom)->Arg(20)->Arg(29)->Arg(35)->Arg(50)->Arg(75);
FRAMES(LargeFitToWindowMarked);
FRAMES(LargeDraggingOneBox)->Arg(0)->Arg(1);
BENCHMARK(LargeIndexBuild)->Unit(benchmark::kMillisecond);
FRAMES(Spread)->Arg(100)->Arg(1000)->Arg(10000)->Complexity();
FRAMES(Dense)->Arg(100)->Arg(1000)->Arg(10000)->Complexity();
FRAMES(SpreadStates)->Arg(100)->Arg(1000)->Arg(10000)->Complexity();
FRAMES(DenseStates)->Arg(100)->Arg(1000)->Arg(10000)->Complexity();
BENCHMARK(BuildOnly)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Complexity();

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
