// The window's marker check of a 1,000-box document over a large tree: the search alone, and
// from opening the document to its states on the canvas, with a warm cache. The tree is named
// by PATHWICKS_CHECK_TREE (benchmarks/marker-check.sh builds one of about 500 MB); markers and
// the document are planted in it and removed again.
#include "app/Application.h"
#include "app/DocumentWindow.h"
#include "app/WindowMarkerCheck.h"
#include "goto/MarkerCheck.h"

#include "../tests/FakeDialogs.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTimer>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>

namespace {

using namespace pathwicks;
namespace fs = std::filesystem;

constexpr int boxes = 1000;

std::string tree;
std::string documentPath;
std::vector<std::string> ids;
std::vector<fs::path> planted;

// One box in a hundred has no marker, one in a hundred has two; the rest have one each, in
// folders spread over the whole tree.
void plant() {
    std::vector<fs::path> folders;
    std::error_code error;
    for (auto it = fs::recursive_directory_iterator(
             tree, fs::directory_options::skip_permission_denied, error);
         it != fs::recursive_directory_iterator(); it.increment(error)) {
        if (it->is_directory(error) && !it->is_symlink(error) &&
            it->path().string().find("/.git") == std::string::npos)
            folders.push_back(it->path());
    }
    if (folders.empty())
        folders.push_back(tree);
    std::string content;
    for (int i = 0; i < boxes; ++i) {
        char id[64];
        std::snprintf(id, sizeof id, "pathwick-BE0C%08X", i);
        ids.push_back(id);
        const int copies = i % 100 == 1 ? 0 : i % 100 == 2 ? 2 : 1;
        for (int copy = 0; copy < copies; ++copy) {
            const fs::path file = folders[size_t(i * 7919 + copy * 104729) % folders.size()] /
                                  ("pathwicks-bench-" + std::to_string(i) + "-" +
                                   std::to_string(copy) + ".c");
            std::ofstream(file) << "int step" << i << ";\n// " << id << " Step " << i << "\n";
            planted.push_back(file);
        }
        content += std::string(content.empty() ? "" : ",") + R"({"id":")" + id +
                   R"(","title":"Step )" + std::to_string(i) + R"(","editor":"VS Code","rect":"{{)" +
                   std::to_string(i % 40 * 130) + ", " + std::to_string(i / 40 * 80) +
                   R"(}, {110, 40}}","arrows":[]})";
    }
    documentPath = tree + "/pathwicks-bench.pathwicks";
    std::ofstream(documentPath) << R"({"window":"{{0, 0}, {1200, 800}}","content":[)" << content
                                << R"(],"labels":[]})";
}

void unplant() {
    for (const auto& file : planted)
        fs::remove(file);
    fs::remove(documentPath);
}

void Search(benchmark::State& state) {
    for (auto _ : state) {
        auto outcome = checkMarkers(tree, ids);
        if (!std::holds_alternative<MarkerStates>(outcome)) {
            state.SkipWithError("the search failed");
            return;
        }
        benchmark::DoNotOptimize(outcome);
    }
}

void OpenToStates(benchmark::State& state) {
    Application application;
    testing::FakeDialogs dialogs;
    application.setDialogs(&dialogs);
    // The window's event loop while the check runs: the longest wait between two turns.
    qint64 longestStall = 0;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        QElapsedTimer sinceTick;
        sinceTick.start();
        QTimer ticks;
        QObject::connect(&ticks, &QTimer::timeout, [&] {
            longestStall = std::max(longestStall, sinceTick.nsecsElapsed());
            sinceTick.restart();
        });
        DocumentWindow* window = application.openFile(QString::fromStdString(documentPath));
        if (!window) {
            state.SkipWithError("the document did not open");
            return;
        }
        sinceTick.restart();
        ticks.start(1);
        QSignalSpy spy(&window->markerCheck(), &WindowMarkerCheck::finished);
        if (!window->markerCheck().states() && !spy.wait(60000)) {
            state.SkipWithError("no states arrived");
            return;
        }
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
        ticks.stop();
        window->close();
        QApplication::processEvents();
    }
    // From the window's opening on: its first paint, then the turns while the check runs.
    state.counters["longest_stall_ms"] = double(longestStall) / 1e6;
}

} // namespace

BENCHMARK(Search)->Unit(benchmark::kMillisecond)->MinTime(3);
BENCHMARK(OpenToStates)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

int main(int argc, char** argv) {
    const char* named = std::getenv("PATHWICKS_CHECK_TREE");
    if (!named || !fs::is_directory(named)) {
        std::cerr << "marker_check_benchmark: set PATHWICKS_CHECK_TREE to a folder to search "
                     "(benchmarks/marker-check.sh builds one)\n";
        return 2;
    }
    tree = fs::absolute(named).lexically_normal().string();
    if (tree.size() > 1 && tree.back() == '/')
        tree.pop_back();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    plant();
    // Warm the page cache.
    checkMarkers(tree, ids);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    unplant();
    return 0;
}
