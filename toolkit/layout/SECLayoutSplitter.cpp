#include "toolkit/layout/SECLayoutSplitter.h"

#include <algorithm>

#include "platform/afx/app/CWinApp.h"
#include "platform/afx/gdi/CDC.h"
#include "platform/afx/wnd/MessageMap.h"
#include "platform/win/Cursor.h"

IMPLEMENT_DYNAMIC(SECSplitterPaneInfo, CObject)
IMPLEMENT_DYNAMIC(SECSplitterBase, CWnd)
IMPLEMENT_DYNAMIC(SECLayoutNodeSplitter, SECSplitterBase)

namespace {

constexpr int kBar = SECSplitterBase::kBarThickness;
// The drawing style every splitter uses while its own style word has bit 0 set.
constexpr DWORD kProcessDrawStyle = 2;

#define SEC_IDC_SPLITBOTH 30979
#define SEC_IDC_SPLITV 30980
#define SEC_IDC_SPLITH 30981
#define SEC_IDS_SPLITTER 21088

struct SplitterCursors {
    HCURSOR arrow, vertical, horizontal, both;
};

// Loaded once, from the program's resources; the system's sizing shapes stand in for a
// resource that is missing.
const SplitterCursors& Cursors()
{
    static const SplitterCursors cursors = [] {
        auto load = [](UINT id, LPCSTR fallback) {
            HCURSOR c = ::LoadCursor(AfxGetResourceHandle(), MAKEINTRESOURCE(id));
            return c ? c : ::LoadCursor(nullptr, fallback);
        };
        return SplitterCursors{::LoadCursor(nullptr, IDC_ARROW), load(SEC_IDC_SPLITV, IDC_SIZEWE),
                               load(SEC_IDC_SPLITH, IDC_SIZENS), load(SEC_IDC_SPLITBOTH, IDC_SIZEALL)};
    }();
    return cursors;
}

int Index(int row, int col) { return row * 2 + col; }

}   // namespace

// ---- Splitter window --------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(SECSplitterBase, CWnd)
    ON_WM_CREATE()
    ON_WM_SETCURSOR()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONDOWN()
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

SECSplitterBase::SECSplitterBase()
{
    Cursors();
}

BOOL SECSplitterBase::Create(CWnd* pParent, const RECT& rect, DWORD dwStyle, UINT nID, DWORD dwSplitterStyle)
{
    if (pParent == nullptr || pParent->GetSafeHwnd() == nullptr)
        return FALSE;
    m_rectSplitter = rect;
    m_dwSplitterStyle = dwSplitterStyle;
    CString name;
    if (!name.LoadString(SEC_IDS_SPLITTER))
        name = "Splitter";
    return CWnd::Create(nullptr, name, dwStyle, rect, pParent, nID, nullptr);
}

int SECSplitterBase::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CWnd::OnCreate(lpCreateStruct) == -1)
        return -1;
    Recompute();
    return 0;
}

void SECSplitterBase::SetInsets(int left, int right, int top, int bottom)
{
    m_nInsetLeft = left;
    m_nInsetRight = right;
    m_nInsetTop = top;
    m_nInsetBottom = bottom;
    Recompute();
}

BOOL SECSplitterBase::ShowPane(int nRow, int nCol)
{
    if (nRow >= 3 || nCol >= 3 || nRow < 0 || nCol < 0)
        return FALSE;
    m_bPaneShown[Index(std::min(nRow, 1), std::min(nCol, 1))] = TRUE;
    Recompute();
    return TRUE;
}

BOOL SECSplitterBase::HidePane(int nRow, int nCol)
{
    if (nRow >= 3 || nCol >= 3 || nRow < 0 || nCol < 0)
        return FALSE;
    m_bPaneShown[Index(std::min(nRow, 1), std::min(nCol, 1))] = FALSE;
    Recompute();
    return TRUE;
}

void SECSplitterBase::SetSplitPos(int x, int y)
{
    m_nSplitX = x;
    m_nSplitY = y;
    CalcBarRects();
    CalcPaneRects();
}

