#include "platform/afx/frame/CSplitterWnd.h"

#include "platform/afx/doc/CView.h"
#include "platform/afx/frame/CFrameWnd.h"
#include "platform/controls/ScrollBarControl.h"
#include "platform/win/Cursor.h"
#include "platform/win/Gdi.h"
#include "platform/win/VirtualKeys.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CSplitterWnd, CWnd)

namespace {

constexpr int kMaxPanes = 16;

// The tracker's pattern: every other pixel, so that inverting it twice leaves the screen as it
// was and the panes stay readable under it.
HBRUSH HalftoneBrush()
{
    static HBRUSH brush = [] {
        const WORD rows[8] = {0x5555, 0xAAAA, 0x5555, 0xAAAA, 0x5555, 0xAAAA, 0x5555, 0xAAAA};
        HBITMAP bitmap = CreateBitmap(8, 8, 1, 1, rows);
        HBRUSH b = CreatePatternBrush(bitmap);
        DeleteObject(bitmap);
        return b;
    }();
    return brush;
}

} // namespace

CSplitterWnd::CSplitterWnd() = default;

CSplitterWnd::~CSplitterWnd() = default;

BOOL CSplitterWnd::CreateStatic(CWnd* pParentWnd, int nRows, int nCols, DWORD dwStyle, UINT nID)
{
    if (!pParentWnd || !pParentWnd->m_hWnd || m_hWnd || nRows < 1 || nCols < 1 || nRows > kMaxPanes ||
        nCols > kMaxPanes)
        return FALSE;
    m_nRows = nRows;
    m_nCols = nCols;
    m_rows.assign(static_cast<size_t>(nRows), RowColInfo{});
    m_cols.assign(static_cast<size_t>(nCols), RowColInfo{});
    // The splitter draws its own scroll bars for the panes; the window itself has none.
    m_dwScrollStyle = dwStyle & (WS_HSCROLL | WS_VSCROLL);
    dwStyle &= ~(WS_HSCROLL | WS_VSCROLL);
    LPCTSTR cls = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW));
    if (!cls || !CreateEx(0, cls, nullptr, dwStyle | WS_CHILD, CRect(0, 0, 0, 0), pParentWnd, nID))
        return FALSE;
    CreateSharedScrollBars();
    RecalcLayout();
    return TRUE;
}

BOOL CSplitterWnd::CreateView(int row, int col, CRuntimeClass* pViewClass, SIZE sizeInit, CCreateContext* pContext)
{
    if (!m_hWnd || row < 0 || col < 0 || row >= m_nRows || col >= m_nCols || GetPane(row, col) || !pViewClass ||
        !pViewClass->IsDerivedFrom(RUNTIME_CLASS(CWnd)))
        return FALSE;
    CObject* object = pViewClass->CreateObject();
    auto* pane = dynamic_cast<CWnd*>(object);
    if (!pane) {
        delete object;
        return FALSE;
    }
    m_cols[static_cast<size_t>(col)].nIdealSize = sizeInit.cx;
    m_rows[static_cast<size_t>(row)].nIdealSize = sizeInit.cy;
    // A pane's edge is the splitter's to draw: no border of its own. When creation fails the
    // pane's own destruction path has disposed of the object.
    if (!pane->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 0, 0), this,
                      static_cast<UINT>(IdFromRowCol(row, col)), pContext))
        return FALSE;
    RecalcLayout();
    return TRUE;
}

void CSplitterWnd::GetRowInfo(int row, int& cyCur, int& cyMin) const
{
    cyCur = cyMin = 0;
    if (row < 0 || row >= m_nRows)
        return;
    cyCur = m_rows[static_cast<size_t>(row)].nCurSize;
    cyMin = m_rows[static_cast<size_t>(row)].nMinSize;
}

void CSplitterWnd::SetRowInfo(int row, int cyIdeal, int cyMin)
{
    if (row < 0 || row >= m_nRows || cyIdeal < 0 || cyMin < 0)
        return;
    m_rows[static_cast<size_t>(row)].nIdealSize = cyIdeal;
    m_rows[static_cast<size_t>(row)].nMinSize = cyMin;
}

