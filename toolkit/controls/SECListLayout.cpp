// SECListBaseC's rows, layout and scrolling: the inside area, row bands and pages, the two own
// scroll bars, and scrolling by message, wheel and code.
#include <algorithm>

#include "platform/afx/gdi/CDC.h"
#include "platform/controls/ScrollBarControl.h"
#include "platform/win/Gdi.h"
#include "platform/core/CException.h"
#include "platform/win/ScrollBar.h"
#include "toolkit/controls/SECListCtrl.h"

namespace {

constexpr UINT kHorzBarId = 0xEA00;
constexpr UINT kVertBarId = 0xEA10;

int BarWidth() { return ::GetSystemMetrics(SM_CXVSCROLL); }
int BarHeight() { return ::GetSystemMetrics(SM_CYHSCROLL); }

}   // namespace

// ---------------------------------------------------------------- geometry

void SECListBaseC::GetInsideRect(RECT& rc) const
{
    rc = RECT{};
    if (!m_hWnd)
        return;
    ::GetClientRect(m_hWnd, &rc);
    if ((m_dwListStyle & LVXS_VIEW_MASK) == LVXS_REPORT_VIEW && IsHeaderShown())
        rc.top += m_cyHeader;
    if (IsVertBarShown())
        rc.right -= BarWidth() - 1;
    if (IsHorzBarShown())
        rc.bottom -= BarHeight() - 1;
}

int SECListBaseC::GetRowHeight(int nRow)
{
    SECListItem* item = GetItemRecord(nRow);
    if (!item)
        return 0;
    if (item->m_cy < 0)
        MeasureItem(nRow);
    return std::max(item->m_cy, 0);
}

int SECListBaseC::RowTop(int nRow)
{
    RECT inside;
    GetInsideRect(inside);
    int y = inside.top;
    for (int r = m_nTopIndex; r < nRow; ++r)
        y += GetRowSpacing() + GetRowHeight(r);
    return y;
}

BOOL SECListBaseC::GetCellRect(int nRow, int nCol, RECT& rc, int nPart) const
{
    rc = RECT{};
    auto* self = const_cast<SECListBaseC*>(this);
    SECListItem* item = GetItemRecord(nRow);
    if (!item || nRow < m_nTopIndex || nCol < 0 || (nCol >= GetColumnCount() && GetColumnCount() > 0))
        return FALSE;
    const int top = self->RowTop(nRow) + GetRowSpacing();
    const int cy = self->GetRowHeight(nRow);
    RECT inside;
    GetInsideRect(inside);
    RECT cell{GetColumnLeft(nCol), top, GetColumnRight(nCol), top + cy};
    cell.left += inside.left;
    cell.right += inside.left;
    if (GetColumnCount() < 2)
        cell.right = std::max(cell.right, inside.right);
    const int slot = GetColumnSubItem(nCol);
    if (nPart == 0) {
        rc = cell;
        return TRUE;
    }
    if (slot == 0) {
        const RECT& part = nPart == 1 ? item->m_rcIcon : item->m_rcText;
        if (nPart != 1 && nPart != 2)
            return FALSE;
        if (nPart == 1 && ::IsRectEmpty(&part))
            return FALSE;
        rc = part;
        ::OffsetRect(&rc, cell.left, cell.top);
        return TRUE;
    }
    if (nPart != 2 || slot < 1 || slot > static_cast<int>(item->m_subItems.size()))
        return FALSE;
    rc = item->m_subItems[slot - 1]->m_rcText;
    ::OffsetRect(&rc, cell.left, cell.top);
    // The text part sits where the drawing puts the text: right-aligned or centred columns
    // move it, so tips and the editor lie over the drawn text.
    const int width = rc.right - rc.left;
    const int fmt = GetColumnFormat(nCol) & 3;
    if (fmt == 1) {
        rc.right = cell.right - 5;
        rc.left = rc.right - width;
    } else if (fmt == 2) {
        rc.left = cell.left + ((cell.right - cell.left) - width) / 2;
        rc.right = rc.left + width;
    }
    return TRUE;
}

BOOL SECListBaseC::SetItemHeight(int nRow, int cy)
{
    SECListItem* item = GetItemRecord(nRow);
    if (!item)
        return FALSE;
    item->m_cy = cy;
    return TRUE;
}