void SECSplitterBase::Recompute()
{
    RecalcBarModes();
    CalcBarRects();
    CalcPaneRects();
}

void SECSplitterBase::RecalcBarModes()
{
    const BOOL* p = m_bPaneShown;   // (0,0), (0,1), (1,0), (1,1)
    const int count = p[0] + p[1] + p[2] + p[3];
    const bool lone = (m_dwSplitterStyle & SEC_SPLITTER_LONEPANE_COLUMNS) != 0;
    int h = SEC_BAR_NONE, v = SEC_BAR_NONE;
    if (count == 2) {
        const bool sameColumn = (p[0] && p[2]) || (p[1] && p[3]);
        if (sameColumn)
            h = SEC_BAR_FULL;
        else
            v = SEC_BAR_FULL;
    } else if (count == 3) {
        const int missing = !p[0] ? 0 : !p[1] ? 1 : !p[2] ? 2 : 3;
        static const int rows[4][2][2] = {
            // missing (0,0), (0,1), (1,0), (1,1): {style 0: h, v}, {style 1: h, v}
            {{SEC_BAR_SECONDHALF, SEC_BAR_FULL}, {SEC_BAR_FULL, SEC_BAR_SECONDHALF}},
            {{SEC_BAR_FIRSTHALF, SEC_BAR_FULL}, {SEC_BAR_FULL, SEC_BAR_SECONDHALF}},
            {{SEC_BAR_SECONDHALF, SEC_BAR_FULL}, {SEC_BAR_FULL, SEC_BAR_FIRSTHALF}},
            {{SEC_BAR_FIRSTHALF, SEC_BAR_FULL}, {SEC_BAR_FULL, SEC_BAR_FIRSTHALF}},
        };
        h = rows[missing][lone ? 1 : 0][0];
        v = rows[missing][lone ? 1 : 0][1];
    } else if (count == 4) {
        h = v = SEC_BAR_FULL;
    }
    m_nHBarMode = h;
    m_nVBarMode = v;
}

void SECSplitterBase::CalcBarRects()
{
    const int width = m_rectSplitter.Width();
    const int height = m_rectSplitter.Height();
    const int minX = std::max(0, m_nInsetLeft);
    const int maxX = std::max(0, width - m_nInsetRight - kBar);
    const int minY = std::max(0, m_nInsetTop);
    const int maxY = std::max(0, height - m_nInsetBottom - kBar);
    m_nSplitX = std::clamp(m_nSplitX, minX, std::max(minX, maxX));
    m_nSplitY = std::clamp(m_nSplitY, minY, std::max(minY, maxY));

    m_rectHBarClient.SetRectEmpty();
    m_rectVBarClient.SetRectEmpty();
    switch (m_nHBarMode) {
    case SEC_BAR_FULL: m_rectHBarClient.SetRect(minX, m_nSplitY, maxX + kBar, m_nSplitY + kBar); break;
    case SEC_BAR_FIRSTHALF: m_rectHBarClient.SetRect(minX, m_nSplitY, m_nSplitX + kBar, m_nSplitY + kBar); break;
    case SEC_BAR_SECONDHALF: m_rectHBarClient.SetRect(m_nSplitX, m_nSplitY, maxX + kBar, m_nSplitY + kBar); break;
    default: break;
    }
    switch (m_nVBarMode) {
    case SEC_BAR_FULL: m_rectVBarClient.SetRect(m_nSplitX, minY, m_nSplitX + kBar, maxY + kBar); break;
    case SEC_BAR_FIRSTHALF: m_rectVBarClient.SetRect(m_nSplitX, minY, m_nSplitX + kBar, m_nSplitY + kBar); break;
    case SEC_BAR_SECONDHALF: m_rectVBarClient.SetRect(m_nSplitX, m_nSplitY, m_nSplitX + kBar, maxY + kBar); break;
    default: break;
    }
    m_rectHBar = m_rectHBarClient;
    m_rectVBar = m_rectVBarClient;
    if (!m_rectHBar.IsRectNull())
        m_rectHBar.OffsetRect(m_rectSplitter.left, m_rectSplitter.top);
    if (!m_rectVBar.IsRectNull())
        m_rectVBar.OffsetRect(m_rectSplitter.left, m_rectSplitter.top);
}

