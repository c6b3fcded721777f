#include "WindowTestSupport.h"

#include <cairo.h>

#include <algorithm>

const char* const kRecordingClass = "RecordingWindow";

MessageLog& MessageLog::Get()
{
    static MessageLog log;
    return log;
}

std::vector<UINT> MessageLog::Messages(HWND hwnd, std::vector<UINT> only) const
{
    std::vector<UINT> result;
    for (auto& e : entries) {
        if (hwnd && e.hwnd != hwnd)
            continue;
        if (!only.empty() && std::find(only.begin(), only.end(), e.message) == only.end())
            continue;
        result.push_back(e.message);
    }
    return result;
}

size_t MessageLog::Count(HWND hwnd, UINT message) const
{
    return static_cast<size_t>(std::count_if(entries.begin(), entries.end(), [&](const Recorded& e) {
        return (!hwnd || e.hwnd == hwnd) && e.message == message;
    }));
}

LRESULT CALLBACK RecordingWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    MessageLog& log = MessageLog::Get();
    if (log.recording)
        log.entries.push_back({hwnd, message, wParam, lParam});
    auto it = log.handlers.find(message);
    if (it != log.handlers.end()) {
        bool handled = true;
        LRESULT result = it->second(hwnd, wParam, lParam, handled);
        if (handled)
            return result;
    }
    return DefWindowProc(hwnd, message, wParam, lParam);
}

void WindowTest::SetUp()
{
    auto memory = std::make_unique<MemoryBackend>(SIZE{800, 600});
    backend = memory.get();
    SetWindowBackend(std::move(memory));
    static bool registered = false;
    if (!registered) {
        WNDCLASS wc{};
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = RecordingWndProc;
        wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<intptr_t>(COLOR_WINDOW + 1));
        wc.lpszClassName = kRecordingClass;
        ASSERT_NE(RegisterClass(&wc), 0);
        registered = true;
    }
    MessageLog::Get().Clear();
    MessageLog::Get().handlers.clear();
    MessageLog::Get().recording = true;
}

void WindowTest::TearDown()
{
    MessageLog::Get().handlers.clear();
    MessageLog::Get().recording = false;
    for (auto it = created.rbegin(); it != created.rend(); ++it)
        if (IsWindow(*it))
            DestroyWindow(*it);
    ReleaseCapture();
    MSG msg;
    while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
    MessageLog::Get().Clear();
}

HWND WindowTest::Create(DWORD style, int x, int y, int cx, int cy, HWND parent, DWORD exStyle, int id)
{
    HWND hwnd = CreateWindowEx(exStyle, kRecordingClass, "test", style, x, y, cx, cy, parent,
                               reinterpret_cast<HMENU>(static_cast<intptr_t>(id)), nullptr, nullptr);
    if (hwnd)
        created.push_back(hwnd);
    return hwnd;
}

void WindowTest::Pump()
{
    MSG msg;
    for (int guard = 0; guard < 1000 && PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE); ++guard) {
        TranslateMessage(&msg);
        DispatchMessage(&msg);
    }
}

uint32_t WindowTest::Pixel(HWND top, int x, int y)
{
    const MemoryBackend::Native* native = backend->Find(top);
    EXPECT_NE(native, nullptr);
    if (!native)
        return 0xDEADBEEF;
    cairo_surface_flush(native->surface);
    unsigned char* data = cairo_image_surface_get_data(native->surface);
    int stride = cairo_image_surface_get_stride(native->surface);
    return *reinterpret_cast<uint32_t*>(data + y * stride + x * 4) & 0xFFFFFF;
}
