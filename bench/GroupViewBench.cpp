// The project grid of the whole program on the memory backend: 10,000 pages against 60 shown
// META settings, every value read from the page model. Measured: loading the rows (the reload
// the settings dialogs ask for), a full paint of a 1920 x 1080 view, Fill Down of one column over
// every row and its Undo All, sorting the rows by a META column, one zoom step with its
// repaint, one line scrolled and the thumb let go at the end, each shown. Floor, in the same run: a plain grid view of the same size holding
// the same texts as stored cell values, loaded and painted the same way.
#include "app/CGroupFrame.h"
#include "app/CGroupView.h"
#include "app/CMainFrame.h"
#include "app/CVostrelApp.h"
#include "app/res/AppRes.h"
#include "engine/meta/CMetaContent.h"
#include "engine/meta/CMetaContentList.h"
#include "engine/meta/CMetaEditSetting.h"
#include "engine/meta/CMetaSettingList.h"
#include "engine/project/CPageNode.h"
#include "engine/project/CPageNodeCol.h"
#include "engine/project/CProjectSettings.h"
#include "grid/core/CGXGridView.h"
#include "grid/data/CGXCommand.h"
#include "grid/data/CGXRange.h"
#include "grid/data/CGXStyle.h"
#include "platform/afx/AfxRes.h"
#include "platform/backends/headless/HeadlessBackend.h"
#include "platform/afx/dlg/CEdit.h"
#include "platform/controls/Dialog.h"
#include "platform/win/Gdi.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr int kPages = 10000;
constexpr int kSettings = 60;

// Resident memory in bytes, from the kernel's own count.
long ResidentBytes()
{
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * 4096;
}

struct GroupFixture {
    HeadlessBackend* backend = nullptr;
    std::optional<CVostrelApp> app;
    CGroupView* view = nullptr;
    std::vector<std::unique_ptr<CPageNode>> pages;
    CSelNodesCol selection;
    CGXGridView* plain = nullptr;

    GroupFixture()
    {
        const std::string config = (std::filesystem::temp_directory_path() / "vostrel-groupview-bench").string();
        std::filesystem::create_directories(config);
        ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
        backend = &HeadlessBackend::Install(SIZE{1920, 1080});
        // Start-up offers the File New chooser: it is cancelled as soon as it shows.
        backend->WhenIdle([] {
            if (HWND dlg = ::GetActiveWindow())
                ::PostMessage(dlg, WM_COMMAND, IDCANCEL, 0);
        });
        app.emplace();
        char name[] = "vostrel";
        char* argv[] = {name, nullptr};
        app->SetCommandLine(1, argv);
        app->InitApplication();
        app->InitInstance();
        backend->ProcessMessages();

        // The catalogue: 60 shown settings, each page holding a value for every second one.
        CMetaSettingList* pList = nullptr;
        app->GetMetaSettingList(pList);
        for (POSITION pos = pList->GetHeadPosition(); pos != nullptr;)
            pList->GetNext(pos)->SetShow(0);
        std::vector<CString> names;
        for (int i = 0; i < kSettings; ++i) {
            auto* pSetting = new CMetaEditSetting;
            names.emplace_back(("BENCH-" + std::to_string(i)).c_str());
            pSetting->SetName(names.back());
            pSetting->SetShow(1);
            pList->AddTail(pSetting);
        }
        CProjectSettings* pSettings = nullptr;
        app->NewProjectSettings(pSettings);
        pSettings->m_bShowTitle = 1;
        for (int n = 0; n < kPages; ++n) {
            auto pPage = std::make_unique<CPageNode>();
            pPage->SetName(("page" + std::to_string(n) + ".htm").c_str());
            pPage->SetTitle(("Page " + std::to_string(n)).c_str());
            CMetaContentList* pContents = nullptr;
            pPage->CreateContentList(pContents);
            for (int i = 0; i < kSettings; i += 2) {
                CMetaContent* pContent = nullptr;
                pContents->AddContent(names[static_cast<size_t>(i)], ("value " + std::to_string(n)).c_str(), 0, pContent);
            }
            selection.AddTail(pPage.get());
            pages.push_back(std::move(pPage));
        }
        view = app->ShowGroupView("Bench", 1);
        if (view != nullptr)
            if (CFrameWnd* pFrame = view->GetParentFrame())
                pFrame->SetWindowPos(nullptr, 0, 0, 1920, 1080, SWP_NOZORDER);

        // The floor: a plain grid view of the same size in a frame of its own.
        auto* pFrame = new CFrameWnd;
        pFrame->Create(nullptr, "Floor", WS_POPUP | WS_VISIBLE, CRect(0, 0, 1920, 1080));
        plain = new CGXGridView;
        plain->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 1920, 1080), pFrame, AFX_IDW_PANE_FIRST, nullptr);
        plain->OnInitialUpdate();
        backend->ProcessMessages();
    }
};

GroupFixture& Fixture()
{
    static GroupFixture fixture;
    return fixture;
}

