// Scrolling the editor window by whole lines and columns, its scroll bars (the vertical one
// scaled so that any line count fits), keeping the caret in view and reacting to updates.
#include "toolkit/editor/wnd/SECEditCtrl.h"

#include "platform/win/ScrollBar.h"
#include "platform/win/SystemParameters.h"
#include "platform/win/WinUser.h"

#include <algorithm>

int SECEditCtrl::VisibleRows() const
{
    return m_nLineHeight > 0 ? m_rectText.Height() / m_nLineHeight : 0;
}

int SECEditCtrl::VisibleColumns() const
{
    return m_nCharWidth > 0 ? (m_rectText.Width() - m_nMarginWidth) / m_nCharWidth : 0;
}

void SECEditCtrl::SetScrollRange(int nBar, int nMin, int nMax, BOOL bRedraw)
{
    SECEditDoc* pDoc = GetDocument();
    m_nScrollScale = (std::max(1, pDoc->GetLineCount()) - 1) / 32767 + 1;
    if (m_nLineHeight == 0 || m_hWnd == nullptr)
        return;
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    if (nBar == SB_VERT) {
        if (nMax == 0)
            nMax = 1;
        int page = VisibleRows();
        if (page <= 0) {
            page = 1;
            nMax = 2;
        }
        if (page > pDoc->GetLineCount() - 1 && m_pTopLine != pDoc->GetFirstLine()) {
            m_pTopLine = pDoc->GetFirstLine();
            m_nTopLineNo = 1;
            if (m_bRedraw) {
                Invalidate(FALSE);
                UpdateCaretPos();
            }
        }
        si.fMask = SIF_RANGE | SIF_PAGE | SIF_DISABLENOSCROLL;
        si.nMin = nMin;
        si.nMax = nMax / m_nScrollScale;
        si.nPage = static_cast<UINT>(page / m_nScrollScale);
    } else {
        si.fMask = SIF_RANGE | SIF_PAGE;
        si.nMin = nMin;
        si.nMax = nMax;
        si.nPage = 32;
    }
    SetScrollInfo(m_hWnd, nBar, &si, bRedraw);
}

void SECEditCtrl::SetScrollPos(int nBar, int nPos, BOOL bRedraw)
{
    if (m_hWnd == nullptr)
        return;
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_POS;
    si.nPos = nBar == SB_VERT ? nPos / std::max(1, m_nScrollScale) : nPos;
    SetScrollInfo(m_hWnd, nBar, &si, bRedraw);
}

int SECEditCtrl::GetScrollPos(int nBar)
{
    if (m_hWnd == nullptr)
        return 0;
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_POS;
    GetScrollInfo(m_hWnd, nBar, &si);
    return nBar == SB_VERT ? si.nPos * m_nScrollScale : si.nPos;
}

void SECEditCtrl::GetScrollRange(int nBar, int* pMin, int* pMax)
{
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_RANGE;
    if (m_hWnd != nullptr)
        GetScrollInfo(m_hWnd, nBar, &si);
    if (pMin != nullptr)
        *pMin = si.nMin;
    if (pMax != nullptr)
        *pMax = nBar == SB_VERT ? si.nMax * m_nScrollScale : si.nMax;
}

void SECEditCtrl::SyncLineCount()
{
    SECEditDoc* pDoc = GetDocument();
    if (pDoc->GetLineCount() != m_nLastLineCount) {
        m_nLastLineCount = pDoc->GetLineCount();
        SetScrollRange(SB_VERT, 0, m_nLastLineCount - 1, m_bRedraw);
    }
}

void SECEditCtrl::InvalidateRows(int nFirstRow, int nLastRow)
{
    if (!m_bRedraw || m_hWnd == nullptr)
        return;
    nFirstRow = std::max(0, nFirstRow);
    const int rows = VisibleRows() + 1;
    nLastRow = std::min(nLastRow, rows);
    if (nLastRow < nFirstRow)
        return;
    CRect rect(0, m_rectText.top + nFirstRow * m_nLineHeight, m_rectText.right,
               m_rectText.top + (nLastRow + 1) * m_nLineHeight);
    InvalidateRect(&rect, FALSE);
}

void SECEditCtrl::InvalidateCaretRow()
{
    const int row = m_nCaretLineNo - m_nTopLineNo;
    InvalidateRows(row, row);
}

