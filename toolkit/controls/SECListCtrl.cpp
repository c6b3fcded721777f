// SECListBaseC's creation and window side, and SECListCtrl's message map.
#include "platform/afx/app/CWinApp.h"
#include "platform/core/ResourceFormats.h"
#include "platform/core/ResourceTable.h"
#include "platform/win/Cursor.h"
#include "platform/win/ScrollBar.h"
#include "platform/win/SystemParameters.h"
#include "toolkit/controls/SECListCtrl.h"

#include "platform/afx/gdi/CDC.h"
#include "platform/win/Gdi.h"
#include "toolkit/controls/SECListEdit.h"
#include "toolkit/controls/SECListTip.h"
#include "toolkit/res/ControlsRes.h"

#include <algorithm>

BOOL SECListBaseC::Create(LPCTSTR, LPCTSTR, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID, void* pContext)
{
    // The class and window names are the list's own; the caller's are ignored.
    return Create(dwStyle, 0, rect, pParentWnd, nID, pContext);
}

BOOL SECListBaseC::Create(DWORD dwStyle, DWORD dwExStyle, const RECT& rect, CWnd* pParent, UINT nID, void* pParam)
{
    return CWnd::CreateEx(dwExStyle, nullptr, nullptr, dwStyle, rect, pParent, nID, pParam);
}

BOOL SECListBaseC::Create(DWORD dwStyle, const RECT& rect, CWnd* pParent, UINT nID)
{
    return Create(dwStyle, 0, rect, pParent, nID, nullptr);
}

BOOL SECListBaseC::PreCreateWindow(CREATESTRUCT& cs)
{
    if (!CWnd::PreCreateWindow(cs))
        return FALSE;
    SplitCreateStyles(cs);
    return TRUE;
}

BOOL SECListBaseC::ReplaceDlgItem(UINT nID, CWnd* pDialog)
{
    CWnd* item = pDialog ? pDialog->GetDlgItem(static_cast<int>(nID)) : nullptr;
    if (!item)
        return FALSE;
    const DWORD style = item->GetStyle() | WS_BORDER;
    const DWORD exStyle = item->GetExStyle();
    CRect rc;
    item->GetWindowRect(&rc);
    pDialog->ScreenToClient(&rc);
    item->DestroyWindow();
    return Create(style, exStyle, rc, pDialog, nID, nullptr);
}

BOOL SECListBaseC::GetLabelRect(int nRow, RECT& rc, int nPart) const
{
    for (int i = 0; i < GetColumnCount(); ++i)
        if (m_columns[i]->m_iSubItem == 0)
            return GetCellRect(nRow, i, rc, nPart);
    rc = RECT{};
    return FALSE;
}

CFont* SECListBaseC::GetItemFont() const
{
    return m_pItemFont ? m_pItemFont : CFont::FromHandle(static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT)));
}

CFont* SECListBaseC::GetHeaderFont() const
{
    return m_pHeaderFont ? m_pHeaderFont : CFont::FromHandle(static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT)));
}

// ---------------------------------------------------------------- SECListCtrl

IMPLEMENT_DYNAMIC(SECListCtrl, CWnd)

BEGIN_MESSAGE_MAP(SECListCtrl, CWnd)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_ERASEBKGND()
    ON_WM_SIZE()
    ON_WM_GETDLGCODE()
    ON_WM_PAINT()
    ON_MESSAGE(WM_HSCROLL, &SECListCtrl::OnHScrollMsg)
    ON_MESSAGE(WM_VSCROLL, &SECListCtrl::OnVScrollMsg)
    ON_WM_MOUSEWHEEL()
    ON_WM_MOUSEHWHEEL()
    ON_WM_TIMER()
    ON_WM_SETFOCUS()
    ON_WM_KILLFOCUS()
    ON_WM_ENABLE()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_RBUTTONDOWN()
    ON_WM_RBUTTONUP()
    ON_WM_MOUSEMOVE()
    ON_WM_SETCURSOR()
    ON_MESSAGE(WM_KEYDOWN, &SECListCtrl::OnKeyDownMsg)
    ON_MESSAGE(WM_SYSKEYDOWN, &SECListCtrl::OnSysKeyDownMsg)
    ON_MESSAGE(WM_CANCELMODE, &SECListCtrl::OnCancelModeMsg)
    ON_MESSAGE(WM_SYSCOLORCHANGE, &SECListCtrl::OnSysColorChangeMsg)
    ON_EN_KILLFOCUS(1, &SECListCtrl::OnEditKillFocusCmd)
    ON_EN_UPDATE(1, &SECListCtrl::OnEditUpdateCmd)
