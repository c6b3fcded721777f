#include "platform/afx/bars/CDockBar.h"

#include "platform/afx/bars/CDockContext.h"
#include "platform/afx/bars/CMiniDockFrameWnd.h"
#include "platform/afx/frame/CFrameWnd.h"

#include "platform/win/Cursor.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CDockBar, CControlBar)

BEGIN_MESSAGE_MAP(CDockBar, CControlBar)
    ON_MESSAGE(WM_SIZEPARENT, &CDockBar::OnSizeParentDock)
END_MESSAGE_MAP()

LPCTSTR AfxControlBarClass()
{
    static const bool registered = [] {
        WNDCLASS wc{};
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = ::DefWindowProc;
        wc.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<UINT_PTR>(COLOR_BTNFACE + 1));
        wc.lpszClassName = AFX_WNDCONTROLBAR;
        return AfxRegisterClass(&wc) != FALSE;
    }();
    return registered ? AFX_WNDCONTROLBAR : nullptr;
}

namespace {

// The edges of a bar seen from the side it docks on: the outer edge along the frame's border,
// the inner one facing the view, the leading and trailing ends of its length.
enum Edge { outer, inner, leading, trailing };

DWORD BorderOf(DWORD align, Edge edge)
{
    const bool horz = (align & CBRS_ORIENT_HORZ) != 0;
    switch (edge) {
    case outer:
        return horz ? ((align & CBRS_ALIGN_TOP) ? CBRS_BORDER_TOP : CBRS_BORDER_BOTTOM)
                    : ((align & CBRS_ALIGN_LEFT) ? CBRS_BORDER_LEFT : CBRS_BORDER_RIGHT);
    case inner:
        return horz ? ((align & CBRS_ALIGN_TOP) ? CBRS_BORDER_BOTTOM : CBRS_BORDER_TOP)
                    : ((align & CBRS_ALIGN_LEFT) ? CBRS_BORDER_RIGHT : CBRS_BORDER_LEFT);
    case leading:
        return horz ? CBRS_BORDER_LEFT : CBRS_BORDER_TOP;
    case trailing:
        return horz ? CBRS_BORDER_RIGHT : CBRS_BORDER_BOTTOM;
    }
    return 0;
}

// The one side an alignment names, the first of top, bottom, left, right it holds.
DWORD SideOf(DWORD align)
{
    for (DWORD side : {CBRS_ALIGN_TOP, CBRS_ALIGN_BOTTOM, CBRS_ALIGN_LEFT, CBRS_ALIGN_RIGHT})
        if (align & side)
            return side;
    return 0;
}

} // namespace

DWORD CDockBar::BordersTurnedTo(DWORD dwBarStyle, DWORD dwNewAlign)
{
    // A bar made for the top with its line facing the view keeps that line facing the view on
    // any other side: its borders turn with it.
    const DWORD from = SideOf(dwBarStyle & CBRS_ALIGN_ANY);
    const DWORD to = SideOf(dwNewAlign);
    if (!from || !to || from == to)
        return dwBarStyle;
    DWORD borders = 0;
    for (Edge edge : {outer, inner, leading, trailing})
        if (dwBarStyle & BorderOf(from, edge))
            borders |= BorderOf(to, edge);
    return (dwBarStyle & ~static_cast<DWORD>(CBRS_BORDER_ANY)) | borders;
}

CDockBar::CDockBar(BOOL bFloating) : m_bFloating(bFloating)
{
    m_arrBars.Add(nullptr);   // the array always opens with a row break
    m_bAutoDelete = TRUE;
    m_cxLeftBorder = m_cxRightBorder = m_cyTopBorder = m_cyBottomBorder = 0;
}

CDockBar::~CDockBar()
{
    // The bars outlive their dock bar (the frame destroys them on its own): they must not
    // point at it any more.
    for (INT_PTR i = 0; i < m_arrBars.GetSize(); ++i)
        if (CControlBar* bar = GetDockedControlBar(static_cast<int>(i)); bar && bar->m_pDockBar == this)
            bar->m_pDockBar = nullptr;
}

void CDockBar::PostNcDestroy()
{
    if (m_bAutoDelete)
        delete this;
}

BOOL CDockBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID)
{
    m_dwStyle = dwStyle & CBRS_ALL;
    const DWORD wndStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    return CWnd::Create(AfxControlBarClass(), nullptr, wndStyle, CRect(0, 0, 0, 0), pParentWnd, nID);
}

