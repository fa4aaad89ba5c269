#include "app/cli/Commands.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char* argv[]) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (auto status = pathwicks::cli::runCommand(args, std::cout, std::cerr))
        return *status;

    // Until the document window exists, opening a document shows what a save would write.
    if (args.size() == 1)
        return *pathwicks::cli::runCommand({"format", args.front()}, std::cout, std::cerr);
    std::cerr << "usage: pathwicks FILE\n"
                 "       pathwicks format [-i] FILE\n";
    return 2;
}
