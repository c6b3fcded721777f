// The toolkit's docking in the program's configuration: a 1600 x 1000 MDI frame with panes in
// rows on the left and the bottom, two rows of fixed bars at the top and three document windows.
// A live-resize step (row layout and the changed bars repainted), one mouse move of a bar drag
// (dock decision at the insertion point and the XOR outline), saving the layout, and making the
// frame with its layout loaded up to its first paint; each beside the framework's own docking
// doing the same work with as many bars, the floor the toolkit builds on.
#include "platform/afx/AfxRes.h"
#include "platform/afx/app/CWinApp.h"
#include "platform/afx/bars/CDockContext.h"
#include "platform/afx/bars/CDockState.h"
#include "platform/afx/frame/CMDIChildWnd.h"
#include "platform/afx/frame/CMDIFrameWnd.h"
#include "platform/backends/headless/HeadlessBackend.h"
#include "platform/controls/StandardControls.h"
#include "platform/win/Gdi.h"
#include "toolkit/docking/SECControlBar.h"
#include "toolkit/docking/SECDockBar.h"
#include "toolkit/docking/SECDockContext.h"
#include "toolkit/frames/SECMDIFrameWnd.h"

#include "bench/BenchProfile.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

// A framework bar of a fixed size, for the floor.
class CPlainBar : public CControlBar {
public:
    CPlainBar(int length, int thick) : m_length(length), m_thick(thick) {}
    BOOL Create(CWnd* parent, DWORD style, UINT id)
    {
        m_dwStyle = style & CBRS_ALL;
        return CWnd::Create(AfxControlBarClass(), "bar", WS_CHILD | WS_VISIBLE, CRect(0, 0, 0, 0), parent, id);
    }
    CSize CalcFixedLayout(BOOL, BOOL bHorz) override { return bHorz ? CSize(m_length, m_thick) : CSize(m_thick, m_length); }
    void OnUpdateCmdUI(CFrameWnd*, BOOL) override {}

private:
    int m_length, m_thick;
};

// Two panes on the left in a row, two at the bottom in a row, four fixed bars in two rows at the
// top, three document windows.
struct ToolkitFrame {
    SECMDIFrameWnd* frame = new SECMDIFrameWnd;
    std::vector<SECControlBar*> bars;

    explicit ToolkitFrame(bool install = true)
    {
        if (install) {
            HeadlessBackend::Install();
            RegisterStandardControls();
        }
        frame->Create(nullptr, "Vostrel", WS_POPUP | WS_VISIBLE, CRect(0, 0, 1600, 1000));
        frame->EnableDocking(CBRS_ALIGN_ANY);
        const auto make = [&](UINT id, DWORD align, DWORD ex) {
            auto* bar = new SECControlBar;
            bar->m_bAutoDelete = TRUE;
            bar->Create(frame, "pane", WS_VISIBLE | align | CBRS_SIZE_DYNAMIC, ex, id);
            bar->EnableDocking(CBRS_ALIGN_ANY);
            bars.push_back(bar);
            return bar;
        };
        frame->DockControlBarEx(make(0xE901, CBRS_ALIGN_LEFT, 0xF10), SECDockPos{0, 0, 0}, AFX_IDW_DOCKBAR_LEFT,
                                SECDockSize{0.6f, 220, 0});
        frame->DockControlBarEx(make(0xE902, CBRS_ALIGN_LEFT, 0xF10), SECDockPos{0, 5, 0}, AFX_IDW_DOCKBAR_LEFT,
                                SECDockSize{0.4f, 220, 0});
        frame->DockControlBarEx(make(0xE903, CBRS_ALIGN_BOTTOM, 0xF10), SECDockPos{0, 0, 0}, AFX_IDW_DOCKBAR_BOTTOM,
                                SECDockSize{0.7f, 160, 0});
        frame->DockControlBarEx(make(0xE904, CBRS_ALIGN_BOTTOM, 0xF10), SECDockPos{0, 5, 0}, AFX_IDW_DOCKBAR_BOTTOM,
                                SECDockSize{0.3f, 160, 0});
        for (UINT i = 0; i < 4; ++i) {
            SECControlBar* bar = make(0xE905 + i, CBRS_ALIGN_TOP, CBRS_EX_UNIDIRECTIONAL);
            bar->m_szHorz = CSize(300, 28);
            frame->DockControlBarEx(bar, SECDockPos{static_cast<int>(i / 2), 5, 0}, AFX_IDW_DOCKBAR_TOP,
                                    SECDockSize{1.0f, 28, 0});
        }
        for (int i = 0; i < 3; ++i)
            frame->CreateNewChild(RUNTIME_CLASS(CMDIChildWnd), 0);
        frame->RecalcLayout();
    }
    ~ToolkitFrame()
    {
        if (::IsWindow(frame->m_hWnd))
            frame->DestroyWindow();
    }
};

