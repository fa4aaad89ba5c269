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

// A line as the panel shows it: without its carriage return, cut at previewLineLimit, tabs
// expanded.
std::string shownLine(std::string_view text) {
    if (!text.empty() && text.back() == '\r')
        text.remove_suffix(1);
    std::string shown = expandTabs(text.substr(0, previewLineLimit));
    if (text.size() > previewLineLimit)
        shown += "…";
    return shown;
}

// The line numbered `first` and up to `after` lines after it, as shown, from the bytes read so
// far and then the rest of the file (`more` when there may be more). Only whole lines are
// taken; the file is read no further than the last one shown.
std::vector<std::string> linesFrom(File& file, std::string bytes, bool more, uint64_t first,
                                   size_t after) {
    uint64_t number = 1;
    size_t start = 0;
    std::vector<std::string> lines;
    const auto take = [&](std::string_view text) {
        if (number >= first)
            lines.push_back(shownLine(text));
        ++number;
    };
    for (;;) {
        const size_t end = bytes.find('\n', start);
        if (end != std::string::npos) {
            take(std::string_view(bytes).substr(start, end - start));
            start = end + 1;
            if (lines.size() > after)
                break;
            continue;
        }
        // Lines before the marker need not be kept.
        if (number < first) {
            bytes.erase(0, start);
            start = 0;
        }
        if (more) {
            more = file.readMore(bytes);
            continue;
        }
        if (start < bytes.size())
            take(std::string_view(bytes).substr(start));
        break;
    }
    return lines;
}

} // namespace

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
    preview.lines = linesFrom(file, std::move(bytes), more, line, after);
    preview.status =
        preview.lines.empty() ? CodePreview::Status::tooShort : CodePreview::Status::shown;
    return preview;
}

} // namespace pathwicks