void BM_GroupViewLoadRows(benchmark::State& state)
{
    GroupFixture& f = Fixture();
    if (f.view == nullptr) {
        state.SkipWithError("no group view");
        return;
    }
    long nBefore = 0, nAfter = 0;
    for (auto _ : state) {
        state.PauseTiming();
        f.view->LoadPages(*std::make_unique<CSelNodesCol>());
        nBefore = ResidentBytes();
        state.ResumeTiming();
        f.view->OnUpdate(nullptr, 3, reinterpret_cast<CObject*>(&f.selection));
        nAfter = ResidentBytes();
    }
    state.counters["bytes_per_row"] = static_cast<double>(nAfter - nBefore) / kPages;
    state.counters["rows"] = static_cast<double>(f.view->GetRowCount());
}
BENCHMARK(BM_GroupViewLoadRows)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_FloorPlainGridLoadRows(benchmark::State& state)
{
    GroupFixture& f = Fixture();
    CGXStyle value;
    value.SetValue("value 1234");
    for (auto _ : state) {
        f.plain->SetRowCount(0);
        f.plain->SetRowCount(kPages);
        f.plain->SetColCount(kSettings + 2);
        for (ROWCOL nCol = 1; nCol <= kSettings + 2; nCol += 2)
            f.plain->ApplyStyleToRange(CGXRange(1, nCol, kPages, nCol), &value, gxOverride, 0, nullptr, 0, gxDo);
    }
}
BENCHMARK(BM_FloorPlainGridLoadRows)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_GroupViewFullPaint(benchmark::State& state)
{
    GroupFixture& f = Fixture();
    if (f.view == nullptr || f.view->GetRowCount() != kPages)
        f.view->OnUpdate(nullptr, 3, reinterpret_cast<CObject*>(&f.selection));
    for (auto _ : state) {
        f.view->Invalidate();
        f.view->UpdateWindow();
    }
}
BENCHMARK(BM_GroupViewFullPaint)->Unit(benchmark::kMillisecond);

void BM_FloorPlainGridFullPaint(benchmark::State& state)
{
    GroupFixture& f = Fixture();
    if (f.plain->GetRowCount() != kPages) {
        CGXStyle value;
        value.SetValue("value 1234");
        f.plain->SetRowCount(kPages);
        f.plain->SetColCount(kSettings + 2);
        for (ROWCOL nCol = 1; nCol <= kSettings + 2; nCol += 2)
            f.plain->ApplyStyleToRange(CGXRange(1, nCol, kPages, nCol), &value, gxOverride, 0, nullptr, 0, gxDo);
    }
    for (auto _ : state) {
        f.plain->Invalidate();
        f.plain->UpdateWindow();
    }
}
BENCHMARK(BM_FloorPlainGridFullPaint)->Unit(benchmark::kMillisecond);

void BM_GroupViewFillDownAndUndoAll(benchmark::State& state)
{
    GroupFixture& f = Fixture();
    if (f.view == nullptr)
        return;
    f.view->OnUpdate(nullptr, 3, reinterpret_cast<CObject*>(&f.selection));
    // Column 3 is the first setting's column: the first page holds a value there.
    for (auto _ : state) {
        f.view->ClearSelection(FALSE);
        f.view->SetCurrentCell(1, 3);
        f.view->SelectRange(CGXRange().SetCols(3, 3), TRUE, FALSE);
        f.view->SendMessage(WM_COMMAND, ID_FILL_DOWN);
        state.PauseTiming();
        benchmark::DoNotOptimize(f.app->IsEdited());
        state.ResumeTiming();
        f.view->UndoAll();
    }
}
BENCHMARK(BM_GroupViewFillDownAndUndoAll)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_GroupViewSortByColumn(benchmark::State& state)
{
    GroupFixture& f = Fixture();
    if (f.view == nullptr)
        return;
    f.view->OnUpdate(nullptr, 3, reinterpret_cast<CObject*>(&f.selection));
    bool bAscending = false;
    for (auto _ : state) {
        f.view->ClearSelection(FALSE);
        f.view->SetCurrentCell(1, 3);
        f.view->SelectRange(CGXRange().SetCols(3, 3), TRUE, FALSE);
        f.view->SendMessage(WM_COMMAND, bAscending ? ID_SORT_ASCENDING : ID_SORT_DESCENDING);
        bAscending = !bAscending;
    }
}
BENCHMARK(BM_GroupViewSortByColumn)->Unit(benchmark::kMillisecond)->Iterations(4);

