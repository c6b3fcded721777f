// The project grid's commands: zoom, Undo All, sorting, Fill Down and group actions, the pop-up
// menus, opening a page or its source, the clipboard, and keeping the frame's edit field in step
// with the current cell.
#include "app/views/CGroupView.h"

#include "app/views/CGroupFrame.h"
#include "app/frame/AppMessages.h"
#include "app/frame/CMainFrame.h"
#include "app/dialogs/CPreviewDlg.h"
#include "engine/meta/ReadingChange.h"
#include "app/dialogs/CProjSettingsSheet.h"
#include "app/frame/CVostrelApp.h"
#include "app/res/AppRes.h"
#include "app/res/GroupViewRes.h"
#include "engine/meta/CMetaContent.h"
#include "engine/meta/CMetaContentList.h"
#include "engine/meta/CMetaEditEngine.h"
#include "engine/meta/CMetaSetting.h"
#include "engine/project/CPageBytesCheck.h"
#include "engine/project/CPageNode.h"
#include "engine/project/CPageNodeCol.h"
#include "engine/project/CProjectSettings.h"
#include "engine/project/PageFileCheck.h"
#include "grid/core/CGXControl.h"
#include "grid/core/CGXFindReplaceState.h"
#include "grid/core/CGXGridAppData.h"
#include "grid/core/CGXSortInfoArray.h"
#include "grid/data/CGXCommand.h"
#include "grid/data/CGXLongOperation.h"
#include "grid/data/CGXRangeList.h"
#include "grid/features/GXFeatureScope.h"
#include "platform/afx/AfxRes.h"
#include "platform/afx/app/CWinApp.h"
#include "platform/afx/gdi/CMenu.h"
#include "grid/core/CGXFindReplaceState.h"
#include "platform/afx/wnd/CCmdUI.h"
#include "platform/controls/MessageBox.h"
#include "platform/win/Keyboard.h"
#include "platform/core/CFile.h"
#include "platform/core/CFileException.h"
#include "platform/core/FdGuard.h"
#include "platform/core/SystemServices.h"
#include "platform/win/Clipboard.h"

#include <algorithm>
#include <cstring>
#include <climits>
#include <fcntl.h>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>
#include <utility>
#include <vector>

BEGIN_MESSAGE_MAP(CGroupView, CGridViewWrapper)
ON_COMMAND(ID_ZOOM_IN, &CGroupView::OnZoomIn)
ON_COMMAND(ID_ZOOM_OUT, &CGroupView::OnZoomOut)
ON_COMMAND(ID_ZOOM_100, &CGroupView::OnZoom100)
ON_UPDATE_COMMAND_UI(ID_ZOOM_IN, &CGroupView::OnUpdateAlways)
ON_UPDATE_COMMAND_UI(ID_ZOOM_OUT, &CGroupView::OnUpdateAlways)
ON_UPDATE_COMMAND_UI(ID_ZOOM_100, &CGroupView::OnUpdateAlways)
ON_COMMAND(ID_UNDO_ALL, &CGroupView::OnUndoAll)
ON_UPDATE_COMMAND_UI(ID_UNDO_ALL, &CGroupView::OnUpdateUndoAll)
ON_COMMAND(ID_VIEW_WEB_PAGE, &CGroupView::OnViewWebPage)
ON_UPDATE_COMMAND_UI(ID_VIEW_WEB_PAGE, &CGroupView::OnUpdateViewPage)
ON_COMMAND(ID_VIEW_HTML_SOURCE, &CGroupView::OnViewHtmlSource)
ON_UPDATE_COMMAND_UI(ID_VIEW_HTML_SOURCE, &CGroupView::OnUpdateViewPage)
ON_COMMAND(ID_SORT_ASCENDING, &CGroupView::OnSortAscending)
ON_COMMAND(ID_SORT_DESCENDING, &CGroupView::OnSortDescending)
ON_UPDATE_COMMAND_UI(ID_SORT_ASCENDING, &CGroupView::OnUpdateSort)
ON_UPDATE_COMMAND_UI(ID_SORT_DESCENDING, &CGroupView::OnUpdateSort)
ON_COMMAND(ID_VIEW_CHANGES, &CGroupView::OnViewChanges)
ON_UPDATE_COMMAND_UI(ID_VIEW_CHANGES, &CGroupView::OnUpdateViewChanges)
ON_COMMAND(ID_PROJECT_SETTINGS, &CGroupView::OnProjectSettings)
ON_UPDATE_COMMAND_UI(ID_PROJECT_SETTINGS, &CGroupView::OnUpdateProjectSettings)
ON_COMMAND(ID_GROUP_ACTIONS, &CGroupView::OnGroupActions)
ON_COMMAND(ID_FILL_DOWN, &CGroupView::OnFillDown)
ON_UPDATE_COMMAND_UI(ID_FILL_DOWN, &CGroupView::OnUpdateFillDown)
ON_COMMAND(ID_FILE_PRINT, &CView::OnFilePrint)
ON_COMMAND(ID_FILE_PRINT_PREVIEW, &CView::OnFilePrintPreview)
ON_UPDATE_COMMAND_UI(ID_FILE_PRINT, &CGroupView::OnUpdateIdle)
ON_UPDATE_COMMAND_UI(ID_FILE_PRINT_PREVIEW, &CGroupView::OnUpdateIdle)
ON_UPDATE_COMMAND_UI(ID_EDIT_CUT, &CGroupView::OnUpdateEditCut)
ON_UPDATE_COMMAND_UI(ID_EDIT_PASTE, &CGroupView::OnUpdateEditPaste)
ON_COMMAND(ID_EDIT_UNDO, &CGroupView::OnEditUndo)
ON_COMMAND(ID_EDIT_REDO, &CGroupView::OnEditRedo)
ON_UPDATE_COMMAND_UI(ID_EDIT_UNDO, &CGroupView::OnUpdateEditUndo)
ON_UPDATE_COMMAND_UI(ID_EDIT_REDO, &CGroupView::OnUpdateEditRedo)
ON_COMMAND(ID_EDIT_DELETE_META, &CGroupView::OnEditDelete)
ON_UPDATE_COMMAND_UI(ID_EDIT_DELETE_META, &CGroupView::OnUpdateEditDelete)
ON_MESSAGE(kMsgTellRefusedEdits, &CGroupView::OnTellRefusedEdits)
END_MESSAGE_MAP()

namespace {

UINT CommandRunState()
{
    CVostrelApp* pApp = GetVostrelApp();
    return pApp != nullptr ? pApp->GetRunState() : static_cast<UINT>(CVostrelAppModel::runIdle);
}

BOOL IsIdle()
{
    return CommandRunState() == CVostrelAppModel::runIdle;
}

// A counter raised for a scope.
struct CommandScopedCount {
    explicit CommandScopedCount(int& n) : m_n(n) { ++m_n; }
    ~CommandScopedCount() { --m_n; }
    CommandScopedCount(const CommandScopedCount&) = delete;
    CommandScopedCount& operator=(const CommandScopedCount&) = delete;
    int& m_n;
};

// A flag raised for a scope.
struct ScopedFlag {
    explicit ScopedFlag(BOOL& b) : m_b(b) { m_b = TRUE; }
    ~ScopedFlag() { m_b = FALSE; }
    ScopedFlag(const ScopedFlag&) = delete;
    ScopedFlag& operator=(const ScopedFlag&) = delete;
    BOOL& m_b;
};

} // namespace

// ---- Zoom ----

void CGroupView::OnZoomIn()
{
    ZoomIn();
}

void CGroupView::OnZoomOut()
{
    ZoomOut();
}

void CGroupView::OnZoom100()
{
    ZoomReset();
}

void CGroupView::OnUpdateAlways(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(TRUE);
}

void CGroupView::OnUpdateIdle(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(IsIdle());
}

// ---- Undo All ----

void CGroupView::OnUpdateUndoAll(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(IsIdle() && GetParam() != nullptr && !GetParam()->m_UndoList.IsEmpty());
}

void CGroupView::OnUndoAll()
{
    if (!IsIdle() || GetParam() == nullptr || GetParam()->m_UndoList.IsEmpty())
        return;
    // Text still being typed, in a cell or in the frame's field, is an edit too: it is stored
    // first, so that it is taken back with the others instead of being stored after them.
    FinishCellEdit();
    // OK takes back every edit at once: Enter, pressed without reading, keeps them.
    if (AfxMessageBox(IDS_ASK_UNDO_ALL, MB_OKCANCEL | MB_DEFBUTTON2) != IDOK)
        return;
    UndoAll();
}

void CGroupView::UndoAll()
{
    CWaitCursor wait;
    BOOL bStopped = FALSE;
    {
        CommandScopedCount undoing(m_nUndoing);
        CommandScopedCount writing(m_nWritingMany);
        // Bounded by the list: an undo that fails leaves its command and ends the loop.
        for (INT_PTR n = GetParam()->m_UndoList.GetCount(); n > 0; --n)
            if (!Undo()) {
                bStopped = GXGetLongOperationState().m_bCancelled;
                break;
            }
    }
    // The values are back; the marks and the tags the edits made follow what each page held
    // before its first edit. Stopped by the user, the steps not undone keep their values.
    if (!bStopped)
        RestoreOriginals();
    UpdateEditState();
    Redraw(GX_INVALIDATE, FALSE);
}

// ---- Opening a page ----