void SECEditCtrl::ScrollOneLine(BOOL bDown)
{
    // bDown: the text moves up (the view goes down one line).
    if (bDown) {
        if (m_pTopLine == nullptr || m_pTopLine->pNext == nullptr)
            return;
        m_pTopLine = m_pTopLine->pNext;
        ++m_nTopLineNo;
    } else {
        if (m_pTopLine == nullptr || m_pTopLine->pPrev == nullptr)
            return;
        m_pTopLine = m_pTopLine->pPrev;
        --m_nTopLineNo;
    }
    if (!m_bRedraw)
        return;
    m_bScrolling = TRUE;
    ::ScrollWindow(m_hWnd, 0, bDown ? -m_nLineHeight : m_nLineHeight, nullptr, nullptr);
    const int rows = VisibleRows();
    if (bDown)
        InvalidateRows(std::max(0, rows - 1), rows);
    else
        InvalidateRows(0, 0);
    UpdateWindow();
    SetScrollPos(SB_VERT, m_nTopLineNo - 1, TRUE);
    m_bScrolling = FALSE;
}

void SECEditCtrl::OnSize(UINT nType, int cx, int cy)
{
    m_rectText.SetRect(0, 0, cx, cy);
    SetScrollRange(SB_VERT, 0, GetDocument()->GetLineCount() - 1, TRUE);
    if (m_pTopLine != nullptr)
        SetScrollPos(SB_VERT, m_nTopLineNo - 1, TRUE);
    CWnd::OnSize(nType, cx, cy);
}

void SECEditCtrl::OnVScroll(UINT nSBCode, UINT nPos)
{
    SECEditDoc* pDoc = GetDocument();
    if (m_pTopLine == nullptr)
        return;
    m_bScrolling = TRUE;
    bool moved = false;
    const int rows = std::max(1, VisibleRows());
    switch (nSBCode) {
    case SB_LINEUP:
        if (m_pTopLine->pPrev != nullptr) {
            ScrollOneLine(FALSE);
            moved = true;
        }
        break;
    case SB_LINEDOWN:
        if (m_pTopLine->pNext != nullptr) {
            ScrollOneLine(TRUE);
            moved = true;
        }
        break;
    case SB_PAGEUP:
        if (m_pTopLine->pPrev != nullptr) {
            for (int i = 0; i < rows && m_pTopLine->pPrev != nullptr; ++i) {
                m_pTopLine = m_pTopLine->pPrev;
                --m_nTopLineNo;
            }
            moved = true;
            if (m_bRedraw)
                Invalidate(FALSE);
            OnUpdate(this, 0, nullptr);
            UpdateCaretPos();
        }
        break;
    case SB_PAGEDOWN:
        if (m_pTopLine->pNext != nullptr) {
            for (int i = 0; i < rows && m_pTopLine->pNext != nullptr; ++i) {
                m_pTopLine = m_pTopLine->pNext;
                ++m_nTopLineNo;
            }
            moved = true;
            if (m_bRedraw)
                Invalidate(FALSE);
            UpdateCaretPos();
        }
        break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: {
        // Thumb positions are 16-bit; the track position of the bar itself is exact.
        SCROLLINFO si{};
        si.cbSize = sizeof si;
        si.fMask = SIF_TRACKPOS;
        int pos = static_cast<int>(nPos);
        if (GetScrollInfo(m_hWnd, SB_VERT, &si) && nSBCode == SB_THUMBTRACK)
            pos = si.nTrackPos;
        const int target = std::min(pDoc->GetLineCount(), pos * m_nScrollScale + 1);
        m_pTopLine = pDoc->GetLine(target);
        m_nTopLineNo = m_pDoc->LineNo(m_pTopLine);
        moved = true;
        if (m_bRedraw)
            Invalidate(FALSE);
        UpdateCaretPos();
        break;
    }
    default:
        break;
    }
    if (moved)
        SetScrollPos(SB_VERT, m_nTopLineNo - 1, TRUE);
    m_bScrolling = FALSE;
}

