#pragma once

#include "model/Geometry.h"

#include <nlohmann/json.hpp>

#include <optional>
#include <string>

namespace pathwicks {

// Typed look-ups in a document's dictionaries: a value of another type counts as absent.

inline const nlohmann::json* member(const nlohmann::json& dictionary, const char* key) {
    if (!dictionary.is_object())
        return nullptr;
    auto it = dictionary.find(key);
    return it == dictionary.end() ? nullptr : &*it;
}

inline std::optional<std::string> stringValue(const nlohmann::json& dictionary, const char* key) {
    const nlohmann::json* value = member(dictionary, key);
    if (!value || !value->is_string())
        return std::nullopt;
    return value->get<std::string>();
}

// The rectangle text under the key, or the zero rectangle when it is not a string.
Rect rectValue(const nlohmann::json& dictionary, const char* key);

} // namespace pathwicks
