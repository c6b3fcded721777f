// SECListBaseC's in-place label editing and list tips.
#include <algorithm>

#include "platform/afx/gdi/CDC.h"
#include "platform/controls/EditDefs.h"
#include "platform/win/Gdi.h"
#include "toolkit/controls/SECListCtrl.h"
#include "toolkit/controls/SECListEdit.h"
#include "toolkit/controls/SECListTip.h"

namespace {

constexpr UINT kEditorId = 1;

}   // namespace

CWnd* SECListBaseC::GetEditControl() const { return m_pEdit.get(); }

void SECListBaseC::CancelEditTimer()
{
    if (m_nEditTimer && m_hWnd)
        KillTimer(m_nEditTimer);
    m_nEditTimer = 0;
}

// The editor's rectangle: the cell's text part with room around it, held inside the limit.
static RECT EditorRect(RECT text, int rightLimit)
{
    text.top -= 1;
    text.bottom += 1;
    text.left = std::max(text.left - 4, static_cast<LONG>(0));
    text.right = std::min(text.right + 10, static_cast<LONG>(rightLimit));
    return text;
}

CWnd* SECListBaseC::EditLabel(int nRow, int nCol)
{
    if (!m_hWnd || (m_pEdit && m_pEdit->m_hWnd))
        return nullptr;
    HideTip();
    if (m_nEditRow >= 0)
        EndLabelEdit(TRUE);
    if (!GetItemRecord(nRow))
        return nullptr;
    const int slot = std::max(GetColumnSubItem(nCol), 0);
    m_nArmedRow = -1;
    RECT text;
    if (!GetCellRect(nRow, std::max(nCol, 0), text, 2))
        return nullptr;   // the row is not on show
    m_nEditRow = nRow;
    m_nEditCol = std::max(nCol, 0);
    RECT inside;
    GetInsideRect(inside);
    const RECT rc = EditorRect(text, inside.right);
    DWORD style = WS_CHILD | WS_BORDER | ES_MULTILINE;
    style |= HasStyle(LVXS_HEIGHT_INDEPENDENT) ? (ES_AUTOHSCROLL | ES_WANTRETURN) : ES_AUTOVSCROLL;
    if (!m_pEdit->Create(style, rc, this, kEditorId)) {
        m_nEditRow = -1;
        return nullptr;
    }
    m_pEdit->SetTabStops(0, nullptr);
    GetCellText(m_strEditOld, nRow, slot);
    if (CFont* font = GetItemFont())
        m_pEdit->SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font->GetSafeHandle()), FALSE);
    if (NotifyBeginLabelEdit(nRow, slot) == 1) {
        m_pEdit->DestroyWindow();
        m_nEditRow = -1;
        m_nArmedRow = -1;
        return nullptr;
    }
    m_pEdit->SetWindowText(m_strEditOld);
    m_pEdit->ShowWindow(SW_SHOW);
    m_pEdit->SetFocus();
    m_pEdit->SetSel(0, -1);
    RedrawItem(nRow, FALSE, TRUE);
    m_bEndingEdit = FALSE;
    return m_pEdit.get();
}

void SECListBaseC::EndLabelEdit(BOOL bCommit)
{
    if (!m_pEdit || !m_pEdit->m_hWnd || m_bEndingEdit)
        return;
    m_bEndingEdit = TRUE;
    CString typed;
    m_pEdit->GetWindowText(typed);
    char buffer[2048];
    SECListCopyText(buffer, sizeof buffer, typed);
    const int row = m_nEditRow;
    const int slot = std::max(GetColumnSubItem(m_nEditCol), 0);
    const bool hadFocus = ::GetFocus() == m_pEdit->m_hWnd;
    m_pEdit->DestroyWindow();
    m_nEditRow = -1;
    if (hadFocus)
        SetFocus();
    m_strEditReply.Empty();
    const LRESULT reply = NotifyEndLabelEdit(row, slot, bCommit ? buffer : nullptr);
    // While typing the cell showed the typed text; a refused or cancelled edit puts back the old.
    SetItemText(row, slot, (reply && bCommit) ? static_cast<LPCSTR>(m_strEditReply) : static_cast<LPCSTR>(m_strEditOld));
    RemeasureAll();
    Invalidate(TRUE);
}

