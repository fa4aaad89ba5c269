#include "app/cli/FormatCommand.h"

#include "model/DocumentFile.h"
#include "model/FileIO.h"
#include "model/StepsModel.h"

#include <ostream>

namespace pathwicks::cli {

namespace {

constexpr const char* kUsage = "usage: pathwicks format [-i] FILE";

} // namespace

int runFormat(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    bool inPlace = false;
    std::vector<std::string> files;
    bool optionsEnded = false;
    for (const auto& arg : args) {
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && arg == "-i" && files.empty()) {
            inPlace = true;
        } else if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
            err << "pathwicks format: unknown option " << arg << "\n" << kUsage << "\n";
            return 2;
        } else {
            files.push_back(arg);
        }
    }
    if (files.size() != 1) {
        err << kUsage << "\n";
        return 2;
    }
    const std::string& path = files.front();

    const auto loaded = DocumentFile::load(path);
    if (auto* error = std::get_if<DocumentFile::LoadError>(&loaded)) {
        err << "pathwicks format: " << error->message << "\n";
        return 1;
    }
    const auto& content = std::get<nlohmann::json>(loaded);

    StepsModel model;
    model.decode(&content);
    auto bytes = DocumentFile::bytes(model, DocumentFile::windowFrame(content).value_or(Rect{}));
    if (!bytes) {
        err << "pathwicks format: " << path << ": the document cannot be written as JSON\n";
        return 1;
    }

    if (!inPlace) {
        out << *bytes;
        out.flush();
        return out ? 0 : 1;
    }
    if (auto error = writeFileAtomically(path, *bytes)) {
        err << "pathwicks format: " << error->message << "\n";
        return 1;
    }
    return 0;
}

} // namespace pathwicks::cli