void CGroupView::OnUpdateViewPage(CCmdUI* pCmdUI)
{
    CString strText;
    pCmdUI->Enable(IsIdle() && GetSingleCellSelection(strText) == 2);
}

CPageNode* CGroupView::GetCurrentPage()
{
    ROWCOL nRow = 0, nCol = 0;
    CPageNode* pPage = nullptr;
    if (!GetCurrentCell(nRow, nCol) || GetRowPage(nRow, pPage) != 0)
        return nullptr;
    return pPage;
}

CMainFrame* CGroupView::GetCurrentPageToOpen(CString& strPath)
{
    CPageNode* pPage = GetCurrentPage();
    CVostrelApp* pApp = GetVostrelApp();
    if (pPage == nullptr || pPage->GetKind() != CPageNode::kindPage || pApp == nullptr || pApp->GetMainFrame() == nullptr)
        return nullptr;
    pPage->GetFullPath(strPath);
    return pApp->GetMainFrame();
}

void CGroupView::OnViewWebPage()
{
    CString strPath;
    CMainFrame* pFrame = GetCurrentPageToOpen(strPath);
    if (pFrame == nullptr)
        return;
    CWaitCursor wait;
    pFrame->OpenUrl(strPath);
}

void CGroupView::OnViewHtmlSource()
{
    CString strPath;
    CMainFrame* pFrame = GetCurrentPageToOpen(strPath);
    if (pFrame == nullptr)
        return;
    CWaitCursor wait;
    // The editor runs beside the program; a failure is said when it comes, not swallowed: the
    // user would wait for an editor that never shows.
    m_editorLauncher.Open(strPath, [failures = pFrame->GetProgramFailures()](const CString& strText) {
        failures->Post(strText);
    });
}

void CGroupView::Beep(LPCTSTR pszFind)
{
    // What follows tells how a Replace All ended: its work is no longer said to run.
    EndWorkSaid(GetAppData()->GetText(gxTextReplacing));
    // A Replace All whose every match lay in pages that take no edits found them: what it
    // is told is why nothing was replaced.
    if (TellRefusedEdits())
        return;
    CGridViewWrapper::Beep(pszFind);
    // A search that found nothing says so; a beep for anything else (no text to search for)
    // stays a beep.
    if (pszFind == nullptr || *pszFind == '\0')
        return;
    ROWCOL nRow = 0, nCol = 0;
    CString strColumn;
    if (GetCurrentCell(nRow, nCol))
        GetCellText(0, nCol, strColumn);
    // The keys that open the dialog the user searches from again, in the other column.
    const CGXFindReplaceState& state = GXGetFindReplaceState();
    CString strMessage;
    strMessage.Format(state.m_bNext ? IDS_FIND_NOT_FOUND_DOWN : IDS_FIND_NOT_FOUND_UP, pszFind != nullptr ? pszFind : "",
                      strColumn.GetString(), state.m_bFindOnly ? "Ctrl+F" : "Ctrl+H");
    AfxMessageBox(strMessage, MB_ICONINFORMATION | MB_OK);
}

void CGroupView::ReplacedAll(LPCTSTR pszFind, LPCTSTR pszReplace, DWORD nCells)
{
    EndWorkSaid(GetAppData()->GetText(gxTextReplacing));
    ROWCOL nRow = 0, nCol = 0;
    CString strColumn;
    if (GetCurrentCell(nRow, nCol))
        GetCellText(0, nCol, strColumn);
    const CString strFind(pszFind != nullptr ? pszFind : "");
    const CString strReplace(pszReplace != nullptr ? pszReplace : "");
    CString strMessage;
    if (nCells == 1)
        strMessage.Format(IDS_REPLACED_ONE, strFind.GetString(), strReplace.GetString(), strColumn.GetString());
    else
        strMessage.Format(IDS_REPLACED_MANY, strFind.GetString(), strReplace.GetString(),
                          static_cast<unsigned long>(nCells), strColumn.GetString());
    AfxMessageBox(strMessage, MB_ICONINFORMATION | MB_OK);
}

BOOL CGroupView::HandleCellDblClick(ROWCOL nRow, ROWCOL nCol, UINT nFlags)
{
    if (nRow > 0 && nCol == kFileColumn) {
        CPageNode* pPage = nullptr;
        if (GetRowPage(nRow, pPage) == 0) {
            OnViewWebPage();
            return TRUE;
        }
    }
    return CGridViewWrapper::HandleCellDblClick(nRow, nCol, nFlags);
}

// ---- The preview of a page's changes ----

namespace {

// The rewritten copy goes however the preview ends.
class TempFileRemover {
public:
    explicit TempFileRemover(const CString& strPath) : m_strPath(strPath) {}
    ~TempFileRemover() { ::unlink(m_strPath); }
    TempFileRemover(const TempFileRemover&) = delete;
    TempFileRemover& operator=(const TempFileRemover&) = delete;

private:
    CString m_strPath;
};

void ReportTempFileError(const CString& strName)
{
    CString strFormat, strMessage;
    strFormat.LoadString(IDS_TEMP_FILE_ERROR);
    strMessage.Format(strFormat, static_cast<LPCTSTR>(strName));
    AfxMessageBox(strMessage, MB_ICONEXCLAMATION);
}

// The Preview's preparation: the page's bytes looked at, its rewrite, its readings compared and
// both texts read into the panes, each a part of one meter in the status bar. A long page takes
// a while at each: the status bar says so from the start, and between two pieces the window is
// painted and Esc heard, which stops the preparation and shows nothing.
class PreviewWork : public IRewriteWatch {
public:
    enum class Step { Look, Rewrite, Compare, CurrentText, ModifiedText };

    // bCharsetEdited: the page is given another charset, which the rewrite judges all of the page
    // for and converts it to, a part far longer than a copy.
    PreviewWork(const CString& strText, bool bCharsetEdited)
    {
        m_op.SetStatusText(strText);
        // What each part costs for a byte of the page, as measured: the look at its bytes, the
        // rewrite (a copy, or a judged and converted page), the comparison of two readings, and
        // each text read into its pane, which holds it line by line.
        const int costs[] = {1, bCharsetEdited ? 110 : 2, bCharsetEdited ? 10 : 0, 23, 23};
        int nSum = 0;
        for (const int nCost : costs)
            nSum += nCost;
        for (size_t i = 0, nSoFar = 0; i < std::size(costs); ++i) {
            m_starts[i] = static_cast<int>(nSoFar * 100 / static_cast<size_t>(nSum));
            nSoFar += static_cast<size_t>(costs[i]);
        }
        m_starts[std::size(costs)] = 100;
    }

    // The step now on: the meter goes through its part.
    void Begin(Step step)
    {
        m_step = step;
        m_nDone = m_nTotal = 0;
    }
    // Whether the preparation goes on, nDone of nTotal bytes of the step done.
    bool GoOn(ULONGLONG nDone, ULONGLONG nTotal)
    {
        if (m_bStopped)
            return false;
        const int nStep = static_cast<int>(m_step);
        const int nPart = m_starts[nStep + 1] - m_starts[nStep];
        const ULONGLONG nShare = nTotal == 0 ? 0 : std::min(nDone, nTotal) * static_cast<ULONGLONG>(nPart) / nTotal;
        return Look(m_starts[nStep] + static_cast<int>(nShare), false);
    }
    // A last look at the keys once every part is done, whenever the look before it was: an Esc
    // pressed while the last piece was read stops the preparation before the Preview shows.
    bool GoOnToShow() { return !m_bStopped && Look(100, true); }
    // The meter set, and the keys looked at: at once with bNow, else when the look is due.
    bool Look(int nPercent, bool bNow)
    {
        CGXLongOperation::SetPercentDone(nPercent);
        BOOL bCancelled = FALSE;
        if (bNow)
            m_op.DoMessagesNow(bCancelled);
        else
            m_op.DoMessages(bCancelled);
        m_bStopped = bCancelled != FALSE;
        return !m_bStopped;
    }
    bool IsStopRequested() override { return !GoOn(m_nDone, m_nTotal); }
    void OnProgress(ULONGLONG nDone, ULONGLONG nTotal) override
    {
        m_nDone = nDone;
        m_nTotal = nTotal;
    }
    bool WasStopped() const { return m_bStopped; }

private:
    CGXLongOperation m_op;
    // Where each step's part of the meter starts, in percent, and where the last ends.
    int m_starts[6] = {};
    Step m_step = Step::Look;
    ULONGLONG m_nDone = 0;
    ULONGLONG m_nTotal = 0;
    bool m_bStopped = false;
};

// How the page's bytes read otherwise under the new declaration, read a piece at a time; false
// when the user stopped the work, with errno 0, or when the page could not be read.
bool CompareReadingsOfFile(int fd, ULONGLONG nSize, const CPageCharset& before, const CPageCharset& after,
                           PreviewWork& work, ReadingChange& change)
{
    CReadingComparer comparer(before, after);
    std::string piece(1 << 20, '\0');
    ULONGLONG nRead = 0;
    for (;;) {
        if (!work.GoOn(nRead, nSize)) {
            errno = 0;
            return false;
        }
        const ssize_t n = ::pread(fd, piece.data(), piece.size(), static_cast<off_t>(nRead));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            break;
        comparer.Add(std::string_view(piece.data(), static_cast<size_t>(n)));
        nRead += static_cast<ULONGLONG>(n);
    }
    change = comparer.GetChange();
    return true;
}

// The page's file could not be opened or read.
void ReportPageFileError(int nError, const CString& strPath)
{
    CFileException error(CFileException::ErrnoToException(nError), nError, strPath);
    error.ReportError(MB_ICONEXCLAMATION);
}

// What the preview could not show, and why.
void TellPreviewRefused(const CPageNode& page, const CString& strReason)
{
    CString strMessage;
    strMessage.Format(IDS_PREVIEW_CANNOT_SHOW, page.GetSitePath().GetString(), strReason.GetString());
    AfxMessageBox(strMessage, MB_ICONEXCLAMATION);
}

} // namespace