void CSplitterWnd::GetColumnInfo(int col, int& cxCur, int& cxMin) const
{
    cxCur = cxMin = 0;
    if (col < 0 || col >= m_nCols)
        return;
    cxCur = m_cols[static_cast<size_t>(col)].nCurSize;
    cxMin = m_cols[static_cast<size_t>(col)].nMinSize;
}

void CSplitterWnd::SetColumnInfo(int col, int cxIdeal, int cxMin)
{
    if (col < 0 || col >= m_nCols || cxIdeal < 0 || cxMin < 0)
        return;
    m_cols[static_cast<size_t>(col)].nIdealSize = cxIdeal;
    m_cols[static_cast<size_t>(col)].nMinSize = cxMin;
}

void CSplitterWnd::SetScrollStyle(DWORD dwStyle)
{
    m_dwScrollStyle = dwStyle & (WS_HSCROLL | WS_VSCROLL);
    if (m_hWnd) {
        CreateSharedScrollBars();
        RecalcLayout();
    }
}

CWnd* CSplitterWnd::GetPane(int row, int col) const
{
    if (!m_hWnd || row < 0 || col < 0 || row >= m_nRows || col >= m_nCols)
        return nullptr;
    HWND pane = ::GetDlgItem(m_hWnd, IdFromRowCol(row, col));
    return pane ? CWnd::FromHandle(pane) : nullptr;
}

BOOL CSplitterWnd::IsChildPane(CWnd* pWnd, int* pRow, int* pCol)
{
    if (!pWnd || !pWnd->m_hWnd || !m_hWnd || ::GetParent(pWnd->m_hWnd) != m_hWnd)
        return FALSE;
    const int id = ::GetDlgCtrlID(pWnd->m_hWnd) - AFX_IDW_PANE_FIRST;
    const int row = id / 16, col = id % 16;
    if (id < 0 || row >= m_nRows || col >= m_nCols)
        return FALSE;
    if (pRow)
        *pRow = row;
    if (pCol)
        *pCol = col;
    return TRUE;
}

int CSplitterWnd::IdFromRowCol(int row, int col) const
{
    return AFX_IDW_PANE_FIRST + row * 16 + col;
}

CWnd* CSplitterWnd::GetActivePane(int* pRow, int* pCol)
{
    // The frame's active view when it is one of the panes, else the pane with the focus.
    if (CFrameWnd* frame = GetParentFrame())
        if (CView* view = frame->GetActiveView(); view && IsChildPane(view, pRow, pCol))
            return view;
    for (HWND focus = ::GetFocus(); focus; focus = ::GetParent(focus)) {
        if (::GetParent(focus) == m_hWnd) {
            CWnd* pane = CWnd::FromHandle(focus);
            if (IsChildPane(pane, pRow, pCol))
                return pane;
            return nullptr;
        }
    }
    return nullptr;
}

void CSplitterWnd::SetActivePane(int row, int col, CWnd* pWnd)
{
    CWnd* pane = pWnd ? pWnd : GetPane(row, col);
    if (!pane || !pane->m_hWnd)
        return;
    // A view becomes its frame's active view, which gives it the focus.
    auto* view = dynamic_cast<CView*>(pane);
    CFrameWnd* frame = GetParentFrame();
    if (view && frame)
        frame->SetActiveView(view);
    else
        ::SetFocus(pane->m_hWnd);
}

HWND PASCAL CSplitterWnd::GetSharedScrollBar(const CWnd* pPane, int nBar)
{
    if (!pPane || !pPane->m_hWnd)
        return nullptr;
    HWND parent = ::GetParent(pPane->m_hWnd);
    auto* splitter = dynamic_cast<CSplitterWnd*>(CWnd::FromHandlePermanent(parent));
    int row = 0, col = 0;
    if (!splitter || !splitter->IsChildPane(const_cast<CWnd*>(pPane), &row, &col))
        return nullptr;
    if (nBar == SB_HORZ && (splitter->m_dwScrollStyle & WS_HSCROLL))
        return ::GetDlgItem(parent, AFX_IDW_HSCROLL_FIRST + col);
    if (nBar == SB_VERT && (splitter->m_dwScrollStyle & WS_VSCROLL))
        return ::GetDlgItem(parent, AFX_IDW_VSCROLL_FIRST + row);
    return nullptr;
}

