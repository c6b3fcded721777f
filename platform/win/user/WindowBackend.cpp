// The backend defaults, the backend selection and the queue of backend events.
#include "platform/win/WindowBackend.h"

#include "platform/core/WindowHandle.h"
#include "platform/win/detail/KeyStates.h"
#include "platform/win/detail/MemoryBackend.h"
#include "platform/win/detail/WindowManager.h"

#include <chrono>

NativeWindowId IWindowBackend::CreateNativeWindow(HWND, const RECT&, NativeWindowKind) { return 0; }
void IWindowBackend::DestroyNativeWindow(NativeWindowId) {}
cairo_surface_t* IWindowBackend::GetSurface(NativeWindowId) { return nullptr; }
void IWindowBackend::ShowNativeWindow(NativeWindowId, NativeVisibility) {}
void IWindowBackend::MoveNativeWindow(NativeWindowId, const RECT&) {}
void IWindowBackend::Present(NativeWindowId, const RECT&) {}
void IWindowBackend::FocusNativeWindow(NativeWindowId) {}
void IWindowBackend::SetNativeTitle(NativeWindowId, const std::string&) {}
void IWindowBackend::SetCursor(HCURSOR) {}
SIZE IWindowBackend::ScreenSize() { return SIZE{1024, 768}; }
RECT IWindowBackend::WorkArea()
{
    const SIZE screen = ScreenSize();
    return RECT{0, 0, screen.cx, screen.cy};
}
bool IWindowBackend::GetClipboardText(std::string&) { return false; }
void IWindowBackend::SetClipboardText(const std::string&) {}
bool IWindowBackend::OwnsClipboard() const { return false; }
void IWindowBackend::Beep(UINT) {}
bool IWindowBackend::FocusChangeOvertaken(const BackendEvent&) { return false; }

void IWindowBackend::PumpEvents(DWORD timeoutMs)
{
    std::unique_lock lock(m_wakeMutex);
    auto woken = [&] { return m_woken; };
    if (timeoutMs == INFINITE)
        m_wakeCv.wait(lock, woken);
    else
        m_wakeCv.wait_for(lock, std::chrono::milliseconds(timeoutMs), woken);
    m_woken = false;
}

void IWindowBackend::Wake()
{
    {
        std::lock_guard lock(m_wakeMutex);
        m_woken = true;
    }
    m_wakeCv.notify_all();
}

namespace {
std::unique_ptr<IWindowBackend>& BackendSlot()
{
    static std::unique_ptr<IWindowBackend> backend;
    return backend;
}
} // namespace

void SetWindowBackend(std::unique_ptr<IWindowBackend> backend)
{
    WindowManager::Get().OnBackendChanging();
    // What the old display said of the lock keys is not the new one's word.
    KeyStates::ForgetLockStates();
    BackendSlot() = std::move(backend);
    WindowManager::Get().OnBackendChanged();
}

IWindowBackend& GetWindowBackend()
{
    auto& slot = BackendSlot();
    if (!slot)
        slot = std::make_unique<MemoryBackend>();
    return *slot;
}

void PostBackendEvent(BackendEvent event)
{
    WindowManager::Get().QueueBackendEvent(std::move(event));
}
