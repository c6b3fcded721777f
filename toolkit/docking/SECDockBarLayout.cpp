// The dock bar's row layout, its frame-layout handler, its splitters (limits, tracking, moving),
// its painting and the outline it offers a dragged bar.
#include "platform/afx/frame/CFrameWnd.h"
#include "platform/afx/gdi/CDC.h"
#include "platform/win/Cursor.h"
#include "platform/win/UserApi.h"
#include "platform/win/VirtualKeys.h"
#include "toolkit/docking/SECControlBar.h"
#include "toolkit/docking/SECDockBar.h"
#include "toolkit/docking/SECDockContext.h"
#include "toolkit/docking/SECGlobalData.h"

#include <algorithm>
#include <vector>

namespace {

constexpr int kSplit = SEC_SPLITTER_WIDTH;

DWORD LayoutExStyleOf(CControlBar* bar)
{
    SECControlBar* sec = AsSEC(bar);
    return sec ? sec->m_dwExStyle : 0;
}

BOOL IsFlatCustomToolBar(CControlBar* bar)
{
    return (LayoutExStyleOf(bar) & CBRS_EX_COOLBORDERS) && SECIsKindOf(bar, "SECCustomToolBar");
}

// Along and across a dock bar's rows: x along and y across in a top or bottom dock bar, the
// other way round in a left or right one.
struct Axis {
    BOOL horz;
    CRect Make(int along0, int across0, int along1, int across1) const
    {
        return horz ? CRect(along0, across0, along1, across1) : CRect(across0, along0, across1, along1);
    }
    int Along(const CSize& s) const { return horz ? s.cx : s.cy; }
    int Across(const CSize& s) const { return horz ? s.cy : s.cx; }
    int Lead(const CRect& r) const { return horz ? r.left : r.top; }
    int Length(const CRect& r) const { return horz ? r.Width() : r.Height(); }
    int Thick(const CRect& r) const { return horz ? r.Height() : r.Width(); }
};

} // namespace

int SECDockBar::LayoutBarMode(CControlBar* pBar) const
{
    const DWORD style = pBar->GetBarStyle();
    if ((style & CBRS_SIZE_DYNAMIC) && (style & CBRS_FLOATING))
        return LM_HORZ | LM_MRUWIDTH;
    if (style & CBRS_ORIENT_HORZ)
        return LM_HORZ | LM_HORZDOCK;
    return LM_VERTDOCK;
}

void SECDockBar::MoveBar(HDWP& hdwp, CControlBar* pBar, const CRect& rect, BOOL bQuery)
{
    if (bQuery || !hdwp)
        return;
    CRect current;
    pBar->GetWindowRect(&current);
    ScreenToClient(&current);
    if (current == rect)
        return;
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    if (m_bNoRedraw)
        flags |= SWP_NOREDRAW;
    if (current.Size() == rect.Size())
        flags |= SWP_NOSIZE;
    hdwp = ::DeferWindowPos(hdwp, pBar->m_hWnd, nullptr, rect.left, rect.top, rect.Width(), rect.Height(), flags);
}

CSize SECDockBar::CalcDynamicLayout(int, DWORD nMode)
{
    return CalcFixedLayout(nMode & LM_STRETCH, (nMode & LM_HORZ) != 0);
}

