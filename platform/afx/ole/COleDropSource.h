// COleDropSource: the source's say during a drag: when it begins, whether it goes on, and the
// cursor it shows.
#pragma once

#include "platform/afx/wnd/CCmdTarget.h"
#include "platform/core/CRect.h"
#include "platform/win/Ole.h"

class CWnd;

class COleDropSource : public CCmdTarget {
    DECLARE_DYNAMIC(COleDropSource)
public:
    COleDropSource() = default;

    // Waits, with the mouse captured by pWnd, until the mouse leaves m_rectStartDrag or the
    // drag delay passes (TRUE), or the button is released first (FALSE). With an empty start
    // rectangle the drag begins at once.
    virtual BOOL OnBeginDrag(CWnd* pWnd);
    // DRAGDROP_S_CANCEL on Escape or the cancelling button, DRAGDROP_S_DROP when the dropping
    // button is up, else S_OK.
    virtual SCODE QueryContinueDrag(BOOL bEscapePressed, DWORD dwKeyState);
    // DRAGDROP_S_USEDEFAULTCURSORS: the loop shows the drag cursor of the effect.
    virtual SCODE GiveFeedback(DROPEFFECT dropEffect);

    static UINT nDragMinDist;
    static UINT nDragDelay;

    CRect m_rectStartDrag;
    BOOL m_bDragStarted = FALSE;
    DWORD m_dwButtonCancel = 0;
    DWORD m_dwButtonDrop = 0;
};

// The cursor shown over a target while dragging with an effect (no-drop, move, copy, link).
HCURSOR AfxGetDragCursor(DROPEFFECT dropEffect);
