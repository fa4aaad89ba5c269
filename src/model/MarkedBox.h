#pragma once

#include "model/StepsModel.h"
#include "model/TextMeasurer.h"

#include <nlohmann/json_fwd.hpp>

#include <optional>
#include <string>
#include <variant>

namespace pathwicks {

// A box `pathwicks mark --to` adds for the marker it has just written.
struct MarkedBoxRequest {
    std::string document; // the document's path, absolute
    std::string id;
    std::string title;
    std::string editor;
    std::optional<std::string> after; // the box an arrow comes from
};

nlohmann::json toJson(const MarkedBoxRequest& request);
// Nothing when the JSON is no such request.
std::optional<MarkedBoxRequest> markedBoxRequest(const nlohmann::json& json);

// The new box, fitted to its title and placed in free space below the lowest box, and the box
// its arrow comes from (null without `after`); the reason when `after` names no box.
struct MarkedBox {
    ReferencePtr box;
    ReferencePtr from;
};
std::variant<MarkedBox, std::string> makeMarkedBox(const StepsModel& model,
                                                   const MarkedBoxRequest& request,
                                                   const TextMeasurer& measurer);

// Width as an average character of the box's font takes, for measuring without a display.
class EstimatingMeasurer : public TextMeasurer {
public:
    Size measureText(std::string_view text, const TextAttributes& attributes) const override;
};

} // namespace pathwicks