// ---- Layout ----

void CSplitterWnd::CreateSharedScrollBars()
{
    auto make = [&](UINT id, DWORD style, bool wanted) {
        HWND existing = ::GetDlgItem(m_hWnd, static_cast<int>(id));
        if (wanted && !existing)
            ::CreateWindowEx(0, WC_SCROLLBAR, nullptr, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, m_hWnd,
                             reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), nullptr, nullptr);
        else if (!wanted && existing)
            ::DestroyWindow(existing);
    };
    const bool horz = (m_dwScrollStyle & WS_HSCROLL) != 0;
    const bool vert = (m_dwScrollStyle & WS_VSCROLL) != 0;
    for (int col = 0; col < kMaxPanes; ++col)
        make(AFX_IDW_HSCROLL_FIRST + col, SBS_HORZ, horz && col < m_nCols);
    for (int row = 0; row < kMaxPanes; ++row)
        make(AFX_IDW_VSCROLL_FIRST + row, SBS_VERT, vert && row < m_nRows);
    make(AFX_IDW_SIZE_BOX, SBS_SIZEBOX, horz && vert);
}

CRect CSplitterWnd::PaneArea() const
{
    CRect area;
    ::GetClientRect(m_hWnd, &area);
    if (m_dwScrollStyle & WS_VSCROLL)
        area.right = std::max(area.left, area.right - GetSystemMetrics(SM_CXVSCROLL));
    if (m_dwScrollStyle & WS_HSCROLL)
        area.bottom = std::max(area.top, area.bottom - GetSystemMetrics(SM_CYHSCROLL));
    return area;
}

// Each row (column) but the last gets its ideal size, the last what is left; a row smaller than
// its minimum is given none, its space going to the next.
void CSplitterWnd::LayOut(std::vector<RowColInfo>& info, int space, int gap) const
{
    int left = space;
    for (size_t i = 0; i < info.size(); ++i) {
        RowColInfo& rc = info[i];
        const bool last = i + 1 == info.size();
        int size = last ? left : std::min(rc.nIdealSize, left);
        if (size < rc.nMinSize && !last)
            size = 0;
        size = std::max(size, 0);
        rc.nCurSize = size;
        left = std::max(0, left - size - (last ? 0 : gap));
    }
}