void CGroupView::OnUpdateViewChanges(CCmdUI* pCmdUI)
{
    CPageNode* pPage = GetCurrentPage();
    pCmdUI->Enable(pPage != nullptr && pPage->GetEditState() == 2);
}

void CGroupView::OnViewChanges()
{
    FinishCellEdit();
    CPageNode* pPage = GetCurrentPage();
    if (pPage == nullptr || pPage->GetEditState() != 2)
        return;
    CString strFormat, strText;
    strFormat.LoadString(IDS_PREVIEW_PREPARING);
    strText.Format(strFormat, pPage->GetSitePath().GetString());
    TellWorkStarts(strText);
    ShowPreview(pPage, strText);
    EndWorkSaid(strText);
}

void CGroupView::ShowPreview(CPageNode* pPage, const CString& strWork)
{
    CWaitCursor wait;
    CString strPath;
    pPage->GetFullPath(strPath);

    // The page is opened as the save opens it, and shown only where the save would write: a name
    // that leads to another file now (a link put in its place, to a file outside the site, say)
    // shows nothing of that file. The left pane shows the file opened here.
    CString strFile;
    FdGuard pageFd(OpenPageFile(strPath, strFile));
    if (pageFd.Get() < 0) {
        ReportPageFileError(errno, strPath);
        return;
    }
    // A page that has become a pipe or a device is told as what it is, as the save tells it,
    // not as a file whose opening was refused.
    struct stat info {};
    if (::fstat(pageFd.Get(), &info) == 0 && !S_ISREG(info.st_mode)) {
        CString strReason;
        strReason.LoadString(IDS_PREVIEW_NOT_A_FILE);
        TellPreviewRefused(*pPage, strReason);
        return;
    }
    if (JudgePageFile(*pPage, strPath, pageFd.Get(), info) == PageFileState::LeadsElsewhere) {
        TellPreviewRefused(*pPage, LeadsElsewhereReason());
        return;
    }
    const ULONGLONG nSize = static_cast<ULONGLONG>(std::max<off_t>(info.st_size, 0));
    // The work is in the preview's hands from here: its meter and Esc. A closing that ends it
    // early (the Preview itself) closes the work first.
    bool bCharsetEdited = false;
    if (CMetaContentList* pContents = nullptr; pPage->GetContentList(pContents) == 0 && pContents != nullptr)
        for (POSITION pos = pContents->GetHeadPosition(); pos != nullptr;) {
            const CMetaContent* pContent = pContents->GetNext(pos);
            bCharsetEdited = bCharsetEdited
                || (pContent != nullptr && pContent->GetModified() && pContent->GetName().CompareNoCase("Content-Type") == 0);
        }
    std::optional<PreviewWork> work(std::in_place, strWork, bCharsetEdited);
    // A picture or an archive put in the page's place since it was edited: the save will not
    // write it, and its bytes are no text to show.
    work->Begin(PreviewWork::Step::Look);
    ULONGLONG nLooked = 0;
    bool bStopped = false;
    const CPageBytesCheck bytes = CPageBytesCheck::OfFile(pageFd.Get(), [&] {
        const bool bGoOn = work->GoOn(nLooked, nSize);
        nLooked += CPageBytesCheck::kFilePiece;
        return !bGoOn;
    }, bStopped);
    if (bStopped)
        return;
    if (bytes.GetKind() != CPageBytesCheck::Kind::Text) {
        work.reset();
        TellPreviewRefused(*pPage, bytes.GetReason());
        return;
    }
    // The page is read as the rewrite goes, never held whole.
    CFile input(pageFd.Get());
    char szFolder[PATH_MAX] = {};
    char szTemp[PATH_MAX] = {};
    const DWORD nFolder = ::GetTempPath(sizeof(szFolder), szFolder);
    if (nFolder == 0 || nFolder >= sizeof(szFolder) || ::GetTempFileName(szFolder, "VOS", 0, szTemp) == 0) {
        work.reset();
        ReportTempFileError(CString(szFolder) + "VOS");
        return;
    }
    TempFileRemover remover(szTemp);
    CFile output;
    if (!output.Open(szTemp, CFile::modeWrite | CFile::modeCreate | CFile::typeBinary)) {
        work.reset();
        ReportTempFileError(szTemp);
        return;
    }

    // The engine clears the marks of what it writes and the page's title flag: it works on
    // copies, and the page keeps its edits for Save.
    CMetaContentList edited(FALSE);
    pPage->GetModifiedContents(edited);
    CMetaContentList written;
    written.CopyFrom(edited);
    CPageNode copy;
    copy.CopyFrom(*pPage);
    HWND hOutput = nullptr;
    if (CVostrelApp* pApp = GetVostrelApp(); pApp != nullptr && pApp->GetMainFrame() != nullptr)
        hOutput = pApp->GetMainFrame()->GetOutputPane();
    std::vector<std::pair<ULONGLONG, ULONGLONG>> removed;
    PageCharsetReading onDisk, rewritten;
    CharsetChange change = CharsetChange::None;
    bool bInDoubt = false;
    // A page whose bytes read two ways takes the reading meant here: the one converting keeps,
    // the one the new declaration gives, and what was taken so far.
    bool bChoice = false;
    PageCharsetReading converted, kept;
    CharsetWay taken;
    CharsetChoices choices;
    work->Begin(PreviewWork::Step::Rewrite);
    try {
        CMetaEditEngine engine(&written, &copy, &input, &output, hOutput);
        engine.SetWatch(&*work);
        engine.Run();
        if (engine.WasStopped())
            return;
        if (engine.GetWriteFailed()) {
            work.reset();
            ReportTempFileError(szTemp);
            return;
        }
        // The save will not write such a page: the preview tells why, rather than show a page
        // that will not be. Nothing was asked to be saved, so nothing is said of saving. A page
        // whose bytes read two ways is shown both ways, for the user to tell which is meant.
        bInDoubt = engine.GetReadingsInDoubt(converted, kept);
        bChoice = engine.IsInDoubt();
        taken = engine.GetCharsetWay();
        choices = engine.GetCharsetChoices();
        // A reading taken that cannot be written (a character the new charset lacks where no
        // reference would be read) leaves the other to take.
        bInDoubt = bInDoubt || (bChoice && !engine.GetRefusal().IsEmpty());
        if (bInDoubt) {
            onDisk = converted;
            rewritten = kept;
        }
        if (!engine.GetRefusal().IsEmpty() && !bInDoubt) {
            work.reset();
            TellPreviewRefused(*pPage, engine.GetRefusalReason());
            return;
        }
        if (!bInDoubt) {
            onDisk = engine.GetPageReading();
            rewritten = engine.GetReadingAfterSave();
            change = engine.GetCharsetChange();
            for (const CMetaEditEngine::RemovedRepeat& repeat : engine.GetRemovedRepeats())
                removed.emplace_back(repeat.nFrom, repeat.nTo);
        }
    } catch (CException* e) {
        work.reset();
        e->ReportError(MB_ICONEXCLAMATION);
        e->Delete();
        return;
    }
    output.Close();

    CPreviewDlg dlg(this);
    dlg.SetFiles(strPath, szTemp);
    // The Preview that comes again after a way was taken in it stands as that one stood.
    if (std::exchange(m_pPreviewTakenPage, nullptr) == pPage)
        dlg.KeepPlace({m_nPreviewTakenLine, m_nPreviewTakenColumn, m_rectPreviewTaken, m_bPreviewTakenMaximised});
    // Bytes kept under a new declaration may read as other letters: the Preview tells how many.
    if (!bInDoubt && change == CharsetChange::Relabelled) {
        work->Begin(PreviewWork::Step::Compare);
        ReadingChange readingChange;
        if (!CompareReadingsOfFile(pageFd.Get(), nSize, onDisk.charset, rewritten.charset, *work, readingChange)) {
            if (work->WasStopped())
                return;
            work.reset();
            ReportPageFileError(errno, strPath);
            return;
        }
        dlg.SetReadingChange(readingChange);
    }
    dlg.SetRemovedTags(std::move(removed));
    if (bInDoubt)
        dlg.SetReadingsInDoubt(onDisk, rewritten);
    else
        dlg.SetCharsets(onDisk, rewritten, change);
    if (bChoice)
        dlg.SetCharsetChoice(choices, taken);
    // Both texts are read into the panes before the Preview shows, as long as the user lets.
    try {
        FdGuard rewrittenFd(::open(szTemp, O_RDONLY | O_CLOEXEC));
        if (rewrittenFd.Get() < 0)
            CFileException::ThrowErrno(errno, szTemp);
        struct stat rewrittenInfo {};
        const ULONGLONG nRewritten =
            ::fstat(rewrittenFd.Get(), &rewrittenInfo) == 0 ? static_cast<ULONGLONG>(rewrittenInfo.st_size) : nSize;
        const bool bRead = dlg.ReadTexts(pageFd.Get(), rewrittenFd.Get(), [&](int nPane, ULONGLONG nDone) {
            work->Begin(nPane == 0 ? PreviewWork::Step::CurrentText : PreviewWork::Step::ModifiedText);
            return work->GoOn(nDone, nPane == 0 || bInDoubt ? nSize : nRewritten);
        });
        if (!bRead || !work->GoOnToShow())
            return;
    } catch (CException* e) {
        work.reset();
        e->ReportError(MB_ICONEXCLAMATION);
        e->Delete();
        return;
    }
    pageFd.Close();
    work.reset();
    // The preparation is over: the status bar does not go on saying so behind the Preview.
    EndWorkSaid(strWork);
    const INT_PTR nResult = dlg.DoModal();
    // The texts of both panes, as large as the page twice, go with the dialog: what the allocator
    // keeps of them goes back to the system once the dialog is gone.
    if (CVostrelApp* pApp = GetVostrelApp(); pApp != nullptr && pApp->GetMainFrame() != nullptr)
        pApp->GetMainFrame()->PostMessage(kMsgGiveBackMemory, FALSE);
    if (CPreviewDlg::IsTakeId(nResult)) {
        m_pPreviewTakenPage = pPage;
        m_nPreviewTakenLine = dlg.GetPlaceTaken().nLine;
        m_nPreviewTakenColumn = dlg.GetPlaceTaken().nColumn;
        m_rectPreviewTaken = dlg.GetPlaceTaken().rectWindow;
        m_bPreviewTakenMaximised = dlg.GetPlaceTaken().bMaximised;
        TakeWayOfPreview(pPage, static_cast<UINT>(nResult), choices);
    }
}