CControlBar* CDockBar::GetDockedControlBar(int nPos) const
{
    if (nPos < 0 || nPos >= m_arrBars.GetSize())
        return nullptr;
    void* p = m_arrBars[nPos];
    return (p && !IsPlaceHolder(p)) ? static_cast<CControlBar*>(p) : nullptr;
}

int CDockBar::GetDockedCount() const
{
    int n = 0;
    for (INT_PTR i = 0; i < m_arrBars.GetSize(); ++i)
        n += GetDockedControlBar(static_cast<int>(i)) != nullptr;
    return n;
}

int CDockBar::GetDockedVisibleCount() const
{
    int n = 0;
    for (INT_PTR i = 0; i < m_arrBars.GetSize(); ++i)
        if (CControlBar* bar = GetDockedControlBar(static_cast<int>(i)); bar && bar->IsVisible())
            ++n;
    return n;
}

int CDockBar::FindBar(CControlBar* pBar, int nPosExclude) const
{
    for (INT_PTR i = 0; i < m_arrBars.GetSize(); ++i)
        if (i != nPosExclude && m_arrBars[i] == pBar)
            return static_cast<int>(i);
    return -1;
}

void CDockBar::RemovePlaceHolder(UINT nID)
{
    void* holder = PlaceHolderOf(nID);
    for (INT_PTR i = 1; i < m_arrBars.GetSize(); ++i) {
        if (m_arrBars[i] != holder)
            continue;
        m_arrBars.RemoveAt(i);
        // A row break after a row break is an empty row: drop one of them.
        if (i < m_arrBars.GetSize() && !m_arrBars[i] && !m_arrBars[i - 1])
            m_arrBars.RemoveAt(i);
        return;
    }
}

void CDockBar::RemovePlaceHolder(CControlBar* pBar)
{
    if (pBar && pBar->m_hWnd)
        RemovePlaceHolder(static_cast<UINT>(pBar->GetDlgCtrlID()));
}

BOOL CDockBar::ShowAll(BOOL bShow)
{
    BOOL changed = FALSE;
    for (INT_PTR i = 0; i < m_arrBars.GetSize(); ++i) {
        CControlBar* bar = GetDockedControlBar(static_cast<int>(i));
        if (!bar)
            continue;
        if (!bShow && bar->IsVisible()) {
            bar->m_nStateFlags |= CControlBar::tempHide;
            bar->DelayShow(FALSE);
            changed = TRUE;
        } else if (bShow && (bar->m_nStateFlags & CControlBar::tempHide)) {
            bar->m_nStateFlags &= ~static_cast<UINT>(CControlBar::tempHide);
            bar->DelayShow(TRUE);
            changed = TRUE;
        }
    }
    return changed;
}

int CDockBar::Insert(CControlBar* pBar, CRect rect, CPoint ptMid)
{
    const bool horz = (m_dwStyle & CBRS_ORIENT_HORZ) != 0;
    int insertAfter = 0;
    int rowWidth = 0, total = 0;
    for (INT_PTR pos = 0; pos < m_arrBars.GetSize(); ++pos) {
        CControlBar* dock = GetDockedControlBar(static_cast<int>(pos));
        if (dock && dock->IsVisible() && dock != pBar) {
            CRect rectBar;
            dock->GetWindowRect(&rectBar);
            ScreenToClient(&rectBar);
            rowWidth = std::max<int>(rowWidth, horz ? rectBar.Height() : rectBar.Width());
            if (horz ? rect.left > rectBar.left : rect.top > rectBar.top)
                insertAfter = static_cast<int>(pos);
        } else if (!m_arrBars[pos]) {
            total += rowWidth;
            rowWidth = 0;
            // The middle lies before the end of this row: the bar goes into it (above every
            // row, before the first, it opens a new row).
            if ((horz ? ptMid.y : ptMid.x) < total) {
                if (pos == 0)
                    m_arrBars.InsertAt(insertAfter + 1, static_cast<void*>(nullptr));
                break;
            }
            insertAfter = static_cast<int>(pos);
        }
    }
    m_arrBars.InsertAt(insertAfter + 1, pBar);
    if (m_arrBars[m_arrBars.GetUpperBound()])
        m_arrBars.Add(nullptr);
    return insertAfter + 1;
}