END_MESSAGE_MAP()

int SECListCtrl::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CWnd::OnCreate(lpCreateStruct) == -1)
        return -1;
    LPCSTR cursor = MAKEINTRESOURCE(IDC_SEC_COLUMN_SIZE);
    if (HINSTANCE module = AfxFindResourceHandle(cursor, RT_CURSOR))
        m_hSizingCursor = ::LoadCursor(module, cursor);
    if ((m_dwListStyle & LVXS_VIEW_MASK) != LVXS_REPORT_VIEW) {
        m_dwListStyle |= LVXS_NOHEADER;
        InsertColumn(0, "", 0, 20, 0, FALSE);
    }
    return 0;
}

void SECListCtrl::OnDestroy()
{
    if (!HasStyle(LVXS_SHAREIMAGELISTS))
        for (CImageList*& p : m_pImageLists) {
            delete p;
            p = nullptr;
        }
    HideTip();
    if (m_pTip && m_pTip->m_hWnd)
        m_pTip->DestroyWindow();
    if (m_pEdit && m_pEdit->m_hWnd)
        m_pEdit->DestroyWindow();
    DeleteAllItems();
    DeleteAllColumns();
    CWnd::OnDestroy();
}

BOOL SECListCtrl::OnEraseBkgnd(CDC*) { return TRUE; }

void SECListCtrl::OnSize(UINT nType, int cx, int cy)
{
    CWnd::OnSize(nType, cx, cy);
    if (GetColumnCount() > 0) {
        FitColumns();
        RemeasureAll();
    }
}

UINT SECListCtrl::OnGetDlgCode()
{
    // Enter is the dialog's: in a dialog it presses the default button, as it does from any
    // control that edits no text. So is Alt with a letter, which reaches the dialog's control
    // that underlines it. Every other key, Tab and Escape included, is the list's.
    const MSG* pMsg = GetCurrentMessage();
    const auto* pKey = pMsg != nullptr ? reinterpret_cast<const MSG*>(pMsg->lParam) : nullptr;
    if ((pMsg != nullptr && pMsg->wParam == VK_RETURN) || (pKey != nullptr && pKey->message == WM_SYSCHAR))
        return DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTCHARS;
    return DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTALLKEYS | DLGC_WANTCHARS;
}

void SECListCtrl::OnPaint()
{
    // A fill that left the layout for later must not leave rows that do not fit without their
    // scroll bar: a window already of its final size gets no resize that would lay it out.
    if (m_bLayoutDue)
        RecalcLayout();
    CPaintDC dc(this);
    OnDraw(&dc);
}

LRESULT SECListCtrl::OnHScrollMsg(WPARAM wParam, LPARAM)
{
    EndLabelEdit(TRUE);
    HideTip();
    RECT inside;
    GetInsideRect(inside);
    const int width = inside.right - inside.left;
    const int largest = std::max(GetContentWidth() - width, 0);
    const int pos = static_cast<short>(HIWORD(wParam));
    switch (LOWORD(wParam)) {
    case SB_LINELEFT: ScrollHorz(15); break;
    case SB_LINERIGHT: ScrollHorz(-15); break;
    case SB_PAGELEFT: ScrollHorz(width); break;
    case SB_PAGERIGHT: ScrollHorz(-width); break;
    case SB_THUMBPOSITION: case SB_THUMBTRACK: ScrollHorz(m_nHScroll - pos); break;
    case SB_LEFT: ScrollHorz(m_nHScroll); break;
    case SB_RIGHT: ScrollHorz(m_nHScroll - largest); break;
    default: break;
    }
    return 0;
}

