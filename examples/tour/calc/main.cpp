// calc: reads arithmetic expressions, one per line, and prints their values.
#include "Evaluator.h"
#include "Parser.h"
#include "Tokenizer.h"

#include <iostream>
#include <string>

int main() {
    std::string line;
    // pathwick-35233BEB-8E4C-421A-9504-718E008CA24C
    while (std::getline(std::cin, line)) {
        Tokenizer tokens(line);
        Parser parser(tokens);
        auto expression = parser.parseExpression();
        if (!expression) {
            std::cerr << "error: " << parser.error() << "\n";
            continue;
        }
        std::cout << Evaluator().run(*expression) << "\n";
    }
}
