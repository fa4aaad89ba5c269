#include "model/Bundle.h"

#include <climits>
#include <cstdlib>
#include <unistd.h>

#ifdef __APPLE__
#include <mach-o/dyld.h>
#endif

namespace pathwicks {

namespace {

std::string parentFolder(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string executablePath() {
#ifdef __APPLE__
    char buffer[PATH_MAX];
    uint32_t size = sizeof buffer;
    if (_NSGetExecutablePath(buffer, &size) == 0) {
        char resolved[PATH_MAX];
        if (::realpath(buffer, resolved))
            return resolved;
    }
    return {};
#else
    char buffer[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length <= 0)
        return {};
    return std::string(buffer, static_cast<size_t>(length));
#endif
}

} // namespace

std::string executableFolder() { return parentFolder(executablePath()); }

std::string bundlePath() { return parentFolder(executableFolder()) + "/lib/pathwicks"; }

std::string resourcesPath() { return bundlePath() + "/Contents/Resources"; }

} // namespace pathwicks
