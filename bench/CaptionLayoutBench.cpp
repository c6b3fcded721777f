// The caption, menu and layout pieces of the frames, each beside the same work done by the
// window layer alone: the gradient caption of a 1920-pixel frame (floor: a flat fill and the
// title drawn), a non-client mouse move through a document frame's filter tree (floor: the
// layer's own hit test of the move), the first opening of a 25-item bitmap menu and a highlight
// move in it (floor: the 25 labels drawn), one resize step of a dialog of 60 scaled controls
// (floor: the 60 controls moved in one deferred batch), a live splitter move of two panes
// (floor: the two panes moved) and a palette button of the customising dialog dragged across the
// Main Toolbar, per mouse move (floor: the layer's own tracker following the same moves).
#include "platform/afx/AfxRes.h"
#include "platform/afx/dlg/CRectTracker.h"
#include "platform/afx/frame/CFrameWnd.h"
#include "platform/backends/headless/HeadlessBackend.h"
#include "platform/controls/StandardControls.h"
#include "platform/core/ResourceTable.h"
#include "platform/win/Gdi.h"
#include "platform/win/MenuApi.h"
#include "toolkit/caption/SECCaptionMsgFilter.h"
#include "toolkit/caption/SECGradientCaption.h"
#include "toolkit/docking/SECDockBar.h"
#include "toolkit/layout/SECLayoutFactory.h"
#include "toolkit/layout/SECLayoutSplitter.h"
#include "toolkit/menus/SECBmpMenuPlugIn.h"
#include "toolkit/toolbars/SECCustomToolBar.h"
#include "toolkit/toolbars/SECToolBarManager.h"
#include "toolkit/toolbars/SECToolBarsDlg.h"

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

// ---- A palette button dragged across the Main Toolbar ----

constexpr int kPaletteButtons = 8;
constexpr UINT kPaletteStrip = 9300, kPaletteCommand = 9400;
constexpr int kMovesPerDrag = 64;

std::vector<BYTE> PaletteBarData()
{
    std::vector<BYTE> d;
    auto put = [&](unsigned v) {
        d.push_back(static_cast<BYTE>(v));
        d.push_back(static_cast<BYTE>(v >> 8));
    };
    put(1);
    put(16);
    put(15);
    put(kPaletteButtons);
    for (int i = 0; i < kPaletteButtons; ++i)
        put(kPaletteCommand + static_cast<unsigned>(i));
    return d;
}

// A 4-bit strip of 16 x 15 images, each a block of its own colour on light grey.
std::vector<BYTE> PaletteDib()
{
    const int width = 16 * kPaletteButtons, height = 15;
    const int stride = ((width * 4 + 31) / 32) * 4;
    std::vector<BYTE> d(40 + 16 * 4 + static_cast<size_t>(stride * height), 0);
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            d[at + static_cast<size_t>(i)] = static_cast<BYTE>(v >> (8 * i));
    };
    put32(0, 40);
    put32(4, static_cast<uint32_t>(width));
    put32(8, static_cast<uint32_t>(height));
    d[12] = 1;
    d[14] = 4;
    for (int i = 0; i < 16; ++i)
        put32(40 + static_cast<size_t>(i) * 4, i == 7 ? 0xC0C0C0 : static_cast<uint32_t>(i * 0x101010));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int colour = (x % 16 > 3 && x % 16 < 12 && y > 4) ? 8 + (x / 16) % 8 : 7;
            BYTE& byte = d[104 + static_cast<size_t>(y * stride + x / 2)];
            byte = static_cast<BYTE>(x % 2 ? (byte & 0xF0) | colour : (byte & 0x0F) | (colour << 4));
        }
    return d;
}

const std::vector<BYTE> kPaletteBar = PaletteBarData();
const std::vector<BYTE> kPaletteBits = PaletteDib();
const ResourceEntry kPaletteEntries[] = {
    {RT_TOOLBAR, MAKEINTRESOURCE(kPaletteStrip), kPaletteBar.data(), DWORD(kPaletteBar.size())},
    {RT_BITMAP, MAKEINTRESOURCE(kPaletteStrip), kPaletteBits.data(), DWORD(kPaletteBits.size())},
};

// A frame with the toolkit's dock bars and the Main Toolbar on top, and beside it a customising
// dialog's palette holding the same commands.
struct PaletteScene {
    CFrameWnd* frame = new CFrameWnd;
    CWnd dialog;
    std::unique_ptr<SECToolBarManager> manager;
    std::vector<SECBtnMapEntry> map;
    std::vector<UINT> commands;
    std::unique_ptr<SECTBBtnGroup> group;
    SECCustomToolBar* main = nullptr;
    SECCustomToolBar* palette = nullptr;

