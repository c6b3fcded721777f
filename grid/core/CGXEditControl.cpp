#include "grid/core/CGXEditControl.h"

#include "grid/core/CGXChild.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/GXGdiRecords.h"
#include "platform/afx/wnd/MessageMap.h"
#include "platform/core/GlobalMemory.h"
#include "platform/win/Clipboard.h"
#include "platform/win/Keyboard.h"
#include "platform/win/UserApi.h"
#include "platform/win/VirtualKeys.h"
#include "platform/win/WinUser.h"

#include <cstring>
#include <string>

IMPLEMENT_DYNAMIC(CGXEditWnd, CEdit)
IMPLEMENT_DYNAMIC(CGXEditControl, CGXStatic)
IMPLEMENT_DYNAMIC(CGXRichEditCtrl, CGXEditControl)

BEGIN_MESSAGE_MAP(CGXEditWnd, CEdit)
    ON_WM_KEYDOWN()
    ON_WM_CHAR()
    ON_WM_SYSKEYDOWN()
    ON_WM_GETDLGCODE()
    ON_WM_LBUTTONDBLCLK()
    ON_MESSAGE(WM_PASTE, &CGXEditWnd::OnPaste)
    ON_CONTROL_REFLECT_EX(EN_CHANGE, &CGXEditWnd::OnTextChanged)
END_MESSAGE_MAP()

namespace {
constexpr UINT kEditWndId = 0xE9F0;

// The clipboard's text, "" when it holds none.
std::string ClipboardText(HWND hOwner)
{
    std::string text;
    if (!::OpenClipboard(hOwner))
        return text;
    HANDLE hData = ::IsClipboardFormatAvailable(CF_TEXT) ? ::GetClipboardData(CF_TEXT) : ::GetClipboardData(CF_OEMTEXT);
    if (const char* p = hData != nullptr ? static_cast<const char*>(::GlobalLock(hData)) : nullptr) {
        text.assign(p, ::strnlen(p, ::GlobalSize(hData)));
        ::GlobalUnlock(hData);
    }
    ::CloseClipboard();
    return text;
}
} // namespace

std::string CGXEditControl::OneLineText(std::string_view text)
{
    // Line ends that only close the text (a copied line of another program) add nothing.
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.remove_suffix(1);
    std::string line;
    line.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue; // CR LF is one line break
        line.push_back(c == '\r' || c == '\n' || c == '\t' ? ' ' : c);
    }
    return line;
}

BOOL CGXEditWnd::IsGridKey(UINT nChar) const
{
    const BOOL bMultiLine = (GetStyle() & ES_MULTILINE) != 0;
    int nStart = 0, nEnd = 0;
    GetSel(nStart, nEnd);
    switch (nChar) {
    case VK_TAB:
    case VK_RETURN:
    case VK_ESCAPE:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_F2: return TRUE;
    case VK_UP: return !bMultiLine || LineFromChar(nStart) == 0;
    case VK_DOWN: return !bMultiLine || LineFromChar(nEnd) >= GetLineCount() - 1;
    case VK_LEFT: return nStart == 0 && nEnd == 0;
    case VK_RIGHT: return nStart == nEnd && nEnd >= GetWindowTextLength();
    default: return FALSE;
    }
}

void CGXEditWnd::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    // F4 opens a cell's list or dialog while its text is edited as well.
    if (nChar == VK_F4 && m_pControl != nullptr && m_pControl->KeyPressed(WM_KEYDOWN, nChar, nRepCnt, nFlags))
        return;
    CGXGridCore* pGrid = m_pControl != nullptr ? m_pControl->Grid() : nullptr;
    if (pGrid != nullptr && IsGridKey(nChar) && pGrid->RouteKeyMessage(this, WM_KEYDOWN, nChar, nRepCnt, nFlags))
        return;
    if (nChar == VK_INSERT && m_pControl != nullptr && ::GetKeyState(VK_SHIFT) < 0 && ::GetKeyState(VK_CONTROL) >= 0) {
        m_pControl->Paste();
        return;
    }
    const int nLength = GetWindowTextLength();
    CEdit::OnKeyDown(nChar, nRepCnt, nFlags);
    // Delete changes the text without a character.
    if (nChar == VK_DELETE && m_pControl != nullptr && (CEdit::GetModify() || GetWindowTextLength() != nLength))
        m_pControl->OnEditChanged();
}

