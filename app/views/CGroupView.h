// CGroupView: the project's grid: one row per page of the current selection, one column per
// shown META setting, plus the page's file and, with the project's Show Title, its title. The
// grid keeps no values of its own: cells are read from the pages and written back to them,
// and each column's setting decides how its cells look and edit.
#pragma once

#include "app/launch/CEditorLauncher.h"
#include "app/views/CGridViewWrapper.h"
#include "app/views/CGroupHistory.h"
#include "app/views/CSettingColumns.h"
#include "app/views/CUserGridLayout.h"
#include "grid/data/CGXRange.h"
#include "platform/core/CString.h"

#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

class CGroupFrame;
class CMainFrame;
class CMetaContentList;
class CMetaSetting;
class CMetaSettingList;
class CPageNode;
class CSelNodesCol;
class CGXCommand;
class CGXRangeList;
struct CharsetChoices;

class CGroupView : public CGridViewWrapper, public IGroupView {
    DECLARE_DYNCREATE(CGroupView)
public:
    CGroupView();
    ~CGroupView() override;

    // The file column and the first META column.
    static constexpr ROWCOL kFileColumn = 1;
    static constexpr ROWCOL kTitleColumn = 2;
    // The file column's and the grid's background.
    static constexpr COLORREF kInteriorColor = 0xF0FBFF;
    static constexpr COLORREF kDirtyTextColor = 0x0000FF;
    static constexpr COLORREF kNotScannedTextColor = 0x808080;

