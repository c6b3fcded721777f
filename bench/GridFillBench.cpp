// The fill handle at the size of a large site, a grid of 100,000 rows x 50 columns on the memory
// backend: one cell filled down all 100,000 rows with undo on, and the undo of that fill, each
// beside its floors:
// - the cell store writing the same value into the same 100,000 cells, without undo or controls;
// - awk printing the value 100,000 times.
#include "bench/BigGridWindow.h"
#include "grid/core/CGXGridWnd.h"
#include "grid/data/CGXData.h"
#include "grid/data/CGXGridParam.h"
#include "grid/features/CGXGridExcelLikeFillImp.h"
#include "platform/win/UserApi.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

namespace {

constexpr ROWCOL kRows = 100000;
constexpr ROWCOL kCols = 50;
constexpr ROWCOL kFillCol = 11;
constexpr const char* kValue = "meta description";

struct BigGrid : BigGridWindow<> {
    BigGrid() : BigGridWindow(kRows, kCols)
    {
        // The first ten columns hold text, as a site's pages and their tags would.
        CGXData* pData = grid->GetData();
        CGXStyle style;
        for (ROWCOL r = 1; r <= kRows; ++r)
            for (ROWCOL c = 1; c <= 10; ++c) {
                const std::string text = "page " + std::to_string(r) + "/" + std::to_string(c);
                style.SetValue(text.c_str());
                pData->StoreStyle(r, c, &style, gxOverride, 0);
            }
        style.SetValue(kValue);
        pData->StoreStyle(1, kFillCol, &style, gxOverride, 0);
        grid->GetParam()->m_wFillMode = GX_FILL_VALUES;
        Ready();
    }
    CGXGridExcelLikeFillImp& Fill() { return *static_cast<CGXGridExcelLikeFillImp*>(grid->m_pExcelLikeFillImp); }
    static BigGrid& Get()
    {
        static BigGrid big;
        return big;
    }
};

const CGXRange kSource(1, kFillCol, 1, kFillCol);
const CGXRange kTarget(1, kFillCol, kRows, kFillCol);

void BM_FillDownWithUndo(benchmark::State& state)
{
    BigGrid& big = BigGrid::Get();
    for (auto _ : state) {
        if (!big.Fill().FillCells(big.grid.get(), kTarget, kSource))
            state.SkipWithError("the fill failed");
        state.PauseTiming();
        big.grid->Undo();
        state.ResumeTiming();
    }
}

void BM_FillUndo(benchmark::State& state)
{
    BigGrid& big = BigGrid::Get();
    for (auto _ : state) {
        state.PauseTiming();
        big.Fill().FillCells(big.grid.get(), kTarget, kSource);
        state.ResumeTiming();
        if (!big.grid->Undo())
            state.SkipWithError("the undo failed");
    }
    if (big.grid->GetStoredCellValue(kRows, kFillCol) != "")
        state.SkipWithError("the undo left the filled cells");
}

void BM_FillFloorCellStore(benchmark::State& state)
{
    BigGrid& big = BigGrid::Get();
    CGXData* pData = big.grid->GetData();
    CGXStyle style;
    style.SetValue(kValue);
    for (auto _ : state) {
        for (ROWCOL r = 2; r <= kRows; ++r)
            pData->StoreStyle(r, kFillCol, &style, gxOverride, 0);
        state.PauseTiming();
        pData->StoreStyleRange(CGXRange(2, kFillCol, kRows, kFillCol), nullptr, gxRemove, 0);
        state.ResumeTiming();
    }
}

void BM_FillFloorAwk(benchmark::State& state)
{
    const std::string command = std::string("awk 'BEGIN { for (i = 0; i < ") + std::to_string(kRows) + "; ++i) print \"" + kValue + "\" }'";
    for (auto _ : state) {
        FILE* pipe = popen(command.c_str(), "r");
        if (pipe == nullptr) {
            state.SkipWithError("awk did not start");
            break;
        }
        char buffer[65536];
        size_t total = 0, got;
        while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0)
            total += got;
        if (pclose(pipe) != 0 || total == 0)
            state.SkipWithError("awk failed");
        benchmark::DoNotOptimize(total);
    }
}

} // namespace

BENCHMARK(BM_FillDownWithUndo)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_FillUndo)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_FillFloorCellStore)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_FillFloorAwk)->Unit(benchmark::kMillisecond)->Iterations(5);
