// The group view.
#include "app/CGroupView.h"

#include "engine/project/CPageNodeCol.h"
#include "platform/afx/gdi/CDC.h"

IMPLEMENT_DYNCREATE(CGroupView, CView)

void CGroupView::OnDraw(CDC* pDC)
{
    CRect rect;
    GetClientRect(&rect);
    pDC->FillSolidRect(&rect, ::GetSysColor(COLOR_WINDOW));
}

void CGroupView::LoadPages(CSelNodesCol& pages)
{
    m_nRows = pages.GetCount();
    Invalidate();
}

void CGroupView::RefreshPageRow(CPageNode*)
{
    Invalidate();
}

void CGroupView::DetachPages()
{
    m_nRows = 0;
    Invalidate();
}
