#include "panel/CodePreview.h"

#include "model/FileDescriptor.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pathwicks {

namespace {

constexpr size_t binaryProbe = 8 * 1024;
constexpr size_t chunk = 64 * 1024;

class File {
public:
    explicit File(const std::string& path)
        // Non-blocking, so that a FIFO put in place of the file cannot hold the window.
        : fd_(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY)) {}

    bool isRegular() const {
        struct stat info;
        return fd_.isOpen() && ::fstat(fd_.get(), &info) == 0 && S_ISREG(info.st_mode);
    }
    // Appends up to chunk bytes; false at the end or on an error.
    bool readMore(std::string& into) {
        const size_t old = into.size();
        into.resize(old + chunk);
        ssize_t got;
        do {
            got = ::read(fd_.get(), into.data() + old, chunk);
        } while (got < 0 && errno == EINTR);
        into.resize(old + size_t(std::max<ssize_t>(got, 0)));
        return got > 0;
    }

private:
    FileDescriptor fd_;
};

// The bidirectional controls, as UTF-8: embeddings and overrides (U+202A to U+202E), isolates
// (U+2066 to U+2069), the marks (U+200E, U+200F) and Arabic's (U+061C). Shown as they are, they
// reorder what follows unseen, so that a line reads as code that a compiler takes as a comment.
struct BidiControl {
    std::string_view bytes;
    std::string_view shown;
};
constexpr BidiControl bidiControls[] = {
    {"\u202A", "<U+202A>"}, {"\u202B", "<U+202B>"}, {"\u202C", "<U+202C>"},
    {"\u202D", "<U+202D>"}, {"\u202E", "<U+202E>"}, {"\u2066", "<U+2066>"},
    {"\u2067", "<U+2067>"}, {"\u2068", "<U+2068>"}, {"\u2069", "<U+2069>"},
    {"\u200E", "<U+200E>"}, {"\u200F", "<U+200F>"}, {"\u061C", "<U+061C>"},
};

// A line as the panel shows it: without its carriage return, tabs expanded, bidirectional
// controls named; "…" when the line went on beyond what was kept of it.
std::string shownLine(std::string_view text, bool cut) {
    if (!cut && !text.empty() && text.back() == '\r')
        text.remove_suffix(1);
    std::string shown = showBidiControls(expandTabs(text));
    if (cut)
        shown += "…";
    return shown;
}

// Reads the file's lines one by one, keeping at most previewLineLimit bytes of each: a line of
// any length costs no more memory or time than reading past it.
class LineReader {
public:
    LineReader(File& file, std::string bytes, bool more)
        : file_(file), bytes_(std::move(bytes)), more_(more) {}

    // The next line (cut tells whether it was longer than what is kept); false at the end.
    bool next(std::string& line, bool& cut) {
        line.clear();
        cut = false;
        bool any = false;
        for (;;) {
            const size_t end = bytes_.find('\n', start_);
            const size_t stop = end == std::string::npos ? bytes_.size() : end;
            any = any || stop > start_ || end != std::string::npos;
            const size_t room = previewLineLimit - std::min(line.size(), previewLineLimit);
            line.append(bytes_, start_, std::min(stop - start_, room));
            cut = cut || stop - start_ > room;
            if (end != std::string::npos) {
                start_ = end + 1;
                return true;
            }
            if (!refill())
                return any;
        }
    }
    // Passes over the next line without keeping it; false at the end.
    bool skip() {
        for (bool any = false;;) {
            const char* found = static_cast<const char*>(
                std::memchr(bytes_.data() + start_, '\n', bytes_.size() - start_));
            if (found) {
                start_ = size_t(found - bytes_.data()) + 1;
                return true;
            }
            any = any || start_ < bytes_.size();
            if (!refill())
                return any;
        }
    }

private:
    // Drops what was read and reads the next part; false at the end of the file.
    bool refill() {
        bytes_.clear();
        start_ = 0;
        if (more_)
            more_ = file_.readMore(bytes_);
        return !bytes_.empty();
    }

    File& file_;
    std::string bytes_;
    size_t start_ = 0;
    bool more_;
};

// The line numbered `first` and up to `after` lines after it, as shown. The file is read no
// further than the last one shown.
std::vector<std::string> linesFrom(LineReader& reader, uint64_t first, size_t after) {
    for (uint64_t number = 1; number < first; ++number)
        if (!reader.skip())
            return {};
    std::vector<std::string> lines;
    std::string line;
    bool cut = false;
    while (lines.size() <= after && reader.next(line, cut))
        lines.push_back(shownLine(line, cut));
    return lines;
}

} // namespace

std::string showBidiControls(std::string_view text) {
    std::string shown;
    shown.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        const auto control = std::find_if(std::begin(bidiControls), std::end(bidiControls),
                                          [&](const BidiControl& each) {
                                              return text.substr(i).starts_with(each.bytes);
                                          });
        if (control == std::end(bidiControls)) {
            shown += text[i++];
            continue;
        }
        shown += control->shown;
        i += control->bytes.size();
    }
    return shown;
}

bool looksBinary(std::string_view start) {
    return std::memchr(start.data(), '\0', std::min(start.size(), binaryProbe)) != nullptr;
}

std::string expandTabs(std::string_view line, size_t tabWidth) {
    std::string expanded;
    expanded.reserve(line.size());
    size_t column = 0;
    for (const char c : line) {
        if (c == '\t') {
            const size_t spaces = tabWidth - column % tabWidth;
            expanded.append(spaces, ' ');
            column += spaces;
            continue;
        }
        expanded += c;
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80)
            ++column;
    }
    return expanded;
}

CodePreview readCodePreview(const std::string& path, uint64_t line, size_t after) {
    CodePreview preview;
    File file(path);
    if (!file.isRegular() || line == 0)
        return preview;

    std::string bytes;
    bool more = true;
    while (more && bytes.size() < binaryProbe)
        more = file.readMore(bytes);
    if (looksBinary(bytes)) {
        preview.status = CodePreview::Status::notText;
        return preview;
    }
    LineReader reader(file, std::move(bytes), more);
    preview.lines = linesFrom(reader, line, after);
    preview.status =
        preview.lines.empty() ? CodePreview::Status::tooShort : CodePreview::Status::shown;
    return preview;
}

} // namespace pathwicks