    // ---- The view ----
    void OnInitialUpdate() override;
    void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) override;
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;

    // ---- Rows ----
    // Rebuilds the grid from the pages. The edits' undo history stays: its steps go on undoing
    // and redoing the edits in the pages they were made in, whatever rows show now.
    virtual void LoadPages(CSelNodesCol& pages);
    // Redraws the page's row; 1 when no row shows it.
    virtual UINT RefreshPageRow(CPageNode* pPage);
    // The pages in the order their rows stand in now, those without a row after them.
    void RowsInShownOrder(const CSelNodesCol& pages, CSelNodesCol& ordered);
    // The columns of the settings a scan has shown since the last batch are added now, fitted
    // to their headers and painted together.
    void ShowPendingColumns();
    // How long the columns of new settings gather before they are added.
    static constexpr UINT kColumnBatchMs = 200;
    // No row refers to a page any more (the pages are about to be deleted).
    virtual void DetachPages();
    // 0 and the row's page, 1 when the row has none.
    UINT GetRowPage(ROWCOL nRow, CPageNode*& pPage);
    UINT SetUpColumns(CMetaSettingList& list);

    // ---- IGroupView ----
    UINT SetCellValue(ROWCOL nRow, ROWCOL nCol, const CString& strText) override;
    UINT FindRowOfPage(const CGXRangeList* pRanges, CPageNode* pPage, ROWCOL& nRow) override;
    void NoteGroupActionOutcome(const GroupActionOutcome& outcome) override;
    BOOL GoOnWithGroupAction(UINT nDone, UINT nPages) override;
    // The cell kinds, as the view's base gives them.
    UINT SetEditCell(ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight) override;
    UINT SetScrollEditCell(ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight) override;
    UINT SetDropDownListCell(ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight,
                             const CStringList& options) override;
    UINT SetComboBoxCell(ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight,
                         const CStringList& options) override;
    UINT SetHotspotCell(ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight) override;
    UINT SetCheckboxCell(ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight) override;
    UINT GetCellText(ROWCOL nRow, ROWCOL nCol, CString& strText) override;
    ROWCOL GetRowCount() override { return CGXGridCore::GetRowCount(); }

    // ---- Reading and storing cells ----
    BOOL ReadCellStyle(ROWCOL nRow, ROWCOL nCol, CGXStyle& style, int nModify, int nType) override;
    void ComposeCellStyle(ROWCOL nRow, ROWCOL nCol, CGXStyle& style, BOOL bApplyStandard = TRUE) override;
    BOOL StoreCellStyle(ROWCOL nRow, ROWCOL nCol, const CGXStyle* pStyle, int nModify, int nType) override;
    BOOL ApplyStyleToRange(const CGXRange& range, const CGXStyle* pStyle, int nModify, int nType,
                           const CObArray* pCellsArray, UINT nFlags, int nMode) override;
    // Columns moved by the user no longer stand where the view's record of them says.
    BOOL StoreMoveCols(ROWCOL nFromCol, ROWCOL nToCol, ROWCOL nDestCol, BOOL bProcessed = FALSE) override;
    BOOL StoreMoveDataCols(const CGXRange& range, const CDWordArray& order) override;
    // What the user does to the columns' order and the rows' order is kept for the next time
    // the grid is filled: a move of META columns, a sort of all the rows by one column.
    BOOL MoveCols(ROWCOL nFromCol, ROWCOL nToCol, ROWCOL nDestCol, UINT nFlags = GX_UPDATENOW, int nMode = 0) override;
    BOOL CanDragSelectedCols(ROWCOL nFirst, ROWCOL nLast) override;
    BOOL CanDropSelectedCols(ROWCOL nFirst, ROWCOL nLast, ROWCOL nDest) override;
    void SortRows(CGXRange sortRange, const CObArray& sortInfo, UINT nFlags = GX_UPDATENOW) override;
    BOOL StoreMoveDataRows(const CGXRange& range, const CDWordArray& order) override;
    BOOL StoreMoveRows(ROWCOL nFromRow, ROWCOL nToRow, ROWCOL nDestRow, BOOL bProcessed = FALSE) override;
    // The rows are sorted again as the user last sorted them, the current cell kept on its
    // page: after a scan has read the pages' values.
    void ApplyUserSort();
    // Editing starts only while the program is idle; a cell left after an edit writes its text
    // into the page as a typed value.
    BOOL OnStartEditing(ROWCOL nRow, ROWCOL nCol) override;
    BOOL OnValidateCell(ROWCOL nRow, ROWCOL nCol) override;
    // While the program is idle a cell's button opens its setting's value dialog.
    void OnClickedButtonRowCol(ROWCOL nRow, ROWCOL nCol) override;
    // A double-click on a file cell opens the page in the browser.
    BOOL HandleCellDblClick(ROWCOL nRow, ROWCOL nCol, UINT nFlags) override;
    // Find and Replace found nothing: said, with the column searched, not only beeped.
    void Beep(LPCTSTR pszFind) override;
    // Replace All changed cells: said, with how many, in which column.
    void ReplacedAll(LPCTSTR pszFind, LPCTSTR pszReplace, DWORD nCells) override;
    // Replace All, Undo and Redo write many cells: the edit state is settled once, at their end.
    BOOL ReplaceAll(LPCTSTR pszFind, LPCTSTR pszReplace, BOOL bCase) override;
    // Undo and Redo show what they change before they change it: the folder of its pages loaded
    // as if the user picked it, its column shown, its cell made current; the status bar names
    // the step. A step whose cells cannot be shown is not carried out, and the status bar says so.
    BOOL Undo() override;
    BOOL Redo() override;
    // A step's cell made current shows: its column or row, hidden since, is shown again.
    void ShowCommandPosition(ROWCOL nRow, ROWCOL nCol, BOOL bSetCurrent) override;
    // The rows of these pages take their order (an undone or redone sort recorded over other
    // rows); the other rows stay where they are, the current cell on its page.
    void FollowRowOrder(const std::vector<CPageNode*>& order);

    // ---- Printing ----
    // The printed grid uses the page's width (its columns widened alike when they leave room),
    // each page is headed by the project's name and closed by its number, and the print job is
    // named after the project.
    void OnPrint(CDC* pDC, CPrintInfo* pInfo) override;
    void OnEndPrinting(CDC* pDC, CPrintInfo* pInfo) override;
    int GetColWidth(ROWCOL nCol) override;
    CString GetPrintJobTitle() override;
    // The project's name: its file's name without the extension, else its folder's name.
    static CString GetProjectName();
    // Menu 154 over several cells of a group-action column, 185 over one file cell.
    BOOL OnRButtonClickedRowCol(ROWCOL nRow, ROWCOL nCol, ROWCOL nStartRow, ROWCOL nStartCol, UINT nFlags, CPoint pt,
                                UINT nHitState) override;
    // The frame's edit field follows the current cell and the text typed into it.
    BOOL RouteKeyMessage(CWnd* pSender, UINT nMessage, UINT nChar, UINT nRepCnt, UINT nFlags) override;
    BOOL SetCurrentCell(ROWCOL nRow, ROWCOL nCol, UINT nFlags = GX_UPDATENOW) override;
    BOOL HandleKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags) override;
    BOOL SelectRange(const CGXRange& range, BOOL bSelect = TRUE, BOOL bUpdate = TRUE, UINT nFlags = 0, int nMode = 0,
                     BOOL bCreateHint = TRUE) override;
    BOOL ActivateGrid(BOOL bActivate) override;
    BOOL SetCellTextThroughControl(ROWCOL nRow, ROWCOL nCol, const CString& sText, UINT nFlags,
                                   const CGXStyle* pOldStyle) override;
    // Copy and Cut remember a single copied cell's text; Paste gives it to every selected cell
    // while the clipboard still holds what was copied.
    BOOL Copy() override;
    BOOL Cut() override;
    // A paste that leaves cells out (past the last page or column, or in the file column) says
    // so in the status bar.
    BOOL Paste() override;
    // A cell's style is its column's kind of cell and its value its page's: a cut empties the
    // values it copied, through the pages, and leaves the styles; the file column's cells are
    // the rows' pages and stay as they are. One step of undo.
    BOOL CutRangeList(CGXRangeList& selList, BOOL bStyleOnly) override;
    // Selected cells already carry the highlight colours: nothing is inverted over them.
    void DrawSelectedCell(CDC* pDC, ROWCOL nRow, ROWCOL nCol, const CRect& rect) override;
    // The current cell's frame is thick while the grid (or its cell's editor) holds the keys
    // and thin and grey while they are elsewhere, and is drawn again as they come and go.
    void DrawCurrentCellFrame(CDC* pDC, ROWCOL nRow, ROWCOL nCol, const CRect& rect) override;
    BOOL HandleSetFocus(CWnd* pOldWnd) override;
    BOOL HandleKillFocus(CWnd* pNewWnd) override;
    BOOL HoldsKeys() const;
    // Writes a text into the row's page: the Title column the title, a META column the content
    // named by the column's header; the file column refuses (1).
    // Load stores what the page holds, unmarked; Edit marks the page; Restore (undo and redo)
    // gives back the mark the page had when the value is the one it had before its first edit.
    enum class PageWrite { Load, Edit, Restore };
    UINT SetPageValue(ROWCOL nRow, ROWCOL nCol, const CString& strText, PageWrite how);
    // An undo or redo step recorded over other rows gives a page back a value: the title, or
    // the content of the tag.
    void RestorePageValue(CPageNode* pPage, const CString& strTag, BOOL bTitle, const CString& strText);
    // The rows of pages such steps changed are drawn again, and the edit state follows.
    void ShowRestoredPages(const std::vector<CPageNode*>& pages);
    // ---- Pages that take no edits ----
    // Whether the row's page takes edits: not when the last scan did not read it, or could
    // not (a row without a page is not refused here).
    BOOL RowTakesEdits(ROWCOL nRow);
    // TRUE when the row's page takes no edits: the refusal is noted, to be told with the
    // others of the same command.
    BOOL RefuseEditOfRow(ROWCOL nRow);
    // Notes a page's refused edit. However many cells a command tried to change, its refusals
    // are told once, in the status bar with a beep, when the command is over.
    void NoteRefusedEdit(CPageNode* pPage);
    // Tells the refusals noted so far, now; FALSE when there were none.
    BOOL TellRefusedEdits();
    // A value is typed into in the cell or in the field above the grid, which lay the whole
    // text out again at every key: a value of more characters than this takes no typed edit.
    // Replace All and Paste still change it whole; what is typed or pasted while a
    // cell is edited is never cut.
    static constexpr size_t kMaxTypedValue = 32767;
    // Whether the cell's value is too long to be typed into.
    BOOL IsTooLongToType(ROWCOL nRow, ROWCOL nCol);
    // TRUE when the cell's value is too long to be typed into; says so in the status bar.
    BOOL RefuseTypingOver(ROWCOL nRow, ROWCOL nCol);
    // The text that tells the refusals noted so far, with their causes, which are then
    // forgotten; empty when there were none.
    CString TakeRefusedEditsText();

    // The cell that shows a page's title or tag; FALSE when no row or column shows it.
    BOOL FindPageCell(CPageNode* pPage, const CString& strTag, BOOL bTitle, ROWCOL& nRow, ROWCOL& nCol);
    // The page's text for a cell: its path or name, its title, or its META content.
    UINT GetPageValue(ROWCOL nRow, ROWCOL nCol, CString& strText);

    // ---- Edits ----
    // Stores what the frame's edit field and the current cell's editor hold, so that Save,
    // Close and Start Scan miss nothing.
    void FinishCellEdit();
    // Whether the frame's edit field or the current cell's editor holds text typed and not
    // stored yet that would change its page: what FinishCellEdit would store.
    BOOL HoldsPendingEdit();
    // Undoes every change of the grid and gives each page the marks it had before.
    void UndoAll();
    // The edits were written to the pages' files: undo cannot take them back from there, so
    // the history ends here, and what the pages held before is forgotten.
    void EndHistoryAtSave();
    // An edit went on without undo, as the user agreed: the steps before it go, and once the
    // edit has written its pages, so does what they held before their first edit, which Undo
    // All would give back over it.
    void EndUndoHistory() override;
    // The window closes: its history goes to the program, kept with the edits for the grid
    // that shows the pages next.
    BOOL HandleDestroy() override;
    // The program that shows a page's source.
    CEditorLauncher& GetEditorLauncher() { return m_editorLauncher; }

    // What the frame's edit field shows: the current cell's text; nothing while a header is
    // current (a click on it chooses its column), since a header holds no page's value.
    CString GetFieldText();
    // The cell whose text the frame's edit field holds until it is committed: that cell shows
    // the typed text instead of its page's value. 0, 0 for none.
    void SetFieldCell(ROWCOL nRow, ROWCOL nCol)
    {
        m_nFieldRow = nRow;
        m_nFieldCol = nCol;
    }

    // ---- Flags ----
    void SetFullPath(BOOL bFullPath) { m_bFullPath = bFullPath; }
    BOOL GetFullPath() const { return m_bFullPath; }
    BOOL GetShowTitle() const { return m_bShowTitle; }
    // The setting shown in a META column (null for the file and Title columns).
    CMetaSetting* GetColumnSetting(ROWCOL nCol);
    // 1 when the column is the Title column of a view that shows titles.
    BOOL IsTitleColumn(ROWCOL nCol) const { return m_bShowTitle && nCol == kTitleColumn; }
    // The first META column.
    ROWCOL FirstSettingColumn() const { return m_bShowTitle ? kTitleColumn + 1 : kFileColumn + 1; }
    // How many page values the view remembers from before their first edit.
    size_t GetRememberedEditCount() const { return m_originals.size(); }
    // The page's tag takes back what it held before its first edit since the rows were loaded,
    // its mark with it (a tag the edit made goes again); FALSE when the view remembers no edit
    // of it.
    BOOL GiveBackOriginal(CPageNode* pPage, const CString& strTag);
    // The way the user took in the Preview for the page's edited value of the tag: the value
    // keeps it, and takes it again whenever an undo, a redo or typing gives the value back.
    void TakeCharsetWay(CPageNode* pPage, CMetaContent& content, const CharsetWay& way);
    // The way the Preview's button took for the page (none for the one that takes it back),
    // given to its edited Content-Type; the Preview then comes again.
    // Prepares the Preview of the page's changes, its work told by the text, and shows it.
    void ShowPreview(CPageNode* pPage, const CString& strWork);
    void TakeWayOfPreview(CPageNode* pPage, UINT nButton, const CharsetChoices& choices);

