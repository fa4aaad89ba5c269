#include "cli/Arguments.h"

#include <ostream>

namespace pathwicks::cli {

namespace {

const Option* optionNamed(const Syntax& syntax, const std::string& arg) {
    for (const auto& option : syntax.options) {
        if (arg == option.name)
            return &option;
        if (!option.needsValue.empty() && arg.starts_with(option.name + "="))
            return &option;
    }
    return nullptr;
}

// Reads the value of the option at args[i], moving i past a value given separately.
bool readOption(const Syntax& syntax, const Option& option,
                       const std::vector<std::string>& args, size_t& i, Arguments& result,
                       std::ostream& err) {
    const std::string& arg = args[i];
    std::string value;
    if (!option.needsValue.empty()) {
        if (arg == option.name && i + 1 == args.size()) {
            err << "pathwicks " << syntax.command << ": " << option.needsValue << "\n"
                << syntax.usage << "\n";
            return false;
        }
        value = arg == option.name ? args[++i] : arg.substr(option.name.size() + 1);
        if (auto why = option.refusal ? option.refusal(value) : std::nullopt) {
            err << "pathwicks " << syntax.command << ": " << *why << "\n";
            return false;
        }
    }
    result.options[option.name] = value;
    return true;
}

} // namespace

std::optional<Arguments> parseArguments(const Syntax& syntax,
                                               const std::vector<std::string>& args,
                                               std::ostream& err) {
    Arguments result;
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            result.files.push_back(arg);
            if (syntax.fileEndsOptions)
                optionsEnded = true;
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (const Option* option =
                       result.files.empty() ? optionNamed(syntax, arg) : nullptr) {
            if (!readOption(syntax, *option, args, i, result, err))
                return std::nullopt;
        } else {
            err << "pathwicks " << syntax.command << ": unknown option " << arg << "\n"
                << syntax.usage << "\n";
            return std::nullopt;
        }
    }
    if (result.files.size() != syntax.files) {
        err << syntax.usage << "\n";
        return std::nullopt;
    }
    if (syntax.accepts && !syntax.accepts(result, err))
        return std::nullopt;
    return result;
}

} // namespace pathwicks::cli
