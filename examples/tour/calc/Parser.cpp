#include "Parser.h"

// Sums are made of terms, terms of factors: each level binds tighter than the one above it.
// pathwick-BD70EA4B-5466-454F-9592-88A252813F0D
std::unique_ptr<Expression> Parser::parseExpression() {
    auto left = parseTerm();
    while (left && (tokens_.peek().kind == TokenKind::Plus || tokens_.peek().kind == TokenKind::Minus)) {
        auto node = std::make_unique<Expression>();
        node->op = tokens_.next().kind;
        node->left = std::move(left);
        node->right = parseTerm();
        if (!node->right)
            return nullptr;
        left = std::move(node);
    }
    return left;
}

std::unique_ptr<Expression> Parser::parseTerm() {
    auto left = parseFactor();
    while (left && (tokens_.peek().kind == TokenKind::Star || tokens_.peek().kind == TokenKind::Slash)) {
        auto node = std::make_unique<Expression>();
        node->op = tokens_.next().kind;
        node->left = std::move(left);
        node->right = parseFactor();
        if (!node->right)
            return nullptr;
        left = std::move(node);
    }
    return left;
}

std::unique_ptr<Expression> Parser::parseFactor() {
    const Token token = tokens_.next();
    if (token.kind == TokenKind::Number) {
        auto leaf = std::make_unique<Expression>();
        leaf->value = token.value;
        return leaf;
    }
    if (token.kind == TokenKind::LeftParen) {
        auto inner = parseExpression();
        if (tokens_.next().kind != TokenKind::RightParen) {
            error_ = "expected ')'";
            return nullptr;
        }
        return inner;
    }
    error_ = "expected a number or '('";
    return nullptr;
}