void CGroupView::TakeWayOfPreview(CPageNode* pPage, UINT nButton, const CharsetChoices& choices)
{
    // The way taken, or taken back, goes with the page's edit of its Content-Type, for the bytes
    // the Preview showed; the Preview shows anew what the save will now write.
    CharsetWay way;
    switch (nButton) {
    case IDC_PREVIEW_CONVERT: way = {CharsetChoice::Convert, choices.strSource, choices.nChecksum}; break;
    case IDC_PREVIEW_CONVERT_OTHER: way = {CharsetChoice::Convert, choices.strOther, choices.nChecksum}; break;
    case IDC_PREVIEW_KEEP: way = {CharsetChoice::KeepBytes, choices.strSource, choices.nChecksum}; break;
    default: break;
    }
    CMetaContentList* pList = nullptr;
    if (pPage->GetContentList(pList) != 0)
        return;
    for (POSITION pos = pList->GetHeadPosition(); pos != nullptr;) {
        CMetaContent* pContent = pList->GetNext(pos);
        if (pContent != nullptr && pContent->GetModified() && pContent->GetName().CompareNoCase("Content-Type") == 0)
            TakeCharsetWay(pPage, *pContent, way);
    }
    PostMessage(WM_COMMAND, ID_VIEW_CHANGES);
}

// ---- Project settings ----

void CGroupView::OnUpdateProjectSettings(CCmdUI* pCmdUI)
{
    CVostrelApp* pApp = GetVostrelApp();
    pCmdUI->Enable(pApp != nullptr && pApp->GetMainFrame() != nullptr && pApp->GetMainFrame()->IsCommandEnabled(ID_PROJECT_SETTINGS));
}

void CGroupView::OnProjectSettings()
{
    CVostrelApp* pApp = GetVostrelApp();
    CProjectSettings* pSettings = nullptr;
    if (pApp == nullptr || pApp->GetProjectSettings(pSettings) != 0)
        return;
    FinishCellEdit();
    CProjSettingsSheet sheet(IDS_PROJECT_SETTINGS_TITLE, this, 0, 1);
    sheet.SetSettings(*pSettings);
    if (sheet.DoModal() != IDOK)
        return;
    CStringList oldExtensions;
    oldExtensions.AddTail(&pSettings->m_FileExtensions);
    sheet.GetSettings(*pSettings);
    pApp->SaveProjectDefaults(*pSettings);
    if (CMainFrame* pFrame = pApp->GetMainFrame())
        pFrame->AfterProjectSettings(oldExtensions);
    // Show Title and Freeze File Column shape the grid: it is loaded again with them.
    CWaitCursor wait;
    OnUpdate(nullptr, 3, reinterpret_cast<CObject*>(&pApp->GetSelectedNodes()));
}

// ---- Sorting ----

void CGroupView::OnUpdateSort(CCmdUI* pCmdUI)
{
    CGXRange range;
    pCmdUI->Enable(GetSortRange(range) == 0);
}

void CGroupView::OnSortAscending()
{
    SortByColumn(TRUE);
}

void CGroupView::OnSortDescending()
{
    SortByColumn(FALSE);
}

void CGroupView::SortByColumn(BOOL bAscending)
{
    CGXRange range;
    if (GetSortRange(range) != 0 || GetRowCount() < 2)
        return;
    CWaitCursor wait;
    // The rows move whole, the file cell with its page among them, so each row keeps its page.
    CGXSortInfoArray sortInfo;
    sortInfo.Add(CGXSortInfo(range.left, CGXSortInfo::alphanumeric,
                             bAscending ? CGXSortInfo::ascending : CGXSortInfo::descending));
    SortRows(CGXRange().SetRows(1, GetRowCount()), sortInfo);
}

// ---- Fill Down and group actions ----

UINT CGroupView::GetGroupActionSetting(CSelNodesCol& pages, CMetaSetting*& pSetting, ROWCOL& nCol, CGXRangeList* pRanges)
{
    pages.RemoveAll();
    pSetting = nullptr;
    nCol = 0;
    if (!IsIdle())
        return 3;
    CGXRangeList ranges;
    if (!GetSelectedRanges(ranges, TRUE) || ranges.IsEmpty())
        return 3;
    for (POSITION pos = ranges.GetHeadPosition(); pos != nullptr;) {
        const CGXRange* pRange = ranges.GetNextRange(pos);
        if (pRange->IsTable())
            return 3;
        if (pRange->IsRows() || pRange->left != pRange->right || (nCol != 0 && pRange->left != nCol))
            return 1;
        nCol = pRange->left;
    }
    if (nCol == 0 || nCol > GetColCount())
        return 3;
    // The pages of the covered rows in selection order, each once.
    std::set<CPageNode*> seen;
    for (POSITION pos = ranges.GetHeadPosition(); pos != nullptr;) {
        const CGXRange cells = RangeAsCells(*ranges.GetNextRange(pos));
        for (ROWCOL nRow = std::max<ROWCOL>(1, cells.top); nRow <= cells.bottom && nRow <= GetRowCount(); ++nRow) {
            CPageNode* pPage = nullptr;
            if (GetRowPage(nRow, pPage) == 0 && seen.insert(pPage).second)
                pages.AddTail(pPage);
        }
    }
    if (pRanges != nullptr) {
        pRanges->DeleteAll();
        for (POSITION pos = ranges.GetHeadPosition(); pos != nullptr;)
            pRanges->AddTail(new CGXRange(*ranges.GetNextRange(pos)));
    }
    // The Title column only while titles are shown; otherwise column 2 is a META column.
    if (IsTitleColumn(nCol))
        return 2;
    pSetting = GetColumnSetting(nCol);
    return pSetting != nullptr ? 2 : 3;
}

void CGroupView::OnUpdateFillDown(CCmdUI* pCmdUI)
{
    CSelNodesCol pages;
    CMetaSetting* pSetting = nullptr;
    ROWCOL nCol = 0;
    pCmdUI->Enable(GetGroupActionSetting(pages, pSetting, nCol) == 2);
}

void CGroupView::OnFillDown()
{
    // Going through the pages of a whole large column, and a question about its undo, come
    // before the meter shows: the status bar says what runs from the start. The fill's column
    // is the current cell's, which the selection holds.
    ROWCOL nRow = 0, nCol = 0;
    CString strFormat, strText;
    strFormat.LoadString(IDS_FILL_DOWN_RUNNING);
    strText.Format(strFormat, GetCurrentCell(nRow, nCol) ? GetStoredCellValue(0, nCol).GetString() : "");
    TellWorkStarts(strText);
    FillDown(strText);
    EndWorkSaid(strText);
}