void SECListBaseC::OnEditUpdate()
{
    if (m_nEditRow < 0 || !m_pEdit || !m_pEdit->m_hWnd || m_bEndingEdit)
        return;
    const int row = m_nEditRow;
    const int slot = std::max(GetColumnSubItem(m_nEditCol), 0);
    RECT before{}, after{};
    GetCellRect(row, m_nEditCol, before, 2);
    CString typed;
    m_pEdit->GetWindowText(typed);
    SetItemText(row, slot, typed);
    MeasureItem(row);
    GetCellRect(row, m_nEditCol, after, 2);
    if (after.bottom - after.top != before.bottom - before.top) {
        RemeasureAll();
        RedrawItem(row, FALSE, TRUE, TRUE);
        GetCellRect(row, m_nEditCol, after, 2);
    }
    RECT inside;
    GetInsideRect(inside);
    const int limit = GetColumnCount() <= 1 ? inside.right : inside.left + GetColumnRight(m_nEditCol);
    const RECT rc = EditorRect(after, limit);
    m_pEdit->SetWindowPos(nullptr, 0, 0, rc.right - rc.left, rc.bottom - rc.top,
                          SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void SECListBaseC::OnEditKillFocus() { EndLabelEdit(TRUE); }

// ---------------------------------------------------------------- tips

BOOL SECListBaseC::ShowTip(UINT nHitCode, int nRow, int nCol, int, int)
{
    if (!m_hWnd)
        return FALSE;
    if (!m_pTip->m_hWnd && !m_pTip->CreateTip(this))
        return FALSE;
    const int slot = nCol < 0 ? -1 : GetColumnSubItem(nCol);
    const bool over = (nHitCode & LVHT_ONITEMLABEL) || ((nHitCode & LVHT_ONITEM) && slot >= 1);
    if (!over || nRow < 0 || nCol < 0 || !GetItemRecord(nRow) || !::GetActiveWindow()) {
        HideTip();
        return FALSE;
    }
    RECT cell, text;
    if (!GetCellRect(nRow, nCol, cell, 0) || !GetCellRect(nRow, nCol, text, 2)) {
        HideTip();
        return FALSE;
    }
    cell.right -= 5;
    RECT inside;
    GetInsideRect(inside);
    if (!(text.right > std::min(inside.right, cell.right) || text.left < inside.left)) {
        HideTip();
        return FALSE;
    }
    if (m_pTip->m_nRow == nRow && m_pTip->m_nSlot == slot && m_pTip->IsWindowVisible())
        return TRUE;
    HideTip();
    text.left -= 2;
    text.right += 2;
    text.bottom += 2;
    m_pTip->m_nRow = nRow;
    m_pTip->m_nSlot = slot;
    m_pTip->m_rect = cell;
    CString str;
    GetCellText(str, nRow, slot);
    if (str.IsEmpty())
        return FALSE;
    m_pTip->SetTipText(str);
    POINT tl{text.left, text.top};
    ::ClientToScreen(m_hWnd, &tl);
    const int width = text.right - text.left;
    const int screen = ::GetSystemMetrics(SM_CXSCREEN);
    if (tl.x + width + 3 > screen)
        tl.x = screen - width - 3;
    if (tl.x - 1 < 0)
        tl.x = 1;
    m_pTip->SetWindowPos(nullptr, tl.x - 1, tl.y, width + 3, cell.bottom - cell.top,
                         SWP_NOACTIVATE | SWP_NOZORDER | SWP_SHOWWINDOW);
    SetCapture(TRUE);
    m_pTip->m_bCaptured = TRUE;
    m_pTip->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    return TRUE;
}

void SECListBaseC::HideTip()
{
    if (!m_pTip)
        return;
    if (m_pTip->m_hWnd && m_pTip->IsWindowVisible()) {
        CRect shown;
        m_pTip->GetWindowRect(&shown);
        m_pTip->ShowWindow(SW_HIDE);
        if (m_hWnd) {
            ScreenToClient(&shown);
            RedrawWindow(&shown, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_FRAME);
        }
    }
    m_pTip->m_nRow = -1;
    m_pTip->m_nSlot = -1;
    m_pTip->m_rect = RECT{};
    if (m_pTip->m_bCaptured && m_hWnd && ::GetCapture() == m_hWnd)
        ::ReleaseCapture();
    m_pTip->m_bCaptured = FALSE;
}

void SECListBaseC::RefreshTip()
{
    if (m_pTip && m_pTip->m_hWnd && m_pTip->IsWindowVisible())
        m_pTip->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void SECListCtrl::OnEditKillFocusCmd() { OnEditKillFocus(); }
void SECListCtrl::OnEditUpdateCmd() { OnEditUpdate(); }
