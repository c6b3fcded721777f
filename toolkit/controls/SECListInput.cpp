// SECListBaseC's selection by the user, hit testing, the divider drag, the key table, and the
// list's mouse, focus and key messages.
#include <algorithm>
#include <cstdlib>

#include "platform/afx/gdi/CDC.h"
#include "platform/win/Gdi.h"
#include "platform/win/VirtualKeys.h"
#include "platform/controls/Dialog.h"
#include "platform/win/Cursor.h"
#include "platform/win/Keyboard.h"
#include "toolkit/controls/SECListCtrl.h"
#include "toolkit/controls/SECListEdit.h"

namespace {

constexpr UINT kMkShift = 4, kMkControl = 8, kMkRight = 2;
constexpr UINT kKeyHitCode = 0x46;
constexpr UINT_PTR kEditTimerId = 1;
constexpr UINT kEditDelayMs = 500;
constexpr int kDragThreshold = 3;

bool KeyDown(int vk) { return (::GetKeyState(vk) & 0x8000) != 0; }

}   // namespace

// ---------------------------------------------------------------- hit testing

int SECListBaseC::HitTest(int x, int y, UINT& nHitCode, int& nCol) const
{
    nHitCode = 0;
    nCol = -1;
    RECT client{};
    if (m_hWnd)
        ::GetClientRect(m_hWnd, &client);
    if (y < client.top)
        nHitCode |= LVHT_ABOVE;
    if (y >= client.bottom)
        nHitCode |= LVHT_BELOW;
    if (x < client.left)
        nHitCode |= LVHT_TOLEFT;
    if (x >= client.right)
        nHitCode |= LVHT_TORIGHT;
    if (nHitCode)
        return -1;
    const int count = GetColumnCount();
    if (count == 1) {
        nCol = 0;
    } else {
        int right = -m_nHScroll;
        for (int c = 0; c < count; ++c) {
            right += m_columns[c]->m_cx;
            if (right > x) {
                nCol = c;
                break;
            }
        }
    }
    RECT inside;
    GetInsideRect(inside);
    int row = -1;
    if (y >= inside.top) {
        row = HitTestRows(x, y, nHitCode, nCol);
    } else if (count > 0) {
        int right = -m_nHScroll;
        for (int c = 0; c < count; ++c) {
            const int left = right;
            right += m_columns[c]->m_cx;
            if (std::abs(x - right) <= 4) {
                nHitCode |= LVHT_ONDIVIDER;
                nCol = c;
                break;
            }
            if (x >= left && x < right) {
                nHitCode |= LVHT_ONHEADER;
                nCol = c;
                break;
            }
        }
    }
    if (nHitCode == 0)
        nHitCode = LVHT_NOWHERE;
    return row;
}

int SECListBaseC::HitTestRows(int x, int y, UINT& nHitCode, int nCol) const
{
    auto* self = const_cast<SECListBaseC*>(this);
    RECT inside;
    GetInsideRect(inside);
    int top = inside.top;
    for (int r = m_nTopIndex; r < GetItemCount() && top < inside.bottom; ++r) {
        const int rowTop = top + GetRowSpacing();
        const int bottom = rowTop + self->GetRowHeight(r);
        top = bottom;
        if (y < rowTop || y >= bottom)
            continue;
        nHitCode |= LVHT_ONITEM;
        if (GetColumnSubItem(nCol) == 0) {
            const SECListItem* item = m_items[r].get();
            const int dx = inside.left + GetColumnLeft(nCol);
            POINT pt{x - dx, y - rowTop};
            if (::PtInRect(&item->m_rcText, pt))
                nHitCode |= LVHT_ONITEMLABEL;
            else if (::PtInRect(&item->m_rcIcon, pt))
                nHitCode |= LVHT_ONITEMICON;
            else if (::PtInRect(&item->m_rcStateIcon, pt))
                nHitCode |= LVHT_ONITEMSTATEICON;
            else if (pt.x < item->m_rcText.left)
                nHitCode |= LVHT_LEFTOFLABEL;
            else if (pt.x >= item->m_rcText.right)
                nHitCode |= LVHT_RIGHTOFLABEL;
        }
        return r;
    }
    return -1;
}