void CGroupView::FillDown(const CString& strText)
{
    CSelNodesCol pages;
    CMetaSetting* pSetting = nullptr;
    ROWCOL nCol = 0;
    CGXRangeList ranges;
    if (GetGroupActionSetting(pages, pSetting, nCol, &ranges) != 2 || pages.IsEmpty())
        return;
    StorePendingCellEdit();
    CPageNode* pFirst = pages.GetHead();
    CString strValue;
    if (IsTitleColumn(nCol)) {
        pFirst->GetTitle(strValue);
    } else {
        CMetaContentList* pList = nullptr;
        CMetaContent* pContent = nullptr;
        // A first page without the tag has no value to give: nothing is written.
        if (pFirst->GetContentList(pList) != 0 || pList->FindByName(GetStoredCellValue(0, nCol), pContent) != 0)
            return;
        strValue = pContent->GetContent();
    }
    CWaitCursor wait;
    ScopedFlag running(m_bGroupActionRunning);
    // The stores below show their progress under this text.
    CGXLongOperation op;
    op.SetStatusText(strText);
    // One store per range, all of them one step of undo, named after the column as a store
    // into one column is: stopped by the user in any range, the ranges written go back too.
    CGXStyle value;
    value.SetValue(strValue);
    WriteMany([&] {
        CGXTransactionScope trans(*this, GetStoredCellValue(0, nCol));
        for (POSITION pos = ranges.GetHeadPosition(); pos != nullptr;) {
            CGXRange cells = RangeAsCells(*ranges.GetNextRange(pos));
            cells.top = std::max<ROWCOL>(1, cells.top);
            cells.bottom = std::min(cells.bottom, GetRowCount());
            const DWORD nStops = CGXLongOperation::GetStopCount();
            if (cells.bottom >= cells.top)
                ApplyStyleToRange(cells, &value, gxOverride, 0, nullptr, GX_INVALIDATE, gxDo);
            if (CGXLongOperation::GetStopCount() != nStops)
                return FALSE;
        }
        trans.Commit();
        return TRUE;
    });
}

// The work of a running group action.
struct CGroupView::GroupWork {
    CGXLongOperation* pOp = nullptr;
    // Each page of the action and its row.
    std::unordered_map<CPageNode*, ROWCOL> rows;
    BOOL bCancelled = FALSE;
    // The values the setting wrote, by column and row.
    std::map<std::pair<ROWCOL, ROWCOL>, CString> values;
    // What the setting says it did, when it says so.
    std::optional<GroupActionOutcome> outcome;
};

void CGroupView::NoteGroupActionOutcome(const GroupActionOutcome& outcome)
{
    if (m_pGroupWork != nullptr)
        m_pGroupWork->outcome = outcome;
}

namespace {

// "1 page" or "N pages".
CString PagesText(UINT nPages)
{
    CString strText;
    strText.Format(nPages == 1 ? "%u page" : "%u pages", nPages);
    return strText;
}

} // namespace

void CGroupView::TellGroupKeywordsOutcome(const GroupActionOutcome& outcome)
{
    CString strMessage;
    if (outcome.nChanged == 0)
        strMessage.LoadString(IDS_KEYWORDS_NONE_CHANGED);
    else
        strMessage.Format(outcome.nAction == 0 ? IDS_KEYWORDS_ADDED : IDS_KEYWORDS_REPLACED,
                          PagesText(outcome.nChanged).GetString());
    // The pages the action left as they were, each kind with its cause: a page without
    // suggestions keeps its keywords, which the user may take for a failure.
    CString strLeft;
    if (outcome.nWithout > 0)
        strLeft.Format(IDS_KEYWORDS_LEFT_WITHOUT, PagesText(outcome.nWithout).GetString());
    if (outcome.nAlready > 0) {
        CString strAlready;
        strAlready.Format(IDS_KEYWORDS_LEFT_ALREADY, PagesText(outcome.nAlready).GetString());
        strLeft += (strLeft.IsEmpty() ? "" : ", ") + strAlready;
    }
    if (!strLeft.IsEmpty()) {
        CString strFormat;
        strFormat.LoadString(IDS_KEYWORDS_LEFT);
        CString strLine;
        strLine.Format(strFormat, strLeft.GetString());
        strMessage += "\n\n" + strLine;
    }
    AfxMessageBox(strMessage, MB_ICONINFORMATION | MB_OK);
}

BOOL CGroupView::FindGroupRow(CPageNode* pPage, ROWCOL& nRow)
{
    const GroupWork& work = *m_pGroupWork;
    const auto found = work.rows.find(pPage);
    if (work.bCancelled || found == work.rows.end())
        return FALSE;
    nRow = found->second;
    return TRUE;
}

BOOL CGroupView::GoOnWithGroupAction(UINT nDone, UINT nPages)
{
    GroupWork* pWork = m_pGroupWork;
    if (pWork == nullptr || pWork->pOp == nullptr)
        return TRUE;
    // A page takes a moment: looking at the clock for each would cost more than the page.
    if (!pWork->bCancelled && nPages > 0 && (nDone & 0x3F) == 0) {
        // Going through the pages is the first part of the meter, writing the cells the rest.
        CGXLongOperation::SetPercentDone(static_cast<int>(static_cast<unsigned long long>(nDone) * kGroupReadShare / nPages));
        BOOL bCancelled = FALSE;
        pWork->pOp->DoMessages(bCancelled);
        pWork->bCancelled = bCancelled;
    }
    return !pWork->bCancelled;
}

UINT CGroupView::KeepGroupValue(ROWCOL nRow, ROWCOL nCol, const CString& strText)
{
    if (!m_pGroupWork->bCancelled)
        m_pGroupWork->values[std::make_pair(nCol, nRow)] = strText;
    return 0;
}

BOOL CGroupView::StoreGroupValues(GroupWork& work)
{
    // Each run of rows of a column is one store of one value per cell, and all of them one
    // transaction: the whole action is one step of undo and one of redo. A run is kept short
    // enough for the grid to keep its undo without asking, and for ESC to be answered between
    // two runs within a moment: the stores themselves do not stop halfway, and what they would
    // ask is not what the user is asked here.
    CGXLongOperationState& state = GXGetLongOperationState();
    struct Switches {
        CGXLongOperationState& state;
        int nMaxShownLevel = state.m_nMaxShownLevel;
        BOOL bCanCancel = state.m_bCanCancel;
        ~Switches()
        {
            CGXLongOperation::SetMaxShownLevel(nMaxShownLevel);
            CGXLongOperation::SetCanCancel(bCanCancel);
        }
    } switches{state};
    // The stores' own texts and percentages would hide the action's meter.
    CGXLongOperation::SetMaxShownLevel(CGXLongOperation::GetLevel() - 1);
    size_t nStored = 0;
    for (auto it = work.values.begin(); it != work.values.end();) {
        const ROWCOL nCol = it->first.first;
        const ROWCOL nTop = it->first.second;
        ROWCOL nBottom = nTop;
        CGXStyleArray styles;
        do {
            nBottom = it->first.second;
            auto pValue = std::make_unique<CGXStyle>();
            pValue->SetValue(it->second);
            styles.Add(pValue.release());
            ++it;
        } while (it != work.values.end() && it->first.first == nCol && it->first.second == nBottom + 1 &&
                 nBottom - nTop + 1 < kGroupStoreRows);
        CGXLongOperation::SetCanCancel(FALSE);
        ApplyStyleToRange(CGXRange(nTop, nCol, nBottom, nCol), nullptr, gxOverride, 0, &styles, GX_INVALIDATE, gxDo);
        // The meter goes on through the writing, and the window keeps painting between runs,
        // however short each run is. After the last run the user may still stop, and an ESC
        // pressed since the last look is looked for at once: nothing is kept until the
        // transaction is.
        nStored += nBottom - nTop + 1;
        if (work.pOp != nullptr) {
            CGXLongOperation::SetPercentDone(
                static_cast<int>(kGroupReadShare + nStored * (100 - kGroupReadShare) / work.values.size()));
            CGXLongOperation::SetCanCancel(TRUE);
            BOOL bCancelled = FALSE;
            if (it == work.values.end())
                work.pOp->DoMessagesNow(bCancelled);
            else
                work.pOp->DoMessages(bCancelled);
            if (bCancelled)
                return FALSE;
        }
    }
    return TRUE;
}

