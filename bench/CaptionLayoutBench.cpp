// The caption, menu and layout pieces of the frames, each beside the same work done by the
// window layer alone: the gradient caption of a 1920-pixel frame (floor: a flat fill and the
// title drawn), a non-client mouse move through a document frame's filter tree (floor: the
// layer's own hit test of the move), the first opening of a 25-item bitmap menu and a highlight
// move in it (floor: the 25 labels drawn), one resize step of a dialog of 60 scaled controls
// (floor: the 60 controls moved in one deferred batch) and a live splitter move of two panes
// (floor: the two panes moved).
#include "platform/backends/headless/HeadlessBackend.h"
#include "platform/controls/StandardControls.h"
#include "platform/win/Gdi.h"
#include "platform/win/MenuApi.h"
#include "toolkit/caption/SECCaptionMsgFilter.h"
#include "toolkit/caption/SECGradientCaption.h"
#include "toolkit/layout/SECLayoutFactory.h"
#include "toolkit/layout/SECLayoutSplitter.h"
#include "toolkit/menus/SECBmpMenuPlugIn.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace {

struct Screen {
    Screen()
    {
        HeadlessBackend::Install(SIZE{2000, 1200});
        RegisterStandardControls();
    }
};
Screen& Ready()
{
    static Screen screen;
    return screen;
}

CWnd* MakeFrame(int width, int height, DWORD style = WS_OVERLAPPEDWINDOW | WS_VISIBLE)
{
    auto* frame = new CWnd;
    frame->CreateEx(0, nullptr, "Vostrel - sample.vsp", style, 0, 0, width, height, nullptr, nullptr);
    return frame;
}

void BM_GradientCaption1920(benchmark::State& state)
{
    Ready();
    std::unique_ptr<CWnd> frame(MakeFrame(1920, 300));
    LOGFONT lf{};
    SECGradientCaption::CreateAppTitleFont(lf);
    HFONT app = ::CreateFontIndirect(&lf);
    SECGradientCaption::CreateDocTitleFont(lf);
    HFONT doc = ::CreateFontIndirect(&lf);
    for (auto _ : state)
        benchmark::DoNotOptimize(SECGradientCaption::DrawCaption(frame->m_hWnd, TRUE, SEC_CAPTION_LEFT, app, doc));
    ::DeleteObject(app);
    ::DeleteObject(doc);
    frame->DestroyWindow();
}
BENCHMARK(BM_GradientCaption1920);

void BM_FlatCaptionFloor1920(benchmark::State& state)
{
    Ready();
    std::unique_ptr<CWnd> frame(MakeFrame(1920, 300));
    const CRect caption = SECGradientCaption::GetCaptionRect(frame->m_hWnd);
    HBRUSH brush = ::CreateSolidBrush(::GetSysColor(COLOR_ACTIVECAPTION));
    for (auto _ : state) {
        HDC dc = ::GetWindowDC(frame->m_hWnd);
        ::FillRect(dc, &caption, brush);
        RECT text = caption;
        ::DrawText(dc, "Vostrel - sample.vsp", -1, &text, DT_SINGLELINE | DT_VCENTER);
        ::ReleaseDC(frame->m_hWnd, dc);
    }
    ::DeleteObject(brush);
    frame->DestroyWindow();
}
BENCHMARK(BM_FlatCaptionFloor1920);

void BM_NcMouseMoveThroughFilters(benchmark::State& state)
{
    Ready();
    std::unique_ptr<CWnd> frame(MakeFrame(800, 600));
    SECMsgFilter root(frame.get());
    auto* list = new SECCaptionControlListMsgFilter(frame.get(), 256);
    root.AddChild(list);
    list->EnableStandardButtons(FALSE);
    for (UINT key = 257; key <= 262; ++key)
        root.FindFilter(key, RUNTIME_CLASS(SECNcMsgFilter));
    CRect window;
    frame->GetWindowRect(&window);
    const LPARAM at = MAKELPARAM(window.left + 200, window.top + 10);
    for (auto _ : state) {
        LRESULT result = 0;
        benchmark::DoNotOptimize(root.FilterMessage(WM_MOUSEMOVE, 0, at, &result));
    }
    frame->DestroyWindow();
}
BENCHMARK(BM_NcMouseMoveThroughFilters);

void BM_NcHitTestFloor(benchmark::State& state)
{
    Ready();
    std::unique_ptr<CWnd> frame(MakeFrame(800, 600));
    CRect window;
    frame->GetWindowRect(&window);
    const LPARAM at = MAKELPARAM(window.left + 200, window.top + 10);
    for (auto _ : state)
        benchmark::DoNotOptimize(::DefWindowProc(frame->m_hWnd, WM_NCHITTEST, 0, at));
    frame->DestroyWindow();
}
BENCHMARK(BM_NcHitTestFloor);