void CDockBar::TakeBar(CControlBar* pBar, int nPos)
{
    // The bar moves to its new parent first: leaving may destroy a floating frame it was in.
    if (pBar->GetParent() != this)
        pBar->SetParent(this);
    CDockBar* old = pBar->m_pDockBar;
    if (old == this)
        RemoveControlBar(pBar, nPos);
    else if (old)
        // A bar leaving a side for a floating frame keeps its place on the side.
        old->RemoveControlBar(pBar, -1, m_bFloating && !old->m_bFloating);
    pBar->m_pDockBar = this;

    DWORD style = BordersTurnedTo(pBar->GetBarStyle(), m_dwStyle & CBRS_ALIGN_ANY);
    style &= ~static_cast<DWORD>(CBRS_ALIGN_ANY | CBRS_FLOATING);
    style |= (m_dwStyle & CBRS_ALIGN_ANY) | (m_bFloating ? CBRS_FLOATING : 0);
    pBar->SetBarStyle(style);
    // A floating frame's caption names its bar.
    if (m_bFloating && m_hWnd && GetDockedCount() == 1) {
        CString title;
        pBar->GetWindowText(title);
        SetWindowText(title);
    }
    if (CFrameWnd* frame = GetParentFrame())
        AfxRecalcFrameLayout(frame, TRUE);
}