CSize SECDockBar::CalcFixedLayout(BOOL bStretch, BOOL bHorzIn)
{
    CSize result = CControlBar::CalcFixedLayout(bStretch, bHorzIn);
    const Axis ax{IsHorzDockBar()};
    const BOOL query = m_pLayout ? m_pLayout->hDWP == nullptr : m_bLayoutQuery;
    const BOOL docked = !m_bFloating;
    const SECGlobalData& data = SECGetGlobalData();
    const int b = data.m_cxBorder2;

    // 1. The room: the last layout's rectangle, else the frame's client area.
    CRect avail;
    if (m_pLayout && !CRect(m_pLayout->rect).IsRectEmpty())
        avail = m_pLayout->rect;
    else if (!m_rectLayout.IsRectEmpty())
        avail = m_rectLayout;
    else if (CWnd* parent = GetParent())
        parent->GetClientRect(&avail);
    if (m_bFloating)
        avail.SetRect(0, 0, 32767, 32767);
    const int W = avail.Width(), H = avail.Height();
    const int L = ax.horz ? W : H;   // the row length

    // 2. One deferred positioning for every move.
    HDWP hdwp = nullptr;
    if (!query && m_hWnd) {
        hdwp = ::BeginDeferWindowPos(static_cast<int>(m_arrBars.GetSize()));
        for (auto& s : m_arrSplitters)
            s->m_bUsed = FALSE;
        for (auto& e : m_arrClientEdges)
            e->m_bUsed = FALSE;
    }
    int lastDocked = 0;
    for (int i = 1; i < m_arrBars.GetSize(); ++i)
        if (GetDockedControlBar(i))
            lastDocked = i;

    m_rowsExtent = RowsExtent{};
    std::vector<CControlBar*> changed;
    int rememberedIndex = -1;
    int along = 0, across = 0;
    int firstAcross = 0;
    BOOL firstRowDone = FALSE;
    BOOL prevRowSizable = FALSE;
    int longest = 0;
    int maxOverlap = 0;
    BOOL anyVisible = FALSE;
    BOOL firstPlaced = TRUE;

    const int size = static_cast<int>(m_arrBars.GetSize());
    int rowStart = 1;
    while (rowStart < size) {
        int rowEnd = rowStart;
        while (rowEnd < size && m_arrBars[rowEnd])
            ++rowEnd;
        // The row's visible bars.
        std::vector<int> vis;
        for (int i = rowStart; i < rowEnd; ++i)
            if (CControlBar* bar = GetDockedControlBar(i); bar && bar->IsVisible())
                vis.push_back(i);
        // Delayed showing and hiding happen in this same positioning, for every docked bar, once
        // the row is placed (a row that shows nothing too, or a hidden bar would stay up).
        const auto applyDelayedShows = [&] {
            for (int i = rowStart; i < rowEnd; ++i) {
                CControlBar* bar = GetDockedControlBar(i);
                if (!bar || !(bar->m_nStateFlags & (CControlBar::delayShow | CControlBar::delayHide)))
                    continue;
                AFX_SIZEPARENTPARAMS params{};
                params.hDWP = hdwp;
                bar->RecalcDelayShow(&params);
                hdwp = params.hDWP;
            }
        };
        if (vis.empty()) {
            applyDelayedShows();
            rowStart = rowEnd + 1;
            continue;
        }
        anyVisible = TRUE;

        // 4. Row start.
        int sizable = 0, fixed = 0;
        NormalizeRowShares(rowStart, m_pArrivedBar, &sizable, &fixed);
        const BOOL rowSizable = sizable > 0;
        int o = 0;
        for (int i : vis)
            o = std::max(o, IsFlatCustomToolBar(GetDockedControlBar(i)) ? 0 : b);
        const int oLast = IsFlatCustomToolBar(GetDockedControlBar(vis.back())) ? 0 : b;
        maxOverlap = std::max(maxOverlap, o);
        CControlBar* firstBar = GetDockedControlBar(vis.front());
        along = IsFlatCustomToolBar(firstBar) ? -1 : -2;
        if (!firstRowDone) {
            for (int i : vis)
                across = IsFlatCustomToolBar(GetDockedControlBar(i)) ? (rowSizable ? -3 : -1) : -2;
            firstAcross = across;
            firstRowDone = TRUE;
        } else if (IsFlatCustomToolBar(firstBar) && prevRowSizable) {
            across += 1;
        }
        const int rowStartAlong = along;

        // 5. Measuring.
        const int nVis = static_cast<int>(vis.size());
        int T = 0, sumLen = 0;
        for (int i : vis) {
            CControlBar* bar = GetDockedControlBar(i);
            int mode = LayoutBarMode(bar);
            if (mode == LM_VERTDOCK)
                mode |= LM_LENGTHY;
            if (rowSizable)
                mode |= LM_STRETCH;
            CSize sz;
            // A fixed bar keeps its length: only sizable toolkit bars take the row's length.
            const SECControlBar* sec = AsSEC(bar);
            const bool keepsSize = !sec || (sec->m_dwExStyle & CBRS_EX_UNIDIRECTIONAL);
            if (docked && keepsSize) {
                sz = bar->CalcDynamicLayout(-1, static_cast<DWORD>(mode));
            } else if (docked) {
                const int len = (mode & LM_HORZ) ? W : H;
                sz = bar->CalcDynamicLayout(len - kSplit * (nVis - 1), static_cast<DWORD>(mode | LM_COMMIT));
            } else {
                sz = bar->CalcDynamicLayout(-1, static_cast<DWORD>(mode));
                const int natural = (mode & LM_LENGTHY) ? sz.cy : sz.cx;
                sz = bar->CalcDynamicLayout(natural, static_cast<DWORD>(mode | LM_COMMIT));
            }
            T = std::max(T, ax.Across(sz));
            sumLen += ax.Along(sz);
        }

        // 6. Row end: its length for the result.
        const int rowLen = rowStartAlong + sumLen + kSplit * (nVis - 1) - o;
        longest = std::max(longest, rowLen);

        if (rowSizable) {
            // A frame too small for the panes and its document area squeezes the row; the bars
            // keep their own thickness for when it has room again.
            const int naturalT = T;
            if (docked) {
                m_rowsExtent.nSizable += naturalT;
                m_rowsExtent.nSizableMin += std::min(naturalT, SEC_MIN_SQUEEZED_ROW);
                T = SqueezedThickness(naturalT);
            }
            // 7a. The strip before the row.
            if (docked) {
                if (ax.horz)
                    along += o + 1;
                if (firstPlaced && (m_dwStyle & (CBRS_ALIGN_BOTTOM | CBRS_ALIGN_RIGHT)))
                    across += 1;
            }
            const DWORD side = m_dwStyle & CBRS_ALIGN_ANY;
            const int edgeOrient = ax.horz ? 0 : 1;
            if (side & CBRS_ALIGN_TOP) {
                if (!query)
                    AddClientEdge(edgeOrient, CRect(0, across, W, across + 2));
                across += 2;
            } else if (side & CBRS_ALIGN_BOTTOM) {
                if (!query)
                    AddSplitter(0, 0, CRect(0, across, W, across + kSplit), rowStart);
                across += kSplit;
            } else if (side & CBRS_ALIGN_LEFT) {
                if (!query)
                    AddClientEdge(edgeOrient, CRect(across, 0, across + 2, H + along));
                across += 2;
            } else if (side & CBRS_ALIGN_RIGHT) {
                if (!query)
                    AddSplitter(0, 1, CRect(across, 0, across + kSplit, H - o), rowStart);
                across += kSplit;
            }
            // 7b-d. The bars.
            for (int k = 0; k < nVis; ++k) {
                CControlBar* bar = GetDockedControlBar(vis[k]);
                SECControlBar* sec = AsSEC(bar);
                if (sec)
                    sec->m_dwExStyle &= ~static_cast<DWORD>(CBRS_EX_SHADOWBORDERS);
                const int mode = LayoutBarMode(bar);
                CSize sz;
                if (docked && !query) {
                    if (ax.horz)
                        sz = bar->CalcDynamicLayout(naturalT, static_cast<DWORD>(mode | LM_LENGTHY | LM_COMMIT));
                    else
                        sz = bar->CalcDynamicLayout(naturalT, static_cast<DWORD>(mode | LM_COMMIT));
                } else {
                    sz = bar->CalcDynamicLayout(-1, static_cast<DWORD>(mode));
                }
                const bool last = k == nVis - 1;
                const bool keepsLength = (LayoutExStyleOf(bar) & CBRS_EX_UNIDIRECTIONAL) ||
                                         (ax.horz && (bar->GetBarStyle() & CBRS_FLOATING));
                int len = ax.Along(sz);
                if (last && !keepsLength && docked && !query) {
                    len = std::max(L - along, 0);
                    sz = bar->CalcDynamicLayout(len, static_cast<DWORD>(mode | LM_COMMIT | (ax.horz ? 0 : LM_LENGTHY)));
                    len = ax.Along(sz);
                }
                const int thick = docked ? std::min(T, ax.Across(sz)) : ax.Across(sz);
                const CRect rect = ax.Make(along, across, along + len, across + thick);
                along += len;
                if (!last) {
                    if (!query) {
                        if (ax.horz)
                            AddSplitter(1, 1, CRect(rect.right, rect.top, rect.right + kSplit, rect.top + T), vis[k]);
                        else
                            AddSplitter(1, 0, CRect(rect.left, rect.bottom, rect.left + T, rect.bottom + kSplit), vis[k]);
                    }
                    along += kSplit;
                }
                CRect current;
                bar->GetWindowRect(&current);
                ScreenToClient(&current);
                if (current != rect) {
                    if (!bar->IsFloating() && bar->m_pDockContext && !query)
                        bar->m_pDockContext->m_rectMRUDockPos = rect;
                    if (hdwp) {
                        MoveBar(hdwp, bar, rect, query);
                        if (current.Size() != rect.Size()) {
                            changed.push_back(bar);
                            if (ax.Thick(current) != ax.Thick(rect))
                                rememberedIndex = vis[k];
                        }
                    }
                }
            }
            // The strip after the row.
            if (side & CBRS_ALIGN_TOP) {
                if (!query)
                    AddSplitter(0, 0, CRect(0, across + T, W, across + T + kSplit), rowStart);
                across += kSplit;
            } else if (side & CBRS_ALIGN_BOTTOM) {
                if (!query)
                    AddClientEdge(edgeOrient, CRect(0, across + T, W, across + T + 2));
                across += 2;
            } else if (side & CBRS_ALIGN_LEFT) {
                const int e = (GetDockedControlBar(vis.back()) == GetDockedControlBar(lastDocked) &&
                               !(SECIsKindOf(GetParent(), "SECWorkbook") && GetParent()->GetStyle() & 0x1))
                                  ? 2
                                  : 0;
                if (!query)
                    AddSplitter(0, 1, CRect(across + T + e, 0, across + T + e + kSplit, H - 2 * o), rowStart);
                across += kSplit;
            } else if (side & CBRS_ALIGN_RIGHT) {
                // As long as the left side's edge: the row's own start, not where its bars end.
                if (!query)
                    AddClientEdge(edgeOrient, CRect(across + T, 0, across + T + 2, H + rowStartAlong));
                across += 2;
            }
            firstPlaced = FALSE;
        } else {
            // 8. A toolbar row.
            for (int k = 0; k < nVis; ++k) {
                CControlBar* bar = GetDockedControlBar(vis[k]);
                if (SECControlBar* sec = AsSEC(bar))
                    sec->m_dwExStyle |= CBRS_EX_SHADOWBORDERS;
                const int mode = LayoutBarMode(bar);
                const CSize sz = bar->CalcDynamicLayout(-1, static_cast<DWORD>(mode));
                const int len = ax.Along(sz);
                CRect current;
                bar->GetWindowRect(&current);
                ScreenToClient(&current);
                if (!ax.horz && (LayoutExStyleOf(bar) & CBRS_EX_FULL_ROW)) {
                    const CRect rect = ax.Make(along, across, H - along, across + ax.Across(sz));
                    MoveBar(hdwp, bar, rect, query);
                    continue;
                }
                int start = along;
                if (docked) {
                    const int lead = ax.Lead(current);
                    if (lead > start)
                        start = lead;
                    const int over = ax.horz ? oLast : o;
                    if (start + len > L)
                        start = std::max(along, L - (len - over));
                }
                const CRect rect = ax.Make(start, across, start + len, across + ax.Across(sz));
                if (rect != current) {
                    if (!query && !bar->IsFloating() && bar->m_pDockContext)
                        bar->m_pDockContext->m_rectMRUDockPos = rect;
                    if (hdwp) {
                        MoveBar(hdwp, bar, rect, query);
                        changed.push_back(bar);
                    }
                }
                along = start + len - o;
                T = std::max(T, ax.Across(sz));
            }
            firstPlaced = FALSE;
        }
        applyDelayedShows();
        across += T - o;
        prevRowSizable = rowSizable;
        rowStart = rowEnd + 1;
    }

    // 11. After the walk.
    if (hdwp) {
        ::EndDeferWindowPos(hdwp);
        std::erase_if(m_arrSplitters, [](const auto& s) { return !s->m_bUsed; });
        std::erase_if(m_arrClientEdges, [](const auto& e) { return !e->m_bUsed; });
        for (CControlBar* bar : changed)
            m_arrChangedBars.Add(bar);
        if (rememberedIndex > 0)
            MarkChangedFrom(IsFarSide() ? rememberedIndex : rememberedIndex);
    }
    m_pArrivedBar = nullptr;

    // 12. The result.
    int lengthOut = longest;
    if (!bStretch) {
        CRect borders(0, 0, 0, 0);
        CalcInsideRect(borders, ax.horz);
        lengthOut += -borders.Width();
    }
    const int thickOut = anyVisible ? across + firstAcross + maxOverlap + 2 : 0;
    m_rowsExtent.nTotal = thickOut;
    if (ax.horz) {
        result.cx = std::max<LONG>(result.cx, lengthOut);
        result.cy = thickOut;
    } else {
        result.cy = std::max<LONG>(result.cy, lengthOut);
        result.cx = thickOut;
    }
    return result;
}

