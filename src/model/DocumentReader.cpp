#include "model/DocumentReader.h"

#include "model/DocumentFile.h"
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
    std::optional<std::string> id, title, editor, note;
    Rect rect;
    bool idWrong = false, titleWrong = false, editorWrong = false, noteWrong = false;
    bool rectUnread = false; // present, but no string holding four numbers
    bool hasArrows = false;
    bool arrowsIntegers = true;
    std::vector<int64_t> arrows; // -1 for a number too large to name any entry
};

using Entries = std::vector<std::optional<Entry>>; // none for an element that is no object

// An arrow list entry, or a number anywhere: -1 for one too large to name any entry.
int64_t wholeNumber(uint64_t value) {
    return value > uint64_t(INT64_MAX) ? -1 : int64_t(value);
}

// What each value of a document means where it stands. It is told the document's values in
// order, as a parser finds them or a walk over a parsed tree; of a container it does not
// open, it is told nothing more, not even its end.
class Reading {
public:
    enum class Shape { absent, expected, other };
    bool topIsObject = false;
    Shape window = Shape::absent, content = Shape::absent, labels = Shape::absent;
    std::string windowText;
    Entries contentEntries, labelEntries;
    std::set<std::string> unknownKeys;

    // A container begins (with `size` values, when known); false when its contents are not read.
    bool open(bool object, size_t size) {
        if (!places_.empty())
            return value(object ? Kind::object : Kind::array, nullptr, size);
        topIsObject = object;
        if (object)
            places_.push_back(Place::top);
        return object;
    }
    void close() { places_.pop_back(); }
    void key(std::string_view name) { key_.assign(name); }
    // A value that is no container: text when it is a string.
    void scalar(const std::string* text) {
        if (!places_.empty())
            value(text ? Kind::text : Kind::scalar, text, 0);
    }
    void integer(int64_t number) {
        if (!places_.empty() && places_.back() == Place::arrowList)
            current().arrows.push_back(number);
        else
            scalar(nullptr);
    }

private:
    enum class Place { top, contentList, labelList, entry, arrowList };
    enum class Kind { text, scalar, object, array };

    bool value(Kind kind, const std::string* text, size_t size) {
        switch (places_.back()) {
        case Place::top:
            return topValue(kind, text, size);
        case Place::contentList:
        case Place::labelList:
            return element(kind == Kind::object);
        case Place::entry:
            return entryValue(kind, text);
        case Place::arrowList:
            current().arrowsIntegers = false;
            return false;
        }
        return false;
    }

    bool topValue(Kind kind, const std::string* text, size_t size) {
        if (key_ == "window") {
            window = text ? Shape::expected : Shape::other;
            if (text)
                windowText = *text;
            return false;
        }
        if (key_ == "content" || key_ == "labels") {
            const bool isContent = key_ == "content";
            Entries& entries = isContent ? contentEntries : labelEntries;
            entries.clear();
            (isContent ? content : labels) = kind == Kind::array ? Shape::expected : Shape::other;
            if (kind != Kind::array)
                return false;
            if (size != size_t(-1))
                entries.reserve(size);
            places_.push_back(isContent ? Place::contentList : Place::labelList);
            return true;
        }
        if (key_ != "path")
            unknownKeys.insert("\"" + key_ + "\"");
        return false;
    }

    // An element of "content" or "labels": only an object is an entry.
    bool element(bool object) {
        inContent_ = places_.back() == Place::contentList;
        Entries& entries = inContent_ ? contentEntries : labelEntries;
        entries.emplace_back();
        if (object) {
            entries.back().emplace();
            places_.push_back(Place::entry);
        }
        return object;
    }

    bool entryValue(Kind kind, const std::string* text) {
        Entry& entry = current();
        const auto textField = [text](std::optional<std::string>& field, bool& wrong) {
            if (text)
                field = *text;
            else
                field.reset();
            wrong = !text;
        };
        if (inContent_ && key_ == "id") {
            textField(entry.id, entry.idWrong);
        } else if (key_ == "title") {
            textField(entry.title, entry.titleWrong);
        } else if (inContent_ && key_ == "editor") {
            textField(entry.editor, entry.editorWrong);
        } else if (inContent_ && key_ == "note") {
            textField(entry.note, entry.noteWrong);
        } else if (key_ == "rect") {
            entry.rect = text ? rectFromString(*text) : Rect{};
            entry.rectUnread = !text || !holdsRect(*text);
        } else if (inContent_ && key_ == "arrows") {
            entry.hasArrows = true;
            entry.arrowsIntegers = kind == Kind::array;
            entry.arrows.clear();
            if (kind == Kind::array) {
                places_.push_back(Place::arrowList);
                return true;
            }
        } else {
            unknownKeys.insert("\"" + key_ + "\"" + (inContent_ ? " in a box" : " in a label"));
        }
        return false;
    }

