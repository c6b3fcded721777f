// Sorting and find/replace on a grid of 100,000 rows x 50 columns in a grid window on the
// memory backend, with undo on:
// - sorting the rows by a text key and by a date key, and undoing a sort;
// - finding a text that is nowhere down one column, and replacing every match in it;
// beside their floors, run on the same column's text written as a file: GNU "sort -s" on the
// key field, "grep" for the missing text and "sed" replacing the matches (process start-up
// included, as a user would run them).
#include "bench/BigGridWindow.h"
#include "grid/core/CGXGridWnd.h"
#include "grid/core/CGXSortInfoArray.h"
#include "grid/data/CGXData.h"
#include "grid/data/IGXCommandTarget.h"
#include "platform/win/UserApi.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>

namespace {

constexpr ROWCOL kRows = 100000;
constexpr ROWCOL kCols = 50;
constexpr ROWCOL kTextCol = 1;
constexpr ROWCOL kDateCol = 2;
constexpr const char* kTsv = "/tmp/vostrel-sortfind-bench.tsv";

// A grid whose beeps are silent: a search with no match beeps.
class QuietGrid : public CGXGridWnd {
public:
    void Beep(LPCTSTR) override {}
};

struct BigGrid : BigGridWindow<QuietGrid> {
    BigGrid() : BigGridWindow(kRows, kCols)
    {
        for (ROWCOL c = 3; c <= kCols; ++c) {
            CGXStyle style;
            style.SetValue("content of a META tag");
            grid->ApplyStyleToRange(CGXRange(1, c, kRows, c), &style, gxOverride, 0, nullptr, 0, gxDo);
        }
        // Key columns: a word of a page's title, and a date of the last change.
        std::mt19937 rng(42);
        std::ofstream tsv(kTsv);
        static const char* const kWords[] = {"Home", "about", "Contact", "products", "Prices", "news", "Blog", "team", "Jobs", "imprint"};
        for (ROWCOL r = 1; r <= kRows; ++r) {
            const std::string word = std::string(kWords[rng() % 10]) + " " + std::to_string(rng() % 1000);
            char date[16];
            std::snprintf(date, sizeof date, "%04u-%02u-%02u", static_cast<unsigned>(1995 + rng() % 30), static_cast<unsigned>(1 + rng() % 12),
                          static_cast<unsigned>(1 + rng() % 28));
            grid->SetValueRange(CGXRange(r, kTextCol, r, kTextCol), word.c_str(), gxOverride, 0, 0);
            grid->SetValueRange(CGXRange(r, kDateCol, r, kDateCol), date, gxOverride, 0, 0);
            tsv << word << '\t' << date << '\t' << "content of a META tag" << '\n';
        }
        grid->SetCurrentCell(1, 3);
        Ready();
    }
    static BigGrid& Get()
    {
        static BigGrid big;
        return big;
    }
};

void Sort(CGXGridWnd& grid, ROWCOL nCol, CGXSortInfo::SortType type)
{
    CGXSortInfoArray keys;
    keys.Add(CGXSortInfo(nCol, type, CGXSortInfo::ascending));
    CGXRange table;
    table.SetTable();
    grid.SortRows(table, keys);
}

void BM_SortByTextKey(benchmark::State& state)
{
    CGXGridWnd& grid = *BigGrid::Get().grid;
    for (auto _ : state) {
        Sort(grid, kTextCol, CGXSortInfo::autodetect);
        state.PauseTiming();
        grid.Undo();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_SortByTextKey)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_SortByDateKey(benchmark::State& state)
{
    CGXGridWnd& grid = *BigGrid::Get().grid;
    for (auto _ : state) {
        Sort(grid, kDateCol, CGXSortInfo::autodetect);
        state.PauseTiming();
        grid.Undo();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_SortByDateKey)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_UndoSort(benchmark::State& state)
{
    CGXGridWnd& grid = *BigGrid::Get().grid;
    for (auto _ : state) {
        state.PauseTiming();
        Sort(grid, kDateCol, CGXSortInfo::date);
        state.ResumeTiming();
        grid.Undo();
    }
}
BENCHMARK(BM_UndoSort)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_FloorGnuSortStable(benchmark::State& state)
{
    BigGrid::Get();
    for (auto _ : state)
        benchmark::DoNotOptimize(std::system("LC_ALL=C.UTF-8 sort -s -t '\t' -k2,2 /tmp/vostrel-sortfind-bench.tsv > /dev/null"));
}
BENCHMARK(BM_FloorGnuSortStable)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_FindNoMatchDownAColumn(benchmark::State& state)
{
    CGXGridWnd& grid = *BigGrid::Get().grid;
    for (auto _ : state) {
        grid.SetCurrentCell(1, kTextCol);
        benchmark::DoNotOptimize(grid.FindText("no such words", TRUE, FALSE));
    }
}
BENCHMARK(BM_FindNoMatchDownAColumn)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_FloorGrepNoMatch(benchmark::State& state)
{
    BigGrid::Get();
    for (auto _ : state)
        benchmark::DoNotOptimize(std::system("cut -f1 /tmp/vostrel-sortfind-bench.tsv | grep -i 'no such words' > /dev/null"));
}
BENCHMARK(BM_FloorGrepNoMatch)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ReplaceAllInAColumn(benchmark::State& state)
{
    CGXGridWnd& grid = *BigGrid::Get().grid;
    for (auto _ : state) {
        grid.SetCurrentCell(1, kTextCol);
        benchmark::DoNotOptimize(grid.ReplaceAll("o", "0", FALSE));
        state.PauseTiming();
        grid.Undo();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ReplaceAllInAColumn)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_FloorSedReplace(benchmark::State& state)
{
    BigGrid::Get();
    for (auto _ : state)
        benchmark::DoNotOptimize(std::system("cut -f1 /tmp/vostrel-sortfind-bench.tsv | sed 's/o/0/gI' > /dev/null"));
}
BENCHMARK(BM_FloorSedReplace)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
