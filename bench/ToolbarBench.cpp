// The Main Toolbar with twelve large text buttons (48 x 32 images): one paint of the whole bar,
// and one hot-tracking move from a button to its neighbour with both repainted; and one step of
// the status bar's progress meter with its redraw. Each beside the framework's bar doing the
// same work below it: the plain toolbar painting twelve 55 x 39 buttons from one strip, its own
// hot move, and the plain progress control stepping and repainting.
#include "platform/afx/AfxRes.h"
#include "platform/afx/bars/CToolBar.h"
#include "platform/afx/dlg/CProgressCtrl.h"
#include "platform/afx/frame/CFrameWnd.h"
#include "platform/afx/gdi/CDC.h"
#include "platform/backends/headless/HeadlessBackend.h"
#include "platform/controls/StandardControls.h"
#include "platform/core/ResourceTable.h"
#include "platform/win/Gdi.h"
#include "toolkit/controls/SECProgressCtrl.h"
#include "toolkit/docking/SECDockBar.h"
#include "toolkit/frames/SECCustomStatusBar.h"
#include "toolkit/toolbars/SECCustomToolBar.h"
#include "toolkit/toolbars/SECToolBarManager.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace {

constexpr int kButtons = 12;
constexpr UINT kSmallStrip = 9100, kLargeStrip = 9101, kFirstCommand = 9200;

// A toolbar resource: version 1, width, height, count, then the command ids.
std::vector<BYTE> ToolBarData(int w, int h)
{
    std::vector<BYTE> d;
    auto put = [&](unsigned v) {
        d.push_back(static_cast<BYTE>(v));
        d.push_back(static_cast<BYTE>(v >> 8));
    };
    put(1);
    put(static_cast<unsigned>(w));
    put(static_cast<unsigned>(h));
    put(kButtons);
    for (int i = 0; i < kButtons; ++i)
        put(kFirstCommand + static_cast<unsigned>(i));
    return d;
}

// A packed 4-bit strip: light grey with a coloured block in each image.
std::vector<BYTE> StripDib(int w, int h)
{
    const int width = w * kButtons;
    const int stride = ((width * 4 + 31) / 32) * 4;
    std::vector<BYTE> d(40 + 16 * 4 + static_cast<size_t>(stride * h), 0);
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            d[at + static_cast<size_t>(i)] = static_cast<BYTE>(v >> (8 * i));
    };
    put32(0, 40);
    put32(4, static_cast<uint32_t>(width));
    put32(8, static_cast<uint32_t>(h));
    d[12] = 1;
    d[14] = 4;
    const uint32_t table[16] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
                                0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
    for (int i = 0; i < 16; ++i)
        put32(40 + static_cast<size_t>(i) * 4, table[i]);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < width; ++x) {
            const int local = x % w;
            const int colour = (local > w / 6 && local < w * 5 / 6 && y > h / 3) ? 9 + (x / w) % 6 : 7;
            BYTE& byte = d[104 + static_cast<size_t>(y * stride + x / 2)];
            byte = static_cast<BYTE>(x % 2 ? (byte & 0xF0) | colour : (byte & 0x0F) | (colour << 4));
        }
    return d;
}

const std::vector<BYTE> kSmallBar = ToolBarData(16, 15);
const std::vector<BYTE> kLargeBar = ToolBarData(48, 32);
const std::vector<BYTE> kSmallDib = StripDib(16, 15);
const std::vector<BYTE> kLargeDib = StripDib(48, 32);
const ResourceEntry kEntries[] = {
    {RT_TOOLBAR, MAKEINTRESOURCE(kSmallStrip), kSmallBar.data(), DWORD(kSmallBar.size())},
    {RT_TOOLBAR, MAKEINTRESOURCE(kLargeStrip), kLargeBar.data(), DWORD(kLargeBar.size())},
    {RT_BITMAP, MAKEINTRESOURCE(kSmallStrip), kSmallDib.data(), DWORD(kSmallDib.size())},
    {RT_BITMAP, MAKEINTRESOURCE(kLargeStrip), kLargeDib.data(), DWORD(kLargeDib.size())},
};

// Text buttons for every command, as the application's table makes them.
std::vector<SECBtnMapEntry> TextButtonMap()
{
    std::vector<SECBtnMapEntry> map;
    for (int i = 0; i < kButtons; ++i)
        map.push_back({&SECTBTextButton::classSECTBTextButton, kFirstCommand + static_cast<UINT>(i), 0, {0, 0, 0, 0, 0}});
    map.push_back({nullptr, 0, 0, {0, 0, 0, 0, 0}});
    return map;
}

// A frame with the toolkit's dock bars, the Main Toolbar on top, a framework toolbar under it,
// and a custom status bar; everything docked and laid out.
struct Scene {
    CFrameWnd* frame = new CFrameWnd;
    CWnd pane;
    std::unique_ptr<SECToolBarManager> manager;
    std::vector<SECBtnMapEntry> map = TextButtonMap();
    SECCustomToolBar* main = nullptr;
    CToolBar plain;
    SECCustomStatusBar status;
    CProgressCtrl progress;

    HeadlessBackend* backend = nullptr;

