// Floating and merged cells at the size of a large site on a full-HD window: 100,000 pages x 50
// META columns on the headless backend with the real fonts. Every fifth column holds a long
// description that floats over the empty column beside it, every fifth a content type that
// merges down runs of 8 equal rows, the rest short texts and empty cells that may float or be
// floated over. Measured with both features in the delayed mode (1): a full paint once the
// spans in view are known, and a page scroll downwards that reveals rows whose spans are not
// worked out yet, each with the paint it causes; also with one feature alone. Floor, in the same
// run on the same window: the same paint and page scroll with floating and merging off.
#include "grid/core/CGXControlFactory.h"
#include "grid/core/CGXGridAppData.h"
#include "grid/core/CGXGridWnd.h"
#include "grid/data/CGXData.h"
#include "grid/features/CGXGridFloatCellsImp.h"
#include "grid/features/CGXGridMergeCellsImp.h"
#include "platform/backends/headless/HeadlessBackend.h"
#include "platform/controls/StandardControls.h"
#include "platform/win/ScrollBar.h"
#include "platform/win/UserApi.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace {

constexpr ROWCOL kRows = 100000;
constexpr ROWCOL kCols = 50;
constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr ROWCOL kFirstTop = 1000;

class SpansFactory : public CGXControlFactory {
public:
    void InitializeGridComponents(CGXGridCore* pGrid) override
    {
        CGXControlFactory::InitializeGridComponents(pGrid);
        CGXGridMergeCellsImp::Install(pGrid);
        CGXGridFloatCellsImp::Install(pGrid);
    }
};

// One grid window for all benchmarks: filling it takes a while.
struct SpansFixture {
    HWND hTop = nullptr;
    std::unique_ptr<CGXGridWnd> grid;
    ROWCOL nScrolledTo = kFirstTop;

    SpansFixture()
    {
        HeadlessBackend::Install(SIZE{kWidth, kHeight});
        RegisterStandardControls();
        InitGridLibrary(new SpansFactory);
        WNDCLASS wc{};
        wc.lpfnWndProc = DefWindowProc;
        wc.lpszClassName = "SpansBenchTop";
        RegisterClass(&wc);
        hTop = CreateWindowEx(0, "SpansBenchTop", "", WS_POPUP | WS_VISIBLE, 0, 0, kWidth, kHeight, nullptr, nullptr, nullptr, nullptr);
        grid = std::make_unique<CGXGridWnd>();
        grid->Create(nullptr, "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL, CRect(0, 0, kWidth, kHeight), CWnd::FromHandle(hTop), 1);
        grid->Initialize();
        grid->GetParam()->EnableUndo(FALSE);
        grid->SetRowCount(kRows, 0);
        grid->SetColCount(kCols, 0);
        for (ROWCOL c = 1; c <= kCols; ++c) {
            CGXStyle column;
            column.SetControl(GX_IDS_CTRL_STATIC).SetReadOnly(TRUE).SetWrapText(FALSE).SetFont(CGXFont().SetFaceName("Arial").SetSize(9));
            if (c % 5 == 3)
                column.SetMergeCell(GX_MERGE_VERTICAL | GX_MERGE_COMPVALUE);
            else
                column.SetFloatCell(TRUE).SetFloodCell(TRUE);
            grid->ApplyStyleToRange(CGXRange().SetCols(c, c), &column, gxOverride, 0, nullptr, 0, 1);
        }
        CGXData* pData = grid->GetData();
        CGXStyle value;
        for (ROWCOL r = 1; r <= kRows; ++r)
            for (ROWCOL c = 1; c <= kCols; ++c) {
                std::string text;
                switch (c % 5) {
                case 1:
                    text = "description of page " + std::to_string(r) + ", long enough to run on";
                    break;
                case 3:
                    text = (r / 8) % 2 ? "text/html" : "text/plain";
                    break;
                case 4:
                    text = "utf-8";
                    break;
                case 0:
                    if (r % 2 == 0)
                        text = "kw " + std::to_string(c);
                    break;
                default:
                    break;
                }
                if (text.empty())
                    continue;
                value.SetValue(text.c_str());
                pData->StoreStyle(r, c, &value, gxOverride, 0);
            }
        grid->SetNoImmediateUpdate(FALSE);
    }
    static SpansFixture& Get()
    {
        static SpansFixture f;
        return f;
    }
    void SetModes(const benchmark::State& state)
    {
        static_cast<CGXGridFloatCellsImp*>(grid->m_pFloatCellsImp)->SetFloatCellsMode(grid.get(), static_cast<WORD>(state.range(0)), FALSE);
        static_cast<CGXGridMergeCellsImp*>(grid->m_pMergeCellsImp)->SetMergeCellsMode(grid.get(), static_cast<WORD>(state.range(1)), FALSE);
    }
    void PaintNow()
    {
        grid->Invalidate(FALSE);
        grid->UpdateWindow();
    }
};

// Spans visible in the window, to show that the paint had spans to draw.
double VisibleSpans(CGXGridWnd& grid)
{
    int n = 0;
    CRect rect;
    grid.GetGridRect(&rect);
    const ROWCOL nLast = grid.CalcLastVisibleRow(rect);
    for (ROWCOL r = grid.GetTopRow(); r <= nLast; ++r)
        for (ROWCOL c = 1; c <= 10; ++c) {
            CGXRange span;
            if (grid.FindCellSpan(r, c, span) != nullptr && span.top == r && span.left == c)
                ++n;
        }
    return n;
}

void BM_SpansPaint(benchmark::State& state)
{
    SpansFixture& f = SpansFixture::Get();
    f.SetModes(state);
    f.grid->SetTopRow(5000, 0);
    f.PaintNow();
    for (auto _ : state)
        f.PaintNow();
    state.counters["spans"] = VisibleSpans(*f.grid);
}
// Both modes 0 is the floor: the same paint with floating and merging off. One feature alone
// shows where the time goes.
BENCHMARK(BM_SpansPaint)->Args({1, 1})->Args({1, 0})->Args({0, 1})->Args({0, 0})->ArgNames({"float", "merge"})->Unit(benchmark::kMillisecond);

void BM_SpansPageScroll(benchmark::State& state)
{
    SpansFixture& f = SpansFixture::Get();
    f.SetModes(state);
    // Always downwards into rows not drawn before, so that the delayed mode works their spans
    // out inside the measured scroll.
    f.grid->SetTopRow(f.nScrolledTo, 0);
    f.PaintNow();
    for (auto _ : state) {
        f.grid->HandleVScroll(SB_PAGEDOWN, 0);
        if (f.grid->GetTopRow() > kRows - 1000) {
            state.PauseTiming();
            f.grid->SetTopRow(kFirstTop, 0);
            f.PaintNow();
            state.ResumeTiming();
        }
    }
    state.counters["spans"] = VisibleSpans(*f.grid);
    f.nScrolledTo = f.grid->GetTopRow();
}
BENCHMARK(BM_SpansPageScroll)->Args({1, 1})->Args({1, 0})->Args({0, 1})->Args({0, 0})->ArgNames({"float", "merge"})->Unit(benchmark::kMillisecond);

} // namespace
