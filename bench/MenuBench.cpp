// Menus: laying out and painting a 30-item pop-up, and opening and closing it as TrackPopupMenu
// does on the headless backend. Floors: the same labels filled and drawn with DrawText alone,
// and a plain pop-up window of the same size shown, painted and destroyed.
#include "platform/backends/headless/HeadlessBackend.h"
#include "platform/win/Gdi.h"
#include "platform/win/UserApi.h"
#include "platform/win/detail/MenuPainter.h"
#include "platform/win/detail/SurfaceDC.h"

#include <benchmark/benchmark.h>

#include <cairo.h>

#include <string>
#include <vector>

namespace {

constexpr int kItems = 30;

struct MenuFixture {
    HMENU menu = CreatePopupMenu();
    std::vector<std::string> labels;
    MenuFixture()
    {
        for (int i = 0; i < kItems; ++i) {
            labels.push_back("&Item number " + std::to_string(i + 1) + "\tCtrl+" + std::to_string(i % 10));
            if (i % 7 == 6)
                AppendMenu(menu, MF_SEPARATOR, 0, nullptr);
            else
                AppendMenu(menu, MF_STRING | ((i % 5 == 0) ? MF_CHECKED : 0), 100 + i, labels.back().c_str());
        }
    }
    ~MenuFixture() { DestroyMenu(menu); }
};

struct Surface {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 400, 700);
    HDC dc = CreateSurfaceDC(surface, POINT{0, 0}, Region(0, 0, 400, 700));
    ~Surface()
    {
        ReleaseSurfaceDC(dc);
        cairo_surface_destroy(surface);
    }
};

void BM_MenuLayoutAndPaint(benchmark::State& state)
{
    MenuFixture fixture;
    Surface s;
    const MenuObject& menu = *Menus::Find(fixture.menu);
    for (auto _ : state) {
        PopupLayout layout = MenuLayouts::LayOutPopup(menu, nullptr);
        MenuPainter::PaintPopup(s.dc, menu, layout, 3, nullptr);
        benchmark::DoNotOptimize(layout.size);
    }
}
BENCHMARK(BM_MenuLayoutAndPaint);

// The floor: the same rows filled and their labels drawn and measured with DrawText.
void BM_FloorTextRows(benchmark::State& state)
{
    MenuFixture fixture;
    Surface s;
    const MenuMetrics& m = MenuMetrics::Get();
    SelectObject(s.dc, m.font);
    SetBkMode(s.dc, TRANSPARENT);
    for (auto _ : state) {
        for (int i = 0; i < kItems; ++i) {
            RECT r{3, 3 + i * m.itemHeight, 300, 3 + (i + 1) * m.itemHeight};
            RECT calc = r;
            DrawText(s.dc, fixture.labels[static_cast<size_t>(i)].c_str(), -1, &calc, DT_SINGLELINE | DT_CALCRECT);
            FillRect(s.dc, &r, GetSysColorBrush(COLOR_MENU));
            DrawText(s.dc, fixture.labels[static_cast<size_t>(i)].c_str(), -1, &r,
                     DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS);
        }
    }
}
BENCHMARK(BM_FloorTextRows);

LRESULT CALLBACK FloorProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        const MenuMetrics& m = MenuMetrics::Get();
        SelectObject(dc, m.font);
        SetBkMode(dc, TRANSPARENT);
        for (int i = 0; i < kItems; ++i) {
            RECT r{3, 3 + i * m.itemHeight, 300, 3 + (i + 1) * m.itemHeight};
            FillRect(dc, &r, GetSysColorBrush(COLOR_MENU));
            DrawText(dc, "Item number", -1, &r, DT_SINGLELINE | DT_VCENTER);
        }
        EndPaint(hwnd, &ps);
        return 0;
    }
    return DefWindowProc(hwnd, message, wParam, lParam);
}

void RegisterFloorClass()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    WNDCLASS wc{};
    wc.lpfnWndProc = FloorProc;
    wc.lpszClassName = "MenuBenchFloor";
    RegisterClass(&wc);
}

void BM_TrackPopupOpenAndClose(benchmark::State& state)
{
    HeadlessBackend& backend = HeadlessBackend::Install();
    SetTestFontMode(false);   // the real menu font, as on screen
    RegisterFloorClass();
    HWND owner = CreateWindowEx(0, "MenuBenchFloor", "", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr,
                                nullptr, nullptr);
    MenuFixture fixture;
    for (auto _ : state) {
        backend.WhenIdle([] { EndMenu(); });
        benchmark::DoNotOptimize(TrackPopupMenu(fixture.menu, TPM_RETURNCMD, 50, 50, 0, owner, nullptr));
    }
    DestroyWindow(owner);
    SetWindowBackend(nullptr);
}
BENCHMARK(BM_TrackPopupOpenAndClose);

// The floor: a pop-up window of the menu's size shown, painted and destroyed.
void BM_FloorPopupWindow(benchmark::State& state)
{
    HeadlessBackend::Install();
    SetTestFontMode(false);
    RegisterFloorClass();
    MenuFixture fixture;
    const PopupLayout layout = MenuLayouts::LayOutPopup(*Menus::Find(fixture.menu), nullptr);
    for (auto _ : state) {
        HWND hwnd = CreateWindowEx(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, "MenuBenchFloor", "", WS_POPUP, 50, 50,
                                   layout.size.cx, layout.size.cy, nullptr, nullptr, nullptr, nullptr);
        ShowWindow(hwnd, SW_SHOWNOACTIVATE);
        UpdateWindow(hwnd);
        DestroyWindow(hwnd);
    }
    SetWindowBackend(nullptr);
}
BENCHMARK(BM_FloorPopupWindow);

} // namespace
