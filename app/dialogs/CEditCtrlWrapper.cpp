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
    // Two and a half lines high, or as wide as the text's last number needs, two pixels in and
    // four before the text: a page of millions of lines shows its numbers whole.
    int nDigits = 4;
    if (SECEditDoc* pDoc = GetDocument())
        for (int n = pDoc->GetLineCount(); n >= 10000; n /= 10)
            ++nDigits;
    m_nMarginWidth = std::max(m_nMarginWidth / 2 + m_nMarginWidth * 2, 2 + nDigits * m_nCharWidth + 4);
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

void CEditCtrlWrapper::ShowPlace(SECEditLine* pLine, int nColumn)
{
    SECEditDoc* pDoc = GetDocument();
    if (pLine == nullptr || pDoc == nullptr)
        return;
    SetCaret(pLine, nColumn);
    // The view is set first, then kept by the caret's own bringing into sight: a line a third
    // down, unless the whole text fits, and a column that the first screen's width would leave
    // at its edge or beyond it a third across.
    const int nRows = VisibleRows();
    const int nColumns = VisibleColumns();
    const BOOL bAllFit = pDoc->GetLineCount() <= nRows;
    SECEditLine* pTop = bAllFit ? pDoc->GetFirstLine() : pLine;
    for (int n = bAllFit ? 0 : nRows / 3; n > 0 && pTop->pPrev != nullptr; --n)
        pTop = pTop->pPrev;
    m_pTopLine = pTop;
    m_nTopLineNo = pDoc->LineNo(pTop);
    m_nLeftColumn = m_nCaretColumn < nColumns - 1 ? 0 : m_nCaretColumn - nColumns / 3;
    MakeCaretVisible();
    if (GetSafeHwnd() != nullptr)
        Invalidate(FALSE);
    m_place = Place{pLine, nColumn, m_nCaretLineNo, m_nCaretColumn, m_nTopLineNo, m_nLeftColumn};
}

BOOL CEditCtrlWrapper::IsPlaceShown() const
{
    return m_place.pLine != nullptr && m_pCaretLine == m_place.pLine && m_nCaretLineNo == m_place.nCaretLine &&
           m_nCaretColumn == m_place.nCaretColumn && m_nTopLineNo == m_place.nTopLine && m_nLeftColumn == m_place.nLeftColumn;
}

BOOL CEditCtrlWrapper::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    const BOOL bShown = message == WM_SIZE && IsPlaceShown();
    const BOOL bHandled = SECEditCtrl::OnWndMsg(message, wParam, lParam, pResult);
    if (bShown)
        ShowPlace(m_place.pLine, m_place.nColumn);
    return bHandled;
}