UINT CGXEditWnd::OnGetDlgCode()
{
    UINT nCode = CEdit::OnGetDlgCode();
    // Enter while the user is changing the cell's text ends that edit; the grid stores it. In a
    // dialog the key would otherwise press the default button and close the dialog over the
    // edit. Enter in a cell that holds no edit of the user's still reaches the dialog.
    const MSG* pMsg = GetCurrentMessage();
    const auto* pKey = pMsg != nullptr ? reinterpret_cast<const MSG*>(pMsg->lParam) : nullptr;
    if (pKey != nullptr && pKey->message == WM_KEYDOWN && pKey->wParam == VK_RETURN && m_pControl != nullptr &&
        m_pControl->GetModify())
        nCode |= DLGC_WANTALLKEYS;
    // Escape while the cell is edited ends the edit and gives the cell its old text; it would
    // otherwise cancel the whole dialog and all done in it. Outside an edit it still does.
    if (pKey != nullptr && pKey->message == WM_KEYDOWN && pKey->wParam == VK_ESCAPE && m_pControl != nullptr &&
        m_pControl->IsActive())
        nCode |= DLGC_WANTALLKEYS;
    // Tab goes to the grid as it does from a cell that is not being edited: the grid moves to
    // the next cell, or on to the dialog's next control from the last.
    return nCode | DLGC_WANTTAB;
}

void CGXEditWnd::OnSysKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    if (nChar == VK_DOWN && m_pControl != nullptr && m_pControl->KeyPressed(WM_SYSKEYDOWN, nChar, nRepCnt, nFlags))
        return;
    CGXGridCore* pGrid = m_pControl != nullptr ? m_pControl->Grid() : nullptr;
    if (pGrid != nullptr && pGrid->RouteKeyMessage(this, WM_SYSKEYDOWN, nChar, nRepCnt, nFlags))
        return;
    CEdit::OnSysKeyDown(nChar, nRepCnt, nFlags);
}

void CGXEditWnd::OnLButtonDblClk(UINT nFlags, CPoint point)
{
    DefWindowProc(WM_LBUTTONDOWN, nFlags, MAKELPARAM(point.x, point.y));
}

LRESULT CGXEditWnd::OnPaste(WPARAM, LPARAM)
{
    // A read-only edit refuses as it does.
    if (m_pControl == nullptr || (GetStyle() & ES_READONLY) != 0)
        return Default();
    m_pControl->Paste();
    return 0;
}

BOOL CGXEditWnd::OnTextChanged()
{
    if (m_pControl != nullptr)
        m_pControl->OnWindowTextChanged();
    return FALSE; // the grid hears of it as well
}

void CGXEditWnd::OnChar(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    // Tab, Enter and ESC moved or ended the edit as keys already.
    if (nChar == '\t' || nChar == '\r' || nChar == 0x1B)
        return;
    // Ctrl+V pastes as the cell pastes, whichever way the key comes.
    if (nChar == 0x16 && m_pControl != nullptr) {
        m_pControl->Paste();
        return;
    }
    if (m_pControl != nullptr && m_pControl->OnWindowChar(nChar))
        return;
    CEdit::OnChar(nChar, nRepCnt, nFlags);
    if (m_pControl != nullptr)
        m_pControl->OnEditChanged();
}

CGXEditControl::CGXEditControl(CGXGridCore* pGrid, UINT nID) : CGXStatic(pGrid), m_nID(nID) {}

CGXEditControl::~CGXEditControl()
{
    if (m_pWnd && m_pWnd->GetSafeHwnd() != nullptr)
        m_pWnd->DestroyWindow();
}

BOOL CGXEditControl::CreateEditWnd()
{
    if (m_pWnd && m_pWnd->GetSafeHwnd() != nullptr)
        return TRUE;
    CWnd* pParent = GridWnd();
    if (pParent == nullptr || pParent->GetSafeHwnd() == nullptr)
        return FALSE;
    DWORD dwStyle = WS_CHILD | ES_AUTOHSCROLL | ES_NOHIDESEL;
    if (m_nID == GX_IDS_CTRL_SCROLLEDIT || IsKindOf(RUNTIME_CLASS(CGXRichEditCtrl)))
        dwStyle = WS_CHILD | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_NOHIDESEL;
    m_pWnd = std::make_unique<CGXEditWnd>(this);
    if (!m_pWnd->Create(dwStyle, CRect(0, 0, 1, 1), pParent, kEditWndId)) {
        m_pWnd.reset();
        return FALSE;
    }
    // A cell holds its value whole, however long: nothing typed or pasted into it is cut.
    m_pWnd->LimitText(0);
    return TRUE;
}