void SECListBaseC::DeferMeasure(int nRow)
{
    if (SECListItem* item = GetItemRecord(nRow))
        item->m_cy = -1;
}

void SECListBaseC::RemeasureItem(int nRow)
{
    if (SECListItem* item = GetItemRecord(nRow)) {
        item->m_cy = -1;
        RedrawItem(nRow, FALSE, TRUE);
    }
}

void SECListBaseC::RemeasureAll()
{
    for (auto& item : m_items)
        item->m_cy = -1;
    RecalcLayout();
}

int SECListBaseC::GetCountPerPage()
{
    RECT inside;
    GetInsideRect(inside);
    const int height = inside.bottom - inside.top;
    int used = 0, count = 0;
    int r = m_nTopIndex;
    for (; r < GetItemCount(); ++r) {
        const int band = GetRowSpacing() + GetRowHeight(r);
        if (used + band > height)
            return count;
        used += band;
        ++count;
    }
    // The last row is shown with space left: rows above the top would fit there too.
    for (r = m_nTopIndex - 1; r >= 0; --r) {
        const int band = GetRowSpacing() + GetRowHeight(r);
        if (used + band > height)
            break;
        used += band;
        ++count;
    }
    return count;
}

int SECListBaseC::GetCountPerPageAbove()
{
    RECT inside;
    GetInsideRect(inside);
    const int height = inside.bottom - inside.top;
    int used = 0, count = 0;
    for (int r = m_nTopIndex - 1; r >= 0; --r) {
        const int band = GetRowSpacing() + GetRowHeight(r);
        if (used + band > height)
            break;
        used += band;
        ++count;
    }
    return count;
}

int SECListBaseC::GetMaxTopIndex()
{
    RECT inside;
    GetInsideRect(inside);
    const int height = inside.bottom - inside.top;
    const int count = GetItemCount();
    int used = 0;
    int r = count - 1;
    for (; r >= 0; --r) {
        const int band = GetRowSpacing() + GetRowHeight(r);
        if (used + band > height)
            break;
        used += band;
    }
    if (r == count - 1)
        return count;   // even the last row alone does not fit
    return r + 1;
}

int SECListBaseC::GetBottomIndex(SECListPaintContext*)
{
    RECT inside;
    GetInsideRect(inside);
    const int height = inside.bottom - inside.top;
    int used = 0;
    for (int r = m_nTopIndex; r < GetItemCount(); ++r) {
        used += GetRowSpacing() + GetRowHeight(r);
        if (used > height)
            return r - 1;
    }
    return GetItemCount() - 1;
}

int SECListBaseC::GetEndIndex()
{
    RECT inside;
    GetInsideRect(inside);
    const int height = inside.bottom - inside.top;
    int used = 0;
    int r = m_nTopIndex;
    for (; r < GetItemCount() && used < height; ++r)
        used += GetRowSpacing() + GetRowHeight(r);
    return r;
}

int SECListBaseC::GetPageUpIndex()
{
    RECT inside;
    GetInsideRect(inside);
    const int height = inside.bottom - inside.top;
    int used = 0;
    int r = m_nTopIndex;
    while (r > 0 && used < height) {
        --r;
        used += GetRowSpacing() + GetRowHeight(r);
    }
    return used >= height ? r + 1 : r;
}

int SECListBaseC::RowFromOffset(CPoint pt) { return RowFromOffsetY(pt.y); }

int SECListBaseC::RowFromOffsetY(int y)
{
    int used = 0;
    for (int r = 0; r < GetItemCount(); ++r) {
        used += GetRowSpacing() + GetRowHeight(r);
        if (used >= y)
            return r;
    }
    return GetItemCount();
}

int SECListBaseC::GetRowsHeight(int nFirst, int nLast, BOOL bInclusive)
{
    const int lo = std::max(std::min(nFirst, nLast), 0);
    const int hi = std::min(std::max(nFirst, nLast), GetItemCount() - (bInclusive ? 1 : 0));
    int sum = 0;
    for (int r = lo; r < hi + (bInclusive ? 1 : 0); ++r)
        sum += GetRowSpacing() + GetRowHeight(r);
    return nFirst > nLast ? -sum : sum;
}

int SECListBaseC::GetRowsInHeight(int cy, int nStart, BOOL bForward)
{
    int used = 0, count = 0;
    for (int r = nStart; r >= 0 && r < GetItemCount() && used < cy; r += bForward ? 1 : -1) {
        used += GetRowSpacing() + GetRowHeight(r);
        ++count;
    }
    return count;
}

