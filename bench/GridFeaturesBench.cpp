// The grid's clipboard features at the size of a large site, 100,000 rows x 50 columns, on the
// memory backend, each beside its floor:
// - copying 100,000 x 10 cells to the clipboard as text; floor: the same TSV written by a plain
//   loop from the same strings;
// - pasting that text back with undo on; floor: the same TSV split into cells by a plain loop;
// - Clear Cells on 100,000 x 10 cells with undo on; floor: the cell store emptying the same
//   cells without undo or controls.
#include "bench/BigGridWindow.h"
#include "grid/core/CGXGridWnd.h"
#include "grid/data/CGXData.h"
#include "grid/data/IGXCommandTarget.h"
#include "platform/win/Clipboard.h"
#include "platform/win/UserApi.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

constexpr ROWCOL kRows = 100000;
constexpr ROWCOL kCols = 50;
constexpr ROWCOL kCopyCols = 10;

std::string CellText(ROWCOL r, ROWCOL c)
{
    return "meta " + std::to_string(r) + "/" + std::to_string(c);
}

struct BigGrid : BigGridWindow<> {
    BigGrid() : BigGridWindow(kRows, kCols)
    {
        Fill();
        Ready();
    }
    void Fill()
    {
        CGXData* pData = grid->GetData();
        CGXStyle style;
        for (ROWCOL r = 1; r <= kRows; ++r)
            for (ROWCOL c = 1; c <= kCopyCols; ++c) {
                style.SetValue(CellText(r, c).c_str());
                pData->StoreStyle(r, c, &style, gxOverride, 0);
            }
    }
    static BigGrid& Get()
    {
        static BigGrid big;
        return big;
    }
};

const CGXRange kBlock(1, 1, kRows, kCopyCols);

void BM_CopyText(benchmark::State& state)
{
    BigGrid& big = BigGrid::Get();
    CGXRangeList list;
    list.AddTail(new CGXRange(kBlock));
    for (auto _ : state) {
        OpenClipboard(nullptr);
        EmptyClipboard();
        CloseClipboard();
        benchmark::DoNotOptimize(big.grid->CopyRangeList(list));
    }
}

void BM_CopyTextFloor(benchmark::State& state)
{
    for (auto _ : state) {
        std::string out;
        for (ROWCOL r = 1; r <= kRows; ++r) {
            for (ROWCOL c = 1; c <= kCopyCols; ++c) {
                if (c > 1)
                    out += '\t';
                out += CellText(r, c);
            }
            out += "\r\n";
        }
        benchmark::DoNotOptimize(out.data());
    }
}

std::string& Tsv()
{
    static std::string text = [] {
        CString s;
        CGXRangeList list;
        list.AddTail(new CGXRange(kBlock));
        BigGrid::Get().grid->WriteRangesAsText(s, list);
        return std::string(s.GetString(), static_cast<size_t>(s.GetLength()));
    }();
    return text;
}

void BM_PasteTextWithUndo(benchmark::State& state)
{
    BigGrid& big = BigGrid::Get();
    const std::string& text = Tsv();
    // Into the next ten columns, which hold nothing, so that each paste changes every cell.
    for (auto _ : state) {
        benchmark::DoNotOptimize(big.grid->PasteTextBuffer(text.data(), text.size(), CGXRange(1, 11, 1, 11)));
        state.PauseTiming();
        big.grid->Undo();
        state.ResumeTiming();
    }
}

void BM_PasteTextFloor(benchmark::State& state)
{
    const std::string& text = Tsv();
    for (auto _ : state) {
        std::vector<std::string> cells;
        cells.reserve(static_cast<size_t>(kRows) * kCopyCols);
        size_t start = 0;
        for (size_t i = 0; i < text.size(); ++i) {
            const char ch = text[i];
            if (ch == '\t' || ch == '\r' || ch == '\n') {
                if (ch != '\n' || i == 0 || text[i - 1] != '\r')
                    cells.emplace_back(text, start, i - start);
                start = i + 1;
            }
        }
        benchmark::DoNotOptimize(cells.data());
    }
}

void BM_ClearCellsWithUndo(benchmark::State& state)
{
    BigGrid& big = BigGrid::Get();
    for (auto _ : state) {
        benchmark::DoNotOptimize(big.grid->ClearRange(kBlock, FALSE));
        state.PauseTiming();
        big.grid->Undo();
        state.ResumeTiming();
    }
}

void BM_ClearCellsFloor(benchmark::State& state)
{
    BigGrid& big = BigGrid::Get();
    for (auto _ : state) {
        big.grid->GetData()->StoreStyleRange(kBlock, nullptr, gxRemove, 0);
        state.PauseTiming();
        big.Fill();
        state.ResumeTiming();
    }
}

} // namespace

BENCHMARK(BM_CopyText)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_CopyTextFloor)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_PasteTextWithUndo)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_PasteTextFloor)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ClearCellsWithUndo)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_ClearCellsFloor)->Unit(benchmark::kMillisecond)->Iterations(2);
