// The group frame's edit field.
#include "app/views/CShortcutEditCtrl.h"

#include "app/views/CGroupView.h"
#include "app/res/AppRes.h"
#include "app/res/GroupViewRes.h"
#include "app/frame/CVostrelApp.h"
#include "grid/data/CGXGridParam.h"
#include "grid/data/CGXRange.h"
#include "grid/data/CGXStyle.h"
#include "grid/data/IGXCommandTarget.h"
#include "platform/afx/AfxMessages.h"
#include "platform/afx/AfxRes.h"
#include "platform/afx/wnd/CCmdUI.h"
#include "platform/win/Clipboard.h"

IMPLEMENT_DYNAMIC(CShortcutEditCtrl, CEdit)

BEGIN_MESSAGE_MAP(CShortcutEditCtrl, CEdit)
ON_CONTROL_REFLECT_EX(EN_CHANGE, &CShortcutEditCtrl::OnTextChanged)
END_MESSAGE_MAP()

void CShortcutEditCtrl::SetGridView(CGroupView* pView)
{
    m_pView = pView;
    m_bEditing = FALSE;
    m_nRow = m_nCol = 0;
}

UINT CShortcutEditCtrl::GetEditState()
{
    if (m_pView == nullptr)
        return 1;
    ROWCOL nRow = 0, nCol = 0;
    m_pView->GetCurrentCell(nRow, nCol);
    if (m_bEditing && (nRow != m_nRow || nCol != m_nCol))
        return 2;
    return 3;
}

void CShortcutEditCtrl::SetText(const CString& strText)
{
    if (m_bEditing && GetEditState() == 2)
        CommitEdit();
    if (GetSafeHwnd() == nullptr)
        return;
    CString strOld;
    GetWindowText(strOld);
    if (strOld != strText)
        SetWindowText(strText);
}

void CShortcutEditCtrl::CommitEdit()
{
    if (!m_bEditing || m_pView == nullptr) {
        m_bEditing = FALSE;
        return;
    }
    const ROWCOL nRow = m_nRow, nCol = m_nCol;
    CString strText;
    m_pView->GetCellText(nRow, nCol, strText);
    m_bEditing = FALSE;
    m_nRow = m_nCol = 0;
    m_pView->SetFieldCell(0, 0);
    m_pView->SetCellValue(nRow, nCol, strText);
}

void CShortcutEditCtrl::CancelEdit()
{
    if (!m_bEditing || m_pView == nullptr) {
        m_bEditing = FALSE;
        return;
    }
    const ROWCOL nRow = m_nRow, nCol = m_nCol;
    m_bEditing = FALSE;
    m_nRow = m_nCol = 0;
    // The cell shows its page's value again, and so does the field.
    m_pView->SetFieldCell(0, 0);
    CString strText;
    m_pView->GetPageValue(nRow, nCol, strText);
    ShowInCell(nRow, nCol, strText);
    SetWindowText(strText);
    SetSel(strText.GetLength(), strText.GetLength());
}

BOOL CShortcutEditCtrl::OnTextChanged()
{
    m_typingUndo.OnTextChanged();
    return FALSE;
}

BOOL CShortcutEditCtrl::CanUndoTyping(int nMode)
{
    return m_bEditing && m_typingUndo.Can(*this, nMode);
}

BOOL CShortcutEditCtrl::UndoTyping(int nMode)
{
    if (!CanUndoTyping(nMode) || !m_typingUndo.Do(*this, nMode))
        return FALSE;
    CString strText;
    GetWindowText(strText);
    ShowInCell(m_nRow, m_nCol, strText);
    return TRUE;
}

BOOL CShortcutEditCtrl::HasKeys() const
{
    return m_hWnd != nullptr && ::GetFocus() == m_hWnd;
}

BOOL CShortcutEditCtrl::HasSelection() const
{
    int nStart = 0, nEnd = 0;
    GetSel(nStart, nEnd);
    return nStart != nEnd;
}

BOOL CShortcutEditCtrl::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    if (pHandlerInfo == nullptr && HasKeys()) {
        if (nCode == CN_COMMAND && OnEditCommand(nID))
            return TRUE;
        if (nCode == static_cast<int>(CN_UPDATE_COMMAND_UI) && OnUpdateEditCommand(nID, static_cast<CCmdUI*>(pExtra)))
            return TRUE;
    }
    return CEdit::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

BOOL CShortcutEditCtrl::OnEditCommand(UINT nID)
{
    switch (nID) {
    case ID_EDIT_CUT:
        SendMessage(WM_CUT);
        return TRUE;
    case ID_EDIT_COPY:
        SendMessage(WM_COPY);
        return TRUE;
    case ID_EDIT_PASTE:
        SendMessage(WM_PASTE);
        return TRUE;
    case ID_EDIT_DELETE_META:
        SendMessage(WM_CLEAR);
        return TRUE;
    case ID_EDIT_UNDO:
        UndoTyping(gxUndo);
        return TRUE;
    case ID_EDIT_REDO:
        UndoTyping(gxRedo);
        return TRUE;
    default:
        return FALSE;
    }
}

BOOL CShortcutEditCtrl::OnUpdateEditCommand(UINT nID, CCmdUI* pCmdUI)
{
    CVostrelApp* pApp = GetVostrelApp();
    const BOOL bIdle = pApp == nullptr || pApp->GetRunState() == CVostrelAppModel::runIdle;
    switch (nID) {
    case ID_EDIT_CUT:
    case ID_EDIT_DELETE_META:
        pCmdUI->Enable(bIdle && HasSelection());
        return TRUE;
    case ID_EDIT_COPY:
        pCmdUI->Enable(HasSelection());
        return TRUE;
    case ID_EDIT_PASTE:
        pCmdUI->Enable(bIdle && ::IsClipboardFormatAvailable(CF_TEXT));
        return TRUE;
    case ID_EDIT_UNDO:
    case ID_EDIT_REDO: {
        const int nMode = nID == ID_EDIT_UNDO ? gxUndo : gxRedo;
        CGXGridCore::UpdateTypingUndoItem(nMode, bIdle && CanUndoTyping(nMode), pCmdUI);
        return TRUE;
    }
    default:
        return FALSE;
    }
}

