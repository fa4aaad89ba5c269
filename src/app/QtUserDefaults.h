#pragma once

#include "canvas/CanvasHost.h"

namespace pathwicks {

// The user's remembered choices in the application's QSettings.
class QtUserDefaults : public UserDefaults {
public:
    std::optional<std::string> stringValue(std::string_view key) const override;
    void setString(std::string_view key, const std::string& value) override;
};

} // namespace pathwicks