LRESULT SECDockBar::OnSizeParentSEC(WPARAM wParam, LPARAM lParam)
{
    auto* layout = reinterpret_cast<AFX_SIZEPARENTPARAMS*>(lParam);
    AFX_SIZEPARENTPARAMS* oldLayout = m_pLayout;
    const BOOL oldQuery = m_bLayoutQuery;
    const CRect oldRect = m_rectLayout;
    if (!m_bFloating)
        ShareRoomOfAxis(*layout);
    m_pLayout = layout;
    m_bLayoutQuery = layout->hDWP == nullptr;
    m_rectLayout = layout->rect;
    const LRESULT result = OnSizeParent(wParam, lParam);
    m_pLayout = oldLayout;
    m_bLayoutQuery = oldQuery;
    m_rectLayout = oldRect;
    return result;
}

// ---- Strips ----

void SECDockBar::AddSplitter(int nKind, int nOrient, const CRect& rect, int nExtra)
{
    for (auto& s : m_arrSplitters)
        if (s->m_rect == rect) {
            s->m_bUsed = TRUE;
            s->m_nKind = nKind;
            s->m_nOrient = nOrient;
            s->m_nExtra = nExtra;
            return;
        }
    auto s = std::make_unique<Splitter>();
    s->m_nKind = nKind;
    s->m_nOrient = nOrient;
    s->m_rect = rect;
    s->m_nExtra = nExtra;
    m_arrSplitters.push_back(std::move(s));
}

