#pragma once

#include "model/Label.h"
#include "model/Listeners.h"
#include "model/Reference.h"

#include <nlohmann/json_fwd.hpp>

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace pathwicks {

// An arrow from the first reference to the second. Its ends are the boxes themselves, so two
// references that share an id are still two boxes with arrows of their own.
using Arrow = std::pair<ReferencePtr, ReferencePtr>;

// The content of one open document: references, the arrows between them, and labels.
// Every reference at either end of an arrow is also in the content.
class StepsModel {
public:
    // Called after every change of the content; the canvas redraws itself from it.
    Listeners<> redraw;

    std::vector<Arrow> arrows;
    std::vector<LabelPtr> labels;

    const std::vector<ReferencePtr>& content() const { return content_; }
    void setContent(std::vector<ReferencePtr> content);
    void appendReference(ReferencePtr reference);
    void insertReference(size_t position, ReferencePtr reference);
    void removeReferenceAt(size_t position);

    // The document's text with the given top-level entries, or nothing when it cannot be
    // serialised; written by DocumentWriter. Renumbers `index`.
    std::optional<std::string> encode(nlohmann::ordered_json topLevel);

    // A copy of the content that shares no record with this model, so that it can be encoded
    // on another thread while this one goes on changing. Arrows whose ends are not in the
    // content are left out, as encoding leaves them out.
    StepsModel detachedCopy() const;

    // Appends the references, arrows and labels that a parsed document describes, as
    // DocumentReader reads them.
    void decode(const nlohmann::json* topLevel);

private:
    void changed() const;

    std::vector<ReferencePtr> content_;
};

} // namespace pathwicks
