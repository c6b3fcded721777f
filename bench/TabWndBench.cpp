// A sheet switch in a tab window of three grid sheets (10,000 pages x 50 META columns each) on
// a full-HD window of the headless backend with the real fonts: the tab window asks both
// sheets, saves and restores their scroll state, lays out and the new sheet paints. Floor,
// measured in the same run: hiding one grid window and showing and painting another, the same
// windows without the tab window.
#include "grid/core/CGXControlFactory.h"
#include "grid/core/CGXGridAppData.h"
#include "grid/core/CGXGridWnd.h"
#include "grid/features/CGXTabWnd.h"
#include "platform/backends/headless/HeadlessBackend.h"
#include "platform/controls/StandardControls.h"
#include "platform/win/UserApi.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

struct TabFixture {
    HWND hTop = nullptr;
    std::unique_ptr<CGXTabWnd> tabs;
    std::unique_ptr<CGXGridWnd> grids[3];

    HeadlessBackend* backend = nullptr;

    TabFixture()
    {
        backend = &HeadlessBackend::Install(SIZE{kWidth, kHeight});
        RegisterStandardControls();
        InitGridLibrary(new CGXControlFactory);
        WNDCLASS wc{};
        wc.lpfnWndProc = DefWindowProc;
        wc.lpszClassName = "TabBenchTop";
        RegisterClass(&wc);
        hTop = CreateWindowEx(0, "TabBenchTop", "", WS_POPUP | WS_VISIBLE, 0, 0, kWidth, kHeight, nullptr, nullptr, nullptr, nullptr);
        tabs = std::make_unique<CGXTabWnd>();
        tabs->Create(CWnd::FromHandle(hTop), WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL, 1);
        tabs->MoveWindow(0, 0, kWidth, kHeight);
        const char* names[3] = {"Pages", "Keywords", "Links"};
        for (int i = 0; i < 3; ++i) {
            grids[i] = std::make_unique<CGXGridWnd>();
            grids[i]->Create(nullptr, "", WS_CHILD, CRect(0, 0, 10, 10), tabs.get(), 10 + i);
            grids[i]->Initialize();
            grids[i]->GetParam()->EnableUndo(FALSE);
            grids[i]->SetRowCount(10000, 0);
            grids[i]->SetColCount(50, 0);
            CGXStyle style;
            style.SetValue("content of a META tag");
            grids[i]->ApplyStyleToRange(CGXRange(1, 1, 10000, 50), &style, gxOverride, 0, nullptr, 0, 1);
            tabs->AttachWnd(grids[i].get(), names[i]);
        }
        backend->ProcessMessages();
    }
};

TabFixture& Fixture()
{
    static TabFixture fixture;
    return fixture;
}

void BM_SheetSwitch(benchmark::State& state)
{
    TabFixture& f = Fixture();
    int next = 1;
    for (auto _ : state) {
        f.tabs->SwitchTo(f.grids[next].get());
        f.grids[next]->UpdateWindow();
        next = (next + 1) % 3;
    }
}
BENCHMARK(BM_SheetSwitch)->Unit(benchmark::kMillisecond);

void BM_Floor_HideShowPaint(benchmark::State& state)
{
    TabFixture& f = Fixture();
    int shown = 0;
    for (int i = 0; i < 3; ++i)
        if (f.grids[i]->IsWindowVisible())
            shown = i;
    for (auto _ : state) {
        const int next = (shown + 1) % 3;
        f.grids[shown]->ShowWindow(SW_HIDE);
        f.grids[next]->ShowWindow(SW_SHOW);
        f.grids[next]->Invalidate(TRUE);
        f.grids[next]->UpdateWindow();
        shown = next;
    }
}
BENCHMARK(BM_Floor_HideShowPaint)->Unit(benchmark::kMillisecond);

} // namespace
