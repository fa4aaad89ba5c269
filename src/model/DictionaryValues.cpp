#include "model/DictionaryValues.h"

#include "model/RectText.h"

namespace pathwicks {

Rect rectValue(const nlohmann::json& dictionary, const char* key) {
    const nlohmann::json* value = member(dictionary, key);
    if (!value || !value->is_string())
        return Rect{};
    return rectFromString(value->get_ref<const std::string&>());
}

} // namespace pathwicks
