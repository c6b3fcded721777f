// How a frame too small for its docked panes shares its room: the rows of sizable bars give way
// to the document area, all in the same proportion, and take their own sizes again as soon as
// the frame has room for them. Toolbar rows, splitters and edges keep their sizes.
#include "toolkit/docking/SECDockBar.h"

#include "platform/win/UserApi.h"

#include <algorithm>
#include <vector>

int SECDockBar::MinDocumentExtent(int nShared)
{
    return std::min(SEC_MIN_DOCUMENT_AREA, std::max(nShared, 0) / 2);
}

int SECDockBar::SqueezedThickness(int nThick) const
{
    if (m_fSqueeze >= 1.0f)
        return nThick;
    const int least = std::min(nThick, SEC_MIN_SQUEEZED_ROW);
    return least + static_cast<int>(static_cast<float>(nThick - least) * m_fSqueeze);
}

SECDockBar::RowsExtent SECDockBar::MeasureRows(const CRect& rectRoom, BOOL bStretch)
{
    // A layout query at the bars' own sizes: nothing moves, and a bar that has just arrived
    // keeps its claim on its row for the layout that follows.
    AFX_SIZEPARENTPARAMS* const oldLayout = m_pLayout;
    const BOOL oldQuery = m_bLayoutQuery;
    const CRect oldRect = m_rectLayout;
    CControlBar* const arrived = m_pArrivedBar;
    const float squeeze = m_fSqueeze;
    m_pLayout = nullptr;
    m_bLayoutQuery = TRUE;
    m_rectLayout = rectRoom;
    m_fSqueeze = 1.0f;
    CalcFixedLayout(bStretch, IsHorzDockBar());
    const RowsExtent extent = m_rowsExtent;
    m_pLayout = oldLayout;
    m_bLayoutQuery = oldQuery;
    m_rectLayout = oldRect;
    m_pArrivedBar = arrived;
    m_fSqueeze = squeeze;
    return extent;
}

void SECDockBar::ShareRoomOfAxis(const AFX_SIZEPARENTPARAMS& layout)
{
    CWnd* parent = GetParent();
    if (!parent || !parent->m_hWnd)
        return;
    const BOOL horz = IsHorzDockBar();
    // The docked dock bars of this axis in the order the frame lays them out: each takes its
    // part of what the ones before it left.
    std::vector<SECDockBar*> docks;
    for (HWND child = ::GetWindow(parent->m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        CWnd* wnd = CWnd::FromHandlePermanent(child);
        if (!wnd || !wnd->IsKindOf(RUNTIME_CLASS(SECDockBar)))
            continue;
        auto* dock = static_cast<SECDockBar*>(wnd);
        if (dock->m_bFloating || dock->IsHorzDockBar() != horz)
            continue;
        if (docks.empty() && dock != this)
            return;   // the first of the axis has shared it in this same layout
        docks.push_back(dock);
    }
    if (docks.empty())
        return;

    // What the axis holds: the rows that keep their size, and the sizable rows.
    int fixed = 0, sizable = 0, sizableMin = 0;
    for (SECDockBar* dock : docks) {
        if (!dock->IsVisible())
            continue;
        const RowsExtent extent = dock->MeasureRows(CRect(layout.rect), layout.bStretch);
        fixed += extent.nTotal - extent.nSizable;
        sizable += extent.nSizable;
        sizableMin += extent.nSizableMin;
    }
    const CRect room(layout.rect);
    const int shared = (horz ? room.Height() : room.Width()) - fixed;
    const int forRows = shared - MinDocumentExtent(shared);
    float squeeze = 1.0f;
    if (sizable > forRows && sizable > sizableMin)
        squeeze = std::clamp(static_cast<float>(forRows - sizableMin) / static_cast<float>(sizable - sizableMin), 0.0f,
                             1.0f);
    for (SECDockBar* dock : docks) {
        dock->m_fSqueeze = squeeze;
        dock->m_nSharedRoom = shared;
    }
}
