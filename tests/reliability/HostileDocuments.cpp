#include "HostileDocuments.h"

#include <nlohmann/json.hpp>

namespace pathwicks::hostile {

namespace {

std::string reference(size_t index, const std::string& title, const std::string& arrows,
                      const std::string& editor = "Xcode") {
    return "{\"id\":\"pathwick-" + std::to_string(index) +
           "\",\"title\":" + nlohmann::json(title).dump() +
           ",\"editor\":" + nlohmann::json(editor).dump() + ",\"rect\":\"{{" +
           std::to_string(index % 1000 * 10) + ", " + std::to_string(index / 1000 * 10) +
           "}, {100, 30}}\",\"arrows\":[" + arrows + "]}";
}

std::string document(const std::string& content, const std::string& labels = "") {
    return "{\"window\":\"{{0, 0}, {800, 600}}\",\"content\":[" + content + "],\"labels\":[" +
           labels + "]}\n";
}

} // namespace

std::string bigJson(size_t bytes) {
    const std::string title(200, 'w');
    std::string content;
    content.reserve(bytes + 1024);
    size_t i = 0;
    while (content.size() < bytes) {
        if (i > 0)
            content += ',';
        content += reference(i, title, std::to_string(i + 1));
        ++i;
    }
    return document(content);
}

std::string deepArrays(size_t depth) {
    return "{\"content\":" + std::string(depth, '[') + std::string(depth, ']') + "}";
}

std::string deepObjects(size_t depth) {
    std::string text = "{\"content\":[";
    for (size_t i = 0; i < depth; ++i)
        text += "{\"a\":";
    text += "1";
    text += std::string(depth, '}');
    return text + "]}";
}

std::string manyReferences(size_t references) {
    std::string content;
    for (size_t i = 0; i < references; ++i) {
        if (i > 0)
            content += ',';
        content += reference(i, "Step " + std::to_string(i),
                             std::to_string(i + 1 < references ? i + 1 : 0));
    }
    return document(content);
}

std::string manyArrows(size_t arrows) {
    std::string list;
    list.reserve(arrows * 2);
    for (size_t i = 0; i < arrows; ++i)
        list += i == 0 ? "1" : ",1";
    return document(reference(0, "Hub", list) + "," + reference(1, "Spoke", ""));
}

std::string longTitles(size_t bytes) {
    std::string title;
    title.reserve(bytes);
    while (title.size() < bytes)
        title += "A long title. ";
    title.resize(bytes);
    return document(reference(0, title, ""), "{\"title\":" + nlohmann::json(title).dump() +
                                                 ",\"rect\":\"{{0, 100}, {200, 30}}\"}");
}

std::string hugeCoordinates() {
    return "{\"window\":\"{{1e308, -1e308}, {1e308, 1e308}}\",\"content\":["
           "{\"id\":\"a\",\"rect\":\"{{1e308, -1e308}, {1e308, 1e308}}\",\"arrows\":[1]},"
           "{\"id\":\"b\",\"rect\":\"{{1e309, -1e999}, {nan, inf}}\",\"arrows\":[0]},"
           "{\"id\":\"c\",\"rect\":\"{{-0, 4.9e-324}, {-1e308, -1e308}}\"},"
           "{\"id\":\"d\",\"rect\":[1e308,1e308,1e308,1e308]},"
           "{\"id\":\"e\",\"rect\":\"{{" +
           std::string(400, '9') +
           ", 1}, {1, 1}}\"}],"
           "\"labels\":[{\"title\":\"far\",\"rect\":\"{{1e308, 1e308}, {1e308, 1e308}}\"},"
           "{\"title\":\"tiny\",\"rect\":\"{{1e-308, -1e-308}, {1e-320, 0}}\"}]}";
}

std::string controlCharacters() {
    std::string every;
    for (int c = 0; c < 0x20; ++c)
        every += static_cast<char>(c);
    every += "\x7f";
    // Also a right-to-left override and a zero-width joiner, which move or hide text.
    every += "\u202e\u200d";
    const std::string text = "before" + every + "after";
    return document(reference(0, text, "1", text) + "," + reference(1, every, "0", "Safari"),
                    "{\"title\":" + nlohmann::json(every).dump() +
                        ",\"rect\":\"{{0, 100}, {200, 30}}\"}");
}

std::vector<std::string> escapingEditorNames() {
    return {"../../../../../../bin/sh",
            "/bin/sh",
            "..",
            "vscode/../../../bin/true",
            std::string("vscode\0/../x", 12),
            "..\\..\\bin\\sh",
            "",
            " ",
            "~/bin/x",
            "$(touch /tmp/pathwicks-hostile)",
            "vscode; touch /tmp/pathwicks-hostile"};
}

std::string escapingEditors() {
    std::string content;
    size_t i = 0;
    for (const auto& editor : escapingEditorNames()) {
        if (i > 0)
            content += ',';
        content += reference(i, "Escape " + std::to_string(i), "", editor);
        ++i;
    }
    return document(content);
}

std::vector<std::string> otherSchemeTitles() {
    return {"Local,file:///etc/passwd",
            "Script,javascript:alert(1)",
            "Shell,ssh://example.org",
            "Data,data:text/html,<script>alert(1)</script>",
            "Mail,mailto:someone@example.org",
            "Relative,/etc/passwd",
            "Spaced, https://example.org",
            "Upper,HTTP://example.org",
            "Bare,https:",
            "Empty,"};
}

std::string otherSchemes() {
    std::string content;
    size_t i = 0;
    for (const auto& title : otherSchemeTitles()) {
        if (i > 0)
            content += ',';
        content += reference(i, title, "", "Safari");
        ++i;
    }
    return document(content);
}

std::vector<Document> allDocuments(bool fullSize) {
    const size_t scale = fullSize ? 1 : 100;
    return {
        {"json-50mb", "50 MB of JSON (references with long titles)", bigJson(50'000'000 / scale)},
        {"deep-arrays", "arrays nested 100,000 levels deep", deepArrays(100'000 / scale)},
        {"deep-objects", "objects nested 100,000 levels deep", deepObjects(100'000 / scale)},
        {"references-100k", "100,000 references with 100,000 arrows",
         manyReferences(100'000 / scale)},
        {"arrows-1m", "one reference with 1,000,000 arrows", manyArrows(1'000'000 / scale)},
        {"titles-1mb", "a reference and a label with titles of 1 MB",
         longTitles(1'000'000 / scale)},
        {"coordinates-1e308", "coordinates of 1e308, 1e999, nan, inf, 400 digits",
         hugeCoordinates()},
        {"control-characters", "titles, ids and editors with every control character",
         controlCharacters()},
        {"escaping-editors", "editor names such as ../../bin/sh", escapingEditors()},
        {"other-schemes", "web references with file:, javascript:, data: addresses",
         otherSchemes()},
    };
}

} // namespace pathwicks::hostile