void SECSplitterBase::CalcPaneRects()
{
    CRect r = m_rectSplitter;
    r.DeflateRect(m_nInsetLeft, m_nInsetTop, m_nInsetRight, m_nInsetBottom);
    const CRect& h = m_rectHBar;
    const CRect& v = m_rectVBar;
    const int hm = m_nHBarMode, vm = m_nVBarMode;
    SECSplitterPaneInfo info;
    auto set = [&](int i, int left, int top, int right, int bottom) {
        info.present[i] = m_bPaneShown[i];
        if (m_bPaneShown[i])
            info.rect[i].SetRect(left, top, right, bottom);
    };
    set(0, r.left, r.top, (vm == SEC_BAR_SECONDHALF || vm == SEC_BAR_NONE) ? r.right : v.left,
        (hm == SEC_BAR_SECONDHALF || hm == SEC_BAR_NONE) ? r.bottom : h.top);
    set(1, (vm == SEC_BAR_SECONDHALF || vm == SEC_BAR_NONE) ? r.left : v.right, r.top, r.right,
        (hm == SEC_BAR_FIRSTHALF || hm == SEC_BAR_NONE) ? r.bottom : h.top);
    set(2, r.left, (hm == SEC_BAR_SECONDHALF || hm == SEC_BAR_NONE) ? r.top : h.bottom,
        (vm == SEC_BAR_FIRSTHALF || vm == SEC_BAR_NONE) ? r.right : v.left, r.bottom);
    set(3, (vm == SEC_BAR_FIRSTHALF || vm == SEC_BAR_NONE) ? r.left : v.right,
        (hm == SEC_BAR_FIRSTHALF || hm == SEC_BAR_NONE) ? r.top : h.bottom, r.right, r.bottom);
    for (int i = 0; i < 4; ++i) {
        m_paneInfo.rect[i] = info.rect[i];
        m_paneInfo.present[i] = info.present[i];
    }
    LayoutPanes(m_paneInfo);
}

