#include "Tokenizer.h"

#include <cctype>
#include <cstdlib>

Token Tokenizer::peek() {
    const size_t saved = pos_;
    Token token = next();
    pos_ = saved;
    return token;
}

// pathwick-F170CBE3-3070-4D29-874B-AA3D5C19DE44
Token Tokenizer::next() {
    while (pos_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[pos_])))
        ++pos_;
    if (pos_ == text_.size())
        return {TokenKind::End};
    const char c = text_[pos_];
    if (std::isdigit(static_cast<unsigned char>(c)) || c == '.') {
        char* end = nullptr;
        const double value = std::strtod(text_.c_str() + pos_, &end);
        pos_ = static_cast<size_t>(end - text_.c_str());
        return {TokenKind::Number, value};
    }
    ++pos_;
    switch (c) {
    case '+': return {TokenKind::Plus};
    case '-': return {TokenKind::Minus};
    case '*': return {TokenKind::Star};
    case '/': return {TokenKind::Slash};
    case '(': return {TokenKind::LeftParen};
    case ')': return {TokenKind::RightParen};
    default: return {TokenKind::Invalid};
    }
}