void SECDockBar::AddClientEdge(int nOrient, const CRect& rect)
{
    for (auto& e : m_arrClientEdges)
        if (e->m_rect == rect) {
            e->m_bUsed = TRUE;
            e->m_nOrient = nOrient;
            return;
        }
    auto e = std::make_unique<ClientEdge>();
    e->m_nOrient = nOrient;
    e->m_rect = rect;
    m_arrClientEdges.push_back(std::move(e));
}

SECDockBar::Splitter* SECDockBar::SplitterAt(CPoint point) const
{
    for (const auto& s : m_arrSplitters)
        if (s->m_rect.PtInRect(point))
            return s.get();
    return nullptr;
}

// ---- Painting ----

void SECDockBar::DoPaint(CDC* pDC)
{
    const SECGlobalData& data = SECGetGlobalData();
    for (const auto& e : m_arrClientEdges) {
        const CRect& r = e->m_rect;
        if (e->m_nOrient == 0) {
            pDC->FillSolidRect(r.left, r.top, r.Width(), 1, data.clrBtnShadow);
            pDC->FillSolidRect(r.left, r.top + 1, r.Width(), 1, data.clrBtnHilite);
        } else {
            pDC->FillSolidRect(r.left, r.top, 1, r.Height(), data.clrBtnShadow);
            pDC->FillSolidRect(r.left + 1, r.top, 1, r.Height(), data.clrBtnHilite);
        }
    }
    for (const auto& s : m_arrSplitters) {
        const CRect& r = s->m_rect;
        pDC->FillSolidRect(&r, data.clrBtnFace);
        if (s->m_nOrient == 0) {
            pDC->FillSolidRect(r.left, r.top, r.Width(), 1, data.clrBtnHilite);
            pDC->FillSolidRect(r.left, r.bottom - 2, r.Width(), 1, data.clrBtnShadow);
            pDC->FillSolidRect(r.left, r.bottom - 1, r.Width(), 1, data.clrWindowFrame);
        } else {
            pDC->FillSolidRect(r.left, r.top, 1, r.Height(), data.clrBtnHilite);
            pDC->FillSolidRect(r.right - 2, r.top, 1, r.Height(), data.clrBtnShadow);
            pDC->FillSolidRect(r.right - 1, r.top, 1, r.Height(), data.clrWindowFrame);
        }
    }
    if (m_bRepainting) {
        for (INT_PTR i = 0; i < m_arrChangedBars.GetSize(); ++i) {
            auto* bar = static_cast<CControlBar*>(m_arrChangedBars[i]);
            // Only bars still docked here: a bar that left may be gone.
            if (FindBar(bar) > 0 && bar->m_hWnd)
                bar->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
        }
        m_arrChangedBars.RemoveAll();
        m_bFullRedraw = FALSE;
    }
    CDockBar::DoPaint(pDC);
}