CRect CGXEditControl::CalcEditRect()
{
    const CGXStyle* pStyle = LoadStyle();
    if (pStyle == nullptr || m_pGrid == nullptr)
        return CRect(0, 0, 0, 0);
    CRect cell = m_pGrid->CalcCellRect(m_nRow, m_nCol);
    return GetCellRect(m_nRow, m_nCol, &cell, pStyle);
}

void CGXEditControl::LoadWindow()
{
    const CGXStyle* pStyle = LoadStyle();
    if (!m_pWnd || pStyle == nullptr)
        return;
    m_bLoading = TRUE;
    // The cell's font, at the grid's zoom.
    m_font.DeleteObject();
    LOGFONT lf = GXGetLogFont(pStyle->GetFont(), m_pGrid != nullptr ? m_pGrid->GetZoom() : 100);
    if (m_font.CreateFontIndirect(&lf))
        m_pWnd->SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(m_font.GetSafeHandle()), FALSE);
    m_pWnd->SetWindowText(pStyle->GetValue());
    m_pWnd->CEdit::SetModify(FALSE);
    m_pWnd->MoveWindow(CalcEditRect(), FALSE);
    m_bLoading = FALSE;
}

void CGXEditControl::Init(ROWCOL nRow, ROWCOL nCol)
{
    CGXStatic::Init(nRow, nCol);
}

void CGXEditControl::Reset()
{
    SetActive(FALSE);
    CGXStatic::Reset();
}

void CGXEditControl::SetActive(BOOL bActive)
{
    CGXStatic::SetActive(bActive);
    if (bActive) {
        if (!m_bInit || m_bActiveWnd || !CreateEditWnd())
            return;
        LoadWindow();
        m_bActiveWnd = TRUE;
        // A cell may look otherwise while it is edited (a chosen cell shows highlighted, its
        // editor in the cell's own colours, so that text chosen in it shows chosen): the grid
        // composes the cell's style afresh and draws the cell again around the editor.
        if (m_pGrid != nullptr) {
            m_pGrid->FreeObjectCache();
            m_pGrid->RedrawRange(CGXRange(m_nRow, m_nCol, m_nRow, m_nCol), GX_INVALIDATE, FALSE);
        }
        m_pWnd->ShowWindow(SW_SHOW);
        {
            const CGXGridFocusChange change(m_pGrid);
            m_pWnd->SetFocus();
        }
        m_pWnd->SetSel(0, -1);
        return;
    }
    if (!m_bActiveWnd)
        return;
    m_bActiveWnd = FALSE;
    if (m_pWnd && m_pWnd->GetSafeHwnd() != nullptr) {
        // The focus goes back to the grid, not to nowhere.
        const BOOL bHadFocus = ::GetFocus() == m_pWnd->GetSafeHwnd();
        m_pWnd->ShowWindow(SW_HIDE);
        if (bHadFocus && GridWnd() != nullptr) {
            const CGXGridFocusChange change(m_pGrid);
            GridWnd()->SetFocus();
        }
    }
}

BOOL CGXEditControl::IsActive()
{
    return m_bActiveWnd;
}

BOOL CGXEditControl::GetModify()
{
    return m_bModify;
}

void CGXEditControl::SetModify(BOOL bModified)
{
    CGXStatic::SetModify(bModified);
    if (!bModified && m_pWnd && m_pWnd->GetSafeHwnd() != nullptr)
        m_pWnd->CEdit::SetModify(FALSE);
}

void CGXEditControl::OnEditChanged()
{
    if (m_bLoading || m_bModify)
        return;
    m_bModify = TRUE;
    if (m_pGrid != nullptr && m_bInit)
        m_pGrid->OnModifyCell(m_nRow, m_nCol);
}

BOOL CGXEditControl::OnWindowChar(UINT)
{
    return FALSE;
}

