#pragma once

// The arguments of a subcommand, parsed the same way for all of them (export too).

#include <functional>
#include <map>
#include <optional>
#include <iosfwd>
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
    // What the arguments must also be once read, or nothing to check: when they are not, it
    // has said why on err, and the subcommand exits with 2 as for any bad usage.
    std::function<bool(const Arguments& arguments, std::ostream& err)> accepts = {};
};

// The files and options in args, or nothing for bad usage: then the reason, with the usage
// line unless a value was refused, has gone to err, and the subcommand exits with 2.
std::optional<Arguments> parseArguments(const Syntax& syntax, const std::vector<std::string>& args,
                                        std::ostream& err);

} // namespace pathwicks::cli
