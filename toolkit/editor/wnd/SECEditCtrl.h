// SECEditCtrl: the child window of the syntax-colouring editor. It shows the lines of one text
// document, keeps a caret and a selection over them, turns keys, mouse and drag and drop into
// edits of the document, paints coloured lines beside a margin, and hosts find and replace.
#pragma once

#include "platform/afx/gdi/GdiObjects.h"
#include "platform/afx/ole/COleDataObject.h"
#include "platform/afx/wnd/CWnd.h"
#include "platform/win/Ole.h"
#include "toolkit/editor/SECEditDoc.h"

#include <memory>
#include <string>

class CMenu;
class COleDataSource;
class CProfileStore;
class SECEditDropTarget;
class SECEditFindReplaceDlg;
class ZRPageSetupDlg;

// Hints of OnUpdate: the caret moved; a line was deleted (with an SECEditHint naming a line).
constexpr LPARAM SECEDIT_HINT_CARET = 49054;
constexpr LPARAM SECEDIT_HINT_DELETELINE = 22590;

// Bits of SECEditLine::dwFlags that the window keeps: a pending highlight change starts or
// ends on this line; the columns are in SECEditLine::dwColorState (low and high 16 bits).
constexpr DWORD SECEDIT_LINE_HLSTART = 0x800;
constexpr DWORD SECEDIT_LINE_HLEND = 0x1000;

// Refusals of the window besides the document's.
constexpr int SECEDIT_TOP_OF_FILE = 22583;
constexpr int SECEDIT_NO_TEXT_ID = 22584;
constexpr int SECEDIT_STREAM_ONLY = 22585;
constexpr int SECEDIT_NOT_FOUND = 22586;
constexpr int SECEDIT_FINISHED = 22588;

// Selection modes.
constexpr int SECEDIT_SEL_STREAM = 1;
constexpr int SECEDIT_SEL_COLUMN = 2;

// The marker line that makes clipboard text a column block.
constexpr const char* SECEDIT_COLUMN_MARKER = "*SECEdit Column Block*";
constexpr int SECEDIT_COLUMN_MARKER_LENGTH = 22;

// The auto-scroll timer of mouse selection.
constexpr UINT_PTR SECEDIT_TIMER_SCROLL = 6;

// The hint object of OnUpdate's SECEDIT_HINT_DELETELINE.
class SECEditHint : public CObject {
    DECLARE_DYNAMIC(SECEditHint)
public:
    SECEditLine* m_pLine = nullptr;
};

// A position in the window: a line and a display column.
struct SECEditCell {
    SECEditLine* pLine = nullptr;
    int nColumn = 0;
};

class SECEditCtrl : public CWnd {
    DECLARE_DYNCREATE(SECEditCtrl)
public:
    SECEditCtrl();
    ~SECEditCtrl() override;

