// Replace All in the project grid of the whole program on the memory backend, 100,000 pages
// read by a scan, every page's description holding the text replaced: Replace All down the
// column from the first row and from row 90,000, as the Replace dialog runs it (one step of
// undo, its count told), and the Undo of each. The floor of each, in the same run: Fill Down
// of the same cells, which writes as many cells and pages as one step of undo, and its Undo.
// "cells" is how many cells each changed.
// Beside them the Keywords group action over the whole Keywords column, each page's keywords
// replaced by its suggestions, on the rows in the order they were loaded ("sorted:0") and sorted
// by Title, descending ("sorted:1"): the same work, which must cost the same in any order of the
// rows. The pages of the site's first half have no suggestions and are left as they are: in the
// order of the titles the pages changed and those left alone take turns.
#include "app/res/AppRes.h"
#include "app/views/CGroupView.h"
#include "engine/meta/CMetaContent.h"
#include "engine/meta/CMetaContentList.h"
#include "engine/meta/CMetaEditSetting.h"
#include "engine/meta/CMetaKeywordsSetting.h"
#include "engine/meta/IMetaDialogs.h"
#include "engine/project/CPageNode.h"
#include "engine/project/CPageNodeCol.h"
#include "engine/project/CProjectSettings.h"
#include "engine/project/CVostrelAppModel.h"
#include "grid/core/CGXFindReplaceState.h"
#include "grid/data/CGXGridParam.h"
#include "grid/data/CGXRange.h"

#include "ProgramStart.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr ROWCOL kPages = 100000;
constexpr ROWCOL kDeepRow = 90000;
constexpr int kSettings = 4;
constexpr int kKeywordsSetting = kSettings - 1;
constexpr ROWCOL kTitleColumn = 2;
constexpr ROWCOL kColumn = 3; // the first setting's, after the Title column
constexpr ROWCOL kKeywordsColumn = kColumn + kKeywordsSetting;

struct ReplaceFixture {
    HeadlessBackend* backend = nullptr;
    std::optional<CVostrelApp> app;
    CGroupView* view = nullptr;

    ReplaceFixture()
    {
        backend = &StartProgram(app, "vostrel-replaceall-bench");
        const std::vector<CString> names = ShowNewSettings(*app, kSettings, "BENCH", [](int i) -> CMetaSetting* {
            if (i == kKeywordsSetting)
                return new CMetaKeywordsSetting;
            return new CMetaEditSetting;
        });
        CProjectSettings* pSettings = nullptr;
        app->NewProjectSettings(pSettings);
        pSettings->m_bShowTitle = 1;
        // The project's pages, all read by a scan, in one folder: the program looks through them
        // as it looks through a site's.
        auto* pRoot = new CPageNode;
        app->GetPageNodes().InitRootNode("/site", pRoot);
        app->GetPageNodes().AddTail(pRoot);
        CSelNodesCol& selection = app->GetSelectedNodes();
        for (ROWCOL n = 1; n <= kPages; ++n) {
            auto* pPage = new CPageNode;
            pPage->SetKind(CPageNode::kindPage);
            pPage->SetName(("page" + std::to_string(n) + ".htm").c_str());
            // The titles in another order than the files.
            pPage->SetTitle(("Page " + std::to_string((n * 7919) % kPages)).c_str());
            pPage->SetScanState(0);
            CMetaContentList* pContents = nullptr;
            pPage->CreateContentList(pContents);
            for (size_t i = 0; i < names.size(); ++i) {
                CMetaContent* pContent = nullptr;
                if (i == kKeywordsSetting) {
                    pContents->AddContent(names[i], "red, green", 0, pContent);
                    if (n > kPages / 2)
                        for (const char* pWord : {"village", "garden", "orchard", "river"})
                            pContent->AddSuggestion(pWord);
                } else {
                    pContents->AddContent(names[i], ("The village garden, page " + std::to_string(n)).c_str(), 0, pContent);
                }
            }
            pRoot->AddChild(pPage);
            selection.AddTail(pPage);
        }
        view = app->ShowGroupView("Bench", 1);
        if (view != nullptr)
            if (CFrameWnd* pFrame = view->GetParentFrame())
                pFrame->SetWindowPos(nullptr, 0, 0, 1280, 900, SWP_NOZORDER);
        if (view != nullptr)
            view->OnUpdate(nullptr, 3, reinterpret_cast<CObject*>(&selection));
    }
    // The last page's value in the column.
    CString LastValue(ROWCOL nCol = kColumn) const
    {
        CString strText;
        view->GetCellText(kPages, nCol, strText);
        return strText;
    }
};

