// Document bytes read, decoded and written again; what was written must read back as the same
// model and write as the same bytes.
#include "FuzzCheck.h"

#include "model/DocumentFile.h"
#include "model/DocumentReader.h"
#include "model/StepsModel.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <string_view>

using namespace pathwicks;

namespace {

struct Read {
    StepsModel model;
    Rect frame;
};

bool read(std::string_view bytes, Read& into) {
    auto parsed = DocumentFile::parse(bytes);
    auto* content = std::get_if<nlohmann::json>(&parsed);
    if (!content)
        return false;
    into.frame = DocumentReader::readParsed(*content, into.model).windowFrame.value_or(Rect{});
    return true;
}

bool sameRect(const Rect& a, const Rect& b) {
    return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}

size_t position(const StepsModel& model, const ReferencePtr& reference) {
    for (size_t i = 0; i < model.content().size(); ++i) {
        if (model.content()[i] == reference)
            return i;
    }
    return SIZE_MAX;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Read first;
    if (!read(std::string_view(reinterpret_cast<const char*>(data), size), first))
        return 0;
    auto written = DocumentFile::bytes(first.model, first.frame);
    if (!written)
        return 0;

    Read second;
    FUZZ_CHECK(read(*written, second));
    FUZZ_CHECK(sameRect(first.frame, second.frame));
    const auto& a = first.model.content();
    const auto& b = second.model.content();
    FUZZ_CHECK(a.size() == b.size());
    for (size_t i = 0; i < a.size(); ++i) {
        FUZZ_CHECK(a[i]->id == b[i]->id);
        FUZZ_CHECK(a[i]->title == b[i]->title);
        FUZZ_CHECK(a[i]->editor == b[i]->editor);
        FUZZ_CHECK(sameRect(a[i]->rect, b[i]->rect));
    }
    // Arrows are written grouped by the box they start from, so compare them in that order.
    FUZZ_CHECK(first.model.arrows.size() == second.model.arrows.size());
    std::vector<std::vector<size_t>> before(a.size()), after(b.size());
    for (const auto& [from, to] : first.model.arrows)
        before[position(first.model, from)].push_back(position(first.model, to));
    for (const auto& [from, to] : second.model.arrows)
        after[position(second.model, from)].push_back(position(second.model, to));
    FUZZ_CHECK(before == after);
    FUZZ_CHECK(first.model.labels.size() == second.model.labels.size());
    for (size_t i = 0; i < first.model.labels.size(); ++i) {
        FUZZ_CHECK(first.model.labels[i]->title() == second.model.labels[i]->title());
        FUZZ_CHECK(sameRect(first.model.labels[i]->rect, second.model.labels[i]->rect));
    }

    auto again = DocumentFile::bytes(second.model, second.frame);
    FUZZ_CHECK(again && *again == *written);
    return 0;
}
