// Writes every hostile document at full size into a folder, for timing by hand
// (scripts/hostile-documents). Usage: hostile_documents FOLDER
#include "HostileDocuments.h"

#include <fstream>
#include <iostream>

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::cerr << "usage: hostile_documents FOLDER\n";
        return 2;
    }
    for (const auto& document : pathwicks::hostile::allDocuments(true)) {
        const std::string path = std::string(argv[1]) + "/" + document.name + ".pathwicks";
        std::ofstream(path, std::ios::binary) << document.bytes;
        std::cout << document.name << '\t' << document.bytes.size() << '\t' << document.what
                  << '\n';
    }
    return 0;
}