struct MenuSetup {
    std::unique_ptr<CWnd> host{MakeFrame(400, 300)};
    HMENU menu = ::CreatePopupMenu();
    HDC screen = ::GetDC(nullptr);
    HDC dc = ::CreateCompatibleDC(screen);
    HBITMAP canvas = ::CreateCompatibleBitmap(screen, 300, 24);
    MenuSetup()
    {
        ::SelectObject(dc, canvas);
        for (UINT i = 0; i < 25; ++i) {
            char text[64];
            std::snprintf(text, sizeof text, "Command &%c number %u\tCtrl+%c", 'A' + static_cast<char>(i), i, 'A' + static_cast<char>(i));
            ::AppendMenu(menu, MF_STRING | (i % 5 == 0 ? MF_CHECKED : 0) | (i % 7 == 0 ? MF_GRAYED : 0), 1000 + i, text);
        }
    }
    ~MenuSetup()
    {
        ::DestroyMenu(menu);
        ::DeleteObject(canvas);
        ::DeleteDC(dc);
        ::ReleaseDC(nullptr, screen);
        host->DestroyWindow();
    }
};

void DrawAll(SECBmpMenuPlugIn& plugIn, MenuSetup& s, int selected)
{
    for (UINT pos = 0; pos < 25; ++pos) {
        MENUITEMINFO mii{};
        mii.cbSize = sizeof mii;
        mii.fMask = MIIM_DATA | MIIM_ID | MIIM_STATE;
        ::GetMenuItemInfo(s.menu, pos, TRUE, &mii);
        UINT state = (static_cast<int>(pos) == selected ? ODS_SELECTED : 0) | ((mii.fState & MFS_CHECKED) ? ODS_CHECKED : 0) |
                     ((mii.fState & MFS_GRAYED) ? ODS_GRAYED : 0);
        DRAWITEMSTRUCT dis{ODT_MENU, 0, mii.wID, ODA_DRAWENTIRE, state, reinterpret_cast<HWND>(s.menu), s.dc,
                           RECT{0, 0, 300, 24}, mii.dwItemData};
        LRESULT r = 0;
        plugIn.OnWndMsg(WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis), &r);
    }
}

void BM_BmpMenuFirstOpen25(benchmark::State& state)
{
    Ready();
    for (auto _ : state) {
        state.PauseTiming();
        MenuSetup s;
        SECBmpMenuPlugIn plugIn(TRUE);
        plugIn.Attach(s.host.get());
        state.ResumeTiming();
        LRESULT r = 0;
        plugIn.OnWndMsg(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(s.menu), 0, &r);
        for (UINT pos = 0; pos < 25; ++pos) {
            MENUITEMINFO mii{};
            mii.cbSize = sizeof mii;
            mii.fMask = MIIM_DATA | MIIM_ID;
            ::GetMenuItemInfo(s.menu, pos, TRUE, &mii);
            MEASUREITEMSTRUCT mis{ODT_MENU, 0, mii.wID, 0, 0, mii.dwItemData};
            plugIn.OnWndMsg(WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis), &r);
        }
        DrawAll(plugIn, s, -1);
        state.PauseTiming();
        plugIn.Detach();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_BmpMenuFirstOpen25);

void BM_BmpMenuHighlightMove(benchmark::State& state)
{
    Ready();
    MenuSetup s;
    SECBmpMenuPlugIn plugIn(TRUE);
    plugIn.Attach(s.host.get());
    LRESULT r = 0;
    plugIn.OnWndMsg(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(s.menu), 0, &r);
    int selected = 0;
    for (auto _ : state) {
        // A move redraws the item left and the item entered.
        for (UINT pos : {static_cast<UINT>(selected), static_cast<UINT>((selected + 1) % 25)}) {
            MENUITEMINFO mii{};
            mii.cbSize = sizeof mii;
            mii.fMask = MIIM_DATA | MIIM_ID;
            ::GetMenuItemInfo(s.menu, pos, TRUE, &mii);
            DRAWITEMSTRUCT dis{ODT_MENU, 0, mii.wID, ODA_SELECT, pos == static_cast<UINT>(selected) ? 0u : UINT(ODS_SELECTED),
                               reinterpret_cast<HWND>(s.menu), s.dc, RECT{0, 0, 300, 24}, mii.dwItemData};
            plugIn.OnWndMsg(WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis), &r);
        }
        selected = (selected + 1) % 25;
    }
    plugIn.Detach();
}
BENCHMARK(BM_BmpMenuHighlightMove);