void SECEditCtrl::OnHScroll(UINT nSBCode, UINT nPos)
{
    m_bScrolling = TRUE;
    const int old = m_nLeftColumn;
    switch (nSBCode) {
    case SB_LINELEFT:
        m_nLeftColumn = std::max(0, m_nLeftColumn - 1);
        break;
    case SB_LINERIGHT:
        m_nLeftColumn = std::min(SECEDIT_MAX_WIDTH, m_nLeftColumn + 1);
        break;
    case SB_PAGELEFT:
        m_nLeftColumn = std::max(0, m_nLeftColumn - 32);
        break;
    case SB_PAGERIGHT:
        m_nLeftColumn = std::min(SECEDIT_MAX_WIDTH, m_nLeftColumn + 32);
        break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
        m_nLeftColumn = std::clamp(static_cast<int>(nPos), 0, SECEDIT_MAX_WIDTH);
        break;
    case SB_ENDSCROLL:
        SetScrollPos(SB_HORZ, m_nLeftColumn, TRUE);
        break;
    default:
        break;
    }
    if (m_nLeftColumn != old) {
        SetScrollPos(SB_HORZ, m_nLeftColumn, TRUE);
        if (m_bRedraw)
            Invalidate(TRUE);
        UpdateCaretPos();
    }
    m_bScrolling = FALSE;
}

void SECEditCtrl::ScrollToColumn(int nColumn)
{
    const int left = std::clamp(nColumn, 0, SECEDIT_MAX_WIDTH);
    if (left == m_nLeftColumn)
        return;
    m_bScrolling = TRUE;
    m_nLeftColumn = left;
    SetScrollPos(SB_HORZ, m_nLeftColumn, TRUE);
    if (m_bRedraw)
        Invalidate(FALSE);
    UpdateCaretPos();
    m_bScrolling = FALSE;
}

void SECEditCtrl::OnWheel(int nDelta, BOOL bColumns)
{
    // A turn the other way drops what was left of the last one.
    if ((m_nWheelDelta < 0 && nDelta > 0) || (m_nWheelDelta > 0 && nDelta < 0))
        m_nWheelDelta = 0;
    m_nWheelDelta += nDelta;
    const int nNotches = m_nWheelDelta / WHEEL_DELTA;
    m_nWheelDelta -= nNotches * WHEEL_DELTA;
    if (nNotches == 0 || m_pTopLine == nullptr)
        return;
    UINT nLines = 3;
    ::SystemParametersInfo(SPI_GETWHEELSCROLLLINES, 0, &nLines, 0);
    const int nPage = bColumns ? std::max(1, VisibleColumns()) : std::max(1, VisibleRows());
    const int nStep = nLines == WHEEL_PAGESCROLL ? nPage : static_cast<int>(std::min<UINT>(nLines, 1000));
    const int nMove = -nNotches * nStep;
    if (bColumns) {
        ScrollToColumn(m_nLeftColumn + nMove);
        return;
    }
    // Down no further than SB_LINEDOWN goes: the last line at the top.
    const int oldTop = m_nTopLineNo;
    for (int i = 0; i < nMove && m_pTopLine->pNext != nullptr; ++i) {
        m_pTopLine = m_pTopLine->pNext;
        ++m_nTopLineNo;
    }
    for (int i = 0; i > nMove && m_pTopLine->pPrev != nullptr; --i) {
        m_pTopLine = m_pTopLine->pPrev;
        --m_nTopLineNo;
    }
    if (m_nTopLineNo == oldTop)
        return;
    m_bScrolling = TRUE;
    if (m_bRedraw)
        Invalidate(FALSE);
    SetScrollPos(SB_VERT, m_nTopLineNo - 1, TRUE);
    UpdateCaretPos();
    m_bScrolling = FALSE;
}

BOOL SECEditCtrl::OnScroll(UINT nScrollCode, UINT, BOOL bDoScroll)
{
    const UINT h = nScrollCode & 0xFF;
    const UINT v = (nScrollCode >> 8) & 0xFF;
    bool can = false;
    if (h == 0 && m_nLeftColumn > 0)
        can = true;
    if (h == 1 && m_nLeftColumn < SECEDIT_MAX_WIDTH)
        can = true;
    if (v == 0 && m_pTopLine != nullptr && m_pTopLine->pPrev != nullptr)
        can = true;
    if (v == 1 && m_pCaretLine != nullptr && m_pCaretLine->pNext != nullptr && m_pTopLine != nullptr
        && m_pTopLine->pNext != nullptr)
        can = true;
    if (!can || !bDoScroll)
        return can ? TRUE : FALSE;
    if (h == 0 || h == 1)
        ScrollToColumn(m_nLeftColumn + (h == 0 ? -1 : 1));
    if (v == 0 && m_pTopLine->pPrev != nullptr) {
        ScrollOneLine(FALSE);
        UpdateCaretPos();
    } else if (v == 1) {
        OnVScroll(SB_LINEDOWN, 0);
        UpdateCaretPos();
    }
    return TRUE;
}

