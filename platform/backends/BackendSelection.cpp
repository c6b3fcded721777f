// The choice between the X11 and the headless backend.
#include "platform/backends/BackendSelection.h"

#include "platform/backends/headless/HeadlessBackend.h"
#include "platform/backends/x11/X11Backend.h"

#include <cstdio>
#include <cstdlib>
#include <string>

BackendChoice RequestedBackend()
{
    const char* backend = std::getenv("VOSTREL_BACKEND");
    const std::string requested = backend ? backend : "";
    if (requested == "headless")
        return BackendChoice::Headless;
    if (requested == "x11")
        return BackendChoice::X11;
    if (!requested.empty())
        std::fprintf(stderr, "vostrel: unknown VOSTREL_BACKEND \"%s\" (headless or x11); choosing by DISPLAY\n",
                     requested.c_str());
    const char* display = std::getenv("DISPLAY");
    return display && *display ? BackendChoice::X11 : BackendChoice::Headless;
}

BackendChoice InstallDefaultBackend()
{
    if (RequestedBackend() == BackendChoice::X11) {
        std::string error;
        if (X11Backend::Install(nullptr, error))
            return BackendChoice::X11;
        std::fprintf(stderr, "vostrel: %s; running without a display (headless)\n", error.c_str());
    }
    HeadlessBackend::Install();
    return BackendChoice::Headless;
}