    Scene()
    {
        backend = &HeadlessBackend::Install(SIZE{1600, 1000});
        RegisterStandardControls();
        RegisterResourceModule(ResourceModuleTable{"toolbarbench", kEntries, std::size(kEntries)});
        frame->CreateEx(0, nullptr, "Frame", WS_POPUP | WS_VISIBLE, 0, 0, 1600, 1000, nullptr, nullptr);
        frame->m_bAutoMenuEnable = FALSE;
        pane.Create(nullptr, "pane", WS_CHILD | WS_VISIBLE, CRect(0, 0, 1, 1), frame, AFX_IDW_PANE_FIRST);
        const UINT ids[4] = {AFX_IDW_DOCKBAR_TOP, AFX_IDW_DOCKBAR_BOTTOM, AFX_IDW_DOCKBAR_LEFT, AFX_IDW_DOCKBAR_RIGHT};
        const DWORD sides[4] = {CBRS_ALIGN_TOP, CBRS_ALIGN_BOTTOM, CBRS_ALIGN_LEFT, CBRS_ALIGN_RIGHT};
        for (int i = 0; i < 4; ++i)
            (new SECDockBar)->Create(frame, WS_CHILD | WS_VISIBLE | sides[i], ids[i]);
        status.Create(frame, WS_CHILD | WS_VISIBLE | CBRS_BOTTOM, AFX_IDW_STATUS_BAR);
        const UINT indicators[] = {ID_SEPARATOR, ID_INDICATOR_CAPS, ID_INDICATOR_NUM};
        status.SetIndicators(indicators, 3);

        manager = std::make_unique<SECToolBarManager>(frame);
        manager->LoadToolBarResource(kSmallStrip, kLargeStrip);
        manager->SetButtonMap(map.data());
        std::vector<UINT> commands;
        for (int i = 0; i < kButtons; ++i)
            commands.push_back(kFirstCommand + static_cast<UINT>(i));
        manager->DefineDefaultToolBar(0xE800, "Main Toolbar", kButtons, commands.data(), CBRS_ALIGN_ANY,
                                      AFX_IDW_DOCKBAR_TOP);
        manager->EnableCoolLook(TRUE, 0x0F00);
        manager->EnableLargeButtons(TRUE);
        manager->InitToolBars();
        main = manager->ToolBarFromID(0xE800);

        plain.CreateEx(frame, TBSTYLE_FLAT, WS_CHILD | WS_VISIBLE | CBRS_TOP, CRect(0, 0, 0, 0), 0xE801);
        plain.SetSizes(CSize(55, 39), CSize(48, 32));
        HBITMAP strip = ::CreateBitmap(48 * kButtons, 32, 1, 32, nullptr);
        plain.SetBitmap(strip);
        plain.SetButtons(commands.data(), kButtons);
        frame->RecalcLayout();
        progress.Create(WS_CHILD | WS_VISIBLE, CRect(200, 2, 600, 18), &status, 2);
        frame->SetActiveWindow();
        backend->ProcessMessages();
    }
    ~Scene()
    {
        status.ClearProgressBar();
        progress.DestroyWindow();
        main->DestroyWindow();
        manager.reset();
        plain.DestroyWindow();
        status.DestroyWindow();
        frame->DestroyWindow();
        SetWindowBackend(nullptr);
    }
};

// Paints a bar into a memory bitmap of its size.
template <class Bar>
void PaintInto(Bar& bar, benchmark::State& state)
{
    CRect rect;
    bar.GetClientRect(&rect);
    CClientDC screen(&bar);
    CDC dc;
    dc.CreateCompatibleDC(&screen);
    CBitmap bitmap;
    bitmap.CreateCompatibleBitmap(&screen, rect.Width(), rect.Height());
    CBitmap* old = dc.SelectObject(&bitmap);
    for (auto _ : state) {
        bar.DoPaint(&dc);
        benchmark::DoNotOptimize(dc.GetPixel(1, 1));
    }
    dc.SelectObject(old);
}

void BM_PaintMainToolbar(benchmark::State& state)
{
    Scene scene;
    PaintInto(*scene.main, state);
}
BENCHMARK(BM_PaintMainToolbar);

void BM_PaintMainToolbarFloor(benchmark::State& state)
{
    Scene scene;
    PaintInto(scene.plain, state);
}
BENCHMARK(BM_PaintMainToolbarFloor);

// One move of the pointer from a button to the next: the hot look moves and both repaint.
template <class Bar>
void HotMoves(HeadlessBackend* backend, Bar& bar, const CRect& a, const CRect& b, benchmark::State& state)
{
    POINT points[2] = {a.CenterPoint(), b.CenterPoint()};
    ::ClientToScreen(bar.m_hWnd, &points[0]);
    ::ClientToScreen(bar.m_hWnd, &points[1]);
    int n = 0;
    for (auto _ : state) {
        backend->MouseMove(points[n++ & 1]);
        backend->ProcessMessages();
    }
}

void BM_HotTrackMove(benchmark::State& state)
{
    Scene scene;
    HotMoves(scene.backend, *scene.main, scene.main->GetBtn(3)->GetRect(), scene.main->GetBtn(4)->GetRect(), state);
}
BENCHMARK(BM_HotTrackMove);

void BM_HotTrackMoveFloor(benchmark::State& state)
{
    Scene scene;
    CRect a, b;
    scene.plain.GetItemRect(3, &a);
    scene.plain.GetItemRect(4, &b);
    HotMoves(scene.backend, scene.plain, a, b, state);
}
BENCHMARK(BM_HotTrackMoveFloor);

// One step of the scan's meter with its redraw (a 10,000-page scan takes 10,000 of them).
void BM_StepProgress(benchmark::State& state)
{
    Scene scene;
    scene.status.InitProgressBar("Scanning for Metatags: ", 0, 1u << 30);
    for (auto _ : state)
        scene.status.StepProgress();
}
BENCHMARK(BM_StepProgress);

void BM_StepProgressFloor(benchmark::State& state)
{
    Scene scene;
    scene.progress.SetRange32(0, 1 << 30);
    scene.progress.SetStep(10);
    for (auto _ : state) {
        scene.progress.StepIt();
        scene.progress.UpdateWindow();
    }
}
BENCHMARK(BM_StepProgressFloor);

} // namespace