void SECDockBar::RepaintChangedBars()
{
    if (m_arrChangedBars.GetSize() == 0 || !m_hWnd)
        return;
    m_bRepainting = TRUE;
    RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
    m_bRepainting = FALSE;
    // A dock bar with no room paints nothing: the list must not grow for ever.
    m_arrChangedBars.RemoveAll();
}

// ---- Splitters in use ----

BOOL SECDockBar::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message)
{
    POINT pt;
    ::GetCursorPos(&pt);
    ScreenToClient(&pt);
    const SECGlobalData& data = SECGetGlobalData();
    if (Splitter* s = SplitterAt(pt)) {
        ::SetCursor(s->m_nOrient == 1 ? data.m_hcurHSplit : data.m_hcurVSplit);
        return TRUE;
    }
    ::SetCursor(data.m_hcurArrow);
    (void)pWnd;
    (void)nHitTest;
    (void)message;
    return TRUE;
}

void SECDockBar::OnMouseMove(UINT, CPoint point)
{
    const SECGlobalData& data = SECGetGlobalData();
    Splitter* s = SplitterAt(point);
    ::SetCursor(s ? (s->m_nOrient == 1 ? data.m_hcurHSplit : data.m_hcurVSplit) : data.m_hcurArrow);
}

void SECDockBar::OnLButtonDown(UINT, CPoint point)
{
    Splitter* s = SplitterAt(point);
    if (!s)
        return;
    GetSplitterLimits(s);
    const int delta = Track(s);
    if (delta != 0) {
        MoveSplitter(s, delta);
        if (CFrameWnd* frame = GetDockingFrame())
            frame->DelayRecalcLayout();
    }
}