int SECListBaseC::GetContentWidth(SECListPaintContext*)
{
    if (GetColumnCount() >= 2) {
        int sum = 0;
        for (auto& c : m_columns)
            sum += c->m_cx;
        return sum;
    }
    RECT inside;
    GetInsideRect(inside);
    const int height = inside.bottom - inside.top;
    int widest = 0, used = 0;
    for (int r = m_nTopIndex; r < GetItemCount(); ++r) {
        const int cy = GetRowHeight(r);
        if (!HasStyle(LVXS_HEIGHT_INDEPENDENT) && used + cy > height)
            break;
        used += GetRowSpacing() + cy;
        widest = std::max(widest, static_cast<int>(m_items[r]->m_rcText.right) + 5);
    }
    if ((m_dwListStyle & LVXS_VIEW_MASK) == LVXS_REPORT_VIEW)
        widest = std::max(widest, static_cast<int>(inside.right - inside.left));
    return widest;
}

void SECListBaseC::GetContentSize(int& cx, int& nRows)
{
    cx = GetContentWidth();
    nRows = GetItemCount();
}

// ---------------------------------------------------------------- scroll bars

CWnd* SECListBaseC::GetScrollBarCtrl(int nBar) const
{
    if (!m_hWnd)
        return nullptr;
    HWND bar = ::GetDlgItem(m_hWnd, static_cast<int>(nBar ? kVertBarId : kHorzBarId));
    return bar ? CWnd::FromHandle(bar) : nullptr;
}

BOOL SECListBaseC::CreateScrollBarCtrl(DWORD dwStyle, UINT nID)
{
    HWND bar = ::CreateWindowEx(0, "SCROLLBAR", nullptr, dwStyle | WS_CHILD | WS_VISIBLE, 0, 0, 1, 1, m_hWnd,
                                reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)), nullptr, nullptr);
    return bar != nullptr;
}

void SECListBaseC::ShowScrollBarCtrl(int nBar, BOOL bShow, SCROLLINFO* pInfo)
{
    if (HasStyle(LVXS_NOSCROLLBARS))
        bShow = FALSE;
    if (nBar == 3) {
        ShowScrollBarCtrl(0, bShow, nullptr);
        ShowScrollBarCtrl(1, bShow, nullptr);
        return;
    }
    if (!m_hWnd)
        return;
    const UINT id = nBar ? kVertBarId : kHorzBarId;
    HWND bar = ::GetDlgItem(m_hWnd, static_cast<int>(id));
    if (!bar) {
        if (!bShow)
            return;   // nothing to hide
        if (!CreateScrollBarCtrl(nBar ? SBS_VERT : SBS_HORZ, id))
            AfxThrowResourceException();
        bar = ::GetDlgItem(m_hWnd, static_cast<int>(id));
        ::ShowWindow(bar, SW_HIDE);
    }
    if (pInfo)
        ::SetScrollInfo(bar, SB_CTL, pInfo, FALSE);
    const UINT flag = nBar ? 2u : 1u;
    const BOOL wasShown = (m_nScrollBars & flag) != 0;
    if (bShow)
        m_nScrollBars |= flag;
    else
        m_nScrollBars &= ~flag;
    if (wasShown != bShow) {
        ::ShowWindow(bar, bShow ? SW_SHOWNA : SW_HIDE);
        PositionScrollBars();
        ::InvalidateRect(bar, nullptr, TRUE);
        Invalidate(FALSE);
    }
}

void SECListBaseC::PositionScrollBars()
{
    if (!m_hWnd)
        return;
    RECT inside;
    GetInsideRect(inside);
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    HWND horz = ::GetDlgItem(m_hWnd, static_cast<int>(kHorzBarId));
    HWND vert = ::GetDlgItem(m_hWnd, static_cast<int>(kVertBarId));
    HDWP dwp = ::BeginDeferWindowPos(2);
    if (horz)
        dwp = ::DeferWindowPos(dwp, horz, nullptr, inside.left, inside.bottom - 1, inside.right - inside.left + 1,
                               BarHeight(), SWP_NOZORDER | SWP_NOACTIVATE);
    if (vert) {
        int cy = inside.bottom - inside.top + 1;
        if ((m_dwListStyle & LVXS_VIEW_MASK) == LVXS_REPORT_VIEW && IsHeaderShown())
            cy += m_cyHeader;
        dwp = ::DeferWindowPos(dwp, vert, nullptr, inside.right - 1, client.top, BarWidth(), cy,
                               SWP_NOZORDER | SWP_NOACTIVATE);
    }
    ::EndDeferWindowPos(dwp);
    if (horz)
        ::InvalidateRect(horz, nullptr, TRUE);
    if (vert)
        ::InvalidateRect(vert, nullptr, TRUE);
}