// The framework's frame with as many plain bars in the same rows, and the same documents.
struct PlainFrame {
    CMDIFrameWnd* frame = new CMDIFrameWnd;
    std::vector<std::unique_ptr<CPlainBar>> bars;

    PlainFrame()
    {
        HeadlessBackend::Install();
        RegisterStandardControls();
        frame->Create(nullptr, "Vostrel", WS_POPUP | WS_VISIBLE, CRect(0, 0, 1600, 1000));
        frame->EnableDocking(CBRS_ALIGN_ANY);
        const struct {
            UINT side;
            DWORD style;
            int length, thick;
        } places[8] = {{AFX_IDW_DOCKBAR_LEFT, CBRS_LEFT, 400, 220},   {AFX_IDW_DOCKBAR_LEFT, CBRS_LEFT, 300, 220},
                       {AFX_IDW_DOCKBAR_BOTTOM, CBRS_BOTTOM, 900, 160}, {AFX_IDW_DOCKBAR_BOTTOM, CBRS_BOTTOM, 400, 160},
                       {AFX_IDW_DOCKBAR_TOP, CBRS_TOP, 300, 28},       {AFX_IDW_DOCKBAR_TOP, CBRS_TOP, 300, 28},
                       {AFX_IDW_DOCKBAR_TOP, CBRS_TOP, 300, 28},       {AFX_IDW_DOCKBAR_TOP, CBRS_TOP, 300, 28}};
        for (int i = 0; i < 8; ++i) {
            bars.push_back(std::make_unique<CPlainBar>(places[i].length, places[i].thick));
            bars.back()->Create(frame, places[i].style, 0xE901 + static_cast<UINT>(i));
            bars.back()->EnableDocking(CBRS_ALIGN_ANY);
            frame->DockControlBar(bars.back().get(), places[i].side);
        }
        for (int i = 0; i < 3; ++i)
            frame->CreateNewChild(RUNTIME_CLASS(CMDIChildWnd), 0);
        frame->RecalcLayout();
    }
    ~PlainFrame()
    {
        for (auto& bar : bars)
            bar->DestroyWindow();
        frame->DestroyWindow();
    }
};

