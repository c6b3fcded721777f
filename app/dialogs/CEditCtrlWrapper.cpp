// The change preview's editor window.
#include "app/dialogs/CEditCtrlWrapper.h"

#include "app/res/GroupViewRes.h"
#include "platform/afx/app/CWinApp.h"
#include "platform/afx/gdi/CDC.h"
#include "platform/controls/MessageBox.h"
#include "toolkit/editor/SECEditDoc.h"
#include "toolkit/editor/SECEditLine.h"

#include <algorithm>

IMPLEMENT_DYNCREATE(CEditCtrlWrapper, SECEditCtrl)

namespace {

const COLORREF kRemovedBack = RGB(128, 0, 0);
const COLORREF kRemovedText = RGB(255, 255, 255);

} // namespace

BOOL CEditCtrlWrapper::IsRemovedLine(int nLine) const
{
    return std::binary_search(m_removedLines.begin(), m_removedLines.end(), nLine);
}

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
    COLORREF crText = pDoc != nullptr ? pDoc->m_crText : ::GetSysColor(COLOR_WINDOWTEXT);
    if (IsRemovedLine(pLine->nLineNo)) {
        // Left of the margin's last two pixels, so that the text keeps its distance.
        const COLORREF crOldBack = pDC->GetBkColor();
        pDC->FillSolidRect(CRect(rect.left, rect.top, rect.right - 2, rect.bottom), kRemovedBack);
        pDC->SetBkColor(crOldBack);
        crText = kRemovedText;
    }
    const COLORREF crOld = pDC->SetTextColor(crText);
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

int CEditCtrlWrapper::ReportError(int nID, BOOL bShow)
{
    SECEditDoc* pDoc = GetDocument();
    if (nID != SECEDIT_READONLY || pDoc == nullptr || !pDoc->IsReadOnly())
        return SECEditCtrl::ReportError(nID, bShow);
    if (bShow)
        AfxMessageBox(IDS_PREVIEW_READ_ONLY, MB_OK | MB_ICONINFORMATION);
    return nID;
}
