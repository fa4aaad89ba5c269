#pragma once

#include "model/Geometry.h"

#include <nlohmann/json_fwd.hpp>

#include <memory>
#include <optional>
#include <string>

namespace pathwicks {

class TextMeasurer;

// A free text caption on the canvas. Its id lives only as long as the program runs.
class Label {
public:
    Label();

    const std::string& id() const { return id_; }

    const std::string& title() const { return title_; }
    // Stores the title and makes the box as tall as the title measures; width and origin stay.
    void setTitle(std::string title, const TextMeasurer& measurer);

    Rect rect;
    // Chosen on the canvas; never written to the file.
    bool selected = false;

    static std::shared_ptr<Label> fromDictionary(const nlohmann::json& dictionary);
    // The same from the values of "title" and "rect" when they are text.
    static std::shared_ptr<Label> fromFields(const std::optional<std::string>& title,
                                             const std::optional<std::string>& rect);

    // Widens or narrows the box to its title, keeping its horizontal centre.
    void fitToTitle(const TextMeasurer& measurer);

private:
    std::string id_;
    std::string title_ = "Unnamed";
};

using LabelPtr = std::shared_ptr<Label>;

} // namespace pathwicks
