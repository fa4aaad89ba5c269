#include "cli/FormatCommand.h"

#include "cli/CommandInput.h"
#include "model/FileIO.h"

#include <ostream>

namespace pathwicks::cli {

namespace {

constexpr const char* usage = "usage: pathwicks format [-i] FILE";

} // namespace

int runFormat(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const auto input = parseAndLoad(
        {.command = "format", .usage = usage, .options = {{.name = "-i"}}}, args, 1, err);
    if (const int* status = std::get_if<int>(&input))
        return *status;
    const auto& [arguments, document] = std::get<CommandInput>(input);
    const std::string& path = arguments.files.front();
    for (const std::string& part : document->unkeptParts())
        err << "pathwicks format: " << path << ": not kept: " << part << "\n";
    if (arguments.has("-i") && isReadOnly(path)) {
        err << "pathwicks format: " << path << ": is read-only; not changed\n";
        return 1;
    }
    auto bytes = DocumentFile::bytes(document->model(), document->savedFrame().value_or(Rect{}));
    if (!bytes) {
        err << "pathwicks format: " << path << ": the document cannot be written as JSON\n";
        return 1;
    }

    if (!arguments.has("-i")) {
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
