// The grid engine at the size of a large site, 100,000 rows x 50 columns with a style in every
// column, in a grid window on the memory backend:
// - an arrow-key move of the current cell with an edit control bound, repaint included, beside
//   its floor: repainting the same two cells without the engine's move;
// - inserting and removing 1, 100 and 10,000 rows at the top, middle and end with undo on,
//   beside their floor: the cell store's own insertion and removal, without undo or window;
// - undoing the removal of 10,000 rows.
#include "bench/BigGridWindow.h"
#include "grid/core/CGXGridWnd.h"
#include "grid/data/CGXData.h"
#include "grid/data/IGXCommandTarget.h"
#include "platform/win/UserApi.h"
#include "platform/win/VirtualKeys.h"

#include <benchmark/benchmark.h>


namespace {

constexpr ROWCOL kRows = 100000;
constexpr ROWCOL kCols = 50;

struct BigGrid : BigGridWindow<> {
    BigGrid() : BigGridWindow(kRows, kCols, false)
    {
        for (ROWCOL c = 1; c <= kCols; ++c) {
            CGXStyle style;
            style.SetControl(GX_IDS_CTRL_EDIT).SetValue("content of a META tag");
            grid->ApplyStyleToRange(CGXRange(1, c, kRows, c), &style, gxOverride, 0, nullptr, 0, gxDo);
        }
        grid->SetCurrentCell(2, 2);
        Ready();
    }
    static BigGrid& Get()
    {
        static BigGrid big;
        return big;
    }
};

void BM_ArrowKeyMove(benchmark::State& state)
{
    BigGrid& big = BigGrid::Get();
    CGXGridWnd& grid = *big.grid;
    grid.SetCurrentCell(5000, 3);
    BOOL bDown = TRUE;
    for (auto _ : state) {
        grid.HandleKeyDown(bDown ? VK_DOWN : VK_UP, 1, 0);
        grid.UpdateWindow();
        bDown = !bDown;
    }
    ROWCOL r, c;
    grid.GetCurrentCell(r, c);
    benchmark::DoNotOptimize(r);
}
BENCHMARK(BM_ArrowKeyMove)->Unit(benchmark::kMicrosecond);

// Floor: the two cells the move redraws, invalidated and repainted, and nothing else.
void BM_RepaintTwoCells(benchmark::State& state)
{
    BigGrid& big = BigGrid::Get();
    CGXGridWnd& grid = *big.grid;
    grid.SetCurrentCell(5000, 3);
    for (auto _ : state) {
        const CRect a = grid.CalcCellRect(5000, 3), b = grid.CalcCellRect(5001, 3);
        grid.InvalidateRect(&a, FALSE);
        grid.InvalidateRect(&b, FALSE);
        grid.UpdateWindow();
    }
}
BENCHMARK(BM_RepaintTwoCells)->Unit(benchmark::kMicrosecond);

ROWCOL Place(int64_t nWhere, ROWCOL nCount)
{
    switch (nWhere) {
    case 0: return 1;
    case 1: return kRows / 2;
    default: return kRows - nCount + 1;
    }
}

void BM_InsertRows(benchmark::State& state)
{
    CGXGridWnd& grid = *BigGrid::Get().grid;
    const auto nCount = static_cast<ROWCOL>(state.range(0));
    const ROWCOL nAt = state.range(1) == 2 ? kRows + 1 : Place(state.range(1), nCount);
    for (auto _ : state) {
        grid.InsertRows(nAt, nCount, nullptr, nullptr, nullptr, 0, GX_INVALIDATE, gxDo);
        state.PauseTiming();
        grid.Undo();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_InsertRows)->ArgsProduct({{1, 100, 10000}, {0, 1, 2}})->Unit(benchmark::kMillisecond);

void BM_RemoveRows(benchmark::State& state)
{
    CGXGridWnd& grid = *BigGrid::Get().grid;
    const auto nCount = static_cast<ROWCOL>(state.range(0));
    const ROWCOL nFrom = Place(state.range(1), nCount);
    for (auto _ : state) {
        grid.RemoveRows(nFrom, nFrom + nCount - 1, GX_INVALIDATE, gxDo);
        state.PauseTiming();
        grid.Undo();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_RemoveRows)->ArgsProduct({{1, 100, 10000}, {0, 1, 2}})->Unit(benchmark::kMillisecond);

void BM_UndoRemove10000(benchmark::State& state)
{
    CGXGridWnd& grid = *BigGrid::Get().grid;
    for (auto _ : state) {
        state.PauseTiming();
        grid.RemoveRows(kRows / 2, kRows / 2 + 9999, GX_INVALIDATE, gxDo);
        state.ResumeTiming();
        grid.Undo();
    }
}
BENCHMARK(BM_UndoRemove10000)->Unit(benchmark::kMillisecond)->Iterations(5);

// Floor: the cell store of the same grid inserting and removing rows by itself.
void BM_StoreInsertRemoveRows(benchmark::State& state)
{
    CGXData& data = *BigGrid::Get().grid->GetData();
    const auto nCount = static_cast<ROWCOL>(state.range(0));
    for (auto _ : state) {
        data.InsertRows(kRows / 2, nCount);
        data.RemoveRows(kRows / 2, kRows / 2 + nCount - 1);
    }
}
BENCHMARK(BM_StoreInsertRemoveRows)->Arg(1)->Arg(100)->Arg(10000)->Unit(benchmark::kMillisecond);

} // namespace