void CGroupView::OnGroupActions()
{
    CSelNodesCol pages;
    CMetaSetting* pSetting = nullptr;
    ROWCOL nCol = 0;
    CGXRangeList ranges;
    // A group is more than one cell, as the menu that offers the command requires.
    CString strSingle;
    if (GetSingleCellSelection(strSingle) == 2 || GetGroupActionSetting(pages, pSetting, nCol, &ranges) != 2 ||
        pSetting == nullptr || pSetting->GetGroupActionState() != 2)
        return;
    // Pages that take no edits are left out of the group; the setting changes the others.
    std::vector<CPageNode*> refused;
    CSelNodesCol taking;
    for (POSITION pos = pages.GetHeadPosition(); pos != nullptr;) {
        CPageNode* pPage = pages.GetNext(pos);
        if (pPage->IsRead())
            taking.AddTail(pPage);
        else
            refused.push_back(pPage);
    }
    pages.CopyFrom(taking);
    if (pages.IsEmpty()) {
        for (CPageNode* pPage : refused)
            NoteRefusedEdit(pPage);
        TellRefusedEdits();
        return;
    }
    StorePendingCellEdit();
    // The setting changes the pages' contents itself before it shows them: what they held
    // is kept first, so that Undo All can give it back, and so that a cancel can.
    CString strName;
    pSetting->GetName(strName);
    struct Before {
        CPageNode* pPage;
        BOOL bExisted;
        CString strText;
        UINT bModified;
        // Whether the page's tag was first remembered for this action.
        bool bFirstRemembered;
    };
    std::vector<Before> before;
    before.reserve(static_cast<size_t>(pages.GetCount()));
    const std::string strKey = CUserGridLayout::Key(strName);
    for (POSITION pos = pages.GetHeadPosition(); pos != nullptr;) {
        CPageNode* pPage = pages.GetNext(pos);
        const size_t nRemembered = m_originals.size();
        RememberOriginal(pPage, strName, FALSE);
        CMetaContentList* pList = nullptr;
        CMetaContent* pContent = nullptr;
        const BOOL bExisted = pPage->GetContentList(pList) == 0 && pList->FindByName(strName, pContent) == 0;
        before.push_back({pPage, bExisted, bExisted ? pContent->GetContent() : CString(), bExisted ? pContent->GetModified() : 0u,
                          m_originals.size() != nRemembered});
    }
    // So are the cells, so that the cells' undo gives back the old values.
    for (POSITION pos = ranges.GetHeadPosition(); pos != nullptr;)
        PrimeStoredValues(*ranges.GetNextRange(pos));

    CString strFormat, strText, strUndo;
    strFormat.LoadString(IDS_GROUP_ACTION_RUNNING);
    strText.Format(strFormat, strName.GetString());
    strFormat.LoadString(IDS_GROUP_ACTION_UNDO);
    strUndo.Format(strFormat, strName.GetString());
    // The operation ends with the action's work, before its report: the report is read with
    // "Done." below it, not a meter that offers Esc.
    std::optional<CGXLongOperation> op;
    op.emplace();
    op->SetStatusText(strText);
    GroupWork work;
    work.pOp = &*op;
    for (POSITION pos = pages.GetHeadPosition(); pos != nullptr;)
        work.rows.emplace(pages.GetNext(pos), ROWCOL(0));
    for (POSITION pos = ranges.GetHeadPosition(); pos != nullptr;) {
        const CGXRange cells = RangeAsCells(*ranges.GetNextRange(pos));
        for (ROWCOL nRow = std::max<ROWCOL>(1, cells.top); nRow <= cells.bottom && nRow <= GetRowCount(); ++nRow) {
            CPageNode* pPage = nullptr;
            if (GetRowPage(nRow, pPage) == 0)
                if (auto found = work.rows.find(pPage); found != work.rows.end() && found->second == 0)
                    found->second = nRow;
        }
    }
    {
        ScopedFlag running(m_bGroupActionRunning);
        CommandScopedCount primed(m_nPrimedBySetting);
        m_pGroupWork = &work;
        try {
            pSetting->DoGroupAction(static_cast<IGroupView*>(this), &ranges, nCol, &pages);
        } catch (...) {
            m_pGroupWork = nullptr;
            throw;
        }
        m_pGroupWork = nullptr;
        if (!work.bCancelled && !work.values.empty()) {
            // The cells taken are written in one transaction: stopped by the user, the cells
            // written go back, and the pages with them below, so that no page is left changed
            // that its cell does not show. The edit state is settled once, at the end: looked
            // for through the whole site after each run of rows, it cost the more the more runs
            // the rows fell into, as they do in a grid sorted by another column.
            CommandScopedCount writing(m_nWritingMany);
            CGXTransactionScope trans(*this, strUndo);
            if (StoreGroupValues(work)) {
                trans.Commit();
            } else {
                work.bCancelled = TRUE;
                CGXLongOperation::SetCanCancel(FALSE);
                trans.Rollback();
            }
        }
        if (work.bCancelled) {
            // The user aborted the action: every page goes back to what it held, a tag the
            // action made goes again, and no cell is written, so that no step is left either.
            CGXLongOperation::NoteTakenBack();
            for (const Before& page : before) {
                if (page.bFirstRemembered)
                    m_originals.erase(std::make_pair(page.pPage, strKey));
                CMetaContentList* pList = nullptr;
                CMetaContent* pContent = nullptr;
                if (page.pPage->GetContentList(pList) != 0 || pList->FindByName(strName, pContent) != 0)
                    continue;
                if (page.bExisted) {
                    pContent->SetContent(page.strText);
                    pContent->SetModified(page.bModified);
                } else if (POSITION pos = pList->Find(pContent)) {
                    pList->RemoveAt(pos);
                    delete pContent;
                }
            }
        }
    }
    work.pOp = nullptr;
    op.reset();
    Redraw(GX_INVALIDATE, FALSE);
    // The action's only report once its long operation has said "Done.": how many pages it
    // changed and how many it left as they were, and why.
    if (!work.bCancelled && work.outcome && pSetting->Type() == kMetaTypeKeywords)
        TellGroupKeywordsOutcome(*work.outcome);
    // Told once the action is over, not while its dialog asks what to do.
    for (CPageNode* pPage : refused)
        NoteRefusedEdit(pPage);
    UpdateEditState();
}

// ---- Mouse ----

BOOL CGroupView::OnRButtonClickedRowCol(ROWCOL nRow, ROWCOL nCol, ROWCOL nStartRow, ROWCOL nStartCol, UINT nFlags, CPoint pt,
                                        UINT nHitState)
{
    // A right-click inside the selection keeps it: the menu acts on it.
    const BOOL bInSelection = GetParam() != nullptr && (IsCurrentCell(nRow, nCol) || IsCellInRangeList(nRow, nCol, GetParam()->m_SelRects));
    if (!bInSelection)
        CGridViewWrapper::OnRButtonClickedRowCol(nRow, nCol, nStartRow, nStartCol, nFlags, pt, nHitState);
    if (!(nHitState & GX_HITEND))
        return TRUE;

    CGXRangeList ranges;
    GetSelectedRanges(ranges, TRUE);
    ROWCOL nCells = 0;
    ROWCOL nColumn = 0;
    BOOL bOneColumn = !ranges.IsEmpty();
    for (POSITION pos = ranges.GetHeadPosition(); pos != nullptr;) {
        const CGXRange* pRange = ranges.GetNextRange(pos);
        if (pRange->IsTable() || pRange->IsRows() || pRange->left != pRange->right || (nColumn != 0 && pRange->left != nColumn)) {
            bOneColumn = FALSE;
            break;
        }
        nColumn = pRange->left;
        const CGXRange cells = RangeAsCells(*pRange);
        nCells += cells.bottom >= cells.top ? cells.bottom - cells.top + 1 : 0;
    }
    UINT nMenu = 0;
    if (bOneColumn && nCells > 1) {
        CMetaSetting* pSetting = GetColumnSetting(nColumn);
        if (pSetting != nullptr && pSetting->GetGroupActionState() == 2)
            nMenu = IDR_POPUP_GROUP_ACTIONS;
    } else if (bOneColumn && nCells == 1 && nColumn == kFileColumn) {
        nMenu = IDR_POPUP_FILE_CELL;
    }
    if (nMenu == 0)
        return TRUE;
    CPoint screen(pt);
    ClientToScreen(&screen);
    CMenu menu;
    if (!menu.LoadMenu(nMenu))
        return TRUE;
    // The commands come back through the frame to this view, as the menu bar's do.
    if (CMenu* pPopup = menu.GetSubMenu(0))
        pPopup->TrackPopupMenu(0, screen.x, screen.y, GetParentFrame() != nullptr ? static_cast<CWnd*>(GetParentFrame()) : this);
    menu.DestroyMenu();
    return TRUE;
}

void CGroupView::OnClickedButtonRowCol(ROWCOL nRow, ROWCOL nCol)
{
    if (nRow == 0 || nCol <= kFileColumn || IsTitleColumn(nCol))
        return CGridViewWrapper::OnClickedButtonRowCol(nRow, nCol);
    if (!IsIdle()) {
        ::MessageBeep(0);
        return;
    }
    CMetaSetting* pSetting = GetColumnSetting(nCol);
    CPageNode* pPage = nullptr;
    if (pSetting == nullptr || GetRowPage(nRow, pPage) != 0)
        return;
    // The dialog would show, and give a value to, a page that shows nothing of its file.
    if (RefuseEditOfRow(nRow)) {
        TellRefusedEdits();
        return;
    }
    const CString strName = GetStoredCellValue(0, nCol);
    // The dialog works on the page's content itself: what it held is kept first.
    RememberOriginal(pPage, strName, FALSE);
    CMetaContentList* pList = nullptr;
    if (pPage->GetContentList(pList) != 0)
        pPage->CreateContentList(pList);
    CMetaContent* pContent = nullptr;
    if (pList->FindByName(strName, pContent) != 0)
        pList->AddContent(strName, CString(), 0, pContent);
    PrimeStoredValues(CGXRange(nRow, nCol, nRow, nCol));
    {
        CommandScopedCount primed(m_nPrimedBySetting);
        pSetting->EditValue(static_cast<IGroupView*>(this), nRow, nCol, 0, pContent);
    }
    RedrawRow(nRow);
}

// ---- Keys and the frame's edit field ----

