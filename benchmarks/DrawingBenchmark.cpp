// Building the canvas's drawing list and painting it into a full-HD image, for generated
// documents of growing size.
#include "app/DrawListPainter.h"
#include "app/QtTextMeasurer.h"
#include "appearance/CanvasDrawing.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

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
    size_t operations = 0;
    for (auto _ : state) {
        const DrawList list =
            drawCanvas(model, overlay, viewport, config, measurer, withStates ? &states : nullptr);
        QPainter painter(&image);
        paintDrawList(painter, list, measurer);
        operations = list.size();
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

} // namespace

BENCHMARK(Spread)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Complexity();
BENCHMARK(Dense)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Complexity();
BENCHMARK(SpreadStates)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Complexity();
BENCHMARK(DenseStates)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Complexity();
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
