#include "app/cli/Commands.h"

#include "app/cli/CheckCommand.h"
#include "app/cli/FormatCommand.h"

namespace pathwicks::cli {

std::optional<int> runCommand(const std::vector<std::string>& args, std::ostream& out,
                              std::ostream& err) {
    if (args.empty())
        return std::nullopt;
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (args[0] == "check")
        return runCheck(rest, out, err);
    if (args[0] == "format")
        return runFormat(rest, out, err);
    return std::nullopt;
}

} // namespace pathwicks::cli