void CGXEditControl::Refresh()
{
    // An edit in progress keeps its text; the window follows the cell (scrolling, sizes).
    FreeStyle();
    if (m_bActiveWnd && m_pWnd && m_pWnd->GetSafeHwnd() != nullptr)
        m_pWnd->MoveWindow(CalcEditRect(), TRUE);
    else if (m_bInit && m_pGrid != nullptr)
        m_pGrid->RedrawRange(CGXRange(m_nRow, m_nCol, m_nRow, m_nCol), GX_INVALIDATE, FALSE);
}

void CGXEditControl::Hide()
{
    if (m_pWnd && m_pWnd->GetSafeHwnd() != nullptr)
        m_pWnd->ShowWindow(SW_HIDE);
}

void CGXEditControl::Show()
{
    if (!m_bActiveWnd || !m_pWnd || m_pWnd->GetSafeHwnd() == nullptr || m_pWnd->IsWindowVisible())
        return;
    m_pWnd->MoveWindow(CalcEditRect(), FALSE);
    m_pWnd->ShowWindow(SW_SHOWNA);
}

BOOL CGXEditControl::OnCancelEditing()
{
    const BOOL bHadEdit = m_bModify;
    ResetEdit();
    FreeStyle();
    SetActive(FALSE);
    return bHadEdit;
}

BOOL CGXEditControl::GetCurrentText(CString& sText)
{
    if (m_bActiveWnd && m_pWnd && m_pWnd->GetSafeHwnd() != nullptr) {
        m_pWnd->GetWindowText(sText);
        return TRUE;
    }
    return CGXStatic::GetCurrentText(sText);
}

void CGXEditControl::SetCurrentText(const CString& sText)
{
    if (m_bActiveWnd && m_pWnd && m_pWnd->GetSafeHwnd() != nullptr) {
        m_bLoading = TRUE;
        m_pWnd->SetWindowText(sText);
        m_bLoading = FALSE;
        return;
    }
    CGXStatic::SetCurrentText(sText);
}

BOOL CGXEditControl::KeyPressed(UINT nMessage, UINT nChar, UINT nRepCnt, UINT nFlags)
{
    if (nMessage != WM_CHAR || !m_bInit || nChar < 0x20 || nChar == 0x7F)
        return FALSE;
    const LPARAM lKeyData = MAKELPARAM(nRepCnt, nFlags);
    if (m_bActiveWnd) {
        // What the key that started the edit typed besides its first byte (the other bytes of
        // a character beyond ASCII, the other characters of an input method's text) was
        // addressed to the grid before the editor had the focus: it belongs to the editor.
        if (m_pWnd == nullptr || m_pWnd->GetSafeHwnd() == nullptr)
            return FALSE;
        m_pWnd->SendMessage(WM_CHAR, nChar, lKeyData);
        return TRUE;
    }
    // Typing on the current cell starts an edit with what was typed.
    if (IsReadOnly() || !CanActivate() || (m_pGrid != nullptr && !m_pGrid->OnStartEditing(m_nRow, m_nCol)))
        return FALSE;
    SetActive(TRUE);
    if (!m_bActiveWnd)
        return FALSE;
    // Typed into the editor over its whole text, as the keys after it are: the editor puts a
    // character's bytes together, where a lone byte set as the text would stay a broken one.
    m_pWnd->SendMessage(WM_CHAR, nChar, lKeyData);
    return TRUE;
}

BOOL CGXEditControl::LButtonUp(UINT nFlags, CPoint pt, UINT nHitState)
{
    if (CGXStatic::LButtonUp(nFlags, pt, nHitState))
        return TRUE;
    // A click on the cell that was current already starts editing there, the caret where the
    // click was; the click that makes a cell current only moves there.
    const CGXGridParam* pParam = m_pGrid != nullptr ? m_pGrid->GetParam() : nullptr;
    if (!(nHitState & GX_MOUSE_CURRENT) || pParam == nullptr || !pParam->m_bActivateOnClick)
        return FALSE;
    return StartEditAt(pt);
}

BOOL CGXEditControl::LButtonDblClk(UINT, CPoint pt)
{
    // A double-click at a letter edits there, as the click into the current cell does: with
    // the whole value chosen, the first key would replace it.
    return StartEditAt(pt);
}

