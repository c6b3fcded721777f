// The grid's model at the size of a large site: 100,000 pages x 50 META columns, every cell
// given its column's style as the group view does (undo off), beside its floor: the same count
// of plain std::string cells in one vector. Also composing one cell's style from its own,
// row, column, table and base styles, beside reading the cell's stored style alone.
//
// Memory is reported as counters: "bytes/cell" is what the allocator holds for the cells
// (mallinfo2), "rss_MB" the resident size after the fill. Run each benchmark in a process of
// its own (--benchmark_filter) for clean resident figures.
#include "grid/data/CGXCommandFactory.h"
#include "grid/data/CGXGridModel.h"
#include "grid/data/CGXGridParam.h"

#include <benchmark/benchmark.h>

#include <malloc.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr ROWCOL kRows = 100000;
constexpr ROWCOL kCols = 50;

size_t AllocatedBytes()
{
    return mallinfo2().uordblks + mallinfo2().hblkhd;
}

double ResidentMB()
{
    long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

// The style the group view gives every cell of a META column: a static text cell, read-only,
// with the column's font and interior, and the column's setting as a user attribute.
CGXStyle ColumnStyle(ROWCOL nCol)
{
    CGXStyle s;
    s.SetControl(GX_IDS_CTRL_STATIC)
        .SetReadOnly(TRUE)
        .SetWrapText(FALSE)
        .SetHorizontalAlignment(GX_ALIGN_LEFT_TOP)
        .SetInterior(nCol % 2 ? RGB(255, 255, 255) : RGB(240, 240, 250))
        .SetFont(CGXFont().SetFaceName("Arial").SetSize(9))
        .SetUserAttribute(GX_IDS_UA_TOOLTIPTEXT, CString(("META " + std::to_string(nCol)).c_str()));
    return s;
}

void BM_FillStyledCells(benchmark::State& state)
{
    double rss = 0, bytesPerCell = 0;
    for (auto _ : state) {
        const size_t before = AllocatedBytes();
        auto param = std::make_unique<CGXGridParam>();
        param->EnableUndo(FALSE);
        param->SetData(new CGXData);
        CGXCommandFactory factory;
        CGXGridModel model(*param, &factory);
        model.SetRowCount(kRows);
        model.SetColCount(kCols);
        for (ROWCOL c = 1; c <= kCols; ++c) {
            const CGXStyle style = ColumnStyle(c);
            model.ApplyStyleToRange(CGXRange(1, c, kRows, c), &style, gxOverride, 0, nullptr, gxDo);
        }
        bytesPerCell = static_cast<double>(AllocatedBytes() - before) / (double(kRows) * kCols);
        rss = ResidentMB();
        benchmark::DoNotOptimize(param->GetData()->LookupStyle(kRows, kCols));
        state.PauseTiming();
        param.reset();
        state.ResumeTiming();
    }
    state.counters["bytes/cell"] = bytesPerCell;
    state.counters["rss_MB"] = rss;
}
BENCHMARK(BM_FillStyledCells)->Unit(benchmark::kMillisecond)->Iterations(3);

// Floor: the same number of cells as short plain strings in one vector.
void BM_FillPlainStrings(benchmark::State& state)
{
    double rss = 0, bytesPerCell = 0;
    for (auto _ : state) {
        const size_t before = AllocatedBytes();
        auto cells = std::make_unique<std::vector<std::string>>(size_t{kRows} * kCols);
        for (ROWCOL r = 0; r < kRows; ++r)
            for (ROWCOL c = 0; c < kCols; ++c)
                (*cells)[size_t{r} * kCols + c] = "static";
        bytesPerCell = static_cast<double>(AllocatedBytes() - before) / (double(kRows) * kCols);
        rss = ResidentMB();
        benchmark::DoNotOptimize(cells->back().data());
        state.PauseTiming();
        cells.reset();
        state.ResumeTiming();
    }
    state.counters["bytes/cell"] = bytesPerCell;
    state.counters["rss_MB"] = rss;
}
BENCHMARK(BM_FillPlainStrings)->Unit(benchmark::kMillisecond)->Iterations(3);

// A grid with every kind of style present for the composed cells.
struct ComposeFixture {
    CGXGridParam param;
    ComposeFixture()
    {
        param.SetStylesMap(new CGXStylesMap);
        param.GetStylesMap()->CreateStandardStyles();
        param.SetData(new CGXData);
        CGXData& data = *param.GetData();
        data.SetRowCount(1000);
        data.SetColCount(kCols);
        CGXStyle table;
        table.SetVerticalAlignment(GX_ALIGN_CENTER);
        data.StoreStyle(0, 0, &table, gxCopy, gxBaseStyleType);
        for (ROWCOL c = 1; c <= kCols; ++c) {
            const CGXStyle column = ColumnStyle(c);
            data.StoreStyle(0, c, &column, gxCopy, gxBaseStyleType);
        }
        for (ROWCOL r = 1; r <= 1000; ++r) {
            CGXStyle row;
            row.SetTextColor(r % 3 ? RGB(0, 0, 0) : RGB(128, 0, 0));
            data.StoreStyle(r, 0, &row, gxCopy, gxBaseStyleType);
            for (ROWCOL c = 1; c <= kCols; ++c) {
                CGXStyle cell;
                cell.SetValue(CString(("value " + std::to_string(r * c)).c_str()));
                data.StoreStyle(r, c, &cell, gxCopy);
            }
        }
    }
};

void BM_ComposeCellStyle(benchmark::State& state)
{
    ComposeFixture f;
    CGXStyle style;
    ROWCOL r = 1, c = 1;
    for (auto _ : state) {
        f.param.ComposeCellStyle(r, c, style, TRUE);
        benchmark::DoNotOptimize(style.GetMask());
        if (++c > kCols) {
            c = 1;
            r = r % 1000 + 1;
        }
    }
}
BENCHMARK(BM_ComposeCellStyle);

// Floor: reading the cell's own stored style into a style object.
void BM_ReadStoredCellStyle(benchmark::State& state)
{
    ComposeFixture f;
    CGXStyle style;
    ROWCOL r = 1, c = 1;
    for (auto _ : state) {
        style.Free();
        f.param.GetData()->GetStyle(r, c, style, gxCopy);
        benchmark::DoNotOptimize(style.GetMask());
        if (++c > kCols) {
            c = 1;
            r = r % 1000 + 1;
        }
    }
}
BENCHMARK(BM_ReadStoredCellStyle);

} // namespace
