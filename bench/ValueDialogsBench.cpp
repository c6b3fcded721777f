// The value dialogs' grids and tree at the sizes the issue names: a keywords list of 2,000
// existing and 5,000 suggested keywords loaded, all suggestions added, and read back for OK; an
// option list of 10,000 entries loaded and read back; a classification tree of 10,000 nodes in
// 8 levels loaded and a path found in it. Beside each, the floor: the same texts put into the
// grid cell by cell with the engine's own value operation, or into the tree with plain inserts.
// Runs on the headless backend with the real sans font.
#include "app/values/CClassificationTreeCtrl.h"
#include "app/values/CKeywordsGridCtrl.h"
#include "app/values/MetaValueText.h"
#include "engine/meta/CDoubleLinkNode.h"
#include "grid/core/CGXControlFactory.h"
#include "grid/data/CGXRange.h"
#include "grid/features/GXGridFeatures.h"
#include "platform/backends/headless/HeadlessBackend.h"
#include "platform/controls/StandardControls.h"
#include "platform/win/Gdi.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace {

struct Window {
    CWnd top;
    Window()
    {
        HeadlessBackend::Install(SIZE{1280, 1024});
        SetTestFontMode(false);
        RegisterStandardControls();
        static bool started = false;
        if (!started) {
            started = true;
            GXInstallGridFeatures();
            GXInitControlFactory();
        }
        top.CreateEx(0, nullptr, "Bench", WS_POPUP | WS_VISIBLE, 0, 0, 800, 600, nullptr, nullptr);
    }
    ~Window() { top.DestroyWindow(); }
};

std::unique_ptr<CStringList> Words(int count, const char* prefix)
{
    auto list = std::make_unique<CStringList>();
    for (int i = 0; i < count; ++i)
        list->AddTail((prefix + std::to_string(i)).c_str());
    return list;
}

void MakeGrid(Window& w, CGridWndWrapper& grid, UINT id)
{
    grid.CreateEx(0, AfxRegisterWndClass(CS_DBLCLKS), nullptr, WS_CHILD | WS_VISIBLE | WS_VSCROLL,
                  CRect(0, 0, 300, 400), &w.top, id);
    grid.Initialize();
}

// Floor: one column of edit cells filled value by value through the engine.
void BM_GridFillFloor(benchmark::State& state)
{
    Window w;
    const int n = static_cast<int>(state.range(0));
    for (auto _ : state) {
        CGridWndWrapper grid;
        MakeGrid(w, grid, 100);
        grid.GetParam()->EnableUndo(FALSE);
        grid.SetColCount(1, 0);
        grid.SetRowCount(static_cast<ROWCOL>(n), 0);
        for (int i = 1; i <= n; ++i)
            grid.SetValueRange(CGXRange(static_cast<ROWCOL>(i), 1, static_cast<ROWCOL>(i), 1),
                               ("word" + std::to_string(i)).c_str(), gxOverride, 0, 0);
        benchmark::DoNotOptimize(grid.GetRowCount());
        grid.DestroyWindow();
    }
}
BENCHMARK(BM_GridFillFloor)->Arg(7000)->Arg(10000)->Unit(benchmark::kMillisecond);

// The keywords dialog's two grids loaded, and the first paint of both.
void BM_KeywordsOpen(benchmark::State& state)
{
    Window w;
    auto existing = Words(2000, "kept");
    auto suggested = Words(5000, "found");
    for (auto _ : state) {
        CKeywordsGridCtrl left, right;
        MakeGrid(w, left, 100);
        MakeGrid(w, right, 101);
        left.LoadList(*existing);
        right.LoadList(*suggested);
        left.UpdateWindow();
        right.UpdateWindow();
        left.DestroyWindow();
        right.DestroyWindow();
    }
}
BENCHMARK(BM_KeywordsOpen)->Unit(benchmark::kMillisecond);