// ---------------------------------------------------------------- selection by the user

int SECListBaseC::GetNextItem(int nStart, UINT nFlags)
{
    const bool backwards = (nFlags & (LVNI_ABOVE | LVNI_TOLEFT)) != 0;
    if ((nFlags & ~0x000Fu) && !backwards && !(nFlags & (LVNI_BELOW | LVNI_TORIGHT)))
        return -1;
    const UINT states = nFlags & 0x000F;
    const int step = backwards ? -1 : 1;
    for (int r = nStart + step; r >= 0 && r < GetItemCount(); r += step) {
        if (!states)
            return r;
        if (GetItemState(r, states))
            return r;
    }
    return -1;
}

BOOL SECListBaseC::SelectByUser(int nRow, UINT, UINT nKeyState, BOOL bToggleAllowed)
{
    const int old = m_nFocus;
    const int cause = bToggleAllowed ? 1 : 0;
    if (IsMultipleSelection() && (nKeyState & (kMkShift | kMkControl))) {
        if (m_nSelVeto)
            return TRUE;   // vetoed: ignored until a plain selection asks again
        if (nKeyState & kMkControl) {
            if (!bToggleAllowed) {
                HideTip();
                SetFocusItem(nRow);
                return TRUE;
            }
            if ((m_nSelVeto = NotifySelChanging(nRow, old, cause)) != 0)
                return FALSE;
            HideTip();
            SelectFocusItem(nRow, !IsSelected(nRow));
        } else {
            if (m_nAnchor < 0 || nRow == m_nFocus)
                return TRUE;
            if ((m_nSelVeto = NotifySelChanging(nRow, old, cause)) != 0)
                return FALSE;
            const int anchor = m_nAnchor;
            HideTip();
            DeselectAllExcept(-1);
            SelectRange(anchor, nRow, TRUE);
            SelectFocusItem(nRow, TRUE);
            m_nAnchor = anchor;
            RedrawItems(anchor, nRow);
        }
        NotifySelChanged(nRow, old, cause);
        return TRUE;
    }
    if (nRow == m_nFocus && IsSelected(nRow))
        return TRUE;
    if ((nKeyState & kMkRight) && IsSelected(nRow)) {
        // A right click inside a multiple selection keeps it.
        HideTip();
        const int anchor = m_nAnchor;
        SetFocusItem(nRow);
        m_nAnchor = anchor;
        return TRUE;
    }
    if ((m_nSelVeto = NotifySelChanging(nRow, old, cause)) != 0)
        return FALSE;
    HideTip();
    DeselectAllExcept(nRow);
    SelectFocusItem(nRow, TRUE);
    NotifySelChanged(nRow, old, cause);
    return TRUE;
}

void SECListBaseC::AfterSelectByUser(int, BOOL) {}

void SECListBaseC::ClassifyClick(CPoint pt, int nRow, UINT nHitCode, BOOL& bArmDrag, BOOL& bSelect)
{
    bArmDrag = FALSE;
    bSelect = FALSE;
    if (nRow < 0)
        return;
    if (nHitCode & (LVHT_ONITEMLABEL | LVHT_ONITEMICON)) {
        bSelect = bArmDrag = TRUE;
        return;
    }
    if (!(nHitCode & LVHT_ONITEM) || (nHitCode & LVHT_ONITEMSTATEICON))
        return;
    if (HasStyleEx(LVXS_EX_FULLROWSELECT)) {
        bSelect = TRUE;
        return;
    }
    if (nHitCode & LVHT_LEFTOFLABEL) {
        RECT icon;
        if (GetLabelRect(nRow, icon, 1) && pt.x >= icon.right)
            bSelect = bArmDrag = TRUE;
    }
}

// ---------------------------------------------------------------- the divider drag

