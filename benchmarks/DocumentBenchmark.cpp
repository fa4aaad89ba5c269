// Decoding and encoding of large generated documents, and the two halves of a recovery copy.
#include "model/DocumentFile.h"
#include "model/RecoveryFolder.h"
#include "model/RectText.h"
#include "model/StepsModel.h"

#include <benchmark/benchmark.h>
#include <nlohmann/json.hpp>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <random>
#include <unistd.h>

namespace {

using namespace pathwicks;

// references, as many arrows between random pairs, and a tenth as many labels
nlohmann::json generatedDocument(int references) {
    std::mt19937 random(42);
    std::uniform_int_distribution<int> pick(0, references - 1);
    std::vector<std::vector<int>> outgoing(references);
    for (int i = 0; i < references; ++i)
        outgoing[pick(random)].push_back(pick(random));

    nlohmann::json content = nlohmann::json::array();
    for (int i = 0; i < references; ++i) {
        content.push_back({{"id", "pathwick-" + std::to_string(i)},
                           {"title", "Step " + std::to_string(i)},
                           {"editor", "Xcode"},
                           {"rect", stringFromRect({double(i % 100) * 200, double(i / 100) * 80,
                                                    140, 50})},
                           {"arrows", outgoing[i]}});
    }
    nlohmann::json labels = nlohmann::json::array();
    for (int i = 0; i < references / 10; ++i)
        labels.push_back({{"title", "Label " + std::to_string(i)},
                          {"rect", stringFromRect({double(i) * 10, 20, 220, 29})}});
    return {{"window", "{{0, 0}, {900, 640}}"}, {"content", content}, {"labels", labels}};
}

void Decode(benchmark::State& state) {
    const auto document = generatedDocument(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        auto model = std::make_unique<StepsModel>();
        model->decode(&document);
        benchmark::DoNotOptimize(model->content().data());
        // Closing the document is not part of reading it.
        state.PauseTiming();
        model.reset();
        state.ResumeTiming();
    }
}

void Encode(benchmark::State& state) {
    const auto document = generatedDocument(static_cast<int>(state.range(0)));
    StepsModel model;
    model.decode(&document);
    for (auto _ : state) {
        nlohmann::ordered_json topLevel = {{"window", "{{0, 0}, {900, 640}}"}};
        auto bytes = model.encode(std::move(topLevel));
        benchmark::DoNotOptimize(bytes);
    }
}

// What a window does on the event loop's thread for a recovery copy: a copy of the model that
// shares nothing with it.
void RecoverySnapshot(benchmark::State& state) {
    const auto document = generatedDocument(static_cast<int>(state.range(0)));
    StepsModel model;
    model.decode(&document);
    for (auto _ : state) {
        auto copy = model.detachedCopy();
        benchmark::DoNotOptimize(copy.content().data());
        state.PauseTiming();
        { auto gone = std::move(copy); }
        state.ResumeTiming();
    }
}

// What the background thread does with it: encode, and write the recovery file atomically.
void RecoveryWrite(benchmark::State& state) {
    const auto document = generatedDocument(static_cast<int>(state.range(0)));
    StepsModel model;
    model.decode(&document);
    std::string pattern = (std::filesystem::temp_directory_path() / "pathwicks-bench-XXXXXX").string();
    const std::string folder = ::mkdtemp(pattern.data());
    auto slot = std::get<std::unique_ptr<RecoverySlot>>(RecoverySlot::create(folder));
    for (auto _ : state) {
        auto bytes = DocumentFile::bytes(model, Rect{0, 0, 900, 640});
        auto failure = slot->write(RecoveryFile::encode({*bytes, "/walk.pathwicks", {}, 0}));
        benchmark::DoNotOptimize(failure);
    }
    slot->remove();
    slot.reset();
    std::filesystem::remove_all(folder);
}

} // namespace

BENCHMARK(RecoverySnapshot)->Arg(10'000)->Unit(benchmark::kMillisecond);
BENCHMARK(RecoveryWrite)->Arg(10'000)->Unit(benchmark::kMillisecond);
BENCHMARK(Decode)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);
BENCHMARK(Encode)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
