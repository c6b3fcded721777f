// Drawing a screenful of grid cells: fills, text and grid lines on a 1920 x 1080 surface, and
// measuring the same strings again.
#include "platform/win/Gdi.h"
#include "platform/win/detail/SurfaceDC.h"

#include <benchmark/benchmark.h>

#include <cairo.h>

#include <string>
#include <vector>

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr int kCols = 30;  // 64 pixels each
constexpr int kRows = 67;  // 16 pixels each: 2,010 cells
constexpr int kCellW = 64;
constexpr int kCellH = 16;

struct Screen {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, kWidth, kHeight);
    HDC dc = CreateSurfaceDC(surface, POINT{0, 0}, Region(0, 0, kWidth, kHeight));
    HFONT font = CreateFont(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "MS Sans Serif");
    HPEN grid = CreatePen(PS_SOLID, 0, RGB(192, 192, 192));
    std::vector<std::string> texts;

    Screen()
    {
        SelectObject(dc, font);
        SelectObject(dc, grid);
        for (int r = 0; r < kRows; ++r) {
            for (int c = 0; c < kCols; ++c) {
                texts.push_back("R" + std::to_string(r + 1) + " C" + std::to_string(c + 1));
            }
        }
    }
    ~Screen()
    {
        SelectObject(dc, GetStockObject(SYSTEM_FONT));
        SelectObject(dc, GetStockObject(BLACK_PEN));
        ReleaseSurfaceDC(dc);
        DeleteObject(font);
        DeleteObject(grid);
        cairo_surface_destroy(surface);
    }

    void DrawCells()
    {
        SetBkMode(dc, TRANSPARENT);
        size_t i = 0;
        for (int r = 0; r < kRows; ++r) {
            for (int c = 0; c < kCols; ++c, ++i) {
                RECT cell{c * kCellW, r * kCellH, (c + 1) * kCellW - 1, (r + 1) * kCellH - 1};
                // The background as a solid fill (an empty opaque text), then the clipped text.
                SetBkColor(dc, (r & 1) ? RGB(255, 255, 255) : RGB(240, 244, 255));
                ExtTextOut(dc, 0, 0, ETO_OPAQUE, &cell, "", 0, nullptr);
                ExtTextOut(dc, cell.left + 2, cell.top + 1, ETO_CLIPPED, &cell, texts[i].data(),
                           static_cast<UINT>(texts[i].size()), nullptr);
            }
        }
        for (int r = 1; r <= kRows; ++r) {
            MoveToEx(dc, 0, r * kCellH - 1, nullptr);
            LineTo(dc, kWidth, r * kCellH - 1);
        }
        for (int c = 1; c <= kCols; ++c) {
            MoveToEx(dc, c * kCellW - 1, 0, nullptr);
            LineTo(dc, c * kCellW - 1, kRows * kCellH);
        }
    }
};

void BM_DrawGridCells(benchmark::State& state)
{
    Screen screen;
    screen.DrawCells(); // fill the caches once, as the first paint does
    for (auto _ : state) {
        screen.DrawCells();
        benchmark::ClobberMemory();
    }
    state.counters["cells"] = kRows * kCols;
}
BENCHMARK(BM_DrawGridCells)->Unit(benchmark::kMillisecond);

void BM_DrawTextCells(benchmark::State& state)
{
    Screen screen;
    SetBkMode(screen.dc, TRANSPARENT);
    auto run = [&screen] {
        size_t i = 0;
        for (int r = 0; r < kRows; ++r) {
            for (int c = 0; c < kCols; ++c, ++i) {
                RECT cell{c * kCellW, r * kCellH, (c + 1) * kCellW - 1, (r + 1) * kCellH - 1};
                DrawText(screen.dc, screen.texts[i].c_str(), static_cast<int>(screen.texts[i].size()), &cell,
                         DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
            }
        }
    };
    run();
    for (auto _ : state) {
        run();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_DrawTextCells)->Unit(benchmark::kMillisecond);

void BM_MeasureSameStrings(benchmark::State& state)
{
    Screen screen;
    SIZE size;
    for (const std::string& t : screen.texts) {
        GetTextExtentPoint32(screen.dc, t.data(), static_cast<int>(t.size()), &size);
    }
    for (auto _ : state) {
        long total = 0;
        for (const std::string& t : screen.texts) {
            GetTextExtentPoint32(screen.dc, t.data(), static_cast<int>(t.size()), &size);
            total += size.cx;
        }
        benchmark::DoNotOptimize(total);
    }
    state.counters["strings"] = static_cast<double>(screen.texts.size());
}
BENCHMARK(BM_MeasureSameStrings)->Unit(benchmark::kMicrosecond);

void BM_MeasureNewStrings(benchmark::State& state)
{
    Screen screen;
    long n = 0;
    SIZE size;
    for (auto _ : state) {
        std::string t = "fresh " + std::to_string(n++);
        GetTextExtentPoint32(screen.dc, t.data(), static_cast<int>(t.size()), &size);
        benchmark::DoNotOptimize(size);
    }
}
BENCHMARK(BM_MeasureNewStrings)->Unit(benchmark::kMicrosecond);

} // namespace
