// The project grid of the whole program on the memory backend: 10,000 pages against 60 shown
// META settings, every value read from the page model. Measured: loading the rows (the reload
// the settings dialogs ask for), a full paint of a 1920 x 1080 view, Fill Down of one column over
// every row and its Undo All, sorting the rows by a META column, one zoom step with its
// repaint, one line scrolled and the thumb let go at the end, each shown; a character typed into
// a cell and into the frame's edit field; the keywords group action over every row; a scanned
// page's row refresh off and on screen; View > Changes of a 1 MB page. Floors, in the same run: a
// plain grid view of the same size holding the same texts as stored cell values, loaded, painted,
// typed into and redrawn the same way; the engine's own keyword pass; the page read and split.
#include "app/views/CGroupFrame.h"
#include "app/views/CGroupView.h"
#include "app/frame/CMainFrame.h"
#include "app/frame/CVostrelApp.h"
#include "app/res/AppRes.h"
#include "engine/meta/CMetaContent.h"
#include "engine/meta/CMetaContentList.h"
#include "engine/meta/CMetaEditSetting.h"
#include "engine/meta/CMetaKeywordsSetting.h"
#include "engine/meta/IMetaDialogs.h"
#include "engine/project/CVostrelAppModel.h"
#include "engine/project/EngineMessages.h"
#include "engine/meta/CMetaSettingList.h"
#include "engine/project/CPageNode.h"
#include "engine/project/CPageNodeCol.h"
#include "engine/project/CProjectSettings.h"
#include "grid/core/CGXControl.h"
#include "grid/core/CGXGridView.h"
#include "grid/data/CGXCommand.h"
#include "grid/data/CGXRange.h"
#include "grid/data/CGXStyle.h"
#include "platform/afx/AfxRes.h"
#include "platform/backends/headless/HeadlessBackend.h"
#include "platform/afx/dlg/CEdit.h"
#include "platform/controls/Dialog.h"
#include "platform/win/Gdi.h"

#include "ProgramStart.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr int kPages = 10000;
constexpr int kSettings = 60;
// The last setting holding values is a keywords setting, so that its group action has a column.
constexpr int kKeywordsSetting = kSettings - 2;

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
        backend = &StartProgram(app, "vostrel-groupview-bench");

        // The catalogue: 60 shown settings, each page holding a value for every second one.
        const std::vector<CString> names = ShowNewSettings(*app, kSettings, "BENCH", [](int i) -> CMetaSetting* {
            if (i == kKeywordsSetting)
                return new CMetaKeywordsSetting;
            return new CMetaEditSetting;
        });
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
                if (i == kKeywordsSetting && pContent != nullptr)
                    for (const char* pWord : {"alpha", "beta", "gamma", "delta"})
                        pContent->AddSuggestion(pWord);
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

// One character typed into a META cell of the grid and shown: the first starts the cell's editor,
// the rest go into it; every 40 the edit is cancelled, untimed. The floor is the plain grid typing into a
// stored cell the same way.
void TypeIntoCell(benchmark::State& state, CGXGridView* pGrid)
{
    pGrid->SetFocus();
    pGrid->RouteKeyMessage(nullptr, WM_KEYDOWN, VK_ESCAPE, 1, 0);
    pGrid->SetCurrentCell(1, 3);
    pGrid->UpdateWindow();
    int n = 0;
    int nActive = 0;
    int nLongest = 0;
    for (auto _ : state) {
        // The key goes where the keyboard is: the grid for the first, then the cell's editor.
        HWND hFocus = ::GetFocus();
        if (hFocus == nullptr)
            hFocus = pGrid->GetSafeHwnd();
        ::SendMessage(hFocus, WM_CHAR, 'a', 1);
        ::UpdateWindow(hFocus);
        pGrid->UpdateWindow();
        if (++n == 40) {
            state.PauseTiming();
            CGXControl* pControl = pGrid->GetCurrentCellControl();
            nActive += pControl != nullptr && pControl->IsActive() ? 1 : 0;
            CString strText;
            if (pControl != nullptr && pControl->GetCurrentText(strText))
                nLongest = std::max(nLongest, strText.GetLength());
            pGrid->RouteKeyMessage(nullptr, WM_KEYDOWN, VK_ESCAPE, 1, 0);
            pGrid->UpdateWindow();
            n = 0;
            state.ResumeTiming();
        }
    }
    pGrid->RouteKeyMessage(nullptr, WM_KEYDOWN, VK_ESCAPE, 1, 0);
    // The typing must have reached an active cell editor, or nothing was measured.
    state.counters["edits_active"] = nActive;
    state.counters["chars_in_editor"] = nLongest;
}