void SECSplitterBase::DrawBars(CDC* pDC)
{
    if (pDC == nullptr)
        return;
    DWORD style = m_dwDrawStyle;
    if (style & 1)
        style = kProcessDrawStyle;
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    const COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW);
    const COLORREF light = ::GetSysColor(COLOR_BTNHIGHLIGHT);
    const COLORREF frame = ::GetSysColor(COLOR_WINDOWFRAME);
    const CRect& H = m_rectHBarClient;
    const CRect& V = m_rectVBarClient;
    const bool hasH = m_nHBarMode != SEC_BAR_NONE && !H.IsRectEmpty();
    const bool hasV = m_nVBarMode != SEC_BAR_NONE && !V.IsRectEmpty();
    if (style & 8) {
        if (hasH)
            pDC->FillSolidRect(&H, face);
        if (hasV)
            pDC->FillSolidRect(&V, face);
        return;
    }
    const bool light3 = (style & 4) != 0;   // no frame line: the shadow takes the last line
    // A horizontal run [x0, x1) of one row, leaving out [gap0, gap1) where the other bar crosses.
    auto hrun = [&](int y, int x0, int x1, bool gap, int gap0, int gap1, COLORREF c) {
        if (!gap) {
            pDC->FillSolidRect(x0, y, x1 - x0, 1, c);
            return;
        }
        if (gap0 > x0)
            pDC->FillSolidRect(x0, y, std::min(gap0, x1) - x0, 1, c);
        if (gap1 < x1)
            pDC->FillSolidRect(std::max(gap1, x0), y, x1 - std::max(gap1, x0), 1, c);
    };
    auto vrun = [&](int x, int y0, int y1, bool gap, int gap0, int gap1, COLORREF c) {
        if (!gap) {
            pDC->FillSolidRect(x, y0, 1, y1 - y0, c);
            return;
        }
        if (gap0 > y0)
            pDC->FillSolidRect(x, y0, 1, std::min(gap0, y1) - y0, c);
        if (gap1 < y1)
            pDC->FillSolidRect(x, std::max(gap1, y0), 1, y1 - std::max(gap1, y0), c);
    };
    if (hasH) {
        const int bodyRows = light3 ? kBar - 2 : kBar - 3;
        pDC->FillSolidRect(H.left, H.top + 1, H.Width(), bodyRows, face);
        const bool vUpper = hasV && (m_nVBarMode == SEC_BAR_FIRSTHALF || m_nVBarMode == SEC_BAR_FULL);
        const bool vLower = hasV && (m_nVBarMode == SEC_BAR_SECONDHALF || m_nVBarMode == SEC_BAR_FULL);
        hrun(H.top, H.left, H.right, vUpper, V.left + 1, V.right - 2, light);
        if (light3) {
            hrun(H.bottom - 1, H.left, H.right, vLower, V.left, V.right - 2, shadow);
        } else {
            hrun(H.bottom - 2, H.left, H.right, vLower, V.left, V.right - 2, shadow);
            hrun(H.bottom - 1, H.left, H.right, vLower, V.left, V.right - 1, frame);
        }
    }
    if (hasV) {
        const int bodyCols = light3 ? kBar - 2 : kBar - 3;
        const bool hLeft = hasH && (m_nHBarMode == SEC_BAR_FIRSTHALF || m_nHBarMode == SEC_BAR_FULL);
        const bool hRight = hasH && (m_nHBarMode == SEC_BAR_SECONDHALF || m_nHBarMode == SEC_BAR_FULL);
        // The crossing keeps the horizontal bar's edges: the vertical body stops at them.
        if (hasH) {
            vrun(V.left + 1, V.top, V.bottom, true, H.top, H.bottom, face);
            for (int x = V.left + 2; x < V.left + 1 + bodyCols; ++x)
                vrun(x, V.top, V.bottom, true, H.top, H.bottom, face);
            pDC->FillSolidRect(V.left + 1, H.top + 1, bodyCols, kBar - 3, face);
        } else {
            pDC->FillSolidRect(V.left + 1, V.top, bodyCols, V.Height(), face);
        }
        vrun(V.left, V.top, V.bottom, hLeft, H.top + 1, H.bottom - 2, light);
        if (light3) {
            vrun(V.right - 1, V.top, V.bottom, hRight, H.top, H.bottom - 2, shadow);
        } else {
            vrun(V.right - 2, V.top, V.bottom, hRight, H.top, H.bottom - 2, shadow);
            vrun(V.right - 1, V.top, V.bottom, hRight, H.top, H.bottom - 1, frame);
        }
    }
}

void SECSplitterBase::OnPaint()
{
    CPaintDC dc(this);
    DrawBars(&dc);
}

BOOL SECSplitterBase::OnEraseBkgnd(CDC* pDC)
{
    return CWnd::OnEraseBkgnd(pDC);
}

int SECSplitterBase::HitBars(CPoint point) const
{
    int hit = 0;
    if (m_nVBarMode != SEC_BAR_NONE && m_rectVBarClient.PtInRect(point))
        hit |= 1;
    if (m_nHBarMode != SEC_BAR_NONE && m_rectHBarClient.PtInRect(point))
        hit |= 2;
    return hit;
}

BOOL SECSplitterBase::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT /*message*/)
{
    // The mouse-move handler sets the cursor over the client area.
    if (pWnd == this && nHitTest == HTCLIENT)
        return TRUE;
    return static_cast<BOOL>(Default());
}

