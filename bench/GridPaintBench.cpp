// The grid window at the size of a large site on a full-HD window: 100,000 pages x 50 META
// columns, every cell holding its own style with a text, on the headless backend with the real
// fonts. A full paint, a one-line scroll, a page scroll and thumb jumps to the end and back,
// each with the paint it causes. Floors, measured in the same run on the same window: the
// layer below doing the drawing the grid needs for the same visible cells (a solid fill, a
// one-pixel line and a text per cell, with the objects made once), and the layer's own
// ScrollWindowEx of the same area with the strip it uncovers.
//
// Counters: "fonts", "brushes", "pens" are the GDI objects one paint made (each distinct
// value once: the rest came from the caches); "bytes/cell" is what the allocator holds for the
// cells after the fill.
#include "grid/core/CGXControlFactory.h"
#include "grid/core/CGXGridAppData.h"
#include "grid/core/CGXGridWnd.h"
#include "platform/afx/gdi/CDC.h"
#include "platform/backends/headless/HeadlessBackend.h"
#include "platform/controls/StandardControls.h"
#include "platform/win/Gdi.h"
#include "platform/win/ScrollBar.h"
#include "platform/win/UserApi.h"

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <memory>
#include <string>

namespace {

constexpr ROWCOL kRows = 100000;
constexpr ROWCOL kCols = 50;
constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

size_t AllocatedBytes()
{
    return mallinfo2().uordblks + mallinfo2().hblkhd;
}

CGXStyle ColumnStyle(ROWCOL nCol)
{
    CGXStyle s;
    s.SetControl(GX_IDS_CTRL_STATIC)
        .SetReadOnly(TRUE)
        .SetWrapText(FALSE)
        .SetInterior(nCol % 2 ? RGB(255, 255, 255) : RGB(240, 240, 250))
        .SetFont(CGXFont().SetFaceName("Arial").SetSize(9))
        .SetValue(CString(("content of META " + std::to_string(nCol)).c_str()));
    return s;
}

// One grid window for all benchmarks: filling five million styles takes a while.
struct GridFixture {
    HWND hTop = nullptr;
    std::unique_ptr<CGXGridWnd> grid;
    double bytesPerCell = 0;

