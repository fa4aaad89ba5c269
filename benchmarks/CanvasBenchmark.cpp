// Pointer gestures on large generated documents: every event walks the whole content, so the
// time of one event grows with the number of boxes.
#include "canvas/Canvas.h"
#include "model/UndoManager.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

using namespace pathwicks;

class UndoHost : public CanvasHost {
public:
    UndoManager* undoManager() override { return &undo; }
    UndoManager undo;
};

// A canvas in a window with an undo history, on a document of its own.
struct Generated {
    UndoHost host;
    StepsModel model;
    Canvas canvas{model};
};

// references in rows of 100, 200 apart across and 80 down, each with an arrow to the next
std::unique_ptr<Generated> generatedCanvas(int references) {
    auto generated = std::make_unique<Generated>();
    Canvas* canvas = &generated->canvas;
    canvas->setHost(&generated->host);
    std::vector<ReferencePtr> content;
    for (int i = 0; i < references; ++i) {
        auto reference = std::make_shared<Reference>();
        reference->id = "pathwick-" + std::to_string(i);
        reference->rect = {double(i % 100) * 200, double(i / 100) * 80 + 40, 140, 50};
        content.push_back(reference);
        if (i > 0)
            canvas->model().arrows.emplace_back(content[i - 1], reference);
    }
    canvas->model().setContent(std::move(content));
    return generated;
}

PointerEvent at(double x, double y, unsigned modifiers = 0) {
    PointerEvent event;
    event.location = {x, y};
    event.modifiers = modifiers;
    return event;
}

// One drag event of a box while every box is selected: the group moves along.
void BM_DragAllSelected(benchmark::State& state) {
    auto generated = generatedCanvas(int(state.range(0)));
    Canvas* canvas = &generated->canvas;
    for (const auto& r : canvas->model().content())
        r->selected = true;
    canvas->mouseDown(at(50, 60));
    double x = 50;
    for (auto _ : state) {
        x += 10;
        canvas->mouseDragged(at(x, 60));
    }
    canvas->mouseUp(at(x, 60));
    state.SetLabel("boxes moved per event: all");
}
BENCHMARK(BM_DragAllSelected)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

// One drag event of the rubber band across the whole document.
void BM_RubberBand(benchmark::State& state) {
    auto generated = generatedCanvas(int(state.range(0)));
    Canvas* canvas = &generated->canvas;
    canvas->mouseDown(at(5, 5));
    double x = 100;
    for (auto _ : state) {
        x = x > 19000 ? 100 : x + 37;
        canvas->mouseDragged(at(x, x / 2));
    }
    canvas->mouseUp(at(x, x / 2));
}
BENCHMARK(BM_RubberBand)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

// A whole click, press and release, on the last box: hit test, selection, panel refresh.
void BM_Click(benchmark::State& state) {
    auto generated = generatedCanvas(int(state.range(0)));
    Canvas* canvas = &generated->canvas;
    const Rect last = canvas->model().content().back()->rect;
    for (auto _ : state) {
        canvas->mouseDown(at(last.x + 5, last.y + 5));
        canvas->mouseUp(at(last.x + 5, last.y + 5));
    }
}
BENCHMARK(BM_Click)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

// A complete move of one box, then its undo and redo: three undo steps' worth of work.
void BM_MoveUndoRedo(benchmark::State& state) {
    auto generated = generatedCanvas(int(state.range(0)));
    Canvas* canvas = &generated->canvas;
    for (auto _ : state) {
        canvas->mouseDown(at(50, 60));
        canvas->mouseDragged(at(250, 260));
        canvas->mouseUp(at(250, 260));
        generated->host.undo.undo();
        generated->host.undo.redo();
        generated->host.undo.undo();
    }
}
BENCHMARK(BM_MoveUndoRedo)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
