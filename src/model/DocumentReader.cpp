#include "model/DocumentReader.h"

#include "model/RectText.h"
#include "model/StepsModel.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <set>

namespace pathwicks::DocumentReader {

namespace {

using json = nlohmann::json;

// One object of "content" or "labels", as far as the model keeps it. A key given twice counts
// as its last value, as in a parsed tree.
struct Entry {
    std::optional<std::string> id, title, editor, rect;
    bool idWrong = false, titleWrong = false, editorWrong = false;
    bool rectUnread = false; // present, but no string holding four numbers
    bool hasArrows = false;
    bool arrowsIntegers = true;
    std::vector<int64_t> arrows; // -1 for a number too large to name any entry
};

enum class Place { top, contentList, labelList, entry, arrowList };

std::string counted(size_t count, const std::string& one, const std::string& many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

// The parser's own words, without its error code and the raw bytes it last read.
std::string describe(const std::string& what) {
    std::string text = what;
    if (auto start = text.find("] "); start != std::string::npos)
        text.erase(0, start + 2);
    if (auto tail = text.find("; last read"); tail != std::string::npos)
        text.erase(tail);
    return text;
}

class Handler : public nlohmann::json_sax<json> {
public:
    bool topIsObject = false;
    std::optional<std::string> parseError;

    enum class State { absent, list, other };
    State window = State::absent, content = State::absent, labels = State::absent;
    std::string windowText;
    std::vector<std::optional<Entry>> contentEntries, labelEntries;
    std::set<std::string> unknownKeys;

    bool null() override { return scalar(false); }
    bool boolean(bool) override { return scalar(false); }
    bool number_integer(number_integer_t value) override { return integer(value); }
    bool number_unsigned(number_unsigned_t value) override {
        return integer(value > uint64_t(INT64_MAX) ? -1 : int64_t(value));
    }
    bool number_float(number_float_t, const string_t&) override { return scalar(false); }
    bool binary(binary_t&) override { return scalar(false); }
    bool string(string_t& value) override {
        text_ = &value;
        const bool result = scalar(true);
        text_ = nullptr;
        return result;
    }
    bool start_object(std::size_t) override { return open(true); }
    bool start_array(std::size_t) override { return open(false); }
    bool end_object() override { return close(); }
    bool end_array() override { return close(); }
    bool key(string_t& name) override {
        if (skip_ == 0)
            key_ = std::move(name);
        return true;
    }
    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception& error)
        override {
        parseError = describe(error.what());
        return false;
    }

private:
    // A value that is no container: a string when text_ is set.
    bool scalar(bool isString) {
        if (skip_ > 0)
            return true;
        if (places_.empty())
            return true; // a top level that is no object
        switch (places_.back()) {
        case Place::top:
            topValue(isString, false);
            break;
        case Place::contentList:
            contentEntries.emplace_back();
            break;
        case Place::labelList:
            labelEntries.emplace_back();
            break;
        case Place::entry:
            entryValue(isString ? text_ : nullptr, false);
            break;
        case Place::arrowList:
            current().arrowsIntegers = false;
            break;
        }
        return true;
    }

    bool integer(int64_t value) {
        if (skip_ == 0 && !places_.empty() && places_.back() == Place::arrowList) {
            current().arrows.push_back(value);
            return true;
        }
        return scalar(false);
    }

    bool open(bool object) {
        if (skip_ > 0) {
            ++skip_;
            return true;
        }
        if (places_.empty()) {
            topIsObject = object;
            if (object)
                places_.push_back(Place::top);
            else
                skip_ = 1;
            return true;
        }
        opening_ = true;
        switch (places_.back()) {
        case Place::top:
            topValue(false, !object);
            break;
        case Place::contentList:
        case Place::labelList:
            (places_.back() == Place::contentList ? contentEntries : labelEntries)
                .emplace_back(object ? std::optional<Entry>(Entry{}) : std::nullopt);
            if (object) {
                inContent_ = places_.back() == Place::contentList;
                places_.push_back(Place::entry);
            } else {
                skip_ = 1;
            }
            break;
        case Place::entry:
            entryValue(nullptr, !object);
            break;
        case Place::arrowList:
            current().arrowsIntegers = false;
            skip_ = 1;
            break;
        }
        opening_ = false;
        return true;
    }

    bool close() {
        if (skip_ > 0)
            --skip_;
        else if (!places_.empty())
            places_.pop_back();
        return true;
    }

    // A value of the top level: a scalar, or a container (an array when `array`).
    void topValue(bool isString, bool array) {
        if (key_ == "window") {
            window = isString ? State::list : State::other;
            if (isString)
                windowText = *text_;
        } else if (key_ == "content" || key_ == "labels") {
            const bool isContent = key_ == "content";
            (isContent ? contentEntries : labelEntries).clear();
            (isContent ? content : labels) = array ? State::list : State::other;
            if (array) {
                places_.push_back(isContent ? Place::contentList : Place::labelList);
                return;
            }
        } else if (key_ != "path") {
            unknownKeys.insert("\"" + key_ + "\"");
        }
        skipIfOpening();
    }

    // A value of an entry: text when a string, else a scalar or a container (an array when
    // `array`).
    void entryValue(const std::string* text, bool array) {
        Entry& entry = current();
        const auto textField = [&](std::optional<std::string>& field, bool& wrong) {
            field = text ? std::optional(*text) : std::nullopt;
            wrong = !text;
        };
        if (inContent_ && key_ == "id") {
            textField(entry.id, entry.idWrong);
        } else if (key_ == "title") {
            textField(entry.title, entry.titleWrong);
        } else if (inContent_ && key_ == "editor") {
            textField(entry.editor, entry.editorWrong);
        } else if (key_ == "rect") {
            entry.rect = text ? std::optional(*text) : std::nullopt;
            entry.rectUnread = !text || !holdsRect(*text);
        } else if (inContent_ && key_ == "arrows") {
            entry.hasArrows = true;
            entry.arrowsIntegers = array;
            entry.arrows.clear();
            if (array) {
                places_.push_back(Place::arrowList);
                return;
            }
        } else {
            unknownKeys.insert("\"" + key_ + "\"" + (inContent_ ? " in a box" : " in a label"));
        }
        skipIfOpening();
    }

    // Called for a value that may be a container just opened: its contents are not read.
    void skipIfOpening() {
        if (opening_)
            skip_ = 1;
    }

    Entry& current() {
        auto& entries = inContent_ ? contentEntries : labelEntries;
        return *entries.back();
    }

    std::vector<Place> places_;
    size_t skip_ = 0;
    std::string key_;
    const std::string* text_ = nullptr;
    bool inContent_ = false;
    bool opening_ = false; // while a container is opened, as against a scalar read
};

void fill(const Handler& handler, StepsModel& model, Read& read) {
    // Arrow positions count every entry, built or not.
    std::vector<ReferencePtr> built;
    built.reserve(handler.contentEntries.size());
    size_t skippedReferences = 0, skippedLabels = 0, rectangles = 0, wrongValues = 0;
    size_t arrowLists = 0, droppedArrows = 0;
    for (const auto& entry : handler.contentEntries) {
        if (!entry) {
            built.push_back(nullptr);
            ++skippedReferences;
            continue;
        }
        auto reference = std::make_shared<Reference>();
        reference->id = entry->id ? *entry->id : Reference::generateId();
        if (entry->title)
            reference->title = *entry->title;
        if (entry->editor)
            reference->editor = *entry->editor;
        if (entry->rect)
            reference->rect = rectFromString(*entry->rect);
        rectangles += entry->rectUnread;
        wrongValues += entry->idWrong + entry->titleWrong + entry->editorWrong;
        built.push_back(reference);
        model.appendReference(std::move(reference));
    }
    for (size_t i = 0; i < built.size(); ++i) {
        const auto& entry = handler.contentEntries[i];
        if (!entry || !entry->hasArrows)
            continue;
        if (!entry->arrowsIntegers) {
            ++arrowLists;
            continue;
        }
        for (const int64_t target : entry->arrows) {
            if (target < 0 || uint64_t(target) >= built.size() || !built[target]) {
                ++droppedArrows;
                continue;
            }
            model.arrows.emplace_back(built[i], built[target]);
        }
    }
    for (const auto& entry : handler.labelEntries) {
        if (!entry) {
            ++skippedLabels;
            continue;
        }
        model.labels.push_back(Label::fromFields(entry->title, entry->rect));
        rectangles += entry->rectUnread;
        wrongValues += entry->titleWrong;
    }

    using State = Handler::State;
    if (handler.window == State::list)
        read.windowFrame = rectFromString(handler.windowText);
    auto& parts = read.unkeptParts;
    if (handler.window == State::other ||
        (handler.window == State::list && !holdsRect(handler.windowText)))
        parts.push_back("the window frame, which is not rectangle text");
    if (handler.content == State::other)
        parts.push_back("the \"content\" entry, which is not a list");
    if (handler.labels == State::other)
        parts.push_back("the \"labels\" entry, which is not a list");
    if (!handler.unknownKeys.empty()) {
        std::string names;
        for (const auto& key : handler.unknownKeys)
            names += (names.empty() ? "" : ", ") + key;
        parts.push_back((handler.unknownKeys.size() == 1 ? "a key this program does not keep: "
                                                          : "keys this program does not keep: ") +
                        names);
    }
    if (skippedReferences)
        parts.push_back(counted(skippedReferences, "box entry", "box entries") +
                        " that could not be read");
    if (skippedLabels)
        parts.push_back(counted(skippedLabels, "label entry", "label entries") +
                        " that could not be read");
    if (rectangles)
        parts.push_back(counted(rectangles, "rectangle", "rectangles") +
                        " that could not be read (saved with zeros where numbers are missing)");
    if (wrongValues)
        parts.push_back(counted(wrongValues, "name or editor that is", "names or editors that are") +
                        " not text (replaced by defaults)");
    if (arrowLists)
        parts.push_back("the arrows of " + counted(arrowLists, "box", "boxes") +
                        ", whose \"arrows\" are not a list of whole numbers");
    if (droppedArrows)
        parts.push_back(counted(droppedArrows, "arrow that points", "arrows that point") +
                        " to no box");
}

} // namespace

std::variant<Read, std::string> read(std::string_view bytes, StepsModel& model) {
    Handler handler;
    json::sax_parse(bytes, &handler);
    if (handler.parseError)
        return "it is not valid JSON (" + *handler.parseError + ")";
    if (!handler.topIsObject)
        return "its top level is not a JSON object";
    Read result;
    fill(handler, model, result);
    return result;
}

} // namespace pathwicks::DocumentReader