BOOL CShortcutEditCtrl::ShowInCurrentCell()
{
    ROWCOL nRow = 0, nCol = 0;
    if (m_pView == nullptr || !m_pView->GetCurrentCell(nRow, nCol) || nRow == 0 || nCol == 0)
        return FALSE;
    CString strText;
    GetWindowText(strText);
    m_pView->SetFieldCell(nRow, nCol);
    ShowInCell(nRow, nCol, strText);
    return TRUE;
}

void CShortcutEditCtrl::ShowInCell(ROWCOL nRow, ROWCOL nCol, const CString& strText)
{
    // Shown in the cell as it is typed; the page gets it when the edit is committed, and only
    // that commit is a step of undo.
    CGXStyle value;
    value.SetValue(strText);
    CGXGridParam* pParam = m_pView->GetParam();
    const BOOL bUndo = pParam != nullptr && pParam->IsEnableUndo();
    if (pParam != nullptr)
        pParam->EnableUndo(FALSE);
    ++m_pView->m_nWritingPage;
    m_pView->CGridViewWrapper::ApplyStyleToRange(CGXRange(nRow, nCol, nRow, nCol), &value, gxOverride, 0, nullptr,
                                                  GX_UPDATENOW, gxDo);
    --m_pView->m_nWritingPage;
    if (pParam != nullptr)
        pParam->EnableUndo(bUndo);
}

BOOL CShortcutEditCtrl::RefusesCell(ROWCOL nRow, ROWCOL nCol)
{
    // The file column names each page's own file: what is typed here would show in the cell
    // without ever reaching the page.
    if (nCol == CGroupView::kFileColumn) {
        m_pView->SayInStatusBar(IDS_FIELD_NO_PAGE_NAMES);
        return TRUE;
    }
    // Nor does a page that shows nothing of its file take a value from here.
    if (m_pView->RefuseEditOfRow(nRow)) {
        m_pView->TellRefusedEdits();
        return TRUE;
    }
    return m_pView->RefuseTypingOver(nRow, nCol);
}

void CShortcutEditCtrl::ReturnKeysToGrid()
{
    if (m_pView != nullptr && m_pView->GetSafeHwnd() != nullptr && ::GetFocus() == m_hWnd)
        m_pView->SetFocus();
}

BOOL CShortcutEditCtrl::BeginChange()
{
    CVostrelApp* pApp = GetVostrelApp();
    if (m_pView == nullptr || (pApp != nullptr && pApp->GetRunState() != CVostrelAppModel::runIdle))
        return FALSE;
    ROWCOL nRow = 0, nCol = 0;
    if (!m_pView->GetCurrentCell(nRow, nCol) || nRow == 0 || nCol == 0)
        return FALSE;
    if (RefusesCell(nRow, nCol))
        return FALSE;
    if (m_bEditing && (nRow != m_nRow || nCol != m_nCol))
        CommitEdit();
    if (!m_bEditing) {
        m_pView->EndSaidInStatusBar();
        // Undo takes back this edit's typing only, not an edit committed before it.
        EmptyUndoBuffer();
    }
    m_nRow = nRow;
    m_nCol = nCol;
    m_bEditing = TRUE;
    return TRUE;
}

namespace {

// Whether the message changes the field's text: typing (Enter and Escape apart, which end the
// visit), the clipboard's cut and paste, and deletion. Ctrl+A and Ctrl+C only select and copy.
bool ChangesText(UINT message, WPARAM wParam)
{
    switch (message) {
    case WM_CHAR:
        return wParam != 0x01 && wParam != 0x03 && wParam != 0x1A && wParam != 0x1B;
    case WM_CUT:
    case WM_PASTE:
    case WM_CLEAR:
        return true;
    case WM_KEYDOWN:
        return wParam == VK_DELETE;
    default:
        return false;
    }
}

} // namespace

LRESULT CShortcutEditCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CHAR && wParam == '\r' && !m_bEditing) {
        // Nothing typed: Enter only gives the keys back to the grid.
        ReturnKeysToGrid();
        return 0;
    }
    if (message == WM_KEYDOWN && wParam == VK_ESCAPE) {
        CancelEdit();
        ReturnKeysToGrid();
        return 0;
    }
    // Escape types nothing: as a key it backs out of the edit.
    if (message == WM_CHAR && wParam == 0x1B)
        return 0;
    // Undo, by its key or from the field's own menu, takes back what this visit typed only.
    if ((message == WM_CHAR && wParam == 0x1A) || message == WM_UNDO) {
        UndoTyping(CanUndoTyping(gxUndo) ? gxUndo : gxRedo);
        return 0;
    }
    if (!ChangesText(message, wParam))
        return CEdit::WindowProc(message, wParam, lParam);
    // A change of the text is the current cell's edit: the cell shows the field's text at once,
    // and the page gets it when the edit is committed (Enter, another cell) or not at all
    // (Escape).
    if (!BeginChange())
        return 0;
    if (message == WM_CHAR && wParam == '\r') {
        CommitEdit();
        ReturnKeysToGrid();
        return 0;
    }
    const LRESULT lResult = CEdit::WindowProc(message, wParam, lParam);
    ShowInCurrentCell();
    return lResult;
}
