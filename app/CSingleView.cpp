// The single-page view.
#include "app/CSingleView.h"

#include "platform/afx/gdi/CDC.h"

IMPLEMENT_DYNCREATE(CSingleView, CView)

void CSingleView::OnDraw(CDC* pDC)
{
    CRect rect;
    GetClientRect(&rect);
    pDC->FillSolidRect(&rect, ::GetSysColor(COLOR_WINDOW));
}
