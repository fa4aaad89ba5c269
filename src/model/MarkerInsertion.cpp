#include "model/MarkerInsertion.h"

#include "model/CommentStyles.h"
#include "model/FileIO.h"
#include "model/MarkerRule.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace pathwicks {

namespace {

constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";
constexpr size_t binaryProbe = 8192;

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// Where each line starts; a text ending in a line feed has no line after it.
std::vector<size_t> lineStarts(std::string_view bytes) {
    std::vector<size_t> starts;
    const size_t first = bytes.starts_with(byteOrderMark) ? byteOrderMark.size() : 0;
    if (bytes.size() > first)
        starts.push_back(first);
    for (size_t at = bytes.find('\n'); at != std::string_view::npos; at = bytes.find('\n', at + 1))
        if (at + 1 < bytes.size())
            starts.push_back(at + 1);
    return starts;
}

std::string_view lineAt(std::string_view bytes, const std::vector<size_t>& starts, size_t index) {
    const size_t start = starts[index];
    size_t end = bytes.find('\n', start);
    if (end == std::string_view::npos)
        end = bytes.size();
    if (end > start && bytes[end - 1] == '\r')
        --end;
    return bytes.substr(start, end - start);
}

std::string_view lineEnding(std::string_view bytes) {
    const size_t feed = bytes.find('\n');
    return feed != std::string_view::npos && feed > 0 && bytes[feed - 1] == '\r' ? "\r\n" : "\n";
}

// An encoding line as Python and Emacs read one: a comment naming "coding:" or "coding=".
bool isEncodingLine(std::string_view line) {
    const size_t start = line.find_first_not_of(" \t\f");
    if (start == std::string_view::npos || line[start] != '#')
        return false;
    return line.find("coding:") != std::string_view::npos ||
           line.find("coding=") != std::string_view::npos;
}

// The lines at the top a marker goes after: "#!", then an encoding line; or "<?xml".
size_t headerLines(std::string_view bytes, const std::vector<size_t>& starts) {
    size_t header = 0;
    if (!starts.empty() && lineAt(bytes, starts, 0).starts_with("<?xml"))
        return 1;
    if (!starts.empty() && lineAt(bytes, starts, 0).starts_with("#!"))
        header = 1;
    if (header < starts.size() && header < 2 && isEncodingLine(lineAt(bytes, starts, header)))
        ++header;
    return header;
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (isBlank(text.front()) || text.front() == '\r'))
        text.remove_prefix(1);
    while (!text.empty() && (isBlank(text.back()) || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

} // namespace

size_t lineCount(std::string_view bytes) {
    return lineStarts(bytes).size();
}

std::optional<size_t> markedLine(std::string_view bytes, size_t line) {
    const auto starts = lineStarts(bytes);
    if (line < 1 || line > starts.size() + 1)
        return std::nullopt;
    return std::max(line, std::min(headerLines(bytes, starts) + 1, starts.size() + 1));
}

std::string lineText(std::string_view bytes, size_t line) {
    const auto starts = lineStarts(bytes);
    if (line < 1 || line > starts.size())
        return {};
    return std::string(trimmed(lineAt(bytes, starts, line - 1)));
}

std::optional<MarkerInsertion> insertMarker(std::string_view bytes, size_t line,
                                            std::string_view marker) {
    const auto target = markedLine(bytes, line);
    if (!target)
        return std::nullopt;
    const auto starts = lineStarts(bytes);
    const std::string_view ending = lineEnding(bytes);
    MarkerInsertion insertion{std::string(bytes), *target, lineText(bytes, *target)};
    if (*target > starts.size()) {
        // Appended: a last line without a line ending gets one first, and the marker, like it,
        // ends the file without one.
        const bool open = !bytes.empty() && bytes.back() != '\n' && !(bytes == byteOrderMark);
        insertion.bytes += open ? std::string(ending) + std::string(marker)
                                : std::string(marker) + std::string(ending);
        return insertion;
    }
    const std::string_view text = lineAt(bytes, starts, *target - 1);
    const size_t indent = std::find_if_not(text.begin(), text.end(), isBlank) - text.begin();
    insertion.bytes.insert(starts[*target - 1],
                           std::string(text.substr(0, indent)) + std::string(marker) +
                               std::string(ending));
    return insertion;
}

namespace {

// A save that gives up just before its rename when the file is no longer as it was read.
class UnchangedSteps : public SaveSteps {
public:
    explicit UnchangedSteps(const SourceFile& file) : file_(file) {}
    bool changed = false;

    int rename(const std::string& from, const std::string& to) override {
        const auto stamp = FileStamp::of(to);
        const auto now = stamp == file_.stamp ? readFileBytes(to)
                                              : std::variant<std::string, FileError>{FileError{}};
        const auto* bytes = std::get_if<std::string>(&now);
        if (!bytes || *bytes != file_.bytes) {
            changed = true;
            errno = EAGAIN;
            return -1;
        }
        return SaveSteps::rename(from, to);
    }

private:
    const SourceFile& file_;
};

} // namespace

std::variant<SourceFile, std::string> readSourceFile(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return path + ": cannot be read (" + std::string(std::strerror(errno)) + ")";
    if (!S_ISREG(info.st_mode))
        return path + ": is not a regular file";
    if (::access(path.c_str(), W_OK) != 0 || isReadOnly(path))
        return path + ": is not writable";
    if (uint64_t(info.st_size) > largestReadableFile)
        return path + ": is larger than " + std::to_string(largestReadableFile >> 20) + " MB";
    auto read = readFileBytes(path);
    if (auto* error = std::get_if<FileError>(&read))
        return error->message;
    SourceFile file{path, std::move(std::get<std::string>(read)), {}};
    if (file.bytes.find('\0') < binaryProbe)
        return path + ": looks like a binary file";
    const auto stamp = FileStamp::of(path);
    if (!stamp || stamp->size != int64_t(file.bytes.size()))
        return path + ": changed while it was read";
    file.stamp = *stamp;
    return file;
}

std::optional<std::string> rewriteSourceFile(const SourceFile& file, std::string_view bytes) {
    UnchangedSteps steps(file);
    const auto error = writeFileAtomically(file.path, bytes, steps);
    if (steps.changed)
        return file.path + ": changed since it was read; not written";
    if (error)
        return error->message;
    return std::nullopt;
}

std::variant<PlacedMarker, std::string> placeMarker(const std::string& path, size_t line,
                                                    const std::string& id,
                                                    const std::optional<std::string>& title,
                                                    const std::optional<MarkerStyle>& style) {
    auto read = readSourceFile(path);
    if (auto* why = std::get_if<std::string>(&read))
        return *why;
    const SourceFile& file = std::get<SourceFile>(read);
    const auto target = markedLine(file.bytes, line);
    if (!target)
        return path + ": line " + std::to_string(line) + " is out of range (the file has " +
               std::to_string(lineCount(file.bytes)) + " lines)";
    const auto fileStyle =
        style ? style : commentStyleFor(path, file.bytes.substr(0, file.bytes.find('\n')));
    if (!fileStyle)
        return path + ": no known comment style for this file; give one with --style";
    Reference reference;
    reference.id = id;
    reference.title = title ? *title : lineText(file.bytes, *target);
    if (reference.title.empty())
        reference.title = path + ":" + std::to_string(line);
    std::string marker = markerLine(reference, *fileStyle);
    marker.pop_back(); // its line feed: the file's own line ending goes in its place
    const auto insertion = insertMarker(file.bytes, line, marker);
    if (auto error = rewriteSourceFile(file, insertion->bytes))
        return *error;
    return PlacedMarker{insertion->line, reference.title};
}

namespace {

struct Leader {
    std::string_view opener;
    std::string_view closer;
};
// Longest first, so that "<!--" is not taken for "--".
constexpr Leader leaders[] = {{"<!--", "-->"}, {"REM", ""}, {"/*", "*/"}, {"(*", "*)"},
                              {"{-", "-}"},    {"//", ""},  {"::", ""},   {"--", ""},
                              {"*", ""},       {"#", ""},   {";", ""},    {"%", ""},
                              {"!", ""}};

// The part of the line the marker comment takes: from its leader (and the blanks before it) to
// the end of the comment; the whole line when nothing but blanks comes before the leader.
std::optional<std::pair<size_t, size_t>> commentSpan(std::string_view line, size_t idStart,
                                                     size_t idEnd) {
    size_t end = idStart;
    while (end > 0 && isBlank(line[end - 1]))
        --end;
    for (const auto& leader : leaders) {
        if (!line.substr(0, end).ends_with(leader.opener))
            continue;
        size_t start = end - leader.opener.size();
        while (start > 0 && isBlank(line[start - 1]))
            --start;
        size_t stop = line.size();
        if (!leader.closer.empty()) {
            const size_t closer = line.find(leader.closer, idEnd);
            if (closer != std::string_view::npos)
                stop = closer + leader.closer.size();
        }
        return std::pair{start, stop};
    }
    return std::nullopt;
}

} // namespace

std::optional<std::string> removeMarker(const std::string& path, size_t line,
                                        const std::string& id) {
    auto read = readSourceFile(path);
    if (auto* why = std::get_if<std::string>(&read))
        return *why;
    const SourceFile& file = std::get<SourceFile>(read);
    const auto starts = lineStarts(file.bytes);
    if (line < 1 || line > starts.size())
        return path + ": has no line " + std::to_string(line);
    const std::string_view text = lineAt(file.bytes, starts, line - 1);
    const size_t at = text.find(id);
    const auto span = at == std::string_view::npos || !isMarkerAt(text, at, id.size())
                          ? std::nullopt
                          : commentSpan(text, at, at + id.size());
    if (!span)
        return path + ":" + std::to_string(line) + ": holds no marker of " + id;
    std::string bytes = file.bytes;
    const size_t lineStart = starts[line - 1];
    if (span->first == 0) {
        // The whole line, its line ending with it.
        const size_t feed = file.bytes.find('\n', lineStart);
        const size_t stop = feed == std::string::npos ? file.bytes.size() : feed + 1;
        size_t from = lineStart;
        // A last line without a line ending takes the one before it instead.
        if (feed == std::string::npos && lineStart > 0)
            from = lineStart - (lineStart >= 2 && file.bytes[lineStart - 2] == '\r' ? 2 : 1);
        bytes.erase(from, stop - from);
    } else {
        bytes.erase(lineStart + span->first, span->second - span->first);
    }
    return rewriteSourceFile(file, bytes);
}

} // namespace pathwicks