// Every suggestion selected and added to the existing keywords, then OK's read-back and join.
void BM_KeywordsAddAllAndOk(benchmark::State& state)
{
    Window w;
    auto existing = Words(2000, "kept");
    auto suggested = Words(5000, "found");
    for (auto _ : state) {
        state.PauseTiming();
        CKeywordsGridCtrl left;
        MakeGrid(w, left, 100);
        left.LoadList(*existing);
        state.ResumeTiming();
        left.AddUniqueTexts(*suggested);
        CStringList out;
        left.ReadList(out);
        benchmark::DoNotOptimize(JoinWithSeparator(out, ","));
        state.PauseTiming();
        left.DestroyWindow();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_KeywordsAddAllAndOk)->Unit(benchmark::kMillisecond);

// An option list of 10,000 entries loaded and read back.
void BM_OptionListRoundTrip(benchmark::State& state)
{
    Window w;
    auto options = Words(10000, "option");
    for (auto _ : state) {
        CKeywordsGridCtrl grid;
        MakeGrid(w, grid, 100);
        grid.LoadList(*options);
        CStringList out;
        grid.ReadList(out);
        benchmark::DoNotOptimize(out.GetCount());
        grid.DestroyWindow();
    }
}
BENCHMARK(BM_OptionListRoundTrip)->Unit(benchmark::kMillisecond);

// 10,000 nodes in 8 levels: each node has 3 children down to level 8 (9,840 nodes) plus
// 160 roots more.
void AddLevel(CDoubleLinkNode* parent, int depth)
{
    if (depth >= 8)
        return;
    for (int i = 0; i < 3; ++i) {
        auto* child = new CDoubleLinkNode(parent);
        child->m_strName = ("n" + std::to_string(depth) + "_" + std::to_string(i)).c_str();
        parent->AddChild(child);
        AddLevel(child, depth + 1);
    }
}

void MakeTree(CDoubleLinkNodeCol& tree)
{
    for (int r = 0; r < 3; ++r) {
        tree.AddNew(("root" + std::to_string(r)).c_str());
        AddLevel(tree.GetTail(), 1);
    }
    for (int r = 3; r < 163; ++r)
        tree.AddNew(("root" + std::to_string(r)).c_str());
}

void FloorInsert(SECTreeCtrl& ctrl, CDoubleLinkNodeCol& nodes, HTREEITEM parent)
{
    for (POSITION pos = nodes.GetHeadPosition(); pos != nullptr;) {
        CDoubleLinkNode* node = nodes.GetNext(pos);
        HTREEITEM item = ctrl.InsertItem(node->m_strName, parent);
        FloorInsert(ctrl, node->m_Children, item);
    }
}

void BM_TreeFillFloor(benchmark::State& state)
{
    Window w;
    CDoubleLinkNodeCol tree;
    MakeTree(tree);
    for (auto _ : state) {
        SECTreeCtrl ctrl;
        ctrl.Create(WS_CHILD | WS_VISIBLE | 0x7, CRect(0, 0, 300, 400), &w.top, 100);
        FloorInsert(ctrl, tree, TVI_ROOT);
        ctrl.DestroyWindow();
    }
}
BENCHMARK(BM_TreeFillFloor)->Unit(benchmark::kMillisecond);

void BM_ClassificationLoad(benchmark::State& state)
{
    Window w;
    CDoubleLinkNodeCol tree;
    MakeTree(tree);
    for (auto _ : state) {
        CClassificationTreeCtrl ctrl;
        ctrl.Create(WS_CHILD | WS_VISIBLE | 0x7, CRect(0, 0, 300, 400), &w.top, 100);
        ctrl.SetTree(&tree, CClassificationTreeCtrl::Mode::Value);
        ctrl.LoadTree();
        ctrl.DestroyWindow();
    }
}
BENCHMARK(BM_ClassificationLoad)->Unit(benchmark::kMillisecond);

void BM_ClassificationFindPath(benchmark::State& state)
{
    Window w;
    CDoubleLinkNodeCol tree;
    MakeTree(tree);
    CClassificationTreeCtrl ctrl;
    ctrl.Create(WS_CHILD | WS_VISIBLE | 0x7, CRect(0, 0, 300, 400), &w.top, 100);
    ctrl.SetTree(&tree, CClassificationTreeCtrl::Mode::Value);
    ctrl.LoadTree();
    for (auto _ : state)
        benchmark::DoNotOptimize(ctrl.SelectPath("ROOT2:n1_2:n2_2:n3_2:n4_2:n5_2:n6_2:n7_2"));
    ctrl.DestroyWindow();
}
BENCHMARK(BM_ClassificationFindPath)->Unit(benchmark::kMicrosecond);

} // namespace