int SECListBaseC::TrackColumnResize(int x, int, int nCol)
{
    if (::GetCapture())
        return 0;
    CWnd::SetCapture();
    UpdateWindow();
    RECT inside;
    GetInsideRect(inside);
    const int left = inside.left + GetColumnLeft(nCol);
    CClientDC dc(this);
    const SIZE thin{1, 1};
    auto barAt = [&](int at) { return RECT{at - 1, 0, at + 1, inside.bottom}; };
    if (nCol > 0) {
        RECT fixed = barAt(left);
        dc.DrawDragRect(&fixed, thin, nullptr, thin);
    }
    const int start = x;
    int cur = x;
    RECT shown = barAt(cur);
    dc.DrawDragRect(&shown, thin, nullptr, thin);
    bool done = false;
    while (!done) {
        MSG msg;
        if (::GetCapture() != m_hWnd)
            break;   // the capture went elsewhere: the drag ends where it is
        if (!::GetMessage(&msg, nullptr, 0, 0)) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        switch (msg.message) {
        case WM_MOUSEMOVE: {
            cur = std::max(static_cast<int>(GET_X_LPARAM(msg.lParam)), left + 10);
            RECT next = barAt(cur);
            dc.DrawDragRect(&next, thin, &shown, thin);
            shown = next;
            break;
        }
        case WM_LBUTTONUP:
            cur = GET_X_LPARAM(msg.lParam);
            done = true;
            break;
        case WM_RBUTTONDOWN:
            cur = start;
            done = true;
            break;
        case WM_KEYDOWN:
            if (msg.wParam == VK_ESCAPE) {
                cur = start;
                done = true;
            }
            break;
        case WM_CANCELMODE:
            done = true;
            break;
        default:
            ::TranslateMessage(&msg);
            ::DispatchMessage(&msg);
        }
    }
    dc.DrawDragRect(&shown, thin, nullptr, thin);
    if (nCol > 0) {
        RECT fixed = barAt(left);
        dc.DrawDragRect(&fixed, thin, nullptr, thin);
    }
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
    cur = std::max(cur, left + 10);
    return cur - start;
}

CWnd* SECListBaseC::SetCapture(BOOL bCapture)
{
    if (!bCapture || !m_hWnd)
        return nullptr;
    return CWnd::FromHandle(::SetCapture(m_hWnd));
}

// ---------------------------------------------------------------- keys

void SECListBaseC::OnKeyUp(int nRow, int, BOOL bShift, BOOL bCtrl, UINT, UINT)
{
    if (nRow <= 0)
        return;
    const UINT keys = (bShift ? kMkShift : 0) | (bCtrl ? kMkControl : 0);
    if (SelectByUser(nRow - 1, kKeyHitCode, keys, FALSE))
        EnsureVisible(nRow - 1, FALSE);
    AfterSelectByUser(nRow - 1, FALSE);
}

void SECListBaseC::OnKeyDown(int nRow, int, BOOL bShift, BOOL bCtrl, UINT, UINT)
{
    if (nRow + 1 >= GetItemCount())
        return;
    const UINT keys = (bShift ? kMkShift : 0) | (bCtrl ? kMkControl : 0);
    if (SelectByUser(nRow + 1, kKeyHitCode, keys, FALSE))
        EnsureVisible(nRow + 1, FALSE);
    AfterSelectByUser(nRow + 1, FALSE);
}

void SECListBaseC::OnKeyF2(int nRow, int, BOOL, BOOL, UINT, UINT)
{
    if (HasStyle(LVXS_EDITLABELS) && nRow >= 0)
        EditLabel(nRow, m_nEditCol);
}

void SECListBaseC::OnKeyReturn(int, int, BOOL, BOOL, UINT, UINT) { Notify(NM_RETURN); }

void SECListBaseC::OnKeyHome(int, int, BOOL bShift, BOOL bCtrl, UINT, UINT)
{
    if (GetItemCount() == 0)
        return;
    if (IsVertBarShown())
        SendMessage(WM_VSCROLL, SB_TOP);
    const UINT keys = (bShift ? kMkShift : 0) | (bCtrl ? kMkControl : 0);
    SelectByUser(0, kKeyHitCode, keys, FALSE);
    AfterSelectByUser(0, FALSE);
    Invalidate(FALSE);
}