void CSplitterWnd::RecalcLayout()
{
    if (!m_hWnd)
        return;
    const CRect area = PaneArea();
    LayOut(m_cols, area.Width(), m_cxSplitter);
    LayOut(m_rows, area.Height(), m_cySplitter);
    HDWP dwp = ::BeginDeferWindowPos(m_nRows * m_nCols + m_nRows + m_nCols + 1);
    auto place = [&](HWND hwnd, const CRect& r) {
        if (hwnd)
            dwp = ::DeferWindowPos(dwp, hwnd, nullptr, r.left, r.top, std::max(0, r.Width()), std::max(0, r.Height()),
                                   SWP_NOZORDER | SWP_NOACTIVATE);
    };
    int y = area.top;
    for (int row = 0; row < m_nRows; ++row) {
        const int cy = m_rows[static_cast<size_t>(row)].nCurSize;
        int x = area.left;
        for (int col = 0; col < m_nCols; ++col) {
            const int cx = m_cols[static_cast<size_t>(col)].nCurSize;
            CRect r(x, y, x + cx, y + cy);
            r.DeflateRect(m_cxBorder, m_cyBorder);
            if (CWnd* pane = GetPane(row, col))
                place(pane->m_hWnd, r);
            x += cx + m_cxSplitter;
        }
        if (m_dwScrollStyle & WS_VSCROLL)
            place(::GetDlgItem(m_hWnd, AFX_IDW_VSCROLL_FIRST + row),
                  CRect(area.right, y, area.right + GetSystemMetrics(SM_CXVSCROLL), y + cy));
        y += cy + m_cySplitter;
    }
    if (m_dwScrollStyle & WS_HSCROLL) {
        int x = area.left;
        for (int col = 0; col < m_nCols; ++col) {
            const int cx = m_cols[static_cast<size_t>(col)].nCurSize;
            place(::GetDlgItem(m_hWnd, AFX_IDW_HSCROLL_FIRST + col),
                  CRect(x, area.bottom, x + cx, area.bottom + GetSystemMetrics(SM_CYHSCROLL)));
            x += cx + m_cxSplitter;
        }
    }
    if ((m_dwScrollStyle & WS_HSCROLL) && (m_dwScrollStyle & WS_VSCROLL))
        place(::GetDlgItem(m_hWnd, AFX_IDW_SIZE_BOX),
              CRect(area.right, area.bottom, area.right + GetSystemMetrics(SM_CXVSCROLL),
                    area.bottom + GetSystemMetrics(SM_CYHSCROLL)));
    ::EndDeferWindowPos(dwp);
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

CRect CSplitterWnd::ColumnBar(int col) const
{
    const CRect area = PaneArea();
    int x = area.left;
    for (int c = 0; c <= col; ++c)
        x += m_cols[static_cast<size_t>(c)].nCurSize + (c < col ? m_cxSplitter : 0);
    return CRect(x, area.top, x + m_cxSplitter, area.bottom);
}

CRect CSplitterWnd::RowBar(int row) const
{
    const CRect area = PaneArea();
    int y = area.top;
    for (int r = 0; r <= row; ++r)
        y += m_rows[static_cast<size_t>(r)].nCurSize + (r < row ? m_cySplitter : 0);
    return CRect(area.left, y, area.right, y + m_cySplitter);
}

// ---- Painting ----

void CSplitterWnd::Paint()
{
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(m_hWnd, &ps);
    CRect client;
    ::GetClientRect(m_hWnd, &client);
    // The face colour between the panes, each pane in a sunken edge.
    const int saved = ::SaveDC(dc);
    for (int row = 0; row < m_nRows; ++row)
        for (int col = 0; col < m_nCols; ++col)
            if (CWnd* pane = GetPane(row, col)) {
                CRect r;
                ::GetWindowRect(pane->m_hWnd, &r);
                ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<LPPOINT>(&r), 2);
                ::ExcludeClipRect(dc, r.left, r.top, r.right, r.bottom);
            }
    ::FillRect(dc, &client, ::GetSysColorBrush(COLOR_3DFACE));
    ::RestoreDC(dc, saved);
    for (int row = 0; row < m_nRows; ++row)
        for (int col = 0; col < m_nCols; ++col)
            if (CWnd* pane = GetPane(row, col)) {
                CRect r;
                ::GetWindowRect(pane->m_hWnd, &r);
                ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<LPPOINT>(&r), 2);
                if (r.IsRectEmpty())
                    continue;
                r.InflateRect(m_cxBorder, m_cyBorder);
                ::DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT);
            }
    ::EndPaint(m_hWnd, &ps);
}

// ---- Tracking a split bar ----

CSplitterWnd::Hit CSplitterWnd::HitTest(CPoint pt, int& col, int& row) const
{
    col = row = -1;
    for (int c = 0; c + 1 < m_nCols; ++c)
        if (ColumnBar(c).PtInRect(pt))
            col = c;
    for (int r = 0; r + 1 < m_nRows; ++r)
        if (RowBar(r).PtInRect(pt))
            row = r;
    if (col >= 0 && row >= 0)
        return Hit::Both;
    if (col >= 0)
        return Hit::Column;
    if (row >= 0)
        return Hit::Row;
    return Hit::None;
}

void CSplitterWnd::OnInvertTracker(const CRect& rect)
{
    if (rect.IsRectEmpty())
        return;
    // Drawn over the panes: the splitter does not clip its children.
    HDC dc = ::GetDCEx(m_hWnd, nullptr, DCX_CACHE);
    HGDIOBJ old = ::SelectObject(dc, HalftoneBrush());
    ::PatBlt(dc, rect.left, rect.top, rect.Width(), rect.Height(), PATINVERT);
    ::SelectObject(dc, old);
    ::ReleaseDC(m_hWnd, dc);
}