void SECDockBar::GetSplitterLimits(Splitter* pSplitter)
{
    const Axis ax{IsHorzDockBar()};
    CRect client;
    GetClientRect(&client);
    if (pSplitter->m_nKind == 0) {
        int first, end;
        GetRowRange(pSplitter->m_nExtra, first, end);
        int thick = 0;
        for (int i = first; i < end; ++i)
            if (CControlBar* bar = GetDockedControlBar(i))
                thick = std::max(thick, ax.Across(bar->CalcDynamicLayout(-1, static_cast<DWORD>(LayoutBarMode(bar)))));
        // The row as it shows, and the document area keeping what the layout leaves it: a drag
        // ends where the row then stays.
        thick = SqueezedThickness(thick);
        const int keep = std::max(19, MinDocumentExtent(m_nSharedRoom));
        CRect free;
        if (CFrameWnd* frame = GetDockingFrame()) {
            frame->RepositionBars(0, 0xFFFF, AFX_IDW_PANE_FIRST, CWnd::reposQuery, &free, nullptr, TRUE);
            frame->ClientToScreen(&free);
            ScreenToClient(&free);
        }
        const CRect& r = pSplitter->m_rect;
        const DWORD side = m_dwStyle & CBRS_ALIGN_ANY;
        if (side & CBRS_ALIGN_TOP) {
            pSplitter->m_nMin = r.top - thick + 19;
            pSplitter->m_nMax = std::max<int>(free.bottom - keep, r.bottom);
        } else if (side & CBRS_ALIGN_BOTTOM) {
            pSplitter->m_nMin = std::min<int>(free.top + keep, r.top);
            pSplitter->m_nMax = r.bottom + thick - 19;
        } else if (side & CBRS_ALIGN_LEFT) {
            pSplitter->m_nMin = r.left - thick + 19;
            pSplitter->m_nMax = std::max<int>(free.right - keep, r.right);
        } else {
            pSplitter->m_nMin = std::min<int>(free.left + keep, r.left);
            pSplitter->m_nMax = r.right + thick - 19;
        }
        if (pSplitter->m_nMax < pSplitter->m_nMin + kSplit)
            pSplitter->m_nMax = pSplitter->m_nMin + kSplit;
        return;
    }
    // Between bars: every bar keeps 24 pixels on its side of the splitter.
    int first, end;
    GetRowRange(pSplitter->m_nExtra, first, end);
    int before = 0, after = 0;
    for (int i = first; i < end; ++i)
        if (GetDockedControlBar(i))
            (i <= pSplitter->m_nExtra ? before : after) += 1;
    pSplitter->m_nMin = 24 * before;
    pSplitter->m_nMax = ax.Length(client) - 24 * after;
    if (pSplitter->m_nMax < pSplitter->m_nMin + kSplit)
        pSplitter->m_nMax = pSplitter->m_nMin + kSplit;
}

