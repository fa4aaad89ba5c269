#include "model/DocumentWriter.h"

#include "model/JsonText.h"
#include "model/RectText.h"
#include "model/StepsModel.h"

#include <nlohmann/json.hpp>

#include <cstdint>

namespace pathwicks::DocumentWriter {

namespace {

using Positions = std::vector<std::vector<int64_t>>;

// Where the arrows of each box point, by position. Each arrow belongs to the box it starts
// from; an end that is not in the content (which the edits never allow) would name a wrong
// position, so such an arrow is left out.
Positions arrowPositions(StepsModel& model) {
    const auto& content = model.content();
    for (size_t i = 0; i < content.size(); ++i)
        content[i]->index = static_cast<int64_t>(i);
    const auto isInContent = [&content](const ReferencePtr& reference) {
        return reference && reference->index >= 0 &&
               static_cast<size_t>(reference->index) < content.size() &&
               content[reference->index] == reference;
    };
    Positions outgoing(content.size());
    for (const auto& [from, to] : model.arrows) {
        if (isInContent(from) && isInContent(to))
            outgoing[from->index].push_back(to->index);
    }
    return outgoing;
}

// Writes the text straight from the records instead of through a JSON tree of the whole
// document: several times faster for a large document. Each part says false when a text is
// not UTF-8.
class Writer {
public:
    Writer(const StepsModel& model, Positions outgoing)
        : model_(model), outgoing_(std::move(outgoing)) {
        out_.reserve(256 * model.content().size() + 128 * model.labels.size() + 256);
    }

    bool document(const nlohmann::ordered_json& topLevel) {
        out_ += "{\n";
        bool wroteContent = false, wroteLabels = false;
        for (const auto& [key, value] : topLevel.items()) {
            if (!startEntry(key))
                return false;
            bool written;
            if (key == "content")
                written = wroteContent = references();
            else if (key == "labels")
                written = wroteLabels = labels();
            else
                written = other(value);
            if (!written)
                return false;
        }
        if (!wroteContent && !(startEntry("content") && references()))
            return false;
        if (!wroteLabels && !(startEntry("labels") && labels()))
            return false;
        out_ += "\n}";
        return true;
    }

    std::string text() && { return std::move(out_); }

private:
    bool startEntry(const std::string& key) {
        out_ += first_ ? "  " : ",\n  ";
        first_ = false;
        if (!appendJsonString(out_, key))
            return false;
        out_ += ": ";
        return true;
    }

    // Another entry's value, as dump(2) writes it one level in: each of its lines but the
    // first indented by two more spaces (a string never holds a line feed of its own).
    bool other(const nlohmann::ordered_json& value) {
        for (const char c : value.dump(2)) {
            out_ += c;
            if (c == '\n')
                out_ += "  ";
        }
        return true;
    }

    bool references() {
        const auto& content = model_.content();
        if (content.empty()) {
            out_ += "[]";
            return true;
        }
        out_ += "[\n";
        for (size_t i = 0; i < content.size(); ++i) {
            const Reference& reference = *content[i];
            out_ += "    {\n";
            if (!field("id", reference.id, false) || !field("title", reference.title, false) ||
                (!reference.note.empty() && !field("note", reference.note, false)) ||
                !field("editor", reference.editor, false) ||
                !field("rect", stringFromRect(reference.rect), false))
                return false;
            arrows(outgoing_[i]);
            out_ += i + 1 < content.size() ? "\n    },\n" : "\n    }\n";
        }
        out_ += "  ]";
        return true;
    }

    void arrows(const std::vector<int64_t>& targets) {
        out_ += "      \"arrows\": ";
        if (targets.empty()) {
            out_ += "[]";
            return;
        }
        out_ += "[\n";
        for (size_t i = 0; i < targets.size(); ++i) {
            out_ += "        ";
            out_ += std::to_string(targets[i]);
            out_ += i + 1 < targets.size() ? ",\n" : "\n";
        }
        out_ += "      ]";
    }

    bool labels() {
        const auto& labels = model_.labels;
        if (labels.empty()) {
            out_ += "[]";
            return true;
        }
        out_ += "[\n";
        for (size_t i = 0; i < labels.size(); ++i) {
            out_ += "    {\n";
            if (!field("title", labels[i]->title(), false) ||
                !field("rect", stringFromRect(labels[i]->rect), true))
                return false;
            out_ += i + 1 < labels.size() ? "    },\n" : "    }\n";
        }
        out_ += "  ]";
        return true;
    }

    // A text field of a box or a label.
    bool field(const char* key, const std::string& value, bool last) {
        out_ += "      \"";
        out_ += key;
        out_ += "\": ";
        if (!appendJsonString(out_, value))
            return false;
        out_ += last ? "\n" : ",\n";
        return true;
    }

    const StepsModel& model_;
    const Positions outgoing_;
    std::string out_;
    bool first_ = true;
};

} // namespace

std::optional<std::string> write(StepsModel& model, const nlohmann::ordered_json& topLevel) {
    Writer writer(model, arrowPositions(model));
    try {
        if (!writer.document(topLevel))
            return std::nullopt;
    } catch (const nlohmann::json::exception&) {
        return std::nullopt; // another entry with text that is not UTF-8
    }
    return std::move(writer).text();
}

} // namespace pathwicks::DocumentWriter
