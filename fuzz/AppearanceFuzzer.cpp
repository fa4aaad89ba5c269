// Appearance configuration text loaded, every colour looked up, and a small canvas drawn with
// it: nothing may fail, and every colour component must be a number.
#include "../tests/appearance/FakeLayoutMeasurer.h"
#include "FuzzCheck.h"

#include "appearance/AppearanceConfig.h"
#include "appearance/CanvasDrawing.h"
#include "model/StepsModel.h"

#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

using namespace pathwicks;

namespace {

void checkColor(const Color& color) {
    FUZZ_CHECK(!std::isnan(color.red) && !std::isnan(color.green) && !std::isnan(color.blue) &&
               !std::isnan(color.alpha));
}

const StepsModel& smallDocument() {
    static const StepsModel model = [] {
        StepsModel m;
        auto a = std::make_shared<Reference>();
        a->rect = {10, 10, 120, 30};
        auto b = std::make_shared<Reference>();
        b->rect = {300, 200, 80, 30};
        b->selected = true;
        m.appendReference(a);
        m.appendReference(b);
        m.arrows.emplace_back(a, b);
        m.arrows.emplace_back(b, b);
        auto label = std::make_shared<Label>();
        label->rect = {50, 300, 100, 20};
        m.labels.push_back(label);
        return m;
    }();
    return model;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const AppearanceConfig config = AppearanceConfig::fromText(text);

    for (const char* name :
         {"CanvasBackground", "CanvasGrid", "ReferenceBackground", "ReferenceBorder",
          "ReferenceSelectedBackground", "ReferenceSelectedBorder", "LabelBackground", "LabelText",
          "Arrow", "SelectArea", "SelectBorder", "AddArea", "AddDetail", "red", ""})
        checkColor(config.namedColor(name));
    // The input itself as a name, and each of its lines, as a document might carry them.
    checkColor(config.namedColor(text));
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = std::min(text.find('\n', start), text.size());
        const auto line = text.substr(start, end - start);
        checkColor(config.namedColor(line));
        for (int base : {10, 16}) {
            if (auto value = parseInteger(line, base))
                checkColor(AppearanceConfig::hexColor(*value, 1));
        }
        start = end + 1;
    }

    const CanvasViewport viewport{{800, 600}, {0, 0, 800, 600}};
    drawCanvas(smallDocument(), InteractionOverlay{}, viewport, config,
               pathwicks::testing::FakeLayoutMeasurer());
    return 0;
}