int SECDockBar::Track(Splitter* pSplitter)
{
    if (::GetCapture())
        return 0;
    SetCapture();
    CFrameWnd* frame = GetDockingFrame();
    CWnd* target = frame ? static_cast<CWnd*>(frame) : this;
    // The DC is kept by its handle and looked up at each use: the loop below dispatches what
    // comes meanwhile, and work that runs the idle work frees the temporary object that stands
    // for it.
    HDC hdc = ::GetDCEx(target->m_hWnd, nullptr, DCX_CACHE);
    // The 6-pixel strip in the drawing window's coordinates, moved along its axis.
    const BOOL vertStrip = pSplitter->m_nOrient == 1;
    const CRect start = pSplitter->m_rect;
    CRect rect = start;
    const auto toTarget = [&](CRect r) {
        ::MapWindowPoints(m_hWnd, target->m_hWnd, reinterpret_cast<POINT*>(&r), 2);
        return r;
    };
    const CSize thick(5, 5);
    CRect shown = toTarget(rect);
    if (hdc)
        CDC::FromHandle(hdc)->DrawDragRect(&shown, thick, nullptr, CSize(0, 0));
    POINT origin;
    ::GetCursorPos(&origin);
    BOOL cancelled = FALSE;
    for (;;) {
        MSG msg;
        if (!::GetMessage(&msg, nullptr, 0, 0)) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            cancelled = TRUE;
            break;
        }
        if (::GetCapture() != m_hWnd)
            break;   // the position reached stands
        if (msg.message == WM_LBUTTONUP)
            break;
        if (msg.message == WM_RBUTTONDOWN || (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE)) {
            cancelled = TRUE;
            break;
        }
        if (msg.message == WM_KEYDOWN || msg.message == WM_KEYUP)
            continue;
        if (msg.message == WM_MOUSEMOVE) {
            POINT pt;
            ::GetCursorPos(&pt);
            const int d = vertStrip ? pt.x - origin.x : pt.y - origin.y;
            const int lead = std::clamp((vertStrip ? start.left : start.top) + d, pSplitter->m_nMin,
                                        std::max(pSplitter->m_nMin, pSplitter->m_nMax - kSplit));
            CRect next = start;
            if (vertStrip)
                next.OffsetRect(lead - start.left, 0);
            else
                next.OffsetRect(0, lead - start.top);
            if (next != rect) {
                const CRect old = shown;
                rect = next;
                shown = toTarget(rect);
                if (hdc)
                    CDC::FromHandle(hdc)->DrawDragRect(&shown, thick, &old, thick);
            }
            continue;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessage(&msg);
    }
    if (hdc)
        CDC::FromHandle(hdc)->DrawDragRect(&shown, CSize(0, 0), &shown, thick);
    if (hdc)
        ::ReleaseDC(target->m_hWnd, hdc);
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
    pSplitter->m_rectLast = rect;
    if (cancelled)
        return 0;
    return vertStrip ? rect.left - start.left : rect.top - start.top;
}

void SECDockBar::MoveSplitter(Splitter* pSplitter, int nDelta)
{
    m_bFullRedraw = TRUE;
    const Axis ax{IsHorzDockBar()};
    int first, end;
    GetRowRange(pSplitter->m_nExtra, first, end);
    if (CControlBar* any = GetDockedControlBar(pSplitter->m_nExtra))
        NoteCustomToolBarsInRow(any);
    if (pSplitter->m_nKind == 0) {
        // Between rows: every bar of the row grows or shrinks across it.
        const int sign = (m_dwStyle & (CBRS_ALIGN_BOTTOM | CBRS_ALIGN_RIGHT)) ? -1 : 1;
        for (int i = first; i < end; ++i) {
            CControlBar* bar = GetDockedControlBar(i);
            if (!bar)
                continue;
            const int mode = LayoutBarMode(bar);
            // From the thickness the row shows: in a squeezed row the drag sets what it shows.
            const int thick = SqueezedThickness(ax.Across(bar->CalcDynamicLayout(-1, static_cast<DWORD>(mode))));
            const int next = std::max(thick + sign * nDelta, 0);
            bar->CalcDynamicLayout(next, static_cast<DWORD>(mode | LM_COMMIT | (ax.horz ? LM_LENGTHY : 0)));
            m_arrChangedBars.Add(bar);
        }
        return;
    }
    // Between bars: shares move from the bars on one side to those on the other.
    CRect client;
    GetClientRect(&client);
    std::vector<SECControlBar*> vis;
    int splitAt = -1;
    for (int i = first; i < end; ++i) {
        SECControlBar* bar = AsSEC(GetDockedControlBar(i));
        if (!bar || !bar->IsVisible())
            continue;
        if (i == pSplitter->m_nExtra)
            splitAt = static_cast<int>(vis.size());
        vis.push_back(bar);
    }
    if (splitAt < 0 || splitAt + 1 >= static_cast<int>(vis.size()))
        return;
    const int rowLen = ax.Length(client) - kSplit * (static_cast<int>(vis.size()) - 1);
    if (rowLen <= 0)
        return;
    m_fMinShare = ComputeMinimumShare();
    const float minLen = std::max(18.0f, m_fMinShare * static_cast<float>(rowLen));
    std::vector<float> len;
    for (SECControlBar* bar : vis)
        len.push_back(bar->m_fPctWidth * static_cast<float>(rowLen));
    // The growing side takes what the shrinking side can give, nearest bar first.
    const int grow = nDelta > 0 ? splitAt : splitAt + 1;
    const int dir = nDelta > 0 ? 1 : -1;
    float want = static_cast<float>(std::abs(nDelta));
    float given = 0.0f;
    for (int k = nDelta > 0 ? splitAt + 1 : splitAt; k >= 0 && k < static_cast<int>(vis.size()) && want > 0.0f;
         k += dir) {
        const float take = std::min(want, std::max(len[k] - minLen, 0.0f));
        len[k] -= take;
        want -= take;
        given += take;
        m_arrChangedBars.Add(vis[k]);
    }
    len[grow] += given;
    m_arrChangedBars.Add(vis[grow]);
    for (size_t k = 0; k < vis.size(); ++k)
        vis[k]->m_fPctWidth = len[k] / static_cast<float>(rowLen);
}