ReplaceFixture& Fixture()
{
    static ReplaceFixture fixture;
    return fixture;
}

// The grid scrolled to the row, where the user makes its cell of the column current.
void GoTo(CGroupView& view, ROWCOL nRow)
{
    view.SetTopRow(nRow, GX_UPDATENOW);
    view.SetCurrentCell(nRow, kColumn, GX_UPDATENOW | GX_SCROLLINVIEW);
    view.UpdateWindow();
}

// Answers the box that tells what Replace All did, whenever the program waits while it runs.
bool g_bAnswering = false;
void AnswerBoxes(HeadlessBackend& backend)
{
    backend.WhenIdle([&backend] {
        if (HWND hBox = ::GetActiveWindow(); hBox != nullptr && ::GetDlgItem(hBox, IDOK) != nullptr)
            ::PostMessage(hBox, WM_COMMAND, IDOK, 0);
        if (g_bAnswering)
            AnswerBoxes(backend);
    });
}

// Replace All from the row down the column, as the Replace dialog's button runs it.
void ReplaceAllFrom(CGroupView& view, ROWCOL nRow)
{
    GoTo(view, nRow);
    GXGetFindReplaceState().m_bReplaceAllRunning = TRUE;
    g_bAnswering = true;
    AnswerBoxes(*Fixture().backend);
    view.ReplaceAll("garden", "orchard", FALSE);
    g_bAnswering = false;
}

// Fill Down of the same cells: the first row's value written into the rest. The cells are
// chosen in ranges that the grid keeps one undo step of each without asking, so that the floor
// is the plain store of every cell and page; undone by as many steps.
constexpr ROWCOL kFillRows = 25000;
void FillDownFrom(CGroupView& view, ROWCOL nRow)
{
    view.ClearSelection(FALSE);
    GoTo(view, nRow);
    for (ROWCOL nTop = nRow; nTop <= kPages; nTop += kFillRows)
        view.SelectRange(CGXRange(nTop, kColumn, std::min(kPages, nTop + kFillRows - 1), kColumn), TRUE, FALSE);
    view.SendMessage(WM_COMMAND, ID_FILL_DOWN);
    view.ClearSelection(FALSE);
}

void UndoSteps(CGroupView& view, ROWCOL nSteps)
{
    for (ROWCOL n = 0; n < nSteps; ++n)
        view.SendMessage(WM_COMMAND, ID_EDIT_UNDO);
}

// False, with the benchmark skipped, when the grid does not show every page.
bool Ready(benchmark::State& state, ReplaceFixture& f)
{
    if (f.view != nullptr && f.view->GetRowCount() == kPages)
        return true;
    state.SkipWithError("the grid does not show the pages");
    return false;
}

// The work timed changed the last page's value, and the Undo gave it back.
void Check(benchmark::State& state, ReplaceFixture& f, const CString& strDone, const CString& strBefore)
{
    if (strDone == strBefore || f.LastValue() != strBefore)
        state.SkipWithError("the cells were not changed and given back");
}

void SetCells(benchmark::State& state, ROWCOL nRow)
{
    state.counters["cells"] = static_cast<double>(kPages - nRow + 1);
}

enum class Timed { Change, Undo };

// The change from the row (Replace All or Fill Down) and its Undo, one of them timed.
template <class Change>
void Run(benchmark::State& state, Change change, Timed timed, ROWCOL nStepsOfCells = kPages)
{
    ReplaceFixture& f = Fixture();
    if (!Ready(state, f))
        return;
    const auto nRow = static_cast<ROWCOL>(state.range(0));
    const CString strBefore = f.LastValue();
    CString strDone;
    for (auto _ : state) {
        if (timed == Timed::Undo)
            state.PauseTiming();
        change(*f.view, nRow);
        strDone = f.LastValue();
        if (timed == Timed::Undo)
            state.ResumeTiming();
        else
            state.PauseTiming();
        UndoSteps(*f.view, (kPages - nRow) / nStepsOfCells + 1);
        if (timed == Timed::Change)
            state.ResumeTiming();
    }
    Check(state, f, strDone, strBefore);
    SetCells(state, nRow);
}

