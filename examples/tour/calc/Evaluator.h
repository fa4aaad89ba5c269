#pragma once

#include "Parser.h"

class Evaluator {
public:
    double run(const Expression& expression) const;
};
