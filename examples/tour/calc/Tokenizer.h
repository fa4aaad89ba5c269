#pragma once

#include <string>

// pathwick-74796DD4-4B83-461A-8646-F21DEDB0FC5F
enum class TokenKind { Number, Plus, Minus, Star, Slash, LeftParen, RightParen, End, Invalid };

struct Token {
    TokenKind kind;
    double value = 0;
};

class Tokenizer {
public:
    explicit Tokenizer(std::string text) : text_(std::move(text)) {}
    Token next();
    Token peek();

private:
    std::string text_;
    size_t pos_ = 0;
};