BOOL CGXEditControl::StartEditAt(CPoint pt)
{
    if (m_bActiveWnd || !m_bInit || m_pGrid == nullptr || IsReadOnly() || !CanActivate() || !m_pGrid->OnStartEditing(m_nRow, m_nCol))
        return FALSE;
    SetActive(TRUE);
    if (!m_bActiveWnd)
        return FALSE;
    // The edit opened with its whole text chosen, scrolled to show its end; the caret goes into
    // the text where the cell showed it, which starts at the left.
    m_pWnd->SetSel(0, 0);
    CRect rect;
    m_pWnd->GetWindowRect(&rect);
    GridWnd()->ScreenToClient(&rect);
    const int nChar = LOWORD(m_pWnd->CharFromPos(CPoint(pt.x - rect.left, pt.y - rect.top)));
    m_pWnd->SetSel(nChar, nChar);
    // Shown at once, the cell drawn round the edit and the edit with its caret: a key typed
    // right after the click comes before any paint the queue would bring, and would go into an
    // edit the screen does not show yet, over a cell that still looks chosen.
    ::RedrawWindow(GridWnd()->GetSafeHwnd(), nullptr, nullptr, RDW_UPDATENOW);
    return TRUE;
}

BOOL CGXEditControl::IsWindowKindOf(CRuntimeClass* pClass)
{
    return m_pWnd && m_pWnd->GetSafeHwnd() != nullptr && m_pWnd->IsKindOf(pClass);
}

void CGXEditControl::Draw(CDC* pDC, CRect rect, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style, const CGXStyle* pStandardStyle)
{
    // The active cell shows its window; every other cell of this kind is static text.
    if (m_bActiveWnd && IsInitFor(nRow, nCol)) {
        CGXControl::Draw(pDC, rect, nRow, nCol, style, pStandardStyle);
        return;
    }
    CGXStatic::Draw(pDC, rect, nRow, nCol, style, pStandardStyle);
}

BOOL CGXEditControl::IsTyping()
{
    return m_bActiveWnd && m_pWnd && m_pWnd->GetSafeHwnd() != nullptr && (m_pWnd->GetStyle() & ES_READONLY) == 0;
}

BOOL CGXEditControl::CanUndoTyping(int nMode)
{
    return IsTyping() && m_typingUndo.Can(*m_pWnd, nMode);
}

BOOL CGXEditControl::UndoTyping(int nMode)
{
    if (!IsTyping() || !m_typingUndo.Do(*m_pWnd, nMode))
        return FALSE;
    CString strText;
    m_pWnd->GetWindowText(strText);
    const CGXStyle* pStyle = LoadStyle();
    if (pStyle != nullptr && strText == pStyle->GetValue())
        SetModify(FALSE);
    else
        OnEditChanged();
    return TRUE;
}

BOOL CGXEditControl::CanCopy()
{
    return m_bActiveWnd;
}

BOOL CGXEditControl::Copy()
{
    if (!m_bActiveWnd)
        return FALSE;
    // With no text chosen in the editor (only its caret, as after a click into the cell or a
    // value dialog's OK) the editor has nothing of its own to copy: the grid copies the cell.
    int nStart = 0, nEnd = 0;
    m_pWnd->GetSel(nStart, nEnd);
    if (nStart == nEnd)
        return FALSE;
    m_pWnd->Copy();
    return TRUE;
}

BOOL CGXEditControl::CanCut()
{
    return m_bActiveWnd && !IsReadOnly();
}

BOOL CGXEditControl::Cut()
{
    if (!CanCut())
        return FALSE;
    // As with Copy: with no text chosen in the editor the grid cuts the cell.
    int nStart = 0, nEnd = 0;
    m_pWnd->GetSel(nStart, nEnd);
    if (nStart == nEnd)
        return FALSE;
    m_pWnd->Cut();
    OnEditChanged();
    return TRUE;
}

BOOL CGXEditControl::CanPaste()
{
    return m_bActiveWnd && !IsReadOnly();
}

BOOL CGXEditControl::Paste()
{
    if (!CanPaste())
        return FALSE;
    if ((m_pWnd->GetStyle() & ES_READONLY) != 0) {
        m_pWnd->Paste();
    } else {
        // The whole text on one line, each line break and tab a blank, in a multi-line editor
        // too: what the cell shows is then what a copy of it gives and what a page stores.
        const std::string text = OneLineText(ClipboardText(m_pWnd->GetSafeHwnd()));
        m_pWnd->ReplaceSel(text.c_str(), TRUE);
    }
    OnEditChanged();
    return TRUE;
}
