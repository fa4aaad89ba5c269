// Pasted text read as a marker line: what it gives is an id and a title that write back as a
// marker line reading as the same again; and a line written for an id and a title taken from
// the input reads back as them.
#include "FuzzCheck.h"

#include "panel/MarkerLine.h"

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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    if (auto marker = parseMarkerLine(text)) {
        FUZZ_CHECK(marker->id.starts_with("pathwick-"));
        FUZZ_CHECK(marker->id.find_first_of(" \r\n") == std::string::npos);
        FUZZ_CHECK(marker->title.find_first_of("\r\n") == std::string::npos);
        auto again = parseMarkerLine(markerLine(referenceFor(marker->id, marker->title)));
        FUZZ_CHECK(again && again->id == marker->id && again->title == marker->title);
    }

    // The input split at its first NUL into an id's tail and a title, as the panel would write
    // them: ids never hold a space or a line end, titles never a line end.
    const size_t split = std::min(text.find('\0'), text.size());
    std::string id = "pathwick-" + std::string(text.substr(0, split));
    std::string title(split < text.size() ? text.substr(split + 1) : std::string_view{});
    if (id.find_first_of(" \r\n") != std::string::npos ||
        title.find_first_of("\r\n") != std::string::npos)
        return 0;
    auto read = parseMarkerLine(markerLine(referenceFor(id, title)));
    FUZZ_CHECK(read && read->id == id && read->title == title);
    return 0;
}