BOOL CGroupView::RouteKeyMessage(CWnd* pSender, UINT nMessage, UINT nChar, UINT nRepCnt, UINT nFlags)
{
    ROWCOL nRow = 0, nCol = 0;
    CGXControl* pControl = GetCurrentCell(nRow, nCol) ? GetControl(nRow, nCol) : nullptr;
    const BOOL bFromControl = pSender != nullptr && pSender != this;
    // Left and Right move the caret of a cell being edited, never the current cell.
    if (nMessage == WM_KEYDOWN && (nChar == VK_LEFT || nChar == VK_RIGHT) && bFromControl && pControl != nullptr &&
        pControl->IsActive())
        return FALSE;
    // Ctrl+Space chooses the current cell's column and Shift+Space its row, as a click on the
    // header would, unless the cell is being edited, where they type a space. The space
    // character that follows them starts no edit.
    const BOOL bCtl = (::GetKeyState(VK_CONTROL) & 0x8000) != 0;
    const BOOL bShift = (::GetKeyState(VK_SHIFT) & 0x8000) != 0;
    if ((nMessage == WM_KEYDOWN || nMessage == WM_CHAR) && nChar == (nMessage == WM_KEYDOWN ? VK_SPACE : ' ') &&
        bCtl != bShift && (pControl == nullptr || !pControl->IsActive())) {
        if (nMessage == WM_KEYDOWN)
            ChooseLineOfCurrentCell(bCtl ? CGXRange().SetCols(nCol, nCol) : CGXRange().SetRows(nRow, nRow));
        return TRUE;
    }
    const BOOL bTaken = CGridViewWrapper::RouteKeyMessage(pSender, nMessage, nChar, nRepCnt, nFlags);
    // A key that moved the current cell showed the new cell's value already.
    ROWCOL nNowRow = 0, nNowCol = 0;
    const BOOL bSameCell = GetCurrentCell(nNowRow, nNowCol) && nNowRow == nRow && nNowCol == nCol;
    if (bFromControl && bSameCell && pSender->GetSafeHwnd() != nullptr) {
        CString strText;
        pSender->GetWindowText(strText);
        if (CGroupFrame* pFrame = GetGroupFrame())
            pFrame->SetStatusText(strText);
    }
    return bTaken;
}

void CGroupView::ChooseLineOfCurrentCell(const CGXRange& line)
{
    ROWCOL nRow = 0, nCol = 0;
    if (!GetCurrentCell(nRow, nCol) || nRow == 0 || nCol == 0)
        return;
    SetSelection(nullptr);
    SelectRange(line, TRUE, TRUE);
}

BOOL CGroupView::HandleKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    if (nChar == VK_ESCAPE) {
        // Escape drops the cell's edit and the selection; the cell where typing goes keeps
        // its highlight and frame.
        const BOOL bTaken = CGridViewWrapper::HandleKeyDown(nChar, nRepCnt, nFlags);
        SelectCurrentCell(CGXRange());
        return bTaken;
    }
    // Delete clears the selection like a cut: the cells keep their own colours meanwhile.
    if (nChar != VK_DELETE)
        return CGridViewWrapper::HandleKeyDown(nChar, nRepCnt, nFlags);
    // It would write into the pages a scan is filling.
    if (!IsIdle()) {
        SayInStatusBar(IDS_EDIT_WAITS_FOR_SCAN);
        return TRUE;
    }
    ScopedFlag cut(m_bCutRunning);
    return WriteMany([&] { return CGridViewWrapper::HandleKeyDown(nChar, nRepCnt, nFlags); });
}

BOOL CGroupView::SetCurrentCell(ROWCOL nRow, ROWCOL nCol, UINT nFlags)
{
    ROWCOL nOldRow = 0, nOldCol = 0;
    const BOOL bHadCell = GetCurrentCell(nOldRow, nOldCol);
    const BOOL bMoved = CGridViewWrapper::SetCurrentCell(nRow, nCol, nFlags);
    if (bMoved)
        SelectCurrentCell(bHadCell ? CGXRange(nOldRow, nOldCol, nOldRow, nOldCol) : CGXRange());
    if (bMoved && m_nLoading == 0)
        if (CGroupFrame* pFrame = GetGroupFrame())
            pFrame->SetStatusText(GetFieldText());
    return bMoved;
}

CString CGroupView::GetFieldText()
{
    ROWCOL nRow = 0, nCol = 0;
    CString strText;
    if (GetCurrentCell(nRow, nCol) && nRow > GetHeaderRows() && nCol > GetHeaderCols())
        GetCellText(nRow, nCol, strText);
    return strText;
}

void CGroupView::SelectCurrentCell(const CGXRange& oldCell)
{
    // The cell where typing goes is shown as the selection, highlighted and framed, as long as
    // the user has selected nothing else: a range being made or kept stays as it is.
    CGXGridParam* pParam = GetParam();
    ROWCOL nRow = 0, nCol = 0;
    if (pParam == nullptr || !GetCurrentCell(nRow, nCol) || nRow <= GetHeaderRows() || nCol <= GetHeaderCols())
        return;
    CGXRangeList& selection = pParam->m_SelRects;
    if (IsCellInRangeList(nRow, nCol, selection))
        return;
    if (!selection.IsEmpty()) {
        if (selection.GetCount() != 1)
            return;
        const CGXRange* pOnly = selection.GetRangeAt(selection.GetHeadPosition());
        if (pOnly == nullptr || !pOnly->IsCells() || !oldCell.IsValid() || !(*pOnly == oldCell))
            return;
    }
    if (!selection.IsEmpty())
        SetSelection(nullptr);
    const CGXRange cell(nRow, nCol, nRow, nCol);
    CGridViewWrapper::SelectRange(cell, TRUE, TRUE);
    m_currentCellSelection = cell;
}

BOOL CGroupView::IsOnlyCurrentCellSelected()
{
    const CGXGridParam* pParam = GetParam();
    if (pParam == nullptr || !m_currentCellSelection.IsValid() || pParam->m_SelRects.GetCount() != 1)
        return FALSE;
    const CGXRange* pOnly = pParam->m_SelRects.GetRangeAt(pParam->m_SelRects.GetHeadPosition());
    return pOnly != nullptr && *pOnly == m_currentCellSelection;
}

BOOL CGroupView::SelectRange(const CGXRange& range, BOOL bSelect, BOOL bUpdate, UINT nFlags, int nMode, BOOL bCreateHint)
{
    // A range selected on purpose takes the place of the current cell's own selection.
    if (bSelect && IsOnlyCurrentCellSelected()) {
        const BOOL bSame = range == m_currentCellSelection;
        m_currentCellSelection = CGXRange();
        if (bSame)
            return TRUE;
        SetSelection(nullptr);
    }
    m_currentCellSelection = CGXRange();
    return CGridViewWrapper::SelectRange(range, bSelect, bUpdate, nFlags, nMode, bCreateHint);
}

BOOL CGroupView::ActivateGrid(BOOL bActivate)
{
    if (!bActivate)
        StorePendingCellEdit();
    return CGridViewWrapper::ActivateGrid(bActivate);
}

BOOL CGroupView::CellEditDiffersFromPage()
{
    ROWCOL nRow = 0, nCol = 0;
    if (!GetCurrentCell(nRow, nCol))
        return FALSE;
    CGXControl* pControl = GetControl(nRow, nCol);
    if (pControl == nullptr || !pControl->IsInitFor(nRow, nCol) || !pControl->GetModify())
        return FALSE;
    CString strText, strPage;
    pControl->GetCurrentText(strText);
    GetPageValue(nRow, nCol, strPage);
    return strText != strPage;
}

void CGroupView::StorePendingCellEdit()
{
    if (CellEditDiffersFromPage())
        SyncCurrentCell(TRUE, GX_UPDATENOW, TRUE);
}

void CGroupView::FinishCellEdit()
{
    if (CGroupFrame* pFrame = GetGroupFrame())
        pFrame->GetEditField().CommitEdit();
    StorePendingCellEdit();
}

BOOL CGroupView::HoldsPendingEdit()
{
    CGroupFrame* pFrame = GetGroupFrame();
    return (pFrame != nullptr && pFrame->GetEditField().IsEditing()) || CellEditDiffersFromPage();
}

BOOL CGroupView::SetCellTextThroughControl(ROWCOL nRow, ROWCOL nCol, const CString& sText, UINT nFlags, const CGXStyle* pOldStyle)
{
    if (SetCellValue(nRow, nCol, sText) != 0)
        return FALSE;
    // The cell holds the text now: storing it again through the control changes nothing, and
    // its "nothing changed" must not read as a failure (Replace All counts the cells by it).
    CGridViewWrapper::SetCellTextThroughControl(nRow, nCol, sText, nFlags, pOldStyle);
    return TRUE;
}

// ---- Clipboard ----

void CGroupView::RememberSingleCell()
{
    m_bCopiedSingleCell = GetSingleCellSelection(m_strCopiedText) == 2;
    if (!m_bCopiedSingleCell)
        m_strCopiedText.Empty();
}

BOOL CGroupView::Copy()
{
    RememberSingleCell();
    const BOOL bDone = CGridViewWrapper::Copy();
    m_dwCopiedClipboard = ::GetClipboardSequenceNumber();
    return bDone;
}

BOOL CGroupView::Cut()
{
    RememberSingleCell();
    BOOL bDone = FALSE;
    {
        ScopedFlag cut(m_bCutRunning);
        bDone = WriteMany([this] { return CGridViewWrapper::Cut(); });
    }
    m_dwCopiedClipboard = ::GetClipboardSequenceNumber();
    Redraw(GX_INVALIDATE, FALSE);
    return bDone;
}

BOOL CGroupView::CutRangeList(CGXRangeList& selList, BOOL /*bStyleOnly*/)
{
    CGXRangeList values;
    for (POSITION pos = selList.GetHeadPosition(); pos != nullptr;) {
        CGXRange cells = *selList.GetNextRange(pos);
        cells.ExpandToCells(1, 1, GetRowCount(), GetColCount());
        cells.left = std::max<ROWCOL>(cells.left, kFileColumn + 1);
        if (cells.IsValid() && cells.left <= cells.right && cells.top <= cells.bottom)
            values.AddTail(new CGXRange(cells));
    }
    CGXTransactionScope trans(*this, GetAppData()->GetText(gxTextCutData));
    if (!CopyRangeList(selList) || (!values.IsEmpty() && !ClearRangeList(values, FALSE)))
        return FALSE; // the guard rolls back what was cleared
    trans.Commit();
    return TRUE;
}