void CDockBar::DockControlBar(CControlBar* pBar, LPCRECT lpRect)
{
    CRect rectBar;
    pBar->GetWindowRect(&rectBar);
    if (pBar->m_pDockBar == this && (!lpRect || rectBar == *lpRect))
        return;   // already there

    // In this dock bar's coordinates from here on; leaving the old parent may destroy it.
    if (pBar->GetParent() != this)
        pBar->SetParent(this);
    int pos;
    if (lpRect) {
        CRect rect(*lpRect);
        ScreenToClient(&rect);
        RemovePlaceHolder(pBar);
        pos = Insert(pBar, rect, rect.CenterPoint());
        pBar->SetWindowPos(nullptr, rect.left, rect.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    } else {
        RemovePlaceHolder(pBar);
        pos = static_cast<int>(m_arrBars.Add(pBar));
        m_arrBars.Add(nullptr);
    }
    TakeBar(pBar, pos);
}

void CDockBar::ReDockControlBar(CControlBar* pBar, LPCRECT lpRect)
{
    void* holder = PlaceHolderOf(static_cast<UINT>(pBar->GetDlgCtrlID()));
    for (INT_PTR i = 1; i < m_arrBars.GetSize(); ++i) {
        if (m_arrBars[i] != holder)
            continue;
        m_arrBars[i] = pBar;
        if (pBar->GetParent() != this)
            pBar->SetParent(this);
        if (lpRect) {
            CRect rect(*lpRect);
            ScreenToClient(&rect);
            pBar->SetWindowPos(nullptr, rect.left, rect.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        TakeBar(pBar, static_cast<int>(i));
        return;
    }
    DockControlBar(pBar, lpRect);
}

BOOL CDockBar::RemoveControlBar(CControlBar* pBar, int nPosExclude, int nAddPlaceHolder)
{
    const int pos = FindBar(pBar, nPosExclude);
    if (pos < 0)
        return FALSE;
    const UINT id = pBar->m_hWnd ? static_cast<UINT>(pBar->GetDlgCtrlID()) : 0;
    const bool holderElsewhere = id && std::find(m_arrBars.GetData(), m_arrBars.GetData() + m_arrBars.GetSize(),
                                                 PlaceHolderOf(id)) != m_arrBars.GetData() + m_arrBars.GetSize();
    if (nAddPlaceHolder == 1 && id && !holderElsewhere) {
        m_arrBars[pos] = PlaceHolderOf(id);
    } else {
        m_arrBars.RemoveAt(pos);
        if (pos < m_arrBars.GetSize() && !m_arrBars[pos] && !m_arrBars[pos - 1])
            m_arrBars.RemoveAt(pos);
    }
    if (pBar->m_pDockBar == this && nPosExclude < 0)
        pBar->m_pDockBar = nullptr;

    // A floating frame with nothing left to show goes away (hidden while a hidden bar may
    // still come back to it).
    if (m_bFloating && m_hWnd && GetDockedVisibleCount() == 0) {
        CWnd* mini = GetParent();
        if (GetDockedCount() == 0 && mini) {
            mini->DestroyWindow();
            return TRUE;
        }
        if (mini)
            mini->ShowWindow(SW_HIDE);
    } else if (m_hWnd) {
        if (CFrameWnd* frame = GetParentFrame())
            AfxRecalcFrameLayout(frame, TRUE);
    }
    return FALSE;
}

void CDockBar::ForgetBar(CControlBar* pBar)
{
    for (int pos = FindBar(pBar); pos >= 0; pos = FindBar(pBar)) {
        m_arrBars.RemoveAt(pos);
        if (pos < m_arrBars.GetSize() && !m_arrBars[pos] && !m_arrBars[pos - 1])
            m_arrBars.RemoveAt(pos);
    }
}

LRESULT CDockBar::OnSizeParentDock(WPARAM wParam, LPARAM lParam)
{
    auto* layout = reinterpret_cast<AFX_SIZEPARENTPARAMS*>(lParam);
    m_bLayoutQuery = layout->hDWP == nullptr;
    m_rectLayout = layout->rect;
    const LRESULT result = OnSizeParent(wParam, lParam);
    m_bLayoutQuery = FALSE;
    return result;
}

CSize CDockBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz)
{
    // The room along the side: the frame's offer during a layout, else the dock bar's own.
    CRect room;
    if (m_bFloating || !m_hWnd) {
        room.SetRect(0, 0, 32767, 32767);
    } else if (m_rectLayout.IsRectEmpty() && !m_bLayoutQuery) {
        GetClientRect(&room);
    } else {
        room = m_rectLayout;
    }
    const int length = bHorz ? room.Width() : room.Height();

    HDWP hdwp = (m_bLayoutQuery || !m_hWnd) ? nullptr : ::BeginDeferWindowPos(static_cast<int>(m_arrBars.GetSize()));
    int across = 0;      // where the current row starts across the side
    int rowThick = 0;    // the thickest bar of the current row
    int along = 0;       // the next free place along the row
    int longest = 0;
    AFX_SIZEPARENTPARAMS shown{};
    for (INT_PTR pos = 0; pos < m_arrBars.GetSize(); ++pos) {
        CControlBar* bar = GetDockedControlBar(static_cast<int>(pos));
        // The docked bars get no WM_SIZEPARENT of their own: their delayed showing and hiding
        // happens in the dock bar's layout, in the same deferred positioning.
        bool visible = bar && bar->IsVisible();
        if (bar && (bar->m_nStateFlags & (CControlBar::delayShow | CControlBar::delayHide))) {
            shown.hDWP = hdwp;
            visible = (bar->RecalcDelayShow(&shown) & WS_VISIBLE) != 0;
            hdwp = shown.hDWP;
        }
        if (visible) {
            DWORD mode = 0;
            if (m_bFloating)
                mode = LM_HORZ | LM_MRUWIDTH;
            else
                mode = bHorz ? (LM_HORZ | LM_HORZDOCK) : LM_VERTDOCK;
            CSize size = bar->CalcDynamicLayout(-1, mode);
            // A bar keeps the place it was dragged to when that is further along, but is
            // pulled back to end inside the side.
            CRect current;
            bar->GetWindowRect(&current);
            ScreenToClient(&current);
            int start = along;
            if (!m_bFloating) {
                const int dragged = bHorz ? current.left : current.top;
                const int extent = bHorz ? size.cx : size.cy;
                if (dragged > start)
                    start = std::min(dragged, std::max(along, length - extent));
            }
            CRect rect = bHorz ? CRect(CPoint(start, across), size) : CRect(CPoint(across, start), size);
            along = bHorz ? rect.right : rect.bottom;
            rowThick = std::max<int>(rowThick, bHorz ? size.cy : size.cx);
            if (hdwp && rect != current)
                hdwp = ::DeferWindowPos(hdwp, bar->m_hWnd, nullptr, rect.left, rect.top, rect.Width(), rect.Height(),
                                        SWP_NOZORDER | SWP_NOACTIVATE);
        } else if (!m_arrBars[pos] && pos > 0) {
            longest = std::max(longest, along);
            across += rowThick;
            rowThick = 0;
            along = 0;
        }
    }
    if (hdwp)
        ::EndDeferWindowPos(hdwp);
    longest = std::max(longest, along);

    CSize size = CControlBar::CalcFixedLayout(bStretch, bHorz);
    if (bHorz) {
        size.cy = across;
        if (!bStretch || m_bFloating)
            size.cx = longest;
    } else {
        size.cx = across;
        if (!bStretch || m_bFloating)
            size.cy = longest;
    }
    return size;
}
