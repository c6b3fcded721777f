// Docked bars: one mouse move of a bar drag (outline erased and drawn with XOR on the screen, the
// dock decision made again), the layout of a frame with 12 bars docked in 4 rows and a status
// bar, and a saved dock state of 12 bars written to and read back from the profile and applied;
// each beside the bare window-layer work underneath: the same XOR strips with PatBlt, the same
// windows moved by one deferred positioning, the same number of profile values written and read.
#include "platform/afx/AfxRes.h"
#include "platform/afx/app/CWinApp.h"
#include "platform/afx/bars/CDockContext.h"
#include "platform/afx/bars/CDockState.h"
#include "platform/afx/bars/CMiniDockFrameWnd.h"
#include "platform/afx/bars/CStatusBar.h"
#include "platform/backends/headless/HeadlessBackend.h"
#include "platform/controls/StandardControls.h"
#include "platform/win/Gdi.h"

#include "bench/BenchProfile.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

class CBenchBar : public CControlBar {
public:
    BOOL Create(CWnd* parent, DWORD style, UINT id)
    {
        m_dwStyle = style & CBRS_ALL;
        return CWnd::Create(AfxControlBarClass(), "bar", WS_CHILD | WS_VISIBLE, CRect(0, 0, 0, 0), parent, id);
    }
    CSize CalcFixedLayout(BOOL, BOOL bHorz) override { return bHorz ? CSize(150, 26) : CSize(26, 110); }
    void OnUpdateCmdUI(CFrameWnd*, BOOL) override {}
};

// A frame with a status bar and 12 bars: 3 on each side, the top and bottom ones in 2 rows.
struct Docked {
    CFrameWnd* frame = new CFrameWnd;
    CWnd pane;
    CStatusBar status;
    std::vector<std::unique_ptr<CBenchBar>> bars;

    Docked()
    {
        HeadlessBackend::Install();
        RegisterStandardControls();
        frame->CreateEx(0, nullptr, "Frame", WS_POPUP | WS_VISIBLE, 0, 0, 900, 700, nullptr, nullptr);
        pane.Create(nullptr, "pane", WS_CHILD | WS_VISIBLE, CRect(0, 0, 1, 1), frame, AFX_IDW_PANE_FIRST);
        status.Create(frame);
        const UINT indicators[] = {ID_SEPARATOR, ID_INDICATOR_CAPS, ID_INDICATOR_NUM};
        status.SetIndicators(indicators, 3);
        frame->EnableDocking(CBRS_ALIGN_ANY);
        const UINT sides[4] = {AFX_IDW_DOCKBAR_TOP, AFX_IDW_DOCKBAR_BOTTOM, AFX_IDW_DOCKBAR_LEFT,
                               AFX_IDW_DOCKBAR_RIGHT};
        for (int i = 0; i < 12; ++i) {
            bars.push_back(std::make_unique<CBenchBar>());
            CBenchBar& bar = *bars.back();
            const UINT side = sides[i / 3];
            bar.Create(frame, side == AFX_IDW_DOCKBAR_LEFT || side == AFX_IDW_DOCKBAR_RIGHT ? CBRS_LEFT : CBRS_TOP,
                       0xE810 + static_cast<UINT>(i));
            bar.EnableDocking(CBRS_ALIGN_ANY);
            frame->DockControlBar(&bar, side);
        }
        // The second bar of the top and the bottom joins the first one's row.
        for (int i : {1, 4}) {
            CRect rect;
            bars[static_cast<size_t>(i) - 1]->GetWindowRect(&rect);
            rect.OffsetRect(rect.Width() + 10, 0);
            frame->DockControlBar(bars[static_cast<size_t>(i)].get(), sides[i / 3], &rect);
        }
        frame->RecalcLayout();
    }
    ~Docked()
    {
        for (auto& bar : bars)
            bar->DestroyWindow();
        status.DestroyWindow();
        frame->DestroyWindow();
        SetWindowBackend(nullptr);
    }
};

void BM_DragMove(benchmark::State& state)
{
    Docked docked;
    CBenchBar& bar = *docked.bars[0];
    CDockContext& context = *bar.m_pDockContext;
    CRect rect;
    bar.GetWindowRect(&rect);
    // The loop's state as StartDrag leaves it, without the modal loop around it.
    context.m_pDockSite = docked.frame;
    context.m_dwDockStyle = bar.m_dwDockStyle;
    context.m_dwStyle = bar.GetBarStyle();
    context.InitLoop();
    context.m_ptLast = rect.TopLeft();
    context.m_rectDragHorz = context.m_rectFrameDragHorz = rect;
    context.m_rectDragVert = context.m_rectFrameDragVert = CRect(rect.TopLeft(), CSize(rect.Height(), rect.Width()));
    // Back and forth between the top edge (docked) and the middle (floating).
    const CPoint points[2] = {rect.TopLeft() + CSize(30, 4), rect.TopLeft() + CSize(300, 300)};
    int n = 0;
    for (auto _ : state) {
        context.Move(points[n++ & 1]);
        benchmark::DoNotOptimize(context.m_dwOverDockStyle);
    }
    context.CancelLoop();
}
BENCHMARK(BM_DragMove);

