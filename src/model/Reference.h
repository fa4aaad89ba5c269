#pragma once

#include "model/Geometry.h"

#include <nlohmann/json_fwd.hpp>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace pathwicks {

class TextMeasurer;

// The editor a new or unspecified reference names, and the one that marks a web link.
inline constexpr const char* defaultEditorName = "Xcode";
inline constexpr const char* webLinkEditorName = "Safari";

// A box on the canvas that stands for one place in the source code, or, with the web-link
// editor, for a web address. A shared, mutable object: whoever holds it sees every change.
// Made with fromDictionary, which gives it an id; a default-made one has an empty id.
class Reference {
public:
    std::string id;
    std::string title = "Unnamed";
    std::string note; // Markdown; empty when the box has none
    std::string editor = defaultEditorName;
    Rect rect;
    bool selected = false;
    // Position in the model's content, rewritten by the encoder just before it writes.
    int64_t index = 0;

    static std::string generateId();

    // Every absent or ill-typed value takes its fallback; building never fails.
    static std::shared_ptr<Reference> fromDictionary(const nlohmann::json& dictionary);

    bool isWebAddress() const { return editor == webLinkEditorName; }

    // The detail panel's marker: "// " + id, or a hint on how to write a web reference's title.
    std::string markerText() const;

    // The text shown in the box: for a web reference, the caption before the first comma.
    std::string displayTitle() const;

    // Widens or narrows the box to its display title, keeping its horizontal centre.
    void fitToTitle(const TextMeasurer& measurer);
};

using ReferencePtr = std::shared_ptr<Reference>;

// The web address of a web-link reference: everything after the first comma of its title.
std::optional<std::string> webAddress(const Reference& reference);

// Only http and https are opened or linked to: a document may come from anyone, and other
// schemes can start programs of their own.
bool isWebScheme(const std::string& address);

} // namespace pathwicks