void BM_GroupViewTypeInCell(benchmark::State& state)
{
    GroupFixture& f = Fixture();
    if (f.view == nullptr) {
        state.SkipWithError("no group view");
        return;
    }
    LoadGroup(f);
    f.view->SendMessage(WM_VSCROLL, SB_TOP);
    TypeIntoCell(state, f.view);
}
BENCHMARK(BM_GroupViewTypeInCell)->Unit(benchmark::kMicrosecond);

void BM_FloorPlainGridTypeInCell(benchmark::State& state)
{
    GroupFixture& f = Fixture();
    LoadPlain(f);
    f.plain->SendMessage(WM_VSCROLL, SB_TOP);
    TypeIntoCell(state, f.plain);
}
BENCHMARK(BM_FloorPlainGridTypeInCell)->Unit(benchmark::kMicrosecond);

// The value dialogs answered as a user would: the keywords group action replaces the keywords.
class ReplaceKeywordsDialogs : public IMetaDialogs {
public:
    BOOL ChooseGroupKeywordsAction(int& nAction) override
    {
        nAction = 1;
        return TRUE;
    }
};

ROWCOL FindColumn(CGroupView* pView, const char* pszHeader)
{
    for (ROWCOL nCol = 1; nCol <= pView->GetColCount(); ++nCol) {
        CString strHeader;
        if (pView->GetCellText(0, nCol, strHeader) == 0 && strHeader == pszHeader)
            return nCol;
    }
    return 0;
}

// The keywords group action over every row: each page's keywords replaced by its suggestions,
// written into its cell and marked. Undo All puts the pages back between runs, untimed.
void BM_GroupViewKeywordsGroupAction(benchmark::State& state)
{
    GroupFixture& f = Fixture();
    if (f.view == nullptr) {
        state.SkipWithError("no group view");
        return;
    }
    f.view->OnUpdate(nullptr, 3, reinterpret_cast<CObject*>(&f.selection));
    const std::string strHeader = "BENCH-" + std::to_string(kKeywordsSetting);
    const ROWCOL nCol = FindColumn(f.view, strHeader.c_str());
    if (nCol == 0) {
        state.SkipWithError("no keywords column");
        return;
    }
    ReplaceKeywordsDialogs dialogs;
    IMetaDialogs* pPrevious = &GetAppModel().GetDialogs();
    GetAppModel().SetDialogs(&dialogs);
    size_t nEdited = 0;
    for (auto _ : state) {
        state.PauseTiming();
        f.view->ClearSelection(FALSE);
        f.view->SetCurrentCell(1, nCol);
        f.view->SelectRange(CGXRange().SetCols(nCol, nCol), TRUE, FALSE);
        state.ResumeTiming();
        f.view->SendMessage(WM_COMMAND, ID_GROUP_ACTIONS);
        state.PauseTiming();
        nEdited = f.view->GetRememberedEditCount();
        f.view->UndoAll();
        state.ResumeTiming();
    }
    GetAppModel().SetDialogs(pPrevious);
    // Every page must have been reached, or the action did not run over all rows.
    state.counters["pages_edited"] = static_cast<double>(nEdited);
}
BENCHMARK(BM_GroupViewKeywordsGroupAction)->Unit(benchmark::kMillisecond)->Iterations(3);

