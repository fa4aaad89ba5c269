// The goto tools' marker search over a small tree made from the input, checked against a plain
// line-by-line search. The input is: the ids on its first line, separated by '|', then files
// separated by a 0x1e byte, each starting with its path (up to a ':').
#include "FuzzCheck.h"

#include "goto/MarkerSearch.h"
#include "goto/SourceTreeWalker.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <string_view>
#include <vector>

using namespace pathwicks;
namespace fs = std::filesystem;

namespace {

std::vector<std::string_view> split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    size_t start = 0;
    while (true) {
        const size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string_view::npos ? end : end - start));
        if (end == std::string_view::npos)
            return parts;
        start = end + 1;
    }
}

// A path of plain names, at most three deep, from whatever the input says.
std::string safePath(std::string_view wanted, size_t index) {
    std::string path;
    std::string name;
    int depth = 0;
    auto endName = [&] {
        if (!name.empty() && depth < 3) {
            path += (path.empty() ? "" : "/") + name;
            ++depth;
        }
        name.clear();
    };
    for (char c : wanted.substr(0, 40)) {
        if (c == '/')
            endName();
        else if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_')
            name += c;
    }
    endName();
    return (path.empty() ? "" : path + "/") + "f" + std::to_string(index);
}

// Lines as the goto tool counts them: ending at LF, CR LF or a lone CR.
std::vector<std::string_view> lines(std::string_view text) {
    std::vector<std::string_view> result;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' || text[i] == '\r') {
            result.push_back(text.substr(start, i - start));
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            start = i + 1;
        }
    }
    result.push_back(text.substr(start));
    return result;
}

// The marker rule, written out plainly: the id after a comment leader and blanks, then a
// blank or the line's end.
bool carriesMarker(std::string_view line, const std::string& id) {
    static const std::string_view leaders[] = {"//", "/*", "*",  "#",  "--",  ";", "%",
                                               "!",  "<!--", "(*", "{-", "REM", "::"};
    for (size_t at = line.find(id); at != std::string_view::npos; at = line.find(id, at + 1)) {
        const size_t end = at + id.size();
        if (end != line.size() && line[end] != ' ' && line[end] != '\t')
            continue;
        size_t before = at;
        while (before > 0 && (line[before - 1] == ' ' || line[before - 1] == '\t'))
            --before;
        for (const auto leader : leaders)
            if (line.substr(0, before).ends_with(leader))
                return true;
    }
    return false;
}

bool isBinary(std::string_view bytes) {
    return bytes.substr(0, SourceTreeWalker::binaryProbe).find('\0') != std::string_view::npos;
}

// A folder of its own for the trees, removed when the fuzzer exits.
// A folder for the trees: the one scripts/fuzz makes and removes (libFuzzer may end the
// process without running destructors), or one of our own, removed on a normal exit.
class Scratch {
public:
    Scratch() {
        if (const char* given = std::getenv("PATHWICKS_FUZZ_SCRATCH"); given && *given) {
            path = given;
            return;
        }
        std::string pattern = (fs::temp_directory_path() / "pathwicks-fuzz-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            std::abort();
        path = pattern;
        owned = true;
    }
    ~Scratch() {
        std::error_code ignored;
        if (owned)
            fs::remove_all(path, ignored);
    }
    fs::path path;
    bool owned = false;
};

const fs::path& scratch() {
    static const Scratch folder;
    return folder.path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const size_t firstLine = std::min(input.find('\n'), input.size());
    std::vector<std::string> ids;
    for (auto id : split(input.substr(0, firstLine), '|')) {
        if (ids.size() < 8)
            ids.emplace_back(id);
    }
    const auto files =
        split(firstLine < input.size() ? input.substr(firstLine + 1) : std::string_view{}, '\x1e');
    if (files.size() > 16)
        return 0;

    const fs::path root = scratch() / "tree";
    fs::remove_all(root);
    fs::create_directories(root);
    std::map<std::string, std::string> written; // path -> bytes, byte order like the search
    for (size_t i = 0; i < files.size(); ++i) {
        const size_t colon = std::min(files[i].find(':'), files[i].size());
        const std::string path = safePath(files[i].substr(0, colon), i);
        const std::string bytes(colon < files[i].size() ? files[i].substr(colon + 1) : "");
        const fs::path file = root / path;
        std::error_code error;
        fs::create_directories(file.parent_path(), error);
        if (error)
            continue; // a folder where a file of an earlier part stands
        std::ofstream out(file, std::ios::binary);
        out << bytes;
        out.close();
        if (!out)
            continue; // a folder of an earlier part stands where this file would
        written[path] = bytes;
    }

    const bool firstOnly = size > 0 && (data[size - 1] & 1);
    MarkerSearchOptions options;
    options.firstLinePerFile = firstOnly;
    // The rule is what is tested here; whatever ignore files lie above the trees' folder stay
    // out of it.
    options.honourIgnoreFiles = false;
    options.threads = size > 0 && (data[size - 1] & 2) ? 2 : 1;
    auto searched = searchMarkers(root.string(), ids, options);
    auto* result = std::get_if<MarkerSearchResult>(&searched);
    FUZZ_CHECK(result);
    FUZZ_CHECK(result->places.size() == ids.size());
    FUZZ_CHECK(result->unreadable == 0);

    for (size_t k = 0; k < ids.size(); ++k) {
        std::vector<MarkerPlace> expected;
        const bool findable = !ids[k].empty() && ids[k].find_first_of("\r\n") == std::string::npos;
        for (const auto& [path, bytes] : written) {
            if (!findable || isBinary(bytes))
                continue;
            const auto fileLines = lines(bytes);
            for (size_t line = 0; line < fileLines.size(); ++line) {
                if (carriesMarker(fileLines[line], ids[k])) {
                    expected.push_back({path, line + 1});
                    if (firstOnly)
                        break;
                }
            }
        }
        if (result->places[k] != expected) {
            std::fprintf(stderr, "id %zu '%s': %zu places found, %zu expected\n", k, ids[k].c_str(),
                         result->places[k].size(), expected.size());
            for (const auto& place : result->places[k])
                std::fprintf(stderr, "  found %s:%llu\n", place.path.c_str(),
                             static_cast<unsigned long long>(place.line));
            for (const auto& place : expected)
                std::fprintf(stderr, "  expected %s:%llu\n", place.path.c_str(),
                             static_cast<unsigned long long>(place.line));
            FUZZ_CHECK(result->places[k] == expected);
        }
    }
    return 0;
}
