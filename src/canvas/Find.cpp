#include "canvas/Find.h"

#include "canvas/Canvas.h"
#include "model/ReadingOrder.h"
#include "model/StepsModel.h"

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

namespace pathwicks {

namespace {

// Letters of the Latin alphabet fold; other characters compare as they are.
std::string folded(std::string_view text) {
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return result;
}

struct Match {
    FoundItem item;
    Rect rect;
};

} // namespace

std::optional<FoundItem> findItem(const StepsModel& model, std::string_view text,
                                  const std::optional<FoundItem>& current, bool backwards) {
    if (text.empty())
        return std::nullopt;
    const std::string wanted = folded(text);
    std::vector<Match> matches;
    for (const auto& reference : model.content()) {
        if (folded(reference->title).find(wanted) != std::string::npos)
            matches.push_back({{reference, nullptr}, reference->rect});
    }
    for (const auto& label : model.labels) {
        if (folded(label->title()).find(wanted) != std::string::npos)
            matches.push_back({{nullptr, label}, label->rect});
    }
    if (matches.empty())
        return std::nullopt;
    sortInReadingOrder(matches, [](const Match& match) -> const Rect& { return match.rect; });
    auto at = current ? std::find_if(matches.begin(), matches.end(),
                                     [&](const Match& m) { return m.item == *current; })
                      : matches.end();
    if (at == matches.end())
        return backwards ? matches.back().item : matches.front().item;
    const auto index = size_t(at - matches.begin());
    const size_t count = matches.size();
    return matches[backwards ? (index + count - 1) % count : (index + 1) % count].item;
}

void selectFound(Canvas& canvas, const FoundItem& item) {
    canvas.finishGesture();
    canvas.deselectAll();
    if (item.reference) {
        item.reference->selected = true;
        canvas.setPressedReference(item.reference);
    }
    if (item.label)
        item.label->selected = true;
    canvas.redisplay();
    canvas.updateDetailPanel();
}

} // namespace pathwicks
