#include "grid/features/CGXGridExcelLikeFrameImp.h"

#include "grid/core/CGXGridCore.h"
#include "grid/core/GXDrawingHelpers.h"
#include "grid/data/CGXGridParam.h"
#include "grid/data/CGXRangeList.h"
#include "grid/features/CGXGridUserSelectRangeImp.h"
#include "platform/afx/gdi/CDC.h"
#include "platform/afx/wnd/CWnd.h"

#include <algorithm>
#include <array>

namespace {

// The handle at the bottom-right corner, as pixel rectangles relative to the corner; the other
// corners mirror it.
constexpr std::array<std::array<int, 4>, 3> kHandle = {{{-1, -2, 2, 3}, {-2, -1, 3, 2}, {2, 2, 3, 3}}};

void InvertClipped(CDC* pDC, const CRect& clip, int x1, int y1, int x2, int y2)
{
    const CRect r(x1, y1, x2, y2);
    if (!r.IsRectEmpty())
        InvertRectClipped(pDC, r, clip);
}

} // namespace

void CGXGridExcelLikeFrameImp::Install(CGXGridCore* pGrid)
{
    if (pGrid == nullptr)
        return;
    if (pGrid->m_pExcelLikeFrameImp == nullptr) {
        auto* pImp = new CGXGridExcelLikeFrameImp;
        pGrid->m_pExcelLikeFrameImp = pImp;
        pGrid->AddAutoDeleteImp(pImp);
    }
    // The frame goes around what the user selects.
    CGXGridUserSelectRangeImp::Install(pGrid);
}

BOOL CGXGridExcelLikeFrameImp::IsOn(CGXGridCore* pGrid) const
{
    const CGXGridParam* pParam = pGrid != nullptr ? pGrid->GetParam() : nullptr;
    return pParam != nullptr && pParam->m_bFrame && !pGrid->IsSelectionFrameHidden();
}

BOOL CGXGridExcelLikeFrameImp::FrameRangeOf(CGXGridCore* pGrid, const CGXRange& selected, CGXRange& frame, int& nHandle)
{
    if (!selected.IsValid())
        return FALSE;
    nHandle = selected.IsCols() ? handleTopRight : selected.IsRows() ? handleBottomLeft : handleBottomRight;
    const ROWCOL nRows = pGrid->GetRowCount(), nCols = pGrid->GetColCount();
    frame = selected;
    frame.ExpandToCells(pGrid->GetHeaderRows() + 1, pGrid->GetHeaderCols() + 1, nRows, nCols);
    frame.top = std::max(frame.top, pGrid->GetHeaderRows() + 1);
    frame.left = std::max(frame.left, pGrid->GetHeaderCols() + 1);
    frame.bottom = std::min(frame.bottom, nRows);
    frame.right = std::min(frame.right, nCols);
    return frame.top <= frame.bottom && frame.left <= frame.right;
}

BOOL CGXGridExcelLikeFrameImp::NewestFrame(CGXGridCore* pGrid, CGXRange& frame, int& nHandle)
{
    const CGXGridParam* pParam = pGrid->GetParam();
    if (pParam == nullptr)
        return FALSE;
    const POSITION pos = pParam->m_SelRects.GetTailPosition();
    return pos != nullptr && FrameRangeOf(pGrid, *pParam->m_SelRects.GetRangeAt(pos), frame, nHandle);
}

void CGXGridExcelLikeFrameImp::InvalidateFrame(CGXGridCore* pGrid, const CGXRange& range)
{
    CWnd* pWnd = pGrid->GridWnd();
    if (!range.IsValid() || pWnd == nullptr || pWnd->GetSafeHwnd() == nullptr)
        return;
    CRect rect = pGrid->CalcClientRectOfRange(range.top, range.left, range.bottom, range.right);
    if (rect.IsRectEmpty())
        return;
    // The bands and the handle reach a few pixels past the range.
    rect.InflateRect(4, 4);
    pWnd->InvalidateRect(&rect, FALSE);
}