// ---- The outline for a dragged bar ----

CRect SECDockBar::GetDockingRect(CControlBar* pBar, const CRect& rectIn, CPoint point, int& nLastIndex,
                                 CRect& rectLast, CPoint& ptLast)
{
    const Axis ax{IsHorzDockBar()};
    CRect rectClient = rectIn;
    ScreenToClient(&rectClient);
    int index = FindInsertionIndex(pBar, rectClient, rectClient.CenterPoint());
    int first = index, end = index;
    if (index < m_arrBars.GetSize()) {
        GetRowRange(std::max(index, 1), first, end);
    }
    int others = 0;
    if (index < m_arrBars.GetSize())
        for (int i = first; i < end; ++i)
            if (CControlBar* bar = GetDockedControlBar(i); bar && bar != pBar)
                ++others;
    if (others > 0 && first == nLastIndex) {
        CRect moved = rectLast;
        moved.OffsetRect(point.x - ptLast.x, point.y - ptLast.y);
        rectLast = moved;
        ptLast = point;
        return moved;
    }
    CRect result = rectIn;
    SECControlBar* dragged = AsSEC(pBar);
    if (dragged && (dragged->m_dwExStyle & CBRS_EX_UNIDIRECTIONAL)) {
        // A fixed bar keeps its outline.
    } else if (others == 0) {
        CRect window;
        GetWindowRect(&window);
        if (ax.horz) {
            result.left = window.left;
            result.right = window.right;
        } else {
            result.top = window.top;
            result.bottom = window.bottom;
        }
    } else {
        float sum = 0.0f;
        int T = 0;
        bool draggedInRow = false;
        for (int i = first; i < end; ++i) {
            SECControlBar* bar = AsSEC(GetDockedControlBar(i));
            if (!bar || !bar->IsVisible())
                continue;
            if (bar == pBar)
                draggedInRow = true;
            sum += bar->m_fPctWidth;
            T = std::max(T, ax.Across(bar->CalcDynamicLayout(-1, ax.horz ? (LM_HORZ | LM_HORZDOCK) : LM_VERTDOCK)));
        }
        if (!draggedInRow && sum > 0.0f && dragged) {
            sum += dragged->m_fPctWidth;
            T = std::max(T, ax.Across(dragged->CalcDynamicLayout(-1, ax.horz ? (LM_HORZ | LM_HORZDOCK) : LM_VERTDOCK)));
            CRect window;
            GetWindowRect(&window);
            const int newLen = static_cast<int>(static_cast<float>(ax.Length(window)) * dragged->m_fPctWidth / sum);
            const auto fit = [](LONG& lo, LONG& hi, int cursor, int newLength) {
                const int length = hi - lo;
                if (length <= 0)
                    return;
                const double r = static_cast<double>(cursor - lo) / length;
                const int d = length - newLength;
                lo += static_cast<int>(d * r);
                hi -= static_cast<int>(d * (1.0 - r));
            };
            if (ax.horz) {
                fit(result.left, result.right, point.x, newLen);
                fit(result.top, result.bottom, point.y, T);
            } else {
                fit(result.top, result.bottom, point.y, newLen);
                fit(result.left, result.right, point.x, T);
            }
        }
    }
    nLastIndex = first;
    rectLast = result;
    ptLast = point;
    return result;
}
