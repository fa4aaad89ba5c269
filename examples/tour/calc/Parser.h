#pragma once

#include "Tokenizer.h"

#include <memory>
#include <optional>
#include <string>

struct Expression {
    TokenKind op = TokenKind::Number; // Number for a leaf
    double value = 0;
    std::unique_ptr<Expression> left, right;
};

class Parser {
public:
    explicit Parser(Tokenizer& tokens) : tokens_(tokens) {}
    std::unique_ptr<Expression> parseExpression();
    const std::string& error() const { return error_; }

private:
    std::unique_ptr<Expression> parseTerm();
    std::unique_ptr<Expression> parseFactor();
    Tokenizer& tokens_;
    std::string error_;
};