void CGXGridExcelLikeFrameImp::DrawFramePart(CGXGridCore*, CDC* pDC, const CRect& rect, const CRect& clip, BOOL bTop, BOOL bLeft, int nHandle,
                                             BOOL bHandleOnly)
{
    if (pDC == nullptr || rect.IsRectEmpty())
        return;
    const int L = rect.left, T = rect.top, R = rect.right, B = rect.bottom;
    // The bands do not overlap, so each pixel is inverted once.
    const int x1 = bLeft ? L - 1 : L;
    const int yTop = bTop ? T + 2 : T;
    const int yBottom = std::max(B - 2, yTop);
    struct Band {
        int x1, y1, x2, y2;
    };
    std::array<Band, 4> bands = {{{x1, T - 1, R + 2, yTop}, {x1, yBottom, R + 2, B + 1}, {L - 1, yTop, L + 2, yBottom}, {R - 1, yTop, R + 2, yBottom}}};
    auto inBands = [&](int x, int y) {
        for (size_t i = 0; i < bands.size(); ++i) {
            if ((i == 0 && !bTop) || (i == 2 && !bLeft))
                continue;
            const Band& b = bands[i];
            if (b.x1 <= x && x < b.x2 && b.y1 <= y && y < b.y2)
                return true;
        }
        return false;
    };
    if (!bHandleOnly)
        for (size_t i = 0; i < bands.size(); ++i) {
            if ((i == 0 && !bTop) || (i == 2 && !bLeft))
                continue;
            InvertClipped(pDC, clip, bands[i].x1, bands[i].y1, bands[i].x2, bands[i].y2);
        }

    // The handle: the pixels of its cross not already inverted by a band, so that the
    // overlapping pieces do not cancel out.
    const BOOL bMirrorX = nHandle == handleBottomLeft, bMirrorY = nHandle == handleTopRight;
    const int cx = bMirrorX ? L : R, cy = bMirrorY ? T : B;
    for (int dy = -2; dy <= 2; ++dy)
        for (int dx = -2; dx <= 2; ++dx) {
            bool bIn = false;
            for (const auto& h : kHandle)
                bIn = bIn || (h[0] <= dx && dx < h[2] && h[1] <= dy && dy < h[3]);
            if (!bIn)
                continue;
            const int x = cx + (bMirrorX ? -dx : dx), y = cy + (bMirrorY ? -dy : dy);
            if (!bHandleOnly && inBands(x, y))
                continue;
            InvertClipped(pDC, clip, x, y, x + 1, y + 1);
        }
}

void CGXGridExcelLikeFrameImp::DrawFrameForRange(CGXGridCore* pGrid, CDC* pDC, const CGXRange& range, int nHandle, UINT)
{
    const CGXGridParam* pParam = pGrid->GetParam();
    if (pDC == nullptr || pParam == nullptr || pParam->m_bLockUpdate || !range.IsValid())
        return;
    // The client rectangle runs on from the frozen panes into the scrolled ones, so a side
    // shared between panes is never drawn; only a top (left) side scrolled out is left open.
    const CRect rect = pGrid->CalcClientRectOfRange(range.top, range.left, range.bottom, range.right);
    if (rect.IsRectEmpty())
        return;
    const BOOL bTop = range.top <= pGrid->GetFrozenRows() || range.top >= pGrid->GetTopRow();
    const BOOL bLeft = range.left <= pGrid->GetFrozenCols() || range.left >= pGrid->GetLeftCol();
    CRect clip;
    pGrid->GetGridRect(&clip);
    CRect shifted = rect;
    // The second style sits one pixel further up and left.
    if (pParam->m_bFrameStyle)
        shifted.OffsetRect(-1, -1);
    DrawFramePart(pGrid, pDC, shifted, clip, bTop, bLeft, nHandle, FALSE);
}