LRESULT SECListCtrl::OnVScrollMsg(WPARAM wParam, LPARAM)
{
    EndLabelEdit(TRUE);
    HideTip();
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL;
    if (CWnd* bar = GetScrollBarCtrl(1))
        ::GetScrollInfo(bar->m_hWnd, SB_CTL, &si);
    const int page = static_cast<int>(si.nPage);
    switch (LOWORD(wParam)) {
    case SB_LINEUP:
        if (si.nPos != 0)
            ScrollVert(-1, 0);
        break;
    case SB_LINEDOWN:
        if (si.nPos + page < si.nMax + 1)
            ScrollVert(1, 0);
        break;
    case SB_PAGEUP: ScrollVert(-GetCountPerPageAbove(), 0); break;
    case SB_PAGEDOWN:
        ScrollVert(std::min(m_nTopIndex + page, si.nMax - page + 1) - m_nTopIndex, 0);
        break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
        ScrollVert(static_cast<int>(static_cast<short>(HIWORD(wParam))) - si.nPos, 0);
        break;
    case SB_TOP: ScrollVert(-m_nTopIndex, 0); break;
    case SB_BOTTOM: ScrollVert(si.nMax - page + 1 - m_nTopIndex, 0); break;
    default: break;
    }
    return 0;
}

BOOL SECListCtrl::OnMouseWheel(UINT, short zDelta, CPoint)
{
    m_nWheelAccum += zDelta;
    const int lines = m_nWheelAccum / WHEEL_DELTA;
    if (lines == 0)
        return TRUE;
    HideTip();
    // The rows decide whether there is anything to scroll, not whether the bar shows: rows that
    // do not fit are scrolled to even while the bar is missing.
    const int rows = GetScrollRowCount();
    const int page = GetCountPerPage();
    if (page < rows) {
        // As many rows a notch as the system's wheel setting says, as the other views scroll,
        // down no further than the last page, which stays full.
        UINT nWheelLines = 3;
        ::SystemParametersInfo(SPI_GETWHEELSCROLLLINES, 0, &nWheelLines, 0);
        const int step = nWheelLines == WHEEL_PAGESCROLL ? std::max(page, 1) : static_cast<int>(std::min<UINT>(nWheelLines, 1000));
        const long long move = -static_cast<long long>(lines) * step;
        const int moved = static_cast<int>(std::clamp<long long>(move, -m_nTopIndex, std::max(GetMaxTopIndex() - m_nTopIndex, 0)));
        if (moved != 0)
            ScrollVert(moved, 0);
    } else if (IsHorzBarShown()) {
        ScrollHorz(lines * 15);
    }
    m_nWheelAccum = 0;
    return TRUE;
}

void SECListCtrl::OnMouseHWheel(UINT, short zDelta, CPoint)
{
    // Tilted to the right, the content moves left: as SB_LINERIGHT, a step a notch.
    const int notches = zDelta / WHEEL_DELTA;
    if (notches == 0 || !IsHorzBarShown())
        return;
    HideTip();
    ScrollHorz(-notches * 15);
}

void SECListCtrl::OnTimer(UINT_PTR nIDEvent)
{
    if (m_nEditTimer && nIDEvent == m_nEditTimer) {
        CancelEditTimer();
        if (m_nArmedRow >= 0 && m_nArmedRow == m_nFocus)
            EditLabel(m_nArmedRow, m_nEditCol);
        return;
    }
    CWnd::OnTimer(nIDEvent);
}

void SECListCtrl::OnEnable(BOOL bEnable)
{
    if (!bEnable)
        HideTip();
    Invalidate(FALSE);
}

LRESULT SECListCtrl::OnCancelModeMsg(WPARAM, LPARAM)
{
    HideTip();
    return Default();
}

LRESULT SECListCtrl::OnSysColorChangeMsg(WPARAM, LPARAM)
{
    LoadSysColors();
    return Default();
}