void SECListBaseC::OnKeyEnd(int, int, BOOL bShift, BOOL bCtrl, UINT, UINT)
{
    if (GetItemCount() == 0)
        return;
    if (IsVertBarShown())
        SendMessage(WM_VSCROLL, SB_BOTTOM);
    const UINT keys = (bShift ? kMkShift : 0) | (bCtrl ? kMkControl : 0);
    const int last = GetItemCount() - 1;
    SelectByUser(last, kKeyHitCode, keys, FALSE);
    AfterSelectByUser(last, FALSE);
    Invalidate(FALSE);
}

void SECListBaseC::OnKeyPageUp(int nRow, int nSlot, BOOL bShift, BOOL bCtrl, UINT nRepCnt, UINT nFlags)
{
    if (!IsVertBarShown()) {
        OnKeyHome(nRow, nSlot, bShift, bCtrl, nRepCnt, nFlags);
        return;
    }
    if (nRow == m_nTopIndex)
        SendMessage(WM_VSCROLL, SB_PAGEUP);
    const UINT keys = (bShift ? kMkShift : 0) | (bCtrl ? kMkControl : 0);
    const int target = m_nTopIndex;
    SelectByUser(target, kKeyHitCode, keys, FALSE);
    AfterSelectByUser(target, FALSE);
    Invalidate(FALSE);
}

void SECListBaseC::OnKeyPageDown(int nRow, int nSlot, BOOL bShift, BOOL bCtrl, UINT nRepCnt, UINT nFlags)
{
    if (!IsVertBarShown()) {
        OnKeyEnd(nRow, nSlot, bShift, bCtrl, nRepCnt, nFlags);
        return;
    }
    if (nRow == GetBottomIndex())
        SendMessage(WM_VSCROLL, SB_PAGEDOWN);
    const UINT keys = (bShift ? kMkShift : 0) | (bCtrl ? kMkControl : 0);
    const int target = std::max(GetBottomIndex(), m_nTopIndex);
    SelectByUser(target, kKeyHitCode, keys, FALSE);
    AfterSelectByUser(target, FALSE);
    Invalidate(FALSE);
}

// ---------------------------------------------------------------- notifications

LRESULT SECListBaseC::NotifyBeginLabelEdit(int nRow, int nSlot)
{
    LV_DISPINFO di{};
    di.item.mask = LVIF_TEXT;
    di.item.iItem = nRow;
    di.item.iSubItem = nSlot;
    di.item.lParam = GetItemData(nRow);
    return SendNotify(di.hdr, LVN_BEGINLABELEDITA);
}

LRESULT SECListBaseC::NotifyEndLabelEdit(int nRow, int nSlot, LPCSTR pszText)
{
    LV_DISPINFO di{};
    di.item.mask = LVIF_TEXT | LVIF_PARAM;
    di.item.iItem = nRow;
    di.item.iSubItem = nSlot;
    di.item.lParam = GetItemData(nRow);
    di.item.pszText = const_cast<LPSTR>(pszText);   // null when the edit was cancelled
    const LRESULT result = SendNotify(di.hdr, LVN_ENDLABELEDITA);
    m_strEditReply = di.item.pszText ? di.item.pszText : "";
    return result;
}

LRESULT SECListBaseC::NotifyKeyDown(UINT nVirtKey)
{
    struct {
        NMHDR hdr;
        WORD wVKey;
        UINT flags;
    } nm{};
    nm.wVKey = static_cast<WORD>(nVirtKey);
    return SendNotify(nm.hdr, LVN_KEYDOWN);
}

// ---------------------------------------------------------------- SECListCtrl: mouse, focus, keys

