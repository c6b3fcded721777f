// The change preview's editor window.
#include "app/dialogs/CEditCtrlWrapper.h"

#include "platform/afx/gdi/CDC.h"
#include "toolkit/editor/SECEditDoc.h"
#include "toolkit/editor/SECEditLine.h"

IMPLEMENT_DYNCREATE(CEditCtrlWrapper, SECEditCtrl)

BEGIN_MESSAGE_MAP(CEditCtrlWrapper, SECEditCtrl)
    ON_WM_GETDLGCODE()
END_MESSAGE_MAP()

UINT CEditCtrlWrapper::OnGetDlgCode()
{
    const MSG* pMsg = GetCurrentMessage();
    SECEditDoc* pDoc = GetDocument();
    if (pMsg != nullptr && pMsg->wParam == VK_TAB && pDoc != nullptr && pDoc->IsReadOnly())
        return DLGC_WANTARROWS | DLGC_WANTCHARS;
    return SECEditCtrl::OnGetDlgCode();
}

void CEditCtrlWrapper::DrawMargin(CDC* pDC, const CRect& rect, SECEditLine* pLine)
{
    if (pLine == nullptr)
        return;
    CString strNumber;
    strNumber.Format("%04d", pLine->nLineNo);
    SECEditDoc* pDoc = GetDocument();
    const COLORREF crOld = pDC->SetTextColor(pDoc != nullptr ? pDoc->m_crText : ::GetSysColor(COLOR_WINDOWTEXT));
    const int nOldMode = pDC->SetBkMode(TRANSPARENT);
    pDC->TextOut(rect.left + 2, rect.top, strNumber);
    pDC->SetBkMode(nOldMode);
    pDC->SetTextColor(crOld);
}

void CEditCtrlWrapper::InitView()
{
    SECEditCtrl::InitView();
    m_nMarginWidth = m_nMarginWidth / 2 + m_nMarginWidth * 2;
    if (GetSafeHwnd() != nullptr)
        Invalidate();
    MakeCaretVisible();
}