void CSplitterWnd::DrawTrackers()
{
    OnInvertTracker(m_rectTrackerCol);
    OnInvertTracker(m_rectTrackerRow);
}

void CSplitterWnd::StartTracking(Hit hit, int col, int row, CPoint pt)
{
    m_bTracking = true;
    m_trackHit = hit;
    m_trackCol = col;
    m_trackRow = row;
    m_rectTrackerCol.SetRectEmpty();
    m_rectTrackerRow.SetRectEmpty();
    // A bar stays between the minimum of the panes before it and the far edge of the next.
    const CRect area = PaneArea();
    m_rectLimit = area;
    if (hit == Hit::Column || hit == Hit::Both) {
        m_rectTrackerCol = ColumnBar(col);
        const CRect before = col > 0 ? ColumnBar(col - 1) : CRect(area.left - m_cxSplitter, 0, area.left, 0);
        m_rectLimit.left = before.right + m_cols[static_cast<size_t>(col)].nMinSize;
        const CRect after = col + 2 < m_nCols ? ColumnBar(col + 1) : CRect(area.right, 0, area.right + m_cxSplitter, 0);
        m_rectLimit.right = after.left;
        m_trackOffset.x = pt.x - m_rectTrackerCol.left;
    }
    if (hit == Hit::Row || hit == Hit::Both) {
        m_rectTrackerRow = RowBar(row);
        const CRect before = row > 0 ? RowBar(row - 1) : CRect(0, area.top - m_cySplitter, 0, area.top);
        m_rectLimit.top = before.bottom + m_rows[static_cast<size_t>(row)].nMinSize;
        const CRect after = row + 2 < m_nRows ? RowBar(row + 1) : CRect(0, area.bottom, 0, area.bottom + m_cySplitter);
        m_rectLimit.bottom = after.top;
        m_trackOffset.y = pt.y - m_rectTrackerRow.top;
    }
    m_hWndFocusBefore = ::GetFocus();
    ::SetCapture(m_hWnd);
    ::SetFocus(m_hWnd);   // Escape comes here
    ::UpdateWindow(m_hWnd);
    DrawTrackers();
}

void CSplitterWnd::TrackTo(CPoint pt)
{
    CRect col = m_rectTrackerCol, row = m_rectTrackerRow;
    if (!col.IsRectEmpty()) {
        const int x = std::clamp<int>(pt.x - m_trackOffset.x, m_rectLimit.left,
                                      std::max<int>(m_rectLimit.left, m_rectLimit.right - m_cxSplitter));
        col.OffsetRect(x - col.left, 0);
    }
    if (!row.IsRectEmpty()) {
        const int y = std::clamp<int>(pt.y - m_trackOffset.y, m_rectLimit.top,
                                      std::max<int>(m_rectLimit.top, m_rectLimit.bottom - m_cySplitter));
        row.OffsetRect(0, y - row.top);
    }
    if (col == m_rectTrackerCol && row == m_rectTrackerRow)
        return;
    DrawTrackers();
    m_rectTrackerCol = col;
    m_rectTrackerRow = row;
    DrawTrackers();
}

