#pragma once

// The arguments of a subcommand, parsed the same way for all of them. Header-only and free of
// Qt, so that export, which is built with the Qt code, shares it.

#include <functional>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace pathwicks::cli {

// An option: a flag ("-i"), or, when it needs a value, "--scale N" or "--scale=N".
struct Option {
    std::string name;
    // For an option with a value: what to say when the value is missing; empty for a flag.
    std::string needsValue = {};
    // Why a value is refused, or nothing when it is taken. Asked as soon as the value is read.
    std::function<std::optional<std::string>(const std::string& value)> refusal = {};
};

// What a subcommand takes. Options come before the first file, and "--" ends them so that a
// file may be named like one.
struct Syntax {
    std::string command; // "format": messages begin with "pathwicks format: "
    std::string usage; // the whole usage line
    std::vector<Option> options = {};
    size_t files = 1;
    // Whether the first file ends the options, as "--" does. Otherwise, up to "--", anything
    // else that looks like an option is refused wherever it stands.
    bool fileEndsOptions = false;
};

struct Arguments {
    std::vector<std::string> files;
    // The options given, with their values ("" for a flag); a later one replaces an earlier.
    std::map<std::string, std::string> options;

    bool has(const std::string& name) const { return options.contains(name); }
    std::optional<std::string> value(const std::string& name) const {
        const auto it = options.find(name);
        return it == options.end() ? std::nullopt : std::optional(it->second);
    }
};

namespace detail {

inline const Option* optionNamed(const Syntax& syntax, const std::string& arg) {
    for (const auto& option : syntax.options) {
        if (arg == option.name)
            return &option;
        if (!option.needsValue.empty() && arg.starts_with(option.name + "="))
            return &option;
    }
    return nullptr;
}

// Reads the value of the option at args[i], moving i past a value given separately.
inline bool readOption(const Syntax& syntax, const Option& option,
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

} // namespace detail

// The files and options in args, or nothing for bad usage: then the reason, with the usage
// line unless a value was refused, has gone to err, and the subcommand exits with 2.
inline std::optional<Arguments> parseArguments(const Syntax& syntax,
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
                       result.files.empty() ? detail::optionNamed(syntax, arg) : nullptr) {
            if (!detail::readOption(syntax, *option, args, i, result, err))
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
    return result;
}

} // namespace pathwicks::cli
