// A 1920 x 1080 top-level window: scrolling its whole client area, and pushing a full frame to
// the X server (on $DISPLAY, or on a private Xvfb started here when there is none).
#include "platform/backends/headless/HeadlessBackend.h"
#include "platform/backends/x11/X11Backend.h"
#include "platform/win/Gdi.h"
#include "platform/win/UserApi.h"
#include "platform/win/detail/WindowManager.h"
#include "tests/platform/win/XvfbServer.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

LRESULT CALLBACK BenchProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAINT) {
        // Stripes, so that the pixels moved and pushed are not all alike.
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        for (int y = ps.rcPaint.top - ps.rcPaint.top % 16; y < ps.rcPaint.bottom; y += 16) {
            HBRUSH brush = CreateSolidBrush(RGB((y * 7) & 255, (y * 3) & 255, 200));
            RECT band{ps.rcPaint.left, y, ps.rcPaint.right, y + 16};
            FillRect(dc, &band, brush);
            DeleteObject(brush);
        }
        EndPaint(hwnd, &ps);
        return 0;
    }
    return DefWindowProc(hwnd, message, wParam, lParam);
}

HWND MakeWindow()
{
    static bool registered = false;
    if (!registered) {
        registered = true;
        WNDCLASS wc{};
        wc.lpfnWndProc = BenchProc;
        wc.lpszClassName = "WindowBench";
        RegisterClass(&wc);
    }
    HWND hwnd = CreateWindowEx(0, "WindowBench", "Bench", WS_POPUP | WS_VISIBLE, 0, 0, kWidth, kHeight, nullptr,
                               nullptr, nullptr, nullptr);
    UpdateWindow(hwnd);
    return hwnd;
}

void DispatchAll()
{
    MSG msg;
    while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessage(&msg);
}

// The X display of the benchmarks: $DISPLAY when set, else a private Xvfb at 1920 x 1080.
const char* BenchDisplay(std::string& why)
{
    static std::unique_ptr<XvfbServer> server;
    static std::string name;
    if (!name.empty())
        return name.c_str();
    if (const char* display = std::getenv("DISPLAY"); display && *display) {
        name = display;
        return name.c_str();
    }
    if (!XvfbServer::Available()) {
        why = "no DISPLAY and Xvfb is not installed";
        return nullptr;
    }
    server = std::make_unique<XvfbServer>(kWidth, kHeight);
    if (!server->Start()) {
        why = "Xvfb did not start";
        server.reset();
        return nullptr;
    }
    name = server->DisplayName();
    return name.c_str();
}

// The X11 backend on the benchmarks' display, or null with the benchmark marked skipped.
X11Backend* InstallX11(benchmark::State& state)
{
    std::string why;
    const char* display = BenchDisplay(why);
    std::string error;
    X11Backend* x11 = display ? X11Backend::Install(display, error) : nullptr;
    if (!x11)
        state.SkipWithError((why.empty() ? error : why).c_str());
    return x11;
}

void ScrollWholeClient(benchmark::State& state, HWND hwnd)
{
    for (auto _ : state) {
        ScrollWindowEx(hwnd, 0, -16, nullptr, nullptr, nullptr, nullptr, 0);
        // What the scroll uncovered would be painted at the next loop turn; not part of the
        // scroll itself.
        ValidateRect(hwnd, nullptr);
    }
}

void BM_ScrollWindowExHeadless(benchmark::State& state)
{
    HeadlessBackend::Install(SIZE{kWidth, kHeight});
    HWND hwnd = MakeWindow();
    DispatchAll();
    ScrollWholeClient(state, hwnd);
    DestroyWindow(hwnd);
    SetWindowBackend(nullptr);
}
BENCHMARK(BM_ScrollWindowExHeadless)->Unit(benchmark::kMicrosecond);

// The scroll on the X11 backend: the moved pixels are also pushed to the server.
void BM_ScrollWindowExX11(benchmark::State& state)
{
    X11Backend* x11 = InstallX11(state);
    if (!x11)
        return;
    HWND hwnd = MakeWindow();
    DispatchAll();
    x11->Sync();
    for (auto _ : state) {
        ScrollWindowEx(hwnd, 0, -16, nullptr, nullptr, nullptr, nullptr, 0);
        ValidateRect(hwnd, nullptr);
        x11->Sync();
    }
    DestroyWindow(hwnd);
    SetWindowBackend(nullptr);
}
BENCHMARK(BM_ScrollWindowExX11)->Unit(benchmark::kMicrosecond);

// A full frame from the backing surface to the server (shared memory on a local server), and
// the round trip that says the server has it.
void BM_PresentFullFrameX11(benchmark::State& state)
{
    X11Backend* x11 = InstallX11(state);
    if (!x11)
        return;
    HWND hwnd = MakeWindow();
    DispatchAll();
    const NativeWindowId native = WindowManager::Find(hwnd)->native;
    const RECT all{0, 0, kWidth, kHeight};
    for (auto _ : state) {
        x11->Present(native, all);
        x11->Sync();
    }
    state.counters["shm"] = x11->UsesSharedMemory() ? 1 : 0;
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kWidth * kHeight * 4);
    DestroyWindow(hwnd);
    SetWindowBackend(nullptr);
}
BENCHMARK(BM_PresentFullFrameX11)->Unit(benchmark::kMicrosecond);

} // namespace
