#pragma once

#include "appearance/Color.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace pathwicks {

// The canvas's colours and arrow shapes, read from Config.json. Nothing here reports an error:
// whatever is missing or ill-typed falls back to opaque red or 0, except the marker check's
// colours (MarkerMissing, MarkerDuplicated, MarkerBadgeText), which have built-in values.
class AppearanceConfig {
public:
    // Only the base and built-in colours, every metric 0: what a missing or broken Config.json
    // gives.
    AppearanceConfig();
    explicit AppearanceConfig(const nlohmann::ordered_json& config);

    static AppearanceConfig fromText(std::string_view text);
    static AppearanceConfig fromFile(const std::string& path);

    // The one every document shares: <Resources>/Config.json, read once on first use.
    static const AppearanceConfig& shared();

    Color namedColor(std::string_view name) const;

    double arrowAngle() const { return number("ArrowAngle"); }
    double arrowLength() const { return number("ArrowLength"); }
    double arrowGap() const { return number("ArrowGap"); }
    double arrowLineWidth() const { return number("ArrowLineWidth"); }

    // Bits 16-23, 8-15 and 0-7 of value as red, green and blue; higher bits are ignored.
    static Color hexColor(int64_t value, double alpha);

private:
    double number(const std::string& key) const;
    Color resolveSchemeValue(const nlohmann::ordered_json& value) const;

    std::map<std::string, Color, std::less<>> colorTable_;
    // Only swatches whose value is a string; the others count as absent.
    std::map<std::string, std::string, std::less<>> swatches_;
    std::map<std::string, double> numberTable_;
};

// Whole-string integer parsing: an optional sign and one or more digits of the base, nothing
// else; empty text or a value beyond 64 bits gives nothing.
std::optional<int64_t> parseInteger(std::string_view text, int base);

} // namespace pathwicks
