#include "model/DocumentFile.h"

#include "model/FileIO.h"
#include "model/RectText.h"
#include "model/StepsModel.h"

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

} // namespace

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