void BM_GroupViewZoomStep(benchmark::State& state)
{
    GroupFixture& f = Fixture();
    if (f.view == nullptr)
        return;
    for (auto _ : state) {
        f.view->SendMessage(WM_COMMAND, ID_ZOOM_IN);
        f.view->UpdateWindow();
        state.PauseTiming();
        f.view->SendMessage(WM_COMMAND, ID_ZOOM_100);
        f.view->UpdateWindow();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_GroupViewZoomStep)->Unit(benchmark::kMillisecond)->Iterations(20);

// The grid as a scroll bar leaves it: one line down and shown, or the thumb let go at the end.
void LoadPlain(GroupFixture& f)
{
    if (f.plain->GetRowCount() == kPages)
        return;
    CGXStyle value;
    value.SetValue("value 1234");
    f.plain->SetRowCount(kPages);
    f.plain->SetColCount(kSettings + 2);
    for (ROWCOL nCol = 1; nCol <= kSettings + 2; nCol += 2)
        f.plain->ApplyStyleToRange(CGXRange(1, nCol, kPages, nCol), &value, gxOverride, 0, nullptr, 0, gxDo);
}

void LoadGroup(GroupFixture& f)
{
    if (f.view->GetRowCount() != kPages)
        f.view->OnUpdate(nullptr, 3, reinterpret_cast<CObject*>(&f.selection));
}

void ScrollOneLine(benchmark::State& state, CWnd* pGrid)
{
    pGrid->SendMessage(WM_VSCROLL, SB_TOP);
    pGrid->UpdateWindow();
    for (auto _ : state) {
        pGrid->SendMessage(WM_VSCROLL, SB_LINEDOWN);
        pGrid->UpdateWindow();
        state.PauseTiming();
        pGrid->SendMessage(WM_VSCROLL, SB_LINEUP);
        pGrid->UpdateWindow();
        state.ResumeTiming();
    }
}

void JumpToTheEnd(benchmark::State& state, CWnd* pGrid)
{
    for (auto _ : state) {
        state.PauseTiming();
        pGrid->SendMessage(WM_VSCROLL, SB_TOP);
        pGrid->UpdateWindow();
        state.ResumeTiming();
        pGrid->SendMessage(WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 0xFFFF));
        pGrid->UpdateWindow();
    }
    if (auto* pView = dynamic_cast<CGXGridView*>(pGrid))
        state.counters["top_row"] = static_cast<double>(pView->GetTopRow());
}

void BM_GroupViewScrollOneLine(benchmark::State& state)
{
    GroupFixture& f = Fixture();
    if (f.view == nullptr)
        return;
    LoadGroup(f);
    ScrollOneLine(state, f.view);
}
BENCHMARK(BM_GroupViewScrollOneLine)->Unit(benchmark::kMillisecond);

void BM_FloorPlainGridScrollOneLine(benchmark::State& state)
{
    GroupFixture& f = Fixture();
    LoadPlain(f);
    ScrollOneLine(state, f.plain);
}
BENCHMARK(BM_FloorPlainGridScrollOneLine)->Unit(benchmark::kMillisecond);

void BM_GroupViewThumbToTheEnd(benchmark::State& state)
{
    GroupFixture& f = Fixture();
    if (f.view == nullptr)
        return;
    LoadGroup(f);
    JumpToTheEnd(state, f.view);
}
BENCHMARK(BM_GroupViewThumbToTheEnd)->Unit(benchmark::kMillisecond);

void BM_FloorPlainGridThumbToTheEnd(benchmark::State& state)
{
    GroupFixture& f = Fixture();
    LoadPlain(f);
    JumpToTheEnd(state, f.plain);
}
BENCHMARK(BM_FloorPlainGridThumbToTheEnd)->Unit(benchmark::kMillisecond);

// One character typed into the group frame's edit field and shown; the floor is a plain edit
// control of the same width in a frame of its own.
void TypeCharacters(benchmark::State& state, CWnd* pEdit)
{
    pEdit->SetFocus();
    pEdit->SetWindowText("");
    int n = 0;
    int longest = 0;
    for (auto _ : state) {
        pEdit->SendMessage(WM_CHAR, 'a', 1);
        pEdit->UpdateWindow();
        if (++n == 40) {
            longest = std::max(longest, pEdit->GetWindowTextLength());
            state.PauseTiming();
            pEdit->SetWindowText("");
            pEdit->UpdateWindow();
            n = 0;
            state.ResumeTiming();
        }
    }
    // What was typed must have reached the field, or nothing was measured.
    state.counters["chars_shown"] = longest;
}

void BM_GroupFrameTypeInEditField(benchmark::State& state)
{
    GroupFixture& f = Fixture();
    auto* pFrame = f.view == nullptr ? nullptr : dynamic_cast<CGroupFrame*>(f.view->GetParentFrame());
    if (pFrame == nullptr) {
        state.SkipWithError("no group frame");
        return;
    }
    LoadGroup(f);
    // The field edits the current cell: a META cell of the first page.
    f.view->SetCurrentCell(1, 3);
    TypeCharacters(state, &pFrame->GetEditField());
    pFrame->GetEditField().SetWindowText("");
}
BENCHMARK(BM_GroupFrameTypeInEditField)->Unit(benchmark::kMicrosecond);

void BM_FloorPlainEditType(benchmark::State& state)
{
    GroupFixture& f = Fixture();
    static CEdit* pEdit = nullptr;
    if (pEdit == nullptr) {
        pEdit = new CEdit;
        pEdit->Create(WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, CRect(0, 0, CGroupFrame::kEditPaneWidth, 20),
                      f.plain->GetParent(), 1);
    }
    TypeCharacters(state, pEdit);
}
BENCHMARK(BM_FloorPlainEditType)->Unit(benchmark::kMicrosecond);

} // namespace
