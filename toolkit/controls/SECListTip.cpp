// SECListTip: creation and painting.
#include "toolkit/controls/SECListTip.h"

#include "platform/afx/gdi/CDC.h"
#include "platform/win/Cursor.h"
#include "platform/win/Gdi.h"
#include "toolkit/controls/SECListClient.h"

BEGIN_MESSAGE_MAP(SECListTip, CWnd)
    ON_WM_PAINT()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

BOOL SECListTip::CreateTip(CWnd* pOwner)
{
    LPCTSTR cls = AfxRegisterWndClass(0, ::LoadCursor(nullptr, IDC_ARROW));
    return CreateEx(0, cls, nullptr, WS_POPUP | WS_BORDER, 0, 0, 1, 1, pOwner ? pOwner->m_hWnd : nullptr, nullptr);
}

void SECListTip::OnPaint()
{
    CPaintDC dc(this);
    const bool selected = m_pClient->IsSelected(m_nRow);
    const COLORREF bk = selected ? m_pClient->GetSelBkColor() : m_pClient->GetTipBkColor();
    const COLORREF text = selected ? m_pClient->GetSelTextColor() : m_pClient->GetTipTextColor();
    CRect rc;
    GetClientRect(&rc);
    dc.FillSolidRect(&rc, bk);
    CFont* old = nullptr;
    if (CFont* font = m_pClient->GetItemFont())
        old = dc.SelectObject(font);
    dc.SetTextColor(text);
    dc.SetBkMode(TRANSPARENT);
    rc.left += 2;
    dc.DrawText(m_strText, &rc, DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS | DT_NOPREFIX);
    if (old)
        dc.SelectObject(old);
}

void SECListTip::OnDestroy()
{
    m_nRow = -1;
    if (CWnd* list = m_pClient->GetListWnd(); list && ::GetCapture() == list->m_hWnd)
        ::ReleaseCapture();
    m_bCaptured = FALSE;
    CWnd::OnDestroy();
}
