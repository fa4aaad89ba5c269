#include "model/StepsModel.h"

#include "model/JsonText.h"
#include "model/RectText.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdint>
#include <unordered_map>

namespace pathwicks {

void StepsModel::changed() const {
    redraw();
}

void StepsModel::setContent(std::vector<ReferencePtr> content) {
    content_ = std::move(content);
    changed();
}

void StepsModel::appendReference(ReferencePtr reference) {
    content_.push_back(std::move(reference));
    changed();
}

void StepsModel::insertReference(size_t position, ReferencePtr reference) {
    content_.insert(content_.begin() + std::min(position, content_.size()), std::move(reference));
    changed();
}

void StepsModel::removeReferenceAt(size_t position) {
    if (position >= content_.size())
        return;
    content_.erase(content_.begin() + position);
    changed();
}

StepsModel StepsModel::detachedCopy() const {
    StepsModel copy;
    std::unordered_map<const Reference*, ReferencePtr> copies;
    copies.reserve(content_.size());
    copy.content_.reserve(content_.size());
    for (const auto& reference : content_) {
        auto twin = std::make_shared<Reference>(*reference);
        copies.emplace(reference.get(), twin);
        copy.content_.push_back(std::move(twin));
    }
    copy.arrows.reserve(arrows.size());
    for (const auto& [from, to] : arrows) {
        const auto start = copies.find(from.get());
        const auto end = copies.find(to.get());
        if (start != copies.end() && end != copies.end())
            copy.arrows.emplace_back(start->second, end->second);
    }
    copy.labels.reserve(labels.size());
    for (const auto& label : labels)
        copy.labels.push_back(std::make_shared<Label>(*label));
    return copy;
}

std::optional<std::string> StepsModel::encode(nlohmann::ordered_json topLevel) {
    for (size_t i = 0; i < content_.size(); ++i)
        content_[i]->index = static_cast<int64_t>(i);

    // Each arrow belongs to the box it starts from; an end that is not in the content (which
    // the edits never allow) would name a wrong position, so such an arrow is left out.
    auto isInContent = [this](const ReferencePtr& reference) {
        return reference && reference->index >= 0 &&
               static_cast<size_t>(reference->index) < content_.size() &&
               content_[reference->index] == reference;
    };
    std::vector<std::vector<int64_t>> outgoing(content_.size());
    for (const auto& [from, to] : arrows) {
        if (isInContent(from) && isInContent(to))
            outgoing[from->index].push_back(to->index);
    }

    // Other top-level entries that are containers are rare enough to go the long way.
    const bool flat = std::none_of(topLevel.begin(), topLevel.end(),
                                   [](const auto& value) { return value.is_structured(); });
    if (flat)
        return encodeFlat(topLevel, outgoing);

    nlohmann::ordered_json references = nlohmann::ordered_json::array();
    for (size_t i = 0; i < content_.size(); ++i)
        references.push_back(content_[i]->toDictionary(outgoing[i]));
    topLevel["content"] = std::move(references);

    nlohmann::ordered_json labelList = nlohmann::ordered_json::array();
    for (const auto& label : labels)
        labelList.push_back(label->toDictionary());
    topLevel["labels"] = std::move(labelList);

    try {
        return topLevel.dump(2);
    } catch (const nlohmann::json::exception&) {
        return std::nullopt;
    }
}

// The very text dump(2) writes for the top level with "content" and "labels" set, written
// straight from the records instead of through a JSON tree of the whole document: several
// times faster for a large document.
std::optional<std::string>
StepsModel::encodeFlat(const nlohmann::ordered_json& topLevel,
                       const std::vector<std::vector<int64_t>>& outgoing) const {
    std::string out;
    out.reserve(256 * content_.size() + 128 * labels.size() + 256);
    const auto entry = [&out](std::string_view indent, const char* key) {
        out += indent;
        out += '"';
        out += key;
        out += "\": ";
    };
    const auto text = [&out](std::string_view indent, const char* key, const std::string& value,
                             bool last) {
        out += indent;
        out += '"';
        out += key;
        out += "\": ";
        if (!appendJsonString(out, value))
            return false;
        out += last ? "\n" : ",\n";
        return true;
    };
    const auto writeContent = [&] {
        if (content_.empty()) {
            out += "[]";
            return true;
        }
        out += "[\n";
        for (size_t i = 0; i < content_.size(); ++i) {
            const Reference& reference = *content_[i];
            out += "    {\n";
            if (!text("      ", "id", reference.id, false) ||
                !text("      ", "title", reference.title, false) ||
                !text("      ", "editor", reference.editor, false) ||
                !text("      ", "rect", stringFromRect(reference.rect), false))
                return false;
            entry("      ", "arrows");
            if (outgoing[i].empty()) {
                out += "[]";
            } else {
                out += "[\n";
                for (size_t a = 0; a < outgoing[i].size(); ++a) {
                    out += "        ";
                    out += std::to_string(outgoing[i][a]);
                    out += a + 1 < outgoing[i].size() ? ",\n" : "\n";
                }
                out += "      ]";
            }
            out += i + 1 < content_.size() ? "\n    },\n" : "\n    }\n";
        }
        out += "  ]";
        return true;
    };
    const auto writeLabels = [&] {
        if (labels.empty()) {
            out += "[]";
            return true;
        }
        out += "[\n";
        for (size_t i = 0; i < labels.size(); ++i) {
            out += "    {\n";
            if (!text("      ", "title", labels[i]->title(), false) ||
                !text("      ", "rect", stringFromRect(labels[i]->rect), true))
                return false;
            out += i + 1 < labels.size() ? "    },\n" : "    }\n";
        }
        out += "  ]";
        return true;
    };

    out += "{\n";
    bool wroteContent = false;
    bool wroteLabels = false;
    bool first = true;
    const auto write = [&](const std::string& key, const auto& writeValue) {
        out += first ? "  " : ",\n  ";
        first = false;
        if (!appendJsonString(out, key))
            return false;
        out += ": ";
        return writeValue();
    };
    try {
        for (const auto& [key, value] : topLevel.items()) {
            bool written;
            if (key == "content")
                written = wroteContent = write(key, writeContent);
            else if (key == "labels")
                written = wroteLabels = write(key, writeLabels);
            else
                written = write(key, [&] {
                    out += value.dump(2);
                    return true;
                });
            if (!written)
                return std::nullopt;
        }
    } catch (const nlohmann::json::exception&) {
        return std::nullopt;
    }
    if (!wroteContent && !write("content", writeContent))
        return std::nullopt;
    if (!wroteLabels && !write("labels", writeLabels))
        return std::nullopt;
    out += "\n}";
    return out;
}

namespace {

// The "arrows" of one content element when it is an array of integers, else nothing.
const nlohmann::json* arrowList(const nlohmann::json& element) {
    auto it = element.find("arrows");
    if (it == element.end() || !it->is_array())
        return nullptr;
    for (const auto& value : *it) {
        if (!value.is_number_integer())
            return nullptr;
    }
    return &*it;
}

// The position an arrow list entry names; -1 for one too large to name any element.
int64_t arrowPosition(const nlohmann::json& value) {
    if (value.is_number_unsigned()) {
        const auto position = value.get<uint64_t>();
        return position > INT64_MAX ? -1 : static_cast<int64_t>(position);
    }
    return value.get<int64_t>();
}

} // namespace

void StepsModel::decode(const nlohmann::json* topLevel) {
    if (!topLevel || !topLevel->is_object())
        return;

    auto contentIt = topLevel->find("content");
    if (contentIt != topLevel->end() && contentIt->is_array()) {
        // The reference built from each element, or none for an element that is no object;
        // arrow positions count every element, built or not.
        std::vector<ReferencePtr> built;
        built.reserve(contentIt->size());
        content_.reserve(content_.size() + contentIt->size());
        for (const auto& element : *contentIt) {
            if (!element.is_object()) {
                built.push_back(nullptr);
                continue;
            }
            built.push_back(Reference::fromDictionary(element));
            appendReference(built.back());
        }
        for (size_t i = 0; i < built.size(); ++i) {
            if (!built[i])
                continue;
            const nlohmann::json* targets = arrowList((*contentIt)[i]);
            if (!targets)
                continue;
            for (const auto& value : *targets) {
                const int64_t target = arrowPosition(value);
                if (target < 0 || static_cast<size_t>(target) >= built.size() || !built[target])
                    continue;
                arrows.emplace_back(built[i], built[target]);
            }
        }
    }

    auto labelsIt = topLevel->find("labels");
    if (labelsIt != topLevel->end() && labelsIt->is_array()) {
        for (const auto& element : *labelsIt) {
            if (element.is_object())
                labels.push_back(Label::fromDictionary(element));
        }
    }
}

} // namespace pathwicks