void SECListCtrl::OnLButtonDown(UINT nFlags, CPoint point)
{
    if (::GetFocus() != m_hWnd)
        SetFocus();
    UINT code = 0;
    int col = -1;
    const int row = HitTest(point.x, point.y, code, col);
    m_bDragArmed = FALSE;
    m_nEditCol = col;
    if ((code & LVHT_ONDIVIDER) && col >= 0 && col < GetColumnCount() - 1) {
        const int delta = TrackColumnResize(point.x, point.y, col);
        SECListColumn* column = m_columns[col].get();
        column->m_cx += delta;
        if (HasStyleEx(LVXS_EX_FILLLABEL)) {
            m_columns[col + 1]->m_cx -= delta;
            int total = 0;
            for (auto& c : m_columns) {
                if (c->m_cx < 6)
                    c->m_cx = 5;
                total += c->m_cx;
            }
            RECT inside;
            GetInsideRect(inside);
            const int excess = total - (inside.right - inside.left);
            // Column 0 gives up the excess, but never below the smallest width a column has.
            if (excess > 0)
                m_columns[0]->m_cx = std::max(m_columns[0]->m_cx - excess, 5);
        }
        RemeasureAll();
        Invalidate(TRUE);
        m_ptButtonDown = point;
        return;
    }
    BOOL arm = FALSE, select = FALSE;
    ClassifyClick(point, row, code, arm, select);
    if (select) {
        SelectByUser(row, code, nFlags, TRUE);
        AfterSelectByUser(row, TRUE);
    }
    m_bDragArmed = arm;
    m_ptButtonDown = point;
    RefreshTip();
    m_bDragging = FALSE;
    Default();
}

void SECListCtrl::OnLButtonUp(UINT, CPoint point)
{
    m_bDragArmed = FALSE;
    if (m_bDragging) {
        m_bDragging = FALSE;
        return;
    }
    UINT code = 0;
    int col = -1;
    const int row = HitTest(point.x, point.y, code, col);
    BOOL arm = FALSE, onRow = FALSE;
    ClassifyClick(point, row, code, arm, onRow);
    if (onRow && row >= 0 && row == m_nArmedRow && m_hWnd) {
        CancelEditTimer();
        m_nEditTimer = SetTimer(kEditTimerId, kEditDelayMs, nullptr);
    }
    const bool fullRow = HasStyleEx(LVXS_EX_FULLROWSELECT);
    if (HasStyle(LVXS_EDITLABELS) && row >= 0 && IsSelected(row) &&
        ((code & LVHT_ONITEMLABEL) || (fullRow && (code & LVHT_ONITEM) && m_nEditCol != 0)))
        m_nArmedRow = row;
    else
        m_nArmedRow = -1;
    Default();
    Notify(NM_CLICK);
}

void SECListCtrl::OnLButtonDblClk(UINT, CPoint)
{
    m_nArmedRow = -1;
    CancelEditTimer();
    Default();
    Notify(NM_DBLCLK);
}

void SECListCtrl::OnRButtonDown(UINT nFlags, CPoint point)
{
    if (::GetFocus() != m_hWnd)
        SetFocus();
    UINT code = 0;
    int col = -1;
    const int row = HitTest(point.x, point.y, code, col);
    m_bDragArmed = FALSE;
    if (!(code & LVHT_ONDIVIDER)) {
        BOOL arm = FALSE, select = FALSE;
        ClassifyClick(point, row, code, arm, select);
        if (select) {
            SelectByUser(row, code, nFlags, TRUE);
            AfterSelectByUser(row, TRUE);
        }
        m_bDragArmed = arm;
    }
    m_ptButtonDown = point;
    RefreshTip();
    m_bDragging = FALSE;
    Default();
}

void SECListCtrl::OnRButtonUp(UINT, CPoint)
{
    m_bDragArmed = FALSE;
    if (m_bDragging) {
        m_bDragging = FALSE;
        return;
    }
    RefreshTip();
    Default();
    Notify(NM_RCLICK);
}

void SECListCtrl::OnMouseMove(UINT nFlags, CPoint point)
{
    if (m_bDragging)
        return;
    UINT code = 0;
    int col = -1;
    const int row = HitTest(point.x, point.y, code, col);
    m_bShowSizingCursor = (code & LVHT_ONDIVIDER) != 0;
    bool begun = false;
    if (m_bDragArmed && m_nFocus >= 0 && (nFlags & (MK_LBUTTON | MK_RBUTTON)) &&
        (std::abs(point.x - m_ptButtonDown.x) > kDragThreshold ||
         std::abs(point.y - m_ptButtonDown.y) > kDragThreshold)) {
        m_bDragArmed = FALSE;
        m_bDragging = TRUE;
        begun = true;
    }
    if (HasStyleEx(LVXS_EX_FLAG100000) && HasStyle(LVXS_HEIGHT_INDEPENDENT)) {
        if (!m_bDragging && row != m_nEditRow)
            ShowTip(code, row, col, point.x, point.y);
        else
            HideTip();
    }
    if (begun) {
        if (nFlags & MK_LBUTTON)
            NotifyBeginDrag(m_nFocus, m_ptButtonDown);
        else
            NotifyBeginRightDrag(m_nFocus, m_ptButtonDown);
    }
    Default();
}

