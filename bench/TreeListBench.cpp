// The owner-drawn tree and list, the tab strip: a tree filled as the Project Area fills it
// (each folder at the end of its parent, the parent opened) with 20,000 and 100,000 items in a
// 1600 x 1000 window with the real sans font; its first paint, line, page and thumb scrolls,
// collapsing and re-opening everything, and emptying it; a report list of 100,000 rows by 5
// columns filled, paged and edited a keystroke at a time; 50 tabs painted. The floor beside them
// is the same visible texts drawn with DrawText into a memory DC. Runs on the headless backend.
#include "platform/afx/gdi/CDC.h"
#include "platform/backends/headless/HeadlessBackend.h"
#include "platform/controls/StandardControls.h"
#include "platform/win/Gdi.h"
#include "platform/win/UserApi.h"
#include "platform/win/VirtualKeys.h"
#include "toolkit/controls/SECTabControl.h"
#include "toolkit/controls/SECTreeCtrl.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

namespace {

struct Window {
    CWnd top;
    HeadlessBackend* backend = nullptr;
    Window()
    {
        backend = &HeadlessBackend::Install(SIZE{1920, 1200});
        SetTestFontMode(false);
        RegisterStandardControls();
        top.CreateEx(0, nullptr, "Bench", WS_POPUP | WS_VISIBLE, 0, 0, 1600, 1000, nullptr, nullptr);
    }
    ~Window() { top.DestroyWindow(); }
};

// A site's folders and pages, inserted depth first: each item at the end of its parent, which is
// opened once it has its first child.
void FillSite(SECTreeCtrl& tree, int count)
{
    int made = 0;
    std::vector<std::pair<HTREEITEM, int>> stack{{TVI_ROOT, 0}};
    while (made < count) {
        auto [parent, depth] = stack.back();
        HTREEITEM folder = tree.InsertItem(("folder" + std::to_string(made)).c_str(), parent);
        ++made;
        if (parent != TVI_ROOT)
            tree.Expand(parent, TVE_EXPAND, FALSE);
        for (int i = 0; i < 8 && made < count; ++i, ++made)
            tree.InsertItem(("page" + std::to_string(made) + ".html").c_str(), folder);
        tree.Expand(folder, TVE_EXPAND, FALSE);
        if (depth < 4)
            stack.push_back({folder, depth + 1});
        else if (stack.size() > 1 && made % 3 == 0)
            stack.pop_back();
    }
}

struct TreeFixture {
    Window w;
    SECTreeCtrl tree;
    explicit TreeFixture(int count)
    {
        tree.Create(WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT, 0, CRect(0, 0, 1600, 1000),
                    &w.top, 1);
        FillSite(tree, count);
        tree.RecalcLayout();
        tree.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    }
    void Paint() { tree.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW); }
};

