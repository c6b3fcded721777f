// The window-layer side of the X11 backend.
#include "platform/backends/x11/X11WindowGlue.h"

#include "platform/win/detail/SurfaceDC.h"
#include "platform/win/detail/WindowManager.h"

namespace X11Glue {

bool WindowStyles(HWND hwnd, DWORD& style, DWORD& exStyle)
{
    Window* window = WindowManager::Find(hwnd);
    if (!window)
        return false;
    style = window->style;
    exStyle = window->exStyle;
    return true;
}

HWND Owner(HWND hwnd)
{
    Window* window = WindowManager::Find(hwnd);
    return window ? window->owner : nullptr;
}

bool Enabled(HWND hwnd)
{
    Window* window = WindowManager::Find(hwnd);
    return window != nullptr && !(window->style & WS_DISABLED);
}

std::string WindowText(HWND hwnd)
{
    Window* window = WindowManager::Find(hwnd);
    return window ? window->text : std::string();
}

cairo_surface_t* ScreenOverlay()
{
    return WindowManager::Get().ScreenOverlay();
}

void SetScreenSize(int width, int height)
{
    SetScreenDeviceSize(width, height);
}

} // namespace X11Glue