void SECSplitterBase::OnMouseMove(UINT /*nFlags*/, CPoint point)
{
    static const HCURSOR* const shapes[4] = {&Cursors().arrow, &Cursors().vertical, &Cursors().horizontal, &Cursors().both};
    ::SetCursor(*shapes[HitBars(point)]);
    Default();
}

void SECSplitterBase::OnLButtonDown(UINT /*nFlags*/, CPoint point)
{
    const int hit = HitBars(point);
    if (hit == 0) {
        Default();
        return;
    }
    TrackBars(point, (hit & 2) != 0, (hit & 1) != 0);
}

BOOL SECSplitterBase::TrackBars(CPoint point, bool bHorizontal, bool bVertical)
{
    if (m_bTracking)
        return FALSE;
    m_bTracking = TRUE;
    const bool live = (m_dwSplitterStyle & SEC_SPLITTER_LIVEDRAG) != 0;
    const int startX = m_nSplitX, startY = m_nSplitY;
    const bool ownCapture = ::GetCapture() == nullptr;
    if (ownCapture) {
        SetCapture();
        UpdateWindow();
    }
    // The DC is kept by its handle: the loop below dispatches what comes meanwhile, and work
    // that runs the idle work frees the temporary object that would stand for it.
    const HDC hDC = ::GetDC(m_hWnd);
    const CSize band(kBar - 1, kBar - 1);
    CRect lastH, lastV;
    auto dragRects = [&](CRect& h, CRect& v) {
        h = bHorizontal ? m_rectHBarClient : CRect();
        v = bVertical ? m_rectVBarClient : CRect();
    };
    auto drawFeedback = [&](bool erase) {
        if (live || hDC == nullptr)
            return;
        CDC* pDC = CDC::FromHandle(hDC);
        CRect h, v;
        dragRects(h, v);
        const CSize none(0, 0);
        if (bHorizontal)
            pDC->DrawDragRect(erase ? nullptr : &h, erase ? none : band, lastH.IsRectNull() ? nullptr : &lastH, band);
        if (bVertical)
            pDC->DrawDragRect(erase ? nullptr : &v, erase ? none : band, lastV.IsRectNull() ? nullptr : &lastV, band);
        if (erase) {
            lastH.SetRectEmpty();
            lastV.SetRectEmpty();
        } else {
            lastH = h;
            lastV = v;
        }
    };
    // The bars move without the panes while the feedback is drawn: keep the pane layout aside.
    auto moveBars = [&](CPoint pt) {
        if (bVertical)
            m_nSplitX = pt.x - kBar / 2;
        if (bHorizontal)
            m_nSplitY = pt.y - kBar / 2;
        CalcBarRects();
        if (live) {
            CalcPaneRects();
            RealizePanes();
            Invalidate();
            MSG paint;
            while (::PeekMessage(&paint, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE))
                ::DispatchMessage(&paint);
        }
    };
    drawFeedback(false);
    (void)point;
    bool cancelled = false;
    MSG msg;
    while (::GetCapture() == m_hWnd && ::GetMessage(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_MOUSEMOVE && msg.hwnd == m_hWnd) {
            moveBars(CPoint(GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)));
            drawFeedback(false);
        } else if (msg.message == WM_LBUTTONUP) {
            break;
        } else if (msg.message == WM_RBUTTONDOWN || (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE)) {
            cancelled = true;
            break;
        } else {
            ::TranslateMessage(&msg);
            ::DispatchMessage(&msg);
        }
    }
    drawFeedback(true);
    if (ownCapture && ::GetCapture() == m_hWnd)
        ::ReleaseCapture();
    if (hDC != nullptr)
        ::ReleaseDC(m_hWnd, hDC);
    if (cancelled) {
        m_nSplitX = startX;
        m_nSplitY = startY;
    }
    CalcBarRects();
    CalcPaneRects();
    if (m_nSplitX != startX || m_nSplitY != startY || live)
        RealizePanes();
    Invalidate();
    m_bTracking = FALSE;
    return !cancelled;
}

// ---- Splitter as a layout node ----------------------------------------------------------------

