#include "goto/GotoCommand.h"

#include <climits>
#include <cstdlib>
#include <iostream>
#include <unistd.h>

int main(int argc, char* argv[]) {
    pathwicks::GotoEnvironment environment;
    const char* path = std::getenv("PATH");
    environment.path = path ? path : "/usr/local/bin:/usr/bin:/bin";
    if (const char* home = std::getenv("HOME"))
        environment.home = home;
    if (const char* cacheHome = std::getenv("XDG_CACHE_HOME"))
        environment.cacheHome = cacheHome;
    // What chooses the terminal, the terminal editor and the user's editors file.
    for (const char* name : {"TERMINAL", "VISUAL", "EDITOR", "XDG_CONFIG_HOME"})
        if (const char* value = std::getenv(name))
            environment.variables[name] = value;
    char folder[PATH_MAX];
    if (::getcwd(folder, sizeof folder))
        environment.workingFolder = folder;
    const std::vector<std::string> args(argv + 1, argv + argc);
    return pathwicks::runGoto(argc > 0 ? argv[0] : "", args, std::cout, std::cerr, environment);
}
