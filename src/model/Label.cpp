#include "model/Label.h"

#include "model/DictionaryValues.h"
#include "model/RectText.h"
#include "model/TextMeasurer.h"
#include "model/Uuid.h"

#include <nlohmann/json.hpp>

namespace pathwicks {

Label::Label() : id_(makeUuidText()) {}

void Label::setTitle(std::string title, const TextMeasurer& measurer) {
    title_ = std::move(title);
    rect.height = measurer.measureText(title_, labelTextAttributes()).height;
}

std::shared_ptr<Label> Label::fromDictionary(const nlohmann::json& dictionary) {
    auto label = std::make_shared<Label>();
    label->title_ = stringValue(dictionary, "title").value_or("Unnamed");
    label->rect = rectValue(dictionary, "rect");
    return label;
}

std::shared_ptr<Label> Label::fromFields(const std::optional<std::string>& title,
                                         const std::optional<std::string>& rect) {
    auto label = std::make_shared<Label>();
    label->title_ = title.value_or("Unnamed");
    label->rect = rect ? rectFromString(*rect) : Rect{};
    return label;
}

void Label::fitToTitle(const TextMeasurer& measurer) {
    fitWidth(rect, measurer.measureText(title_, labelTextAttributes()).width);
}

} // namespace pathwicks
