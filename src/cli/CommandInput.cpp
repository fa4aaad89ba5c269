#include "cli/CommandInput.h"

#include <ostream>

namespace pathwicks::cli {

std::variant<CommandInput, int> parseAndLoad(const Syntax& syntax,
                                             const std::vector<std::string>& args, int unreadable,
                                             std::ostream& err) {
    auto arguments = parseArguments(syntax, args, err);
    if (!arguments)
        return 2;
    auto loaded = Document::load(arguments->files.front());
    if (const auto* error = std::get_if<DocumentFile::LoadError>(&loaded)) {
        err << "pathwicks " << syntax.command << ": " << error->message << "\n";
        return unreadable;
    }
    return CommandInput{std::move(*arguments),
                        std::move(std::get<std::unique_ptr<Document>>(loaded))};
}

} // namespace pathwicks::cli
