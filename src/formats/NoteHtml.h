#pragma once

#include <string>
#include <string_view>

namespace pathwicks {

// A box's note, written in Markdown, as HTML that carries nothing but what the note says:
// paragraphs, *emphasis* and **strong** text, `code` and fenced code blocks, lists ("- ", "* ",
// "+ ", "1. "), and [links](https://…) to http and https addresses. Everything else, raw HTML
// and links of any other scheme included, is shown as the text it is.
std::string noteHtml(std::string_view markdown);

} // namespace pathwicks