// The floor: the engine's own keyword pass over the same pages, with no view.
void BM_FloorEngineKeywordsPass(benchmark::State& state)
{
    GroupFixture& f = Fixture();
    const CString strName(("BENCH-" + std::to_string(kKeywordsSetting)).c_str());
    size_t nReset = 0;
    for (auto _ : state) {
        nReset = 0;
        for (const auto& pPage : f.pages) {
            CMetaContentList* pList = nullptr;
            CMetaContent* pContent = nullptr;
            if (pPage->GetContentList(pList) != 0 || pList->FindByName(strName, pContent) != 0)
                continue;
            nReset += pContent->ResetToSuggestions() == 0 ? 1 : 0;
            benchmark::DoNotOptimize(pContent->GetContent());
        }
    }
    state.counters["pages_edited"] = static_cast<double>(nReset);
}
BENCHMARK(BM_FloorEngineKeywordsPass)->Unit(benchmark::kMillisecond)->Iterations(3);

// A scanned page reported by the engine's message to the main frame, its row shown again: the
// page of the last row (off screen) and of the first (on screen).
void RowRefresh(benchmark::State& state, GroupFixture& f, ROWCOL nRow)
{
    CPageNode* pPage = nullptr;
    if (f.view->GetRowPage(nRow, pPage) != 0 || f.app->GetMainFrame() == nullptr) {
        state.SkipWithError("no page");
        return;
    }
    CMainFrame* pMain = f.app->GetMainFrame();
    for (auto _ : state) {
        pMain->SendMessage(kMsgFileScanned, 0, reinterpret_cast<LPARAM>(pPage));
        f.view->UpdateWindow();
    }
}

void BM_GroupViewRowRefreshOffScreen(benchmark::State& state)
{
    GroupFixture& f = Fixture();
    if (f.view == nullptr)
        return;
    LoadGroup(f);
    f.view->SendMessage(WM_VSCROLL, SB_TOP);
    f.view->UpdateWindow();
    RowRefresh(state, f, kPages);
}
BENCHMARK(BM_GroupViewRowRefreshOffScreen)->Unit(benchmark::kMicrosecond);

void BM_GroupViewRowRefreshOnScreen(benchmark::State& state)
{
    GroupFixture& f = Fixture();
    if (f.view == nullptr)
        return;
    LoadGroup(f);
    f.view->SendMessage(WM_VSCROLL, SB_TOP);
    f.view->UpdateWindow();
    RowRefresh(state, f, 1);
}
BENCHMARK(BM_GroupViewRowRefreshOnScreen)->Unit(benchmark::kMicrosecond);

// The floor: the plain grid invalidating the same row and showing it.
void PlainRowRedraw(benchmark::State& state, GroupFixture& f, ROWCOL nRow)
{
    LoadPlain(f);
    f.plain->SendMessage(WM_VSCROLL, SB_TOP);
    f.plain->UpdateWindow();
    for (auto _ : state) {
        f.plain->RedrawRowCol(nRow, 1, nRow, f.plain->GetColCount(), GX_INVALIDATE);
        f.plain->UpdateWindow();
    }
}

void BM_FloorPlainGridRowRedrawOffScreen(benchmark::State& state)
{
    PlainRowRedraw(state, Fixture(), kPages);
}
BENCHMARK(BM_FloorPlainGridRowRedrawOffScreen)->Unit(benchmark::kMicrosecond);

void BM_FloorPlainGridRowRedrawOnScreen(benchmark::State& state)
{
    PlainRowRedraw(state, Fixture(), 1);
}
BENCHMARK(BM_FloorPlainGridRowRedrawOnScreen)->Unit(benchmark::kMicrosecond);

// A page of about 1 MB: a head with the META tags and a body of plain lines.
std::string PreviewFolder()
{
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "vostrel-groupview-bench-preview";
    std::filesystem::create_directories(folder);
    return folder.string();
}

