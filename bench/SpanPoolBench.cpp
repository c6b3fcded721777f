// The span pools of a 100,000 x 50 grid with floating and merged spans in use: inserting
// 10,000 rows at the top, as the grid does to its pools when pages are added in front. Every
// row holds horizontal spans and every column vertical ones, so every table moves. Floor,
// measured in the same run: the same element moves on plain std::vectors (the outer pointer
// array and one row array per column), which is what the pools cannot do without.
#include "grid/data/CGXDelayedRangePool.h"
#include "grid/data/CGXSpanCellPool.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

constexpr DWORD kRows = 100000;
constexpr DWORD kCols = 50;
constexpr DWORD kInsert = 10000;

const CGXSpanCellPool& FilledHorizontal()
{
    static CGXSpanCellPool pool = [] {
        CGXSpanCellPool p;
        for (DWORD r = 1; r <= kRows; ++r)
            for (DWORD c = 1; c + 1 <= kCols; c += 5)
                p.SetSpan(r, c, r, c + 2, TRUE);
        return p;
    }();
    return pool;
}

const CGXSpanCellPool& FilledVertical()
{
    static CGXSpanCellPool pool = [] {
        CGXSpanCellPool p;
        for (DWORD c = 1; c <= kCols; ++c)
            for (DWORD r = 1; r + 3 <= kRows; r += 10)
                p.SetSpan(r, c, r + 3, c, TRUE);
        return p;
    }();
    return pool;
}

void BM_InsertRowsAtTopWithPools(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        CGXSpanCellPool horz(FilledHorizontal());
        CGXSpanCellPool vert(FilledVertical());
        CGXDelayedRangePool delayed;
        delayed.AddRange(CGXRange(1, 1, kRows, kCols));
        state.ResumeTiming();
        horz.InsertRows(1, kInsert);
        vert.InsertRows(1, kInsert);
        delayed.AddRange(CGXRange(1, 1, kInsert, kCols));
        benchmark::DoNotOptimize(horz.m_HorzSpans.GetData());
        benchmark::DoNotOptimize(vert.m_VertSpans.GetData());
    }
}
BENCHMARK(BM_InsertRowsAtTopWithPools)->Unit(benchmark::kMillisecond);

void BM_FloorPlainVectorInsert(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<void*> outer(kRows + 1, reinterpret_cast<void*>(1));
        std::vector<std::vector<DWORD>> columns(kCols + 1, std::vector<DWORD>(kRows + 1, 7));
        state.ResumeTiming();
        outer.insert(outer.begin() + 1, kInsert, nullptr);
        for (auto& column : columns)
            column.insert(column.begin() + 1, kInsert, 0xFFFFFFFFu);
        benchmark::DoNotOptimize(outer.data());
        benchmark::DoNotOptimize(columns.data());
    }
}
BENCHMARK(BM_FloorPlainVectorInsert)->Unit(benchmark::kMillisecond);

} // namespace