    // Where the window, its document and its dialogs keep their settings: the application's
    // profile when there is an application, else this store (tests), else nothing is kept.
    static CProfileStore* s_pProfile;
    static UINT GetEditProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nDefault);
    static CString GetEditProfileString(LPCSTR lpszSection, LPCSTR lpszEntry, LPCSTR lpszDefault);
    static void WriteEditProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nValue);
    static void WriteEditProfileString(LPCSTR lpszSection, LPCSTR lpszEntry, LPCSTR lpszValue);
    // The registered message of the find and replace dialogs.
    static UINT FindReplaceMessage();

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    // Creates the window as a child with the editor's class and the title "SECEdit".
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

    // ---- The editor's operations ----
    virtual COleDataSource* CreateDataSource();
    virtual BOOL CacheClipData(COleDataSource* pSource, CLIPFORMAT cfFormat, HGLOBAL hGlobal);
    virtual void* GetPaintToken();
    virtual COLORREF GetMarginColor(COLORREF crBackground);
    virtual void MakeCaretVisible();
    virtual void LoadFindSettings(SECEditFindReplaceDlg* pDlg);
    virtual int ReportErrorArg(int nID, LPCSTR lpszArg, BOOL bShow);
    // The text loaded had lines wider than the maximum, and they were cut: the user is told
    // (once per load).
    virtual void OnLinesCut(int nMaxWidth);
    virtual int ReportError(int nID, BOOL bShow);
    virtual void DrawMargin(CDC* pDC, const CRect& rect, SECEditLine* pLine);
    virtual void Reserved1(int);
    virtual BOOL OnScroll(UINT nScrollCode, UINT nPos, BOOL bDoScroll);
    virtual void OnUpdate(CWnd* pSender, LPARAM lHint, CObject* pHint);
    virtual BOOL FillContextMenu(CMenu* pMenu);
    virtual void OnContextMenu(CWnd* pWnd, CPoint point);
    virtual void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
    virtual DROPEFFECT OnDragOver(COleDataObject* pDataObject, DWORD dwKeyState, CPoint point);
    virtual DROPEFFECT OnDragEnter(COleDataObject* pDataObject, DWORD dwKeyState, CPoint point);
    virtual void OnDragLeave();
    virtual int InsertClipText(const char* pText, int nLength);
    virtual BOOL OnDrop(COleDataObject* pDataObject, DROPEFFECT dropEffect, CPoint point);
    virtual DROPEFFECT StartDrag();
    virtual SECEditDoc* GetDocument();
    virtual void InitView();
    virtual void OnCaretMoved();
    virtual void UpdateCaretPos();
    virtual void SetScrollRange(int nBar, int nMin, int nMax, BOOL bRedraw);
    virtual void SetScrollPos(int nBar, int nPos, BOOL bRedraw);
    virtual int GetScrollPos(int nBar);
    virtual void GetScrollRange(int nBar, int* pMin, int* pMax);
    virtual int NewLine(BOOL bRedraw, int nFlags);
    virtual int ClearSelection(BOOL bRedraw);
    virtual void SelectText(SECEditPos pos, int nLength, BOOL bRedraw);
    virtual BOOL GetSelectedWord(CString& str);
    virtual BOOL RegisterDropTarget();
    virtual BOOL CreateFromControl(UINT nID, CWnd* pParent, DWORD dwExStyle);
    virtual SECEditDoc* CreateDocument();

    // Inserts the whole text of a file at the caret; a file that cannot be read raises
    // CFileException. Returns 0 or the refusal's id (already shown while drawing).
    int InsertFile(LPCSTR lpszPath);
    // Inserts the text at the caret as InsertFile inserts a file's.
    int InsertText(const std::string& text);

    // ---- Commands ----
    void OnCommandRange(UINT nID);
    void OnEditCopy();
    void OnEditCut();
    void OnEditPaste();
    void OnEditClear();
    void OnEditUndo();
    void OnEditRedo();
    void OnToggleInsert();
    void OnEditFind();
    void OnEditReplace();
    void OnFindNext();
    void OnPageSetup();
    void OnUpdateNeedSel(CCmdUI* pCmdUI);
    void OnUpdateNeedSelWritable(CCmdUI* pCmdUI);
    void OnUpdateNeedClip(CCmdUI* pCmdUI);
    void OnUpdateUndo(CCmdUI* pCmdUI);
    void OnUpdateRedo(CCmdUI* pCmdUI);
    void OnUpdateBookmarks(CCmdUI* pCmdUI);
    void OnUpdateFindNext(CCmdUI* pCmdUI);
    void OnUpdateInsert(CCmdUI* pCmdUI);
    LRESULT OnFindReplaceCmd(WPARAM wParam, LPARAM lParam);

    // Movement and editing commands; each answers 0 or a refusal's id.
    int Down(BOOL bSelect);
    int Up(BOOL bSelect);
    int Left(BOOL bSelect);
    int Right(BOOL bSelect);
    int WordLeft(BOOL bSelect);
    int WordRight(BOOL bSelect);
    int PageUp(BOOL bSelect);
    int PageDown(BOOL bSelect);
    int Home(BOOL bSelect);
    int End(BOOL bSelect);
    int TopOfFile(BOOL bSelect);
    int BottomOfFile(BOOL bSelect);
    int SelectAll();
    int Backspace();
    int Erase();
    int Tab();
    int BackTab();
    int ToggleBookmark();
    int NextBookmark(BOOL bForward);
    int ClearAllBookmarks();
    int Copy();
    int Cut();
    int Paste();
    // Deletes the selection (a column block as a block); the caret goes to its start.
    int DeleteSelection(BOOL bRedraw);

    // ---- State, for the application and for tests ----
    SECEditLine* GetTopLine() const { return m_pTopLine; }
    int GetTopLineNo() const { return m_nTopLineNo; }
    SECEditLine* GetCaretLine() const { return m_pCaretLine; }
    int GetCaretLineNo() const { return m_nCaretLineNo; }
    int GetCaretColumn() const { return m_nCaretColumn; }
    int GetLeftColumn() const { return m_nLeftColumn; }
    int GetSelMode() const { return m_nSelMode; }
    BOOL HasSelection() const { return m_bSelection; }
    SECEditCell GetSelStart() const { return m_selStart; }
    SECEditCell GetSelEnd() const { return m_selEnd; }
    SECEditCell GetAnchor() const { return m_anchor; }
    int GetCharWidth() const { return m_nCharWidth; }
    int GetLineHeight() const { return m_nLineHeight; }
    int GetMarginWidth() const { return m_nMarginWidth; }
    int GetScrollScale() const { return m_nScrollScale; }
    BOOL GetRedraw() const { return m_bRedraw; }
    void SetRedraw(BOOL b) { m_bRedraw = b; }
    void SetAvoidRect(const CRect& rect) { m_rectAvoid = rect; }
    // Moves the caret (and the line number with it) to a line and column, as the keys would.
    void SetCaret(SECEditLine* pLine, int nColumn);
    // The selected text as the clipboard gets it (the column block with its marker).
    BOOL GetClipText(std::string& text) const;
    // The selected columns of a line, given its end column: FALSE when none.
    BOOL GetLineSelection(const SECEditLine* pLine, int nEndColumn, int* pStart, int* pEnd) const;
    // The display cell under a client point, the column snapped as the mouse snaps it.
    SECEditCell CellFromPoint(CPoint point, BOOL bScroll);
    // The rows that fit the text rectangle, and the columns.
    int VisibleRows() const;
    int VisibleColumns() const;
    // Document column of the caret as a byte offset of its line.
    int CaretOffset();
    // Paints one line into a device context at a row's rectangle (painting uses it per row).
    void PaintLine(CDC* pDC, SECEditLine* pLine, const CRect& rectRow, void* pToken);