void SECListBaseC::UpdateVertScrollBar(int nRows)
{
    if (!m_hWnd)
        return;
    RECT before;
    GetInsideRect(before);
    const int page = GetCountPerPage();
    BOOL show = FALSE;
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    if (page < nRows) {
        if (m_nTopIndex > nRows - page)
            ScrollVert(nRows - page - m_nTopIndex, 0);
        si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
        si.nMin = 0;
        si.nMax = nRows - 1;
        si.nPage = static_cast<UINT>(page);
        si.nPos = m_nTopIndex;
        show = TRUE;
    } else if (m_nTopIndex != 0) {
        ScrollVert(-m_nTopIndex, 0);
    }
    ShowScrollBarCtrl(1, show, show ? &si : nullptr);
    RECT after;
    GetInsideRect(after);
    if (after.right != before.right && FitColumns())
        Invalidate(FALSE);
}

void SECListBaseC::UpdateHorzScrollBar(int cxContent)
{
    if (!m_hWnd)
        return;
    RECT inside;
    GetInsideRect(inside);
    const int width = inside.right - inside.left;
    if (width < cxContent) {
        m_nHScroll = std::min(m_nHScroll, cxContent - width);
        SCROLLINFO si{};
        si.cbSize = sizeof si;
        si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
        si.nMin = 0;
        si.nMax = cxContent;
        si.nPage = static_cast<UINT>(width);
        si.nPos = m_nHScroll;
        ShowScrollBarCtrl(0, TRUE, &si);
    } else {
        m_nHScroll = 0;
        ShowScrollBarCtrl(0, FALSE, nullptr);
    }
}

void SECListBaseC::RecalcLayout()
{
    m_nTopIndex = std::clamp(m_nTopIndex, 0, std::max(GetItemCount(), 0));
    if (!m_hWnd)
        return;
    m_bLayoutDue = FALSE;
    UpdateVertScrollBar(GetScrollRowCount());
    if (!HasStyle(LVXS_HEIGHT_INDEPENDENT))
        for (auto& item : m_items)
            item->m_cy = -1;
    UpdateHorzScrollBar(GetContentWidth());
    UpdateVertScrollBar(GetScrollRowCount());
    PositionScrollBars();
}

// ---------------------------------------------------------------- scrolling

BOOL SECListBaseC::SetTopIndex(int nRow)
{
    ScrollVert(nRow - m_nTopIndex, 0);
    RecalcLayout();
    return TRUE;
}

void SECListBaseC::ScrollHorz(int cx)
{
    RECT inside;
    GetInsideRect(inside);
    const int largest = std::max(GetContentWidth() - static_cast<int>(inside.right - inside.left), 0);
    const int offset = std::clamp(m_nHScroll - cx, 0, largest);
    if (offset == m_nHScroll)
        return;
    m_nHScroll = offset;
    if (CWnd* bar = GetScrollBarCtrl(0))
        ::SetScrollPos(bar->m_hWnd, SB_CTL, m_nHScroll, TRUE);
    if (m_hWnd)
        Invalidate(FALSE);
}

void SECListBaseC::ScrollVert(int nRows, int nMode)
{
    if (nMode == 1) {
        const int bottom = GetBottomIndex();
        // The rows that must come into view below the last whole one, in pixels.
        const int cy = GetRowsHeight(bottom + 1, bottom + nRows, TRUE);
        ScrollVert(GetRowsInHeight(cy, m_nTopIndex, TRUE), 0);
        return;
    }
    const int top = std::clamp(m_nTopIndex + nRows, 0, std::max(GetItemCount() - 1, 0));
    if (top == m_nTopIndex)
        return;
    const int old = m_nTopIndex;
    m_nTopIndex = top;
    if (CWnd* bar = GetScrollBarCtrl(1))
        ::SetScrollPos(bar->m_hWnd, SB_CTL, m_nTopIndex, TRUE);
    if (!m_hWnd)
        return;
    // A short move shifts the rows already on the screen and repaints only the band uncovered.
    RECT area;
    GetInsideRect(area);
    if (IsVertBarShown())
        area.right -= 1;
    if (IsHorzBarShown())
        area.bottom -= 1;
    const int dy = GetRowsHeight(old, top, FALSE);
    if (::IsWindowVisible(m_hWnd) && std::abs(dy) < (area.bottom - area.top) / 2 && area.right > area.left)
        ::ScrollWindowEx(m_hWnd, 0, -dy, &area, &area, nullptr, nullptr, SW_INVALIDATE);
    else
        Invalidate(TRUE);
}