    PaletteScene()
    {
        Ready();
        static const bool registered = [] {
            RegisterResourceModule(ResourceModuleTable{"palettebench", kPaletteEntries, std::size(kPaletteEntries)});
            return true;
        }();
        (void)registered;
        for (int i = 0; i < kPaletteButtons; ++i)
            commands.push_back(kPaletteCommand + static_cast<UINT>(i));
        frame->CreateEx(0, nullptr, "Frame", WS_POPUP | WS_VISIBLE, 0, 0, 1200, 800, nullptr, nullptr);
        frame->m_bAutoMenuEnable = FALSE;
        const UINT ids[4] = {AFX_IDW_DOCKBAR_TOP, AFX_IDW_DOCKBAR_BOTTOM, AFX_IDW_DOCKBAR_LEFT, AFX_IDW_DOCKBAR_RIGHT};
        const DWORD sides[4] = {CBRS_ALIGN_TOP, CBRS_ALIGN_BOTTOM, CBRS_ALIGN_LEFT, CBRS_ALIGN_RIGHT};
        for (int i = 0; i < 4; ++i)
            (new SECDockBar)->Create(frame, WS_CHILD | WS_VISIBLE | sides[i], ids[i]);
        manager = std::make_unique<SECToolBarManager>(frame);
        manager->LoadToolBarResource(kPaletteStrip);
        manager->DefineDefaultToolBar(0xE800, "Main Toolbar", kPaletteButtons, commands.data(), CBRS_ALIGN_ANY,
                                      AFX_IDW_DOCKBAR_TOP);
        manager->InitToolBars();
        main = manager->ToolBarFromID(0xE800);
        frame->RecalcLayout();

        dialog.CreateEx(0, nullptr, "Customize", WS_POPUP | WS_VISIBLE, 700, 300, 400, 300, nullptr, nullptr);
        manager->SetCustomizeWnd(&dialog);
        group = std::make_unique<SECTBBtnGroup>("Palette", kPaletteButtons, commands.data());
        group->CreateGroupBar(&dialog, manager.get(), 0x600);
        group->LayoutGroup(CRect(10, 10, 390, 120));
        group->ActivateGroup(TRUE);
        palette = group->m_pToolBar.get();
        MSG msg;
        while (::PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE))
            ::DispatchMessage(&msg);
    }
    ~PaletteScene()
    {
        group.reset();
        manager->SetCustomizeWnd(nullptr);
        dialog.DestroyWindow();
        main->DestroyWindow();
        manager.reset();
        frame->DestroyWindow();
    }
    // Queues the moves of one drag from the palette's first button across the Main Toolbar, then
    // Escape, which ends the drag without a drop: every run does the same work.
    CPoint QueueDrag() const
    {
        const CRect button = palette->GetBtn(0)->GetRect();
        const CPoint start = button.CenterPoint();
        CRect bar;
        main->GetWindowRect(&bar);
        palette->ScreenToClient(&bar);
        const int y = bar.top + bar.Height() / 2;
        for (int i = 0; i < kMovesPerDrag; ++i) {
            const int x = bar.left + (bar.Width() * i) / kMovesPerDrag;
            ::PostMessage(palette->m_hWnd, WM_MOUSEMOVE, MK_LBUTTON,
                          MAKELPARAM(static_cast<WORD>(static_cast<short>(x)), static_cast<WORD>(static_cast<short>(y))));
        }
        ::PostMessage(palette->m_hWnd, WM_KEYDOWN, VK_ESCAPE, 0);
        return start;
    }
};

void PerMove(benchmark::State& state)
{
    state.counters["per_move"] =
        benchmark::Counter(kMovesPerDrag, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_PaletteButtonDragMove(benchmark::State& state)
{
    PaletteScene scene;
    for (auto _ : state) {
        const CPoint start = scene.QueueDrag();
        scene.palette->DragButton(0, start);
        ::ReleaseCapture();
    }
    PerMove(state);
}
BENCHMARK(BM_PaletteButtonDragMove);

void BM_RectTrackerMoveFloor(benchmark::State& state)
{
    PaletteScene scene;
    for (auto _ : state) {
        const CPoint start = scene.QueueDrag();
        CRect rect = scene.palette->GetBtn(0)->GetRect();
        CRectTracker tracker(&rect, CRectTracker::hatchedBorder);
        benchmark::DoNotOptimize(
            tracker.TrackHandle(CRectTracker::hitMiddle, scene.palette, start, CWnd::FromHandle(::GetDesktopWindow())));
        ::ReleaseCapture();
    }
    PerMove(state);
}
BENCHMARK(BM_RectTrackerMoveFloor);

}   // namespace
