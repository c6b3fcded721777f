// The in-memory backend.
#include "platform/win/detail/MemoryBackend.h"

#include <algorithm>
#include <cairo.h>

MemoryBackend::MemoryBackend(SIZE screen) : m_screen(screen) {}

MemoryBackend::~MemoryBackend()
{
    for (auto& [id, native] : m_windows)
        cairo_surface_destroy(native.surface);
}

namespace {
cairo_surface_t* NewSurface(const RECT& rect)
{
    int width = std::max<int>(1, rect.right - rect.left);
    int height = std::max<int>(1, rect.bottom - rect.top);
    return cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
}
} // namespace

NativeWindowId MemoryBackend::CreateNativeWindow(HWND hwnd, const RECT& screenRect, NativeWindowKind kind)
{
    Native native;
    native.hwnd = hwnd;
    native.rect = screenRect;
    native.kind = kind;
    native.surface = NewSurface(screenRect);
    NativeWindowId id = m_next++;
    m_windows.emplace(id, std::move(native));
    return id;
}

void MemoryBackend::DestroyNativeWindow(NativeWindowId id)
{
    auto it = m_windows.find(id);
    if (it == m_windows.end())
        return;
    cairo_surface_destroy(it->second.surface);
    m_windows.erase(it);
}

cairo_surface_t* MemoryBackend::GetSurface(NativeWindowId id)
{
    auto it = m_windows.find(id);
    return it == m_windows.end() ? nullptr : it->second.surface;
}

void MemoryBackend::ShowNativeWindow(NativeWindowId id, NativeVisibility visibility)
{
    auto it = m_windows.find(id);
    if (it != m_windows.end())
        it->second.shown = visibility == NativeVisibility::Shown;
}

void MemoryBackend::SetNativeTitle(NativeWindowId id, const std::string& title)
{
    auto it = m_windows.find(id);
    if (it != m_windows.end())
        it->second.title = title;
}

void MemoryBackend::MoveNativeWindow(NativeWindowId id, const RECT& screenRect)
{
    auto it = m_windows.find(id);
    if (it == m_windows.end())
        return;
    Native& native = it->second;
    const bool resized = (native.rect.right - native.rect.left != screenRect.right - screenRect.left) ||
                         (native.rect.bottom - native.rect.top != screenRect.bottom - screenRect.top);
    native.rect = screenRect;
    if (!resized)
        return;
    // A new surface of the new size with the old pixels at the top left.
    cairo_surface_t* surface = NewSurface(screenRect);
    cairo_t* cr = cairo_create(surface);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(cr, native.surface, 0, 0);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_destroy(native.surface);
    native.surface = surface;
}

void MemoryBackend::Present(NativeWindowId id, const RECT& damage)
{
    auto it = m_windows.find(id);
    if (it != m_windows.end())
        it->second.presented.push_back(damage);
}

bool MemoryBackend::GetClipboardText(std::string& text)
{
    if (!m_hasClipboard)
        return false;
    text = m_clipboard;
    return true;
}

void MemoryBackend::SetClipboardText(const std::string& text)
{
    m_clipboard = text;
    m_hasClipboard = true;
}

const MemoryBackend::Native* MemoryBackend::Find(HWND hwnd) const
{
    for (auto& [id, native] : m_windows)
        if (native.hwnd == hwnd)
            return &native;
    return nullptr;
}