BOOL SECListCtrl::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message)
{
    if (nHitTest == HTCLIENT && m_bShowSizingCursor && m_hSizingCursor) {
        ::SetCursor(m_hSizingCursor);
        return TRUE;
    }
    return CWnd::OnSetCursor(pWnd, nHitTest, message);
}

void SECListCtrl::OnSetFocus(CWnd* pOldWnd)
{
    CWnd::OnSetFocus(pOldWnd);
    if (!IsMultipleSelection() && m_nFocus >= 0)
        RedrawItem(m_nFocus, TRUE);
    else
        Invalidate(FALSE);
    Notify(NM_SETFOCUS);
}

void SECListCtrl::OnKillFocus(CWnd* pNewWnd)
{
    CWnd* editor = GetEditControl();
    if (pNewWnd && editor && editor->m_hWnd && pNewWnd->m_hWnd == editor->m_hWnd)
        return;   // typing into the list's own editor
    CWnd::OnKillFocus(pNewWnd);
    if (m_nEditRow >= 0)
        EndLabelEdit(TRUE);
    if (!IsMultipleSelection() && m_nFocus >= 0)
        RedrawItem(m_nFocus, TRUE);
    else
        Invalidate(FALSE);
    Notify(NM_KILLFOCUS);
}

LRESULT SECListCtrl::OnKeyDownMsg(WPARAM wParam, LPARAM lParam)
{
    const UINT vk = static_cast<UINT>(wParam);
    NotifyKeyDown(vk);
    const BOOL shift = KeyDown(VK_SHIFT), ctrl = KeyDown(VK_CONTROL);
    const UINT rep = LOWORD(lParam), flags = HIWORD(lParam);
    const int row = m_nFocus;
    const int slot = std::max(GetColumnSubItem(m_nEditCol), 0);
    CWnd* parent = GetParent();
    switch (vk) {
    case VK_SPACE:
        if (row >= 0)
            SelectFocusItem(row, !IsSelected(row));
        break;
    case VK_BACK: OnKeyBack(row, slot, shift, ctrl, rep, flags); break;
    case VK_TAB:
        if (parent)
            parent->PostMessage(WM_NEXTDLGCTL, shift ? 1 : 0, 0);
        break;
    case VK_RETURN: OnKeyReturn(row, slot, shift, ctrl, rep, flags); break;
    case VK_ESCAPE:
        if (parent)
            parent->PostMessage(WM_COMMAND, IDCANCEL, 0);
        break;
    case VK_PRIOR: OnKeyPageUp(row, slot, shift, ctrl, rep, flags); break;
    case VK_NEXT: OnKeyPageDown(row, slot, shift, ctrl, rep, flags); break;
    case VK_END: OnKeyEnd(row, slot, shift, ctrl, rep, flags); break;
    case VK_HOME: OnKeyHome(row, slot, shift, ctrl, rep, flags); break;
    case VK_LEFT: case VK_SUBTRACT: case VK_OEM_MINUS: OnKeyLeft(row, slot, shift, ctrl, rep, flags); break;
    case VK_UP: OnKeyUp(row, slot, shift, ctrl, rep, flags); break;
    case VK_RIGHT: case VK_ADD: case VK_OEM_PLUS: OnKeyRight(row, slot, shift, ctrl, rep, flags); break;
    case VK_DOWN: OnKeyDown(row, slot, shift, ctrl, rep, flags); break;
    case VK_MULTIPLY: OnKeyMultiply(row, slot, shift, ctrl, rep, flags); break;
    case VK_F2: OnKeyF2(row, slot, shift, ctrl, rep, flags); break;
    default: break;
    }
    return Default();
}

LRESULT SECListCtrl::OnSysKeyDownMsg(WPARAM wParam, LPARAM)
{
    NotifyKeyDown(static_cast<UINT>(wParam));
    return Default();
}