SECLayoutNodeSplitter::SECLayoutNodeSplitter()
{
    m_dwNodeFlags = SEC_LNFLAG_PARTIALREDRAW;
}

SECLayoutNodeSplitter::~SECLayoutNodeSplitter()
{
    if (::IsWindow(CWnd::m_hWnd))
        CWnd::DestroyWindow();
}

BOOL SECLayoutNodeSplitter::Create(CWnd* pParent, const RECT& rect, DWORD dwStyle, UINT nID, DWORD dwSplitterStyle)
{
    if (!SECSplitterBase::Create(pParent, rect, dwStyle, nID, dwSplitterStyle))
        return FALSE;
    return BindWindow(CWnd::m_hWnd, pParent);
}

SECLayoutNode* SECLayoutNodeSplitter::GetPane(int nRow, int nCol) const
{
    if (nRow < 0 || nRow > 1 || nCol < 0 || nCol > 1)
        return nullptr;
    return m_panes[Index(nRow, nCol)];
}

BOOL SECLayoutNodeSplitter::SetPane(int nRow, int nCol, SECLayoutNode* pNode)
{
    if (pNode == nullptr || nRow < 0 || nRow > 1 || nCol < 0 || nCol > 1)
        return FALSE;
    if (AddLayoutNode(pNode) < 0)
        return FALSE;
    m_panes[Index(nRow, nCol)] = pNode;
    m_bPaneShown[Index(nRow, nCol)] = TRUE;
    Recompute();
    return TRUE;
}

BOOL SECLayoutNodeSplitter::RemovePane(int nRow, int nCol)
{
    if (nRow < 0 || nRow > 1 || nCol < 0 || nCol > 1)
        return FALSE;
    SECLayoutNode*& pane = m_panes[Index(nRow, nCol)];
    if (pane == nullptr)
        return FALSE;
    RemoveLayoutNode(pane);
    pane = nullptr;
    m_bPaneShown[Index(nRow, nCol)] = FALSE;
    Recompute();
    return TRUE;
}

void SECLayoutNodeSplitter::InitializeNode(BOOL bDeep)
{
    SECLayoutNode::InitializeNode(bDeep);
    if (bDeep)
        return;   // the walk calls this node again without deep
    // The pane windows are the splitter's siblings: they stay above it.
    if (::IsWindow(CWnd::m_hWnd))
        ::SetWindowPos(CWnd::m_hWnd, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOOWNERZORDER | SWP_NOACTIVATE);
}

void SECLayoutNodeSplitter::LayoutPanes(const SECSplitterPaneInfo& info)
{
    for (int i = 0; i < 4; ++i) {
        if (m_panes[i] != nullptr && info.present[i])
            m_panes[i]->RecalcLayout(info.rect[i], FALSE, FALSE);
    }
}

void SECLayoutNodeSplitter::RealizePanes()
{
    for (SECLayoutNode* pane : m_panes) {
        if (pane != nullptr)
            pane->RealizeLayout();
    }
}

BOOL SECLayoutNodeSplitter::RealizeNode(HDWP* phDWP, LPARAM lArg)
{
    return SECLayoutNodeWnd::RealizeNode(phDWP, lArg);
}

void SECLayoutNodeSplitter::Paint(BOOL bDeep, CDC* pDC)
{
    SECLayoutNode::Paint(bDeep, pDC);
    if (bDeep || pDC == nullptr)
        return;
    const int saved = pDC->SaveDC();
    pDC->OffsetViewportOrg(m_rectCurrent.left - m_nDrawOffsetX, m_rectCurrent.top - m_nDrawOffsetY);
    DrawBars(pDC);
    pDC->RestoreDC(saved);
}

void SECLayoutNodeSplitter::InvalidateNodeRect(const CRect& /*rect*/, BOOL bErase)
{
    // The bars are what this node shows of its own; they lie in the host's coordinates.
    HWND host = GetHostHwnd();
    if (host == nullptr)
        return;
    if (!m_rectHBar.IsRectEmpty())
        ::InvalidateRect(host, &m_rectHBar, bErase);
    if (!m_rectVBar.IsRectEmpty())
        ::InvalidateRect(host, &m_rectVBar, bErase);
}