void BM_MenuLabelsFloor25(benchmark::State& state)
{
    Ready();
    MenuSetup s;
    for (auto _ : state) {
        for (int i = 0; i < 25; ++i) {
            RECT r{0, 0, 300, 24};
            ::DrawText(s.dc, "Command number 12", -1, &r, DT_SINGLELINE | DT_VCENTER);
        }
    }
}
BENCHMARK(BM_MenuLabelsFloor25);

struct Dialog60 {
    std::unique_ptr<CWnd> host{MakeFrame(900, 700)};
    std::vector<std::unique_ptr<CWnd>> controls;
    Dialog60()
    {
        for (int i = 0; i < 60; ++i) {
            controls.push_back(std::make_unique<CWnd>());
            controls.back()->CreateEx(0, "EDIT", "", WS_CHILD | WS_VISIBLE, 10 + (i % 6) * 140, 10 + (i / 6) * 60, 120, 24,
                                      host->m_hWnd, nullptr);
        }
    }
    ~Dialog60()
    {
        controls.clear();
        host->DestroyWindow();
    }
};

void BM_ScaledDialogResizeStep60(benchmark::State& state)
{
    Ready();
    Dialog60 d;
    SECLayoutFactory factory;
    SECClassFactory_T<SECLNScale, SECLayoutNode> scale;
    SECLayoutNode* root = factory.CreateNode(scale);
    factory.AddChildWindows(root, d.host.get());
    factory.CreateWndListener()->AutoInit(root, d.host.get(), TRUE, TRUE, FALSE);
    int step = 0;
    for (auto _ : state) {
        const int w = 800 + (step++ % 2) * 40;
        d.host->SetWindowPos(nullptr, 0, 0, w, 650, SWP_NOZORDER | SWP_NOMOVE);
    }
    factory.DestroyAllListeners();
}
BENCHMARK(BM_ScaledDialogResizeStep60);

void BM_DeferredMove60Floor(benchmark::State& state)
{
    Ready();
    Dialog60 d;
    int step = 0;
    for (auto _ : state) {
        const int dx = (step++ % 2) * 3;
        HDWP batch = ::BeginDeferWindowPos(60);
        for (int i = 0; i < 60; ++i)
            batch = ::DeferWindowPos(batch, d.controls[static_cast<size_t>(i)]->m_hWnd, nullptr, 10 + (i % 6) * 130 + dx,
                                     10 + (i / 6) * 55, 110, 22, SWP_NOZORDER);
        ::EndDeferWindowPos(batch);
    }
}
BENCHMARK(BM_DeferredMove60Floor);

// What a live drag does per mouse move: the bar and panes recomputed and the panes moved.
class MovingSplitter : public SECLayoutNodeSplitter {
public:
    void Move(int x)
    {
        SetSplitPos(x, 0);
        RealizePanes();
    }
};

struct Split {
    std::unique_ptr<CWnd> host{MakeFrame(1000, 700)};
    CWnd left, right;
    SECLayoutFactory factory;
    SECClassFactory_T<MovingSplitter, SECLayoutNode> splitterClass;
    MovingSplitter* splitter = nullptr;
    Split()
    {
        left.CreateEx(0, "EDIT", "", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, host->m_hWnd, nullptr);
        right.CreateEx(0, "EDIT", "", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, host->m_hWnd, nullptr);
        splitter = dynamic_cast<MovingSplitter*>(factory.CreateNode(splitterClass));
        CRect client;
        host->GetClientRect(&client);
        splitter->Create(host.get(), client, WS_CHILD | WS_VISIBLE, 0xEDEF, SEC_SPLITTER_LIVEDRAG);
        splitter->SetPane(0, 0, factory.CreateNodeWnd(&left, host.get()));
        splitter->SetPane(0, 1, factory.CreateNodeWnd(&right, host.get()));
        splitter->SetSplitPos(400, 0);
        splitter->RealizeLayout();
    }
    ~Split()
    {
        factory.DestroyAllNodes();
        host->DestroyWindow();
    }
};

void BM_SplitterDragMove(benchmark::State& state)
{
    Ready();
    Split s;
    int step = 0;
    for (auto _ : state)
        s.splitter->Move(300 + (step++ % 200));
}
BENCHMARK(BM_SplitterDragMove);

void BM_TwoPanesMovedFloor(benchmark::State& state)
{
    Ready();
    Split s;
    int step = 0;
    for (auto _ : state) {
        const int x = 300 + (step++ % 200);
        s.left.SetWindowPos(nullptr, 0, 0, x, 680, SWP_NOZORDER);
        s.right.SetWindowPos(nullptr, x + 6, 0, 980 - x, 680, SWP_NOZORDER);
    }
}
BENCHMARK(BM_TwoPanesMovedFloor);

}   // namespace
