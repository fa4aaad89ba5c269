#include "model/DocumentFile.h"

#include "model/DocumentWriter.h"
#include "model/RectText.h"

namespace pathwicks::DocumentFile {

std::string invalidJsonReason(const std::string& parserMessage) {
    // The parser's own words, without its error code and the raw bytes it last read.
    std::string text = parserMessage;
    if (auto start = text.find("] "); start != std::string::npos)
        text.erase(0, start + 2);
    if (auto tail = text.find("; last read"); tail != std::string::npos)
        text.erase(tail);
    return "it is not valid JSON (" + text + ")";
}

std::variant<nlohmann::json, ReadError> parse(std::string_view bytes) {
    nlohmann::json content;
    try {
        content = nlohmann::json::parse(bytes);
    } catch (const nlohmann::json::parse_error& error) {
        return ReadError{invalidJsonReason(error.what())};
    } catch (const std::exception& error) {
        return ReadError{"it could not be parsed (" + std::string(error.what()) + ")"};
    }
    if (!content.is_object())
        return ReadError{notObjectReason};
    return content;
}

std::optional<std::string> bytes(StepsModel& model, const Rect& windowFrame) {
    nlohmann::ordered_json topLevel = nlohmann::ordered_json::object();
    topLevel["window"] = stringFromRect(windowFrame);
    auto text = DocumentWriter::write(model, topLevel);
    if (!text)
        return std::nullopt;
    *text += '\n';
    return text;
}

} // namespace pathwicks::DocumentFile