void WriteLargePage(const std::string& strPath)
{
    std::ofstream out(strPath, std::ios::binary | std::ios::trunc);
    out << "<html>\n<head>\n<title>Large page</title>\n<meta name=\"BENCH-0\" content=\"old\">\n</head>\n<body>\n";
    std::string line;
    for (size_t nWritten = 0, n = 0; nWritten < (1u << 20); ++n) {
        line = "<p>Line " + std::to_string(n) + " of a long page, with some text to fill it out.</p>\n";
        out << line;
        nWritten += line.size();
    }
    out << "</body>\n</html>\n";
}

// View > Changes of an edited 1 MB page until the preview has been painted: the page rewritten
// into a temporary file, both read into the panes, the dialog shown. Its modal loop closes the
// dialog as soon as it waits for input, that is after the first paint.
void BM_GroupViewPreviewLargePage(benchmark::State& state)
{
    GroupFixture& f = Fixture();
    if (f.view == nullptr) {
        state.SkipWithError("no group view");
        return;
    }
    LoadGroup(f);
    f.view->SendMessage(WM_VSCROLL, SB_TOP);
    f.view->ClearSelection(FALSE);
    f.view->SetCurrentCell(1, 3);
    CPageNode* pPage = nullptr;
    CMetaContentList* pList = nullptr;
    CMetaContent* pContent = nullptr;
    if (f.view->GetRowPage(1, pPage) != 0 || pPage->GetContentList(pList) != 0 || pList->FindByName("BENCH-0", pContent) != 0) {
        state.SkipWithError("no page to preview");
        return;
    }
    const CString strOldFolder = pPage->GetFolder();
    const std::string strFolder = PreviewFolder();
    pPage->SetFolder(strFolder.c_str());
    WriteLargePage(strFolder + "/" + static_cast<const char*>(pPage->GetName()));
    pContent->SetModified(1);
    int nShown = 0;
    for (auto _ : state) {
        f.backend->WhenIdle([&nShown] {
            if (HWND dlg = ::GetActiveWindow()) {
                char szTitle[256] = {};
                ::GetWindowText(dlg, szTitle, sizeof(szTitle));
                nShown += std::string_view(szTitle).find("Preview") != std::string_view::npos ? 1 : 0;
                ::PostMessage(dlg, WM_COMMAND, IDCANCEL, 0);
            }
        });
        f.view->SendMessage(WM_COMMAND, ID_VIEW_CHANGES);
    }
    pContent->SetModified(0);
    pPage->SetFolder(strOldFolder);
    // Each run must have shown the preview, or nothing was measured.
    state.counters["previews_shown"] = nShown;
    const std::string strPage = strFolder + "/" + static_cast<const char*>(pPage->GetName());
    state.counters["page_bytes"] = static_cast<double>(std::filesystem::file_size(strPage));
    std::filesystem::remove(strPage);
}
BENCHMARK(BM_GroupViewPreviewLargePage)->Unit(benchmark::kMillisecond)->Iterations(10);

// The floor: the same page read and split into lines twice, once for each pane.
void BM_FloorReadAndSplitLargePage(benchmark::State& state)
{
    const std::string strPath = PreviewFolder() + "/floor.htm";
    WriteLargePage(strPath);
    size_t nLines = 0;
    for (auto _ : state) {
        for (int nPane = 0; nPane < 2; ++nPane) {
            std::ifstream in(strPath, std::ios::binary);
            std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            std::vector<std::string_view> lines;
            for (size_t nStart = 0; nStart < text.size();) {
                size_t nEnd = text.find('\n', nStart);
                if (nEnd == std::string::npos)
                    nEnd = text.size();
                lines.emplace_back(text.data() + nStart, nEnd - nStart);
                nStart = nEnd + 1;
            }
            nLines = lines.size();
            benchmark::DoNotOptimize(lines.data());
        }
    }
    state.counters["lines"] = static_cast<double>(nLines);
    std::filesystem::remove(strPath);
}
BENCHMARK(BM_FloorReadAndSplitLargePage)->Unit(benchmark::kMillisecond);

} // namespace
