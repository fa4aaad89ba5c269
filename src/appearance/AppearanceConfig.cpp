#include "appearance/AppearanceConfig.h"

#include "model/Bundle.h"
#include "model/FileIO.h"

#include <charconv>
#include <vector>

namespace pathwicks {

namespace {

using Json = nlohmann::ordered_json;

const std::map<std::string, Color, std::less<>>& baseColors() {
    static const std::map<std::string, Color, std::less<>> colors{
        {"white", {1, 1, 1, 1}}, {"black", {0, 0, 0, 1}}, {"yellow", {1, 1, 0, 1}},
        {"red", {1, 0, 0, 1}},   {"blue", {0, 0, 1, 1}},  {"green", {0, 1, 0, 1}},
        {"clear", {0, 0, 0, 0}},
    };
    return colors;
}

// Colours a configuration written before they existed may lack: a missing marker in brick red,
// a duplicated one in dark orange, each with white badge text.
const std::map<std::string, Color, std::less<>>& builtInColors() {
    static const std::map<std::string, Color, std::less<>> colors = [] {
        auto table = baseColors();
        table.emplace("MarkerMissing", AppearanceConfig::hexColor(0xC62828, 1));
        table.emplace("MarkerDuplicated", AppearanceConfig::hexColor(0xB35C00, 1));
        table.emplace("MarkerBadgeText", Color{1, 1, 1, 1});
        return table;
    }();
    return colors;
}

// "r g b [a]": 0-255 each, alpha in percent. Split at every single space, so runs of spaces
// give empty components, which count as 0 like any other that does not parse.
Color decimalColor(std::string_view text) {
    std::vector<std::string_view> components;
    size_t start = 0;
    while (true) {
        const size_t space = text.find(' ', start);
        components.push_back(text.substr(
            start, space == std::string_view::npos ? std::string_view::npos : space - start));
        if (space == std::string_view::npos)
            break;
        start = space + 1;
    }
    // Fewer than three components name no colour; red makes the mistake visible.
    if (components.size() < 3)
        return opaqueRed;
    auto value = [&](size_t i) {
        return static_cast<double>(parseInteger(components[i], 10).value_or(0));
    };
    return {value(0) / 255, value(1) / 255, value(2) / 255,
            components.size() > 3 ? value(3) / 100 : 1.0};
}

Json parseConfig(std::string_view text) {
    Json parsed = Json::parse(text, nullptr, false);
    if (parsed.is_discarded() || !parsed.is_object())
        return Json::object();
    return parsed;
}

} // namespace

std::optional<int64_t> parseInteger(std::string_view text, int base) {
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    // from_chars would take a second sign or stop early; the whole text must be digits.
    if (text.empty() || text.front() == '+' || text.front() == '-')
        return std::nullopt;
    uint64_t magnitude = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), magnitude, base);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    constexpr uint64_t limit = uint64_t(INT64_MAX);
    if (negative) {
        if (magnitude > limit + 1)
            return std::nullopt;
        return magnitude == limit + 1 ? INT64_MIN : -static_cast<int64_t>(magnitude);
    }
    if (magnitude > limit)
        return std::nullopt;
    return static_cast<int64_t>(magnitude);
}

AppearanceConfig::AppearanceConfig() : colorTable_(builtInColors()) {}

AppearanceConfig::AppearanceConfig(const Json& config) : AppearanceConfig() {
    if (!config.is_object())
        return;

    std::string schemeName;
    if (auto it = config.find("Color Scheme"); it != config.end() && it->is_string())
        schemeName = it->get<std::string>();

    if (auto it = config.find("Swatches"); it != config.end() && it->is_object()) {
        for (const auto& [name, value] : it->items()) {
            if (value.is_string())
                swatches_.emplace(name, value.get<std::string>());
        }
    }

    if (auto it = config.find("CGFloat"); it != config.end() && it->is_object()) {
        for (const auto& [name, value] : it->items()) {
            // Taken whole or not at all.
            if (!value.is_number()) {
                numberTable_.clear();
                break;
            }
            numberTable_[name] = value.get<double>();
        }
    }

    // Entries are resolved in document order, so one may name another written before it.
    if (auto it = config.find(schemeName); it != config.end() && it->is_object()) {
        for (const auto& [name, value] : it->items())
            colorTable_[name] = resolveSchemeValue(value);
    }
}

AppearanceConfig AppearanceConfig::fromText(std::string_view text) {
    return AppearanceConfig(parseConfig(text));
}

AppearanceConfig AppearanceConfig::fromFile(const std::string& path) {
    auto read = readFileBytes(path);
    if (auto* bytes = std::get_if<std::string>(&read))
        return fromText(*bytes);
    return AppearanceConfig();
}

const AppearanceConfig& AppearanceConfig::shared() {
    static const AppearanceConfig config = fromFile(resourcesPath() + "/Config.json");
    return config;
}

Color AppearanceConfig::hexColor(int64_t value, double alpha) {
    const auto bits = static_cast<uint64_t>(value);
    return {double((bits >> 16) & 0xFF) / 255, double((bits >> 8) & 0xFF) / 255,
            double(bits & 0xFF) / 255, alpha};
}

Color AppearanceConfig::resolveSchemeValue(const Json& value) const {
    const std::string name = value.is_string() ? value.get<std::string>() : "red";
    if (auto it = colorTable_.find(name); it != colorTable_.end())
        return it->second;
    if (auto it = swatches_.find(name); it != swatches_.end()) {
        const std::string& swatch = it->second;
        if (swatch.find(' ') != std::string::npos)
            return decimalColor(swatch);
        return hexColor(parseInteger(swatch, 16).value_or(0xFF0000), 1);
    }
    if (auto parsed = parseInteger(name, 16))
        return hexColor(*parsed, 1);
    return opaqueRed;
}

Color AppearanceConfig::namedColor(std::string_view name) const {
    if (auto it = colorTable_.find(name); it != colorTable_.end())
        return it->second;
    // Asked for directly, a swatch is read as hexadecimal only.
    if (auto it = swatches_.find(name); it != swatches_.end())
        return hexColor(parseInteger(it->second, 16).value_or(0xFF0000), 1);
    return opaqueRed;
}

double AppearanceConfig::number(const std::string& key) const {
    auto it = numberTable_.find(key);
    return it == numberTable_.end() ? 0 : it->second;
}

} // namespace pathwicks