void BM_ReplaceAll(benchmark::State& state)
{
    Run(state, ReplaceAllFrom, Timed::Change);
}
BENCHMARK(BM_ReplaceAll)->Arg(1)->Arg(kDeepRow)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

void BM_FloorFillDown(benchmark::State& state)
{
    Run(state, FillDownFrom, Timed::Change, kFillRows);
}
BENCHMARK(BM_FloorFillDown)->Arg(1)->Arg(kDeepRow)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

void BM_UndoReplaceAll(benchmark::State& state)
{
    Run(state, ReplaceAllFrom, Timed::Undo);
}
BENCHMARK(BM_UndoReplaceAll)->Arg(1)->Arg(kDeepRow)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

void BM_FloorUndoFillDown(benchmark::State& state)
{
    Run(state, FillDownFrom, Timed::Undo, kFillRows);
}
BENCHMARK(BM_FloorUndoFillDown)->Arg(1)->Arg(kDeepRow)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

// The group action's dialog answered as a user would: the keywords are replaced.
class ReplaceKeywordsDialogs : public IMetaDialogs {
public:
    BOOL ChooseGroupKeywordsAction(int& nAction) override
    {
        nAction = 1;
        return TRUE;
    }
};

CString KeywordsOf(CPageNode* pPage)
{
    CMetaContentList* pList = nullptr;
    CMetaContent* pContent = nullptr;
    const CString strName(("BENCH-" + std::to_string(kKeywordsSetting)).c_str());
    if (pPage == nullptr || pPage->GetContentList(pList) != 0 || pList->FindByName(strName, pContent) != 0)
        return CString();
    return pContent->GetContent();
}

void SelectColumn(CGroupView& view, ROWCOL nCol)
{
    view.ClearSelection(FALSE);
    view.SetCurrentCell(1, nCol, GX_UPDATENOW | GX_SCROLLINVIEW);
    view.SelectRange(CGXRange().SetCols(nCol, nCol), TRUE, FALSE);
}

// The Keywords group action over the whole column, on the rows as loaded (0) or sorted by
// Title, descending (1); the sort and the action are undone between runs, untimed.
void BM_KeywordsGroupAction(benchmark::State& state)
{
    ReplaceFixture& f = Fixture();
    if (!Ready(state, f))
        return;
    const bool bSorted = state.range(0) != 0;
    ReplaceKeywordsDialogs dialogs;
    IMetaDialogs* pPrevious = &GetAppModel().GetDialogs();
    GetAppModel().SetDialogs(&dialogs);
    // The last page is one of those changed.
    CPageNode* pLast = f.app->GetSelectedNodes().GetTail();
    const CString strBefore = KeywordsOf(pLast);
    CString strDone;
    for (auto _ : state) {
        state.PauseTiming();
        if (bSorted) {
            SelectColumn(*f.view, kTitleColumn);
            f.view->SendMessage(WM_COMMAND, ID_SORT_DESCENDING);
        }
        SelectColumn(*f.view, kKeywordsColumn);
        f.view->UpdateWindow();
        state.ResumeTiming();
        // The box that tells what the action did is answered as soon as it shows.
        g_bAnswering = true;
        AnswerBoxes(*f.backend);
        f.view->SendMessage(WM_COMMAND, ID_GROUP_ACTIONS);
        g_bAnswering = false;
        state.PauseTiming();
        f.view->ClearSelection(FALSE);
        strDone = KeywordsOf(pLast);
        UndoSteps(*f.view, bSorted ? 2 : 1);
        state.ResumeTiming();
    }
    GetAppModel().SetDialogs(pPrevious);
    if (strDone == strBefore || KeywordsOf(pLast) != strBefore)
        state.SkipWithError("the keywords were not changed and given back");
    state.counters["cells"] = static_cast<double>(kPages - kPages / 2);
}
BENCHMARK(BM_KeywordsGroupAction)->ArgName("sorted")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

} // namespace