void CGXGridExcelLikeFrameImp::DrawSelectionFrame(CGXGridCore* pGrid, CDC* pDC, BOOL bDrawOld, const CGXRange* pRange)
{
    if (!IsOn(pGrid) || pDC == nullptr)
        return;
    if (pRange == nullptr) {
        // A paint: the cells under the frame were just drawn afresh.
        int nHandle = handleBottomRight;
        CGXRange frame;
        if (!NewestFrame(pGrid, frame, nHandle)) {
            pGrid->SetSelectionFrameShown(FALSE);
            m_range = CGXRange();
            return;
        }
        m_range = frame;
        m_nHandle = nHandle;
        DrawFrameForRange(pGrid, pDC, m_range, m_nHandle, 0);
        pGrid->SetSelectionFrameShown(TRUE);
        return;
    }
    if (bDrawOld && pGrid->IsSelectionFrameShown())
        DrawFrameForRange(pGrid, pDC, m_range, m_nHandle, 0);
    pGrid->SetSelectionFrameShown(FALSE);
    int nHandle = handleBottomRight;
    CGXRange frame;
    if (!FrameRangeOf(pGrid, *pRange, frame, nHandle))
        return;
    m_range = frame;
    m_nHandle = nHandle;
    DrawFrameForRange(pGrid, pDC, m_range, m_nHandle, 0);
    pGrid->SetSelectionFrameShown(TRUE);
}

void CGXGridExcelLikeFrameImp::SelectionChanged(CGXGridCore* pGrid)
{
    if (!IsOn(pGrid))
        return;
    int nHandle = handleBottomRight;
    CGXRange frame;
    if (!NewestFrame(pGrid, frame, nHandle))
        frame = CGXRange();
    if (frame.IsValid() == m_range.IsValid() && (!frame.IsValid() || (frame.top == m_range.top && frame.left == m_range.left &&
                                                                     frame.bottom == m_range.bottom && frame.right == m_range.right)))
        return;
    // The old frame goes with the paint of its cells and the new one comes with the paint of
    // its own: inverting on the window here would fight the paints still pending.
    InvalidateFrame(pGrid, m_range);
    InvalidateFrame(pGrid, frame);
    m_range = frame;
    m_nHandle = nHandle;
}

void CGXGridExcelLikeFrameImp::RedrawFrame(CGXGridCore* pGrid)
{
    if (IsOn(pGrid) && pGrid->IsSelectionFrameShown())
        InvalidateFrame(pGrid, m_range);
}

BOOL CGXGridExcelLikeFrameImp::ShowFrame(CGXGridCore* pGrid, BOOL bHide, BOOL)
{
    const BOOL bWasHidden = pGrid->IsSelectionFrameHidden();
    if (bWasHidden == bHide)
        return bWasHidden;
    pGrid->SetSelectionFrameHidden(FALSE);
    CGXRange frame;
    int nHandle = handleBottomRight;
    if (IsOn(pGrid) && NewestFrame(pGrid, frame, nHandle))
        InvalidateFrame(pGrid, frame);
    pGrid->SetSelectionFrameHidden(bHide);
    pGrid->SetSelectionFrameShown(FALSE);
    return bWasHidden;
}

BOOL CGXGridExcelLikeFrameImp::DrawSelectionRangeFrame(CGXGridCore* pGrid, CDC* pDC, const CGXRange& range, const CRect&, BOOL, UINT nFlags, int)
{
    int nHandle = handleBottomRight;
    CGXRange frame;
    if (!IsOn(pGrid) || !FrameRangeOf(pGrid, range, frame, nHandle))
        return FALSE;
    DrawFrameForRange(pGrid, pDC, frame, nHandle, nFlags);
    return TRUE;
}

BOOL CGXGridExcelLikeFrameImp::LockSelectionFrame(CGXGridCore* pGrid, BOOL bLock, BOOL bCreateHint)
{
    return ShowFrame(pGrid, bLock, bCreateHint);
}

void CGXGridExcelLikeFrameImp::ToggleSelectionFrame(CGXGridCore* pGrid)
{
    ShowFrame(pGrid, !pGrid->IsSelectionFrameHidden(), TRUE);
}

BOOL CGXGridExcelLikeFrameImp::CalcSelectionFrameRect(CGXGridCore* pGrid, CRect& rect)
{
    int nHandle = handleBottomRight;
    CGXRange frame;
    if (!IsOn(pGrid) || !NewestFrame(pGrid, frame, nHandle))
        return FALSE;
    rect = pGrid->CalcClientRectOfRange(frame.top, frame.left, frame.bottom, frame.right);
    return !rect.IsRectEmpty();
}