int SECLayoutNodeSplitter::ShareDelta(int nDelta, int nOld, bool bWidth, int& nSplit, BOOL& bToggle, BOOL bChildNegotiate)
{
    // The two columns (or rows) and their panes: (0,0)/(1,0) then (0,1)/(1,1) for widths.
    const int first[2] = {bWidth ? Index(0, 0) : Index(0, 0), bWidth ? Index(1, 0) : Index(0, 1)};
    const int second[2] = {bWidth ? Index(0, 1) : Index(1, 0), bWidth ? Index(1, 1) : Index(1, 1)};
    struct Limits {
        int min = 0, max = 0, pref = 0;
    };
    auto limitsOf = [&](const int (&ids)[2]) {
        Limits l;
        l.max = nOld;
        for (int id : ids) {
            SECLayoutNode* pane = m_panes[id];
            if (pane == nullptr || !m_bPaneShown[id])
                continue;
            CSize mn, mx;
            DWORD flags = 0;
            pane->GetMinMaxSize(mn, mx, flags);
            if (!(flags & SEC_LNMINMAX_NOMIN))
                l.min = std::max<int>(l.min, bWidth ? mn.cx : mn.cy);
            if (!(flags & SEC_LNMINMAX_NOMAX))
                l.max = std::min<int>(l.max, bWidth ? mx.cx : mx.cy);
            const CRect pref = pane->GetPreferredRect();
            l.pref = std::max<int>(l.pref, bWidth ? pref.Width() : pref.Height());
        }
        return l;
    };
    const Limits la = limitsOf(first), lb = limitsOf(second);
    int a = nSplit;
    int b = std::max(0, nOld - nSplit - kBar);
    int left = nDelta;
    // One share against a limit: moves value toward the change, stopping at the limit; answers
    // what it took.
    auto take = [](int& value, int amount, int limit) {
        if (amount == 0)
            return 0;
        if ((amount < 0 && value <= limit) || (amount > 0 && value >= limit))
            return 0;
        int next = value + amount;
        if (amount < 0)
            next = std::max(next, limit);
        else
            next = std::min(next, limit);
        const int taken = next - value;
        value = next;
        return taken;
    };
    for (int pass = 0; pass < 3 && left != 0; ++pass) {
        const int limA = pass == 0 ? la.min : pass == 1 ? la.pref : la.max;
        const int limB = pass == 0 ? lb.min : pass == 1 ? lb.pref : lb.max;
        left -= take(a, left / 2, limA);
        left -= take(b, left, limB);
        if (left != 0)
            left -= take(a, left, limA);
    }
    nSplit = a;
    if (left == 0 || bChildNegotiate)
        return left;
    int move = left / 2;
    if (left % 2 != 0) {
        const int sign = left > 0 ? 1 : -1;
        move += bToggle ? sign : -sign;
        bToggle = !bToggle;
    }
    nSplit += move;
    return 0;
}

CRect SECLayoutNodeSplitter::OnRecalcLayout(const CRect& rectProposed, BOOL bChildNegotiate, BOOL /*bStrict*/)
{
    CRect rect = rectProposed;
    const CRect old = m_rectSplitter;
    const int leftX = ShareDelta(rect.Width() - old.Width(), old.Width(), true, m_nSplitX, m_bToggleX, bChildNegotiate);
    const int leftY = ShareDelta(rect.Height() - old.Height(), old.Height(), false, m_nSplitY, m_bToggleY, bChildNegotiate);
    if (bChildNegotiate) {
        rect.right -= leftX;
        rect.bottom -= leftY;
    }
    m_rectSplitter = rect;
    SetCurrentRect(rect);
    CalcBarRects();
    CalcPaneRects();
    return rect;
}