protected:
    // Message handlers.
    int OnCreate(LPCREATESTRUCT lpCreateStruct);
    void OnPaint();
    void OnSize(UINT nType, int cx, int cy);
    void OnVScroll(UINT nSBCode, UINT nPos);
    void OnHScroll(UINT nSBCode, UINT nPos);
    // The wheel scrolls the view by lines (the system's wheel setting, three), by columns with
    // Shift or tilted sideways; the caret stays where it is. nDelta is positive away from the
    // user (up, left).
    void OnWheel(int nDelta, BOOL bColumns);
    void OnSetFocus(CWnd* pOldWnd);
    void OnKillFocus(CWnd* pNewWnd);
    int OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message);
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnLButtonUp(UINT nFlags, CPoint point);
    void OnLButtonDblClk(UINT nFlags, CPoint point);
    void OnMouseMove(UINT nFlags, CPoint point);
    BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    void OnTimer(UINT_PTR nIDEvent);
    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    void OnDestroy();
    UINT OnGetDlgCode() { return DLGC_WANTALLKEYS; }

    // Selection helpers.
    void BeginSelection(int nMode, BOOL bRedraw);
    void UpdateSelection(BOOL bRedraw);
    void ClearMarks();
    // Marks the span between two cells (in any order) as to be inverted.
    void MarkSpan(SECEditCell a, SECEditCell b);
    void MarkCell(SECEditCell cell, DWORD dwFlag);
    BOOL PointInSelection(CPoint point);
    int SelectWordAtCaret();
    // Column snapping: a tab's start column, the end of the text outside column mode.
    int SnapColumn(SECEditLine* pLine, int nColumn, BOOL bLimit) const;
    int TextEndColumn(const SECEditLine* pLine) const;
    // Scrolling by one row with ScrollWindow and one repainted row.
    void ScrollOneLine(BOOL bDown);
    // Makes the column (kept within the widest line) the left one; the bar and caret follow.
    void ScrollToColumn(int nColumn);
    void InvalidateRows(int nFirstRow, int nLastRow);
    void InvalidateCaretRow();
    void RepaintAfterChar(char ch);
    void SyncLineCount();
    void FixTopAfterEdit(int nOldCaretLineNo);
    void NotifyCaret();
    int MoveCommand(UINT nID);
    int ReplaceSelectionWith(const char* pText, int nLength);
    int InsertSingleLine(const char* pText, int nLength);
    int PasteColumnBlock(const char* pText, int nLength);
    SECEditPos CaretPos();
    SECEditPos PosOf(SECEditCell cell);
    // Normalised corners of a column block (first line, left column; last line, right column).
    void BlockCorners(SECEditCell& first, SECEditCell& last) const;
    // Find and replace.
    void AddHistory(LPCSTR lpszKey, const CString& text);
    BOOL DoSearch(SECEditSearch& request, BOOL bWrap, BOOL bFromSelection);
    void CloseFindDialogs();
    int ReplaceAllMatches(SECEditSearch& request, const CString& replace);
    int MarkAllMatches(SECEditSearch& request);

    SECEditLine* m_pTopLine = nullptr;
    int m_nTopLineNo = 1;
    SECEditLine* m_pCaretLine = nullptr;
    int m_nCaretLineNo = 1;
    int m_nCaretColumn = 0;
    int m_nLeftColumn = 0;
    int m_nSelMode = SECEDIT_SEL_STREAM;
    BOOL m_bSelection = FALSE;
    SECEditCell m_selStart;
    SECEditCell m_selEnd;
    SECEditCell m_anchor;
    // The span whose highlight flips at the next UpdateSelection (also marked on its lines).
    SECEditCell m_markFrom;
    SECEditCell m_markTo;
    CRect m_rectText;
    int m_nCharWidth = 0;
    int m_nLineHeight = 15;
    int m_nMarginWidth = 0;
    int m_nScrollScale = 1;
    BOOL m_bRedraw = FALSE;
    BOOL m_bScrolling = FALSE;
    // The part of a notch a fine-stepped wheel turned.
    int m_nWheelDelta = 0;
    BOOL m_bCaretCreated = FALSE;
    BOOL m_bCaptured = FALSE;
    BOOL m_bTimer = FALSE;
    BOOL m_bFirstTick = FALSE;
    CPoint m_ptLastMouse;
    CRect m_rectAvoid;
    SECEditFindReplaceDlg* m_pFindDlg = nullptr;
    BOOL m_bFindOpen = FALSE;
    SECEditFindReplaceDlg* m_pReplaceDlg = nullptr;
    BOOL m_bReplaceOpen = FALSE;
    BOOL m_bSearchWrap = TRUE;
    std::string m_strSearchBuffer;
    // The replacement of the last regular-expression match, its groups filled in.
    std::string m_strExpanded;
    SECEditPos m_replaceStart;
    HACCEL m_hAccel = nullptr;
    CBrush m_brushMargin;
    CFont m_font;
    std::unique_ptr<SECEditDoc> m_pDoc;
    std::unique_ptr<SECEditDropTarget> m_pDropTarget;
    std::unique_ptr<ZRPageSetupDlg> m_pPageSetup;
    int m_nLastLineCount = 0;
    // The bytes typed so far of a character of several bytes.
    std::string m_strPendingChar;

    // The window a drag runs from, or null.
    static SECEditCtrl* s_pDragSource;
    // A replace sequence is running (its start is m_replaceStart).
    static BOOL s_bReplacing;

    DECLARE_MESSAGE_MAP()
};