// The floor: the same two outlines inverted with PatBlt strips on the screen DC.
void BM_DragMoveFloor(benchmark::State& state)
{
    Docked docked;
    HDC dc = ::GetDC(nullptr);
    HBRUSH brush = ::CreateSolidBrush(RGB(128, 128, 128));
    HGDIOBJ old = ::SelectObject(dc, brush);
    const RECT rects[2] = {{40, 30, 190, 56}, {310, 326, 460, 352}};
    auto frame = [&](const RECT& r, int w) {
        ::PatBlt(dc, r.left, r.top, r.right - r.left, w, PATINVERT);
        ::PatBlt(dc, r.left, r.bottom - w, r.right - r.left, w, PATINVERT);
        ::PatBlt(dc, r.left, r.top + w, w, r.bottom - r.top - 2 * w, PATINVERT);
        ::PatBlt(dc, r.right - w, r.top + w, w, r.bottom - r.top - 2 * w, PATINVERT);
    };
    int n = 0;
    for (auto _ : state) {
        frame(rects[n & 1], 2);         // erase the last
        frame(rects[(n + 1) & 1], 3);   // draw the new
        RECT dockRect;
        ::GetWindowRect(docked.frame->m_hWnd, &dockRect);
        benchmark::DoNotOptimize(dockRect);
        ++n;
    }
    ::SelectObject(dc, old);
    ::DeleteObject(brush);
    ::ReleaseDC(nullptr, dc);
}
BENCHMARK(BM_DragMoveFloor);

void BM_RecalcLayout(benchmark::State& state)
{
    Docked docked;
    int n = 0;
    for (auto _ : state) {
        // A frame one pixel wider or narrower: every bar along the top and bottom moves.
        ::SetWindowPos(docked.frame->m_hWnd, nullptr, 0, 0, 900 + (n++ & 1), 700,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    }
}
BENCHMARK(BM_RecalcLayout);

// The floor: the same resize of a frame whose 18 children are moved by one deferred positioning.
void BM_RecalcLayoutFloor(benchmark::State& state)
{
    Docked docked;
    std::vector<HWND> children;
    for (HWND child = ::GetWindow(docked.pane.m_hWnd, GW_HWNDFIRST); child; child = ::GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    HWND plain = ::CreateWindowEx(0, "Static", "", WS_POPUP | WS_VISIBLE, 0, 0, 900, 700, nullptr, nullptr, nullptr,
                                  nullptr);
    std::vector<HWND> kids;
    for (int i = 0; i < 18; ++i)
        kids.push_back(::CreateWindowEx(0, "Static", "", WS_CHILD | WS_VISIBLE, 0, i * 10, 100, 10, plain, nullptr,
                                        nullptr, nullptr));
    int n = 0;
    for (auto _ : state) {
        const int width = 900 + (n++ & 1);
        ::SetWindowPos(plain, nullptr, 0, 0, width, 700, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
        HDWP dwp = ::BeginDeferWindowPos(18);
        for (int i = 0; i < 18; ++i)
            dwp = ::DeferWindowPos(dwp, kids[static_cast<size_t>(i)], nullptr, 0, i * 10, width - i, 10,
                                   SWP_NOZORDER | SWP_NOACTIVATE);
        ::EndDeferWindowPos(dwp);
    }
    ::DestroyWindow(plain);
}
BENCHMARK(BM_RecalcLayoutFloor);

void BM_SaveLoadDockState(benchmark::State& state)
{
    BenchProfile profile("DockBench");
    Docked docked;
    for (auto _ : state) {
        docked.frame->SaveBarState("Bench");
        docked.frame->LoadBarState("Bench");
    }
}
BENCHMARK(BM_SaveLoadDockState)->Unit(benchmark::kMicrosecond);

// The part above the profile: the state taken from 12 bars and their sides, and applied again.
void BM_GetSetDockState(benchmark::State& state)
{
    Docked docked;
    for (auto _ : state) {
        CDockState dockState;
        docked.frame->GetDockState(dockState);
        docked.frame->SetDockState(dockState);
    }
}
BENCHMARK(BM_GetSetDockState)->Unit(benchmark::kMicrosecond);

// The floor: as many profile values written and read as the saved state holds.
void BM_SaveLoadDockStateFloor(benchmark::State& state)
{
    BenchProfile profile("DockBench");
    Docked docked;
    docked.frame->SaveBarState("Bench");
    // Count what a save writes: the summary, then every section's values.
    CWinApp& app = profile.App();
    const int sections = static_cast<int>(app.GetProfileInt("Bench-Summary", "Bars", 0));
    const int values = 3 + sections * 14;
    for (auto _ : state) {
        for (int i = 0; i < values; ++i) {
            CString section;
            section.Format("Floor-Bar%d", i / 14);
            CString key;
            key.Format("Key%d", i % 14);
            app.WriteProfileInt(section, key, i);
        }
        int sum = 0;
        for (int i = 0; i < values; ++i) {
            CString section;
            section.Format("Floor-Bar%d", i / 14);
            CString key;
            key.Format("Key%d", i % 14);
            sum += static_cast<int>(app.GetProfileInt(section, key, 0));
        }
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_SaveLoadDockStateFloor)->Unit(benchmark::kMicrosecond);

} // namespace
