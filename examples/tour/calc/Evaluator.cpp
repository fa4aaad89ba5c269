#include "Evaluator.h"

// pathwick-869F182D-C3ED-4032-9376-9B843251D932
double Evaluator::run(const Expression& e) const {
    switch (e.op) {
    case TokenKind::Plus: return run(*e.left) + run(*e.right);
    case TokenKind::Minus: return run(*e.left) - run(*e.right);
    case TokenKind::Star: return run(*e.left) * run(*e.right);
    case TokenKind::Slash: return run(*e.left) / run(*e.right);
    default: return e.value;
    }
}
