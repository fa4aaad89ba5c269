#include "formats/TourStops.h"

#include "model/FileIO.h"
#include "model/TourOrder.h"
#include "model/Utf8.h"

#include <algorithm>
#include <filesystem>

namespace pathwicks {

std::variant<TourStops, std::string> findTourStops(const StepsModel& model,
                                                   const std::string& folder) {
    TourStops result;
    std::vector<std::string> ids;
    for (auto& box : tourOrder(model)) {
        result.index_.emplace(box.get(), result.stops.size());
        if (!box->isWebAddress())
            ids.push_back(box->id);
        result.stops.push_back({std::move(box), std::nullopt, {}});
    }

    auto searched = searchMarkers(folder, ids);
    if (auto* error = std::get_if<std::string>(&searched))
        return std::move(*error);
    const auto& found = std::get<MarkerSearchResult>(searched);
    result.unreadable = found.unreadable;
    size_t searchedIndex = 0;
    for (auto& stop : result.stops) {
        if (stop.box->isWebAddress())
            continue;
        const auto& places = found.places[searchedIndex++];
        if (places.empty())
            continue;
        stop.place = places.front();
        // A file that changed since the search yields an empty line, never a wrong one.
        const auto bytes = readFileBytes(folder + "/" + stop.place->path);
        if (const auto* text = std::get_if<std::string>(&bytes))
            stop.markerLine = lineOf(*text, stop.place->line);
    }
    return result;
}

std::string lineOf(std::string_view text, uint64_t line) {
    size_t start = 0;
    for (uint64_t current = 1; current < line; ++current) {
        const size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos)
            return {};
        start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
    const size_t end = std::min(text.find_first_of("\r\n", start), text.size());
    return std::string(text.substr(start, end - start));
}

namespace {

// White space by Unicode's White_Space property.
bool isUnicodeSpace(uint32_t c) {
    return (c >= 0x09 && c <= 0x0d) || c == 0x20 || c == 0x85 || c == 0xa0 || c == 0x1680 ||
           (c >= 0x2000 && c <= 0x200a) || c == 0x2028 || c == 0x2029 || c == 0x202f ||
           c == 0x205f || c == 0x3000;
}

} // namespace

std::string_view trimmedTitle(std::string_view text) {
    for (;;) {
        const auto [c, length] = decodeUtf8(text, 0);
        if (length == 0 || !isUnicodeSpace(c))
            break;
        text.remove_prefix(length);
    }
    while (!text.empty()) {
        size_t start = text.size() - 1;
        while (start > 0 && text.size() - start < 4 && (text[start] & 0xc0) == 0x80)
            --start;
        const auto [c, length] = decodeUtf8(text, start);
        if (length != text.size() - start || !isUnicodeSpace(c))
            break;
        text.remove_suffix(length);
    }
    return text;
}

std::optional<std::string> webLinkAddress(const Reference& box) {
    if (!box.isWebAddress())
        return std::nullopt;
    auto address = webAddress(box);
    if (!address || !isWebScheme(*address))
        return std::nullopt;
    return address;
}

std::string pathFrom(const std::string& fromFolder, const std::string& documentFolder,
                     const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path from = fs::weakly_canonical(fs::absolute(fromFolder, error), error);
    const fs::path target =
        fs::weakly_canonical(fs::absolute(fs::path(documentFolder) / path, error), error);
    if (error)
        return path;
    const fs::path relative = target.lexically_relative(from);
    return relative.empty() ? target.generic_string() : relative.generic_string();
}

namespace {

std::string percentEscaped(std::string_view text, std::string_view special) {
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string escaped;
    for (unsigned char c : text) {
        if (c > ' ' && c < 0x7f && special.find(char(c)) == std::string_view::npos) {
            escaped += char(c);
        } else {
            escaped += '%';
            escaped += hex[c >> 4];
            escaped += hex[c & 15];
        }
    }
    return escaped;
}

} // namespace

std::string linkDestination(std::string_view path) {
    return percentEscaped(path, "\"<>()[]%\\#`'?:");
}

std::string addressDestination(std::string_view address) {
    return percentEscaped(address, "\"<>()[]\\`'");
}

} // namespace pathwicks