void BM_ToolkitLiveResizeStep(benchmark::State& state)
{
    ToolkitFrame t;
    int n = 0;
    for (auto _ : state) {
        // One pixel wider or narrower: every row along the top and bottom is laid out again, and
        // the bars that changed are repainted.
        ::SetWindowPos(t.frame->m_hWnd, nullptr, 0, 0, 1600 + (n++ & 1), 1000,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        ::UpdateWindow(t.frame->m_hWnd);
    }
    SetWindowBackend(nullptr);
}
BENCHMARK(BM_ToolkitLiveResizeStep)->Unit(benchmark::kMicrosecond);

void BM_FrameworkLiveResizeStep(benchmark::State& state)
{
    PlainFrame p;
    int n = 0;
    for (auto _ : state) {
        ::SetWindowPos(p.frame->m_hWnd, nullptr, 0, 0, 1600 + (n++ & 1), 1000,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        ::UpdateWindow(p.frame->m_hWnd);
    }
    SetWindowBackend(nullptr);
}
BENCHMARK(BM_FrameworkLiveResizeStep)->Unit(benchmark::kMicrosecond);

void BM_ToolkitDragMove(benchmark::State& state)
{
    ToolkitFrame t;
    SECControlBar* bar = t.bars[2];   // a bottom pane
    auto* context = static_cast<SECDockContext*>(bar->m_pDockContext);
    CRect rect;
    bar->GetWindowRect(&rect);
    // The loop's state as StartDrag leaves it, without the modal loop around it.
    context->m_pDockSite = t.frame;
    context->m_dwDockStyle = bar->m_dwDockStyle;
    context->m_dwStyle = bar->GetBarStyle();
    context->m_ptStart = rect.TopLeft();
    context->InitLoop();
    context->m_bDragging = TRUE;
    context->m_ptLast = rect.TopLeft();
    context->m_rectDragHorz = context->m_rectFrameDragHorz = rect;
    context->m_rectDragVert = context->m_rectFrameDragVert = CRect(rect.TopLeft(), CSize(rect.Height(), rect.Width()));
    // Back and forth between the bottom row (docked, at an insertion point) and the client.
    const CPoint points[2] = {rect.TopLeft() + CSize(40, 6), rect.TopLeft() + CSize(400, -400)};
    int n = 0;
    for (auto _ : state) {
        context->Move(points[n++ & 1]);
        benchmark::DoNotOptimize(context->m_dwOverDockStyle);
    }
    context->CancelLoop();
    SetWindowBackend(nullptr);
}
BENCHMARK(BM_ToolkitDragMove);

void BM_FrameworkDragMove(benchmark::State& state)
{
    PlainFrame p;
    CPlainBar& bar = *p.bars[2];
    CDockContext& context = *bar.m_pDockContext;
    CRect rect;
    bar.GetWindowRect(&rect);
    context.m_pDockSite = p.frame;
    context.m_dwDockStyle = bar.m_dwDockStyle;
    context.m_dwStyle = bar.GetBarStyle();
    context.InitLoop();
    context.m_ptLast = rect.TopLeft();
    context.m_rectDragHorz = context.m_rectFrameDragHorz = rect;
    context.m_rectDragVert = context.m_rectFrameDragVert = CRect(rect.TopLeft(), CSize(rect.Height(), rect.Width()));
    const CPoint points[2] = {rect.TopLeft() + CSize(40, 6), rect.TopLeft() + CSize(400, -400)};
    int n = 0;
    for (auto _ : state) {
        context.Move(points[n++ & 1]);
        benchmark::DoNotOptimize(context.m_dwOverDockStyle);
    }
    context.CancelLoop();
    SetWindowBackend(nullptr);
}
BENCHMARK(BM_FrameworkDragMove);

void BM_ToolkitSaveLayout(benchmark::State& state)
{
    BenchProfile profile("ToolkitDockBench");
    ToolkitFrame t;
    for (auto _ : state)
        t.frame->SaveBarState("Main Toolbar");
    SetWindowBackend(nullptr);
}
BENCHMARK(BM_ToolkitSaveLayout)->Unit(benchmark::kMicrosecond);

void BM_FrameworkSaveLayout(benchmark::State& state)
{
    BenchProfile profile("ToolkitDockBench");
    PlainFrame p;
    for (auto _ : state)
        p.frame->SaveBarState("Main Toolbar");
    SetWindowBackend(nullptr);
}
BENCHMARK(BM_FrameworkSaveLayout)->Unit(benchmark::kMicrosecond);

void BM_ToolkitCreateWithLayoutToFirstPaint(benchmark::State& state)
{
    BenchProfile profile("ToolkitDockBench");
    HeadlessBackend::Install();
    RegisterStandardControls();
    {
        ToolkitFrame saved(false);
        saved.frame->SaveBarState("Main Toolbar");
    }
    for (auto _ : state) {
        ToolkitFrame t(false);
        t.frame->LoadBarState("Main Toolbar");
        ::UpdateWindow(t.frame->m_hWnd);
    }
    SetWindowBackend(nullptr);
}
BENCHMARK(BM_ToolkitCreateWithLayoutToFirstPaint)->Unit(benchmark::kMillisecond);

void BM_FrameworkCreateWithLayoutToFirstPaint(benchmark::State& state)
{
    BenchProfile profile("ToolkitDockBench");
    {
        PlainFrame saved;
        saved.frame->SaveBarState("Main Toolbar");
    }
    for (auto _ : state) {
        PlainFrame p;
        p.frame->LoadBarState("Main Toolbar");
        ::UpdateWindow(p.frame->m_hWnd);
    }
    SetWindowBackend(nullptr);
}
BENCHMARK(BM_FrameworkCreateWithLayoutToFirstPaint)->Unit(benchmark::kMillisecond);

} // namespace
