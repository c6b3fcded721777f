// SECEditDropTarget: an editor window's drop target. It hands the drag to the window's own
// handlers and scrolls the window while the mouse rests near its border.
#pragma once

#include "platform/afx/ole/COleDropTarget.h"

class SECEditDropTarget : public COleDropTarget {
    DECLARE_DYNAMIC(SECEditDropTarget)
public:
    DROPEFFECT OnDragEnter(CWnd* pWnd, COleDataObject* pDataObject, DWORD dwKeyState, CPoint point) override;
    DROPEFFECT OnDragOver(CWnd* pWnd, COleDataObject* pDataObject, DWORD dwKeyState, CPoint point) override;
    BOOL OnDrop(CWnd* pWnd, COleDataObject* pDataObject, DROPEFFECT dropEffect, CPoint point) override;
    void OnDragLeave(CWnd* pWnd) override;
    DROPEFFECT OnDragScroll(CWnd* pWnd, DWORD dwKeyState, CPoint point) override;
};

// Starts the program's object linking when the editor's module is loaded and ends it at exit.
class SECEditOleInit {
public:
    SECEditOleInit();
    ~SECEditOleInit();
    SECEditOleInit(const SECEditOleInit&) = delete;
    SECEditOleInit& operator=(const SECEditOleInit&) = delete;
    HRESULT m_hResult;
};