void CSplitterWnd::StopTracking(bool accept)
{
    if (!m_bTracking)
        return;
    m_bTracking = false;
    DrawTrackers();
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
    if (m_hWndFocusBefore && ::IsWindow(m_hWndFocusBefore))
        ::SetFocus(m_hWndFocusBefore);
    m_hWndFocusBefore = nullptr;
    if (!accept)
        return;
    // The pane before the bar takes the bar's new place as its size.
    const CRect area = PaneArea();
    if (!m_rectTrackerCol.IsRectEmpty()) {
        int start = area.left;
        for (int c = 0; c < m_trackCol; ++c)
            start += m_cols[static_cast<size_t>(c)].nCurSize + m_cxSplitter;
        m_cols[static_cast<size_t>(m_trackCol)].nIdealSize = m_rectTrackerCol.left - start;
        // The next column keeps its far edge where it was.
        if (m_trackCol + 2 < m_nCols) {
            const int end = ColumnBar(m_trackCol + 1).left;
            m_cols[static_cast<size_t>(m_trackCol + 1)].nIdealSize = end - m_rectTrackerCol.right;
        }
    }
    if (!m_rectTrackerRow.IsRectEmpty()) {
        int start = area.top;
        for (int r = 0; r < m_trackRow; ++r)
            start += m_rows[static_cast<size_t>(r)].nCurSize + m_cySplitter;
        m_rows[static_cast<size_t>(m_trackRow)].nIdealSize = m_rectTrackerRow.top - start;
        if (m_trackRow + 2 < m_nRows) {
            const int end = RowBar(m_trackRow + 1).top;
            m_rows[static_cast<size_t>(m_trackRow + 1)].nIdealSize = end - m_rectTrackerRow.bottom;
        }
    }
    m_rectTrackerCol.SetRectEmpty();
    m_rectTrackerRow.SetRectEmpty();
    RecalcLayout();
}

// A shared bar scrolls every pane of its column (row), each told which bar moved.
void CSplitterWnd::ForwardScroll(UINT message, WPARAM wParam, HWND bar)
{
    const int id = ::GetDlgCtrlID(bar);
    for (int row = 0; row < m_nRows; ++row)
        for (int col = 0; col < m_nCols; ++col) {
            const bool mine = message == WM_HSCROLL ? id == AFX_IDW_HSCROLL_FIRST + col : id == AFX_IDW_VSCROLL_FIRST + row;
            CWnd* pane = mine ? GetPane(row, col) : nullptr;
            if (pane)
                ::SendMessage(pane->m_hWnd, message, wParam, reinterpret_cast<LPARAM>(bar));
        }
}

LRESULT CSplitterWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    const CPoint pt(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    switch (message) {
    case WM_PAINT:
        Paint();
        return 0;
    case WM_ERASEBKGND:
        return 1;   // the paint fills what the panes leave
    case WM_SIZE:
        RecalcLayout();
        break;
    case WM_SETCURSOR: {
        if (reinterpret_cast<HWND>(wParam) != m_hWnd || LOWORD(lParam) != HTCLIENT)
            break;
        POINT cursor;
        ::GetCursorPos(&cursor);
        ::ScreenToClient(m_hWnd, &cursor);
        int col = 0, row = 0;
        const Hit hit = m_bTracking ? m_trackHit : HitTest(cursor, col, row);
        if (hit == Hit::None)
            break;
        ::SetCursor(::LoadCursor(nullptr, hit == Hit::Both ? IDC_SIZEALL : hit == Hit::Column ? IDC_SIZEWE : IDC_SIZENS));
        return TRUE;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {   // a quick second press drags as well
        int col = 0, row = 0;
        const Hit hit = HitTest(pt, col, row);
        if (hit != Hit::None && !m_bTracking)
            StartTracking(hit, col, row, pt);
        return 0;
    }
    case WM_MOUSEMOVE:
        if (m_bTracking)
            TrackTo(pt);
        return 0;
    case WM_LBUTTONUP:
        StopTracking(true);
        return 0;
    case WM_KEYDOWN:
        if (m_bTracking && wParam == VK_ESCAPE) {
            StopTracking(false);
            return 0;
        }
        if (m_bTracking && wParam == VK_RETURN) {
            StopTracking(true);
            return 0;
        }
        break;
    case WM_CANCELMODE:
        StopTracking(false);
        break;
    case WM_CAPTURECHANGED:
        if (m_bTracking && reinterpret_cast<HWND>(lParam) != m_hWnd)
            StopTracking(false);
        break;
    case WM_HSCROLL:
    case WM_VSCROLL:
        if (lParam) {
            ForwardScroll(message, wParam, reinterpret_cast<HWND>(lParam));
            return 0;
        }
        break;
    default:
        break;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}
