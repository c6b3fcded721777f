// COleDropTarget: a window's side of drag and drop. Registered on a window, it is told when
// dragged data enters, moves over, leaves or drops on it, and scrolls the window while the
// mouse rests near its border.
#pragma once

#include "platform/afx/ole/COleDataObject.h"
#include "platform/afx/wnd/CCmdTarget.h"
#include "platform/core/CRect.h"

class CWnd;

class COleDropTarget : public CCmdTarget {
    DECLARE_DYNAMIC(COleDropTarget)
public:
    COleDropTarget() = default;
    ~COleDropTarget() override;
    COleDropTarget(const COleDropTarget&) = delete;
    COleDropTarget& operator=(const COleDropTarget&) = delete;

    // One target per window; registration ends with Revoke, the target's destruction or the
    // window's.
    BOOL Register(CWnd* pWnd);
    virtual void Revoke();

    // Points are in the window's client coordinates; key states are MK_ flags.
    virtual DROPEFFECT OnDragEnter(CWnd* pWnd, COleDataObject* pDataObject, DWORD dwKeyState, CPoint point);
    virtual DROPEFFECT OnDragOver(CWnd* pWnd, COleDataObject* pDataObject, DWORD dwKeyState, CPoint point);
    virtual BOOL OnDrop(CWnd* pWnd, COleDataObject* pDataObject, DROPEFFECT dropEffect, CPoint point);
    // (DROPEFFECT)-1 hands the drop to OnDrop.
    virtual DROPEFFECT OnDropEx(CWnd* pWnd, COleDataObject* pDataObject, DROPEFFECT dropDefault,
                                DROPEFFECT dropList, CPoint point);
    virtual void OnDragLeave(CWnd* pWnd);
    // Scrolls a window that has scroll bars by a line (WM_HSCROLL/WM_VSCROLL) while the point
    // rests within nScrollInset of its client edge: first after nScrollDelay, then every
    // nScrollInterval milliseconds. Answers DROPEFFECT_SCROLL with the key state's effect
    // while scrolling, else DROPEFFECT_NONE.
    virtual DROPEFFECT OnDragScroll(CWnd* pWnd, DWORD dwKeyState, CPoint point);

    static int nScrollInset;
    static UINT nScrollDelay;
    static UINT nScrollInterval;

    // The registered target of a window, or null.
    static COleDropTarget* FromHandle(HWND hWnd);

    // The drag loop's calls, with screen points and the effects the source allows.
    DROPEFFECT DragEnter(LPDATAOBJECT lpDataObject, DWORD dwKeyState, POINT screen, DWORD dwAllowed);
    DROPEFFECT DragOver(DWORD dwKeyState, POINT screen, DWORD dwAllowed);
    void DragLeave();
    DROPEFFECT Drop(DWORD dwKeyState, POINT screen, DWORD dwAllowed);

protected:
    // Whether the window can scroll by the code's parts (low byte horizontal, high byte
    // vertical, 0xFF for none), and the scrolling itself.
    BOOL CanScroll(CWnd* pWnd, UINT nScrollCode) const;
    void DoScroll(CWnd* pWnd, UINT nScrollCode);

    HWND m_hWnd = nullptr;
    // Scroll state: the running scroll code (0xFFFF when not scrolling), the tick of the last
    // step and the wait before the next.
    UINT m_nTimerID = 0xFFFF;
    DWORD m_dwLastTick = 0;
    UINT m_nScrollDelay = 0;
    // The data of the drag in progress.
    LPDATAOBJECT m_lpDataObject = nullptr;

private:
    CWnd* Window() const;
    CPoint ClientPoint(POINT screen) const;
};