void BM_TreeFill(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        auto w = std::make_unique<Window>();
        auto tree = std::make_unique<SECTreeCtrl>();
        tree->Create(WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT, 0,
                     CRect(0, 0, 1600, 1000), &w->top, 1);
        state.ResumeTiming();
        FillSite(*tree, count);
        tree->RecalcLayout();
        state.PauseTiming();
        benchmark::DoNotOptimize(tree->GetItemCount());
        tree->DestroyWindow();
        tree.reset();
        w.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_TreeFill)->Arg(20000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_TreeFirstPaint(benchmark::State& state)
{
    TreeFixture f(20000);
    for (auto _ : state)
        f.Paint();
}
BENCHMARK(BM_TreeFirstPaint)->Unit(benchmark::kMillisecond);

void BM_TreeScroll(benchmark::State& state)
{
    TreeFixture f(20000);
    const int down = static_cast<int>(state.range(0));
    const int up = down == SB_LINEDOWN ? SB_LINEUP : down == SB_PAGEDOWN ? SB_PAGEUP : SB_TOP;
    bool forth = true;
    for (auto _ : state) {
        f.tree.SendMessage(WM_VSCROLL, forth ? down : up);
        f.tree.UpdateWindow();
        forth = !forth;
    }
}
BENCHMARK(BM_TreeScroll)->Arg(SB_LINEDOWN)->Arg(SB_PAGEDOWN)->Arg(SB_BOTTOM)->ArgName("code")->Unit(benchmark::kMillisecond);

void BM_TreeCollapseAndExpandAll(benchmark::State& state)
{
    TreeFixture f(20000);
    HTREEITEM first = f.tree.GetRootItem();
    for (auto _ : state) {
        f.tree.Expand(first, TVE_COLLAPSE, TRUE);
        f.tree.ExpandAll(first);
        f.tree.UpdateWindow();
    }
}
BENCHMARK(BM_TreeCollapseAndExpandAll)->Unit(benchmark::kMillisecond);

void BM_TreeDeleteAll(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto f = std::make_unique<TreeFixture>(20000);
        state.ResumeTiming();
        f->tree.DeleteAllItems();
        f->tree.UpdateWindow();
        state.PauseTiming();
        f->tree.DestroyWindow();
        f.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_TreeDeleteAll)->Unit(benchmark::kMillisecond)->Iterations(3);

// ---------------------------------------------------------------- the report list

struct ListFixture {
    Window w;
    SECListCtrl list;
    ListFixture()
    {
        list.Create(WS_CHILD | WS_VISIBLE | LVXS_REPORT_VIEW | LVXS_HEIGHT_INDEPENDENT | LVXS_EDITLABELS, 0,
                    CRect(0, 0, 1600, 1000), &w.top, 2);
        for (int c = 0; c < 5; ++c)
            list.AddColumn(("Column " + std::to_string(c)).c_str(), 0, 200, c == 0 ? 0 : -1);
    }
    void Fill(int rows)
    {
        for (int r = 0; r < rows; ++r) {
            const std::string label = "https://www.example.org/page" + std::to_string(r) + ".html";
            list.InsertItem(r, label.c_str());
            for (int c = 1; c < 5; ++c) {
                const std::string text = "cell " + std::to_string(r) + "." + std::to_string(c);
                LV_ITEM lvi{LVIF_TEXT | LVIF_DI_SETITEM, r, c, 0, 0, const_cast<LPSTR>(text.c_str()), 0, 0, 0};
                list.SetItem(lvi, FALSE);
            }
        }
        list.RecalcLayout();
    }
};

void BM_ListFill(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto f = std::make_unique<ListFixture>();
        state.ResumeTiming();
        f->Fill(100000);
        state.PauseTiming();
        f->list.DestroyWindow();
        f.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ListFill)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ListPage(benchmark::State& state)
{
    ListFixture f;
    f.Fill(100000);
    f.list.UpdateWindow();
    bool forth = true;
    for (auto _ : state) {
        f.list.SendMessage(WM_VSCROLL, forth ? SB_PAGEDOWN : SB_PAGEUP);
        f.list.UpdateWindow();
        forth = !forth;
    }
}
BENCHMARK(BM_ListPage)->Unit(benchmark::kMillisecond);

void BM_ListEditKeystroke(benchmark::State& state)
{
    ListFixture f;
    f.Fill(100000);
    f.list.UpdateWindow();
    HeadlessBackend* backend = f.w.backend;
    CWnd* editor = f.list.EditLabel(3, 0);
    if (!editor) {
        state.SkipWithError("no editor");
        return;
    }
    for (auto _ : state) {
        backend->Key('A', "a");
        backend->ProcessMessages();
    }
    f.list.EndLabelEdit(FALSE);
}
BENCHMARK(BM_ListEditKeystroke)->Unit(benchmark::kMicrosecond);

// ---------------------------------------------------------------- tabs

void BM_TabsPaint(benchmark::State& state)
{
    Window w;
    SECTabControl tabs;
    tabs.Create(WS_VISIBLE | SECTAB_STYLE_FOURBUTTONS, CRect(0, 0, 1600, 17), &w.top, 3);
    for (int i = 0; i < 50; ++i)
        tabs.AddTab(("Output " + std::to_string(i)).c_str());
    tabs.ActivateTab(7);
    for (auto _ : state)
        tabs.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}
BENCHMARK(BM_TabsPaint)->Unit(benchmark::kMicrosecond);

// ---------------------------------------------------------------- floors

// The texts a full window of rows shows (tree: about 60 labels; list: 60 rows by 5 cells; tabs:
// the labels that fit), drawn with DrawText into a memory DC of the same size.
void BM_FloorDrawText(benchmark::State& state)
{
    Window w;
    const int cells = static_cast<int>(state.range(0));
    CClientDC screen(&w.top);
    CDC mem;
    mem.CreateCompatibleDC(&screen);
    CBitmap bitmap;
    bitmap.CreateCompatibleBitmap(&screen, 1600, 1000);
    CBitmap* old = mem.SelectObject(&bitmap);
    CFont* font = CFont::FromHandle(static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT)));
    CFont* oldFont = mem.SelectObject(font);
    std::vector<std::string> texts;
    for (int i = 0; i < cells; ++i)
        texts.push_back("https://www.example.org/page" + std::to_string(i) + ".html");
    for (auto _ : state) {
        mem.FillSolidRect(0, 0, 1600, 1000, RGB(255, 255, 255));
        for (int i = 0; i < cells; ++i) {
            RECT rc{(i % 5) * 200, (i / 5) * 16, (i % 5) * 200 + 200, (i / 5) * 16 + 16};
            mem.DrawText(texts[i].c_str(), -1, &rc, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        }
        screen.BitBlt(0, 0, 1600, 1000, &mem, 0, 0, SRCCOPY);
    }
    mem.SelectObject(oldFont);
    mem.SelectObject(old);
}
BENCHMARK(BM_FloorDrawText)->Arg(62)->Arg(310)->Arg(12)->ArgName("texts")->Unit(benchmark::kMicrosecond);

}   // namespace
