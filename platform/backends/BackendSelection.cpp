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
    if (!requested.empty() && requested != "x11")
        std::fprintf(stderr, "vostrel: unknown VOSTREL_BACKEND \"%s\" (headless or x11); using the X display\n",
                     requested.c_str());
    return BackendChoice::X11;
}

BackendChoice InstallDefaultBackend()
{
    if (RequestedBackend() == BackendChoice::Headless) {
        HeadlessBackend::Install();
        return BackendChoice::Headless;
    }
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || *display == '\0') {
        std::fprintf(stderr, "vostrel: there is no X display (DISPLAY is not set), so the window cannot be shown.\n");
        return BackendChoice::Unavailable;
    }
    std::string error;
    if (X11Backend::Install(nullptr, error))
        return BackendChoice::X11;
    std::fprintf(stderr, "vostrel: %s, so the window cannot be shown.\n", error.c_str());
    return BackendChoice::Unavailable;
}
