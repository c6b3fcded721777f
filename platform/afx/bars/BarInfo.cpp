// Taking a bar's place into its saved form and putting it back: plain bars keep their position
// and remembered places, dock bars their rows.
#include "platform/afx/bars/CDockContext.h"
#include "platform/afx/bars/CDockState.h"
#include "platform/afx/bars/CMiniDockFrameWnd.h"

#include <algorithm>

namespace {

constexpr UINT_PTR kKeptPlace = 0x10000;

} // namespace

void CControlBar::GetBarInfo(CControlBarInfo* pInfo)
{
    pInfo->m_pBar = this;
    pInfo->m_nBarID = static_cast<UINT>(GetDlgCtrlID()) & 0xFFFF;
    pInfo->m_bVisible = IsVisible();
    pInfo->m_bDockBar = FALSE;
    pInfo->m_bFloating = FALSE;
    pInfo->m_bHorz = (m_dwStyle & CBRS_ORIENT_HORZ) != 0;
    pInfo->m_nMRUWidth = m_nMRUWidth;
    CRect rect;
    GetWindowRect(&rect);
    if (m_pDockBar)
        m_pDockBar->ScreenToClient(&rect);
    pInfo->m_pointPos = rect.TopLeft();
    pInfo->m_bDocking = m_pDockContext != nullptr;
    if (m_pDockContext) {
        pInfo->m_uMRUDockID = m_pDockContext->m_uMRUDockID;
        pInfo->m_rectMRUDockPos = m_pDockContext->m_rectMRUDockPos;
        pInfo->m_dwMRUFloatStyle = m_pDockContext->m_dwMRUFloatStyle;
        pInfo->m_ptMRUFloatPos = m_pDockContext->m_ptMRUFloatPos;
    }
}

void CControlBar::SetBarInfo(CControlBarInfo* pInfo, CFrameWnd*)
{
    m_nMRUWidth = pInfo->m_nMRUWidth;
    if (pInfo->m_bDocking && m_pDockContext) {
        m_pDockContext->m_uMRUDockID = pInfo->m_uMRUDockID;
        m_pDockContext->m_rectMRUDockPos = pInfo->m_rectMRUDockPos;
        m_pDockContext->m_dwMRUFloatStyle = pInfo->m_dwMRUFloatStyle;
        m_pDockContext->m_ptMRUFloatPos = pInfo->m_ptMRUFloatPos;
    }
    UINT flags = SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE;
    flags |= pInfo->m_bVisible ? SWP_SHOWWINDOW : SWP_HIDEWINDOW;
    if (pInfo->m_pointPos == CPoint(-1, -1) || !m_pDockBar)
        flags |= SWP_NOMOVE;
    m_nStateFlags &= ~static_cast<UINT>(delayShow | delayHide);
    SetWindowPos(nullptr, pInfo->m_pointPos.x, pInfo->m_pointPos.y, 0, 0, flags);
}

void CDockBar::GetBarInfo(CControlBarInfo* pInfo)
{
    pInfo->m_pBar = this;
    pInfo->m_nBarID = static_cast<UINT>(GetDlgCtrlID()) & 0xFFFF;
    pInfo->m_bDockBar = TRUE;
    pInfo->m_bFloating = m_bFloating;
    pInfo->m_bHorz = (m_dwStyle & CBRS_ORIENT_HORZ) != 0;
    pInfo->m_bDocking = FALSE;
    pInfo->m_pointPos = CPoint(-1, -1);
    pInfo->m_bVisible = TRUE;
    if (m_bFloating) {
        // A floating dock bar is saved as its frame: where it is and whether it shows.
        if (CWnd* mini = GetParent()) {
            CRect rect;
            mini->GetWindowRect(&rect);
            pInfo->m_pointPos = rect.TopLeft();
            pInfo->m_bVisible = mini->IsWindowVisible();
        }
    }
    pInfo->m_arrBarID.RemoveAll();
    for (INT_PTR i = 0; i < m_arrBars.GetSize(); ++i) {
        void* entry = m_arrBars[i];
        UINT_PTR id = 0;
        if (IsPlaceHolder(entry))
            id = reinterpret_cast<UINT_PTR>(entry) | kKeptPlace;
        else if (entry)
            id = static_cast<UINT_PTR>(static_cast<CControlBar*>(entry)->GetDlgCtrlID()) & 0xFFFF;
        pInfo->m_arrBarID.Add(reinterpret_cast<void*>(id));
    }
}

void CDockBar::SetBarInfo(CControlBarInfo* pInfo, CFrameWnd* pFrameWnd)
{
    m_arrBars.RemoveAll();
    m_arrBars.Add(nullptr);
    for (INT_PTR i = 0; i < pInfo->m_arrBarID.GetSize(); ++i) {
        const auto id = reinterpret_cast<UINT_PTR>(pInfo->m_arrBarID[i]);
        if (id == 0) {
            if (m_arrBars[m_arrBars.GetUpperBound()])
                m_arrBars.Add(nullptr);
            continue;
        }
        if (id & kKeptPlace) {
            if ((id & 0xFFFF) != 0)
                m_arrBars.Add(PlaceHolderOf(static_cast<UINT>(id)));
            continue;
        }
        CControlBar* bar = pFrameWnd ? pFrameWnd->GetControlBar(static_cast<UINT>(id)) : nullptr;
        // A bar that is gone (or an id that names a dock bar) has no place to take.
        if (!bar || bar->IsDockBar() || FindBar(bar) >= 0)
            continue;
        if (bar->m_pDockBar && bar->m_pDockBar != this)
            bar->m_pDockBar->ForgetBar(bar);
        if (bar->GetParent() != this)
            bar->SetParent(this);
        bar->m_pDockBar = this;
        DWORD style = bar->GetBarStyle() & ~static_cast<DWORD>(CBRS_ALIGN_ANY | CBRS_FLOATING);
        style |= (m_dwStyle & CBRS_ALIGN_ANY) | (m_bFloating ? CBRS_FLOATING : 0);
        bar->SetBarStyle(style);
        m_arrBars.Add(bar);
    }
    if (m_arrBars[m_arrBars.GetUpperBound()])
        m_arrBars.Add(nullptr);
    // Rows left with nothing in them close up.
    for (INT_PTR i = m_arrBars.GetUpperBound(); i > 0; --i)
        if (!m_arrBars[i] && !m_arrBars[i - 1])
            m_arrBars.RemoveAt(i);

    if (m_bFloating && pInfo->m_pointPos != CPoint(-1, -1))
        if (CWnd* mini = GetParent())
            mini->SetWindowPos(nullptr, pInfo->m_pointPos.x, pInfo->m_pointPos.y, 0, 0,
                               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
