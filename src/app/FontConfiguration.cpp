#include "app/FontConfiguration.h"

#include <dlfcn.h>

namespace pathwicks {

std::jthread readFontConfigurationMeanwhile() {
    // The library the toolkit is linked with, if it is: fontconfig reads its configuration
    // once, safely from any thread, and whoever asks next finds it read.
    void* fontconfig = ::dlopen("libfontconfig.so.1", RTLD_NOW | RTLD_NOLOAD);
    if (!fontconfig)
        return {};
    auto* init = reinterpret_cast<int (*)()>(::dlsym(fontconfig, "FcInit"));
    return std::jthread([fontconfig, init] {
        if (init)
            init();
        ::dlclose(fontconfig);
    });
}

} // namespace pathwicks