void SECEditCtrl::MakeCaretVisible()
{
    if (m_nCharWidth == 0 || m_nLineHeight == 0)
        return;
    const int rows = VisibleRows();
    const int cols = VisibleColumns();
    if (rows <= 0 || cols <= 0 || m_pCaretLine == nullptr)
        return;
    SECEditDoc* pDoc = GetDocument();
    if (m_nCaretColumn < 0)
        m_nCaretColumn = 0;
    m_nCaretColumn = pDoc->ColumnFromOffset(m_pCaretLine, pDoc->OffsetFromColumn(m_pCaretLine, m_nCaretColumn));
    const int oldLeft = m_nLeftColumn;
    SECEditLine* oldTop = m_pTopLine;
    const int tab = std::max(1, pDoc->GetTabSize());
    while (m_nLeftColumn > m_nCaretColumn)
        m_nLeftColumn = std::max(0, m_nLeftColumn - tab);
    while (m_nCaretColumn >= m_nLeftColumn + cols - 1 && m_nLeftColumn < SECEDIT_MAX_WIDTH)
        m_nLeftColumn += tab;
    if (m_nCaretLineNo < m_nTopLineNo || m_nCaretLineNo >= m_nTopLineNo + rows) {
        m_pTopLine = m_pCaretLine;
        m_nTopLineNo = m_nCaretLineNo;
    }
    if (!m_rectAvoid.IsRectEmpty() && m_hWnd != nullptr) {
        CRect avoid = m_rectAvoid;
        ScreenToClient(&avoid);
        const int caretTop = (m_nCaretLineNo - m_nTopLineNo) * m_nLineHeight;
        const int caretBottom = caretTop + m_nLineHeight;
        if (caretBottom > avoid.top && caretTop < avoid.bottom) {
            const int above = std::max(0, avoid.top) / m_nLineHeight;
            const int below = std::max(0, m_rectText.bottom - avoid.bottom) / m_nLineHeight;
            if (above > below) {
                m_pTopLine = m_pCaretLine;
                m_nTopLineNo = m_nCaretLineNo;
            } else {
                while (m_pTopLine->pPrev != nullptr
                       && (m_nCaretLineNo - m_nTopLineNo) * m_nLineHeight < avoid.bottom) {
                    m_pTopLine = m_pTopLine->pPrev;
                    --m_nTopLineNo;
                }
            }
        }
        m_rectAvoid.SetRectEmpty();
    }
    if (!m_bRedraw)
        return;
    if (m_pTopLine != oldTop || m_nLeftColumn != oldLeft)
        Invalidate(FALSE);
    if (pDoc->GetLineCount() != m_nLastLineCount) {
        m_nLastLineCount = pDoc->GetLineCount();
        SetScrollRange(SB_VERT, 0, m_nLastLineCount - 1, TRUE);
    }
    if (GetScrollPos(SB_HORZ) != m_nLeftColumn)
        SetScrollPos(SB_HORZ, m_nLeftColumn, TRUE);
    SetScrollPos(SB_VERT, m_nTopLineNo - 1, TRUE);
    UpdateCaretPos();
    OnCaretMoved();
}

void SECEditCtrl::OnUpdate(CWnd*, LPARAM lHint, CObject* pHint)
{
    auto* hint = dynamic_cast<SECEditHint*>(pHint);
    if (lHint != SECEDIT_HINT_DELETELINE || hint == nullptr) {
        if (m_bRedraw && m_hWnd != nullptr)
            Invalidate(FALSE);
        return;
    }
    FixTopAfterEdit(m_nCaretLineNo);
    if (m_hWnd != nullptr)
        Invalidate(FALSE);
}

void SECEditCtrl::FixTopAfterEdit(int nOldCaretLineNo)
{
    // The edit may have freed the lines the top and the caret stood on, and new lines may have
    // taken their addresses: the two are found again by their numbers, never by pointers that
    // may be stale. The caret keeps its line number (callers that moved it set it), the top
    // stays where it was as long as it is not below the caret.
    SECEditDoc* pDoc = GetDocument();
    const int count = std::max(pDoc->GetLineCount(), 1);
    m_nCaretLineNo = std::clamp(nOldCaretLineNo, 1, count);
    m_pCaretLine = pDoc->GetLine(m_nCaretLineNo);
    m_nTopLineNo = std::clamp(m_nTopLineNo, 1, m_nCaretLineNo);
    m_pTopLine = pDoc->GetLine(m_nTopLineNo);
}

void SECEditCtrl::NotifyCaret()
{
    OnUpdate(this, SECEDIT_HINT_CARET, nullptr);
}