    GridFixture()
    {
        HeadlessBackend::Install(SIZE{kWidth, kHeight});
        RegisterStandardControls();
        InitGridLibrary(new CGXControlFactory);
        WNDCLASS wc{};
        wc.lpfnWndProc = DefWindowProc;
        wc.lpszClassName = "GridBenchTop";
        RegisterClass(&wc);
        hTop = CreateWindowEx(0, "GridBenchTop", "", WS_POPUP | WS_VISIBLE, 0, 0, kWidth, kHeight, nullptr, nullptr, nullptr, nullptr);
        grid = std::make_unique<CGXGridWnd>();
        grid->Create(nullptr, "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL, CRect(0, 0, kWidth, kHeight), CWnd::FromHandle(hTop), 1);
        grid->Initialize();
        grid->GetParam()->EnableUndo(FALSE);
        const size_t before = AllocatedBytes();
        grid->SetRowCount(kRows, 0);
        grid->SetColCount(kCols, 0);
        for (ROWCOL c = 1; c <= kCols; ++c) {
            const CGXStyle style = ColumnStyle(c);
            grid->ApplyStyleToRange(CGXRange(1, c, kRows, c), &style, gxOverride, 0, nullptr, 0, 1);
        }
        bytesPerCell = static_cast<double>(AllocatedBytes() - before) / (double(kRows) * kCols);
        grid->SetNoImmediateUpdate(FALSE);
        grid->Redraw(GX_INVALIDATE, FALSE);
        grid->UpdateWindow();
    }
    static GridFixture& Get()
    {
        static GridFixture f;
        return f;
    }
    void PaintNow()
    {
        grid->Invalidate(FALSE);
        grid->UpdateWindow();
    }
};

void Counters(benchmark::State& state, const CGXGridCore::GdiCounts& before, const CGXGridCore::GdiCounts& after, int64_t nPaints)
{
    const double n = static_cast<double>(std::max<int64_t>(1, nPaints));
    state.counters["fonts"] = static_cast<double>(after.fonts - before.fonts) / n;
    state.counters["brushes"] = static_cast<double>(after.brushes - before.brushes) / n;
    state.counters["pens"] = static_cast<double>(after.pens - before.pens) / n;
    state.counters["bytes/cell"] = GridFixture::Get().bytesPerCell;
}

void BM_FullPaint(benchmark::State& state)
{
    GridFixture& f = GridFixture::Get();
    f.grid->SetMemDCDrawing(static_cast<int>(state.range(0)));
    f.grid->SetTopRow(1, 0);
    f.PaintNow();
    const auto before = f.grid->GetGdiCreationCounts();
    for (auto _ : state)
        f.PaintNow();
    Counters(state, before, f.grid->GetGdiCreationCounts(), state.iterations());
    f.grid->SetMemDCDrawing(1);
}
BENCHMARK(BM_FullPaint)->Arg(0)->Arg(1)->ArgName("memdc")->Unit(benchmark::kMillisecond);

// Floor: the drawing the paint needs for the same visible cells, straight through the layer.
void BM_FullPaintFloor(benchmark::State& state)
{
    GridFixture& f = GridFixture::Get();
    CRect rect;
    f.grid->GetGridRect(&rect);
    CClientDC dc(f.grid.get());
    CFont font;
    font.CreatePointFont(90, "Arial", &dc);
    CFont* pOld = dc.SelectObject(&font);
    const int cx = f.grid->GetColWidth(1), cy = f.grid->GetRowHeight(1);
    const CString text("content of META 10");
    for (auto _ : state) {
        for (int y = rect.top; y < rect.bottom; y += cy) {
            for (int x = rect.left; x < rect.right; x += cx) {
                const CRect cell(x, y, x + cx, y + cy);
                dc.FillSolidRect(&cell, RGB(240, 240, 250));
                dc.FillSolidRect(x, y, cx, 1, RGB(192, 192, 192));
                dc.TextOut(x + 2, y + 1, text);
            }
        }
    }
    dc.SelectObject(pOld);
}
BENCHMARK(BM_FullPaintFloor)->Unit(benchmark::kMillisecond);

void BM_ScrollOneLine(benchmark::State& state)
{
    GridFixture& f = GridFixture::Get();
    f.grid->SetTopRow(5000, 0);
    f.PaintNow();
    int n = 0;
    for (auto _ : state) {
        f.grid->DoScroll((n++ & 1) ? 1 : 3, 1); // scrolls and paints the uncovered row
    }
}
BENCHMARK(BM_ScrollOneLine)->Unit(benchmark::kMillisecond);

// Floor: the layer moving the same area by one row and filling the uncovered strip.
void BM_ScrollOneLineFloor(benchmark::State& state)
{
    GridFixture& f = GridFixture::Get();
    CRect area;
    f.grid->GetGridRect(&area);
    area.top += f.grid->GetRowHeight(0);
    const int cy = f.grid->GetRowHeight(1);
    HWND hWnd = f.grid->GetSafeHwnd();
    int n = 0;
    for (auto _ : state) {
        const int d = (n++ & 1) ? cy : -cy;
        ::ScrollWindowEx(hWnd, 0, d, &area, &area, nullptr, nullptr, 0);
        CClientDC dc(f.grid.get());
        dc.FillSolidRect(area.left, d > 0 ? area.top : area.bottom - cy, area.Width(), cy, RGB(255, 255, 255));
    }
}
BENCHMARK(BM_ScrollOneLineFloor)->Unit(benchmark::kMillisecond);

void BM_ScrollPage(benchmark::State& state)
{
    GridFixture& f = GridFixture::Get();
    f.grid->SetTopRow(5000, 0);
    f.PaintNow();
    int n = 0;
    for (auto _ : state)
        f.grid->HandleVScroll((n++ & 1) ? SB_PAGEUP : SB_PAGEDOWN, 0);
}
BENCHMARK(BM_ScrollPage)->Unit(benchmark::kMillisecond);

void BM_ThumbJumpToEnd(benchmark::State& state)
{
    GridFixture& f = GridFixture::Get();
    f.grid->SetTopRow(1, 0);
    f.PaintNow();
    SCROLLINFO si{};
    si.cbSize = sizeof(si);
    si.fMask = SIF_ALL;
    ::GetScrollInfo(f.grid->GetSafeHwnd(), SB_VERT, &si);
    const UINT nEnd = static_cast<UINT>(si.nMax - static_cast<int>(si.nPage) + 1);
    int n = 0;
    for (auto _ : state) {
        if (n++ & 1)
            f.grid->HandleVScroll(SB_THUMBTRACK, 0);
        else
            f.grid->HandleVScroll(SB_THUMBTRACK, nEnd);
    }
    state.counters["top_row_at_end"] = static_cast<double>(f.grid->CalcMaxTopRow());
}
BENCHMARK(BM_ThumbJumpToEnd)->Unit(benchmark::kMillisecond);

} // namespace
