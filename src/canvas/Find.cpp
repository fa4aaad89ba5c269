#include "canvas/Find.h"

#include "canvas/Canvas.h"
#include "model/MarkerStates.h"
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

bool placesHold(const Reference& reference, const std::string& wanted,
                const MarkerStates* states) {
    const auto* places = states ? states->placesOf(reference) : nullptr;
    return places && std::any_of(places->begin(), places->end(), [&](const MarkerLocation& p) {
               return folded(p.path).find(wanted) != std::string::npos;
           });
}

std::vector<Match> matchesOf(const StepsModel& model, const std::string& wanted,
                             const MarkerStates* states) {
    std::vector<Match> matches;
    for (const auto& reference : model.content()) {
        if (folded(reference->title).find(wanted) != std::string::npos ||
            placesHold(*reference, wanted, states))
            matches.push_back({{reference, nullptr}, reference->rect});
    }
    for (const auto& label : model.labels) {
        if (folded(label->title()).find(wanted) != std::string::npos)
            matches.push_back({{nullptr, label}, label->rect});
    }
    sortInReadingOrder(matches, [](const Match& match) -> const Rect& { return match.rect; });
    return matches;
}

} // namespace

FindStep findStep(const StepsModel& model, std::string_view text,
                  const std::optional<FoundItem>& current, bool backwards,
                  const MarkerStates* states) {
    if (text.empty())
        return {};
    const std::vector<Match> matches = matchesOf(model, folded(text), states);
    std::optional<size_t> at;
    for (size_t i = 0; current && i < matches.size(); ++i)
        if (matches[i].item == *current)
            at = i;
    const auto next = steppedIndex(matches.size(), at, backwards);
    if (!next)
        return {};
    return {matches[*next].item, *next + 1, matches.size()};
}

std::optional<FoundItem> findItem(const StepsModel& model, std::string_view text,
                                  const std::optional<FoundItem>& current, bool backwards) {
    return findStep(model, text, current, backwards).item;
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