BOOL CGroupView::Paste()
{
    if (!IsIdle())
        return FALSE;
    // Over a large column the pages are gone through, and the paste may ask about its undo,
    // before its meter shows.
    const CString strPasting = GetAppData()->GetText(gxTextPastingData);
    TellWorkStarts(strPasting);
    const BOOL bFileColumn = SelectionTakesInFileColumn();
    // The remembered cell only while the clipboard still holds what this view put there:
    // text another program copied since is what the user means to paste.
    BOOL bDone = FALSE;
    m_nPasteCellsLeftOut = 0;
    CString strValue;
    if (m_bCopiedSingleCell && ::GetClipboardSequenceNumber() == m_dwCopiedClipboard) {
        CWaitCursor wait;
        bDone = WriteMany([this] { return PasteValueIntoSelection(m_strCopiedText) == 0; });
    } else if (GetClipboardSingleValue(strValue)) {
        // One value fills every chosen cell whichever program copied it.
        CWaitCursor wait;
        bDone = WriteMany([&] { return PasteValueIntoSelection(strValue) == 0; });
    } else {
        bDone = WriteMany([this] { return CGridViewWrapper::Paste(); });
    }
    EndWorkSaid(strPasting);
    // What the paste could not give the grid is told, not only left out.
    CString strSaid;
    if (bFileColumn)
        strSaid.LoadString(IDS_PASTE_NO_PAGE_NAMES);
    if (m_nPasteCellsLeftOut > 0) {
        CString strLeftOut;
        if (m_nPasteCellsLeftOut == 1)
            strLeftOut.LoadString(IDS_PASTE_LEFT_OUT_ONE);
        else
            strLeftOut.Format(IDS_PASTE_LEFT_OUT_MANY, m_nPasteCellsLeftOut);
        strSaid += (strSaid.IsEmpty() ? "" : " ") + strLeftOut;
    }
    if (const CString strRefused = TakeRefusedEditsText(); !strRefused.IsEmpty())
        strSaid += (strSaid.IsEmpty() ? "" : " ") + strRefused;
    if (!strSaid.IsEmpty())
        SayInStatusBar(strSaid);
    return bDone;
}

BOOL CGroupView::GetClipboardSingleValue(CString& strValue)
{
    ROWCOL nRow = 0, nCol = 0;
    CGXControl* pControl = GetCurrentCell(nRow, nCol) ? GetControl(nRow, nCol) : nullptr;
    if (pControl != nullptr && pControl->IsActive())
        return FALSE;
    if (!::OpenClipboard(GetSafeHwnd()))
        return FALSE;
    BOOL bSingle = FALSE;
    HANDLE hText = ::IsClipboardFormatAvailable(CF_TEXT) ? ::GetClipboardData(CF_TEXT) : ::GetClipboardData(CF_OEMTEXT);
    if (const char* pText = hText != nullptr ? static_cast<const char*>(::GlobalLock(hText)) : nullptr) {
        const size_t nSize = ::GlobalSize(hText);
        ROWCOL nRows = 0, nCols = 0;
        if (CountTextBufferCells(pText, nSize, nRows, nCols) && nRows == 1 && nCols == 1) {
            // The value ends where its line does.
            const char* pEnd = pText;
            while (static_cast<size_t>(pEnd - pText) < nSize && *pEnd != '\0' && *pEnd != '\r' && *pEnd != '\n')
                ++pEnd;
            strValue = CString(pText, static_cast<int>(pEnd - pText));
            bSingle = TRUE;
        }
        ::GlobalUnlock(hText);
    }
    ::CloseClipboard();
    return bSingle;
}

BOOL CGroupView::SelectionTakesInFileColumn()
{
    CGXRangeList ranges;
    if (!GetSelectedRanges(ranges, TRUE))
        return FALSE;
    for (POSITION pos = ranges.GetHeadPosition(); pos != nullptr;) {
        CGXRange cells = *ranges.GetNextRange(pos);
        cells.ExpandToCells(1, 1, GetRowCount(), GetColCount());
        if (cells.IsValid() && cells.left <= kFileColumn && cells.right >= kFileColumn && cells.bottom >= 1)
            return TRUE;
    }
    return FALSE;
}

void CGroupView::SayInStatusBar(UINT nID)
{
    CString strText;
    strText.LoadString(nID);
    SayInStatusBar(strText);
}

void CGroupView::SayInStatusBar(const CString& strText)
{
    CVostrelApp* pApp = GetVostrelApp();
    if (CMainFrame* pFrame = pApp != nullptr ? pApp->GetMainFrame() : nullptr)
        pFrame->SayInStatusBar(strText);
    else
        ::MessageBeep(MB_ICONEXCLAMATION);
}

void CGroupView::TellInStatusBar(const CString& strText)
{
    CVostrelApp* pApp = GetVostrelApp();
    if (CMainFrame* pFrame = pApp != nullptr ? pApp->GetMainFrame() : nullptr)
        pFrame->TellInStatusBar(strText);
}

void CGroupView::TellWorkStarts(const CString& strText)
{
    CVostrelApp* pApp = GetVostrelApp();
    CMainFrame* pFrame = pApp != nullptr ? pApp->GetMainFrame() : nullptr;
    if (pFrame == nullptr)
        return;
    pFrame->TellInStatusBar(strText);
    // Painted now: the work holds the program's loop until it looks at the keys.
    if (pFrame->GetStatusBar().GetSafeHwnd() != nullptr)
        pFrame->GetStatusBar().UpdateWindow();
}

void CGroupView::EndWorkSaid(const CString& strText)
{
    CVostrelApp* pApp = GetVostrelApp();
    CMainFrame* pFrame = pApp != nullptr ? pApp->GetMainFrame() : nullptr;
    if (pFrame != nullptr && pFrame->GetStatusBar().GetSafeHwnd() != nullptr && pFrame->GetStatusBar().GetPaneText(0) == strText)
        EndSaidInStatusBar();
}

void CGroupView::EndSaidInStatusBar()
{
    CVostrelApp* pApp = GetVostrelApp();
    if (CMainFrame* pFrame = pApp != nullptr ? pApp->GetMainFrame() : nullptr)
        pFrame->EndSaidInStatusBar();
}

void CGroupView::OnUpdateEditCut(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(IsIdle() && CanCut());
}

void CGroupView::OnUpdateEditPaste(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(IsIdle() && CanPaste());
}

namespace {
// The frame's field while text typed there waits to be committed: Undo and Redo are then its,
// as they are the cell editor's while it is open.
CShortcutEditCtrl* TypingField(CGroupFrame* pFrame)
{
    return pFrame != nullptr && pFrame->GetEditField().IsEditing() ? &pFrame->GetEditField() : nullptr;
}
} // namespace

void CGroupView::OnEditUndo()
{
    if (!IsIdle())
        return;
    if (CShortcutEditCtrl* pField = TypingField(GetGroupFrame()))
        pField->UndoTyping(gxUndo);
    else
        UndoCommand(gxUndo);
}

void CGroupView::OnEditRedo()
{
    if (!IsIdle())
        return;
    if (CShortcutEditCtrl* pField = TypingField(GetGroupFrame()))
        pField->UndoTyping(gxRedo);
    else
        UndoCommand(gxRedo);
}

void CGroupView::OnUpdateEditUndo(CCmdUI* pCmdUI)
{
    // The item keeps naming what it would undo; only its state follows the scan.
    if (CShortcutEditCtrl* pField = TypingField(GetGroupFrame()))
        UpdateTypingUndoItem(gxUndo, pField->CanUndoTyping(gxUndo), pCmdUI);
    else
        UpdateUndoCommand(gxUndo, pCmdUI);
    if (!IsIdle())
        pCmdUI->Enable(FALSE);
}

void CGroupView::OnUpdateEditRedo(CCmdUI* pCmdUI)
{
    if (CShortcutEditCtrl* pField = TypingField(GetGroupFrame()))
        UpdateTypingUndoItem(gxRedo, pField->CanUndoTyping(gxRedo), pCmdUI);
    else
        UpdateUndoCommand(gxRedo, pCmdUI);
    if (!IsIdle())
        pCmdUI->Enable(FALSE);
}

BOOL CGroupView::CanClearSelectedCells()
{
    // The Delete key's own rule: not while a cell's editor is open (the key then deletes
    // text there), and only what the grid and the current cell's kind allow to be cleared.
    ROWCOL nRow = 0, nCol = 0;
    CGXControl* pControl = GetCurrentCell(nRow, nCol) ? GetControl(nRow, nCol) : nullptr;
    return IsIdle() && (pControl == nullptr || (!pControl->IsActive() && pControl->CanClear())) && CanClear();
}

void CGroupView::OnUpdateEditDelete(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(CanClearSelectedCells());
}

void CGroupView::OnEditDelete()
{
    if (!CanClearSelectedCells())
        return;
    // As the key does it: the cleared cells keep their own colours meanwhile, and the grid's
    // Clear is one transaction, so one Undo gives every cell back.
    ScopedFlag cut(m_bCutRunning);
    WriteMany([this] { return Clear(FALSE); });
}