    Entry& current() { return *(inContent_ ? contentEntries : labelEntries).back(); }

    std::vector<Place> places_;
    std::string key_;
    bool inContent_ = false;
};

// Tells a reading what a parser finds in the bytes, leaving out the contents of every
// container it does not open.
class ParserEvents : public nlohmann::json_sax<json> {
public:
    explicit ParserEvents(Reading& reading) : reading_(reading) {}

    std::optional<std::string> error;

    bool null() override { return scalar(); }
    bool boolean(bool) override { return scalar(); }
    bool number_integer(number_integer_t value) override { return integer(value); }
    bool number_unsigned(number_unsigned_t value) override { return integer(wholeNumber(value)); }
    bool number_float(number_float_t, const string_t&) override { return scalar(); }
    bool binary(binary_t&) override { return scalar(); }
    bool string(string_t& value) override {
        if (skip_ == 0)
            reading_.scalar(&value);
        return true;
    }
    bool start_object(std::size_t size) override { return open(true, size); }
    bool start_array(std::size_t size) override { return open(false, size); }
    bool end_object() override { return close(); }
    bool end_array() override { return close(); }
    bool key(string_t& name) override {
        if (skip_ == 0)
            reading_.key(name);
        return true;
    }
    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception& failure)
        override {
        error = DocumentFile::invalidJsonReason(failure.what());
        return false;
    }

private:
    bool scalar() {
        if (skip_ == 0)
            reading_.scalar(nullptr);
        return true;
    }
    bool integer(int64_t value) {
        if (skip_ == 0)
            reading_.integer(value);
        return true;
    }
    bool open(bool object, size_t size) {
        if (skip_ > 0 || !reading_.open(object, size))
            ++skip_;
        return true;
    }
    bool close() {
        if (skip_ > 0)
            --skip_;
        else
            reading_.close();
        return true;
    }

    Reading& reading_;
    size_t skip_ = 0; // containers open that the reading does not read
};

// Tells a reading what a parsed tree holds, as a parser would; it goes only into the containers
// the reading opens, so however deep the tree, the walk goes a few levels down at most.
void walk(const json& value, Reading& reading) {
    switch (value.type()) {
    case json::value_t::object:
        if (reading.open(true, value.size())) {
            for (const auto& [name, member] : value.get_ref<const json::object_t&>()) {
                reading.key(name);
                walk(member, reading);
            }
            reading.close();
        }
        return;
    case json::value_t::array:
        if (reading.open(false, value.size())) {
            for (const auto& element : value.get_ref<const json::array_t&>())
                walk(element, reading);
            reading.close();
        }
        return;
    case json::value_t::string:
        reading.scalar(&value.get_ref<const std::string&>());
        return;
    case json::value_t::number_integer:
        reading.integer(value.get<int64_t>());
        return;
    case json::value_t::number_unsigned:
        reading.integer(wholeNumber(value.get<uint64_t>()));
        return;
    default:
        reading.scalar(nullptr);
        return;
    }
}

// How many of each thing a save would not keep.
struct Tally {
    size_t skippedReferences = 0, skippedLabels = 0, rectangles = 0, wrongValues = 0;
    size_t arrowLists = 0, droppedArrows = 0, wrongNotes = 0;
};

// The reference of each content entry, or none for an element that is no object: arrow
// positions count every element, built or not.
std::vector<ReferencePtr> references(Entries& entries, Tally& tally) {
    std::vector<ReferencePtr> built;
    built.reserve(entries.size());
    for (auto& entry : entries) {
        if (!entry) {
            built.push_back(nullptr);
            ++tally.skippedReferences;
            continue;
        }
        auto reference = std::make_shared<Reference>();
        reference->id = entry->id ? std::move(*entry->id) : Reference::generateId();
        if (entry->title)
            reference->title = std::move(*entry->title);
        if (entry->editor)
            reference->editor = std::move(*entry->editor);
        if (entry->note)
            reference->note = std::move(*entry->note);
        reference->rect = entry->rect;
        tally.rectangles += entry->rectUnread;
        tally.wrongValues += entry->idWrong + entry->titleWrong + entry->editorWrong;
        tally.wrongNotes += entry->noteWrong;
        built.push_back(std::move(reference));
    }
    return built;
}

