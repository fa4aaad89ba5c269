#include "model/StepsModel.h"

#include "model/DocumentReader.h"
#include "model/DocumentWriter.h"

#include <nlohmann/json.hpp>

#include <algorithm>
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
    return DocumentWriter::write(*this, topLevel);
}

void StepsModel::decode(const nlohmann::json* topLevel) {
    if (topLevel)
        DocumentReader::readParsed(*topLevel, *this);
}

} // namespace pathwicks