protected:
    // Group and value operations of the commands.
    // 2 with the selected rows' pages, the column's setting (none for Title) and the column;
    // 1 when the selection spans columns; 3 when not idle, the whole table or no setting.
    UINT GetGroupActionSetting(CSelNodesCol& pages, CMetaSetting*& pSetting, ROWCOL& nCol, CGXRangeList* pRanges = nullptr);
    // The page of the current cell's row, or null.
    CPageNode* GetCurrentPage();
    // The main frame, with the full path of the current row's page, when that page can be opened.
    CMainFrame* GetCurrentPageToOpen(CString& strPath);
    void SortByColumn(BOOL bAscending);
    // Ctrl+Space and Shift+Space: the whole column or row of the current cell becomes the
    // selection, as its header's click makes it.
    void ChooseLineOfCurrentCell(const CGXRange& line);
    // A pending edit of the current cell that differs from its page goes into the page.
    void StorePendingCellEdit();
    // Whether the current cell's editor holds typed text that differs from its page.
    BOOL CellEditDiffersFromPage();
    void RememberSingleCell();
    // The clipboard's text when it is one value (no separator, no line break but a last one),
    // wherever it was copied; FALSE for cells of several, for no text, or while the current
    // cell's editor is open, which takes a paste into its own text.
    BOOL GetClipboardSingleValue(CString& strValue);
    // Selects the current cell alone while the selection is empty or is the cell it left.
    void SelectCurrentCell(const CGXRange& oldCell);
    BOOL IsOnlyCurrentCellSelected();
    // Whether a selected range, or the current cell, lies in the file column.
    BOOL SelectionTakesInFileColumn();
    // Tells the user in the main window's status bar, with a beep.
    void SayInStatusBar(UINT nID);
    void SayInStatusBar(const CString& strText);
    // Tells it without the beep.
    void TellInStatusBar(const CString& strText);
    // Tells what work starts now, shown at once: work that may be long before its meter shows
    // (a folder loaded, the pages of a whole column gone through) says so from its start.
    void TellWorkStarts(const CString& strText);
    // The work told is over: its text goes, unless its meter's "Done." took its place.
    void EndWorkSaid(const CString& strText);
    // An edit begins: what the status bar was told goes.
    void EndSaidInStatusBar();

    void OnZoomIn();
    void OnZoomOut();
    void OnZoom100();
    void OnUpdateAlways(CCmdUI* pCmdUI);
    void OnUpdateIdle(CCmdUI* pCmdUI);
    void OnUndoAll();
    void OnUpdateUndoAll(CCmdUI* pCmdUI);
    void OnViewWebPage();
    void OnViewHtmlSource();
    void OnUpdateViewPage(CCmdUI* pCmdUI);
    void OnSortAscending();
    void OnSortDescending();
    void OnUpdateSort(CCmdUI* pCmdUI);
    void OnFillDown();
    // Fill Down's work, its long operation showing the text.
    void FillDown(const CString& strText);
    void OnUpdateFillDown(CCmdUI* pCmdUI);
    void OnGroupActions();
    void OnViewChanges();
    void OnProjectSettings();
    void OnUpdateProjectSettings(CCmdUI* pCmdUI);
    void OnUpdateViewChanges(CCmdUI* pCmdUI);
    void OnUpdateEditCut(CCmdUI* pCmdUI);
    void OnUpdateEditPaste(CCmdUI* pCmdUI);
    // Undo and Redo would write into the pages a scan is filling: only while idle.
    void OnEditUndo();
    void OnEditRedo();
    void OnUpdateEditUndo(CCmdUI* pCmdUI);
    void OnUpdateEditRedo(CCmdUI* pCmdUI);
    // Edit > Delete: what the Delete key does on the grid, the selected cells cleared as one
    // step of undo; enabled while that can be done.
    void OnEditDelete();
    void OnUpdateEditDelete(CCmdUI* pCmdUI);
    BOOL CanClearSelectedCells();
    void SetFileCellKind(ROWCOL nRow, CGXStyle& style, CPageNode* pPage);
    // Where a setting just shown gets its column, and the settings' column numbers after it.
    ROWCOL ColumnForNewSetting(CMetaSettingList& list, CMetaSetting* pSetting);
    void NumberSettingColumns(CMetaSettingList& list);
    // Adds the column of a setting a scan has just shown.
    void AddSettingColumn(CMetaSettingList& list, CMetaSetting* pSetting);
    // The column of a setting a scan has just shown goes into the next batch of new columns,
    // added within kColumnBatchMs; at once when the columns' record cannot place it.
    void QueueSettingColumn(CMetaSettingList& list, CMetaSetting* pSetting);
    void StopColumnBatch();
    static void CALLBACK OnColumnBatchTimer(HWND, UINT, UINT_PTR nTimer, DWORD);
    static std::map<UINT_PTR, CGroupView*>& BatchingViews();
    // While a scan runs, the catalogue only grows at its end and the columns only by the
    // settings it shows: the columns' record can be trusted.
    BOOL TrustsColumnRecord();
    void WidenFileColumns();
    void RedrawCurrentCellFrame();
    // The columns' widths are noted by their headers before the grid is filled again, and
    // given back to the columns of those headers after.
    void NoteColumnWidths();
    void ApplyUserWidths();
    // Where the columns of settings just shown go among columns the user has moved.
    std::vector<ROWCOL> PlaceAmongMovedColumns(CMetaSettingList& list, std::vector<CSettingColumns::Added>& batch);
    // The page's values are overlaid on the stored style of a page cell.
    void ApplyPageValues(ROWCOL nRow, ROWCOL nCol, CGXStyle& style);
    // Whether a cell shows the selection's highlight: selected on the screen; a printout shows
    // every cell as it is.
    BOOL ShowsHighlight(ROWCOL nRow, ROWCOL nCol);
    // Before the cells' values change, each cell remembers the page's value as its stored one,
    // so that an undo gives the page that value back.
    void PrimeStoredValues(const CGXRange& cells);
    // After a store the user stopped part-way, the pages of the cells it reached take the
    // values those cells show; the other cells hold their pages' values already.
    void TakeStoredValues(const CGXRange& cells, PageWrite how);
    // Calls take(row, column, page's value, stored style or null) for each page cell of the
    // range whose stored value is not its page's.
    template <class Take>
    void ForEachUnlikeCell(const CGXRange& range, Take take);
    void RememberOriginal(CPageNode* pPage, const CString& strKey, BOOL bTitle);
    // Whether the page holds the text as its title or as the tag's content (a tag it lacks
    // holds the empty text).
    static BOOL PageHolds(CPageNode* pPage, const CString& strName, BOOL bTitle, const CString& strText);
    // Whether writing the text into the cell would change no value of its page.
    BOOL HoldsValue(ROWCOL nRow, ROWCOL nCol, const CString& strText);
    UINT WritePageValue(CPageNode* pPage, const CString& strName, BOOL bTitle, const CString& strText, PageWrite how);
    // Before the grid is loaded with other rows, the undo and redo steps taken over the rows it
    // shows now are kept as steps over a copy of them.
    void KeepHistoryOverReload();
    // The pages are read again in place of their edits: no undo or redo step writes into them
    // any more, a step that changed nothing else goes, and what they held before their first
    // edit is forgotten. The other pages' steps stay.
    void ForgetEditsOf(CSelNodesCol& pages);
    void RestoreOriginals();
    // The application's edit state follows whether any page still has edits. A page just
    // written that holds an edit settles it at once; otherwise the site's pages are looked
    // through, once at the end of a command that writes many cells (Undo, Redo, Replace All,
    // Paste, Cut, Delete, Fill Down): looking through them for each cell made such a command
    // cost the more, the further down its cells lay, and a paste of a whole large column
    // would never end.
    void UpdateEditState(const CPageNode* pWritten = nullptr);
    template <class Command>
    BOOL WriteMany(Command command)
    {
        BOOL bDone = FALSE;
        {
            struct Writing {
                int& nCount;
                ~Writing() { --nCount; }
            } writing{++m_nWritingMany};
            bDone = command();
        }
        UpdateEditState();
        return bDone;
    }
    void EmptyUndoLists();
    // Undo (gxUndo) or Redo (gxRedo) of the step at the head of its list, brought into sight
    // first and named in the status bar.
    BOOL ReplayInSight(int nMode);
    // Replays the step at the head of its list, the user's sort following the rows: a sort
    // undone or redone stands again as it stood, whatever fills the grid next.
    template <typename Command>
    BOOL ReplayKeepingSort(int nMode, Command replay);
    // The command of a step that moves the rows (within a step kept over earlier rows); null for
    // any other step.
    static const CObject* RowOrderKey(const CObject* pStep);
    // Notes the sort there was before the step the list's new head reverses.
    void NoteSortOfNewStep(const CObList& list, const CObject* pOldHead, const std::optional<CUserGridLayout::Sort>& sort);
    // Shows the pages, columns and rows the step would change; FALSE when they cannot be shown.
    BOOL BringStepInSight(CGXCommand& step, int nMode);
    // Whether every one of the pages has a row.
    BOOL ShowsPages(const std::vector<CPageNode*>& pages);
    // The node of the Project Area that shows all the pages: their folder, or the project's
    // root when they lie in several.
    static CPageNode* NodeHolding(const std::vector<CPageNode*>& pages);
    // Shows the column of a page's title or tag that no column shows: the titles as the
    // project's Show Title does, a tag's setting as shown; FALSE when it cannot be shown.
    BOOL ShowColumnOf(const CString& strTag, BOOL bTitle);
    // The step the grid just recorded for a store of values into the cells is named after
    // their column, when it has no name of its own: the Edit menu and the status bar name it.
    void NameNewStep(const CObject* pOldHead, const CGXRange& cells);
    // The step at the head of the undo list; null when there is none.
    const CObject* NewestStep();
    // A step's name as the Edit menu and the status bar give it.
    CString StepName(const CGXCommand& step);
    // Hands the undo history and what the pages held before their first edit to the program,
    // the steps over a copy of the rows they were taken on; takes back what the last grid's
    // window left.
    void KeepHistoryForNextGrid();
    void TakeHistoryOfLastGrid();
    // A tag the catalogue has no setting for any more has no column and is saved by no one:
    // no step writes into it any more, a step that wrote nothing else goes, and what the pages
    // held in it before their first edit is forgotten.
    void ForgetTagsWithoutSetting();
    CGroupFrame* GetGroupFrame();
    void WidenPrintedColumns(CDC* pDC, CPrintInfo* pInfo);
    // Where the user is in the grid: the scroll position, and the current cell by its page and
    // its column's header, so that the grid filled again shows the same place.
    struct Place {
        ROWCOL nTopRow = 0;
        ROWCOL nLeftCol = 0;
        ROWCOL nRow = 0;
        ROWCOL nCol = 0;
        CPageNode* pPage = nullptr;
        CString strColumn;
    };
    Place CurrentPlace();
    void ReturnToPlace(const Place& place);

    BOOL m_bFullPath = TRUE;
    BOOL m_bShowTitle = FALSE;
    // While a page prints, how much wider than on the screen its own columns (first to last)
    // are printed.
    double m_dPrintWidthScale = 1.0;
    ROWCOL m_nPrintFirstCol = 0;
    ROWCOL m_nPrintLastCol = 0;
    BOOL m_bGroupActionRunning = FALSE;
    // While a group action runs: the rows of its pages, looked up at once, and the values the
    // setting writes, which go into the cells together when it is done (one step of undo).
    struct GroupWork;
    GroupWork* m_pGroupWork = nullptr;
    // The row of a page of the running group action. FALSE when the page has no row among the
    // action's, or it was cancelled.
    BOOL FindGroupRow(CPageNode* pPage, ROWCOL& nRow);
    // Keeps a value the running group action writes; 0.
    UINT KeepGroupValue(ROWCOL nRow, ROWCOL nCol, const CString& strText);
    // Stores the values a group action kept into their cells, run by run of rows; FALSE when
    // the user stopped it between two runs.
    BOOL StoreGroupValues(GroupWork& work);
    // The part of a group action's meter that going through its pages takes, in percent.
    static constexpr unsigned kGroupReadShare = 50;
    // Tells the user what a group action of the keywords did, the pages it left as they were
    // counted with their cause.
    static void TellGroupKeywordsOutcome(const GroupActionOutcome& outcome);
    // The most rows one store of a group action takes.
    static constexpr ROWCOL kGroupStoreRows = 0x400;
    BOOL m_bCopiedSingleCell = FALSE;
    CString m_strCopiedText;
    // The clipboard's sequence number right after this view's Copy or Cut.
    DWORD m_dwCopiedClipboard = 0;
    CEditorLauncher m_editorLauncher;
    BOOL m_bCutRunning = FALSE;
    // Values stored while these are set reach the pages without the edit mark.
    int m_nLoading = 0;
    int m_nUndoing = 0;
    // Set while the view writes a value itself, so the stores underneath do not write again.
    int m_nWritingPage = 0;
    int m_nApplying = 0;
    // Set while a setting's dialog or group action, which change the pages' contents before
    // they write the cells, runs: the cells' stored values were primed before it started.
    int m_nPrimedBySetting = 0;
    // The cell the view selected because it became current (none when the user's own
    // selection stands).
    CGXRange m_currentCellSelection;
    ROWCOL m_nFieldRow = 0;
    ROWCOL m_nFieldCol = 0;

    // What a page held before its first edit since the rows were loaded: per page and tag (an
    // empty tag for the title), whether it existed, its text and its edit mark.
    using Original = CGroupHistory::Original;
    CGroupHistory::Originals m_originals;
    void PutBackOriginal(CPageNode* pPage, const std::string& strTag, const Original& original);
    // The pages that refused an edit since their refusals were last told: those the scan did
    // not read and those it could not, each with the first one met, and whether the telling
    // is on its way.
    struct RefusedEdits {
        std::set<CPageNode*> notRead;
        std::set<CPageNode*> unreadable;
        CPageNode* pFirstNotRead = nullptr;
        CPageNode* pFirstUnreadable = nullptr;
        BOOL bTellPosted = FALSE;
    };
    RefusedEdits m_refused;
    LRESULT OnTellRefusedEdits(WPARAM, LPARAM);
    // Raised while a command that writes many cells runs: the edit state waits for its end.
    int m_nWritingMany = 0;
    // How deep the view's range stores nest, and whether the history ended inside them: what
    // the pages held before their first edit is forgotten once the outermost store is done.
    int m_nApplyDepth = 0;
    BOOL m_bHistoryEnded = FALSE;
    // Set while the view sorts the rows, and while it sorts them again itself.
    int m_nSorting = 0;
    int m_nArranging = 0;
    // The user's sort, column order and widths, kept while the view lives.
    CUserGridLayout m_userLayout;
    CGroupHistory::RowOrderSorts m_rowOrderSorts;
    // The settings of the META columns, as laid out and as a scan adds them.
    CSettingColumns m_settingColumns;
    // Settings shown by the running scan whose columns wait for the next batch, and the timer
    // that adds them.
    std::vector<CSettingColumns::Added> m_pendingColumns;
    UINT_PTR m_nBatchTimer = 0;
    // Where the Preview stood when a way was taken in it, for the one that comes again for the same
    // page: the line and column it showed, and its window's place and size when not maximised, and
    // whether it was maximised.
    CPageNode* m_pPreviewTakenPage = nullptr;
    int m_nPreviewTakenLine = 0;
    int m_nPreviewTakenColumn = 0;
    CRect m_rectPreviewTaken;
    bool m_bPreviewTakenMaximised = false;

    friend class CShortcutEditCtrl;
    DECLARE_MESSAGE_MAP()
};
