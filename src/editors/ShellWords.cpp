#include "editors/ShellWords.h"

namespace pathwicks {

std::optional<std::vector<std::string>> shellWords(std::string_view text) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == ' ' || c == '\t' || c == '\n') {
            if (inWord)
                words.push_back(std::move(word));
            word.clear();
            inWord = false;
        } else if (c == '\'') {
            const size_t close = text.find('\'', i + 1);
            if (close == std::string_view::npos)
                return std::nullopt;
            word.append(text.substr(i + 1, close - i - 1));
            i = close;
            inWord = true;
        } else if (c == '"') {
            size_t j = i + 1;
            for (; j < text.size() && text[j] != '"'; ++j) {
                if (text[j] == '\\' && j + 1 < text.size() &&
                    std::string_view("$`\"\\\n").find(text[j + 1]) != std::string_view::npos) {
                    ++j;
                    if (text[j] == '\n')
                        continue;
                }
                word += text[j];
            }
            if (j >= text.size())
                return std::nullopt;
            i = j;
            inWord = true;
        } else if (c == '\\') {
            if (i + 1 < text.size()) {
                ++i;
                // A backslash before a newline joins the lines.
                if (text[i] != '\n') {
                    word += text[i];
                    inWord = true;
                }
            }
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord)
        words.push_back(std::move(word));
    return words;
}

} // namespace pathwicks
