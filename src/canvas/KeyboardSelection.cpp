#include "canvas/KeyboardSelection.h"

#include "canvas/Canvas.h"
#include "model/ReadingOrder.h"

#include <vector>

namespace pathwicks {

namespace {

struct Item {
    FoundItem found;
    Rect rect;
    bool selected = false;
};

std::vector<Item> itemsInReadingOrder(const StepsModel& model) {
    std::vector<Item> items;
    for (const auto& reference : model.content())
        items.push_back({{reference, nullptr}, reference->rect, reference->selected});
    for (const auto& label : model.labels)
        items.push_back({{nullptr, label}, label->rect, label->selected});
    sortInReadingOrder(items, [](const Item& item) -> const Rect& { return item.rect; });
    return items;
}

} // namespace

std::optional<FoundItem> selectNextItem(Canvas& canvas, bool backwards) {
    const std::vector<Item> items = itemsInReadingOrder(canvas.model());
    // From the last selected item forwards, from the first backwards.
    std::optional<size_t> current;
    for (size_t i = 0; i < items.size(); ++i) {
        if (items[i].selected && (!current || !backwards))
            current = i;
    }
    const auto next = steppedIndex(items.size(), current, backwards);
    if (!next)
        return std::nullopt;
    selectFound(canvas, items[*next].found);
    return items[*next].found;
}

size_t connectInReadingOrder(Canvas& canvas) {
    canvas.finishGesture();
    std::vector<ReferencePtr> boxes;
    for (const auto& reference : canvas.model().content())
        if (reference->selected)
            boxes.push_back(reference);
    sortInReadingOrder(boxes, [](const ReferencePtr& box) -> const Rect& { return box->rect; });
    size_t added = 0;
    for (size_t i = 1; i < boxes.size(); ++i) {
        if (canvas.hasArrow(boxes[i - 1], boxes[i]))
            continue;
        canvas.addArrow(boxes[i - 1], boxes[i]);
        ++added;
    }
    return added;
}

} // namespace pathwicks
