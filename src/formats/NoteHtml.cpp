#include "formats/NoteHtml.h"

#include "formats/TourStops.h"
#include "formats/VisibleText.h"
#include "model/Reference.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <vector>

namespace pathwicks {

namespace {

std::string inlineHtml(std::string_view text);

// Where the run of delimiter starting after `from` closes: not after a space; npos if nowhere.
size_t closing(std::string_view text, std::string_view delimiter, size_t from) {
    for (size_t at = text.find(delimiter, from); at != std::string_view::npos;
         at = text.find(delimiter, at + 1))
        if (at > from && text[at - 1] != ' ' && text[at - 1] != '\\')
            return at;
    return std::string_view::npos;
}

// `code`: the run of backticks at text[at], its closing run of the same length; the HTML and
// how much it took, or 0 when it does not close.
size_t code(std::string_view text, size_t at, std::string& html) {
    size_t run = 0;
    while (at + run < text.size() && text[at + run] == '`')
        ++run;
    const std::string fence(run, '`');
    for (size_t end = text.find(fence, at + run); end != std::string_view::npos;
         end = text.find(fence, end + run)) {
        if (end + run < text.size() && text[end + run] == '`')
            continue;
        html += "<code>" + htmlText(text.substr(at + run, end - at - run)) + "</code>";
        return end + run - at;
    }
    html += htmlText(fence);
    return run;
}

// [text](address): a link when the address is http or https; 0 when text[at] starts none.
size_t link(std::string_view text, size_t at, std::string& html) {
    const size_t middle = text.find("](", at);
    if (middle == std::string_view::npos)
        return 0;
    const size_t end = text.find(')', middle);
    if (end == std::string_view::npos ||
        text.substr(at + 1, middle - at - 1).find('[') != std::string_view::npos)
        return 0;
    std::string address(text.substr(middle + 2, end - middle - 2));
    if (!isWebScheme(address) || address.find_first_of(" \t\n\"<>") != std::string::npos)
        return 0;
    html += "<a href=\"" + htmlText(addressDestination(address)) + "\">" +
            inlineHtml(text.substr(at + 1, middle - at - 1)) + "</a>";
    return end + 1 - at;
}

// *emphasis*, _emphasis_, **strong**, __strong__; 0 when text[at] opens none.
size_t emphasis(std::string_view text, size_t at, std::string& html) {
    const char mark = text[at];
    // snake_case_names stay as they are.
    if (mark == '_' && at > 0 && std::isalnum(static_cast<unsigned char>(text[at - 1])))
        return 0;
    const bool strong = at + 1 < text.size() && text[at + 1] == mark;
    const std::string delimiter(strong ? 2 : 1, mark);
    const size_t inner = at + delimiter.size();
    if (inner >= text.size() || text[inner] == ' ')
        return 0;
    const size_t end = closing(text, delimiter, inner);
    if (end == std::string_view::npos)
        return 0;
    const char* tag = strong ? "strong" : "em";
    html += std::string("<") + tag + ">" + inlineHtml(text.substr(inner, end - inner)) + "</" +
            tag + ">";
    return end + delimiter.size() - at;
}

std::string inlineHtml(std::string_view text) {
    std::string html;
    size_t plain = 0;
    for (size_t at = 0; at < text.size();) {
        const char c = text[at];
        std::string made;
        size_t taken = 0;
        if (c == '\\' && at + 1 < text.size() &&
            std::ispunct(static_cast<unsigned char>(text[at + 1]))) {
            made = htmlText(text.substr(at + 1, 1));
            taken = 2;
        } else if (c == '`') {
            taken = code(text, at, made);
        } else if (c == '[') {
            taken = link(text, at, made);
        } else if (c == '*' || c == '_') {
            taken = emphasis(text, at, made);
        }
        if (taken == 0) {
            ++at;
            continue;
        }
        html += htmlText(text.substr(plain, at - plain)) + made;
        at += taken;
        plain = at;
    }
    return html + htmlText(text.substr(plain));
}

struct ListItem {
    bool ordered = false;
    size_t indent = 0; // where the item's text starts
};

// A list item's marker at the line's start: "- ", "* ", "+ " or "1. ", "1) ".
std::optional<ListItem> listItem(std::string_view line) {
    size_t at = line.find_first_not_of(' ');
    if (at == std::string_view::npos || at > 3)
        return std::nullopt;
    ListItem item;
    if (line[at] == '-' || line[at] == '*' || line[at] == '+') {
        ++at;
    } else {
        const size_t digits = line.find_first_not_of("0123456789", at);
        if (digits == at || digits == std::string_view::npos || digits - at > 9 ||
            (line[digits] != '.' && line[digits] != ')'))
            return std::nullopt;
        item.ordered = true;
        at = digits + 1;
    }
    if (at < line.size() && line[at] != ' ' && line[at] != '\t')
        return std::nullopt;
    item.indent = std::min(line.find_first_not_of(" \t", at), line.size());
    return item;
}

std::vector<std::string_view> linesOf(std::string_view text) {
    std::vector<std::string_view> lines;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t end = std::min(text.find('\n', start), text.size());
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

bool blank(std::string_view line) {
    return line.find_first_not_of(" \t") == std::string_view::npos;
}

bool isFence(std::string_view line) {
    const size_t at = line.find_first_not_of(' ');
    return at != std::string_view::npos && at <= 3 && line.substr(at).starts_with("```");
}

class Blocks {
public:
    explicit Blocks(std::string_view markdown) : lines_(linesOf(markdown)) {}

    std::string html() {
        while (at_ < lines_.size()) {
            if (blank(lines_[at_]))
                ++at_;
            else if (isFence(lines_[at_]))
                fenced();
            else if (listItem(lines_[at_]))
                list();
            else
                paragraph();
        }
        return std::move(html_);
    }

private:
    void fenced() {
        std::string code;
        for (++at_; at_ < lines_.size() && !isFence(lines_[at_]); ++at_)
            code += std::string(lines_[at_]) + "\n";
        ++at_;
        html_ += "<pre><code>" + htmlText(code) + "</code></pre>\n";
    }

    void list() {
        const bool ordered = listItem(lines_[at_])->ordered;
        html_ += ordered ? "<ol>\n" : "<ul>\n";
        while (at_ < lines_.size()) {
            const auto item = listItem(lines_[at_]);
            if (!item || item->ordered != ordered)
                break;
            std::string text(lines_[at_].substr(item->indent));
            // Lines below that are no new item, no blank and no fence continue it.
            for (++at_; at_ < lines_.size() && !blank(lines_[at_]) && !listItem(lines_[at_]) &&
                        !isFence(lines_[at_]);
                 ++at_)
                text += "\n" + trimmed(lines_[at_]);
            html_ += "<li>" + inlineHtml(text) + "</li>\n";
        }
        html_ += ordered ? "</ol>\n" : "</ul>\n";
    }

    void paragraph() {
        std::string text = trimmed(lines_[at_]);
        for (++at_; at_ < lines_.size() && !blank(lines_[at_]) && !listItem(lines_[at_]) &&
                    !isFence(lines_[at_]);
             ++at_)
            text += "\n" + trimmed(lines_[at_]);
        html_ += "<p>" + inlineHtml(text) + "</p>\n";
    }

    static std::string trimmed(std::string_view line) {
        const size_t first = line.find_first_not_of(" \t");
        const size_t last = line.find_last_not_of(" \t");
        return first == std::string_view::npos ? std::string()
                                               : std::string(line.substr(first, last - first + 1));
    }

    std::vector<std::string_view> lines_;
    size_t at_ = 0;
    std::string html_;
};

} // namespace

std::string noteHtml(std::string_view markdown) {
    return Blocks(markdown).html();
}

} // namespace pathwicks
