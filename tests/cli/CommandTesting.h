#pragma once

#include "model/FileIO.h"

#include <filesystem>
#include <fstream>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

// What a subcommand run in the test's process returned and printed.
struct Outcome {
    int status;
    std::string out;
    std::string err;
};

using Subcommand = int (*)(const std::vector<std::string>&, std::ostream&, std::ostream&);

inline Outcome runCommand(Subcommand command, const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int status = command(args, out, err);
    return {status, out.str(), err.str()};
}

inline std::string readText(const std::filesystem::path& path) {
    auto bytes = pathwicks::readFileBytes(path.string());
    return std::holds_alternative<std::string>(bytes) ? std::get<std::string>(bytes) : "<error>";
}

inline void writeText(const std::filesystem::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}