void addArrows(const Entries& entries, const std::vector<ReferencePtr>& built, StepsModel& model,
               Tally& tally) {
    for (size_t i = 0; i < built.size(); ++i) {
        const auto& entry = entries[i];
        if (!entry || !entry->hasArrows)
            continue;
        if (!entry->arrowsIntegers) {
            ++tally.arrowLists;
            continue;
        }
        for (const int64_t target : entry->arrows) {
            if (target < 0 || uint64_t(target) >= built.size() || !built[target]) {
                ++tally.droppedArrows;
                continue;
            }
            model.arrows.emplace_back(built[i], built[target]);
        }
    }
}

void addLabels(const Entries& entries, StepsModel& model, Tally& tally) {
    for (const auto& entry : entries) {
        if (!entry) {
            ++tally.skippedLabels;
            continue;
        }
        auto label = Label::fromFields(entry->title, std::nullopt);
        label->rect = entry->rect;
        model.labels.push_back(std::move(label));
        tally.rectangles += entry->rectUnread;
        tally.wrongValues += entry->titleWrong;
    }
}

std::string counted(size_t count, const std::string& one, const std::string& many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

// What a save will leave out or write differently, one phrase for each kind.
std::vector<std::string> unkeptParts(const Reading& reading, const Tally& tally) {
    using Shape = Reading::Shape;
    std::vector<std::string> parts;
    if (reading.window == Shape::other ||
        (reading.window == Shape::expected && !holdsRect(reading.windowText)))
        parts.push_back("the window frame, which is not rectangle text");
    if (reading.content == Shape::other)
        parts.push_back("the \"content\" entry, which is not a list");
    if (reading.labels == Shape::other)
        parts.push_back("the \"labels\" entry, which is not a list");
    if (!reading.unknownKeys.empty()) {
        std::string names;
        for (const auto& key : reading.unknownKeys)
            names += (names.empty() ? "" : ", ") + key;
        parts.push_back((reading.unknownKeys.size() == 1 ? "a key this program does not keep: "
                                                          : "keys this program does not keep: ") +
                        names);
    }
    if (tally.skippedReferences)
        parts.push_back(counted(tally.skippedReferences, "box entry", "box entries") +
                        " that could not be read");
    if (tally.skippedLabels)
        parts.push_back(counted(tally.skippedLabels, "label entry", "label entries") +
                        " that could not be read");
    if (tally.rectangles)
        parts.push_back(counted(tally.rectangles, "rectangle", "rectangles") +
                        " that could not be read (saved with zeros where numbers are missing)");
    if (tally.wrongValues)
        parts.push_back(counted(tally.wrongValues, "name or editor that is",
                                "names or editors that are") +
                        " not text (replaced by defaults)");
    if (tally.wrongNotes)
        parts.push_back(counted(tally.wrongNotes, "note that is", "notes that are") +
                        " not text (left out)");
    if (tally.arrowLists)
        parts.push_back("the arrows of " + counted(tally.arrowLists, "box", "boxes") +
                        ", whose \"arrows\" are not a list of whole numbers");
    if (tally.droppedArrows)
        parts.push_back(counted(tally.droppedArrows, "arrow that points", "arrows that point") +
                        " to no box");
    return parts;
}

// Appends what a whole reading found to the model.
Read finish(Reading& reading, StepsModel& model) {
    Tally tally;
    const auto built = references(reading.contentEntries, tally);
    for (const auto& reference : built) {
        if (reference)
            model.appendReference(reference);
    }
    addArrows(reading.contentEntries, built, model, tally);
    addLabels(reading.labelEntries, model, tally);

    Read read;
    if (reading.window == Reading::Shape::expected)
        read.windowFrame = rectFromString(reading.windowText);
    read.unkeptParts = unkeptParts(reading, tally);
    return read;
}

} // namespace

std::variant<Read, std::string> read(std::string_view bytes, StepsModel& model) {
    Reading reading;
    ParserEvents events(reading);
    json::sax_parse(bytes, &events);
    if (events.error)
        return *events.error;
    if (!reading.topIsObject)
        return std::string(DocumentFile::notObjectReason);
    return finish(reading, model);
}

Read readParsed(const nlohmann::json& document, StepsModel& model) {
    Reading reading;
    walk(document, reading);
    if (!reading.topIsObject)
        return {};
    return finish(reading, model);
}

} // namespace pathwicks::DocumentReader
