// CScrollView: a view larger than its window, scrolled by its bars, the keyboard and the wheel,
// in any fixed mapping mode; or a view scaled to fit its window.
#pragma once

#include "platform/afx/doc/CView.h"
#include "platform/core/CRect.h"

// The pseudo mapping mode of a view scaled to its window.
#define MM_SCALETOFIT (-1)

class CScrollView : public CView {
    DECLARE_DYNAMIC(CScrollView)
public:
    CScrollView() = default;

    static const SIZE sizeDefault;

    // The document's size in logical units of the mapping mode; a page and a line default to
    // a tenth of the size and a tenth of a page.
    void SetScrollSizes(int nMapMode, SIZE sizeTotal, const SIZE& sizePage = sizeDefault,
                        const SIZE& sizeLine = sizeDefault);
    // Shows the whole document scaled to the window, without scroll bars.
    void SetScaleToFitSize(SIZE sizeTotal);

    CPoint GetScrollPosition() const;        // logical units
    CPoint GetDeviceScrollPosition() const;  // pixels
    void ScrollToPosition(POINT pt);         // logical units
    CSize GetTotalSize() const { return m_totalLog; }
    void GetDeviceScrollSizes(int& nMapMode, SIZE& sizeTotal, SIZE& sizePage, SIZE& sizeLine) const;
    int GetMapMode() const { return m_nMapMode; }
    void CenterOnPoint(CPoint ptCenter);

    // Sets the mapping mode and, on screen, the origin that shows the scrolled part.
    void OnPrepareDC(CDC* pDC, CPrintInfo* pInfo = nullptr) override;

    // nScrollCode: low byte horizontal, high byte vertical SB_ code (0xFF for none). With
    // bDoScroll FALSE it only says whether the view could scroll that way.
    virtual BOOL OnScroll(UINT nScrollCode, UINT nPos, BOOL bDoScroll = TRUE);
    virtual BOOL OnScrollBy(CSize sizeScroll, BOOL bDoScroll = TRUE);

protected:
    void ScrollToDevicePosition(POINT ptDev);
    void UpdateBars();
    CSize ClientSize() const;

    void OnSize(UINT nType, int cx, int cy);
    LRESULT OnHScrollMessage(WPARAM wParam, LPARAM lParam);
    LRESULT OnVScrollMessage(WPARAM wParam, LPARAM lParam);
    BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt);
    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);

    int m_nMapMode = 0;
    CSize m_totalLog;
    CSize m_totalDev;
    CSize m_pageDev;
    CSize m_lineDev;
    BOOL m_bCenter = FALSE;
    DECLARE_MESSAGE_MAP()
};
