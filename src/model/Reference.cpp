#include "model/Reference.h"

#include "model/DictionaryValues.h"
#include "model/RectText.h"
#include "model/TextMeasurer.h"
#include "model/Uuid.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cctype>

namespace pathwicks {

std::string Reference::generateId() { return "pathwick-" + makeUuidText(); }

std::shared_ptr<Reference> Reference::fromDictionary(const nlohmann::json& dictionary) {
    auto reference = std::make_shared<Reference>();
    auto id = stringValue(dictionary, "id");
    reference->id = id ? std::move(*id) : generateId();
    reference->title = stringValue(dictionary, "title").value_or("Unnamed");
    reference->note = stringValue(dictionary, "note").value_or("");
    reference->editor = stringValue(dictionary, "editor").value_or(defaultEditorName);
    reference->rect = rectValue(dictionary, "rect");
    return reference;
}

std::string Reference::markerText() const {
    if (isWebAddress())
        return "Format: <Title>,<URL>";
    return "// " + id;
}

std::string Reference::displayTitle() const {
    if (!isWebAddress())
        return title;
    const auto comma = title.find(',');
    return comma == std::string::npos ? title : title.substr(0, comma);
}

void Reference::fitToTitle(const TextMeasurer& measurer) {
    fitWidth(rect, measurer.measureText(displayTitle(), referenceTextAttributes()).width);
}

std::optional<std::string> webAddress(const Reference& reference) {
    const auto comma = reference.title.find(',');
    if (comma == std::string::npos)
        return std::nullopt;
    return reference.title.substr(comma + 1);
}

bool isWebScheme(const std::string& address) {
    const auto colon = address.find(':');
    if (colon == std::string::npos)
        return false;
    std::string scheme = address.substr(0, colon);
    std::transform(scheme.begin(), scheme.end(), scheme.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return (scheme == "http" || scheme == "https") && address.compare(colon, 3, "://") == 0 &&
           address.size() > colon + 3;
}

} // namespace pathwicks
