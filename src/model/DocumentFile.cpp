#include "model/DocumentFile.h"

#include "model/FileIO.h"
#include "model/RectText.h"
#include "model/StepsModel.h"

#include <algorithm>
#include <set>

namespace pathwicks::DocumentFile {

namespace {

// The parser's own words, without its error code and the raw bytes it last read.
std::string describe(const nlohmann::json::parse_error& error) {
    std::string text = error.what();
    if (auto start = text.find("] "); start != std::string::npos)
        text.erase(0, start + 2);
    if (auto tail = text.find("; last read"); tail != std::string::npos)
        text.erase(tail);
    return text;
}

// Counts of what a save would not keep, gathered over a whole document.
struct Unkept {
    std::set<std::string> keys;
    size_t skippedReferences = 0;
    size_t skippedLabels = 0;
    size_t rectangles = 0;
    size_t wrongValues = 0;
    size_t arrowLists = 0;
    size_t arrows = 0;

    void checkRect(const nlohmann::json& object) {
        const auto it = object.find("rect");
        if (it != object.end() &&
            (!it->is_string() || !holdsRect(it->get_ref<const std::string&>())))
            ++rectangles;
    }
    void checkStrings(const nlohmann::json& object, std::initializer_list<const char*> keys) {
        for (const char* key : keys) {
            const auto it = object.find(key);
            if (it != object.end() && !it->is_string())
                ++wrongValues;
        }
    }
    void checkKeys(const nlohmann::json& object, std::initializer_list<std::string_view> known,
                   std::string_view where) {
        for (const auto& [key, value] : object.items()) {
            if (std::find(known.begin(), known.end(), key) == known.end())
                keys.insert("\"" + key + "\"" + std::string(where));
        }
    }
};

std::string counted(size_t count, const std::string& one, const std::string& many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

} // namespace

std::vector<std::string> unkeptParts(const nlohmann::json& content) {
    std::vector<std::string> parts;
    if (!content.is_object())
        return parts;
    Unkept unkept;
    unkept.checkKeys(content, {"window", "content", "labels", "path"}, "");
    if (const auto window = content.find("window");
        window != content.end() &&
        (!window->is_string() || !holdsRect(window->get_ref<const std::string&>())))
        parts.push_back("the window frame, which is not rectangle text");

    const auto references = content.find("content");
    if (references != content.end() && !references->is_array())
        parts.push_back("the \"content\" entry, which is not a list");
    if (references != content.end() && references->is_array()) {
        const size_t count = references->size();
        std::vector<bool> built(count);
        for (size_t i = 0; i < count; ++i)
            built[i] = (*references)[i].is_object();
        for (const auto& element : *references) {
            if (!element.is_object()) {
                ++unkept.skippedReferences;
                continue;
            }
            unkept.checkKeys(element, {"id", "title", "editor", "rect", "arrows"}, " in a box");
            unkept.checkStrings(element, {"id", "title", "editor"});
            unkept.checkRect(element);
            const auto arrows = element.find("arrows");
            if (arrows == element.end())
                continue;
            const bool integers =
                arrows->is_array() && std::all_of(arrows->begin(), arrows->end(),
                                                  [](const auto& v) { return v.is_number_integer(); });
            if (!integers) {
                ++unkept.arrowLists;
                continue;
            }
            for (const auto& value : *arrows) {
                const bool named = value.is_number_unsigned()
                                       ? value.template get<uint64_t>() < count
                                       : value.template get<int64_t>() >= 0 &&
                                             uint64_t(value.template get<int64_t>()) < count;
                if (!named || !built[value.template get<uint64_t>()])
                    ++unkept.arrows;
            }
        }
    }
    const auto labels = content.find("labels");
    if (labels != content.end() && !labels->is_array())
        parts.push_back("the \"labels\" entry, which is not a list");
    if (labels != content.end() && labels->is_array()) {
        for (const auto& element : *labels) {
            if (!element.is_object()) {
                ++unkept.skippedLabels;
                continue;
            }
            unkept.checkKeys(element, {"title", "rect"}, " in a label");
            unkept.checkStrings(element, {"title"});
            unkept.checkRect(element);
        }
    }

    if (!unkept.keys.empty()) {
        std::string names;
        for (const auto& key : unkept.keys)
            names += (names.empty() ? "" : ", ") + key;
        parts.push_back((unkept.keys.size() == 1 ? "a key this program does not keep: "
                                                 : "keys this program does not keep: ") +
                        names);
    }
    if (unkept.skippedReferences)
        parts.push_back(counted(unkept.skippedReferences, "box entry", "box entries") +
                        " that could not be read");
    if (unkept.skippedLabels)
        parts.push_back(counted(unkept.skippedLabels, "label entry", "label entries") +
                        " that could not be read");
    if (unkept.rectangles)
        parts.push_back(counted(unkept.rectangles, "rectangle", "rectangles") +
                        " that could not be read (written back as read)");
    if (unkept.wrongValues)
        parts.push_back(counted(unkept.wrongValues, "name or editor", "names or editors") +
                        " that are not text (replaced by defaults)");
    if (unkept.arrowLists)
        parts.push_back("the arrows of " + counted(unkept.arrowLists, "box", "boxes") +
                        ", whose \"arrows\" are not a list of whole numbers");
    if (unkept.arrows)
        parts.push_back(counted(unkept.arrows, "arrow", "arrows") + " that point to no box");
    return parts;
}

std::variant<nlohmann::json, ReadError> parse(std::string_view bytes,
                                              const std::optional<std::string>& path) {
    nlohmann::json content;
    try {
        content = nlohmann::json::parse(bytes);
    } catch (const nlohmann::json::parse_error& error) {
        return ReadError{"it is not valid JSON (" + describe(error) + ")"};
    } catch (const std::exception& error) {
        return ReadError{"it could not be parsed (" + std::string(error.what()) + ")"};
    }
    if (!content.is_object())
        return ReadError{"its top level is not a JSON object"};
    if (path)
        content["path"] = *path;
    return content;
}

std::variant<nlohmann::json, LoadError> load(const std::string& path) {
    auto bytes = readFileBytes(path);
    if (auto* error = std::get_if<FileError>(&bytes))
        return LoadError{error->message, error->message};
    auto parsed = parse(std::get<std::string>(bytes), path);
    if (auto* error = std::get_if<ReadError>(&parsed))
        return LoadError{path + ": cannot be opened as a document: " + error->reason,
                         "The file is not a Pathwicks document: " + error->reason + "."};
    return std::move(std::get<nlohmann::json>(parsed));
}

std::optional<Rect> windowFrame(const nlohmann::json& content) {
    auto it = content.find("window");
    if (it == content.end() || !it->is_string())
        return std::nullopt;
    return rectFromString(it->get_ref<const std::string&>());
}

std::optional<std::string> bytes(StepsModel& model, const Rect& windowFrame) {
    nlohmann::ordered_json topLevel = nlohmann::ordered_json::object();
    topLevel["window"] = stringFromRect(windowFrame);
    auto text = model.encode(std::move(topLevel));
    if (!text)
        return std::nullopt;
    *text += '\n';
    return text;
}

} // namespace pathwicks::DocumentFile
