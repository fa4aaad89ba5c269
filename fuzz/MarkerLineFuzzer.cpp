// Pasted text read as a marker line: what it gives is an id and a title that write back, in
// every style, as one line reading as the same id and a title that writes the same line again;
// and a line written for an id and a title taken from the input reads back so too.
#include "FuzzCheck.h"

#include "model/MarkerLine.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

using namespace pathwicks;

namespace {

Reference referenceFor(const std::string& id, const std::string& title) {
    Reference reference;
    reference.id = id;
    reference.title = title;
    return reference;
}

// In every style: one line, read back as the id, with a title that writes the same line again.
void writesBackStably(const std::string& id, const std::string& title) {
    for (const auto& style : markerStyles()) {
        const std::string line = markerLine(referenceFor(id, title), style);
        FUZZ_CHECK(line.ends_with("\n") && line.find_first_of("\r\n") == line.size() - 1);
        auto read = parseMarkerLine(line);
        FUZZ_CHECK(read && read->id == id);
        FUZZ_CHECK(markerLine(referenceFor(read->id, read->title), style) == line);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    if (auto marker = parseMarkerLine(text)) {
        FUZZ_CHECK(marker->id.starts_with("pathwick-"));
        FUZZ_CHECK(marker->id.find_first_of(" \t\r\n") == std::string::npos);
        FUZZ_CHECK(marker->title.find_first_of("\r\n") == std::string::npos);
        writesBackStably(marker->id, marker->title);
    }

    // The input split at its first NUL into an id's tail and a title, as the panel would write
    // them: ids never hold a blank or a control character.
    const size_t split = std::min(text.find('\0'), text.size());
    std::string id = "pathwick-" + std::string(text.substr(0, split));
    std::string title(split < text.size() ? text.substr(split + 1) : std::string_view{});
    if (id == "pathwick-" ||
        std::any_of(id.begin(), id.end(), [](char c) { return static_cast<unsigned char>(c) <= ' ' || c == 0x7f; }))
        return 0;
    writesBackStably(id, title);
    return 0;
}