BOOL SECListBaseC::EnsureVisible(int nRow, BOOL)
{
    if (!GetItemRecord(nRow))
        return FALSE;
    const int bottom = GetBottomIndex();
    if (bottom >= 0 && nRow > bottom)
        ScrollVert(nRow - bottom, 1);
    else if (nRow < m_nTopIndex)
        ScrollVert(nRow - m_nTopIndex, 0);
    return TRUE;
}

BOOL SECListBaseC::EnsureRangeVisible(int nFirst, int nLast)
{
    if (nFirst < 0 || nLast >= GetItemCount() || nLast < nFirst)
        return FALSE;
    RECT inside;
    GetInsideRect(inside);
    const int height = inside.bottom - inside.top;
    int used = 0;
    for (int r = nFirst; r <= nLast; ++r) {
        const int band = GetRowSpacing() + GetRowHeight(r);
        if (used + band >= height)
            break;
        used += band;
    }
    int top = nFirst;
    while (top > 0) {
        const int band = GetRowSpacing() + GetRowHeight(top - 1);
        if (used + band > height)
            break;
        used += band;
        --top;
    }
    ScrollVert(std::max(top, 0) - m_nTopIndex, 0);
    return TRUE;
}

// ---------------------------------------------------------------- redrawing rows

void SECListBaseC::RedrawItem(int nRow, BOOL bLabelOnly, BOOL bErase, BOOL bToBottom, BOOL bNow)
{
    if (!m_hWnd || nRow < m_nTopIndex || !GetItemRecord(nRow))
        return;
    RECT inside;
    GetInsideRect(inside);
    if (RowTop(nRow) >= inside.bottom)
        return;   // below the window: nothing shows it
    RECT rc;
    rc.left = inside.left - m_nHScroll;
    rc.right = rc.left + std::max(static_cast<int>(inside.right - inside.left), GetContentWidth());
    rc.top = RowTop(nRow);
    rc.bottom = rc.top + GetRowSpacing() + GetRowHeight(nRow);
    if (bToBottom) {
        if (!bErase && rc.bottom < inside.bottom) {
            CClientDC dc(this);
            RECT below{inside.left, rc.bottom, inside.right, inside.bottom};
            dc.FillSolidRect(&below, GetBkColor());
        }
        rc.bottom = inside.bottom;
    }
    if (bLabelOnly && !HasStyleEx(LVXS_EX_FULLROWSELECT)) {
        RECT label;
        if (GetLabelRect(nRow, label, 2)) {
            rc.left = label.left - 3;
            rc.right = label.right + 3;
        }
    }
    if (bNow)
        ::RedrawWindow(m_hWnd, &rc, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | (bErase ? RDW_ERASE : 0));
    else
        ::InvalidateRect(m_hWnd, &rc, bErase);
}

void SECListBaseC::RedrawItems(int nFirst, int nLast)
{
    if (!m_hWnd || GetItemCount() == 0)
        return;
    int first = std::min(nFirst, nLast), last = std::max(nFirst, nLast);
    first = std::max(first, m_nTopIndex);
    last = std::min(last, GetItemCount() - 1);
    if (first > last)
        return;
    RECT inside;
    GetInsideRect(inside);
    const int top = RowTop(first);
    if (top >= inside.bottom)
        return;
    // Only the visible part of the run needs measuring.
    int bottom = top;
    for (int r = first; r <= last && bottom < inside.bottom; ++r)
        bottom += GetRowSpacing() + GetRowHeight(r);
    RECT rc{inside.left, top, inside.right, std::min(bottom, static_cast<int>(inside.bottom))};
    ::InvalidateRect(m_hWnd, &rc, TRUE);
}
